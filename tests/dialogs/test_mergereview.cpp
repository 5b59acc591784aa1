// The merge review (修谱): its four lists over a plan made from small books,
// choices and renames made through the real window, and what OK and Cancel
// leave for the caller.
#include "../merge/MergeTestSupport.h"
#include "GuiTestSupport.h"
#include "dialogs/CMergeReviewDlg.h"
#include "merge/BranchMerge.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace mergetest;
using Section = MergeReviewModel::Section;

namespace {

using BookEdit = std::function<void(COperationClanbook&)>;

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The clan and its branch of A as exported; each test edits either, then opens
// the review over the plan.
class MergeReviewTest : public ::testing::Test {
protected:
  void SetUp() override {
    BuildClan(book());
    ExtractBranch(book(), Find(book(), u"A"), branch());
  }

  CMergeReviewDlg& Open(MergeSide prefer = MergeSide::Branch) {
    plan_ = PlanMerge(book(), branch(), prefer);
    dialog_ = std::make_unique<CMergeReviewDlg>(plan_, book(), branch());
    for (Section s : {Section::Added, Section::Changed, Section::BookOnly, Section::Conflicts})
      testers_.push_back(std::make_unique<QAbstractItemModelTester>(
          &dialog_->Model(s), QAbstractItemModelTester::FailureReportingMode::Fatal));
    dialog_->Create();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    return *dialog_;
  }

  QString Cell(Section s, int row, int column) {
    const MergeReviewModel& m = dialog_->Model(s);
    return m.data(m.index(row, column)).toString();
  }
  // The list's row of the member the review shows under `name`.
  int RowNamed(Section s, const QString& name) {
    for (int r = 0; r < dialog_->Model(s).rowCount(); ++r)
      if (Cell(s, r, 0) == name) return r;
    return -1;
  }
  QPushButton* Button(const QString& label) {
    for (auto* b : dialog_->findChildren<QPushButton*>())
      if (b->accessibleName() == label) return b;
    ADD_FAILURE() << "no button " << label.toStdString();
    return nullptr;
  }
  QTableView* List(const QString& label) {
    for (auto* v : dialog_->findChildren<QTableView*>())
      if (v->accessibleName() == label) return v;
    ADD_FAILURE() << "no list " << label.toStdString();
    return nullptr;
  }
  QString TabTitle(int i) { return dialog_->findChild<QTabWidget*>()->tabText(i); }
  QString Summary() { return dialog_->findChild<QLabel*>(QStringLiteral("summary"))->text(); }

  COperationClanbook& book() { return *book_; }
  COperationClanbook& branch() { return *branch_; }
  void Reset() {
    book_ = std::make_unique<COperationClanbook>();
    branch_ = std::make_unique<COperationClanbook>();
  }
  void Close() {
    testers_.clear();
    dialog_.reset();
  }

