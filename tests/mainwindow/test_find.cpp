// Find as you type above the tree, the keys of the repeated commands and the
// busy cursor, driven through the real window: the box by its accessible
// name, the commands by their menu items and keys.
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CModifyInfoDlg.h"
#include "dialogs/CSearchGenerationDlg.h"
#include "test_edit_fixture.h"
#include "views/MemberSearchBar.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <functional>

namespace {

// 王祖 has the sons 王甲 (with son 王丙, who lives in 上海) and 王乙; 李四 lives
// in 王家村, so 王 finds him by his address.
const char* const kClan =
    "王祖 1900 1 1 1 end 0 1970 5 6 -1\r\n"
    "王甲 1920 3 4 1 北京 1 王祖\r\n"
    "王丙 1950 7 8 0 上海 1 王甲\r\n"
    "王乙 1925 1 1 0 end 1 王祖\r\n"
    "李四 1930 2 2 0 王家村 1 王祖\r\n";

class FindTest : public EditFixture {
protected:
  void SetUp() override {
    EditFixture::SetUp();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  QLineEdit* Box() const {
    for (auto* edit : window.findChildren<QLineEdit*>())
      if (edit->accessibleName() == QStringLiteral("查找成员")) return edit;
    return nullptr;
  }
  QString CountText() const {
    return window.searchBar()->findChild<QLabel*>(QStringLiteral("matchCount"))->text();
  }
  void Type(const QString& text) {
    QLineEdit* box = Box();
    ASSERT_NE(box, nullptr);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    TypeKeys(box, text);
  }
  QAction* Command(const char* objectName) const {
    return window.findChild<QAction*>(QString::fromLatin1(objectName));
  }
  // The menu of the menu bar titled `title` holds `action`.
  bool InMenu(const QString& title, const QAction* action) const {
    for (QAction* popup : window.menuBar()->actions())
      if (popup->text() == title && popup->menu()->actions().contains(action)) return true;
    return false;
  }
  QString Selected() const {
    const MemberNode* member = window.SelectedMember();
    return member ? QString::fromStdU16String(member->name) : QString();
  }
  // Every ancestor's family is open, so that the member shows in the tree.
  bool Shown(const MemberNode* member) const {
    for (const MemberNode* m = member->parent; m; m = m->parent)
      if (!window.treeView()->isExpanded(window.treeModel()->IndexOf(m))) return false;
    return true;
  }
  // A key pressed where the focus is; after a dialog the window is active again first.
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : window.treeView(), static_cast<Qt::Key>(key), modifiers);
  }
};

TEST_F(FindTest, TypingSelectsTheFirstMatchAndOpensHisFamily) {
  const struct {
    const char* query;
    const char16_t* first;
    const char* count;
  } rows[] = {
      {"王丙", u"王丙", "找到 1 人，这是第 1 人"},
      {"上海", u"王丙", "找到 1 人，这是第 1 人"},  // his address
      {"wangb", u"王丙", "找到 1 人，这是第 1 人"},
      {"ls", u"李四", "找到 1 人，这是第 1 人"},
      {"王", u"王祖", "找到 5 人，这是第 1 人"},  // 李四 by his village
      {"张", nullptr, "没有找到"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.query);
    ASSERT_NO_FATAL_FAILURE(LoadRecords(kClan));
    window.treeView()->collapseAll();
    Select(QStringLiteral("王乙"));
    Type(QString::fromUtf8(row.query));
    EXPECT_EQ(CountText(), QString::fromUtf8(row.count));
    if (!row.first) {
      // Nothing found moves nothing.
      EXPECT_EQ(Selected(), QStringLiteral("王乙"));
      continue;
    }
    const MemberNode* first = Find(QString::fromUtf16(row.first));
    EXPECT_EQ(window.SelectedMember(), first);
    EXPECT_TRUE(Shown(first));
    // As a click would, the list shows him; the cursor stays in the box.
    EXPECT_EQ(window.listModel()->rowCount(), 1);
    EXPECT_EQ(QApplication::focusWidget(), Box());
  }
}

