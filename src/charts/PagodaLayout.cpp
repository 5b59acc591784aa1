#include "charts/PagodaLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// Working arrays of the tidy-tree walk (Walker's algorithm in Buchheim,
// Jünger and Leipert's linear-time form), indexed like the nodes. They live
// only while a layout is built.
struct TidyState {
  std::vector<double> prelim, mod, shift, change;
  std::vector<std::int32_t> thread, ancestor, number;
};

constexpr double kDistance = PagodaLayout::kBoxWidth + PagodaLayout::kGap;

class TidyTree {
public:
  TidyTree(std::vector<PagodaNode>& nodes, TidyState& s) : m_nodes(nodes), m_s(s) {}

  std::int32_t NextLeft(std::int32_t v) const {
    return m_nodes[v].childCount ? m_nodes[v].firstChild : m_s.thread[v];
  }
  std::int32_t NextRight(std::int32_t v) const {
    const PagodaNode& n = m_nodes[v];
    return n.childCount ? n.firstChild + n.childCount - 1 : m_s.thread[v];
  }

  void MoveSubtree(std::int32_t wm, std::int32_t wp, double amount) {
    const double subtrees = m_s.number[wp] - m_s.number[wm];
    m_s.change[wp] -= amount / subtrees;
    m_s.shift[wp] += amount;
    m_s.change[wm] += amount / subtrees;
    m_s.prelim[wp] += amount;
    m_s.mod[wp] += amount;
  }

  // Pushes the subtree of `v` right of its elder siblings' subtrees, level by
  // level along the facing contours, and threads the shorter contour on.
  std::int32_t Apportion(std::int32_t v, std::int32_t defaultAncestor) {
    if (m_s.number[v] == 0) return defaultAncestor;
    const std::int32_t father = m_nodes[v].parent;
    std::int32_t vip = v, vop = v, vim = v - 1, vom = m_nodes[father].firstChild;
    double sip = m_s.mod[vip], sop = m_s.mod[vop], sim = m_s.mod[vim], som = m_s.mod[vom];
    while (NextRight(vim) >= 0 && NextLeft(vip) >= 0) {
      vim = NextRight(vim);
      vip = NextLeft(vip);
      vom = NextLeft(vom);
      vop = NextRight(vop);
      m_s.ancestor[vop] = v;
      const double amount = (m_s.prelim[vim] + sim) - (m_s.prelim[vip] + sip) + kDistance;
      if (amount > 0) {
        const std::int32_t a = m_s.ancestor[vim];
        MoveSubtree(m_nodes[a].parent == father ? a : defaultAncestor, v, amount);
        sip += amount;
        sop += amount;
      }
      sim += m_s.mod[vim];
      sip += m_s.mod[vip];
      som += m_s.mod[vom];
      sop += m_s.mod[vop];
    }
    if (NextRight(vim) >= 0 && NextRight(vop) < 0) {
      m_s.thread[vop] = NextRight(vim);
      m_s.mod[vop] += sim - sop;
    }
    if (NextLeft(vip) >= 0 && NextLeft(vom) < 0) {
      m_s.thread[vom] = NextLeft(vip);
      m_s.mod[vom] += sip - som;
      defaultAncestor = v;
    }
    return defaultAncestor;
  }

  void ExecuteShifts(std::int32_t v) {
    const PagodaNode& n = m_nodes[v];
    double amount = 0, change = 0;
    for (std::int32_t w = n.firstChild + n.childCount - 1; w >= n.firstChild; --w) {
      m_s.prelim[w] += amount;
      m_s.mod[w] += amount;
      change += m_s.change[w];
      amount += m_s.shift[w] + change;
    }
  }

  // The first walk, bottom-up. Going through the breadth-first numbering
  // backwards reaches every member after all of its descendants, which is all
  // the post-order the algorithm needs. Until its father's turn, a member's
  // prelim holds the midpoint of its children (0 for a leaf).
  void FirstWalk() {
    for (std::int32_t v = static_cast<std::int32_t>(m_nodes.size()) - 1; v >= 0; --v) {
      const PagodaNode& n = m_nodes[v];
      if (n.childCount == 0) continue;
      std::int32_t defaultAncestor = n.firstChild;
      const std::int32_t last = n.firstChild + n.childCount - 1;
      for (std::int32_t w = n.firstChild; w <= last; ++w) {
        const double midpoint = m_s.prelim[w];
        if (w == n.firstChild) {
          m_s.prelim[w] = midpoint;
        } else {
          m_s.prelim[w] = m_s.prelim[w - 1] + kDistance;
          if (m_nodes[w].childCount) m_s.mod[w] = m_s.prelim[w] - midpoint;
        }
        defaultAncestor = Apportion(w, defaultAncestor);
      }
      ExecuteShifts(v);
      m_s.prelim[v] = (m_s.prelim[n.firstChild] + m_s.prelim[last]) / 2;
    }
  }

private:
  std::vector<PagodaNode>& m_nodes;
  TidyState& m_s;
};

}  // namespace