  std::unique_ptr<COperationClanbook> book_ = std::make_unique<COperationClanbook>();
  std::unique_ptr<COperationClanbook> branch_ = std::make_unique<COperationClanbook>();
  MergePlan plan_;
  std::unique_ptr<CMergeReviewDlg> dialog_;
  std::vector<std::unique_ptr<QAbstractItemModelTester>> testers_;
};

TEST_F(MergeReviewTest, EachListShowsItsRowsOfThePlan) {
  Add(book(), u"A", u"A3", 1964);  // only in the book
  Add(branch(), u"A", u"A4", 1966);
  Add(branch(), u"A4", u"A41", 1995);
  Add(branch(), u"A4", u"A42", 1997);
  EditMember(branch(), u"A11", [](MemberNode& m) {
    m.alive = 0;
    m.deathYear = 2020;
    m.deathMonth = m.deathDay = 3;
  });
  EditMember(branch(), u"A2", [](MemberNode& m) { m.address = u"Mill"; });
  Find(book(), u"A2")->extra.EditRecord().biography = u"少年好学，长而游于四方，晚归故里";
  MemberRecord& branchRecord = Find(branch(), u"A2")->extra.EditRecord();
  branchRecord.courtesyName = u"茂林";
  branchRecord.spouses = {Spouse{}, Spouse{}};
  branchRecord.spouses[0].surname = u"王";
  branchRecord.spouses[1].surname = u"李";
  CMergeReviewDlg& dialog = Open();

  // Every plan row is in the list of its kind, in plan order, and nowhere else.
  const std::pair<Section, MergeRowKind> kinds[] = {{Section::Added, MergeRowKind::Add},
                                                    {Section::Changed, MergeRowKind::Change},
                                                    {Section::BookOnly, MergeRowKind::BookOnly}};
  for (const auto& [section, kind] : kinds) {
    const MergeReviewModel& model = dialog.Model(section);
    std::vector<std::uint32_t> expected;
    for (std::uint32_t i = 0; i < plan_.RowCount(); ++i)
      if (plan_.Row(i).kind == kind) expected.push_back(i);
    std::vector<std::uint32_t> listed;
    for (int r = 0; r < model.rowCount(); ++r) {
      listed.push_back(model.PlanRow(r));
      EXPECT_EQ(Cell(section, r, 0), Q(plan_.Name(model.PlanRow(r))));
    }
    EXPECT_EQ(listed, expected);
  }
  EXPECT_EQ(dialog.Model(Section::Conflicts).rowCount(), 0);
  EXPECT_EQ(TabTitle(0), QStringLiteral("新增（1）"));
  EXPECT_EQ(TabTitle(1), QStringLiteral("不同（2）"));
  EXPECT_EQ(TabTitle(2), QStringLiteral("仅在家谱（1）"));
  EXPECT_EQ(TabTitle(3), QStringLiteral("冲突（0）"));
  EXPECT_TRUE(Summary().contains(QStringLiteral("新增 3 人")));

  const int a4 = RowNamed(Section::Added, QStringLiteral("A4"));
  ASSERT_GE(a4, 0);
  EXPECT_EQ(Cell(Section::Added, a4, MergeReviewModel::kAddFather), QStringLiteral("A"));
  EXPECT_EQ(Cell(Section::Added, a4, MergeReviewModel::kAddMembers), QStringLiteral("3"));
  EXPECT_EQ(Cell(Section::Added, a4, MergeReviewModel::kAddOutcome),
            QStringLiteral("连同后代共 3 人并入"));
  const int a3 = RowNamed(Section::BookOnly, QStringLiteral("A3"));
  ASSERT_GE(a3, 0);
  EXPECT_EQ(Cell(Section::BookOnly, a3, MergeReviewModel::kBookFather), QStringLiteral("A"));

  // Only the fields that differ are shown, book beside branch.
  struct Fields {
    const char16_t* name;
    std::vector<std::pair<int, QString>> cells;  // the other field cells are empty
  };
  const Fields changes[] = {
      {u"A11",
       {{MergeReviewModel::kChangeDeathBook, QStringLiteral("健在")},
        {MergeReviewModel::kChangeDeathBranch, QStringLiteral("2020--3--3 去世")}}},
      {u"A2",
       {{MergeReviewModel::kChangeAddressBook, QStringLiteral("（无）")},
        {MergeReviewModel::kChangeAddressBranch, QStringLiteral("Mill")},
        // The record field by field, a long text shortened.
        {MergeReviewModel::kChangeRecordBook,
         QStringLiteral("字：（无）；行传：少年好学，长而游于四方，…（共 16 字）；配偶：（无）")},
        {MergeReviewModel::kChangeRecordBranch,
         QStringLiteral("字：茂林；行传：（无）；配偶：王氏、李氏")}}},
  };
  for (const Fields& f : changes) {
    const int row = RowNamed(Section::Changed, Q(f.name));
    ASSERT_GE(row, 0);
    for (int c = MergeReviewModel::kChangeBirthBook; c <= MergeReviewModel::kChangeRecordBranch;
         ++c) {
      QString wanted;
      for (const auto& [column, text] : f.cells)
        if (column == c) wanted = text;
      EXPECT_EQ(Cell(Section::Changed, row, c), wanted) << Narrow(f.name) << " column " << c;
    }
  }
}

// A conflict of each kind: the list of conflicts shows the row with its reason.
struct ConflictCase {
  const char* what;
  BookEdit editBook;
  BookEdit editBranch;
  MergeSide prefer;
  const char16_t* name;
  const char16_t* kind;
  QString reason;
  QString outcome;
};

TEST_F(MergeReviewTest, EveryConflictIsListedWithItsReason) {
  const BookEdit none = [](COperationClanbook&) {};
  const ConflictCase cases[] = {
      {"a name borne elsewhere in the book", none,
       [](COperationClanbook& b) {
         Add(b, u"A1", u"B1", 1991);
         Add(b, u"B1", u"Kid", 2015);
       },
       MergeSide::Branch, u"B1", u"新增", QStringLiteral("家谱中已有同名成员（B之子）"),
       QStringLiteral("连同后代共 2 人不并入")},
      {"a name borne twice among the newcomers", none,
       [](COperationClanbook& b) {
         Add(b, u"A1", u"New", 1991);
         Add(b, u"A2", u"New2", 1991);
         Add(b, u"New2", u"New", 2012);
       },
       MergeSide::Branch, u"New", u"新增", QStringLiteral("支谱中另一位新增成员已用此名"),
       QStringLiteral("不并入")},
      {"a name the file cannot hold", none,
       [](COperationClanbook& b) { Add(b, u"A2", u"end", 1991); }, MergeSide::Branch, u"end",
       u"新增", QStringLiteral("姓名无法存入家谱：为空、为“end”、含空格或多于 127 个字符"),
       QStringLiteral("不并入")},
      {"an address the file cannot hold", none,
       [](COperationClanbook& b) {
         EditMember(b, u"A2", [](MemberNode& m) { m.address = u"two words"; });
       },
       MergeSide::Branch, u"A2", u"不同",
       QStringLiteral("地址无法存入家谱：含空格或多于 127 个字符"),
       QStringLiteral("保留家谱的数据")},
      {"no date of the calendar", none,
       [](COperationClanbook& b) {
         EditMember(b, u"A2", [](MemberNode& m) {
           m.birthMonth = 2;
           m.birthDay = 30;
         });
       },
       MergeSide::Branch, u"A2", u"不同", QStringLiteral("出生日期 1962--2--30 不是有效的日期"),
       QStringLiteral("保留家谱的数据")},
      {"death before birth", none,
       [](COperationClanbook& b) {
         Add(b, u"A2", u"New", 1991);
         EditMember(b, u"New", [](MemberNode& m) {
           m.alive = 0;
           m.deathYear = 1990;
           m.deathMonth = m.deathDay = 1;
         });
       },
       MergeSide::Branch, u"New", u"新增", QStringLiteral("去世日期 1990--1--1 无效或早于出生日期"),
       QStringLiteral("不并入")},
      {"added below a father who keeps the book's later birth",
       [](COperationClanbook& b) {
         EditMember(b, u"A1", [](MemberNode& m) { m.birthYear = 1975; });
       },
       [](COperationClanbook& b) { Add(b, u"A1", u"Early", 1970); }, MergeSide::Book, u"Early",
       u"新增", QStringLiteral("出生日期不晚于父亲A1"), QStringLiteral("不并入")},
      {"a changed birth after a child's the book keeps",
       [](COperationClanbook& b) { Add(b, u"A1", u"A13", 1970); },
       [](COperationClanbook& b) {
         EditMember(b, u"A1", [](MemberNode& m) { m.birthYear = 1970; });
       },
       MergeSide::Branch, u"A1", u"不同",
       QStringLiteral("出生日期不早于子女（子女保留家谱中的日期）"),
       QStringLiteral("保留家谱的数据")},
  };
  COperationClanbook clan;
  BuildClan(clan);
  for (const ConflictCase& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    BuildClan(book());
    c.editBook(book());
    ExtractBranch(clan, Find(clan, u"A"), branch());
    c.editBranch(branch());
    Open(c.prefer);
    const int row = RowNamed(Section::Conflicts, Q(c.name));
    ASSERT_GE(row, 0);
    EXPECT_EQ(Cell(Section::Conflicts, row, MergeReviewModel::kConflictKind), Q(c.kind));
    EXPECT_EQ(Cell(Section::Conflicts, row, MergeReviewModel::kConflictReason), c.reason);
    EXPECT_EQ(Cell(Section::Conflicts, row, MergeReviewModel::kConflictOutcome), c.outcome);
    // The list of its kind says the same, after what it does with the row.
    const Section own = c.kind == std::u16string_view(u"新增") ? Section::Added : Section::Changed;
    const int ownRow = dialog_->Model(own).RowOf(dialog_->Model(Section::Conflicts).PlanRow(row));
    ASSERT_GE(ownRow, 0);
    EXPECT_EQ(Cell(own, ownRow, dialog_->Model(own).columnCount() - 1),
              QStringLiteral("%1：%2").arg(c.outcome, c.reason));
    // A window with conflicts opens on them.
    EXPECT_EQ(dialog_->findChild<QTabWidget*>()->currentWidget(), List(QStringLiteral("冲突")));
    Close();
  }
}

TEST_F(MergeReviewTest, ChoicesPerMemberAndForAllReachThePlan) {
  EditMember(branch(), u"A", [](MemberNode& m) { m.married = 1; });
  EditMember(branch(), u"A2", [](MemberNode& m) { m.address = u"Mill"; });
  // Taking A1's new birth would put him after A11, whom the book keeps.
  EditMember(branch(), u"A1", [](MemberNode& m) { m.birthYear = 1995; });
  EditMember(branch(), u"A11", [](MemberNode& m) { m.birthYear = 1996; });
  CMergeReviewDlg& dialog = Open(MergeSide::Book);
  const MergeReviewModel& changed = dialog.Model(Section::Changed);
  ASSERT_EQ(changed.rowCount(), 4);
  auto choices = [&] {
    std::vector<MergeSide> sides;
    for (int r = 0; r < changed.rowCount(); ++r)
      sides.push_back(plan_.Row(changed.PlanRow(r)).choice);
    return sides;
  };
  const std::vector<MergeSide> allBook(4, MergeSide::Book);
  const std::vector<MergeSide> allBranch(4, MergeSide::Branch);
  EXPECT_EQ(choices(), allBook);
  EXPECT_FALSE(Button(QStringLiteral("合并"))->isEnabled());  // nothing to take

  // Space on the choice cell of A2 takes the branch's data for him alone.
  QTableView* list = List(QStringLiteral("不同"));
  dialog.findChild<QTabWidget*>()->setCurrentWidget(list);
  const int a2 = RowNamed(Section::Changed, QStringLiteral("A2"));
  list->setCurrentIndex(changed.index(a2, MergeReviewModel::kChangeChoice));
  QTest::keyClick(list, Qt::Key_Space);
  std::vector<MergeSide> wanted = allBook;
  wanted[a2] = MergeSide::Branch;
  EXPECT_EQ(choices(), wanted);
  EXPECT_EQ(Cell(Section::Changed, a2, MergeReviewModel::kChangeChoice), QStringLiteral("取支谱"));
  EXPECT_TRUE(plan_.Row(changed.PlanRow(a2)).applies);
  EXPECT_TRUE(Button(QStringLiteral("合并"))->isEnabled());

  // All from the branch: A1 then falls into conflict and joins that list; A11
  // taken along with him keeps him sound (the child moves after the father).
  QTest::mouseClick(Button(QStringLiteral("全部取支谱")), Qt::LeftButton);
  EXPECT_EQ(choices(), allBranch);
  for (int r = 0; r < changed.rowCount(); ++r)
    EXPECT_EQ(plan_.Row(changed.PlanRow(r)).conflict == MergeConflict::None,
              plan_.Row(changed.PlanRow(r)).applies);
  EXPECT_EQ(dialog.Model(Section::Conflicts).rowCount(), 0);

  // The book keeps A11's date if he alone goes back: A1 then conflicts.
  const int a11 = RowNamed(Section::Changed, QStringLiteral("A11"));
  list->setCurrentIndex(changed.index(a11, MergeReviewModel::kChangeChoice));
  QTest::keyClick(list, Qt::Key_Space);
  const int a1 = RowNamed(Section::Changed, QStringLiteral("A1"));
  EXPECT_EQ(plan_.Row(changed.PlanRow(a1)).conflict, MergeConflict::ChildNotAfter);
  EXPECT_EQ(RowNamed(Section::Conflicts, QStringLiteral("A1")), 0);
  EXPECT_EQ(TabTitle(3), QStringLiteral("冲突（1）"));

  QTest::mouseClick(Button(QStringLiteral("全部取家谱")), Qt::LeftButton);
  EXPECT_EQ(choices(), allBook);
  // Resolved by taking the book's data: still listed, as resolved.
  EXPECT_EQ(Cell(Section::Conflicts, 0, MergeReviewModel::kConflictReason),
            QStringLiteral("已解决"));
  EXPECT_EQ(TabTitle(3), QStringLiteral("冲突（0）"));
}

TEST_F(MergeReviewTest, RenamingANewcomerResolvesHisConflict) {
  Add(branch(), u"A1", u"B1", 1991);  // B1 is B's son in the book
  Add(branch(), u"B1", u"Kid", 2015);
  CMergeReviewDlg& dialog = Open();
  QTableView* list = List(QStringLiteral("冲突"));
  const MergeReviewModel& conflicts = dialog.Model(Section::Conflicts);
  ASSERT_EQ(conflicts.rowCount(), 1);
  const std::uint32_t planRow = conflicts.PlanRow(0);
  EXPECT_FALSE(Button(QStringLiteral("合并"))->isEnabled());

  // 改名… opens the name cell of the chosen row; the new name is typed in.
  struct Step {
    QString name;
    MergeConflict conflict;
  };
  for (const Step& step : {Step{QStringLiteral("Root"), MergeConflict::NameInBook},
                           Step{QStringLiteral("两 字"), MergeConflict::NameNotStorable},
                           Step{QStringLiteral("B1乙"), MergeConflict::None}}) {
    list->setCurrentIndex(conflicts.index(0, MergeReviewModel::kConflictReason));
    QTest::mouseClick(Button(QStringLiteral("改名…")), Qt::LeftButton);
    auto* editor = list->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    TypeKeys(editor, step.name);
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits the editor's text and closes it through queued calls.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Q(plan_.Name(planRow)), step.name);
    EXPECT_EQ(plan_.Row(planRow).conflict, step.conflict) << step.name.toStdString();
    EXPECT_EQ(Cell(Section::Conflicts, 0, 0), step.name);
  }
  EXPECT_TRUE(plan_.Row(planRow).applies);
  EXPECT_EQ(Cell(Section::Conflicts, 0, MergeReviewModel::kConflictReason),
            QStringLiteral("已解决"));
  EXPECT_EQ(Cell(Section::Conflicts, 0, MergeReviewModel::kConflictOutcome),
            QStringLiteral("连同后代共 2 人并入"));
  EXPECT_EQ(TabTitle(3), QStringLiteral("冲突（0）"));
  // Kid's father is shown under his new name.
  EXPECT_EQ(Cell(Section::Added, dialog.Model(Section::Added).RowOf(planRow), 0),
            QStringLiteral("B1乙"));

  // OK leaves the book to the caller, who carries out the plan as reviewed.
  const std::string before = Dump(book());
  QTest::mouseClick(Button(QStringLiteral("合并")), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), IDOK);
  EXPECT_EQ(Dump(book()), before);
  MergeChanges changes = MakeMergeChanges(plan_, book());
  ApplyMerge(book(), changes);
  const MemberNode* renamed = Find(book(), u"B1乙");
  ASSERT_NE(renamed, nullptr);
  EXPECT_EQ(renamed->parent, Find(book(), u"A1"));
  EXPECT_EQ(modeltest::Children(renamed), "Kid");
}

