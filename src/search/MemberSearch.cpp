#include "search/MemberSearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <span>
#include <unordered_map>
#include <unordered_set>

#include "search/Pinyin.h"
#include "search/QueryText.h"

namespace {

using namespace searchtext;

// Between the texts a member is found by besides his name: no query holds it,
// so no match runs from one into the next.
constexpr char16_t kBetween = u'\x1f';

// What a member is found by besides his name: his address, then the 字, 号 and
// 行传 of his record, the words relatives remember him by. Most members have
// no record, and their address is handed back without a copy.
std::u16string_view OtherText(const MemberNode& member, std::u16string& scratch) {
  if (!member.extra.HasRecord()) return member.address;
  const MemberRecord& r = member.extra.Record();
  if (r.courtesyName.empty() && r.artName.empty() && r.biography.empty()) return member.address;
  scratch = member.address;
  for (const std::u16string* field : {&r.courtesyName, &r.artName, &r.biography}) {
    scratch += kBetween;
    scratch += *field;
  }
  return scratch;
}

}  // namespace

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

struct MemberSearchIndex::Data {
  // A member added or changed since the snapshot. It stands after every
  // snapshot member before position `anchor` and before all the others;
  // entries with the same anchor are kept in pre-order among themselves.
  struct Entry {
    const MemberNode* member = nullptr;
    std::uint32_t anchor = 0;
    std::vector<std::uint32_t> name;
    std::uint32_t address = 0;
  };

  // A query made ready for one pass: its characters as alphabet numbers, and
  // for pinyin the moves of an automaton whose state is how many letters are
  // matched so far, per character and state.
  struct Query {
    std::u32string text;
    std::vector<std::uint32_t> ids;  // empty: some character occurs nowhere
    std::size_t letters = 0;         // pinyin letters; 0: no pinyin match
    std::vector<std::uint64_t> moves;
    // Per distinct address, a bit each: matched yet, and matches. Bits rather
    // than bytes keep them in the cache while the members are scanned.
    std::vector<std::uint64_t> addressKnown, addressMatch;
    // Bits a snapshot member's signature must hold to be worth matching; with
    // `decided` (a single letter) holding them is a match.
    std::uint64_t need = 0;
    std::array<std::uint64_t, 4> wideNeed{};  // the same for long texts (Data::wide)
    bool decided = false;
    bool hopeless = false;  // nothing can match
  };

  struct Answer {
    std::u32string query;
    std::vector<std::uint32_t> refs;  // snapshot positions, or size + journal index
  };

