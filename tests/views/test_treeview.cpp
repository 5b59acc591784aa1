// The tree view on books of awkward shapes: a line deeper than QTreeView can
// lay out, families too many to open at once, the lines between items and the
// width of the name column.
#include "GuiTestSupport.h"
#include "document/GenealogyDocument.h"
#include "platform/Shell.h"
#include "views/GenealogyTreeModel.h"
#include "views/GenealogyTreeView.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace {

const QColor kBackground{154, 248, 140};

class TreeViewTest : public ::testing::Test {
protected:
  TreeViewTest() {
    view.setModel(&model);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Base, kBackground);
    view.setPalette(palette);
    view.resize(360, 320);
    view.show();
    SetBeepForTesting([this] { ++beeps; });
  }
  ~TreeViewTest() override { SetBeepForTesting(nullptr); }

  MemberNode* Add(MemberNode* father, const QString& name, int year) {
    auto* member = new MemberNode;
    member->name = name.toStdU16String();
    member->birthYear = year;
    member->birthMonth = 1;
    member->birthDay = 1;
    genealogy.InsertMember(father, member);
    return member;
  }
  QModelIndex IndexOf(const MemberNode* member) const { return model.IndexOf(member); }
  // Runs the event loop until a stepwise expansion has ended.
  void FinishExpansion() {
    while (view.IsExpanding()) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }
  void PressStar(const MemberNode* member) {
    view.setCurrentIndex(IndexOf(member));
    QTest::keyClick(&view, Qt::Key_Asterisk);
  }
  // Rows the view shows, read through its own navigation.
  int VisibleRows() {
    int rows = 0;
    for (QModelIndex i = model.index(0, 0); i.isValid(); i = view.indexBelow(i)) ++rows;
    return rows;
  }

  GenealogyDocument document;
  COperationClanbook& genealogy = document.Genealogy();
  GenealogyTreeModel model{document};
  GenealogyTreeView view;
  int beeps = 0;
};

// ---- a line deeper than QTreeView's recursive layout survives ----

using Expansion = std::function<void(GenealogyTreeView&, const QModelIndex& root)>;
struct DeepRow {
  const char* name;
  Expansion expand;
};
void PrintTo(const DeepRow& row, std::ostream* os) {
  *os << row.name;
}

class DeepLineTest : public TreeViewTest, public ::testing::WithParamInterface<DeepRow> {
protected:
  void SetUp() override {
    MemberNode* father = nullptr;
    for (int generation = 0; generation < 50000; ++generation) {
      father = Add(father, QStringLiteral("孔%1").arg(generation), 1000 + generation);
      line.push_back(father);
    }
    document.NotifyReset();
  }
  std::vector<MemberNode*> line;
};

