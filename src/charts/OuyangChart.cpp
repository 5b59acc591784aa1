#include "charts/OuyangChart.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Visits the members of a block in pre-order, `depth` 0 for the head, down to
// `depthLimit`; `eldest` is whether the member is the first child of its father.
template <class Visit>
void WalkBlock(MemberNode* head, int depthLimit, Visit&& visit) {
  std::vector<std::pair<MemberNode*, int>> later;
  MemberNode* member = head;
  int depth = 0;
  bool eldest = true;
  for (;;) {
    while (member) {
      if (depth > 0 && member->nextSibling) later.emplace_back(member->nextSibling, depth);
      visit(member, depth, eldest);
      if (depth < depthLimit && member->firstChild) {
        member = member->firstChild;
        ++depth;
        eldest = true;
      } else {
        member = nullptr;
      }
    }
    if (later.empty()) return;
    std::tie(member, depth) = later.back();
    later.pop_back();
    eldest = false;
  }
}

const QColor kLineColor(0x55, 0x3b, 0x1e);

}  // namespace

OuyangChart::OuyangChart(MemberNode* start, int generations, int firstGeneration, QString title,
                         QPageSize::PageSizeId pageSize)
    : m_generations(generations),
      m_firstGeneration(firstGeneration),
      m_title(std::move(title)),
      m_page(PageSizeInUnits(pageSize, QPageLayout::Portrait)) {
  m_columnWidth = (m_page.width() - 2 * kPageMargin) / kColumns;
  m_contentTop = kPageMargin + kPageHeader + kLabelHeight;
  const double contentHeight = m_page.height() - kPageMargin - kPageFooter - m_contentTop;
  m_rowsPerPage = std::max(1, static_cast<int>(contentHeight / kRowPitch));
  if (!start) return;

  // Blocks breadth-first: the blocks a block leads to follow one another, in
  // the order their heads stand in its fifth column, and get the next pages.
  m_blocks.push_back(Block{start, 0, 0, 0, 0});
  std::int64_t pages = 0;
  for (std::size_t b = 0; b < m_blocks.size(); ++b) {
    const Block block = m_blocks[b];
    int lastRow = -1;
    m_blocks[b].firstChild = static_cast<std::int32_t>(m_blocks.size());
    WalkBlock(block.head, DepthLimit(block), [&](MemberNode* member, int depth, bool eldest) {
      lastRow = depth > 0 && eldest ? lastRow : lastRow + 1;
      if (Continues(block, member, depth))
        m_blocks.push_back(Block{member, block.level + kColumns - 1, 0, 0, 0});
    });
    m_blocks[b].rows = lastRow + 1;
    m_blocks[b].firstPage = static_cast<std::int32_t>(pages);
    pages += (lastRow + m_rowsPerPage) / m_rowsPerPage;
  }
  m_blocks.shrink_to_fit();
  m_pageCount = static_cast<int>(std::min<std::int64_t>(pages, 0x7fffffff));
}

int OuyangChart::DepthLimit(const Block& block) const {
  if (m_generations <= 0) return kColumns - 1;
  return std::min(kColumns - 1, m_generations - 1 - block.level);
}

bool OuyangChart::Continues(const Block& block, const MemberNode* member, int depth) const {
  return depth == kColumns - 1 && member->firstChild &&
         (m_generations <= 0 || block.level + depth + 1 < m_generations);
}

int OuyangChart::BlockOfPage(int page) const {
  const auto it = std::upper_bound(m_blocks.begin(), m_blocks.end(), page,
                                   [](int p, const Block& b) { return p < b.firstPage; });
  return static_cast<int>(it - m_blocks.begin()) - 1;
}

const OuyangChart::PlacedBlock& OuyangChart::Place(int b) const {
  for (const PlacedBlock& placed : m_placed)
    if (placed.block == b) return placed;
  PlacedBlock& placed = m_placed[m_nextSlot];
  m_nextSlot = 1 - m_nextSlot;
  placed.block = b;
  placed.entries.clear();
  const Block& block = m_blocks[b];
  placed.entries.reserve(block.rows);
  std::int32_t lastAtDepth[kColumns] = {-1, -1, -1, -1, -1};
  std::int32_t lastRow = -1;
  std::int32_t nextBlock = block.firstChild;
  WalkBlock(block.head, DepthLimit(block), [&](MemberNode* member, int depth, bool eldest) {
    lastRow = depth > 0 && eldest ? lastRow : lastRow + 1;
    const std::int32_t seePage =
        Continues(block, member, depth) ? m_blocks[nextBlock++].firstPage + 1 : 0;
    lastAtDepth[depth] = static_cast<std::int32_t>(placed.entries.size());
    placed.entries.push_back(
        Entry{member, lastRow, depth, depth ? lastAtDepth[depth - 1] : -1, seePage});
  });
  return placed;
}

QRectF OuyangChart::BoxRect(int row, int column, int firstRow) const {
  const double right = m_page.width() - kPageMargin - column * m_columnWidth;
  return QRectF(right - (m_columnWidth - kColumnGap), m_contentTop + (row - firstRow) * kRowPitch,
                m_columnWidth - kColumnGap, kBoxHeight);
}

