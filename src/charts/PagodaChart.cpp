#include "charts/PagodaChart.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kBoxW = PagodaLayout::kBoxWidth;
constexpr double kBoxH = PagodaLayout::kBoxHeight;
// Below this zoom the names would be a few pixels high: boxes only.
constexpr double kTextZoom = 0.4;

const QColor kLineColor(0x55, 0x3b, 0x1e);

}  // namespace

PagodaChart::PagodaChart(MemberNode* start, int generations, int firstGeneration, QString title)
    : m_title(std::move(title)) {
  m_layout.Build(start, generations, firstGeneration);
}

MemberNode* PagodaChart::MemberAt(QPointF point) const {
  const int index = m_layout.HitTest(point);
  return index < 0 ? nullptr : m_layout.Nodes()[index].member;
}

void PagodaChart::Paint(QPainter& painter, const QRectF& exposed, double zoom) const {
  constexpr double kAll = std::numeric_limits<double>::max();
  PaintPart(painter, exposed, zoom, -kAll, kAll, exposed.left() + PagodaLayout::kMargin);
}

std::vector<ChartPiece> PagodaChart::Pieces(int boxes) const {
  std::vector<ChartPiece> pieces;
  if (m_layout.Empty()) return {ChartPiece{Bounds()}};
  const std::int64_t budget = std::max(boxes, 1);
  const QRectF bounds = Bounds();
  const auto& nodes = m_layout.Nodes();
  const int levels = m_layout.LevelCount();
  const double pitch = PagodaLayout::kRowPitch;
  // Whole rows a..b; what they paint stops short of the next row's top.
  auto rows = [&](int a, int b, double left, double right) {
    return QRectF(left, m_layout.RowTop(a), right - left, (b - a + 1) * pitch - 1);
  };
  // A row paints its boxes and the lines down to the next row's boxes.
  auto weight = [&](int level) {
    std::int64_t w = m_layout.LevelEnd(level) - m_layout.LevelBegin(level);
    if (level + 1 < levels) w += m_layout.LevelEnd(level + 1) - m_layout.LevelBegin(level + 1);
    return w;
  };
  int level = 0;
  while (level < levels) {
    if (weight(level) > budget) {
      // Strips cut where the boxes of this row and the next, taken from
      // left to right, have filled the budget.
      int i = m_layout.LevelBegin(level), iEnd = m_layout.LevelEnd(level);
      int j = level + 1 < levels ? m_layout.LevelBegin(level + 1) : 0;
      const int jEnd = level + 1 < levels ? m_layout.LevelEnd(level + 1) : 0;
      double left = bounds.left();
      bool first = true;
      while (i < iEnd || j < jEnd) {
        double right = bounds.right();
        for (std::int64_t taken = 0; taken < budget && (i < iEnd || j < jEnd); ++taken) {
          if (j >= jEnd || (i < iEnd && nodes[i].x <= nodes[j].x))
            ++i;
          else
            ++j;
        }
        if (i < iEnd || j < jEnd)
          right = std::min(i < iEnd ? nodes[i].x : bounds.right(),
                           j < jEnd ? nodes[j].x : bounds.right());
        if (right > left || (i >= iEnd && j >= jEnd)) {
          pieces.push_back(ChartPiece{rows(level, level, left, right), left, right, first});
          first = false;
          left = right;
        }
      }
      ++level;
      continue;
    }
    const int from = level;
    std::int64_t taken = 0;
    while (level < levels && weight(level) <= budget && taken + weight(level) <= budget)
      taken += weight(level++);
    pieces.push_back(ChartPiece{rows(from, level - 1, bounds.left(), bounds.right())});
  }
  return pieces;
}

void PagodaChart::PaintPiece(QPainter& painter, const ChartPiece& piece) const {
  PaintPart(painter, piece.exposed, 1, piece.ownLeft, piece.ownRight,
            piece.labels ? Bounds().left() + PagodaLayout::kMargin
                         : std::numeric_limits<double>::quiet_NaN());
}