TEST_P(DeepLineTest, OpensNoDeeperThanTheLayoutCanGo) {
  QSignalSpy notices(&view, &GenealogyTreeView::expansionStopped);
  GetParam().expand(view, IndexOf(line.front()));
  FinishExpansion();
  // A full layout walks every open generation: it must come back.
  view.doItemsLayout();
  (void)view.grab();

  const int deepest = view.Limits().maxDepth;
  EXPECT_TRUE(view.isExpanded(IndexOf(line[deepest - 1])));
  EXPECT_FALSE(view.isExpanded(IndexOf(line[deepest])));
  EXPECT_EQ(notices.count(), 1);
  EXPECT_EQ(beeps, 1);

  // The first closed generation is on screen; opening it by hand is refused too.
  view.expand(IndexOf(line[deepest]));
  QCoreApplication::processEvents();
  view.doItemsLayout();
  EXPECT_FALSE(view.isExpanded(IndexOf(line[deepest])));
  EXPECT_EQ(notices.count(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, DeepLineTest,
    ::testing::Values(
        DeepRow{"StarKey",
                [](GenealogyTreeView& v, const QModelIndex& root) {
                  v.setCurrentIndex(root);
                  QTest::keyClick(&v, Qt::Key_Asterisk);
                }},
        DeepRow{"ExpandAll", [](GenealogyTreeView& v, const QModelIndex&) { v.ExpandAllInSteps(); }},
        DeepRow{"ExpandRecursively",
                [](GenealogyTreeView& v, const QModelIndex& root) { v.ExpandBranchInSteps(root); }},
        DeepRow{"ExpandToDepth",
                [](GenealogyTreeView& v, const QModelIndex&) { v.ExpandToDepthInSteps(60000); }}),
    [](const ::testing::TestParamInfo<DeepRow>& info) { return std::string(info.param.name); });

// ---- a broad book opens breadth first, in bounded steps, up to a bound ----

TEST_F(TreeViewTest, StarOpensABroadBookInBoundedSteps) {
  constexpr int kFamily = 20;
  MemberNode* root = Add(nullptr, QStringLiteral("祖"), 1000);
  std::vector<MemberNode*> sons;
  std::vector<MemberNode*> grandsons;  // in breadth-first order
  for (int s = 0; s < kFamily; ++s) {
    sons.push_back(Add(root, QStringLiteral("子%1").arg(s), 1100 + s));
    for (int g = 0; g < kFamily; ++g) {
      grandsons.push_back(Add(sons.back(), QStringLiteral("孙%1-%2").arg(s).arg(g), 1200 + g));
      for (int c = 0; c < kFamily; ++c) Add(grandsons.back(), QStringLiteral("曾%1").arg(c), 1300);
    }
  }
  document.NotifyReset();
  GenealogyTreeView::ExpansionLimits limits;
  limits.rowsPerStep = 300;
  limits.maxRows = 1000;
  view.SetLimits(limits);
  QSignalSpy notices(&view, &GenealogyTreeView::expansionStopped);

  PressStar(root);
  // The key returns after the first step, with the rest still to come.
  ASSERT_TRUE(view.IsExpanding());
  std::vector<int> rowsPerTurn{VisibleRows()};
  QTimer turn;
  turn.setInterval(0);
  QObject::connect(&turn, &QTimer::timeout, [&] { rowsPerTurn.push_back(VisibleRows()); });
  turn.start();
  FinishExpansion();
  turn.stop();
  rowsPerTurn.push_back(VisibleRows());

  EXPECT_GE(rowsPerTurn.size(), 4u);
  for (std::size_t i = 1; i < rowsPerTurn.size(); ++i) {
    EXPECT_LE(rowsPerTurn[i] - rowsPerTurn[i - 1], limits.rowsPerStep + kFamily) << "turn " << i;
  }
  // Breadth first: every son before any grandson, then grandsons in order,
  // as many whole families as the bound leaves room for.
  for (const MemberNode* son : sons) EXPECT_TRUE(view.isExpanded(IndexOf(son)));
  const int opened = (limits.maxRows - kFamily - kFamily * kFamily) / kFamily;
  for (int g = 0; g < static_cast<int>(grandsons.size()); ++g) {
    EXPECT_EQ(view.isExpanded(IndexOf(grandsons[g])), g < opened) << "grandson " << g;
  }
  EXPECT_EQ(rowsPerTurn.back(), 1 + kFamily + kFamily * kFamily + opened * kFamily);
  EXPECT_EQ(notices.count(), 1);

  // A rebuild while a branch is opening ends the opening.
  view.collapseAll();
  PressStar(root);
  ASSERT_TRUE(view.IsExpanding());
  document.NotifyReset();
  EXPECT_FALSE(view.IsExpanding());
  FinishExpansion();
  EXPECT_EQ(VisibleRows(), 1);
}

// ---- lines between the items and at the root ----

TEST_F(TreeViewTest, DrawsLinesBetweenItemsAndAtTheRoot) {
  // 祖 with sons 甲 (丙, 丁) and 乙 (戊).
  MemberNode* root = Add(nullptr, QStringLiteral("祖"), 1900);
  MemberNode* jia = Add(root, QStringLiteral("甲"), 1920);
  MemberNode* bing = Add(jia, QStringLiteral("丙"), 1950);
  MemberNode* ding = Add(jia, QStringLiteral("丁"), 1952);
  MemberNode* yi = Add(root, QStringLiteral("乙"), 1925);
  MemberNode* wu = Add(yi, QStringLiteral("戊"), 1960);
  document.NotifyReset();
  view.ExpandAllInSteps();
  QCoreApplication::processEvents();
  const QImage image = view.viewport()->grab().toImage();
  const int indent = view.indentation();

  // The centre of the branch column `back` columns left of the item's text.
  struct Cell {
    int x;
    QRect row;
  };
  const auto cell = [&](const MemberNode* m, int back) {
    const QRect row = view.visualRect(IndexOf(m));
    return Cell{row.left() - back * indent + indent / 2, row};
  };
  const auto differs = [&](QPoint from, QPoint to) {
    int count = 0;
    for (int y = from.y(); y <= to.y(); ++y)
      for (int x = from.x(); x <= to.x(); ++x) count += image.pixelColor(x, y) != kBackground;
    return count;
  };
  struct Segment {
    const char* what;
    const MemberNode* member;
    int back;  // 1: the item's own branch column
    int part;  // 0: upper half, 1: lower half, 2: stub to the text, 3: button
    bool drawn;
  };
  const Segment segments[] = {
      {"丙 hangs from 甲", bing, 1, 0, true},
      {"丙 leads on to 丁", bing, 1, 1, true},
      {"丙's stub", bing, 1, 2, true},
      {"甲's line passes 丙 on to 乙", bing, 2, 0, true},
      {"甲's line passes 丙 on to 乙", bing, 2, 1, true},
      {"祖's button", root, 1, 3, true},
      {"甲's button", jia, 1, 3, true},
      {"nothing below 丁, the last", ding, 1, 1, false},
      {"nothing beside 戊 once 乙 is the last", wu, 2, 0, false},
      {"nothing above the root", root, 1, 0, false},
  };
  for (const Segment& s : segments) {
    const Cell c = cell(s.member, s.back);
    const int middle = c.row.top() + c.row.height() / 2;
    int found = 0;
    switch (s.part) {
      case 0:
        found = differs({c.x, c.row.top()}, {c.x, middle - 5});
        break;
      case 1:
        found = differs({c.x, middle + 5}, {c.x, c.row.bottom()});
        break;
      case 2:
        found = differs({c.x + 1, middle}, {c.row.left() - 2, middle});
        break;
      case 3:
        found = differs({c.x - 4, middle - 4}, {c.x + 4, middle + 4});
        break;
    }
    EXPECT_EQ(found > 0, s.drawn) << s.what;
  }
}

// ---- the name column keeps room for the widest name shown ----

struct WidthRow {
  const char* name;
  bool byStar;
};
void PrintTo(const WidthRow& row, std::ostream* os) {
  *os << row.name;
}
class NameColumnTest : public TreeViewTest, public ::testing::WithParamInterface<WidthRow> {};

TEST_P(NameColumnTest, FitsALongNameFarDownALargeFamily) {
  MemberNode* root = Add(nullptr, QStringLiteral("孔"), 1000);
  MemberNode* son = Add(root, QStringLiteral("孔子"), 1100);
  const QString longName = QStringLiteral("孔") + QString(30, QChar(0x5FB7));
  constexpr int kChildren = 3000;
  for (int row = 0; row < kChildren; ++row) {
    Add(son, row == kChildren - 100 ? longName : QStringLiteral("孔%1").arg(row), 1200 + row);
  }
  document.NotifyReset();
  if (GetParam().byStar) {
    PressStar(root);
    FinishExpansion();
  } else {
    view.expand(IndexOf(root));
    view.expand(IndexOf(son));
  }
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();

  // The delegate elides what does not fit between its margins; the name
  // stands two generations in.
  const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
  const int needed =
      3 * view.indentation() + QFontMetrics(view.font()).horizontalAdvance(longName) + 2 * margin;
  EXPECT_GE(view.columnWidth(0), needed);
}

INSTANTIATE_TEST_SUITE_P(Ways, NameColumnTest,
                         ::testing::Values(WidthRow{"ByHand", false}, WidthRow{"ByStar", true}),
                         [](const ::testing::TestParamInfo<WidthRow>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