std::vector<OuyangChart::PlacedBox> OuyangChart::PageBoxes(int index) const {
  std::vector<PlacedBox> boxes;
  if (index < 0 || index >= m_pageCount) return boxes;
  const int b = BlockOfPage(index);
  const Block& block = m_blocks[b];
  const PlacedBlock& placed = Place(b);
  const int firstRow = (index - block.firstPage) * m_rowsPerPage;
  const auto begin = std::partition_point(placed.entries.begin(), placed.entries.end(),
                                          [firstRow](const Entry& e) { return e.row < firstRow; });
  for (auto it = begin; it != placed.entries.end() && it->row < firstRow + m_rowsPerPage; ++it)
    boxes.push_back(PlacedBox{it->member, BoxRect(it->row, it->column, firstRow),
                              m_firstGeneration + block.level + it->column, it->seePage});
  return boxes;
}

void OuyangChart::PaintPage(QPainter& painter, int index) const {
  DrawPageFrame(painter, m_page, m_title, index, m_pageCount);
  if (index < 0 || index >= m_pageCount) return;
  const int b = BlockOfPage(index);
  const Block& block = m_blocks[b];
  const PlacedBlock& placed = Place(b);
  const int firstRow = (index - block.firstPage) * m_rowsPerPage;
  const int endRow = firstRow + m_rowsPerPage;

  painter.setPen(QColor(0x80, 0x20, 0x20));
  painter.setFont(ChartFont(12, true));
  for (int column = 0; column < kColumns && column <= DepthLimit(block); ++column) {
    const QRectF box = BoxRect(firstRow, column, firstRow);
    painter.drawText(QRectF(box.left(), m_contentTop - kLabelHeight, box.width(), kLabelHeight),
                     Qt::AlignCenter,
                     ChartText::Generation(m_firstGeneration + block.level + column));
  }

  const auto& entries = placed.entries;
  const auto begin = std::partition_point(entries.begin(), entries.end(),
                                          [firstRow](const Entry& e) { return e.row < firstRow; });
  const auto end = std::partition_point(begin, entries.end(),
                                        [endRow](const Entry& e) { return e.row < endRow; });
  const double top = m_contentTop;
  const double bottom = m_contentTop + m_rowsPerPage * kRowPitch - (kRowPitch - kBoxHeight);
  auto rowMiddle = [&](int row) {
    return std::clamp(m_contentTop + (row - firstRow) * kRowPitch + kBoxHeight / 2, top, bottom);
  };
  // Each child joins the spine of its father in the gap left of the father's
  // column; the spine runs from the father's row down to this child's row,
  // clipped to the page when the father stands on an earlier one.
  painter.setPen(QPen(kLineColor, 1.2));
  for (auto it = begin; it != end; ++it) {
    if (it->father < 0) continue;
    const Entry& father = entries[it->father];
    const QRectF fatherBox = BoxRect(father.row, father.column, firstRow);
    const double spineX = fatherBox.left() - kColumnGap / 2;
    const double childY = rowMiddle(it->row);
    const double fatherY = rowMiddle(father.row);
    painter.drawLine(QPointF(spineX, fatherY), QPointF(spineX, childY));
    painter.drawLine(QPointF(spineX, childY), QPointF(fatherBox.left() - kColumnGap, childY));
    if (father.row >= firstRow)
      painter.drawLine(QPointF(fatherBox.left(), fatherY), QPointF(spineX, fatherY));
  }
  for (auto it = begin; it != end; ++it)
    DrawMemberBox(painter, BoxRect(it->row, it->column, firstRow), *it->member, it->seePage);
}

QRectF OuyangChart::Bounds() const {
  if (m_pageCount == 0) return QRectF();
  return QRectF(0, 0, m_page.width(), m_pageCount * (m_page.height() + kPageGap) - kPageGap);
}

std::vector<ChartPiece> OuyangChart::Pieces(int boxes) const {
  if (m_pageCount == 0) return {ChartPiece{Bounds()}};
  // A page holds a column of boxes for each of its generations.
  const int perPage = std::max(1, boxes / std::max(1, kColumns * m_rowsPerPage));
  const double pitch = m_page.height() + kPageGap;
  std::vector<ChartPiece> pieces;
  for (int first = 0; first < m_pageCount; first += perPage) {
    const int last = std::min(m_pageCount, first + perPage) - 1;
    // From the middle of the first page to the middle of the last: Paint
    // takes the pages met, and no page is met by two pieces.
    const double top = first * pitch + m_page.height() / 2;
    pieces.push_back(ChartPiece{QRectF(0, top, m_page.width(), (last - first) * pitch)});
  }
  return pieces;
}

void OuyangChart::Paint(QPainter& painter, const QRectF& exposed, double /*zoom*/) const {
  const double pitch = m_page.height() + kPageGap;
  const int first = std::max(0, static_cast<int>(std::floor(exposed.top() / pitch)));
  const int last =
      std::min(m_pageCount - 1, static_cast<int>(std::floor(exposed.bottom() / pitch)));
  for (int page = first; page <= last; ++page) {
    painter.save();
    painter.translate(0, page * pitch);
    painter.setPen(QColor(0xb0, 0xb0, 0xb0));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(QPointF(0, 0), m_page));
    PaintPage(painter, page);
    painter.restore();
  }
}

MemberNode* OuyangChart::MemberAt(QPointF point) const {
  const double pitch = m_page.height() + kPageGap;
  const int page = static_cast<int>(std::floor(point.y() / pitch));
  const QPointF local(point.x(), point.y() - page * pitch);
  for (const PlacedBox& placed : PageBoxes(page))
    if (placed.box.contains(local)) return placed.member;
  return nullptr;
}
