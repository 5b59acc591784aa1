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
  const std::vector<MemberNode*>& children = ChildrenOf(member->parent);
  // A row remembered before a brother came or went in front may have moved:
  // it is right when the family still holds the member there.
  if (auto it = m_rows.find(member); it != m_rows.end() &&
                                     it->second < static_cast<int>(children.size()) &&
                                     children[it->second] == member)
    return it->second;
  for (int i = 0; i < static_cast<int>(children.size()); ++i) m_rows[children[i]] = i;
  return m_rows.at(member);
}

void FamilyIndex::Clear() {
  m_children.clear();
  m_rows.clear();
}

void FamilyIndex::Inserted(const MemberNode* father, int row, MemberNode* child) {
  const auto it = m_children.find(father);
  if (it == m_children.end()) return;  // built from the tree when first asked
  std::vector<MemberNode*>& children = it->second;
  children.insert(children.begin() + row, child);
  // The rows of the younger ones are put right when next asked for, so that a
  // child born first into a family of 100,000 costs no renumbering now.
  m_rows[child] = row;
}

void FamilyIndex::Removed(const MemberNode* father, int row, const MemberNode* member) {
  m_rows.erase(member);
  if (const auto it = m_children.find(father); it != m_children.end()) {
    std::vector<MemberNode*>& children = it->second;
    children.erase(children.begin() + row);
  }
  // Only the families shown or counted are held, seldom more than a few
  // hundred, so each is tested by its line upwards rather than walking a
  // subtree that may hold a million members. The member that left has no
  // father any more: every line ends at it or at the root.
  for (auto it = m_children.begin(); it != m_children.end();) {
    const MemberNode* m = it->first;
    while (m && m != member) m = m->parent;
    if (!m) {
      ++it;
      continue;
    }
    for (const MemberNode* child : it->second) m_rows.erase(child);
    it = m_children.erase(it);
  }
}

void FamilyIndex::Forget(const MemberNode* father) {
  const auto it = m_children.find(father);
  if (it == m_children.end()) return;
  for (const MemberNode* child : it->second) m_rows.erase(child);
  m_children.erase(it);
}
