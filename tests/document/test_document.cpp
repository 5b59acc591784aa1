// The document's history: every edit undone and redone gives back exactly the
// tree, the data and the name index it had, and the modified flag follows the
// saved state.
#include "DocumentTestSupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {


class DocumentUndo : public ::testing::TestWithParam<EditSequence> {
protected:
  void SetUp() override { FillClan(document); }
  QStringList State() const { return StateOf(document, kClanNames); }

  GenealogyDocument document;
};

TEST_P(DocumentUndo, UndoAndRedoGiveBackEveryState) {
  const std::vector<Edit>& edits = GetParam().edits;
  std::vector<QStringList> states{State()};
  for (const Edit& edit : edits) {
    edit.apply(document);
    states.push_back(State());
    ASSERT_NE(states.back(), states[states.size() - 2]) << "the edit changed nothing";
  }
  QUndoStack* stack = document.UndoStack();
  ASSERT_EQ(stack->count(), static_cast<int>(edits.size()));
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = edits.size(); i > 0; --i) {
      stack->undo();
      EXPECT_EQ(State(), states[i - 1]) << "undo to state " << i - 1;
    }
    EXPECT_FALSE(document.IsModified());
    for (std::size_t i = 1; i <= edits.size(); ++i) {
      stack->redo();
      EXPECT_EQ(State(), states[i]) << "redo to state " << i;
    }
    EXPECT_TRUE(document.IsModified());
  }
  // An edit after an undo drops what could have been redone, which the
  // commands dropped then release (the sanitizer build sees any leak).
  stack->undo();
  AddChild("祖", "末", 1990).apply(document);
  EXPECT_EQ(stack->count(), static_cast<int>(edits.size()));
  stack->undo();
  EXPECT_EQ(State(), states[edits.size() - 1]);
}

INSTANTIATE_TEST_SUITE_P(Sequences, DocumentUndo, ::testing::ValuesIn(EditSequences()),
                         [](const auto& info) { return "sequence" + std::to_string(info.index); });

TEST(DocumentHistory, CommandsAreNamedByWhatTheyDoAndWhom) {
  GenealogyDocument document;
  FillClan(document);
  const struct {
    Edit edit;
    QString text;
  } rows[] = {
      {AddChild("甲", "辛", 1945), QStringLiteral("增加孩子 辛")},
      {AddRoot("始", 1880), QStringLiteral("设为根结点 始")},
      {Change("丙", ""), QStringLiteral("更改资料 丙")},
      {Change("乙", "乙二"), QStringLiteral("更改姓名 乙 为 乙二")},
      {Delete("甲"), QStringLiteral("删除 甲")},
  };
  for (const auto& row : rows) {
    row.edit.apply(document);
    EXPECT_EQ(document.UndoStack()->undoText(), row.text);
  }
}

TEST(DocumentHistory, ModifiedFollowsTheSavedState) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath(QStringLiteral("clan.ftf"));
  GenealogyDocument document;
  FillClan(document);
  QSignalSpy changes(&document, &GenealogyDocument::modifiedChanged);
  QUndoStack* stack = document.UndoStack();

  AddChild("甲", "辛", 1945).apply(document);
  AddChild("甲", "壬", 1946).apply(document);
  EXPECT_TRUE(document.IsModified());
  ASSERT_EQ(document.Save(file), kFileOk);
  EXPECT_FALSE(document.IsModified());
  stack->undo();
  EXPECT_TRUE(document.IsModified());
  stack->redo();
  EXPECT_FALSE(document.IsModified());
  stack->undo();
  stack->undo();
  EXPECT_TRUE(document.IsModified());
  // Saved while modified outside the history: no undo makes it unmodified.
  document.SetModified(true);
  stack->redo();
  stack->redo();
  EXPECT_TRUE(document.IsModified());
  document.SetModified(false);
  EXPECT_FALSE(document.IsModified());
  const QList<bool> expected = {true, false, true, false, true, false};
  QList<bool> seen;
  for (const QList<QVariant>& change : changes) seen << change.at(0).toBool();
  EXPECT_EQ(seen, expected);
}

