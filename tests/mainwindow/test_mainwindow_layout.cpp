// The main window as the user meets it: caption, controls, menu, buttons,
// colours, tab order, and the ways out of the window.
#include "MainWindowTestSupport.h"
#include "platform/CHyperLink.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

using LayoutTest = MainWindowTest;

const int kMemberButtonIds[] = {32783, 32782, 32784, 32776, 32785, 32778, 32777, 1064};

QPushButton* Button(CClanbookDlg& window, int id) {
  return window.findChild<QPushButton*>(ControlName(id));
}

TEST_F(LayoutTest, CaptionControlsAndTheirTexts) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Morvane家谱制作软件 4.0"));
  EXPECT_EQ(window->findChild<QTreeView*>(ControlName(1000)), window->treeView());
  EXPECT_EQ(window->findChild<QTableView*>(ControlName(1005)), window->listView());
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);

  // The buttons of each group box in the template's order, row by row.
  const std::pair<const char16_t*, std::vector<std::pair<int, const char16_t*>>> groups[] = {
      {u"文件操作",
       {{32788, u"新建家谱"}, {32772, u"打开家谱"}, {32773, u"保存家谱"}, {32786, u"另存家谱"}}},
      {u"家谱控制",
       {{32782, u"删除该人"},
        {32783, u"增加孩子"},
        {32784, u"更改资料"},
        {32776, u"某代信息"},
        {32777, u"按照姓名查找"},
        {32778, u"确定两人关系"},
        {32785, u"出生日期排序"},
        {1064, u"按照生日查找"}}}};
  const auto groupBoxes = window->findChildren<QGroupBox*>();
  ASSERT_EQ(groupBoxes.size(), 2);
  for (const auto& [title, buttons] : groups) {
    QGroupBox* group = nullptr;
    for (QGroupBox* candidate : groupBoxes) {
      if (candidate->title() == QString::fromUtf16(title)) group = candidate;
    }
    ASSERT_NE(group, nullptr) << QString::fromUtf16(title).toStdString();
    const auto inGroup = group->findChildren<QPushButton*>();
    ASSERT_EQ(inGroup.size(), static_cast<qsizetype>(buttons.size()));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      QPushButton* button = Button(*window, buttons[i].first);
      ASSERT_NE(button, nullptr) << buttons[i].first;
      EXPECT_EQ(button->parentWidget(), group);
      EXPECT_EQ(button->text(), QString::fromUtf16(buttons[i].second));
      EXPECT_EQ(window->button(buttons[i].first), button);
      EXPECT_FALSE(button->isDefault());
      EXPECT_FALSE(button->autoDefault());
      // Four to a row, in the template's order.
      if (i % 4 != 0) {
        QPushButton* left = Button(*window, buttons[i - 1].first);
        EXPECT_LT(left->geometry().right(), button->geometry().left());
        EXPECT_EQ(left->geometry().top(), button->geometry().top());
      } else if (i > 0) {
        EXPECT_GT(button->geometry().top(),
                  Button(*window, buttons[i - 4].first)->geometry().bottom());
      }
    }
  }

  auto* link = window->findChild<CHyperLink*>(ControlName(1067));
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link, window->hyperLink());
  EXPECT_EQ(link->text(), QStringLiteral("Morvane软件:http://www.morvane.example"));
}

TEST_F(LayoutTest, ArrangementFollowsTheTemplate) {
  window->resize(900, 700);
  QTest::qWait(0);
  const auto global = [](QWidget* w) { return QRect(w->mapTo(w->window(), QPoint()), w->size()); };
  const QRect tree = global(window->treeView());
  const QRect list = global(window->listView());
  const QRect newButton = global(Button(*window, 32788));
  const QRect lastButton = global(Button(*window, 1064));
  const QRect link = global(window->hyperLink());
  // Tree on the left, buttons on the right, both above the list, which runs
  // along the bottom across the window; the link sits right above the list.
  EXPECT_LT(tree.right(), newButton.left());
  EXPECT_LT(tree.bottom(), list.top());
  EXPECT_LT(lastButton.bottom(), link.top());
  EXPECT_LT(link.bottom(), list.top());
  EXPECT_GT(link.left(), tree.right());
  EXPECT_GT(list.width(), window->width() * 9 / 10);
  // The views take what a larger window offers.
  const QSize treeBefore = tree.size();
  const QSize listBefore = list.size();
  window->resize(1200, 900);
  QTest::qWait(0);
  EXPECT_GT(window->treeView()->height(), treeBefore.height());
  EXPECT_GT(window->listView()->width(), listBefore.width());
  EXPECT_GT(window->listView()->height(), listBefore.height());
}

