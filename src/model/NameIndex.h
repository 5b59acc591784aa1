// Index of the names in a genealogy, so that the search from the root (which
// every command and the loader run with a typed name) takes constant time.
//
// The search from the root returns the first member in pre-order that bears
// the name. For each name the index keeps how many members bear it and one of
// them, the representative; when the representative is known to be the first
// in pre-order (always when only one member bears the name) the search is
// answered at once, otherwise the caller walks the tree and tells the index
// what it found. A slot takes 16 bytes, so two million names cost 64 MB at most.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/ZeroedArray.h"

struct MemberNode;

class NameIndex {
public:
  struct Entry {
    MemberNode* representative = nullptr;  // none: the slot is free
    std::uint32_t hash = 0;
    std::uint32_t count : 31 = 0;  // members that bear the name
    std::uint32_t first : 1 = 0;   // representative is the first in pre-order
  };

  static std::uint32_t Hash(std::u16string_view name);
  static std::u16string_view NameOf(const MemberNode* member);

  void Clear();
  bool Empty() const { return m_size == 0; }
  std::size_t Size() const { return m_size; }

  // The entry of `name`, or none.
  Entry* Find(std::u16string_view name);
  Entry* Find(std::u16string_view name, std::uint32_t hash);

  // One more member bears its name. `first`: the member is known to come before
  // every other bearer in pre-order (a new root).
  void Add(MemberNode* member, bool first);
  void Add(MemberNode* member, bool first, std::uint32_t hash);
  // Adds an entry for `count` bearers of the member's name, the member being the
  // first of them in pre-order. The name must not be in the index.
  void AddBearers(MemberNode* member, std::uint32_t count);
  // Starts fetching the slot of a name with that hash into the cache.
  void Prefetch(std::uint32_t hash) const {
    if (!m_slots.empty()) __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]);
  }
  // Room for `names` names without growing.
  void Reserve(std::size_t names);
  // A new entry for a name not in the index, borne by `member` alone.
  Entry* AddNew(MemberNode* member, std::uint32_t hash);
  // One member fewer bears the member's name (the member must be indexed under
  // its present name). Returns the number of bearers left without a
  // representative: then the entry is gone and the caller must find the first
  // remaining bearer in the tree and give it back with AddBearers.
  std::uint32_t Remove(const MemberNode* member);
  std::uint32_t Remove(const MemberNode* member, std::uint32_t hash);

  // Calls step(member, hash) for each of `members` in order. A subtree's
  // members are scattered over the table: the slots of the names a few steps
  // ahead, and then the members they hold, are fetched into the cache
  // meanwhile, so that the misses overlap instead of coming one by one.
  template <class Step>
  void ForEachAhead(const std::vector<MemberNode*>& members, Step&& step) const;

private:
  void Grow();
  void EraseSlot(std::size_t slot);
  Entry* Insert(MemberNode* member, std::uint32_t hash);

  ZeroedArray<Entry> m_slots;
  std::size_t m_size = 0;
};

template <class Step>
void NameIndex::ForEachAhead(const std::vector<MemberNode*>& members, Step&& step) const {
  constexpr std::size_t kSlotAhead = 16, kMemberAhead = 8;
  const std::size_t n = members.size();
  std::vector<std::uint32_t> hashes(n);
  for (std::size_t i = 0; i < n; ++i) hashes[i] = Hash(NameOf(members[i]));
  const std::size_t mask = m_slots.empty() ? 0 : m_slots.size() - 1;
  for (std::size_t i = 0; i < n; ++i) {
    if (!m_slots.empty()) {
      if (i + kSlotAhead < n) __builtin_prefetch(&m_slots[hashes[i + kSlotAhead] & mask]);
      if (i + kMemberAhead < n)
        if (const MemberNode* held = m_slots[hashes[i + kMemberAhead] & mask].representative)
          __builtin_prefetch(held);
    }
    step(members[i], hashes[i]);
  }
}