TEST_F(FindTest, MenuItemsAndKeysFocusTheBoxAndStepThroughTheMatches) {
  ASSERT_NO_FATAL_FAILURE(LoadRecords(kClan));
  QAction* find = Command("findMemberCommand");
  QAction* next = Command("findNextCommand");
  QAction* previous = Command("findPreviousCommand");
  ASSERT_TRUE(find && next && previous);
  const struct {
    QAction* action;
    const char* text;
    QKeySequence key;
  } items[] = {{find, "查找成员", QKeySequence(Qt::CTRL | Qt::Key_F)},
               {next, "查找下一个", QKeySequence(Qt::Key_F3)},
               {previous, "查找上一个", QKeySequence(Qt::SHIFT | Qt::Key_F3)}};
  for (const auto& item : items) {
    EXPECT_EQ(item.action->text(), QString::fromUtf8(item.text));
    EXPECT_EQ(item.action->shortcut(), item.key);
    EXPECT_TRUE(InMenu(QStringLiteral("编辑"), item.action));
  }

  window.treeView()->setFocus();
  Key(Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(QApplication::focusWidget(), Box());
  Type(QStringLiteral("王"));
  window.treeView()->setFocus();
  // Pre-order, round at either end; keys work wherever the focus is.
  const struct {
    std::function<void()> step;
    const char16_t* selected;
  } steps[] = {
      {[&] { Key(Qt::Key_F3); }, u"王甲"},
      {[&] { Key(Qt::Key_F3); }, u"王丙"},
      {[&] { next->trigger(); }, u"王乙"},
      {[&] { Key(Qt::Key_F3); }, u"李四"},
      {[&] { Key(Qt::Key_F3); }, u"王祖"},
      {[&] { Key(Qt::Key_F3, Qt::ShiftModifier); }, u"李四"},
      {[&] { previous->trigger(); }, u"王乙"},
  };
  for (const auto& step : steps) {
    step.step();
    EXPECT_EQ(Selected(), QString::fromUtf16(step.selected));
  }
  EXPECT_EQ(CountText(), QStringLiteral("找到 5 人，这是第 4 人"));
  find->trigger();
  EXPECT_EQ(QApplication::focusWidget(), Box());
  EXPECT_EQ(Box()->selectedText(), QStringLiteral("王"));
}

// Every edit, its undo and its redo reach the index and the bar: the count
// follows, and stepping shows only members in the tree.
TEST_F(FindTest, EditsUndoAndRedoKeepTheAnswerCurrent) {
  ASSERT_NO_FATAL_FAILURE(LoadRecords(kClan));
  Type(QStringLiteral("王"));
  auto addRootAbove = [&] {
    OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* d) {
      TypeInto(d, "nameEdit", QStringLiteral("王始"));
      TypeInto(d, "fatherNameEdit", QStringLiteral("-1"));
      TypeInto(d, "birthYearEdit", QStringLiteral("1880"));
      TypeInto(d, "birthMonthEdit", QStringLiteral("1"));
      TypeInto(d, "birthDayEdit", QStringLiteral("1"));
      ClickButton(d, "idc_1");
    });
    boxes.QueueAnswer(true);
    window.MenuAction(ID_ADD_MEMBER)->trigger();
  };
  auto rename = [&](const QString& from, const QString& to) {
    Select(from);
    OnNextDialog<CModifyInfoDlg>([to](CModifyInfoDlg* d) {
      TypeInto(d, "nameEdit", to);
      ClickButton(d, "idc_1");
    });
    window.treeView()->setFocus();
    Key(Qt::Key_F2);
  };
  const struct {
    const char* label;
    std::function<void()> edit;
    QStringList matches;  // in pre-order
  } rows[] = {
      {"delete 王甲 and his son",
       [&] {
         Select(QStringLiteral("王甲"));
         boxes.QueueAnswer(true);
         window.treeView()->setFocus();
         Key(Qt::Key_Delete);
       },
       {"王祖", "王乙", "李四"}},
      {"undo",
       [&] { Key(Qt::Key_Z, Qt::ControlModifier); },
       {"王祖", "王甲", "王丙", "王乙", "李四"}},
      {"redo", [&] { Key(Qt::Key_Y, Qt::ControlModifier); }, {"王祖", "王乙", "李四"}},
      {"rename 王乙",
       [&] { rename(QStringLiteral("王乙"), QStringLiteral("赵乙")); },
       {"王祖", "李四"}},
      {"new root above", addRootAbove, {"王始", "王祖", "李四"}},
      {"undo the new root", [&] { Key(Qt::Key_Z, Qt::ControlModifier); }, {"王祖", "李四"}},
      {"redo the new root", [&] { Key(Qt::Key_Y, Qt::ControlModifier); }, {"王始", "王祖", "李四"}},
      {"undo twice",
       [&] {
         Key(Qt::Key_Z, Qt::ControlModifier);
         Key(Qt::Key_Z, Qt::ControlModifier);
       },
       {"王祖", "王乙", "李四"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    row.edit();
    EXPECT_EQ(boxes.unansweredQuestions, 0);
    EXPECT_EQ(CountText().left(6), QStringLiteral("找到 %1 人").arg(row.matches.size()));
    EXPECT_EQ(window.searchBar()->matchCount(), static_cast<std::size_t>(row.matches.size()));
    // Round once through the matches, each selected in the tree.
    QStringList seen;
    for (qsizetype i = 0; i < row.matches.size(); ++i) {
      window.treeView()->setFocus();
      Key(Qt::Key_F3);
      seen << Selected();
    }
    seen.sort();
    QStringList expected = row.matches;
    expected.sort();
    EXPECT_EQ(seen, expected);
  }
}

TEST_F(FindTest, KeysRunTheButtonsCommandsOnTheSelectedMemberAndShowInTheMenu) {
  const struct {
    const char* command;
    const char* text;
    QList<QKeySequence> keys;
    int before;  // the 家谱 menu's matching item, which asks for a name instead
  } items[] = {
      {"addChildCommand",
       "增加孩子",
       {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_Return),
        QKeySequence(Qt::CTRL | Qt::Key_Enter)},
       ID_ADD_MEMBER},
      {"changeDataCommand", "更改资料", {QKeySequence(Qt::Key_F2)}, ID_MODIFY_MEMBER},
      {"deleteSelectedCommand", "删除该人", {QKeySequence(Qt::Key_Delete)}, ID_DELETE_MEMBER},
  };
  for (const auto& item : items) {
    SCOPED_TRACE(item.command);
    QAction* action = Command(item.command);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QString::fromUtf8(item.text));
    EXPECT_EQ(action->shortcuts(), item.keys);
    ASSERT_TRUE(InMenu(QStringLiteral("家谱"), action));
    // Right above the item that asks for a name.
    auto* popup = qobject_cast<QMenu*>(action->parent());
    ASSERT_NE(popup, nullptr);
    const QList<QAction*> menu = popup->actions();
    const qsizetype at = menu.indexOf(action);
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, menu.size());
    EXPECT_EQ(menu[at + 1], window.MenuAction(item.before));
  }

  const struct {
    const char* label;
    int key;
    Qt::KeyboardModifiers modifiers;
  } keys[] = {{"Insert", Qt::Key_Insert, Qt::NoModifier},
              {"Ctrl+Enter", Qt::Key_Return, Qt::ControlModifier},
              {"F2", Qt::Key_F2, Qt::NoModifier},
              {"Delete", Qt::Key_Delete, Qt::NoModifier}};
  for (const auto& key : keys) {
    SCOPED_TRACE(key.label);
    LoadFamily();
    Select(QStringLiteral("甲"));
    window.listView()->setFocus();  // anywhere in the window
    QString seen;
    if (key.key == Qt::Key_Delete) {
      boxes.QueueAnswer(false);
    } else if (key.key == Qt::Key_F2) {
      OnNextDialog<CModifyInfoDlg>([&seen](CModifyInfoDlg* d) {
        seen = d->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->text();
        ClickButton(d, "idc_2");
      });
    } else {
      OnNextDialog<CAddInfoDlg>([&seen](CAddInfoDlg* d) {
        seen = d->findChild<QLineEdit*>(QStringLiteral("fatherNameEdit"))->text();
        ClickButton(d, "idc_2");
      });
    }
    Key(key.key, key.modifiers);
    if (key.key == Qt::Key_Delete)
      EXPECT_EQ(Questions(),
                QStringList{QStringLiteral(
                    "甲还有孩子,如果你删除了他,其孩子也一并被删除。你确实想删除此人及其孩子吗？")});
    else
      EXPECT_EQ(seen, QStringLiteral("甲"));
    EXPECT_NE(Find(QStringLiteral("甲")), nullptr);
    boxes.Clear();
  }

  // In the search box Delete and Insert edit the text, not the book.
  LoadFamily();
  Select(QStringLiteral("甲"));
  Type(QStringLiteral("ab"));
  Box()->setCursorPosition(0);
  Key(Qt::Key_Delete);
  EXPECT_EQ(Box()->text(), QStringLiteral("b"));
  EXPECT_TRUE(boxes.Boxes().empty());
}

