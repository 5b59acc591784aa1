#include "views/FamilyIndex.h"

const std::vector<MemberNode*>& FamilyIndex::ChildrenOf(const MemberNode* father) {
  auto [it, inserted] = m_children.try_emplace(father);
  if (inserted) {
    std::vector<MemberNode*>& children = it->second;
    for (MemberNode* child = father->firstChild; child; child = child->nextSibling) {
      m_rows[child] = static_cast<int>(children.size());
      children.push_back(child);
    }
  }
  return it->second;
}

int FamilyIndex::RowOf(const MemberNode* member) {
  if (!member->parent) return 0;
  if (auto it = m_rows.find(member); it != m_rows.end()) return it->second;
  ChildrenOf(member->parent);
  return m_rows.at(member);
}

void FamilyIndex::Clear() {
  m_children.clear();
  m_rows.clear();
}
