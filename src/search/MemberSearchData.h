// The find-as-you-type index's own data, shared by the code that keeps it in
// step with the book (MemberSearch.cpp) and the code that answers queries
// from it (MemberSearchScan.cpp). Internal to the search layer.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/COperationClanbook.h"
#include "model/MemberRecord.h"
#include "search/MemberSearch.h"
#include "search/Pinyin.h"
#include "search/QueryText.h"

namespace searchindex {

// Between the texts a member is found by besides his name: no query holds it,
// so no match runs from one into the next.
inline constexpr char16_t kBetween = u'\x1f';

// What a member is found by besides his name: his address, then the 字, 号 and
// 行传 of his record, the words relatives remember him by. Most members have
// no record, and their address is handed back without a copy.
inline std::u16string_view OtherText(const MemberNode& member, std::u16string& scratch) {
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

}  // namespace searchindex

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

  searchtext::Alphabet alphabet;
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
      if (value == 0) return searchtext::kNone;
      if (members[value - 1] == member) return Struck(value - 1) ? searchtext::kNone : value - 1;
    }
  }
  void MakeSlots();
  std::size_t JournalIndex(const MemberNode* member) const {
    for (std::size_t i = 0; i < journal.size(); ++i)
      if (journal[i].member == member) return i;
    return searchtext::kNone;
  }
  bool Known(const MemberNode* member) {
    return Position(member) != searchtext::kNone || JournalIndex(member) != searchtext::kNone;
  }
  // Beyond this many entries a new snapshot is cheaper than the journal.
  std::size_t JournalLimit() const { return std::max<std::size_t>(4096, Size() / 64); }

  void AppendName(std::u16string_view name, std::vector<std::uint32_t>& out) {
    searchtext::ForEachCodePoint(
        name, [&](char32_t c) { out.push_back(alphabet.Id(searchtext::Fold(c))); });
  }
  std::span<const std::uint32_t> AddressText(std::uint32_t number) const {
    return {addressIds.data() + addressStart[number], addressIds.data() + addressStart[number + 1]};
  }
  std::uint32_t AddressNumber(std::u16string_view address) {
    if (address.empty()) return 0;
    const auto number = static_cast<std::uint32_t>(addressStart.size() - 1);
    std::uint64_t bits = 0;
    searchtext::ForEachCodePoint(address, [&](char32_t c) {
      addressIds.push_back(alphabet.Id(searchtext::Fold(c)));
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
    Entry entry{member, anchor, {}, AddressNumber(searchindex::OtherText(*member, scratch))};
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
