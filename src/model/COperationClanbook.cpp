// The genealogy tree: links, searches, insertion and deletion, counts.
#include "model/COperationClanbook.h"

#include <cassert>

#include <string>
#include <unordered_map>
#include <utility>

#include "model/FileStatus.h"
#include "model/NameIndex.h"
#include "model/TextCodec.h"

// Releases a chain (a member, its later siblings and everything below them).
// The same members as VisitPostOrder releasing each, in pre-order instead:
// that is the order the loader allocated them in, so the walk runs along
// memory once instead of collecting every link first and going back.
void COperationClanbook::ReleaseChain(MemberNode* link) {
  WalkPreOrder(link, [](MemberNode* member) {
    delete member;
    return WalkStep::Descend;
  });
}

COperationClanbook::COperationClanbook() : m_index(std::make_unique<NameIndex>()) {}

COperationClanbook::~COperationClanbook() {
  Clear();
}

MemberNode* COperationClanbook::SearchPreOrder(MemberNode* link, std::u16string_view name) const {
  // The first bearer in pre-order is exactly what the search along siblings
  // and children, each match overwriting the last, comes to.
  MemberNode* found = nullptr;
  WalkPreOrder(link, [&found, name](MemberNode* member) {
    if (member->name != name) return WalkStep::Descend;
    found = member;
    return WalkStep::Stop;
  });
  return found;
}

MemberNode* COperationClanbook::FindByName(std::u16string_view name) const {
  return FindByName(m_root, name);
}

MemberNode* COperationClanbook::FindByName(MemberNode* first, std::u16string_view name) const {
  if (!first) return nullptr;
  if (first != m_root) return SearchPreOrder(first, name);
  // The root's chain is the whole genealogy, which the index covers.
  NameIndex::Entry* entry = m_index->Find(name);
  if (!entry) return nullptr;
  if (!entry->first) {
    MemberNode* found = SearchPreOrder(first, name);
    if (!found) return nullptr;  // unreachable while the index is in step with the tree
    entry->representative = found;
    entry->first = true;
  }
  return entry->representative;
}

std::vector<MemberNode*> COperationClanbook::FindByBirthday(std::int32_t month,
                                                            std::int32_t day) const {
  std::vector<MemberNode*> found;
  WalkPreOrder(m_root, [&found, month, day](MemberNode* member) {
    if (member->birthMonth == month && member->birthDay == day) found.push_back(member);
    return WalkStep::Descend;
  });
  return found;
}

void COperationClanbook::Clear() {
  m_tail = TailCache{};
  m_index->Clear();
  ReleaseChain(m_root);
  m_root = nullptr;
  m_book = BookData();
}

void COperationClanbook::Reset() {
  Clear();
  m_root = nullptr;
}

std::size_t COperationClanbook::InsertAmong(MemberNode*& firstChildLink, MemberNode* newMember,
                                            bool afterSameDay) {
  const int stopBelow = afterSameDay ? 1 : 0;
  MemberNode* previous = nullptr;
  MemberNode* child = firstChildLink;
  std::size_t walked = 0;
  while (child && CompareBirthDates(*child, *newMember) < stopBelow) {
    previous = child;
    child = child->nextSibling;
    ++walked;
  }
  newMember->nextSibling = child;
  if (previous)
    previous->nextSibling = newMember;
  else
    firstChildLink = newMember;
  return walked;
}

void COperationClanbook::LearnTail(MemberNode* parent) {
  MemberNode* first = parent->firstChild;
  TailCache& tail = m_tail;
  tail = TailCache{parent, first, nullptr, first->birthYear, first->birthMonth, first->birthDay, 1};
  for (MemberNode* c = first->nextSibling; c; c = c->nextSibling) {
    tail.elder = tail.last;
    tail.last = c;
    ++tail.children;
    if (CompareDates(c->birthYear, c->birthMonth, c->birthDay, tail.latestYear, tail.latestMonth,
                     tail.latestDay) > 0) {
      tail.latestYear = c->birthYear;
      tail.latestMonth = c->birthMonth;
      tail.latestDay = c->birthDay;
    }
  }
}

int COperationClanbook::PlaceOfNewChild(MemberNode* parent, const MemberData& data) {
  if (!parent->firstChild) return 0;
  if (!TailKnown(parent)) LearnTail(parent);
  // The same place LinkChild finds: the end exactly when every child was born
  // earlier, else before the first child not born earlier.
  if (CompareDates(m_tail.latestYear, m_tail.latestMonth, m_tail.latestDay, data.birthYear,
                   data.birthMonth, data.birthDay) < 0)
    return m_tail.children;
  int row = 0;
  for (const MemberNode* c = parent->firstChild;
       c && CompareDates(c->birthYear, c->birthMonth, c->birthDay, data.birthYear, data.birthMonth,
                         data.birthDay) < 0;
       c = c->nextSibling)
    ++row;
  return row;
}