void PagodaLayout::Clear() {
  m_nodes.clear();
  m_nodes.shrink_to_fit();
  m_levelBegin.assign(1, 0);
  m_bounds = QRectF();
}

void PagodaLayout::Build(MemberNode* start, int generations, int firstGeneration) {
  Clear();
  m_firstGeneration = firstGeneration;
  if (!start) return;
  m_levelBegin.clear();

  // Breadth-first numbering: a family's children are appended together.
  m_nodes.push_back(PagodaNode{start, -1, -1, 0, 0, 0});
  for (std::size_t i = 0; i < m_nodes.size(); ++i) {
    const std::int32_t level = m_nodes[i].level;
    if (static_cast<std::size_t>(level) >= m_levelBegin.size())
      m_levelBegin.push_back(static_cast<std::int32_t>(i));
    if (generations > 0 && level + 1 >= generations) continue;
    const auto first = static_cast<std::int32_t>(m_nodes.size());
    std::int32_t count = 0;
    for (MemberNode* c = m_nodes[i].member->firstChild; c; c = c->nextSibling, ++count)
      m_nodes.push_back(PagodaNode{c, static_cast<std::int32_t>(i), -1, 0, level + 1, 0});
    if (count) {
      m_nodes[i].firstChild = first;
      m_nodes[i].childCount = count;
    }
  }
  m_levelBegin.push_back(static_cast<std::int32_t>(m_nodes.size()));

  const std::size_t n = m_nodes.size();
  TidyState s;
  s.prelim.assign(n, 0);
  s.mod.assign(n, 0);
  s.shift.assign(n, 0);
  s.change.assign(n, 0);
  s.thread.assign(n, -1);
  s.ancestor.resize(n);
  s.number.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    s.ancestor[i] = static_cast<std::int32_t>(i);
    const PagodaNode& node = m_nodes[i];
    for (std::int32_t k = 0; k < node.childCount; ++k) s.number[node.firstChild + k] = k;
  }
  s.number[0] = 0;
  TidyTree(m_nodes, s).FirstWalk();
  s.shift.clear();
  s.shift.shrink_to_fit();
  s.thread.clear();
  s.thread.shrink_to_fit();

  // The second walk, top-down: each member's place is its prelim plus the mods
  // of all its ancestors, accumulated in `change`, which has served its turn.
  std::vector<double>& above = s.change;
  above[0] = 0;
  double minX = 0, maxX = 0;
  for (std::size_t i = 0; i < n; ++i) {
    PagodaNode& node = m_nodes[i];
    node.x = s.prelim[i] + above[i];
    const double below = above[i] + s.mod[i];
    for (std::int32_t k = 0; k < node.childCount; ++k) above[node.firstChild + k] = below;
    minX = i == 0 ? node.x : std::min(minX, node.x);
    maxX = i == 0 ? node.x : std::max(maxX, node.x);
  }
  const double offset = kMargin + kLabelWidth - minX;
  for (PagodaNode& node : m_nodes) node.x += offset;
  m_bounds = QRectF(0, 0, maxX - minX + kBoxWidth + kLabelWidth + 2 * kMargin,
                    LevelCount() * kRowPitch - kRowGap + 2 * kMargin);
}

QRectF PagodaLayout::BoxRect(int index) const {
  const PagodaNode& node = m_nodes[index];
  return QRectF(node.x, RowTop(node.level), kBoxWidth, kBoxHeight);
}

std::pair<int, int> PagodaLayout::LevelSpan(int level, double x0, double x1) const {
  const auto begin = m_nodes.begin() + m_levelBegin[level];
  const auto end = m_nodes.begin() + m_levelBegin[level + 1];
  // Within a row the boxes run left to right in index order.
  const auto first =
      std::partition_point(begin, end, [x0](const PagodaNode& n) { return n.x + kBoxWidth < x0; });
  const auto last =
      std::partition_point(first, end, [x1](const PagodaNode& n) { return n.x <= x1; });
  return {static_cast<int>(first - m_nodes.begin()), static_cast<int>(last - m_nodes.begin())};
}

int PagodaLayout::HitTest(QPointF point) const {
  if (Empty() || point.y() < kMargin) return -1;
  const int level = static_cast<int>(std::floor((point.y() - kMargin) / kRowPitch));
  if (level < 0 || level >= LevelCount()) return -1;
  if (point.y() > RowTop(level) + kBoxHeight) return -1;
  const auto [first, last] = LevelSpan(level, point.x(), point.x());
  for (int i = first; i < last; ++i)
    if (BoxRect(i).contains(point)) return i;
  return -1;
}
