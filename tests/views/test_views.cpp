// The tree and list models follow the document row by row through every edit,
// undo and redo, as QAbstractItemModelTester checks after each signal, and the
// tree view keeps the families the user opened.
#include "../document/DocumentTestSupport.h"
#include "views/GenealogyTreeModel.h"
#include "views/MemberListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTreeView>

#include <gtest/gtest.h>

#include <unordered_set>
#include <vector>

namespace {

class ViewsFollowTheDocument : public ::testing::TestWithParam<EditSequence> {
protected:
  void SetUp() override {
    FillClan(document);
    view.setModel(&tree);
    view.expandAll();
    document.Genealogy().VisitPreOrder(opened, document.Root(),
                                       [](std::vector<const MemberNode*>& out, MemberNode* m) {
                                         if (m->firstChild) out.push_back(m);
                                       });
    listed = Members();
    list.AppendMembers(listed);
  }

  std::vector<const MemberNode*> Members() const {
    std::vector<const MemberNode*> members;
    document.Genealogy().VisitPreOrder(
        members, document.Root(),
        [](std::vector<const MemberNode*>& out, MemberNode* m) { out.push_back(m); });
    return members;
  }

  static void AppendLines(const QAbstractItemModel& model, const QModelIndex& parent,
                          const QString& indent, QStringList& lines) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
      const QModelIndex index = model.index(row, 0, parent);
      lines << indent + index.data().toString();
      AppendLines(model, index, indent + QStringLiteral("  "), lines);
    }
  }

  // What the views show against the genealogy itself.
  void ExpectViewsInStep(const std::string& step) {
    SCOPED_TRACE(step);
    QStringList shown;
    AppendLines(tree, {}, {}, shown);
    QStringList expected;
    const COperationClanbook& genealogy = document.Genealogy();
    const std::vector<const MemberNode*> members = Members();
    for (const MemberNode* m : members)
      expected << QString(2 * genealogy.GetGeneration(m) - 2, u' ') +
                      QString::fromStdU16String(m->name);
    EXPECT_EQ(shown, expected);

    const std::unordered_set<const MemberNode*> present(members.begin(), members.end());
    // Families that never left stay open; one that comes back by an undo
    // comes back closed, as the view forgot it when it left.
    std::erase_if(opened, [&](const MemberNode* m) { return !present.count(m); });
    for (const MemberNode* m : opened) {
      if (m->firstChild) {
        EXPECT_TRUE(view.isExpanded(tree.IndexOf(m)))
            << QString::fromStdU16String(m->name).toStdString();
      }
    }

    // Rows of members that left are gone, the others stay in their order, and
    // every count and place among siblings is today's.
    std::erase_if(listed, [&](const MemberNode* m) { return !present.count(m); });
    ASSERT_EQ(list.rowCount(), static_cast<int>(listed.size()));
    for (int row = 0; row < list.rowCount(); ++row) {
      const MemberNode* m = listed[static_cast<std::size_t>(row)];
      EXPECT_EQ(list.MemberAt(row), m);
      EXPECT_EQ(list.CellText(row, 6), QString::number(genealogy.CountChildren(m)));
      EXPECT_EQ(list.CellText(row, 7), QString::number(genealogy.GetSiblingPosition(m)));
    }
  }

  GenealogyDocument document;
  GenealogyTreeModel tree{document};
  MemberListModel list{document, tree.Families()};
  QAbstractItemModelTester treeTester{&tree, QAbstractItemModelTester::FailureReportingMode::Fatal};
  QAbstractItemModelTester listTester{&list, QAbstractItemModelTester::FailureReportingMode::Fatal};
  QTreeView view;
  std::vector<const MemberNode*> opened;
  std::vector<const MemberNode*> listed;
};

TEST_P(ViewsFollowTheDocument, ThroughEditsUndoAndRedo) {
  QSignalSpy resets(&tree, &QAbstractItemModel::modelReset);
  const std::vector<Edit>& edits = GetParam().edits;
  for (std::size_t i = 0; i < edits.size(); ++i) {
    edits[i].apply(document);
    ExpectViewsInStep("edit " + std::to_string(i));
  }
  QUndoStack* stack = document.UndoStack();
  for (std::size_t i = edits.size(); i > 0; --i) {
    stack->undo();
    ExpectViewsInStep("undo " + std::to_string(i - 1));
  }
  for (std::size_t i = 0; i < edits.size(); ++i) {
    stack->redo();
    ExpectViewsInStep("redo " + std::to_string(i));
  }
  EXPECT_EQ(resets.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sequences, ViewsFollowTheDocument, ::testing::ValuesIn(EditSequences()),
                         [](const auto& info) { return "sequence" + std::to_string(info.index); });

TEST(ViewsReset, OpenAndNewResetTheTreeAndEmptyTheList) {
  GenealogyDocument document;
  GenealogyTreeModel tree(document);
  MemberListModel list(document, tree.Families());
  QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::Fatal);
  FillClan(document);
  list.AppendMembers({document.Root()});
  list.AppendNote(QStringLiteral("注"));
  document.New();
  EXPECT_EQ(tree.rowCount(), 0);
  EXPECT_EQ(list.rowCount(), 0);
}

}  // namespace