void PagodaChart::PaintPart(QPainter& painter, const QRectF& exposed, double zoom, double ownLeft,
                            double ownRight, double labelX) const {
  if (m_layout.Empty()) return;
  const auto& nodes = m_layout.Nodes();
  const double pitch = PagodaLayout::kRowPitch;
  const int levels = m_layout.LevelCount();
  const int top = std::clamp(
      static_cast<int>(std::floor((exposed.top() - PagodaLayout::kMargin) / pitch)), 0, levels - 1);
  const int bottom =
      std::clamp(static_cast<int>(std::floor((exposed.bottom() - PagodaLayout::kMargin) / pitch)),
                 0, levels - 1);
  const double x0 = std::max(exposed.left(), ownLeft);
  const double x1 = std::min(exposed.right(), ownRight);
  // Boxes are owned by their left edge; lines follow the exposed area.
  const double lineLeft = exposed.left(), lineRight = exposed.right();

  painter.setRenderHint(QPainter::Antialiasing, false);
  QPen linePen(kLineColor, 1.2);
  linePen.setCosmetic(zoom < 1);
  for (int level = top; level <= bottom; ++level) {
    // Lines from this row down to the next: the father's drop, the bar over
    // his children, each child's short line up to the bar.
    if (level + 1 < levels) {
      const double rowTop = m_layout.RowTop(level);
      const double barY = rowTop + kBoxH + PagodaLayout::kRowGap / 2;
      auto [first, last] = m_layout.LevelSpan(level + 1, lineLeft - kBoxW, lineRight);
      // The neighbours just outside hold the bars that cross the whole view.
      first = std::max(first - 1, m_layout.LevelBegin(level + 1));
      last = std::min(last + 1, m_layout.LevelEnd(level + 1));
      if (first < last) {
        painter.setPen(linePen);
        const int fatherFirst = nodes[first].parent;
        const int fatherLast = nodes[last - 1].parent;
        for (int f = fatherFirst; f <= fatherLast; ++f) {
          const PagodaNode& father = nodes[f];
          if (!father.childCount) continue;
          const double fx = father.x + kBoxW / 2;
          const double left = nodes[father.firstChild].x + kBoxW / 2;
          const double right = nodes[father.firstChild + father.childCount - 1].x + kBoxW / 2;
          if (right < lineLeft || left > lineRight) continue;
          painter.drawLine(QPointF(fx, rowTop + kBoxH), QPointF(fx, barY));
          if (father.childCount > 1)
            painter.drawLine(QPointF(std::max(left, lineLeft - 1), barY),
                             QPointF(std::min(right, lineRight + 1), barY));
        }
        const double childTop = m_layout.RowTop(level + 1);
        for (int c = first; c < last; ++c) {
          const double cx = nodes[c].x + kBoxW / 2;
          if (cx >= lineLeft - 1 && cx <= lineRight + 1)
            painter.drawLine(QPointF(cx, barY), QPointF(cx, childTop));
        }
      }
    }
    const auto [first, last] = m_layout.LevelSpan(level, x0 - kBoxW, x1);
    for (int i = first; i < last; ++i) {
      const PagodaNode& node = nodes[i];
      if (node.x < ownLeft || node.x >= ownRight) continue;
      const QRectF box = m_layout.BoxRect(i);
      if (zoom < kTextZoom) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kLineColor);
        painter.drawRect(box);
      } else {
        DrawMemberBox(painter, box, *node.member);
      }
    }
  }
  // The 世 of each row, kept at the left edge of what is shown.
  if (zoom >= kTextZoom && !std::isnan(labelX)) {
    painter.setPen(QColor(0x80, 0x20, 0x20));
    painter.setFont(ChartFont(13, true));
    for (int level = top; level <= bottom; ++level) {
      const QRectF label(labelX, m_layout.RowTop(level), PagodaLayout::kLabelWidth - 8, kBoxH);
      painter.fillRect(label, QColor(255, 255, 255, 220));
      painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter,
                       ChartText::Generation(m_layout.FirstGeneration() + level));
    }
  }
}

PagodaPages::PagodaPages(const PagodaChart& chart, QPageSize::PageSizeId pageSize)
    : m_chart(chart), m_page(PageSizeInUnits(pageSize, QPageLayout::Landscape)) {
  const PagodaLayout& layout = chart.Layout();
  const double contentWidth = m_page.width() - 2 * kPageMargin - PagodaLayout::kLabelWidth;
  const double contentHeight = m_page.height() - 2 * kPageMargin - kPageHeader - kPageFooter;
  // A box belongs to the page its left edge falls on and must fit whole.
  m_tileWidth = contentWidth - kBoxW;
  m_levelsPerTile = std::max(
      1, static_cast<int>((contentHeight + PagodaLayout::kRowGap) / PagodaLayout::kRowPitch));
  if (layout.Empty()) return;
  m_tileRows = (layout.LevelCount() + m_levelsPerTile - 1) / m_levelsPerTile;
  const double left = PagodaLayout::kMargin + PagodaLayout::kLabelWidth;
  m_tiles.reserve(layout.Nodes().size() / 8 + 1);
  for (const PagodaNode& node : layout.Nodes()) {
    const auto column = static_cast<std::int64_t>((node.x - left) / m_tileWidth);
    const std::int64_t key = column * m_tileRows + node.level / m_levelsPerTile;
    if (m_tiles.empty() || m_tiles.back() != key) m_tiles.push_back(key);
  }
  std::sort(m_tiles.begin(), m_tiles.end());
  m_tiles.erase(std::unique(m_tiles.begin(), m_tiles.end()), m_tiles.end());
  m_tiles.shrink_to_fit();
}

QRectF PagodaPages::TileRect(int index) const {
  const std::int64_t key = m_tiles[index];
  const double left = PagodaLayout::kMargin + PagodaLayout::kLabelWidth;
  const auto column = static_cast<double>(key / m_tileRows);
  const auto row = static_cast<int>(key % m_tileRows);
  return QRectF(left + column * m_tileWidth,
                PagodaLayout::kMargin + row * m_levelsPerTile * PagodaLayout::kRowPitch,
                m_tileWidth, m_levelsPerTile * PagodaLayout::kRowPitch);
}

void PagodaPages::PaintPage(QPainter& painter, int index) const {
  DrawPageFrame(painter, m_page, m_chart.Title(), index, PageCount());
  const QRectF tile = TileRect(index);
  const double contentLeft = kPageMargin + PagodaLayout::kLabelWidth;
  const double contentTop = kPageMargin + kPageHeader;
  painter.save();
  painter.translate(contentLeft - tile.left(), contentTop - tile.top());
  // The last row band keeps the bars that lead nowhere below it off the page.
  const QRectF shown(tile.left(), tile.top(), tile.width() + kBoxW,
                     tile.height() - PagodaLayout::kRowGap);
  painter.setClipRect(QRectF(tile.left() - PagodaLayout::kLabelWidth, tile.top(),
                             shown.width() + PagodaLayout::kLabelWidth, shown.height()));
  m_chart.PaintPart(painter, shown, 1, tile.left(), tile.right(),
                    tile.left() - PagodaLayout::kLabelWidth);
  painter.restore();
}
