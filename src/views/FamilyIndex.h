// The families that the views show, each as an array of its children built
// when first asked. Finding row n of a family, a member's place among its
// brothers and sisters or the size of its family by walking the sibling list
// would make a family of 100,000 children quadratic to show; with the array
// each costs one walk of the family, shared by the tree view and the list.
#pragma once

#include "model/COperationClanbook.h"

#include <unordered_map>
#include <vector>

class FamilyIndex {
public:
  const std::vector<MemberNode*>& ChildrenOf(const MemberNode* father);
  // The member's place among its father's children counted from 0; 0 for the root.
  int RowOf(const MemberNode* member);
  // Follows the genealogy: a child entered `father`'s family at `row`.
  void Inserted(const MemberNode* father, int row, MemberNode* child);
  // `member`, which stood at `row` of `father`'s family, left the tree with its
  // descendants: it leaves the family, and the families below it are forgotten.
  void Removed(const MemberNode* father, int row, const MemberNode* member);
  // Forgets the family of `father` alone.
  void Forget(const MemberNode* father);
  // Forgets every family: after the whole genealogy was replaced.
  void Clear();

private:
  std::unordered_map<const MemberNode*, std::vector<MemberNode*>> m_children;
  std::unordered_map<const MemberNode*, int> m_rows;
};
