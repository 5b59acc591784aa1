// A million members leave with one deletion and come back with its undo, in
// the same place, all found again by name.
#include "DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(DocumentScale, UndoOfDeletingAMillionMembersPutsThemAllBack) {
  constexpr int kMembers = 1000000;
  GenealogyDocument document;
  FillClan(document);
  COperationClanbook& tree = document.Genealogy();
  // Under 乙: a family of half a million, each child with one son.
  // Children born one day after another are appended without a walk.
  MemberNode* father = FindIn(document, QStringLiteral("乙"));
  std::vector<MemberNode*> children;
  for (int i = 0; i < kMembers / 2; ++i) {
    auto* child = new MemberNode;
    static_cast<MemberData&>(*child) =
        Born(QStringLiteral("子%1").arg(i), 1950 + i / 336, 1 + i / 28 % 12, 1 + i % 28);
    tree.InsertMember(father, child);
    children.push_back(child);
  }
  for (int i = 0; i < kMembers / 2; ++i) {
    auto* grandchild = new MemberNode;
    static_cast<MemberData&>(*grandchild) = Born(QStringLiteral("孙%1").arg(i), 3500);
    tree.InsertMember(children[static_cast<std::size_t>(i)], grandchild);
  }
  document.NotifyReset();
  auto preOrder = [&tree] {
    std::vector<const MemberNode*> order;
    tree.VisitPreOrder(order, tree.Root(), [](std::vector<const MemberNode*>& out, MemberNode* m) {
      out.push_back(m);
    });
    return order;
  };
  const std::vector<const MemberNode*> before = preOrder();
  ASSERT_EQ(before.size(), static_cast<std::size_t>(kMembers + 8));

  Delete("乙").apply(document);
  int left = tree.CountMembers();
  EXPECT_EQ(left, 6);
  EXPECT_EQ(FindIn(document, QStringLiteral("孙499999")), nullptr);

  document.UndoStack()->undo();
  EXPECT_EQ(preOrder(), before);
  for (const QString& name :
       {QStringLiteral("乙"), QStringLiteral("子0"), QStringLiteral("孙499999")})
    EXPECT_NE(FindIn(document, name), nullptr) << name.toStdString();
  document.UndoStack()->redo();
  EXPECT_EQ(FindIn(document, QStringLiteral("子0")), nullptr);
}

}  // namespace
