#include "search/MemberSearch.h"

#include "search/MemberSearchData.h"

#include <algorithm>
#include <array>
#include <bit>
#include <span>
#include <unordered_map>
#include <unordered_set>

#include "search/Pinyin.h"
#include "search/QueryText.h"

using namespace searchtext;
using searchindex::OtherText;

bool MemberMatchesQuery(const MemberNode& member, std::u16string_view query) {
  const std::u32string q = QueryText(query);
  if (q.empty()) return false;
  const std::u32string name = Folded(member.name);
  if (name.find(q) != std::u32string::npos) return true;
  const MemberRecord& record = member.extra.Record();
  for (const std::u16string* text :
       {&member.address, &record.courtesyName, &record.artName, &record.biography})
    if (Folded(*text).find(q) != std::u32string::npos) return true;
  if (!IsPinyinQuery(q)) return false;
  std::vector<std::span<const std::uint16_t>> readings;
  for (char32_t c : name) readings.push_back(PinyinReadings(c));
  for (std::size_t i = 0; i < readings.size(); ++i)
    if (PinyinFrom(readings, i, q, 0)) return true;
  return false;
}

void MemberSearchIndex::Data::Build(const COperationClanbook& book) {
  *this = Data();
  // The other text of the member before, to share its number; two buffers
  // in turn, since that text may stand in the one a member's text is made in.
  struct Previous {
    bool any = false;
    std::u16string_view text;
    std::u16string buffers[2];
    int next = 0;
  } before;
  book.VisitPreOrder(before, book.Root(), [this](Previous& previous, MemberNode* member) {
    Data& data = *this;
    data.members.push_back(member);
    data.AppendName(member->name, data.nameIds);
    data.nameStart.push_back(static_cast<std::uint32_t>(data.nameIds.size()));
    const std::u16string_view other = OtherText(*member, previous.buffers[previous.next]);
    data.addressOf.push_back(previous.any && previous.text == other ? data.addressOf.back()
                                                                    : data.AddressNumber(other));
    previous.any = true;
    previous.text = other;
    previous.next ^= 1;
    std::uint64_t bits = data.addressSignature[data.addressOf.back()] & kLetterBits;
    for (std::uint32_t i = data.nameStart[data.nameStart.size() - 2]; i < data.nameIds.size(); ++i)
      bits |= data.alphabet.Bit(data.nameIds[i]) | data.alphabet.Initials(data.nameIds[i]);
    data.signature.push_back(bits);
    const std::span<const std::uint32_t> name(
        data.nameIds.data() + data.nameStart[data.nameStart.size() - 2],
        data.nameIds.data() + data.nameIds.size());
    std::uint64_t packed = 0;
    if (name.size() <= 3 &&
        std::ranges::all_of(name, [](std::uint32_t id) { return id + 1 < kField; }))
      for (std::size_t k = 0; k < name.size(); ++k)
        packed |= std::uint64_t{name[k] + 1} << (21 * k);
    data.packedName.push_back(packed);
  });
  struck.assign((Size() + 63) / 64, 0);
  stale = false;
}

void MemberSearchIndex::Data::MakeSlots() {
  slots.assign(std::bit_ceil(std::max<std::size_t>(16, Size() * 2)), 0);
  const std::size_t mask = slots.size() - 1;
  for (std::size_t pos = 0; pos < Size(); ++pos) {
    std::size_t s = Slot(members[pos]);
    while (slots[s] != 0) s = (s + 1) & mask;
    slots[s] = static_cast<std::uint32_t>(pos + 1);
  }
}