TEST(DocumentHistory, OpenAndNewStartWithoutHistory) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath(QStringLiteral("clan.ftf"));
  GenealogyDocument document;
  FillClan(document);
  ASSERT_EQ(document.Save(file), kFileOk);
  Delete("甲").apply(document);
  ASSERT_EQ(document.Load(file), kFileOk);
  EXPECT_EQ(document.UndoStack()->count(), 0);
  EXPECT_FALSE(document.IsModified());
  EXPECT_EQ(document.FileName(), file);
  EXPECT_NE(FindIn(document, QStringLiteral("戊")), nullptr);

  // A failed open leaves the document and its history as they were.
  Delete("甲").apply(document);
  EXPECT_EQ(document.Load(dir.filePath(QStringLiteral("missing.ftf"))), kFileCannotOpen);
  EXPECT_EQ(document.UndoStack()->count(), 1);
  EXPECT_EQ(FindIn(document, QStringLiteral("戊")), nullptr);

  document.New();
  EXPECT_EQ(document.UndoStack()->count(), 0);
  EXPECT_EQ(document.Root(), nullptr);
  EXPECT_TRUE(document.FileName().isEmpty());
  EXPECT_FALSE(document.IsModified());
}

TEST(DocumentHistory, UndoAnnouncesTheMemberConcerned) {
  GenealogyDocument document;
  FillClan(document);
  QSignalSpy concerned(&document, &GenealogyDocument::memberConcerned);
  auto last = [&] {
    const auto* member = concerned.takeLast().at(0).value<MemberNode*>();
    return member ? QString::fromStdU16String(member->name) : QStringLiteral("none");
  };
  QUndoStack* stack = document.UndoStack();
  const struct {
    Edit edit;
    const char* done;
    const char* undone;
  } rows[] = {
      {AddChild("甲", "辛", 1945), "辛", "甲"},
      {AddRoot("始", 1880), "始", "祖"},
      {Change("丙", ""), "丙", "丙"},
      {Delete("乙"), "祖", "乙"},
      {Delete("祖"), "none", "祖"},
  };
  for (const auto& row : rows) {
    row.edit.apply(document);
    EXPECT_EQ(last(), QString::fromUtf8(row.done));
    stack->undo();
    EXPECT_EQ(last(), QString::fromUtf8(row.undone));
    stack->redo();
    EXPECT_EQ(last(), QString::fromUtf8(row.done));
    stack->undo();
    concerned.clear();
  }
}

}  // namespace

namespace {

// An edit that breaks a rule of the book is refused by the document itself,
// whoever calls it: nothing changes, nothing is announced or pushed, and the
// caller learns which rule.
TEST(DocumentRefusal, ABadEditChangesNothingAndSaysWhy) {
  GenealogyDocument document;
  FillClan(document);
  document.SetModified(false);
  const QStringList before = StateOf(document, kClanNames);
  QSignalSpy added(&document, &GenealogyDocument::memberAboutToBeAdded);
  QSignalSpy changed(&document, &GenealogyDocument::memberChanged);
  QSignalSpy rooted(&document, &GenealogyDocument::rootAboutToBeReplaced);
  MemberNode* jia = FindIn(document, QStringLiteral("甲"));
  const struct {
    const char* what;
    std::function<EditProblem()> edit;
    EditProblem problem;
  } rows[] = {
      {"a child born before his father",
       [&] { return document.AddMember(jia, Born(QStringLiteral("子"), 1919)); },
       EditProblem::kBornBeforeFather},
      {"a child born on no day",
       [&] { return document.AddMember(jia, Born(QStringLiteral("子"), 1990, 2, 29)); },
       EditProblem::kBirthDateNotReal},
      {"a root born after the old one",
       [&] { return document.AddMember(nullptr, Born(QStringLiteral("始"), 1901)); },
       EditProblem::kBornAfterOldRoot},
      {"a name with a blank",
       [&] {
         MemberData data = *jia;
         data.name = u"甲 甲";
         return document.ChangeMember(jia, data);
       },
       EditProblem::kBlankInText},
      {"a birth date after a son's",
       [&] {
         MemberData data = *jia;
         data.birthYear = 1960;
         return document.ChangeMember(jia, data);
       },
       EditProblem::kBornNotBeforeChild},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.edit(), row.problem);
  }
  EXPECT_EQ(StateOf(document, kClanNames), before);
  EXPECT_EQ(document.UndoStack()->count(), 0);
  EXPECT_FALSE(document.IsModified());
  EXPECT_EQ(added.count() + changed.count() + rooted.count(), 0);
  // The same edits, kept within the rules, are made.
  EXPECT_EQ(document.AddMember(jia, Born(QStringLiteral("子"), 1921)), EditProblem::kNone);
  EXPECT_EQ(document.UndoStack()->count(), 1);
}

// The model judges blanks as the window always did: every character Qt calls
// a space, and no other.
TEST(DocumentRefusal, BlanksAreWhatQtCallsSpaces) {
  for (char32_t c = 0; c <= 0xFFFF; ++c)
    ASSERT_EQ(IsBlankUnit(static_cast<char16_t>(c)), QChar(c).isSpace()) << static_cast<int>(c);
}

}  // namespace
