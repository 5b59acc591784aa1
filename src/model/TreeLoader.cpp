#include "model/TreeLoader.h"

#include <iterator>

#include "model/NameIndex.h"

// Builds the tree record by record. The father named in a record is the first
// member in pre-order that bears the name when the record is read, exactly as
// the search from the root would find him. The index keeps that first bearer
// for every name as the load goes: adding a member never changes the order of
// the members already there, so the first bearer changes only when a newcomer
// comes before him.
//
// The way from the root to the last member in pre-order is kept on a stack,
// each step marked when it is the first bearer of its name. A file in
// pre-order (every file this program writes) names as father a member near
// the top of the way and appends each newcomer at its end: he comes last in
// pre-order, his father's last child is the next step of the way, and neither
// a search nor a comparison is needed. A member placed elsewhere is compared
// in pre-order with the first bearer of his name by walking up from both.

namespace {

constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);

}  // namespace

bool TreeLoader::Precedes(const MemberNode* a, const MemberNode* b) {
  auto depth = [](const MemberNode* m) {
    std::size_t d = 0;
    for (; m->parent; m = m->parent) ++d;
    return d;
  };
  std::size_t da = depth(a), db = depth(b);
  for (; da > db; --da) a = a->parent;
  if (a == b) return false;  // b is an ancestor of a
  for (; db > da; --db) b = b->parent;
  if (a == b) return true;
  while (a->parent != b->parent) {
    a = a->parent;
    b = b->parent;
  }
  for (const MemberNode* c = a->parent->firstChild; c; c = c->nextSibling) {
    if (c == a) return true;
    if (c == b) return false;
  }
  return false;
}

std::size_t TreeLoader::WayPosition(const MemberNode* member) const {
  // Every step of the way but the root is the last child of the one before.
  if (member->nextSibling) return kNowhere;
  std::size_t depth = 0;
  for (const MemberNode* m = member->parent; m; m = m->parent) ++depth;
  return depth < m_way.size() && m_way[depth].member == member ? depth : kNowhere;
}

MemberNode* TreeLoader::FindFather(const std::u16string& father, std::size_t& at) {
  // Near the top of the way first: there a file in pre-order names the father.
  constexpr std::size_t kNear = 16;
  const std::size_t n = m_way.size();
  for (std::size_t k = n; k > 0 && n - k < kNear; --k) {
    const Step& step = m_way[k - 1];
    if (step.member->name != father) continue;
    if (!step.first) break;  // an earlier bearer of the name is the father
    at = k - 1;
    return step.member;
  }
  Flush();
  NameIndex::Entry* entry = m_tree.m_index->Find(father);
  if (!entry) return nullptr;
  at = WayPosition(entry->representative);
  return entry->representative;
}

namespace {

// A valid date as one number that compares as the date does.
std::int64_t DateKey(const MemberNode& m) {
  return std::int64_t{m.birthYear} * 512 + m.birthMonth * 32 + m.birthDay;
}

}  // namespace

bool TreeLoader::AppendAfter(MemberNode* father, MemberNode* last, MemberNode* member) {
  if (last && CompareBirthDates(*last, *member) > 0) {
    Place(father, member);
    return false;
  }
  (last ? last->nextSibling : father->firstChild) = member;
  if (!m_dated.empty())
    if (auto it = m_dated.find(father); it != m_dated.end() && it->second.indexed) {
      auto& dates = it->second.lastBornOn;
      dates.insert_or_assign(dates.end(), DateKey(*member), member);
    }
  return true;
}

void TreeLoader::Place(MemberNode* father, MemberNode* member) {
  DatedFamily& family = m_dated[father];
  const std::int64_t key = DateKey(*member);
  if (!family.indexed) {
    family.walked += COperationClanbook::InsertAmong(father->firstChild, member, true);
    if (family.walked < kWalkBudget) return;
    // The list is in birth order: the last child of each date comes last.
    for (MemberNode* c = father->firstChild; c; c = c->nextSibling)
      family.lastBornOn.insert_or_assign(family.lastBornOn.end(), DateKey(*c), c);
    family.indexed = true;
    return;
  }
  auto after = family.lastBornOn.upper_bound(key);
  if (after == family.lastBornOn.begin()) {
    member->nextSibling = father->firstChild;
    father->firstChild = member;
  } else {
    MemberNode* elder = std::prev(after)->second;
    member->nextSibling = elder->nextSibling;
    elder->nextSibling = member;
  }
  family.lastBornOn.insert_or_assign(after, key, member);
}

