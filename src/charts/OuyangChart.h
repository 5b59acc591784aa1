// The 欧式 chart, as printed clan books lay it out: five generations a page,
// one column each, read from right to left; a member of the fifth column whose
// line goes on heads the first column of a later page and carries its number.
//
// The book is cut into blocks, each a member and four generations below him.
// Only a small table of blocks is kept for the whole chart; a block's boxes
// are placed when one of its pages is painted, so pages stream one by one in
// memory that does not grow with their number.
#pragma once

#include "charts/Chart.h"

#include <cstdint>
#include <vector>

class OuyangChart : public ChartScene, public ChartPages {
public:
  static constexpr int kColumns = 5;
  static constexpr double kRowPitch = 58;
  static constexpr double kBoxHeight = 50;
  static constexpr double kColumnGap = 28;    // the connecting lines run here
  static constexpr double kLabelHeight = 22;  // the 第N世 over each column
  static constexpr double kPageGap = 24;      // between pages in the view

  OuyangChart(MemberNode* start, int generations, int firstGeneration, QString title,
              QPageSize::PageSizeId pageSize);

  // Pages.
  int PageCount() const override { return m_pageCount; }
  QSizeF PageSize() const override { return m_page; }
  QPageLayout::Orientation PageOrientation() const override { return QPageLayout::Portrait; }
  void PaintPage(QPainter& painter, int index) const override;

  // The pages one under the other, as the view shows them.
  QRectF Bounds() const override;
  void Paint(QPainter& painter, const QRectF& exposed, double zoom) const override;
  MemberNode* MemberAt(QPointF point) const override;
  // Runs of whole pages.
  std::vector<ChartPiece> Pieces(int boxes) const override;

  struct PlacedBox {
    MemberNode* member = nullptr;
    QRectF box;          // page coordinates, chart units
    int generation = 0;  // 世 counted from the book's root
    int seePage = 0;     // 1-based page where the line goes on, or 0
  };
  // The boxes of page `index`, top to bottom, each column right to left.
  std::vector<PlacedBox> PageBoxes(int index) const;
  int RowsPerPage() const { return m_rowsPerPage; }

private:
  struct Block {
    MemberNode* head = nullptr;
    std::int32_t level = 0;  // of the head, 0 for the start member
    std::int32_t rows = 0;
    std::int32_t firstChild = 0;  // the blocks its fifth column leads to, in order
    std::int32_t firstPage = 0;   // from 0
  };
  struct Entry {
    MemberNode* member;
    std::int32_t row;
    std::int32_t column;
    std::int32_t father;  // entry index, -1 for the head
    std::int32_t seePage;
  };
  struct PlacedBlock {
    int block = -1;
    std::vector<Entry> entries;  // in pre-order, so rows never decrease
  };

  int DepthLimit(const Block& block) const;
  bool Continues(const Block& block, const MemberNode* member, int depth) const;
  int BlockOfPage(int page) const;
  const PlacedBlock& Place(int block) const;
  QRectF BoxRect(int row, int column, int firstRow) const;

  std::vector<Block> m_blocks;
  int m_generations = 0;
  int m_firstGeneration = 1;
  int m_pageCount = 0;
  int m_rowsPerPage = 1;
  QString m_title;
  QSizeF m_page;
  double m_columnWidth = 0;
  double m_contentTop = 0;
  // The two blocks placed last: enough for a view that straddles two blocks.
  mutable PlacedBlock m_placed[2];
  mutable int m_nextSlot = 0;
};
