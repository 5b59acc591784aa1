// The two views and the operations that redraw them: the tree over the
// genealogy, the member rows, the selection, generations and birthdays.
#include "MainWindowTestSupport.h"
#include "charts/ChartWindow.h"
#include "charts/Statistics.h"
#include "dialogs/CAddInfoDlg.h"
#include "views/MemberSearchBar.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QUndoStack>

namespace {

using ViewsTest = MainWindowTest;

// 祖 (root) with sons 甲, 乙 born in that order; 甲 has 丙 and 丁, 乙 has 戊.
const char* const kFamily =
    "祖 1900 1 1 1 end 0 1970 5 6 -1\r\n"
    "甲 1920 3 4 1 北京 1 祖\r\n"
    "丙 1950 7 8 0 上海 0 1998 12 1 甲\r\n"
    "丁 1952 2 29 0 end 1 甲\r\n"
    "乙 1925 6 15 0 end 1 祖\r\n"
    "戊 1960 6 15 1 广州 1 乙\r\n";

TEST_F(ViewsTest, EmptyAndSingleMemberTrees) {
  window->RebuildTreeView();
  EXPECT_TRUE(TreeLines().isEmpty());

  Load("独 1950 1 1 0 end 1 -1\r\n");
  EXPECT_EQ(TreeLines(), QStringList{QStringLiteral("独")});
  const QModelIndex root = window->treeView()->model()->index(0, 0);
  EXPECT_FALSE(window->treeView()->model()->hasChildren(root));
  EXPECT_FALSE(root.parent().isValid());
}

TEST_F(ViewsTest, TreeShowsEveryMemberUnderItsFatherInSiblingOrder) {
  Load(kFamily);
  EXPECT_EQ(TreeLines(), (QStringList{QStringLiteral("祖"), QStringLiteral("  甲"),
                                      QStringLiteral("    丙"), QStringLiteral("    丁"),
                                      QStringLiteral("  乙"), QStringLiteral("    戊")}));
  // Children added out of birth order still stand in birth order.
  MemberNode* root = Find(u"祖");
  Add(root, u"晚", 1930, 1, 1);
  Add(root, u"早", 1910, 1, 1);
  Add(root, u"中", 1922, 1, 1);
  window->RebuildTreeView();
  const QAbstractItemModel* model = window->treeView()->model();
  const QModelIndex rootIndex = model->index(0, 0);
  QStringList sons;
  for (int row = 0; row < model->rowCount(rootIndex); ++row) {
    const QModelIndex son = model->index(row, 0, rootIndex);
    sons << son.data().toString();
    EXPECT_EQ(son.parent(), rootIndex);
    EXPECT_EQ(son.row(), row);
  }
  EXPECT_EQ(sons, (QStringList{QStringLiteral("早"), QStringLiteral("甲"), QStringLiteral("中"),
                               QStringLiteral("乙"), QStringLiteral("晚")}));
}

TEST_F(ViewsTest, RebuildCollapsesEverythingAndSelectsNothing) {
  Load(kFamily);
  const QAbstractItemModel* model = window->treeView()->model();
  const QModelIndex jia = window->treeModel()->IndexOf(Find(u"甲"));
  window->treeView()->ExpandAllInSteps();
  Select(jia);
  ASSERT_EQ(window->SelectedMember(), Find(u"甲"));

  Add(Find(u"乙"), u"己", 1965, 1, 1);
  window->RebuildTreeView();
  EXPECT_EQ(window->SelectedMember(), nullptr);
  EXPECT_TRUE(window->SelectedLabel().isEmpty());
  EXPECT_FALSE(window->treeView()->isExpanded(model->index(0, 0)));
  EXPECT_FALSE(window->treeView()->isExpanded(window->treeModel()->IndexOf(Find(u"甲"))));
  // Dropping the selection leaves the list and shows no error box.
  EXPECT_EQ(ListNames(), QStringList{QStringLiteral("甲")});
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(TreeLines().size(), 7);
}

TEST_F(ViewsTest, RowsOfLivingAndDeceasedMembers) {
  Load(kFamily);
  window->AddMemberRow(Find(u"祖"));
  window->AddMemberRow(Find(u"甲"));
  window->AddMemberRow(Find(u"丙"));
  window->AddMemberRow(Find(u"丁"));
  ASSERT_EQ(ListRows(), 4);
  EXPECT_EQ(ListRow(0), (QStringList{"祖", "1900--1--1", "是", "", "否", "1970--5--6", "2", "1"}));
  EXPECT_EQ(ListRow(1), (QStringList{"甲", "1920--3--4", "是", "北京", "是", "无", "2", "1"}));
  EXPECT_EQ(ListRow(2),
            (QStringList{"丙", "1950--7--8", "否", "上海", "否", "1998--12--1", "0", "1"}));
  EXPECT_EQ(ListRow(3), (QStringList{"丁", "1952--2--29", "否", "", "是", "无", "0", "2"}));

  // A living member's death date means nothing, whatever the record holds;
  // negative numbers print as C prints them.
  MemberNode* living = Add(Find(u"丁"), u"新", 1990, 1, 2);
  living->deathYear = 2000;
  living->deathMonth = 3;
  living->deathDay = 4;
  MemberNode* odd = Add(Find(u"丁"), u"怪", 1995, 11, 30);
  odd->alive = 0;
  odd->deathYear = -5;
  odd->deathMonth = 12;
  odd->deathDay = 31;
  window->ClearList();
  window->AddMemberRow(living);
  window->AddMemberRow(odd);
  EXPECT_EQ(ListRow(0).mid(4), (QStringList{"是", "无", "0", "1"}));
  EXPECT_EQ(ListRow(1).mid(4), (QStringList{"否", "-5--12--31", "0", "2"}));
}

TEST_F(ViewsTest, RowsKeepTheOrderOfTheCallsAndNotesHaveOneCell) {
  Load(kFamily);
  window->AddMemberRow(Find(u"戊"));
  window->AddNoteRow(QStringLiteral("戊的父亲:"));
  window->AddMemberRow(Find(u"乙"));
  EXPECT_EQ(ListNames(), (QStringList{"戊", "戊的父亲:", "乙"}));
  EXPECT_EQ(ListRow(1), (QStringList{"戊的父亲:", "", "", "", "", "", "", ""}));
  window->ClearList();
  EXPECT_EQ(ListRows(), 0);
}

TEST_F(ViewsTest, SelectingAnItemReplacesTheListByItsMember) {
  Load(kFamily);
  window->AddMemberRow(Find(u"祖"));
  window->AddNoteRow(QStringLiteral("note"));
  const QModelIndex bing = window->treeModel()->IndexOf(Find(u"丙"));
  window->treeView()->ExpandAllInSteps();
  // A click on the item, as the user selects it.
  const QRect rect = window->treeView()->visualRect(bing);
  ASSERT_TRUE(rect.isValid());
  QTest::mouseClick(window->treeView()->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_EQ(window->SelectedMember(), Find(u"丙"));
  EXPECT_EQ(window->SelectedLabel(), QStringLiteral("丙"));
  EXPECT_EQ(ListNames(), QStringList{QStringLiteral("丙")});

  Select(window->treeModel()->IndexOf(Find(u"乙")));
  EXPECT_EQ(ListNames(), QStringList{QStringLiteral("乙")});
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_FALSE(window->document().IsModified());
}

TEST_F(ViewsTest, TheItemStandsForItsOwnMemberWhenNamesRepeat) {
  // Names are unique through the commands, but the item must not depend on it:
  // two members named alike, the second one's children under the second one.
  Load(kFamily);
  MemberNode* first = Add(Find(u"甲"), u"同", 1955, 1, 1);
  MemberNode* second = Add(Find(u"乙"), u"同", 1966, 9, 9);
  Add(second, u"子", 1990, 1, 1);
  window->RebuildTreeView();
  EXPECT_EQ(TreeLines(), (QStringList{"祖", "  甲", "    丙", "    丁", "    同", "  乙", "    戊",
                                      "    同", "      子"}));
  Select(window->treeModel()->IndexOf(second));
  EXPECT_EQ(window->SelectedMember(), second);
  EXPECT_EQ(ListRow(0).at(1), QStringLiteral("1966--9--9"));
  Select(window->treeModel()->IndexOf(first));
  EXPECT_EQ(window->SelectedMember(), first);
  EXPECT_EQ(ListRow(0).at(1), QStringLiteral("1955--1--1"));
}

TEST_F(ViewsTest, ListGenerationAppendsOneGenerationLeftToRight) {
  Load(kFamily);
  Add(Find(u"戊"), u"庚", 1985, 1, 1);
  const auto generation = [&](int target) {
    window->ClearList();
    bool found = false;
    window->ListGeneration(window->document().Genealogy().Root(), found, 1, target);
    EXPECT_EQ(found, ListRows() > 0) << target;
    return ListNames();
  };
  EXPECT_EQ(generation(1), QStringList{QStringLiteral("祖")});
  EXPECT_EQ(generation(2), (QStringList{"甲", "乙"}));
  EXPECT_EQ(generation(3), (QStringList{"丙", "丁", "戊"}));
  EXPECT_EQ(generation(4), QStringList{QStringLiteral("庚")});
  EXPECT_TRUE(generation(5).isEmpty());
  EXPECT_TRUE(generation(0).isEmpty());
  EXPECT_TRUE(generation(-3).isEmpty());

  // Appends after what the list holds; found stays true once set.
  window->ClearList();
  window->AddNoteRow(QStringLiteral("before"));
  bool found = true;
  window->ListGeneration(window->document().Genealogy().Root(), found, 1, 9);
  EXPECT_TRUE(found);
  EXPECT_EQ(ListNames(), QStringList{QStringLiteral("before")});
}

TEST_F(ViewsTest, ListGenerationWalksAChainOfManyGenerations) {
  MemberNode* member = Add(nullptr, u"g1", 1000, 1, 1);
  const int generations = 200000;
  for (int i = 2; i <= generations; ++i) {
    member = Add(member, (u"g" + QString::number(i).toStdU16String()).c_str(), 1000, 1, 1);
  }
  window->RebuildTreeView();
  bool found = false;
  window->ListGeneration(window->document().Genealogy().Root(), found, 1, generations);
  EXPECT_TRUE(found);
  EXPECT_EQ(ListNames(), QStringList{QStringLiteral("g200000")});
}

TEST_F(ViewsTest, ALargeFamilyExpandsFromItsOwnArray) {
  const int children = 100000;
  QByteArray records = "父 1000 1 1 1 end 1 -1\r\n";
  for (int i = 0; i < children; ++i) {
    records += QStringLiteral("子%1 %2 %3 %4 0 end 1 父\r\n")
                   .arg(i)
                   .arg(1100 + i / 300)
                   .arg(1 + i / 25 % 12)
                   .arg(1 + i % 25)
                   .toUtf8();
  }
  Load(records.constData());
  const QAbstractItemModel* model = window->treeView()->model();
  const QModelIndex root = model->index(0, 0);
  window->treeView()->expand(root);
  ASSERT_EQ(model->rowCount(root), children);
  const QModelIndex last = model->index(children - 1, 0, root);
  EXPECT_EQ(last.data().toString(), QStringLiteral("子99999"));
  EXPECT_EQ(last.parent(), root);
  Select(last);
  EXPECT_EQ(ListRow(0).at(7), QStringLiteral("100000"));
  EXPECT_EQ(window->listView()->model()->index(0, 6).data().toString(), QStringLiteral("0"));
}

// The views show members of the genealogy itself, so every command that
// releases members must let go of them first. Each step below paints both
// views over rows and items of members that the next command releases; a
// sanitizer build reports any read of a released member.
TEST_F(ViewsTest, ViewsLetGoOfMembersThatCommandsRelease) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto write = [&](const char* name, const QByteArray& records) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(records + "end 1999 12 2 1 end 1 end");
    return path;
  };
  const QString first = write("first.ftf", kFamily);
  const QString second =
      write("second.ftf", "另 1800 1 1 1 end 1 -1\r\n另子 1830 1 1 1 end 1 另\r\n");
  const auto showEverything = [&] {
    window->treeView()->ExpandAllInSteps();
    Trigger(*window, ID_SORT_BY_BIRTH);
    window->grab();
  };