bool TreeLoader::Link(MemberNode* member, MemberNode* father, std::size_t at) {
  member->parent = father;
  member->firstChild = member->nextSibling = nullptr;
  if (at != kNowhere) {
    if (!AppendAfter(father, at + 1 < m_way.size() ? m_way[at + 1].member : nullptr, member))
      return false;
    m_way.resize(at + 1);
    m_way.push_back(Step{member, false});
    return true;
  }
  // A father off the way: his last child is remembered from the first time
  // on, so that families filled in turn (a file out of pre-order) need no
  // walk along their lists. Every list the loader builds is in birth order,
  // so the last child is the latest born.
  auto [it, added] = m_lastChild.try_emplace(father, nullptr);
  MemberNode*& last = it->second;
  if (added)
    for (MemberNode* c = father->firstChild; c; c = c->nextSibling) last = c;
  if (AppendAfter(father, last, member)) last = member;
  return false;
}

void TreeLoader::Flush() {
  NameIndex& index = *m_tree.m_index;
  for (std::size_t i = 0; i < m_queued; ++i) index.AddNew(m_queue[i].member, m_queue[i].hash);
  m_queued = 0;
}

void TreeLoader::Enter(const Pending& pending) {
  if (!MaybeSeen(pending.hash)) {
    MarkSeen(pending.hash);
    if (pending.last) m_way.back().first = true;
    if (m_queued == kQueued) Flush();
    m_queue[m_queued++] = pending;
    return;
  }
  Flush();
  Index(pending);
}

void TreeLoader::Index(const Pending& pending) {
  MemberNode* member = pending.member;
  NameIndex& index = *m_tree.m_index;
  NameIndex::Entry* entry = index.Find(member->name, pending.hash);
  if (!entry) {
    index.AddNew(member, pending.hash);
    if (pending.last) m_way.back().first = true;
    return;
  }
  ++entry->count;
  if (pending.last || !Precedes(member, entry->representative)) return;
  // The newcomer comes before the first bearer so far.
  if (std::size_t at = WayPosition(entry->representative); at != kNowhere) m_way[at].first = false;
  entry->representative = member;
}

std::uint32_t TreeLoader::Hash(std::u16string_view name) {
  return NameIndex::Hash(name);
}

void TreeLoader::Prefetch(std::uint32_t hash) {
  if (m_seen.empty()) return;
  __builtin_prefetch(&m_seen[((hash >> 5) & m_seenMask) >> 6]);
  m_tree.m_index->Prefetch(hash);
}

void TreeLoader::SetRoot(std::unique_ptr<MemberNode> member, std::uint32_t hash) {
  MemberNode* root = member.release();
  root->parent = root->firstChild = root->nextSibling = nullptr;
  m_tree.m_root = root;
  NameIndex& index = *m_tree.m_index;
  index.Reserve(m_expected);
  index.AddNew(root, hash);
  m_way.assign(1, Step{root, true});
  // About 16 bits a name: one name in sixteen, or fewer, is looked up in the
  // index only because its bit was set by another.
  std::size_t bits = 1 << 12;
  while (bits < m_expected * 16 && bits < (std::size_t{1} << 32)) bits *= 2;
  m_seen = ZeroedArray<std::uint64_t>(bits / 64);
  m_seenMask = static_cast<std::uint32_t>(bits - 1);
  MarkSeen(hash);
}

TreeLoader::Added TreeLoader::Add(std::unique_ptr<MemberNode>& member, std::uint32_t hash,
                                  const std::u16string& fatherName) {
  std::size_t at = kNowhere;
  MemberNode* father = FindFather(fatherName, at);
  if (!father) return Added::kUnknownFather;
  if (CompareBirthDates(*member, *father) < 0) return Added::kBornBeforeFather;
  MemberNode* linked = member.release();
  const bool last = Link(linked, father, at);
  Enter(Pending{linked, hash, last});
  return Added::kAdded;
}
