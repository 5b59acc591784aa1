// The real main window with a genealogy in it, for the tests of the editing
// commands: the window is created, filled from .ftf text, its tree items are
// selected through the view's selection model and its commands run as the
// buttons and menu items run them.
#pragma once

#include "MainWindowTestSupport.h"

#include <QAbstractButton>
#include <QDir>

class EditFixture : public ::testing::Test {
protected:
  void SetUp() override {
    SetTodayForTesting(LocalDate{2024, 5, 1});
    window.Create();
  }
  void TearDown() override {
    EXPECT_EQ(boxes.unansweredQuestions, 0);
    EXPECT_EQ(PendingModalHandlers(), 0);
    SetTodayForTesting(std::nullopt);
  }

  // Replaces the genealogy by the records of `records` (one per line, the end
  // line added here) as Open would, and starts from an unmodified window.
  void LoadRecords(const char* records) {
    ASSERT_NO_FATAL_FAILURE(::LoadRecords(window, records));
    window.EnableMemberButtons(true);
    window.document().SetModified(false);
  }
  // A small family: 祖 (1900) with sons 甲 (1920, with son 丙 1950) and 乙 (1925).
  void LoadFamily() {
    LoadRecords(
        "祖 1900 1 1 1 end 0 1970 5 6 -1\r\n"
        "甲 1920 3 4 1 北京 1 祖\r\n"
        "丙 1950 7 8 0 上海 1 甲\r\n"
        "乙 1925 1 1 0 end 1 祖\r\n");
  }

  MemberNode* Find(const QString& name) { return FindMember(window, name.toStdU16String()); }
  void Select(const MemberNode* member) { SelectMember(window, member); }
  void Select(const QString& name) { Select(Find(name)); }

  // The tree view's items in pre-order, two blanks of indent per generation.
  QStringList TreeLines() const { return TreeLinesOf(window.treeView()); }
  // The genealogy itself, indented like TreeLines; with `data`, each member's
  // fields follow its name, to tell that nothing changed.
  QStringList ModelLines(bool data = true) {
    QStringList lines;
    window.document().Genealogy().VisitPreOrder(
        lines, window.document().Genealogy().Root(), [&](QStringList& out, MemberNode* m) {
          QString line = QString(2 * window.document().Genealogy().GetGeneration(m) - 2, u' ') +
                         QString::fromStdU16String(m->name);
          if (data) {
            line += QStringLiteral(" %1-%2-%3 married=%4 address=%5 alive=%6")
                        .arg(m->birthYear)
                        .arg(m->birthMonth)
                        .arg(m->birthDay)
                        .arg(m->married)
                        .arg(QString::fromStdU16String(m->address))
                        .arg(m->alive);
            if (!m->alive)
              line += QStringLiteral(" died %1-%2-%3")
                          .arg(m->deathYear)
                          .arg(m->deathMonth)
                          .arg(m->deathDay);
          }
          out << line;
        });
    return lines;
  }
  QStringList NoticeTexts() const {
    QStringList texts;
    for (const RecordedBox& box : boxes.Boxes())
      if (box.kind == BoxKind::Notice) texts << box.text;
    return texts;
  }
  QStringList Questions() const {
    QStringList texts;
    for (const RecordedBox& box : boxes.Boxes()) {
      if (box.kind != BoxKind::Question) continue;
      EXPECT_EQ(box.title, QStringLiteral("警告"));
      texts << box.text;
    }
    return texts;
  }
  int ListRows() const { return window.listModel()->rowCount(); }
  // Something in the list, so a test can see that a command empties it.
  void FillList() {
    window.ClearList();
    window.AddMemberRow(window.document().Genealogy().Root());
    ASSERT_EQ(ListRows(), 1);
  }
  // The list holds the row of the member the tree selects and nothing else,
  // as after a click on him.
  void ExpectListShowsTheSelected() {
    const MemberNode* selected = window.SelectedMember();
    ASSERT_EQ(ListRows(), selected ? 1 : 0);
    if (selected) {
      EXPECT_EQ(window.listModel()->index(0, 0).data().toString(),
                QString::fromStdU16String(selected->name));
    }
  }
  void ExpectEditDone() {
    EXPECT_TRUE(window.document().IsModified());
    ExpectListShowsTheSelected();
    EXPECT_EQ(TreeLines(), ModelLines(false));
  }

  CClanbookDlg window;
  MessageBoxRecorder boxes;
};