TEST_F(LayoutTest, MenuPopupsAndItemsInOrder) {
  const std::vector<std::pair<QString, std::vector<std::pair<QString, int>>>> expected = {
      {QStringLiteral("文件"),
       {{QStringLiteral("新建家谱"), 32788},
        {QStringLiteral("打开家谱"), 32772},
        {QStringLiteral("保存家谱"), 32773},
        {QStringLiteral("另存为"), 32786},
        {QStringLiteral("退出"), 32774}}},
      {QStringLiteral("编辑"), {{QStringLiteral("撤销"), 57643}, {QStringLiteral("重做"), 57644}}},
      {QStringLiteral("家谱"),
       {{QStringLiteral("第 i 代人信息"), 32776},
        {QStringLiteral("个人信息"), 32777},
        {QStringLiteral("确定两人关系"), 32778},
        {QStringLiteral("添加个人"), 32779},
        {QStringLiteral("修改个人信息"), 32781},
        {QStringLiteral("删除个人"), 32780},
        {QStringLiteral("对所有人按出生日期排序"), 32785}}},
      {QStringLiteral("查看"), {}},
      {QStringLiteral("帮助"),
       {{QStringLiteral("帮助"), 57670},
        {QStringLiteral("官方主页"), 32791},
        {QStringLiteral("关于"), 32775}}}};
  QMenuBar* bar = window->menuBar();
  ASSERT_NE(bar, nullptr);
  const auto popups = bar->actions();
  ASSERT_EQ(popups.size(), static_cast<qsizetype>(expected.size()));
  for (std::size_t p = 0; p < expected.size(); ++p) {
    EXPECT_EQ(popups[p]->text(), expected[p].first);
    QMenu* menu = popups[p]->menu();
    ASSERT_NE(menu, nullptr);
    // The commands of the original menus, in their order; later features add
    // commands of their own (without an id) among them.
    QList<QAction*> items;
    for (QAction* item : menu->actions()) {
      if (item->data().toInt() != 0) {
        items.push_back(item);
      }
    }
    ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[p].second.size()));
    for (qsizetype i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i]->text(), expected[p].second[i].first);
      EXPECT_EQ(items[i]->data().toInt(), expected[p].second[i].second);
      EXPECT_EQ(window->MenuAction(expected[p].second[i].second), items[i]);
      // Menu items are never disabled, not even while the buttons are; undo
      // and redo only while there is nothing to undo or redo.
      const bool history = expected[p].first == QStringLiteral("编辑");
      EXPECT_EQ(items[i]->isEnabled(), !history);
    }
  }
}

TEST_F(LayoutTest, ListColumnsAndColours) {
  const QStringList headers = {QStringLiteral("姓名"),   QStringLiteral("出生日期"),
                               QStringLiteral("婚否"),   QStringLiteral("地址"),
                               QStringLiteral("健在否"), QStringLiteral("死亡日期"),
                               QStringLiteral("孩子数"), QStringLiteral("排行")};
  const QAbstractItemModel* model = window->listView()->model();
  ASSERT_EQ(model->columnCount(), headers.size());
  QHeaderView* header = window->listView()->horizontalHeader();
  for (int column = 0; column < headers.size(); ++column) {
    EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), headers[column]);
    EXPECT_EQ(header->sectionSize(column), 85);
    const auto alignment = model->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole);
    EXPECT_EQ(alignment.value<Qt::Alignment>(), Qt::Alignment(Qt::AlignCenter));
  }
  EXPECT_EQ(window->listView()->palette().color(QPalette::Base), QColor(250, 255, 128));
  EXPECT_EQ(window->treeView()->palette().color(QPalette::Base), QColor(154, 248, 140));

  Load("甲 1950 3 7 0 end 1 -1\r\n");
  window->AddMemberRow(Find(u"甲"));
  const QModelIndex cell = model->index(0, 3);
  EXPECT_EQ(cell.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 128));
  EXPECT_EQ(cell.data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
            Qt::Alignment(Qt::AlignCenter));
}

