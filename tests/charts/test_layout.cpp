// Geometry of both layouts on small books: what the eye relies on, checked as
// numbers rather than pixels.
#include "ChartTestBooks.h"
#include "charts/OuyangChart.h"
#include "charts/PagodaChart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace {

using charttest::Charted;

// The column a box stands in, 0 the rightmost; -1 when it is between columns.
int ColumnOf(const OuyangChart::PlacedBox& b, const QRectF& page, double columnWidth) {
  const double k = (page.width() - kPageMargin - b.box.right()) / columnWidth;
  return std::abs(k - std::round(k)) < 1e-6 ? static_cast<int>(std::round(k)) : -1;
}

struct BookRow {
  const char* label;
  int members;
  int depth;
  unsigned seed;
  int generations;  // charted, 0 all
};

class LayoutTest : public ::testing::TestWithParam<BookRow> {
protected:
  void SetUp() override {
    const BookRow& row = GetParam();
    charttest::RandomBook(book, row.members, row.depth, row.seed);
  }
  COperationClanbook book;
};

TEST_P(LayoutTest, PagodaRowsAreTidyAndFamiliesStayTogether) {
  const int generations = GetParam().generations;
  MemberNode* root = book.Root();
  const PagodaChart chart(root, generations, 1, QStringLiteral("t"));
  const PagodaLayout& layout = chart.Layout();
  const auto& nodes = layout.Nodes();

  std::multiset<MemberNode*> shown;
  for (const PagodaNode& n : nodes) shown.insert(n.member);
  const std::vector<MemberNode*> expected = Charted(root, generations);
  EXPECT_EQ(shown, std::multiset<MemberNode*>(expected.begin(), expected.end()));

  const double distance = PagodaLayout::kBoxWidth + PagodaLayout::kGap;
  for (int level = 0; level < layout.LevelCount(); ++level) {
    double previousBarRight = -1e300;
    for (int i = layout.LevelBegin(level); i < layout.LevelEnd(level); ++i) {
      const PagodaNode& n = nodes[i];
      EXPECT_EQ(n.level, level);
      EXPECT_EQ(book.GetGeneration(n.member), level + 1);
      EXPECT_DOUBLE_EQ(layout.BoxRect(i).top(), layout.RowTop(level));
      if (i > layout.LevelBegin(level)) {
        EXPECT_GE(n.x - nodes[i - 1].x, distance - 1e-6) << "boxes overlap in row " << level;
      }
      if (!n.childCount) continue;
      // Children in birth order, left to right, the father centred over them.
      const PagodaNode& first = nodes[n.firstChild];
      const PagodaNode& last = nodes[n.firstChild + n.childCount - 1];
      MemberNode* child = n.member->firstChild;
      for (int k = 0; k < n.childCount; ++k, child = child->nextSibling)
        EXPECT_EQ(nodes[n.firstChild + k].member, child);
      EXPECT_NEAR(n.x, (first.x + last.x) / 2, 1e-6);
      // No other family's bar or box lies between the ends of this bar.
      EXPECT_GT(first.x, previousBarRight);
      previousBarRight = last.x;
    }
  }
  const QRectF bounds = layout.Bounds();
  for (int i = 0; i < static_cast<int>(nodes.size()); ++i)
    EXPECT_TRUE(bounds.contains(layout.BoxRect(i)));
}

TEST_P(LayoutTest, OuyangPagesHoldEveryMemberAndContinuationsPointRight) {
  const int generations = GetParam().generations;
  MemberNode* root = book.Root();
  const OuyangChart chart(root, generations, 1, QStringLiteral("t"), QPageSize::A4);
  const QRectF page(QPointF(0, 0), chart.PageSize());

  std::multiset<MemberNode*> shown;
  std::map<MemberNode*, int> continuesOn;
  for (int p = 0; p < chart.PageCount(); ++p) {
    const auto boxes = chart.PageBoxes(p);
    ASSERT_FALSE(boxes.empty()) << "page " << p + 1 << " is empty";
    const double columnWidth = (page.width() - 2 * kPageMargin) / OuyangChart::kColumns;
    const int headGeneration =
        boxes.front().generation - ColumnOf(boxes.front(), page, columnWidth);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const auto& b = boxes[i];
      EXPECT_TRUE(page.contains(b.box)) << "page " << p + 1;
      EXPECT_EQ(b.generation, book.GetGeneration(b.member));
      // Generations run right to left, one column each, five to a page.
      const int column = ColumnOf(b, page, columnWidth);
      EXPECT_EQ(b.generation - column, headGeneration) << "page " << p + 1;
      ASSERT_GE(column, 0);
      ASSERT_LT(column, OuyangChart::kColumns);
      for (std::size_t j = 0; j < i; ++j)
        EXPECT_FALSE(b.box.intersects(boxes[j].box)) << "page " << p + 1;
      if (b.seePage) continuesOn[b.member] = b.seePage;
      // A member heading a page and shown again on the page that sends there
      // is counted once.
      if (!(i == 0 && !b.seePage && continuesOn.count(b.member))) shown.insert(b.member);
    }
  }
  const std::vector<MemberNode*> expected = Charted(root, generations);
  EXPECT_EQ(shown, std::multiset<MemberNode*>(expected.begin(), expected.end()));

  for (const auto& [member, seePage] : continuesOn) {
    ASSERT_LE(seePage, chart.PageCount());
    const auto boxes = chart.PageBoxes(seePage - 1);
    EXPECT_EQ(boxes.front().member, member) << "见第" << seePage << "页 leads elsewhere";
    EXPECT_EQ(boxes.front().generation, book.GetGeneration(member));
    // The eldest child stands beside him, one column to the left.
    ASSERT_GT(boxes.size(), 1u);
    EXPECT_EQ(boxes[1].member, member->firstChild);
    EXPECT_DOUBLE_EQ(boxes[1].box.top(), boxes[0].box.top());
    EXPECT_LT(boxes[1].box.right(), boxes[0].box.left());
  }
}