  Alphabet alphabet;
  std::vector<MemberNode*> members;  // the snapshot, in pre-order
  std::vector<std::uint32_t> nameStart{0};
  std::vector<std::uint32_t> nameIds;
  std::vector<std::uint32_t> addressOf;  // 0: no address
  // Per snapshot member: the bits of the characters of his name, the
  // initials of their readings and the letters of his address; per address
  // the bits of its characters. Most members fail a query on these bits
  // alone, and a single letter is decided by them without another look.
  std::vector<std::uint64_t> signature;
  // Names of up to three characters (most Chinese names) packed in one word
  // per member, 21 bits for each character's number plus one; 0 for longer
  // names. The scan then reads members in order and only jumps into nameIds
  // for long names: those jumps were a third of a single character's query.
  static constexpr std::uint64_t kField = (std::uint64_t{1} << 21) - 1;
  std::vector<std::uint64_t> packedName;
  std::vector<std::uint64_t> addressSignature{0};
  std::vector<std::uint64_t> struck;  // a bit per snapshot position
  // Member -> position + 1, open addressing. Only edits need it, so it is
  // made at the first edit rather than when the book is opened: placing two
  // million members at random in it took a third of the whole build.
  std::vector<std::uint32_t> slots;
  // Addresses, numbered from 1, each matched once per query. A member who
  // lives where the member before him in pre-order lives (a son in his
  // father's house, brothers side by side) shares that number. Sharing every
  // equal address through a hash table took half the build in cache misses
  // on two million members, for a smaller gain per query.
  std::vector<std::uint32_t> addressStart{0, 0};
  std::vector<std::uint32_t> addressIds;
  // A text of many characters (a 行传) sets nearly every bit of its
  // signature, whose 38 bits for all that is no letter cannot tell a
  // character it lacks. Such a text gets 256 more bits, one per character
  // number hashed: a one-character query then reads about a third of them
  // rather than all. Per address number, its place in `wide` (0: none).
  static constexpr std::size_t kWideFrom = 32;
  using Wide = std::array<std::uint64_t, 4>;
  std::vector<std::uint32_t> wideOf{0};
  std::vector<Wide> wide{Wide{}};
  static void SetWide(Wide& bits, std::uint32_t id) {
    const std::uint32_t bit = (id * 0x9E3779B1u) >> 24;
    bits[bit >> 6] |= std::uint64_t{1} << (bit & 63);
  }
  // Whether the address may hold every character of the query.
  bool MayHold(std::uint32_t number, const Query& q) const {
    const std::uint32_t at = wideOf[number];
    if (at == 0) return true;
    for (std::size_t k = 0; k < 4; ++k)
      if ((wide[at][k] & q.wideNeed[k]) != q.wideNeed[k]) return false;
    return true;
  }
  std::vector<Entry> journal;
  bool stale = true;
  std::vector<Answer> typed;  // answers to the prefixes of the last query

  std::size_t Size() const { return members.size(); }
  bool Struck(std::size_t pos) const { return (struck[pos >> 6] >> (pos & 63)) & 1; }
  void Strike(std::size_t pos) { struck[pos >> 6] |= std::uint64_t{1} << (pos & 63); }

  std::size_t Slot(const MemberNode* member) const {
    const auto bits = static_cast<unsigned>(std::countr_zero(slots.size()));
    return static_cast<std::size_t>(
        (reinterpret_cast<std::uintptr_t>(member) >> 4) * 0x9E3779B97F4A7C15ULL >> (64 - bits));
  }
  // The member's snapshot position while he is in it and not struck out.
  std::uint32_t Position(const MemberNode* member) {
    if (slots.empty()) MakeSlots();
    const std::size_t mask = slots.size() - 1;
    for (std::size_t s = Slot(member);; s = (s + 1) & mask) {
      const std::uint32_t value = slots[s];
      if (value == 0) return kNone;
      if (members[value - 1] == member) return Struck(value - 1) ? kNone : value - 1;
    }
  }
  void MakeSlots();
  std::size_t JournalIndex(const MemberNode* member) const {
    for (std::size_t i = 0; i < journal.size(); ++i)
      if (journal[i].member == member) return i;
    return kNone;
  }
  bool Known(const MemberNode* member) {
    return Position(member) != kNone || JournalIndex(member) != kNone;
  }
  // Beyond this many entries a new snapshot is cheaper than the journal.
  std::size_t JournalLimit() const { return std::max<std::size_t>(4096, Size() / 64); }

