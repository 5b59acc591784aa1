// A branch merged back through the document: one step of the history that
// undo takes back whole and redo brings again, each added branch and changed
// member announced in its place, and the merged members still the same
// members for the edits made after the merge.
#include "../merge/MergeTestSupport.h"
#include "DocumentTestSupport.h"
#include "merge/BranchMerge.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Checks every announcement against the tree as it stands when it comes:
// an added member is at the family and row announced, a removed one was in
// the tree and left it whole, and no reset comes in between.
class Announcements {
public:
  explicit Announcements(GenealogyDocument& document) : m_document(document) {
    using D = GenealogyDocument;
    QObject::connect(&document, &D::memberAboutToBeAdded, &m_context,
                     [this](const MemberNode* f, int row) {
                       EXPECT_FALSE(m_pending) << "two additions announced at once";
                       ASSERT_NE(f, nullptr);
                       EXPECT_LE(row, m_document.Genealogy().CountChildren(f));
                       m_pending = {f, row};
                     });
    QObject::connect(&document, &D::memberAdded, &m_context, [this](MemberNode* m) {
      ASSERT_TRUE(m_pending);
      EXPECT_EQ(m->parent, m_pending->first);
      EXPECT_EQ(m_document.Genealogy().GetSiblingPosition(m), m_pending->second + 1);
      m_pending.reset();
      ++added;
    });
    QObject::connect(&document, &D::memberAboutToBeRemoved, &m_context, [this](MemberNode* m) {
      EXPECT_EQ(FindIn(m_document, QString::fromStdU16String(m->name)), m);
    });
    QObject::connect(&document, &D::memberRemoved, &m_context, [this](MemberNode* m) {
      EXPECT_EQ(m->parent, nullptr);
      EXPECT_EQ(m->nextSibling, nullptr);
    });
    QObject::connect(&document, &D::memberChanged, &m_context, [this](MemberNode* m, bool) {
      EXPECT_EQ(FindIn(m_document, QString::fromStdU16String(m->name)), m);
      ++changed;
    });
    QObject::connect(&document, &D::aboutToReset, &m_context, [] { ADD_FAILURE() << "reset"; });
    QObject::connect(&document, &D::rootAboutToBeReplaced, &m_context,
                     [] { ADD_FAILURE() << "new root"; });
  }
  int added = 0, changed = 0;

private:
  QObject m_context;  // the connections end with the checker
  GenealogyDocument& m_document;
  std::optional<std::pair<const MemberNode*, int>> m_pending;
};

const QStringList kNames = kClanNames + QStringList{QStringLiteral("子"), QStringLiteral("丑"),
                                                    QStringLiteral("寅"), QStringLiteral("卯")};

// The clan's branch of 甲 comes back with three new branches (the first, a
// middle and an only child of their families), two members whose data
// changed, and a newcomer named like 己 of another family, who stays out.
class MergeCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    FillClan(document);
    ExtractBranch(document.Genealogy(), FindIn(document, QStringLiteral("甲")), branch);
    modeltest::Add(branch, u"甲", u"子", 1930);  // before 丙, 丁
    modeltest::Add(branch, u"甲", u"丑", 1952);  // between them
    modeltest::Add(branch, u"丁", u"寅", 1980);  // 丁's first child
    modeltest::Add(branch, u"寅", u"卯", 2005);
    modeltest::Add(branch, u"丙", u"己", 1980);  // 己 is 乙's son in the book
    mergetest::EditMember(branch, u"丙", [](MemberNode& m) {
      m.address = u"洛阳";
      m.married = 1;
    });
    mergetest::EditMember(branch, u"戊", [](MemberNode& m) {
      m.alive = 0;
      m.deathYear = 2001;
      m.deathMonth = 2;
      m.deathDay = 3;
    });
  }
  QStringList State() const { return StateOf(document, kNames); }
  // Plans against the document's genealogy as it stands and merges.
  bool Merge() {
    MergePlan plan = PlanMerge(document.Genealogy(), branch, MergeSide::Branch);
    EXPECT_TRUE(plan.Ok());
    return document.MergeBranch(MakeMergeChanges(plan, document.Genealogy()), QStringLiteral("甲"));
  }

  GenealogyDocument document;
  COperationClanbook branch;
};

// Undo takes the whole merge back and redo brings it again, and edits after
// the merge, which hold members it brought in or changed, find the very same
// members when they are redone after the merge was undone and redone.
TEST_F(MergeCommandTest, UndoAndRedoGiveBackEveryStateWithTheSameMembers) {
  const struct {
    const char* label;
    std::vector<Edit> edits;
  } rows[] = {
      {"the merge alone", {}},
      {"a child under a newcomer", {AddChild("卯", "辰", 2030)}},
      {"a newcomer deleted, then his father", {Delete("卯"), Delete("寅")}},
      {"a changed member renamed", {Change("丙", "乙二")}},
      {"the family the merge added to deleted", {Delete("甲")}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FillClan(document);
    Announcements seen(document);
    std::vector<QStringList> states{State()};
    ASSERT_TRUE(Merge());
    // One announcement per added branch (子, 丑, 寅 with 卯; 己 stays out) and
    // per changed member (丙, 戊), not one per member.
    EXPECT_EQ(seen.added, 3);
    EXPECT_EQ(seen.changed, 2);
    EXPECT_EQ(document.UndoStack()->undoText(), QStringLiteral("合并支谱 甲"));
    states.push_back(State());
    EXPECT_EQ(FindIn(document, QStringLiteral("己"))->parent,
              FindIn(document, QStringLiteral("乙")));
    for (const Edit& edit : row.edits) {
      edit.apply(document);
      states.push_back(State());
    }
    QUndoStack* stack = document.UndoStack();
    for (int round = 0; round < 2; ++round) {
      for (std::size_t i = states.size() - 1; i > 0; --i) {
        stack->undo();
        EXPECT_EQ(State(), states[i - 1]) << "undo to state " << i - 1;
      }
      EXPECT_FALSE(document.IsModified());
      for (std::size_t i = 1; i < states.size(); ++i) {
        stack->redo();
        EXPECT_EQ(State(), states[i]) << "redo to state " << i;
      }
    }
    // Dropped while its branches are out, the merge releases them (the
    // sanitizer build sees a leak or a double release).
    while (stack->canUndo()) stack->undo();
    AddChild("祖", "末", 1990).apply(document);
    EXPECT_EQ(stack->count(), 1);
  }
}

TEST_F(MergeCommandTest, NothingToChangePushesNothing) {
  EXPECT_FALSE(document.MergeBranch(MergeChanges{}, QStringLiteral("甲")));
  EXPECT_EQ(document.UndoStack()->count(), 0);
  EXPECT_FALSE(document.IsModified());
}

}  // namespace
