// 家谱 → 五服图…: the 本宗九族五服图 of one member drawn as the Qing chart
// lays it out, with the names of the relatives who fill each place, in a
// window of its own and as PDF, SVG or PNG through the charts' one writer.
#pragma once

#include "calendar/MourningGrades.h"
#include "charts/Chart.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class ChartView;

class MourningText {
  Q_DECLARE_TR_FUNCTIONS(MourningText)
public:
  static QString Grade(MourningGrade grade);
  // The place's name: 伯叔父母 ("Father's brothers").
  static QString Term(const MourningCell& cell);
  // What a cell says under its name: the grade, a woman's unmarried and
  // married-out grades, a wife's grade where it differs from her husband's
  // (无服 only when a wife is in the place to be told so).
  static QStringList GradeLines(const MourningCell& cell);
  static QString Title(const QString& name) { return tr("%1 本宗九族五服图").arg(name); }
  static QString WindowTitle() { return tr("五服图"); }
  static QString EmptyBook() { return tr("家谱是空的，没有可画的五服图。"); }
};

// The chart: nine rows, 高祖 at the top and 玄孙 at the bottom, the direct
// line in the middle column; the men's lines to its right and the women's to
// its left, as in the Qing chart, which is read from right to left. Each
// place is a box with its name, its grade and the relatives in it, one name
// a line, each man's wives (王氏) on lines of their own under him, set in;
// a place nobody fills keeps its box, drawn dashed. The women's places of
// the direct line (女, 孙女 …) share the box of the men's.
class MourningScene : public ChartScene, public ChartPages {
public:
  static constexpr double kBoxWidth = 170;
  static constexpr double kGap = 10;
  static constexpr double kMargin = 24;

  MourningScene(const MemberNode& self, std::vector<MourningCell> cells);

  QRectF Bounds() const override { return m_bounds; }
  void Paint(QPainter& painter, const QRectF& exposed, double zoom) const override;
  MemberNode* MemberAt(QPointF point) const override;

  // One A4 landscape page with the whole chart fitted on it.
  int PageCount() const override { return 1; }
  QSizeF PageSize() const override;
  QPageLayout::Orientation PageOrientation() const override { return QPageLayout::Landscape; }
  void PaintPage(QPainter& painter, int index) const override;

  const MemberNode& Self() const { return *m_self; }
  QString Title() const { return m_title; }
  const std::vector<MourningCell>& Cells() const { return m_cells; }
  // The box of a place (empty when the place is not on the chart) and the
  // names shown in it, in their order: a man's wives right after him.
  QRectF BoxOf(const MourningPlace& place) const;
  QStringList NamesIn(const MourningPlace& place) const;

private:
  struct Line {
    QString text;
    QRectF rect;
    bool heading = false;  // the place's name
    bool grade = false;
    // A relative's name: the place he or she fills.
    const MourningCell* cell = nullptr;
    // A member's name, which a click follows; none on a wife's line.
    const MemberNode* member = nullptr;
  };
  struct Box {
    QRectF rect;
    std::vector<const MourningCell*> cells;
    std::vector<Line> lines;
    bool empty = true;
    bool self = false;
  };
  const Box* BoxAt(const MourningPlace& place) const;

  const MemberNode* m_self;
  std::vector<MourningCell> m_cells;
  std::vector<Box> m_boxes;
  QString m_title;
  QRectF m_bounds;
};

// The window: the chart of a member, a click on a name draws the chart of
// that relative, 导出… writes the chart shown. Modal: the book does not
// change while it is open.
class MourningChartDialog : public QDialog {
  Q_OBJECT
public:
  // `bookFile` names the open book's file, which an export must not replace.
  MourningChartDialog(const MemberNode& self, std::function<QString()> bookFile,
                      QWidget* parent = nullptr);
  ~MourningChartDialog() override;

  void setMember(const MemberNode& self);
  const MourningScene& scene() const { return *m_scene; }
  ChartView* view() const { return m_view; }
  // Writes the chart shown to `path` (the format follows the suffix); false
  // with the reason in `error`.
  bool exportTo(const QString& path, QString* error) const;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void ExportToFile();
  // The whole chart in the view, never larger than life.
  void FitToView();

  std::function<QString()> m_bookFile;
  std::unique_ptr<MourningScene> m_scene;
  ChartView* m_view = nullptr;
};
