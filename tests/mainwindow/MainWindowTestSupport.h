// The real main window with a genealogy put into it: helpers shared by the
// main-window tests, and the fixture of the tests of its layout and views.
#pragma once

#include "GuiTestSupport.h"
#include "formats/FtfFormat.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/MessageBoxes.h"
#include "platform/Today.h"
#include "views/GenealogyTreeModel.h"
#include "views/MemberListModel.h"

#include <QAction>
#include <QByteArray>
#include <QFile>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

// The line that ends every .ftf file.
inline const QByteArray kEndLine = "end 1999 12 2 1 end 1 end";

// Writes `bytes` to the file `path` as they are.
inline void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// Replaces the genealogy of `window` by .ftf `records` (the end line is added
// here) and shows them as Open does.
inline void LoadRecords(CClanbookDlg& window, const QByteArray& records) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("clan.ftf"));
  ASSERT_NO_FATAL_FAILURE(WriteFile(path, records + kEndLine));
  // The load releases the members the list may show; Open lets the list go
  // first (membersAboutToBeReleased), and so does this.
  window.ClearList();
  ASSERT_EQ(formats::LoadFtf(path.toStdU16String(), window.document().Genealogy()).code, kFileOk);
  window.RebuildTreeView();
}

// The object name of the command of `id`: the menu item's, or for a command
// that has only a button, the item of its key or its own action.
inline QString CommandName(int id) {
  switch (id) {
    case ID_ADD_CHILD:
      return QStringLiteral("addChildCommand");
    case ID_CHANGE_DATA:
      return QStringLiteral("changeDataCommand");
    case ID_DELETE_SELECTED:
      return QStringLiteral("deleteSelectedCommand");
    case ID_FIND_BIRTHDAY:
      return QStringLiteral("findBirthdayCommand");
    default:
      return QStringLiteral("idm_%1").arg(id);
  }
}

// Runs a command of the window as the user does: its action, found by name.
inline void Trigger(CClanbookDlg& window, const QString& name) {
  QAction* action = window.findChild<QAction*>(name);
  ASSERT_NE(action, nullptr) << name.toStdString();
  action->trigger();
}
inline void Trigger(CClanbookDlg& window, int id) {
  Trigger(window, CommandName(id));
}

inline MemberNode* FindMember(const CClanbookDlg& window, std::u16string_view name) {
  MemberNode* found = window.document().Genealogy().FindByName(name);
  return found;
}

// Makes `index` the tree view's current and only selected item, as a click does.
inline void SelectIndex(CClanbookDlg& window, const QModelIndex& index) {
  window.treeView()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}
// Selects the tree item of `member`, which must have one.
inline void SelectMember(CClanbookDlg& window, const MemberNode* member) {
  const QModelIndex index = window.treeModel()->IndexOf(member);
  ASSERT_TRUE(index.isValid());
  SelectIndex(window, index);
}

inline void AppendTreeLines(const QAbstractItemModel* model, const QModelIndex& parent,
                            const QString& indent, int indentPerGeneration, QStringList& lines) {
  for (int row = 0; row < model->rowCount(parent); ++row) {
    const QModelIndex index = model->index(row, 0, parent);
    lines << indent + index.data().toString();
    AppendTreeLines(model, index, indent + QString(indentPerGeneration, u' '), indentPerGeneration,
                    lines);
  }
}
// The tree view's items in pre-order, `indentPerGeneration` blanks of indent
// per generation, read from the view's model as the view reads it.
inline QStringList TreeLinesOf(const QTreeView* tree, int indentPerGeneration = 2) {
  QStringList lines;
  AppendTreeLines(tree->model(), {}, {}, indentPerGeneration, lines);
  return lines;
}

inline QStringList ListRowOf(const QTableView* list, int row) {
  QStringList cells;
  const QAbstractItemModel* model = list->model();
  for (int column = 0; column < model->columnCount(); ++column) {
    cells << model->index(row, column).data().toString();
  }
  return cells;
}
// The first column of every row of the list.
inline QStringList ListNamesOf(const QTableView* list) {
  QStringList names;
  const QAbstractItemModel* model = list->model();
  for (int row = 0; row < model->rowCount(); ++row) names << model->index(row, 0).data().toString();
  return names;
}

class MainWindowTest : public ::testing::Test {
protected:
  MainWindowTest() : window(std::make_unique<CClanbookDlg>()) {}
  void SetUp() override {
    SetTodayForTesting(LocalDate{2023, 6, 15});
    window->Create();
  }
  void TearDown() override {
    EXPECT_EQ(boxes.unansweredQuestions, 0);
    EXPECT_EQ(PendingModalHandlers(), 0);
    SetTodayForTesting(std::nullopt);
  }

  // Loads .ftf records (the end line is added here) and shows them as Open does.
  void Load(const char* records) { LoadRecords(*window, records); }

  // Adds a member under `father` (none: the new root) through the tree's own
  // insertion, which keeps children in birth order.
  MemberNode* Add(MemberNode* father, const char16_t* name, int year, int month, int day) {
    auto* member = new MemberNode;
    member->name = name;
    member->birthYear = year;
    member->birthMonth = month;
    member->birthDay = day;
    window->document().Genealogy().InsertMember(father, member);
    return member;
  }

  MemberNode* Find(const char16_t* name) const { return FindMember(*window, name); }
  void Select(const QModelIndex& index) { SelectIndex(*window, index); }

  QStringList TreeLines() const { return TreeLinesOf(window->treeView()); }
  QStringList ListRow(int row) const { return ListRowOf(window->listView(), row); }
  int ListRows() const { return window->listView()->model()->rowCount(); }
  QStringList ListNames() const { return ListNamesOf(window->listView()); }

  MessageBoxRecorder boxes;
  std::unique_ptr<CClanbookDlg> window;
};