  window->OpenAtStart(first);
  showEverything();
  Select(window->treeModel()->IndexOf(Find(u"丙")));
  window->grab();
  // 甲 goes with 丙 and 丁; the list showed 甲's row, the tree all three.
  Select(window->treeModel()->IndexOf(Find(u"甲")));
  boxes.QueueAnswer(true);
  Trigger(*window, ID_DELETE_SELECTED);
  window->grab();
  EXPECT_EQ(TreeLines(), (QStringList{"祖", "  乙", "    戊"}));
  // 甲's row is gone; the list shows his father, whom the tree selects now.
  EXPECT_EQ(ListNames(), QStringList{"祖"});

  // A second Open replaces the whole genealogy under both views.
  showEverything();
  window->document().SetModified(false);
  window->OpenAtStart(second);
  window->grab();
  EXPECT_EQ(TreeLines(), (QStringList{"另", "  另子"}));
  EXPECT_EQ(ListRows(), 0);

  // New releases everything before it asks for the root.
  showEverything();
  boxes.QueueAnswer(true);  // close the genealogy
  OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* d) { ClickButton(d, "idc_2"); });
  Trigger(*window, ID_NEW);
  window->grab();
  EXPECT_TRUE(TreeLines().isEmpty());
  EXPECT_EQ(ListRows(), 0);
}

