// The pagoda chart drawn: the view's continuous drawing, and its pages, which
// tile the drawing row band by row band.
#pragma once

#include "charts/Chart.h"
#include "charts/PagodaLayout.h"

#include <cstdint>
#include <vector>

class PagodaChart : public ChartScene {
public:
  PagodaChart(MemberNode* start, int generations, int firstGeneration, QString title);

  const PagodaLayout& Layout() const { return m_layout; }
  QRectF Bounds() const override { return m_layout.Bounds(); }
  void Paint(QPainter& painter, const QRectF& exposed, double zoom) const override;
  MemberNode* MemberAt(QPointF point) const override;
  const QString& Title() const { return m_title; }

  // Rows of a few boxes go together; a row whose boxes and lines down to
  // the next row are too many is cut across into strips.
  std::vector<ChartPiece> Pieces(int boxes) const override;
  void PaintPiece(QPainter& painter, const ChartPiece& piece) const override;

  // Draws boxes whose left edge lies in [ownLeft, ownRight) and the lines
  // meeting `exposed`; the generation labels go at `labelX` (none: NaN).
  void PaintPart(QPainter& painter, const QRectF& exposed, double zoom, double ownLeft,
                 double ownRight, double labelX) const;

private:
  PagodaLayout m_layout;
  QString m_title;
};

class PagodaPages : public ChartPages {
public:
  PagodaPages(const PagodaChart& chart, QPageSize::PageSizeId pageSize);

  int PageCount() const override { return static_cast<int>(m_tiles.size()); }
  QSizeF PageSize() const override { return m_page; }
  QPageLayout::Orientation PageOrientation() const override { return QPageLayout::Landscape; }
  void PaintPage(QPainter& painter, int index) const override;

  // The chart rectangle whose boxes page `index` shows (left edges inside it).
  QRectF TileRect(int index) const;

private:
  const PagodaChart& m_chart;
  QSizeF m_page;
  double m_tileWidth = 0;
  int m_levelsPerTile = 1;
  std::int64_t m_tileRows = 1;
  // Only tiles that hold a box become pages, column by column, top to bottom.
  std::vector<std::int64_t> m_tiles;
};
