// Undo and redo in the real window: the 编辑 menu's items and their keys, the
// texts that say what they undo, the modified flag back at the saved state,
// and the tree that keeps its open families and shows the member concerned.
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "formats/FtfFormat.h"
#include "test_edit_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QTest>

#include <functional>

namespace {

class EditUndo : public EditFixture {
protected:
  QAction* Undo() const { return window.MenuAction(ID_UNDO); }
  QAction* Redo() const { return window.MenuAction(ID_REDO); }
  // Adds `name`, born on New Year's Day of `year`, as a child of the selected
  // member through the 增加孩子 button and its dialog.
  void AddChildOfSelected(const QString& name, int year) {
    OnNextDialog<CAddInfoDlg>([=](CAddInfoDlg* d) {
      TypeInto(d, "nameEdit", name);
      TypeInto(d, "birthYearEdit", QString::number(year));
      TypeInto(d, "birthMonthEdit", QStringLiteral("1"));
      TypeInto(d, "birthDayEdit", QStringLiteral("1"));
      ClickButton(d, "idc_1");
    });
    ClickButton(&window, "idc_32783");
  }
  void ExpectHistory(const QString& undoText, const QString& redoText) {
    EXPECT_EQ(Undo()->text(), undoText);
    EXPECT_EQ(Undo()->isEnabled(), undoText != QStringLiteral("撤销"));
    EXPECT_EQ(Redo()->text(), redoText);
    EXPECT_EQ(Redo()->isEnabled(), redoText != QStringLiteral("重做"));
  }
};

TEST_F(EditUndo, MenuItemsAndKeysUndoAndRedoADeletion) {
  auto key = [this](int key, Qt::KeyboardModifiers modifiers) {
    return [this, key, modifiers] {
      window.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
      QTest::keyClick(&window, static_cast<Qt::Key>(key), modifiers);
    };
  };
  const struct {
    const char* label;
    std::function<void()> undo, redo;
  } rows[] = {
      {"menu items", [this] { Undo()->trigger(); }, [this] { Redo()->trigger(); }},
      {"Ctrl+Z, Ctrl+Y", key(Qt::Key_Z, Qt::ControlModifier), key(Qt::Key_Y, Qt::ControlModifier)},
      {"Ctrl+Z, Ctrl+Shift+Z", key(Qt::Key_Z, Qt::ControlModifier),
       key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    LoadFamily();
    const QStringList before = ModelLines();
    ExpectHistory(QStringLiteral("撤销"), QStringLiteral("重做"));
    Select(QStringLiteral("甲"));
    boxes.QueueAnswer(true);
    ClickButton(&window, "idc_32782");
    const QStringList after = ModelLines();
    ExpectHistory(QStringLiteral("撤销 删除 甲"), QStringLiteral("重做"));

    row.undo();
    // Back in its place, the elder brother again, with everything below it.
    EXPECT_EQ(ModelLines(), before);
    EXPECT_EQ(TreeLines(), ModelLines(false));
    EXPECT_FALSE(window.document().IsModified());
    EXPECT_EQ(window.SelectedMember(), Find(QStringLiteral("甲")));
    ExpectHistory(QStringLiteral("撤销"), QStringLiteral("重做 删除 甲"));

    row.redo();
    EXPECT_EQ(ModelLines(), after);
    EXPECT_TRUE(window.document().IsModified());
    EXPECT_EQ(window.SelectedMember(), Find(QStringLiteral("祖")));
    ExpectHistory(QStringLiteral("撤销 删除 甲"), QStringLiteral("重做"));
    boxes.Clear();
  }
}

TEST_F(EditUndo, AnEditKeepsOpenFamiliesAndShowsTheNewMember) {
  LoadFamily();
  window.treeView()->expand(window.treeModel()->IndexOf(Find(QStringLiteral("祖"))));
  window.treeView()->expand(window.treeModel()->IndexOf(Find(QStringLiteral("甲"))));
  Select(QStringLiteral("乙"));
  AddChildOfSelected(QStringLiteral("戊"), 1950);
  ExpectEditDone();
  const MemberNode* added = Find(QStringLiteral("戊"));
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(window.SelectedMember(), added);
  for (const char16_t* open : {u"祖", u"甲", u"乙"})
    EXPECT_TRUE(
        window.treeView()->isExpanded(window.treeModel()->IndexOf(Find(QString::fromUtf16(open)))));
  ExpectHistory(QStringLiteral("撤销 增加孩子 戊"), QStringLiteral("重做"));

  Undo()->trigger();
  EXPECT_EQ(Find(QStringLiteral("戊")), nullptr);
  EXPECT_EQ(window.SelectedMember(), Find(QStringLiteral("乙")));
  EXPECT_TRUE(
      window.treeView()->isExpanded(window.treeModel()->IndexOf(Find(QStringLiteral("甲")))));
  EXPECT_FALSE(window.document().IsModified());
}

// After an add, an undo or a redo the list shows the member the tree selects,
// as a click shows him; a click on him, selected already, would show nothing.
TEST_F(EditUndo, TheListShowsTheMemberEachStepSelects) {
  LoadFamily();
  Select(QStringLiteral("乙"));
  AddChildOfSelected(QStringLiteral("戊"), 1950);
  ASSERT_EQ(window.SelectedMember(), Find(QStringLiteral("戊")));
  ExpectListShowsTheSelected();
  Undo()->trigger();
  ASSERT_EQ(window.SelectedMember(), Find(QStringLiteral("乙")));
  ExpectListShowsTheSelected();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
  ASSERT_EQ(window.SelectedMember(), Find(QStringLiteral("戊")));
  ExpectListShowsTheSelected();

  Select(QStringLiteral("甲"));
  boxes.QueueAnswer(true);
  ClickButton(&window, "idc_32782");
  ASSERT_EQ(window.SelectedMember(), Find(QStringLiteral("祖")));
  ExpectListShowsTheSelected();
  Undo()->trigger();
  ASSERT_EQ(window.SelectedMember(), Find(QStringLiteral("甲")));
  ExpectListShowsTheSelected();
  boxes.Clear();
}

TEST_F(EditUndo, UndoingADeletionOpensAgainTheFamiliesThatWereOpen) {
  LoadFamily();
  Select(QStringLiteral("丙"));
  AddChildOfSelected(QStringLiteral("丁"), 1975);  // shown: 祖, 甲 and 丙 open
  Select(QStringLiteral("甲"));
  boxes.QueueAnswer(true);
  ClickButton(&window, "idc_32782");
  Undo()->trigger();
  for (const char16_t* open : {u"祖", u"甲", u"丙"})
    EXPECT_TRUE(
        window.treeView()->isExpanded(window.treeModel()->IndexOf(Find(QString::fromUtf16(open)))))
        << QString::fromUtf16(open).toStdString();
  EXPECT_EQ(window.SelectedMember(), Find(QStringLiteral("甲")));
  boxes.Clear();
}

TEST_F(EditUndo, UndoingToTheSavedStateLeavesNothingToSaveAndOpenForgetsTheHistory) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  LoadFamily();
  Select(QStringLiteral("乙"));
  AddChildOfSelected(QStringLiteral("戊"), 1950);
  EXPECT_TRUE(window.document().IsModified());
  Undo()->trigger();
  EXPECT_FALSE(window.document().IsModified());
  // Nothing to save: Open goes straight to the file name.
  OnNextDialog<CFileOpenAndSaveDlg>([](CFileOpenAndSaveDlg* d) { ClickButton(d, "idc_2"); });
  window.RunCommand(ID_OPEN);
  EXPECT_TRUE(boxes.Boxes().empty());

  Redo()->trigger();
  const QString file = dir.filePath(QStringLiteral("clan.ftf"));
  ASSERT_EQ(formats::SaveFtf(file.toStdU16String(), window.document().Genealogy()).code, kFileOk);
  window.OpenAtStart(file);
  EXPECT_NE(Find(QStringLiteral("戊")), nullptr);
  ExpectHistory(QStringLiteral("撤销"), QStringLiteral("重做"));
  EXPECT_FALSE(window.document().IsModified());
}

}  // namespace