  void AppendName(std::u16string_view name, std::vector<std::uint32_t>& out) {
    ForEachCodePoint(name, [&](char32_t c) { out.push_back(alphabet.Id(Fold(c))); });
  }
  std::span<const std::uint32_t> AddressText(std::uint32_t number) const {
    return {addressIds.data() + addressStart[number], addressIds.data() + addressStart[number + 1]};
  }
  std::uint32_t AddressNumber(std::u16string_view address) {
    if (address.empty()) return 0;
    const auto number = static_cast<std::uint32_t>(addressStart.size() - 1);
    std::uint64_t bits = 0;
    ForEachCodePoint(address, [&](char32_t c) {
      addressIds.push_back(alphabet.Id(Fold(c)));
      bits |= alphabet.Bit(addressIds.back());
    });
    const std::uint32_t start = addressStart.back();
    addressStart.push_back(static_cast<std::uint32_t>(addressIds.size()));
    addressSignature.push_back(bits);
    if (addressIds.size() - start >= kWideFrom) {
      Wide bitsWide{};
      for (std::size_t i = start; i < addressIds.size(); ++i) SetWide(bitsWide, addressIds[i]);
      wideOf.push_back(static_cast<std::uint32_t>(wide.size()));
      wide.push_back(bitsWide);
    } else {
      wideOf.push_back(0);
    }
    return number;
  }
  Entry MakeEntry(const MemberNode* member, std::uint32_t anchor) {
    std::u16string scratch;
    Entry entry{member, anchor, {}, AddressNumber(OtherText(*member, scratch))};
    AppendName(member->name, entry.name);
    return entry;
  }
  std::size_t FirstWithAnchor(std::uint32_t anchor) const {
    return static_cast<std::size_t>(
        std::partition_point(journal.begin(), journal.end(),
                             [&](const Entry& e) { return e.anchor < anchor; }) -
        journal.begin());
  }

  void Build(const COperationClanbook& book);
  void Add(const COperationClanbook& book, const MemberNode* member);
  void Remove(const MemberNode* member);
  void Change(const MemberNode* member);

  Query Compile(std::u32string text) const;
  bool AddressMatches(std::uint32_t address, Query& q) const;
  bool NameMatches(std::span<const std::uint32_t> name, const Query& q) const;
  bool Matches(std::uint32_t ref, Query& q) const;
  bool SnapshotNameMatches(std::uint32_t pos, const Query& q) const {
    std::uint64_t packed = packedName[pos];
    if (packed == 0)
      return NameMatches({nameIds.data() + nameStart[pos], nameIds.data() + nameStart[pos + 1]}, q);
    std::uint32_t ids[3];
    std::size_t count = 0;
    for (; packed; packed >>= 21) ids[count++] = static_cast<std::uint32_t>(packed & kField) - 1;
    return NameMatches({ids, count}, q);
  }
  std::vector<std::uint32_t> Scan(Query& q) const;
};

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

MemberSearchIndex::Data::Query MemberSearchIndex::Data::Compile(std::u32string text) const {
  Query q;
  q.text = std::move(text);
  for (char32_t c : q.text) {
    const std::uint32_t id = alphabet.Find(c);
    if (id == kNone) {
      q.ids.clear();
      break;
    }
    q.ids.push_back(id);
  }
  q.addressKnown.assign(addressStart.size() / 64 + 1, 0);
  q.addressMatch.assign(q.addressKnown.size(), 0);
  for (std::uint32_t id : q.ids) {
    q.need |= alphabet.Bit(id);
    SetWide(q.wideNeed, id);
  }
  if (!IsPinyinQuery(q.text)) {
    q.hopeless = q.ids.empty();
    return q;
  }
  // A pinyin match begins with the initial of a syllable, a match of Latin
  // text with the same letter.
  q.need = LetterBit(static_cast<char>(q.text[0]));
  q.decided = q.text.size() == 1;
  const std::size_t m = q.letters = q.text.size();
  q.moves.assign(alphabet.Size() * m, 0);
  const std::uint64_t done = std::uint64_t{1} << m;
  for (std::uint32_t id = 0; id < alphabet.Size(); ++id) {
    for (std::uint16_t r : alphabet.Readings(id)) {
      const std::string_view s = PinyinSyllable(r);
      for (std::size_t p = 0; p < m; ++p) {
        const std::size_t common = CommonPrefix(q.text, p, s);
        if (common == 0) continue;
        std::uint64_t& move = q.moves[id * m + p];
        if (p + common == m) move |= done;
        if (common == s.size()) move |= std::uint64_t{1} << (p + common);
        move |= std::uint64_t{1} << (p + 1);
        if (common >= 2 && HasDoubleInitial(s)) move |= std::uint64_t{1} << (p + 2);
      }
    }
  }
  return q;
}