// The window goes with every view of the book still open: the chart and
// statistics windows, a search with its matches, an expanded tree, a full
// list, an undo history. Each goes before the document it shows (the
// sanitizer build sees any view that outlives its members).
TEST_F(ViewsTest, DestroyingTheWindowWithEveryViewOpenIsClean) {
  Load(kFamily);
  window->show();
  window->treeView()->expandAll();
  Select(window->treeModel()->IndexOf(Find(u"乙")));
  Trigger(*window, ID_SORT_BY_BIRTH);
  boxes.QueueAnswer(true);
  Trigger(*window, ID_DELETE_SELECTED);
  Trigger(*window, QStringLiteral("idm_lineageChart"));
  Trigger(*window, QStringLiteral("idm_statistics"));
  auto* box = window->searchBar()->findChild<QLineEdit*>();
  ASSERT_NE(box, nullptr);
  box->setText(QStringLiteral("丙"));
  window->grab();
  const QPointer<QWidget> chart = window->chartWindow();
  const QPointer<QWidget> statistics = window->statisticsWindow();
  const QPointer<QWidget> tree = window->treeView();
  ASSERT_FALSE(chart.isNull());
  ASSERT_TRUE(chart->isVisible());
  ASSERT_FALSE(statistics.isNull());
  ASSERT_TRUE(window->document().UndoStack()->canUndo());
  window.reset();
  EXPECT_TRUE(chart.isNull());
  EXPECT_TRUE(statistics.isNull());
  EXPECT_TRUE(tree.isNull());
}