void COperationClanbook::LinkChild(MemberNode* parent, MemberNode* newMember, bool afterSameDay) {
  newMember->nextSibling = nullptr;
  newMember->firstChild = nullptr;
  newMember->parent = parent;
  // The place is the end exactly when every child was born earlier than the
  // newcomer (or on its day, for a file), whatever order the list is in.
  TailCache& tail = m_tail;
  const bool known = TailKnown(parent);
  if (known && CompareDates(tail.latestYear, tail.latestMonth, tail.latestDay, newMember->birthYear,
                            newMember->birthMonth, newMember->birthDay) < (afterSameDay ? 1 : 0)) {
    tail.last->nextSibling = newMember;
    tail.elder = tail.last;
    tail.last = newMember;
    ++tail.children;
    tail.latestYear = newMember->birthYear;
    tail.latestMonth = newMember->birthMonth;
    tail.latestDay = newMember->birthDay;
    return;
  }
  InsertAmong(parent->firstChild, newMember, afterSameDay);
  // A newcomer that did not go last changes neither the last child nor the
  // latest date; for another family all is learnt by one walk.
  if (!known) {
    LearnTail(parent);
    return;
  }
  ++tail.children;
  if (newMember->nextSibling == tail.last) tail.elder = newMember;
}

MemberNode* COperationClanbook::ElderSibling(const MemberNode* member) const {
  const MemberNode* parent = member->parent;
  if (!parent || parent->firstChild == member) return nullptr;
  if (m_tail.father == parent && m_tail.last == member && !member->nextSibling) return m_tail.elder;
  MemberNode* elder = parent->firstChild;
  while (elder->nextSibling != member) elder = elder->nextSibling;
  return elder;
}

void COperationClanbook::InsertMember(MemberNode* parent, MemberNode* newMember) {
  if (parent) {
    m_index->Add(newMember, false);
    LinkChild(parent, newMember, false);
    // The whole check walks the tree; after each addition only what it
    // touched is checked: the remembered family's end and the new name.
    assert(m_tail.father == parent && m_tail.last->parent == parent && !m_tail.last->nextSibling &&
           (m_tail.elder ? m_tail.elder->nextSibling : parent->firstChild) == m_tail.last);
    assert(m_index->Find(newMember->name));
    return;
  }
  newMember->nextSibling = nullptr;
  newMember->firstChild = nullptr;
  newMember->parent = nullptr;
  if (m_root) {
    newMember->firstChild = m_root;
    m_root->parent = newMember;
  }
  m_root = newMember;
  // A root comes first in pre-order, before any other bearer of its name.
  m_index->Add(newMember, true);
}

void COperationClanbook::AdoptTree(MemberNode* root, const std::vector<MemberNode*>& members) {
  assert(!m_root && m_index->Empty() && root && !root->parent);
  m_root = root;
  m_tail = TailCache{};
  NameIndex& index = *m_index;
  index.Reserve(members.size());
  // As InsertMember would enter them: the root as the first bearer of his
  // name, anybody else as a bearer whose place the next search finds out.
  index.ForEachAhead(members, [&index, root](MemberNode* member, std::uint32_t hash) {
    index.Add(member, member == root, hash);
  });
}

void COperationClanbook::InsertChildAfter(MemberNode* parent, MemberNode* elder,
                                          MemberNode* newMember) {
  assert(parent && (!elder || elder->parent == parent));
  m_index->Add(newMember, false);
  newMember->parent = parent;
  newMember->firstChild = nullptr;
  MemberNode*& link = elder ? elder->nextSibling : parent->firstChild;
  newMember->nextSibling = link;
  link = newMember;
  // The remembered family may be this one: its last child or count changed.
  if (m_tail.father == parent) m_tail = TailCache{};
}

std::vector<MemberNode*> COperationClanbook::SubtreeMembers(MemberNode* top) {
  std::vector<MemberNode*> members{top};
  WalkPreOrder(top->firstChild, [&members](MemberNode* member) {
    members.push_back(member);
    return WalkStep::Descend;
  });
  return members;
}

