// What every chart shares: the options a chart is drawn with, the texts of a
// member's box, and the two faces of a laid-out chart: one continuous drawing
// (the view, SVG, PNG) and a sequence of pages (PDF, print, preview).
#pragma once

#include "model/COperationClanbook.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <limits>
#include <memory>
#include <vector>

enum class ChartLayout { Pagoda, Ouyang };

struct ChartOptions {
  MemberNode* from = nullptr;  // start member; when none, `fromName`, else the root
  QString fromName;
  int generations = 5;  // 0: every generation below the start member
  ChartLayout layout = ChartLayout::Pagoda;
  QPageSize::PageSizeId pageSize = QPageSize::A4;  // A4 or A3
  int pngDpi = 150;
};

// Chart units are 1/96 inch, a pixel of an ordinary screen at zoom 1.
inline constexpr double kChartUnitsPerInch = 96;

class ChartText {
  Q_DECLARE_TR_FUNCTIONS(ChartText)
public:
  // An astronomical year, 0 and below counted back as 前N (0 is 前1).
  static QString Year(std::int32_t year);
  // The birth year, and for the deceased "birth–death".
  static QString Life(const MemberNode& member);
  static QString Name(const MemberNode& member) { return QString::fromStdU16String(member.name); }
  // A text of the book as a chart shows it: a control character (one that
  // came from a GEDCOM file, say) as its visible picture (U+2400 to U+241F,
  // U+2421 for DEL), a C1 control, U+FFFE, U+FFFF and a lone surrogate as
  // U+FFFD. None of them may stand in XML 1.0, so an SVG stays well-formed.
  static QString Visible(const QString& text);
  static QString Generation(int generation) { return tr("第%1世").arg(generation); }
  static QString SeePage(int page) { return tr("见第%1页").arg(page); }
  static QString Page(int page, int count) { return tr("第%1页 / 共%2页").arg(page).arg(count); }
  static QString Title(const QString& rootName) { return tr("%1 世系图").arg(rootName); }
};

// The font of every chart text, sized in chart units.
QFont ChartFont(double pixelSize, bool bold = false);

// Draws one member's box: the name, the life years under it and, when
// `seePage` is not 0, the page where the member's line goes on.
void DrawMemberBox(QPainter& painter, const QRectF& box, const MemberNode& member, int seePage = 0);

// A part of a drawing painted on its own (see ChartScene::Pieces): what
// meets `exposed`, boxes only when their left edge lies in [ownLeft,
// ownRight), the generation labels only when `labels`.
struct ChartPiece {
  QRectF exposed;
  double ownLeft = -std::numeric_limits<double>::infinity();
  double ownRight = std::numeric_limits<double>::infinity();
  bool labels = true;
};

// A chart as one drawing in chart units.
class ChartScene {
public:
  virtual ~ChartScene() = default;
  virtual QRectF Bounds() const = 0;
  // Paints what meets `exposed`; `zoom` lets far views leave out the text.
  virtual void Paint(QPainter& painter, const QRectF& exposed, double zoom) const = 0;
  virtual MemberNode* MemberAt(QPointF point) const = 0;
  // The whole drawing at zoom 1 cut into pieces of about `boxes` boxes each
  // (and as many lines), which painted one after another draw what Paint
  // draws over Bounds(), every box and text once: a drawing too large to be
  // held whole as text can be written a piece at a time.
  virtual std::vector<ChartPiece> Pieces(int boxes) const;
  virtual void PaintPiece(QPainter& painter, const ChartPiece& piece) const;
};

// A chart as pages of one size, each painted on its own: nothing of a page
// outlives its painting, so any number of pages streams in constant memory.
class ChartPages {
public:
  virtual ~ChartPages() = default;
  virtual int PageCount() const = 0;
  // The page in chart units, orientation included.
  virtual QSizeF PageSize() const = 0;
  virtual QPageLayout::Orientation PageOrientation() const = 0;
  // Paints page `index` (from 0) into the rectangle (0, 0, PageSize()).
  virtual void PaintPage(QPainter& painter, int index) const = 0;
};

// The page size in chart units for `id` and `orientation`.
QSizeF PageSizeInUnits(QPageSize::PageSizeId id, QPageLayout::Orientation orientation);

// Header (the title of the book) and footer (page number) of a chart page.
void DrawPageFrame(QPainter& painter, const QSizeF& page, const QString& title, int index,
                   int count);

inline constexpr double kPageMargin = 36;  // about 1 cm
inline constexpr double kPageHeader = 28;
inline constexpr double kPageFooter = 24;