class BirthdaysTest : public MainWindowTest {
protected:
  void LoadBirthdays() {
    Load(
        "祖 1904 2 29 1 end 0 1970 5 6 -1\r\n"
        "甲 1920 3 1 1 end 1 祖\r\n"
        "丙 1948 2 29 0 end 1 甲\r\n"
        "乙 1925 2 28 0 end 1 祖\r\n"
        "戊 1960 2 29 1 end 1 乙\r\n");
  }
};

TEST_F(BirthdaysTest, AnnouncesEveryoneBornTodayInPreOrder) {
  LoadBirthdays();
  window->AddNoteRow(QStringLiteral("old"));
  SetTodayForTesting(LocalDate{2024, 2, 29});
  window->ShowTodaysBirthdays();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Information);
  EXPECT_EQ(boxes.Boxes()[0].title, QStringLiteral("注意："));
  EXPECT_EQ(boxes.Boxes()[0].text,
            QStringLiteral("今天为以下家族成员的生日:  祖    丙    戊  \n详细信息请见以下列表."));
  EXPECT_EQ(ListNames(), (QStringList{"祖", "丙", "戊"}));
  EXPECT_FALSE(window->document().IsModified());
}

TEST_F(BirthdaysTest, TwentyNinthOfFebruaryOnlyOnThatDay) {
  LoadBirthdays();
  SetTodayForTesting(LocalDate{2023, 3, 1});
  window->ShowTodaysBirthdays();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text,
            QStringLiteral("今天为以下家族成员的生日:  甲  \n详细信息请见以下列表."));
  EXPECT_EQ(ListNames(), QStringList{QStringLiteral("甲")});
}

TEST_F(BirthdaysTest, NobodyBornTodayShowsNothingAndKeepsTheList) {
  LoadBirthdays();
  window->AddNoteRow(QStringLiteral("kept"));
  SetTodayForTesting(LocalDate{2023, 12, 24});
  window->ShowTodaysBirthdays();
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(ListNames(), QStringList{QStringLiteral("kept")});
  // Nor does a date the clock could not give.
  SetTodayForTesting(LocalDate{0, 0, 0});
  window->ShowTodaysBirthdays();
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(BirthdaysTest, ManySharingTheBirthdayAreAllAnnounced) {
  MemberNode* root = Add(nullptr, u"根", 1800, 6, 15);
  QString expected = QStringLiteral("今天为以下家族成员的生日:  根  ");
  QStringList names{QStringLiteral("根")};
  for (int i = 1; i <= 40; ++i) {
    const QString name = QStringLiteral("人%1").arg(i);
    Add(root, name.toStdU16String().c_str(), 1850 + i, 6, 15);
    expected += QStringLiteral("  ") + name + QStringLiteral("  ");
    names << name;
  }
  expected += QStringLiteral("\n详细信息请见以下列表.");
  window->RebuildTreeView();
  SetTodayForTesting(LocalDate{2023, 6, 15});
  window->ShowTodaysBirthdays();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, expected);
  EXPECT_EQ(ListNames(), names);
}

}  // namespace