bool MemberSearchIndex::Data::AddressMatches(std::uint32_t address, Query& q) const {
  if (address == 0 || q.ids.empty()) return false;
  const std::uint64_t bit = std::uint64_t{1} << (address & 63);
  std::uint64_t& known = q.addressKnown[address >> 6];
  std::uint64_t& match = q.addressMatch[address >> 6];
  if (!(known & bit)) {
    known |= bit;
    if ((addressSignature[address] & q.need) == q.need && MayHold(address, q) &&
        ContainsRun(AddressText(address), q.ids))
      match |= bit;
  }
  return match & bit;
}

bool MemberSearchIndex::Data::NameMatches(std::span<const std::uint32_t> name,
                                          const Query& q) const {
  if (!q.ids.empty() && ContainsRun(name, q.ids)) return true;
  if (q.letters == 0) return false;
  // States are the numbers of letters matched so far; each character may also
  // start a new run, and the full count means a match.
  const std::size_t m = q.letters;
  const std::uint64_t done = std::uint64_t{1} << m;
  std::uint64_t active = 0;
  for (std::uint32_t id : name) {
    const std::uint64_t* move = q.moves.data() + static_cast<std::size_t>(id) * m;
    std::uint64_t next = move[0];
    for (std::uint64_t a = active; a; a &= a - 1) next |= move[std::countr_zero(a)];
    if (next & done) return true;
    active = next;
  }
  return false;
}

bool MemberSearchIndex::Data::Matches(std::uint32_t ref, Query& q) const {
  if (ref < Size()) {
    if (q.decided) return (signature[ref] & q.need) == q.need;
    if (AddressMatches(addressOf[ref], q)) return true;
    return (signature[ref] & q.need) == q.need && SnapshotNameMatches(ref, q);
  }
  const Entry& entry = journal[ref - Size()];
  return AddressMatches(entry.address, q) || NameMatches(entry.name, q);
}

std::vector<std::uint32_t> MemberSearchIndex::Data::Scan(Query& q) const {
  // Every address is met, so all are matched at once, in order.
  if (!q.ids.empty())
    for (std::uint32_t number = 1; number < addressStart.size() - 1; ++number)
      if ((addressSignature[number] & q.need) == q.need && MayHold(number, q) &&
          ContainsRun(AddressText(number), q.ids))
        q.addressMatch[number >> 6] |= std::uint64_t{1} << (number & 63);
  std::fill(q.addressKnown.begin(), q.addressKnown.end(), ~std::uint64_t{0});
  std::vector<std::uint32_t> refs;
  if (q.hopeless) return refs;
  const auto n = static_cast<std::uint32_t>(Size());
  std::size_t j = 0;
  const auto journalUpTo = [&](std::uint32_t pos) {
    for (; j < journal.size() && journal[j].anchor <= pos; ++j) {
      const auto ref = static_cast<std::uint32_t>(n + j);
      if (Matches(ref, q)) refs.push_back(ref);
    }
  };
  // Matches() spelt out for the snapshot, with every address already
  // decided: most members are passed over without a call.
  const std::uint64_t need = q.need;
  for (std::uint32_t pos = 0; pos < n; ++pos) {
    if (j < journal.size()) journalUpTo(pos);
    if (Struck(pos)) continue;
    const bool hasBits = (signature[pos] & need) == need;
    if (q.decided) {
      if (hasBits) refs.push_back(pos);
      continue;
    }
    const std::uint32_t address = addressOf[pos];
    if ((q.addressMatch[address >> 6] >> (address & 63)) & 1) {
      refs.push_back(pos);
    } else if (hasBits && SnapshotNameMatches(pos, q)) {
      refs.push_back(pos);
    }
  }
  journalUpTo(n);
  return refs;
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