void COperationClanbook::IndexSubtreeRemoval(MemberNode* top) {
  // Names whose representative leaves while other bearers stay: the count of
  // bearers left, to be given to the first of them that remains in the tree.
  std::unordered_map<std::u16string, std::uint32_t> orphaned;
  m_index->ForEachAhead(SubtreeMembers(top), [&](MemberNode* member, std::uint32_t hash) {
    if (!orphaned.empty()) {
      auto it = orphaned.find(member->name);
      if (it != orphaned.end()) {
        if (--it->second == 0) orphaned.erase(it);
        return;
      }
    }
    if (std::uint32_t left = m_index->Remove(member, hash)) orphaned.emplace(member->name, left);
  });
  if (orphaned.empty()) return;

  // Seat the first remaining bearer of each such name; the subtree that is
  // leaving is passed over.
  WalkPreOrder(m_root, [&](MemberNode* member) {
    if (member == top) return WalkStep::SkipChildren;
    if (auto it = orphaned.find(member->name); it != orphaned.end()) {
      m_index->AddBearers(member, it->second);
      orphaned.erase(it);
    }
    return orphaned.empty() ? WalkStep::Stop : WalkStep::Descend;
  });
}

void COperationClanbook::DeleteMember(MemberNode* member) {
  if (!member) return;
  TakeSubtree(member);
  ReleaseChain(member->firstChild);
  delete member;
}

void COperationClanbook::Rename(MemberNode* member, const std::u16string& name) {
  if (member->name == name) return;
  std::uint32_t left = m_index->Remove(member);
  const std::u16string oldName = member->name;
  member->name = name;
  if (left) {
    if (MemberNode* first = SearchPreOrder(m_root, oldName)) m_index->AddBearers(first, left);
  }
  m_index->Add(member, member == m_root);
}

void COperationClanbook::SetMemberData(MemberNode* member, const MemberData& data) {
  m_tail = TailCache{};  // the latest birth date may change
  Rename(member, data.name);
  static_cast<MemberData&>(*member) = data;
}

void COperationClanbook::UpdateMemberData(MemberNode* member, const MemberNode& source) {
  m_tail = TailCache{};  // the latest birth date may change
  Rename(member, source.name);
  member->address = source.address;
  member->birthYear = source.birthYear;
  member->birthMonth = source.birthMonth;
  member->birthDay = source.birthDay;
  member->married = source.married;
  member->alive = source.alive;
  if (source.alive == 0) {
    member->deathYear = source.deathYear;
    member->deathMonth = source.deathMonth;
    member->deathDay = source.deathDay;
  }
}

int COperationClanbook::CountChildren(const MemberNode* member) const {
  int count = 0;
  for (const MemberNode* child = member->firstChild; child; child = child->nextSibling) ++count;
  return count;
}

int COperationClanbook::GetSiblingPosition(const MemberNode* member) const {
  if (!member->parent) return 1;
  int position = 1;
  for (const MemberNode* child = member->parent->firstChild; child && child != member;
       child = child->nextSibling)
    ++position;
  return position;
}

int COperationClanbook::GetGeneration(const MemberNode* member) const {
  int generation = 1;
  for (const MemberNode* m = member->parent; m; m = m->parent) ++generation;
  return generation;
}

void COperationClanbook::Swap(COperationClanbook& other) noexcept {
  std::swap(m_root, other.m_root);
  m_index.swap(other.m_index);
  // The remembered family belongs to the members it points into.
  std::swap(m_tail, other.m_tail);
  std::swap(m_book, other.m_book);
}

int COperationClanbook::CountMembers() const {
  return CountMembers(m_root);
}

int COperationClanbook::CountMembers(const MemberNode* first) const {
  int count = 0;
  WalkPreOrder(first, [&count](const MemberNode*) {
    ++count;
    return WalkStep::Descend;
  });
  return count;
}

bool COperationClanbook::IsStorableName(std::u16string_view name) {
  return WhyNotStorable(name, true) == TextProblem::kNone;
}

bool COperationClanbook::IsStorableAddress(std::u16string_view address) {
  return WhyNotStorable(address, false) == TextProblem::kNone;
}

TextProblem WhyNotStorable(std::u16string_view text, bool isName) {
  if (isName && text.empty()) return TextProblem::kEmpty;
  if (text.size() > kMaxTextLength) return TextProblem::kTooLong;
  // A NUL counts with the blanks: the reader takes a file with NUL bytes for
  // no text at all, so a saved NUL would make the book unreadable.
  for (char16_t c : text)
    if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r' ||
        c == u'\0')
      return TextProblem::kBlank;
  if (!textcodec::IsWellFormed(text)) return TextProblem::kLoneSurrogate;
  return TextProblem::kNone;
}