INSTANTIATE_TEST_SUITE_P(Books, LayoutTest,
                         ::testing::Values(BookRow{"small_all", 40, 6, 1, 0},
                                           BookRow{"bushy_five", 400, 9, 2, 5},
                                           BookRow{"deep_all", 600, 23, 3, 0},
                                           BookRow{"deep_twelve", 600, 23, 4, 12},
                                           BookRow{"one_generation", 30, 4, 5, 1}),
                         [](const auto& info) { return std::string(info.param.label); });

// A full binary tree is as narrow as its leaves side by side.
TEST(PagodaLayout, FullBinaryTreeIsAsNarrowAsItsLeaves) {
  COperationClanbook book;
  std::vector<MemberNode*> level{charttest::Add(book, nullptr, charttest::Name(0), 1000)};
  int serial = 1;
  const int depth = 6;
  for (int d = 1; d < depth; ++d) {
    std::vector<MemberNode*> next;
    for (MemberNode* f : level)
      for (int k = 0; k < 2; ++k)
        next.push_back(charttest::Add(book, f, charttest::Name(serial++), 1000 + d * 20 + k));
    level = next;
  }
  PagodaLayout layout;
  layout.Build(book.Root(), 0, 1);
  const auto& nodes = layout.Nodes();
  const int lastLevel = layout.LevelCount() - 1;
  const double left = nodes[layout.LevelBegin(lastLevel)].x;
  const double right = nodes[layout.LevelEnd(lastLevel) - 1].x;
  EXPECT_DOUBLE_EQ(right - left,
                   (level.size() - 1) * (PagodaLayout::kBoxWidth + PagodaLayout::kGap));
  for (const PagodaNode& n : nodes) EXPECT_GE(n.x, left);
}

// Extreme shapes must neither overflow the stack nor lose anybody.
TEST(PagodaLayout, ExtremeShapesAreLaidOutWhole) {
  for (const bool deep : {true, false}) {
    COperationClanbook book;
    const int size = 200000;
    MemberNode* root = deep ? charttest::DeepBook(book, size) : charttest::WideBook(book, size);
    PagodaLayout layout;
    layout.Build(root, 0, 1);
    EXPECT_EQ(layout.Nodes().size(), static_cast<std::size_t>(deep ? size : size + 1));
    EXPECT_EQ(layout.LevelCount(), deep ? size : 2);
    const OuyangChart chart(root, 0, 1, QStringLiteral("t"), QPageSize::A4);
    const int rows = chart.RowsPerPage();
    // A line of N generations fills one row on each of ceil((N - 1) / 4) pages.
    const int pages = deep ? (size - 1 + 3) / 4 : (size + rows - 1) / rows;
    EXPECT_EQ(chart.PageCount(), pages);
    EXPECT_EQ(chart.PageBoxes(chart.PageCount() - 1).back().member->firstChild, nullptr);
  }
}

TEST(PagodaLayout, HitTestFindsEachBoxAndNothingBetween) {
  COperationClanbook book;
  charttest::RandomBook(book, 60, 5, 9);
  PagodaLayout layout;
  layout.Build(book.Root(), 0, 1);
  for (int i = 0; i < static_cast<int>(layout.Nodes().size()); ++i) {
    const QRectF box = layout.BoxRect(i);
    EXPECT_EQ(layout.HitTest(box.center()), i);
    EXPECT_EQ(layout.HitTest(box.center() + QPointF(0, PagodaLayout::kBoxHeight)), -1);
    EXPECT_EQ(layout.HitTest(box.topRight() + QPointF(PagodaLayout::kGap / 2, 1)), -1);
  }
}

TEST(ChartText, YearsAndLives) {
  struct Row {
    std::int32_t birth;
    bool alive;
    std::int32_t death;
    const char16_t* expected;
  };
  for (const Row& row :
       {Row{1900, true, 0, u"1900"}, Row{1900, false, 1980, u"1900–1980"}, Row{0, true, 0, u"前1"},
        Row{-99, false, 5, u"前100–5"}, Row{-2147483647 - 1, true, 0, u"前2147483649"}}) {
    MemberNode m;
    m.birthYear = row.birth;
    m.alive = row.alive;
    m.deathYear = row.death;
    EXPECT_EQ(ChartText::Life(m), QString::fromUtf16(row.expected));
  }
}

}  // namespace
