// The 吊线图 (pagoda) layout: each generation one row, a father centred over
// the bar that joins his children, as narrow as non-overlapping boxes allow.
//
// Members are numbered breadth-first from the start member, so every family's
// children are consecutive and every row is one contiguous, left-to-right run
// of indices. That numbering turns the tidy-tree walks into plain loops over
// arrays and lets a row be searched by x with a binary search.
#pragma once

#include "model/COperationClanbook.h"

#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <utility>
#include <vector>

struct PagodaNode {
  MemberNode* member = nullptr;
  std::int32_t parent = -1;      // index of the father in the chart; -1 for the top
  std::int32_t firstChild = -1;  // index of the eldest child when childCount > 0
  std::int32_t childCount = 0;   // children inside the chart
  std::int32_t level = 0;        // row, 0 for the start member
  double x = 0;                  // left edge of the box, chart units
};

class PagodaLayout {
public:
  // Chart units are 1/96 inch: a box is a little over 2 cm wide on paper.
  static constexpr double kBoxWidth = 88;
  static constexpr double kBoxHeight = 40;
  static constexpr double kGap = 12;         // between neighbouring boxes of a row
  static constexpr double kRowGap = 44;      // room for the drop line and the bar
  static constexpr double kLabelWidth = 64;  // the 第N世 column on the left
  static constexpr double kMargin = 16;
  static constexpr double kRowPitch = kBoxHeight + kRowGap;

  // Lays out `start` and its descendants for `generations` rows (0: all).
  // `firstGeneration` is the 世 of `start`, counted from the book's root.
  void Build(MemberNode* start, int generations, int firstGeneration);
  void Clear();

  const std::vector<PagodaNode>& Nodes() const { return m_nodes; }
  bool Empty() const { return m_nodes.empty(); }
  int LevelCount() const { return static_cast<int>(m_levelBegin.size()) - 1; }
  int LevelBegin(int level) const { return m_levelBegin[level]; }
  int LevelEnd(int level) const { return m_levelBegin[level + 1]; }
  int FirstGeneration() const { return m_firstGeneration; }

  QRectF BoxRect(int index) const;
  double RowTop(int level) const { return kMargin + level * kRowPitch; }
  // The whole chart, generation labels included.
  QRectF Bounds() const { return m_bounds; }
  // Indices [first, last) of the boxes of `level` that meet the span [x0, x1].
  std::pair<int, int> LevelSpan(int level, double x0, double x1) const;
  // The box under `point`, or -1.
  int HitTest(QPointF point) const;

private:
  std::vector<PagodaNode> m_nodes;
  std::vector<std::int32_t> m_levelBegin{0};
  int m_firstGeneration = 1;
  QRectF m_bounds;
};
