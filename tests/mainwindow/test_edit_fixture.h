// The real main window with a genealogy in it, for the tests of the editing
// commands: the window is created, filled from .ftf text, its tree items are
// selected through the view's selection model and its commands run as the
// buttons and menu items run them.
#pragma once

#include "CClanbookDlg.h"
#include "GenealogyTreeModel.h"
#include "GuiTestSupport.h"
#include "MemberListModel.h"
#include "MessageBoxes.h"
#include "Today.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

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
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("clan.ftf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(records);
    file.write("end 1999 12 2 1 end 1 end");
    file.close();
    ASSERT_EQ(window.m_genealogy.Load(path.toStdU16String()), kFileOk);
    window.RebuildTreeView();
    window.EnableMemberButtons(true);
    window.m_modified = false;
  }
  // A small family: 祖 (1900) with sons 甲 (1920, with son 丙 1950) and 乙 (1925).
  void LoadFamily() {
    LoadRecords(
        "祖 1900 1 1 1 end 0 1970 5 6 -1\r\n"
        "甲 1920 3 4 1 北京 1 祖\r\n"
        "丙 1950 7 8 0 上海 1 甲\r\n"
        "乙 1925 1 1 0 end 1 祖\r\n");
  }

  MemberNode* Find(const QString& name) {
    MemberNode* found = nullptr;
    window.m_genealogy.FindByName(window.m_genealogy.GetRootLink(), found, name.toStdU16String());
    return found;
  }
  void Select(const MemberNode* member) {
    const QModelIndex index = window.treeModel()->IndexOf(member);
    ASSERT_TRUE(index.isValid());
    window.m_treeCtrl->selectionModel()->setCurrentIndex(index,
                                                         QItemSelectionModel::ClearAndSelect);
  }
  void Select(const QString& name) { Select(Find(name)); }

  // The tree view's items in pre-order, two blanks of indent per generation.
  QStringList TreeLines() const {
    QStringList lines;
    Collect({}, 0, lines);
    return lines;
  }
  // The genealogy itself, indented like TreeLines; with `data`, each member's
  // fields follow its name, to tell that nothing changed.
  QStringList ModelLines(bool data = true) {
    QStringList lines;
    window.m_genealogy.VisitPreOrder(
        lines, window.m_genealogy.GetRootLink(), [&](QStringList& out, MemberNode* m) {
          QString line = QString(2 * window.m_genealogy.GetGeneration(m) - 2, u' ') +
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
    window.AddMemberRow(window.m_genealogy.GetRootLink());
    ASSERT_EQ(ListRows(), 1);
  }
  void ExpectEditDone() {
    EXPECT_TRUE(window.m_modified);
    EXPECT_EQ(ListRows(), 0);
    EXPECT_EQ(TreeLines(), ModelLines(false));
  }

  CClanbookDlg window;
  MessageBoxRecorder boxes;

private:
  void Collect(const QModelIndex& parent, int depth, QStringList& lines) const {
    const GenealogyTreeModel* model = window.treeModel();
    for (int row = 0; row < model->rowCount(parent); ++row) {
      const QModelIndex index = model->index(row, 0, parent);
      lines << QString(2 * depth, u' ') + model->data(index).toString();
      Collect(index, depth + 1, lines);
    }
  }
};
