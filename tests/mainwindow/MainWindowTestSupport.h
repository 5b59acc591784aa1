// The real main window with a genealogy put into it, for the tests of the
// window's layout and views.
#pragma once

#include "CClanbookDlg.h"
#include "GenealogyTreeModel.h"
#include "GuiTestSupport.h"
#include "MemberListModel.h"
#include "MessageBoxes.h"
#include "Today.h"

#include <QFile>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

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
  void Load(const char* records) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("clan.ftf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(records);
    file.write("end 1999 12 2 1 end 1 end");
    file.close();
    ASSERT_EQ(window->m_genealogy.Load(path.toStdU16String()), kFileOk);
    window->RebuildTreeView();
  }

  // Adds a member under `father` (none: the new root) through the tree's own
  // insertion, which keeps children in birth order.
  MemberNode* Add(MemberNode* father, const char16_t* name, int year, int month, int day) {
    auto* member = new MemberNode;
    member->name = name;
    member->birthYear = year;
    member->birthMonth = month;
    member->birthDay = day;
    window->m_genealogy.InsertMember(father, member);
    return member;
  }

  MemberNode* Find(const char16_t* name) const {
    MemberNode* found = nullptr;
    window->m_genealogy.FindByName(window->m_genealogy.GetRootLink(), found, name);
    return found;
  }

  void Select(const QModelIndex& index) {
    window->m_treeCtrl->selectionModel()->setCurrentIndex(index,
                                                          QItemSelectionModel::ClearAndSelect);
  }

  // The tree view's items in pre-order, two blanks of indent per generation,
  // read from the view's model as the view reads it.
  QStringList TreeLines() const {
    QStringList lines;
    Collect({}, 0, lines);
    return lines;
  }

  QStringList ListRow(int row) const {
    QStringList cells;
    const QAbstractItemModel* model = window->m_listCtrl->model();
    for (int column = 0; column < model->columnCount(); ++column) {
      cells << model->index(row, column).data().toString();
    }
    return cells;
  }
  int ListRows() const { return window->m_listCtrl->model()->rowCount(); }
  QStringList ListNames() const {
    QStringList names;
    for (int row = 0; row < ListRows(); ++row) names << ListRow(row).at(0);
    return names;
  }

  MessageBoxRecorder boxes;
  std::unique_ptr<CClanbookDlg> window;

private:
  void Collect(const QModelIndex& parent, int depth, QStringList& lines) const {
    const QAbstractItemModel* model = window->m_treeCtrl->model();
    for (int row = 0; row < model->rowCount(parent); ++row) {
      const QModelIndex index = model->index(row, 0, parent);
      lines << QString(depth * 2, u' ') + index.data().toString();
      Collect(index, depth + 1, lines);
    }
  }
};