TEST_F(MergeReviewTest, CancelAndAnEmptyPlanChangeNothing) {
  struct Case {
    const char* what;
    BookEdit editBranch;
    QString summary;
    bool canMerge;
  };
  const Case cases[] = {
      {"nothing differs", [](COperationClanbook&) {},
       QStringLiteral("支谱与家谱没有差别，无需合并。"), false},
      {"a root the book lacks",
       [](COperationClanbook& b) {
         b.DeleteMember(b.Root());
         Add(b, u"", u"Zed", 1950);
       },
       QStringLiteral("家谱中没有支谱的始祖Zed，无法合并。"), false},
      {"a newcomer", [](COperationClanbook& b) { Add(b, u"A2", u"New", 1991); }, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    branch_ = std::make_unique<COperationClanbook>();
    ExtractBranch(book(), Find(book(), u"A"), branch());
    c.editBranch(branch());
    const std::string before = Dump(book());
    CMergeReviewDlg& dialog = Open();
    if (!c.summary.isEmpty()) {
      EXPECT_EQ(Summary(), c.summary);
    }
    EXPECT_EQ(Button(QStringLiteral("合并"))->isEnabled(), c.canMerge);
    QTest::mouseClick(Button(QStringLiteral("取消")), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Dump(book()), before);
    Close();
  }
}

}  // namespace
