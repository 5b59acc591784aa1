// Subtrees taken out of the tree whole and put back at the same place, so that
// a deletion can be undone: the members keep their addresses, their data and
// their order below the top, and only the names enter and leave the index.
#include <cassert>
#include <string>
#include <unordered_map>

#include "model/COperationClanbook.h"
#include "model/NameIndex.h"

COperationClanbook::SubtreePlace COperationClanbook::TakeSubtree(MemberNode* member) {
  SubtreePlace place;
  if (!member) return place;
  if (member == m_root) {
    // The whole genealogy leaves: no name stays to be seated again.
    m_tail = TailCache{};
    m_index->Clear();
    m_root = nullptr;
  } else {
    place.parent = member->parent;
    place.elder = ElderSibling(member);
    if (place.elder)
      place.elder->nextSibling = member->nextSibling;
    else
      place.parent->firstChild = member->nextSibling;
    m_tail = TailCache{};
    IndexSubtreeRemoval(member);
  }
  member->parent = nullptr;
  member->nextSibling = nullptr;
  assert(InvariantsHold());
  return place;
}

void COperationClanbook::RestoreSubtree(MemberNode* member, const SubtreePlace& place) {
  m_tail = TailCache{};
  member->parent = place.parent;
  if (!place.parent) {
    assert(!m_root);
    m_root = member;
  } else if (place.elder) {
    member->nextSibling = place.elder->nextSibling;
    place.elder->nextSibling = member;
  } else {
    member->nextSibling = place.parent->firstChild;
    place.parent->firstChild = member;
  }
  // Whether a returning bearer comes before the one the index holds is not
  // known here; the index finds out at the next search. A returning root
  // comes first in pre-order.
  NameIndex& index = *m_index;
  index.ForEachAhead(SubtreeMembers(member), [&](MemberNode* m, std::uint32_t hash) {
    index.Add(m, m == member && !place.parent, hash);
  });
  assert(InvariantsHold());
}

MemberNode* COperationClanbook::TakeRootAbove() {
  MemberNode* root = m_root;
  if (!root) return nullptr;
  assert(!root->firstChild || !root->firstChild->nextSibling);
  m_tail = TailCache{};
  m_root = root->firstChild;
  root->firstChild = nullptr;
  if (m_root) m_root->parent = nullptr;
  if (const std::uint32_t left = m_index->Remove(root)) {
    if (MemberNode* first = SearchPreOrder(m_root, root->name)) m_index->AddBearers(first, left);
  }
  assert(InvariantsHold());
  return root;
}

void COperationClanbook::ReleaseSubtree(MemberNode* member) {
  assert(!member || !member->nextSibling);
  ReleaseChain(member);
}

bool COperationClanbook::InvariantsHold() const {
  if (m_tail.father &&
      (!m_tail.last || m_tail.last->parent != m_tail.father ||
       CountChildren(m_tail.father) != m_tail.children ||
       (m_tail.elder ? m_tail.elder->nextSibling : m_tail.father->firstChild) != m_tail.last))
    return false;
  std::unordered_map<std::u16string, std::uint32_t> bearers;
  std::unordered_map<std::u16string, const MemberNode*> firstBearer;
  bool linksHold = !m_root || !m_root->parent;
  WalkPreOrder(m_root, [&](MemberNode* m) {
    if (++bearers[m->name] == 1) firstBearer[m->name] = m;
    for (const MemberNode* c = m->firstChild; c; c = c->nextSibling)
      if (c->parent != m) linksHold = false;
    return WalkStep::Descend;
  });
  if (!linksHold || bearers.size() != m_index->Size()) return false;
  for (const auto& [name, count] : bearers) {
    const NameIndex::Entry* entry = m_index->Find(name);
    if (!entry || entry->count != count || entry->representative->name != name) return false;
    if (entry->first && entry->representative != firstBearer.at(name)) return false;
  }
  return true;
}
