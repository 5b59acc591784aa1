// Merging a branch back: matching, the review plan, conflicts, and the changes
// that apply and revert it (the file command and many newcomers at once have
// files of their own).
#include <gtest/gtest.h>

#include <functional>

#include "MergeTestSupport.h"
#include "formats/FtfFormat.h"
#include "merge/BranchMerge.h"

using namespace mergetest;

namespace {

using BookEdit = std::function<void(COperationClanbook&)>;

// The clan, and its branch of A as exported, each then edited.
class MergeTest : public ::testing::Test {
protected:
  void SetUp() override {
    BuildClan(book_);
    ExtractBranch(book_, Find(book_, u"A"), branch_);
  }

  std::vector<std::string> Rows(const MergePlan& plan) const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < plan.RowCount(); ++i) {
      const MergeRow& r = plan.Row(i);
      std::string text = r.kind == MergeRowKind::Add      ? "add "
                         : r.kind == MergeRowKind::Change ? "change "
                                                          : "book ";
      text += Narrow(plan.Name(i));
      if (r.kind == MergeRowKind::Add && r.book) text += " under " + Narrow(r.book->name);
      if (r.members > 1) text += " +" + std::to_string(r.members - 1);
      if (r.conflict != MergeConflict::None) text += " !" + std::to_string(int(r.conflict));
      out.push_back(text);
    }
    return out;
  }

  COperationClanbook book_;
  COperationClanbook branch_;
};

TEST_F(MergeTest, AnUnchangedBranchGivesAnEmptyPlan) {
  for (std::u16string top : {u"A", u"Root", u"B1"}) {
    COperationClanbook branch;
    ExtractBranch(book_, Find(book_, top), branch);
    const MergePlan plan = PlanMerge(book_, branch, MergeSide::Branch);
    ASSERT_TRUE(plan.Ok());
    EXPECT_EQ(plan.RowCount(), 0u) << Narrow(top);
    EXPECT_TRUE(plan.NothingToDo());
  }
}

TEST_F(MergeTest, ABranchWhoseRootIsNotInTheBookFails) {
  COperationClanbook stranger;
  Add(stranger, u"", u"Zed", 1950);
  const MergePlan plan = PlanMerge(book_, stranger, MergeSide::Branch);
  EXPECT_FALSE(plan.Ok());
  EXPECT_NE(plan.Failure().find("Zed"), std::string::npos);
  EXPECT_EQ(plan.RowCount(), 0u);
  EXPECT_FALSE(PlanMerge(book_, COperationClanbook{}, MergeSide::Branch).Ok());
}