namespace {

// The member just before `member` in pre-order, none for the root.
const MemberNode* PreOrderPredecessor(const COperationClanbook& book, const MemberNode* member) {
  const MemberNode* parent = member->parent;
  if (!parent) return nullptr;
  const MemberNode* before = book.ElderSibling(member);
  if (!before) return parent;
  while (before->firstChild) {
    before = before->firstChild;
    while (before->nextSibling) before = before->nextSibling;
  }
  return before;
}

// Calls `step` for `top` and everything below him in pre-order; `step`
// returns whether to go below the member it was given.
template <class Step>
void WalkSubtree(const MemberNode* top, Step&& step) {
  std::vector<const MemberNode*> pending{top};
  while (!pending.empty()) {
    const MemberNode* member = pending.back();
    pending.pop_back();
    if (!step(member)) continue;
    const std::size_t mark = pending.size();
    for (const MemberNode* c = member->firstChild; c; c = c->nextSibling) pending.push_back(c);
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
  }
}

}  // namespace

void MemberSearchIndex::Data::Add(const COperationClanbook& book, const MemberNode* member) {
  if (Known(member)) return;
  std::size_t at = 0;
  std::uint32_t anchor = 0;
  if (const MemberNode* before = PreOrderPredecessor(book, member)) {
    if (const std::size_t i = JournalIndex(before); i != kNone) {
      at = i + 1;
      anchor = journal[i].anchor;
    } else if (const std::uint32_t pos = Position(before); pos != kNone) {
      anchor = pos + 1;
      at = FirstWithAnchor(anchor);
    } else {
      stale = true;  // told out of order: start afresh rather than guess
      return;
    }
  }
  // A subtree too large for the journal makes a new snapshot anyway: found
  // out before a walk that would look each member up in the journal.
  const std::size_t room = JournalLimit() - std::min(journal.size(), JournalLimit());
  std::size_t seen = 0;
  WalkSubtree(member, [&](const MemberNode*) { return ++seen <= room; });
  if (seen > room) {
    stale = true;
    return;
  }
  // New members below the newcomer follow him in pre-order. Members already
  // indexed (the old root under a new root) keep their place and everything
  // below them; a new member after one of them would need a place of his own.
  // The journal is asked through a set and grows once: each member looked up
  // in it one by one would make a large subtree quadratic.
  std::unordered_set<const MemberNode*> inJournal;
  for (const Entry& e : journal) inJournal.insert(e.member);
  std::vector<Entry> added;
  bool passedKnown = false;
  WalkSubtree(member, [&](const MemberNode* m) {
    if (stale) return false;
    if (m != member && (Position(m) != kNone || inJournal.contains(m))) {
      passedKnown = true;
      return false;
    }
    if (passedKnown) {
      stale = true;
      return false;
    }
    added.push_back(MakeEntry(m, anchor));
    return true;
  });
  if (stale) return;
  journal.insert(journal.begin() + static_cast<std::ptrdiff_t>(at),
                 std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
}

void MemberSearchIndex::Data::Remove(const MemberNode* member) {
  std::unordered_map<const MemberNode*, std::size_t> inJournal;
  for (std::size_t i = 0; i < journal.size(); ++i) inJournal.emplace(journal[i].member, i);
  std::vector<bool> gone(journal.size(), false);
  // The snapshot is in pre-order, as the walk is: the next member is looked
  // for right after the one before, before the table is asked.
  std::size_t next = kNone;
  WalkSubtree(member, [&](const MemberNode* m) {
    if (const auto it = inJournal.find(m); it != inJournal.end()) gone[it->second] = true;
    std::uint32_t pos = kNone;
    if (next < Size() && members[next] == m) {
      if (!Struck(next)) pos = static_cast<std::uint32_t>(next);
      ++next;
    } else {
      pos = Position(m);
      next = pos == kNone ? kNone : pos + 1;
    }
    if (pos != kNone) Strike(pos);
    return true;
  });
  std::size_t i = 0;
  std::erase_if(journal, [&](const Entry&) { return gone[i++]; });
}

void MemberSearchIndex::Data::Change(const MemberNode* member) {
  if (const std::size_t i = JournalIndex(member); i != kNone) {
    journal[i] = MakeEntry(member, journal[i].anchor);
    return;
  }
  const std::uint32_t pos = Position(member);
  if (pos == kNone) {
    stale = true;
    return;
  }
  Entry entry = MakeEntry(member, pos + 1);
  const std::span<const std::uint32_t> old(nameIds.data() + nameStart[pos],
                                           nameStart[pos + 1] - nameStart[pos]);
  if (std::ranges::equal(AddressText(entry.address), AddressText(addressOf[pos])) &&
      std::ranges::equal(entry.name, old))
    return;
  // The member keeps his place in pre-order: he stands in the journal right
  // after his struck-out snapshot entry, before members added below him.
  Strike(pos);
  journal.insert(journal.begin() + static_cast<std::ptrdiff_t>(FirstWithAnchor(pos + 1)),
                 std::move(entry));
  if (journal.size() > JournalLimit()) stale = true;
}

MemberSearchIndex::MemberSearchIndex(const COperationClanbook& book)
    : m_book(book), m_data(std::make_unique<Data>()) {}

MemberSearchIndex::~MemberSearchIndex() = default;

void MemberSearchIndex::Rebuild() {
  m_data->Build(m_book);
}

void MemberSearchIndex::MemberAdded(const MemberNode* member) {
  m_data->typed.clear();
  if (!m_data->stale) m_data->Add(m_book, member);
}

void MemberSearchIndex::MemberAboutToBeRemoved(const MemberNode* member) {
  m_data->typed.clear();
  if (!m_data->stale) m_data->Remove(member);
}

void MemberSearchIndex::MemberChanged(const MemberNode* member) {
  m_data->typed.clear();
  if (!m_data->stale) m_data->Change(member);
}

std::vector<MemberNode*> MemberSearchIndex::Find(std::u16string_view query) {
  Data& d = *m_data;
  std::u32string text = QueryText(query);
  if (text.empty()) {
    // Nothing to find needs no index: a stale one is rebuilt when the user
    // types, not after every large edit while the box is empty.
    d.typed.clear();
    return {};
  }
  if (d.stale) d.Build(m_book);
  std::erase_if(d.typed, [&](const Data::Answer& a) { return !text.starts_with(a.query); });
  if (d.typed.empty() || d.typed.back().query != text) {
    Data::Query q = d.Compile(text);
    std::vector<std::uint32_t> refs;
    if (d.typed.empty()) {
      refs = d.Scan(q);
    } else {
      // Every rule keeps fewer members for a longer query, so the answer to a
      // prefix holds every candidate, already in pre-order.
      for (std::uint32_t ref : d.typed.back().refs)
        if (d.Matches(ref, q)) refs.push_back(ref);
    }
    d.typed.push_back({std::move(text), std::move(refs)});
  }
  std::vector<MemberNode*> out;
  out.reserve(d.typed.back().refs.size());
  const std::size_t n = d.Size();
  for (std::uint32_t ref : d.typed.back().refs)
    out.push_back(ref < n ? d.members[ref] : const_cast<MemberNode*>(d.journal[ref - n].member));
  return out;
}

std::size_t MemberSearchIndex::SnapshotSize() const {
  return m_data->Size();
}
std::size_t MemberSearchIndex::JournalSize() const {
  return m_data->journal.size();
}

std::size_t MemberSearchIndex::MemoryBytes() const {
  const Data& d = *m_data;
  std::size_t bytes =
      d.alphabet.MemoryBytes() + d.members.capacity() * sizeof(MemberNode*) +
      (d.nameStart.capacity() + d.nameIds.capacity() + d.addressOf.capacity() + d.slots.capacity() +
       d.addressStart.capacity() + d.addressIds.capacity() + d.wideOf.capacity()) *
          4 +
      d.wide.capacity() * sizeof(Data::Wide) +
      (d.struck.capacity() + d.signature.capacity() + d.packedName.capacity() +
       d.addressSignature.capacity()) *
          8;
  for (const Data::Entry& e : d.journal) bytes += sizeof e + e.name.capacity() * 4;
  for (const Data::Answer& a : d.typed) bytes += a.query.capacity() * 4 + a.refs.capacity() * 4;
  return bytes;
}