TEST_F(LayoutTest, StartsWithoutAGenealogy) {
  EXPECT_EQ(window->treeView()->model()->rowCount(), 0);
  EXPECT_EQ(ListRows(), 0);
  EXPECT_TRUE(window->document().FileName().isEmpty());
  EXPECT_FALSE(window->document().IsModified());
  for (int id : kMemberButtonIds) EXPECT_FALSE(Button(*window, id)->isEnabled()) << id;
  for (int id : {32788, 32772, 32773, 32786}) EXPECT_TRUE(Button(*window, id)->isEnabled()) << id;

  window->EnableMemberButtons(true);
  for (int id : kMemberButtonIds) EXPECT_TRUE(Button(*window, id)->isEnabled()) << id;
  window->EnableMemberButtons(false);
  for (int id : kMemberButtonIds) EXPECT_FALSE(Button(*window, id)->isEnabled()) << id;
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(LayoutTest, TabOrderOfTheTemplate) {
  // With rows in both views, so that Tab has something to move through inside them.
  Load("甲 1950 3 7 0 end 1 -1\r\n乙 1970 1 1 0 end 1 甲\r\n");
  window->AddMemberRow(Find(u"甲"));
  window->AddMemberRow(Find(u"乙"));
  window->listView()->setCurrentIndex(window->listView()->model()->index(0, 0));
  window->EnableMemberButtons(true);
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  std::vector<QWidget*> expected = {window->treeView(), window->listView()};
  for (int id :
       {32788, 32772, 32773, 32786, 32782, 32783, 32784, 32776, 32777, 32778, 32785, 1064}) {
    expected.push_back(Button(*window, id));
  }
  // The search box above the tree, then round again.
  expected.push_back(window->findChild<QLineEdit*>(QStringLiteral("searchBox")));
  expected.push_back(window->treeView());
  window->treeView()->setFocus(Qt::TabFocusReason);
  for (std::size_t i = 1; i < expected.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), expected[i])
        << i << " "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                        : "none");
  }
}

TEST_F(LayoutTest, EscapeAndEnterEndTheWindowThroughTheClosePath) {
  window->treeView()->setFocus();
  QTest::keyClick(window->treeView(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());

  window->Create();
  window->treeView()->setFocus();
  QTest::keyClick(window->treeView(), Qt::Key_Return);
  EXPECT_FALSE(window->isVisible());

  window->Create();
  window->treeView()->setFocus();
  QTest::keyClick(window->treeView(), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_FALSE(window->isVisible());

  window->Create();
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(LayoutTest, EnterOnAFocusedButtonRunsItsCommandInstead) {
  // Save on an empty genealogy only says there is nothing to save; closing
  // would show no box at all.
  QPushButton* save = Button(*window, 32773);
  save->setFocus();
  QTest::keyClick(save, Qt::Key_Return);
  EXPECT_TRUE(window->isVisible());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("家谱是空的，没有可保存的内容!"));
}

TEST_F(LayoutTest, TheClosePathCanKeepTheWindowOpen) {
  Load("甲 1950 3 7 0 end 1 -1\r\n");
  window->document().SetModified(true);
  // Yes, save; then give up at the file name: nothing was written, so the
  // window must stay open rather than lose the changes.
  boxes.QueueAnswer(true);
  OnNextModal(
      [](QWidget* modal) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || qobject_cast<CClanbookDlg*>(modal)) return false;
        dialog->reject();
        return true;
      },
      "file name dialog");
  QTest::keyClick(window->treeView(), Qt::Key_Escape);
  EXPECT_TRUE(window->isVisible());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("该家谱已被修改，你想保存吗?"));
}

}  // namespace
