#include "model/NameIndex.h"

#include <cstdint>

#include "model/COperationClanbook.h"

std::uint32_t NameIndex::Hash(std::u16string_view name) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (char16_t c : name) h = (h ^ static_cast<std::uint64_t>(c)) * 0x100000001b3ull;
  // FNV leaves the low bits weak; the slot is taken from them.
  h ^= h >> 32;
  h *= 0xd6e8feb86659fd93ull;
  h ^= h >> 32;
  return static_cast<std::uint32_t>(h);
}

void NameIndex::Clear() {
  m_slots = ZeroedArray<Entry>();
  m_size = 0;
}

NameIndex::Entry* NameIndex::Find(std::u16string_view name) {
  return Find(name, Hash(name));
}

NameIndex::Entry* NameIndex::Find(std::u16string_view name, std::uint32_t hash) {
  if (m_slots.empty()) return nullptr;
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    Entry& e = m_slots[i];
    if (!e.representative) return nullptr;
    if (e.hash == hash && e.representative->name == name) return &e;
  }
}

void NameIndex::Grow() {
  ZeroedArray<Entry> old(m_slots.empty() ? 16 : m_slots.size() * 2);
  old.swap(m_slots);
  const std::size_t mask = m_slots.size() - 1;
  for (const Entry& e : old) {
    if (!e.representative) continue;
    std::size_t i = e.hash & mask;
    while (m_slots[i].representative) i = (i + 1) & mask;
    m_slots[i] = e;
  }
}

NameIndex::Entry* NameIndex::Insert(MemberNode* member, std::uint32_t hash) {
  // Keep the load at three quarters at most, so that probes stay short.
  if ((m_size + 1) * 4 > m_slots.size() * 3) Grow();
  const std::size_t mask = m_slots.size() - 1;
  std::size_t i = hash & mask;
  while (m_slots[i].representative) i = (i + 1) & mask;
  m_slots[i] = Entry{member, hash, 0, 1};
  ++m_size;
  return &m_slots[i];
}

std::u16string_view NameIndex::NameOf(const MemberNode* member) {
  return member->name;
}

void NameIndex::Add(MemberNode* member, bool first) {
  Add(member, first, Hash(member->name));
}

void NameIndex::Add(MemberNode* member, bool first, std::uint32_t hash) {
  Entry* e = Find(member->name, hash);
  if (!e) {
    e = Insert(member, hash);
    e->count = 1;
    e->first = true;
    return;
  }
  ++e->count;
  if (first) {
    e->representative = member;
    e->first = true;
  } else {
    // Where the newcomer stands in pre-order against the representative is not
    // known here; the next search from the root finds out.
    e->first = false;
  }
}

void NameIndex::Reserve(std::size_t names) {
  std::size_t capacity = m_slots.empty() ? 16 : m_slots.size();
  while (capacity * 3 < (names + 1) * 4) capacity *= 2;
  if (m_size == 0) {
    m_slots = ZeroedArray<Entry>(capacity);
    return;
  }
  while (m_slots.size() < capacity) Grow();
}

NameIndex::Entry* NameIndex::AddNew(MemberNode* member, std::uint32_t hash) {
  Entry* e = Insert(member, hash);
  e->count = 1;
  return e;
}

void NameIndex::AddBearers(MemberNode* member, std::uint32_t count) {
  Entry* e = Insert(member, Hash(member->name));
  e->count = count;
  e->first = true;
}

void NameIndex::EraseSlot(std::size_t slot) {
  // Backward-shift deletion keeps every probe sequence unbroken without
  // tombstones.
  const std::size_t mask = m_slots.size() - 1;
  std::size_t hole = slot;
  for (std::size_t i = (slot + 1) & mask; m_slots[i].representative; i = (i + 1) & mask) {
    const std::size_t home = m_slots[i].hash & mask;
    // Move the entry into the hole unless its home lies cyclically in (hole, i].
    const bool homeAfterHole = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
    if (!homeAfterHole) {
      m_slots[hole] = m_slots[i];
      hole = i;
    }
  }
  m_slots[hole] = Entry{};
  --m_size;
}

std::uint32_t NameIndex::Remove(const MemberNode* member) {
  return Remove(member, Hash(member->name));
}

std::uint32_t NameIndex::Remove(const MemberNode* member, std::uint32_t hash) {
  Entry* e = Find(member->name, hash);
  if (!e) return 0;
  --e->count;
  if (e->count == 0) {
    EraseSlot(static_cast<std::size_t>(e - m_slots.data()));
    return 0;
  }
  if (e->representative == member) {
    const std::uint32_t left = e->count;
    EraseSlot(static_cast<std::size_t>(e - m_slots.data()));
    return left;
  }
  // The representative stays; alone, it is the first bearer.
  if (e->count == 1) e->first = true;
  return 0;
}