// The work of a long command shows the busy cursor; its message comes with
// the user's own cursor again.
TEST_F(FindTest, LongCommandsWorkUnderTheBusyCursor) {
  ASSERT_NO_FATAL_FAILURE(LoadRecords(kClan));
  auto shape = [] {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
  };
  std::vector<Qt::CursorShape> whileFilling, atBox;
  QObject::connect(window.listModel(), &QAbstractItemModel::rowsInserted, &window,
                   [&] { whileFilling.push_back(shape()); });
  boxes.onBox = [&](const RecordedBox&) { atBox.push_back(shape()); };
  const struct {
    const char* label;
    std::function<void()> run;
  } rows[] = {
      {"sort by birth", [&] { window.RunCommand(ID_SORT_BY_BIRTH); }},
      {"a generation",
       [&] {
         OnNextDialog<CSearchGenerationDlg>([](CSearchGenerationDlg* d) {
           TypeInto(d, "generationEdit", QStringLiteral("2"));
           ClickButton(d, "idc_1");
         });
         window.RunCommand(ID_GENERATION);
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    whileFilling.clear();
    atBox.clear();
    row.run();
    ASSERT_FALSE(whileFilling.empty());
    for (Qt::CursorShape s : whileFilling) EXPECT_EQ(s, Qt::WaitCursor);
    EXPECT_EQ(atBox, std::vector<Qt::CursorShape>{Qt::ArrowCursor});
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // A family of 500,000 children opens within the key's delivery; the cursor
  // comes back once the event loop runs again. A small one shows none.
  QByteArray wide = "甲 1900 1 1 1 end 1 -1\r\n乙 1930 1 1 1 end 1 甲\r\n";
  for (int i = 0; i < 500000; ++i)
    wide += "丙" + QByteArray::number(i) + " 1960 1 1 0 end 1 乙\r\n";
  ASSERT_NO_FATAL_FAILURE(LoadRecords(wide.constData()));
  for (const char16_t* name : {u"甲", u"乙"}) {
    SCOPED_TRACE(QString::fromUtf16(name).toStdString());
    const QModelIndex item = window.treeModel()->IndexOf(Find(QString::fromUtf16(name)));
    window.treeView()->setCurrentIndex(item);
    window.treeView()->setFocus();
    Key(Qt::Key_Right);
    EXPECT_TRUE(window.treeView()->isExpanded(item));
    EXPECT_EQ(shape(), name == std::u16string_view(u"乙") ? Qt::WaitCursor : Qt::ArrowCursor);
    QTest::qWait(0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
}

}  // namespace