TEST_F(MergeTest, EditsOnBothSidesKeepTheBooksAndBringInTheBranchs) {
  // The book, elsewhere and as a new member inside the branch's family.
  Add(book_, u"B", u"B2", 1970);
  EditMember(book_, u"B1", [](MemberNode& m) { m.address = u"Harbour"; });
  Add(book_, u"A", u"A3", 1964);
  // The branch: new members, and changed data.
  Add(branch_, u"A1", u"A12", 1992);
  Add(branch_, u"A", u"A4", 1966);
  Add(branch_, u"A4", u"A41", 1995);
  EditMember(branch_, u"A11", [](MemberNode& m) {
    m.alive = 0;
    m.deathYear = 2020;
    m.deathMonth = m.deathDay = 3;
    m.married = 1;
  });

  // What the two edits make together, done by hand.
  COperationClanbook expected;
  ExtractBranch(book_, book_.Root(), expected);
  Add(expected, u"A1", u"A12", 1992);
  Add(expected, u"A", u"A4", 1966);
  Add(expected, u"A4", u"A41", 1995);
  EditMember(expected, u"A11", [](MemberNode& m) {
    m.alive = 0;
    m.deathYear = 2020;
    m.deathMonth = m.deathDay = 3;
    m.married = 1;
  });

  MergePlan plan = PlanMerge(book_, branch_, MergeSide::Branch);
  ASSERT_TRUE(plan.Ok());
  EXPECT_EQ(Rows(plan), (std::vector<std::string>{"add A4 under A +1", "book A3", "change A11",
                                                  "add A12 under A1"}));
  const MergeRow& change = plan.Row(2);
  EXPECT_EQ(change.fields, kMergeMarried | kMergeDeath);
  EXPECT_EQ(change.book, Find(book_, u"A11"));
  EXPECT_EQ(change.branch, Find(branch_, u"A11"));

  const std::string before = Dump(book_);
  MergeChanges changes = MakeMergeChanges(plan, book_);
  // The row a view is told of before each branch goes in is where it goes.
  ASSERT_EQ(changes.subtrees.size(), 2u);
  std::vector<int> rows;
  for (const MergeSubtree& s : changes.subtrees)
    rows.push_back(InsertionRow(s.father, s.members.front()));
  ApplyMerge(book_, changes);
  EXPECT_EQ(Dump(book_), Dump(expected));
  for (std::size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(rows[i] + 1, book_.GetSiblingPosition(changes.subtrees[i].added));
  RevertMerge(book_, changes);
  EXPECT_EQ(Dump(book_), before);
  ApplyMerge(book_, changes);
  EXPECT_EQ(Dump(book_), Dump(expected));
  // The merged book holds the branch: nothing is left to do.
  EXPECT_EQ(Rows(PlanMerge(book_, branch_, MergeSide::Branch)),
            (std::vector<std::string>{"book A3"}));
}

// The whole record goes with the branch: a changed record is a Change row
// naming the fields, taken or left as the row says; a newcomer brings his.
TEST_F(MergeTest, RecordsTravelWithTheBranch) {
  const auto picture = [](std::uint32_t id) {
    Photo photo;
    photo.id = id;
    photo.caption = u"像";
    return photo;
  };
  // Records are changed in place, as their commands do.
  MemberRecord& ours = Find(book_, u"A11")->extra.EditRecord();
  ours.courtesyName = u"甲";
  ours.photos = {picture(7)};
  {
    MemberRecord& r = Find(branch_, u"A11")->extra.EditRecord();
    r.courtesyName = u"乙";
    Spouse wife;
    wife.surname = u"王";
    r.spouses = {wife};
    // The same picture as the branch's file numbers it.
    r.photos = {picture(2)};
  }
  Add(branch_, u"A", u"A4", 1966);
  Find(branch_, u"A4")->extra.EditRecord().artName = u"丙";

  for (const MergeSide side : {MergeSide::Branch, MergeSide::Book}) {
    SCOPED_TRACE(side == MergeSide::Branch ? "the branch's" : "the book's");
    MergePlan plan = PlanMerge(book_, branch_, side);
    ASSERT_TRUE(plan.Ok());
    ASSERT_EQ(Rows(plan), (std::vector<std::string>{"add A4 under A", "change A11"}));
    EXPECT_EQ(plan.Row(1).fields, kMergeRecord);
    EXPECT_EQ(
        DifferingRecordFields(plan.Row(1).book->extra.Record(), plan.Row(1).branch->extra.Record()),
        (std::vector<RecordField>{RecordField::kCourtesyName, RecordField::kSpouses}));
    const MemberRecord before = Find(book_, u"A11")->extra.Record();
    MergeChanges changes = MakeMergeChanges(plan, book_);
    ApplyMerge(book_, changes);
    EXPECT_EQ(Find(book_, u"A11")->extra.Record().courtesyName,
              side == MergeSide::Branch ? u"乙" : u"甲");
    EXPECT_EQ(Find(book_, u"A4")->extra.Record().artName, u"丙");
    RevertMerge(book_, changes);
    EXPECT_EQ(Find(book_, u"A11")->extra.Record(), before);
    EXPECT_EQ(Find(book_, u"A4"), nullptr);
  }
}

TEST_F(MergeTest, WithTheBranchAsExportedOnlyTheBranchsOwnEditsAreChanges) {
  COperationClanbook base;
  ExtractBranch(book_, Find(book_, u"A"), base);
  EditMember(book_, u"A2", [](MemberNode& m) { m.married = 1; });
  EditMember(book_, u"A11", [](MemberNode& m) { m.address = u"Book"; });
  EditMember(branch_, u"A11", [](MemberNode& m) { m.address = u"Branch"; });
  EXPECT_EQ(Rows(PlanMerge(book_, branch_, MergeSide::Branch)),
            (std::vector<std::string>{"change A2", "change A11"}));
  // A2 was edited in the book only; A11 on both sides, so the choice decides.
  MergePlan plan = PlanMerge(book_, branch_, MergeSide::Branch, &base);
  ASSERT_EQ(Rows(plan), (std::vector<std::string>{"change A11"}));
  MergeChanges changes = MakeMergeChanges(plan, book_);
  ApplyMerge(book_, changes);
  EXPECT_EQ(Find(book_, u"A2")->married, 1);
  EXPECT_EQ(Find(book_, u"A11")->address, u"Branch");
}

TEST_F(MergeTest, TheChoiceDecidesWhoseDataAMemberKeeps) {
  EditMember(branch_, u"A2", [](MemberNode& m) { m.address = u"Mill"; });
  EditMember(branch_, u"A", [](MemberNode& m) { m.married = 1; });
  for (MergeSide prefer : {MergeSide::Book, MergeSide::Branch}) {
    COperationClanbook book;
    ExtractBranch(book_, book_.Root(), book);
    MergePlan plan = PlanMerge(book, branch_, prefer);
    ASSERT_EQ(Rows(plan), (std::vector<std::string>{"change A", "change A2"}));
    EXPECT_EQ(plan.Row(0).choice, prefer);
    // The other choice for A2 alone.
    const MergeSide other = prefer == MergeSide::Book ? MergeSide::Branch : MergeSide::Book;
    EXPECT_TRUE(plan.SetChoice(1, other));
    EXPECT_EQ(plan.Recheck(), (std::vector<std::uint32_t>{1}));
    MergeChanges changes = MakeMergeChanges(plan, book);
    ApplyMerge(book, changes);
    EXPECT_EQ(Find(book, u"A")->married, prefer == MergeSide::Branch ? 1 : 0);
    EXPECT_EQ(Find(book, u"A2")->address, other == MergeSide::Branch ? u"Mill" : u"");
  }
}

TEST_F(MergeTest, ApplyAndRevertSetEveryFieldOfAChangedMember) {
  // A living member's death date means nothing but is kept, and must come back
  // as it was; the branch makes him die, or a dead one live again.
  const std::function<void(MemberNode&)> living = [](MemberNode& m) {
    m.alive = 1;
    m.deathYear = 7;
    m.birthDay = 9;
  };
  const std::function<void(MemberNode&)> dead = [](MemberNode& m) {
    m.alive = 0;
    m.deathYear = 2001;
    m.deathMonth = 2;
    m.deathDay = 3;
  };
  for (const auto& [inBook, inBranch] : {std::pair{living, dead}, std::pair{dead, living}}) {
    COperationClanbook book;
    COperationClanbook branch;
    BuildClan(book);
    EditMember(book, u"A2", inBook);
    ExtractBranch(book, Find(book, u"A"), branch);
    EditMember(branch, u"A2", inBranch);
    const std::string wanted = Dump(branch);
    MergePlan plan = PlanMerge(book, branch, MergeSide::Branch);
    ASSERT_EQ(Rows(plan), (std::vector<std::string>{"change A2"}));
    EXPECT_EQ(plan.Row(0).fields & kMergeDeath, kMergeDeath);
    const std::string before = Dump(book);
    MergeChanges changes = MakeMergeChanges(plan, book);
    ApplyMerge(book, changes);
    COperationClanbook after;
    ExtractBranch(book, Find(book, u"A"), after);
    EXPECT_EQ(Dump(after), wanted);
    RevertMerge(book, changes);
    EXPECT_EQ(Dump(book), before);
  }
}

TEST(DifferingFields, ComparesWhatTheFieldsMean) {
  struct Row {
    const char* what;
    std::function<void(MemberNode&)> edit;
    unsigned fields;
  };
  const Row rows[] = {
      {"same", [](MemberNode&) {}, 0},
      {"married 1 and 2", [](MemberNode& m) { m.married = 2; }, 0},
      {"married 0", [](MemberNode& m) { m.married = 0; }, kMergeMarried},
      {"death date of the living", [](MemberNode& m) { m.deathYear = 5; }, 0},
      {"alive 1 and 3", [](MemberNode& m) { m.alive = 3; }, 0},
      {"deceased", [](MemberNode& m) { m.alive = 0; }, kMergeDeath},
      {"birth day", [](MemberNode& m) { m.birthDay = 2; }, kMergeBirth},
      {"address", [](MemberNode& m) { m.address = u"x"; }, kMergeAddress},
      {"a 字", [](MemberNode& m) { m.extra.EditRecord().courtesyName = u"x"; }, kMergeRecord},
      {"an empty record", [](MemberNode& m) { m.extra.SetRecord({}); }, 0},
  };
  MemberNode base;
  base.birthYear = 1950;
  base.birthMonth = base.birthDay = 1;
  base.married = 1;
  for (const Row& row : rows) {
    MemberNode other = base;
    row.edit(other);
    EXPECT_EQ(DifferingFields(base, other), row.fields) << row.what;
  }
  MemberNode a = base, b = base;
  a.alive = b.alive = 0;
  a.deathYear = b.deathYear = 2000;
  a.deathMonth = b.deathMonth = a.deathDay = 1;
  b.deathDay = 2;
  EXPECT_EQ(DifferingFields(a, b), kMergeDeath);
}

// A conflict: the row in conflict, why, and the members the merge leaves out.
struct ConflictRow {
  const char* what;
  BookEdit editBook;
  BookEdit editBranch;
  MergeSide prefer;
  std::string row;  // as Rows() shows it
  std::vector<std::u16string> leftOut;
};

TEST_F(MergeTest, ConflictsAreListedAndLeftOut) {
  static constexpr auto dies = [](int year, int month, int day) {
    return [=](MemberNode& m) {
      m.alive = 0;
      m.deathYear = year;
      m.deathMonth = month;
      m.deathDay = day;
    };
  };
  const BookEdit none = [](COperationClanbook&) {};
  const ConflictRow rows[] = {
      {"a name borne elsewhere in the book",
       none,
       [](COperationClanbook& b) {
         Add(b, u"A1", u"B1", 1991);
         Add(b, u"B1", u"Kid", 2015);
       },
       MergeSide::Branch,
       "add B1 under A1 +1 !1",
       {u"Kid"}},
      {"a name borne twice in the branch",
       none,
       [](COperationClanbook& b) {
         Add(b, u"A1", u"New", 1991);
         Add(b, u"A2", u"New2", 1991);
         Add(b, u"New2", u"New", 2012);
       },
       MergeSide::Branch,
       "add New !2",
       {}},
      {"a name the file cannot hold",
       none,
       [](COperationClanbook& b) { Add(b, u"A2", u"end", 1991); },
       MergeSide::Branch,
       "add end under A2 !3",
       {u"end"}},
      {"born on his father's birthday, below an added member",
       none,
       [](COperationClanbook& b) {
         Add(b, u"A2", u"New", 1991);
         Add(b, u"New", u"Baby", 1991);
       },
       MergeSide::Branch,
       "add Baby !7",
       {u"Baby"}},
      {"death before birth",
       none,
       [](COperationClanbook& b) {
         Add(b, u"A2", u"New", 1991);
         EditMember(b, u"New", dies(1990, 1, 1));
       },
       MergeSide::Branch,
       "add New under A2 !6",
       {u"New"}},
      {"a changed birth on the father's day",
       none,
       [](COperationClanbook& b) {
         EditMember(b, u"A", [](MemberNode& m) { m.birthYear = 1900; });
       },
       MergeSide::Branch,
       "change A !7",
       {}},
      {"a changed birth after a child's the book keeps",
       [](COperationClanbook& b) { Add(b, u"A1", u"A13", 1970); },
       [](COperationClanbook& b) {
         EditMember(b, u"A1", [](MemberNode& m) { m.birthYear = 1970; });
       },
       MergeSide::Branch,
       "change A1 !8",
       {}},
      {"added below a father who keeps the book's later birth",
       [](COperationClanbook& b) {
         EditMember(b, u"A1", [](MemberNode& m) { m.birthYear = 1975; });
       },
       [](COperationClanbook& b) { Add(b, u"A1", u"Early", 1970); },
       MergeSide::Book,
       "add Early under A1 !7",
       {u"Early"}},
      {"a change turned down brings back a father's birth its child's change needs",
       none,
       [](COperationClanbook& b) {
         // A1 moves to 1950 but dies before, so he stays in 1960; A11's move
         // to 1955 is then before him.
         EditMember(b, u"A1", [](MemberNode& m) {
           m.birthYear = 1950;
           dies(1940, 1, 1)(m);
         });
         EditMember(b, u"A11", [](MemberNode& m) { m.birthYear = 1955; });
       },
       MergeSide::Branch,
       "change A11 !7",
       {}},
  };
  for (const ConflictRow& row : rows) {
    SCOPED_TRACE(row.what);
    COperationClanbook book;
    COperationClanbook branch;
    BuildClan(book);
    row.editBook(book);
    ExtractBranch(book_, Find(book_, u"A"), branch);
    row.editBranch(branch);
    MergePlan plan = PlanMerge(book, branch, row.prefer);
    const std::vector<std::string> shown = Rows(plan);
    EXPECT_NE(std::find(shown.begin(), shown.end(), row.row), shown.end())
        << ::testing::PrintToString(shown);
    MergeChanges changes = MakeMergeChanges(plan, book);
    const std::string kept = Dump(book);
    ApplyMerge(book, changes);
    for (const std::u16string& name : row.leftOut) {
      EXPECT_EQ(Find(book, name), nullptr) << Narrow(name);
    }
    // Whatever is taken in, the result keeps every rule the model enforces.
    for (const MemberNode* m : modeltest::PreOrder(book)) {
      if (m->parent) {
        EXPECT_GT(CompareBirthDates(*m, *m->parent), 0) << Narrow(m->name);
      }
      if (m->alive == 0) {
        EXPECT_LE(COperationClanbook::CompareDates(m->birthYear, m->birthMonth, m->birthDay,
                                                   m->deathYear, m->deathMonth, m->deathDay),
                  0);
      }
    }
    RevertMerge(book, changes);
    EXPECT_EQ(Dump(book), kept);
  }
}

TEST_F(MergeTest, RenamingInTheReviewResolvesANameConflict) {
  Add(branch_, u"A1", u"B1", 1991);  // B1 is B's son in the book
  Add(branch_, u"B1", u"Kid", 2015);
  Add(branch_, u"A2", u"Other", 1993);
  MergePlan plan = PlanMerge(book_, branch_, MergeSide::Branch);
  ASSERT_EQ(Rows(plan), (std::vector<std::string>{"add B1 under A1 +1 !1", "add Other under A2"}));
  EXPECT_FALSE(plan.Row(0).applies);
  EXPECT_FALSE(plan.Rename(1u + 1u, u"x"));  // no such row

  struct Step {
    std::u16string name;
    MergeConflict conflict;
  };
  for (const Step& step :
       {Step{u"Root", MergeConflict::NameInBook}, Step{u"Other", MergeConflict::NameInBranch},
        Step{u"two words", MergeConflict::NameNotStorable}, Step{u"B1b", MergeConflict::None}}) {
    ASSERT_TRUE(plan.Rename(0, step.name));
    plan.Recheck();
    EXPECT_EQ(plan.Row(0).conflict, step.conflict) << Narrow(step.name);
    EXPECT_EQ(plan.Row(0).applies, step.conflict == MergeConflict::None);
    // A renamed row yields a name, the other row keeps its own.
    EXPECT_EQ(plan.Row(1).conflict, MergeConflict::None);
  }
  MergeChanges changes = MakeMergeChanges(plan, book_);
  ApplyMerge(book_, changes);
  const MemberNode* renamed = Find(book_, u"B1b");
  ASSERT_NE(renamed, nullptr);
  EXPECT_EQ(renamed->parent, Find(book_, u"A1"));
  EXPECT_EQ(modeltest::Children(renamed), "Kid");
  EXPECT_EQ(Find(book_, u"B1")->parent, Find(book_, u"B"));
}

TEST_F(MergeTest, RenamingTheSecondOfTwoNamesakesFreesTheFirstsRow) {
  // Both bearers of New have a row (the first, an added top); renaming the
  // first lets the second keep the name.
  Add(branch_, u"A1", u"New", 1991);
  Add(branch_, u"A2", u"New", 1993);
  MergePlan plan = PlanMerge(book_, branch_, MergeSide::Branch);
  ASSERT_EQ(Rows(plan), (std::vector<std::string>{"add New under A1", "add New under A2 !2"}));
  ASSERT_TRUE(plan.Rename(0, u"Newer"));
  EXPECT_EQ(plan.Recheck(), (std::vector<std::uint32_t>{1}));
  EXPECT_EQ(plan.Row(1).conflict, MergeConflict::None);
  ASSERT_TRUE(plan.Rename(0, u"New"));  // back to the branch's name
  plan.Recheck();
  EXPECT_EQ(plan.Row(1).conflict, MergeConflict::NameInBranch);
  EXPECT_EQ(plan.Name(0), u"New");
  EXPECT_FALSE(plan.SetChoice(0, MergeSide::Book));  // no Change row
}

TEST(MergeScale, AWideFamilyAndADeepLineMatchWithoutRecursion) {
  constexpr int kSize = 200000;
  COperationClanbook wide;
  COperationClanbook deep;
  Add(wide, u"", u"W", 1);
  modeltest::DayCounter day;
  for (int i = 0; i < kSize; ++i, day.Next())
    wide.InsertMember(wide.Root(),
                      modeltest::Make(modeltest::SerialName(i), day.year, day.month, day.day));
  MemberNode* last = nullptr;
  for (int i = 0; i < kSize; ++i) {
    MemberNode* m = modeltest::Make(modeltest::SerialName(i), 1000 + i);
    deep.InsertMember(last, m);
    last = m;
  }
  for (COperationClanbook* book : {&wide, &deep}) {
    COperationClanbook branch;
    ExtractBranch(*book, book->Root(), branch);
    const MemberNode* lastBorn = modeltest::PreOrder(branch).back();
    EditMember(branch, lastBorn->name, [](MemberNode& m) { m.address = u"Far"; });
    Add(branch, lastBorn->name, u"Newcomer", lastBorn->birthYear + 20);
    MergePlan plan = PlanMerge(*book, branch, MergeSide::Branch);
    ASSERT_EQ(plan.RowCount(), 2u);
    MergeChanges changes = MakeMergeChanges(plan, *book);
    ApplyMerge(*book, changes);
    const MemberNode* newcomer = Find(*book, u"Newcomer");
    ASSERT_NE(newcomer, nullptr);
    EXPECT_EQ(newcomer->parent->address, u"Far");
    RevertMerge(*book, changes);
    EXPECT_EQ(Find(*book, u"Newcomer"), nullptr);
  }
}

}  // namespace
