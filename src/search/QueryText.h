// The text of a search: folding, the query as matched, pinyin, and the
// numbering of characters the index scans by. Shared by the plain match
// (MemberMatchesQuery) and the index (MemberSearch.cpp); what a scan calls for
// every member stays inline here.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "search/Pinyin.h"

namespace searchtext {

constexpr std::uint32_t kNone = 0xFFFFFFFF;
// Longest query matched as pinyin: its states must fit one 64-bit mask.
constexpr std::size_t kMaxPinyinLetters = 63;

inline char32_t Fold(char32_t c) {
  return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

template <class Sink>
void ForEachCodePoint(std::u16string_view text, Sink&& sink) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    sink(c);
  }
}

// The text folded to lower case, one code point a unit.
std::u32string Folded(std::u16string_view text);

// The query as matched: folded, without blanks around it.
std::u32string QueryText(std::u16string_view query);

bool IsPinyinQuery(std::u32string_view q);

// Letters that `syllable` shares with the query from `p` on.
inline std::size_t CommonPrefix(std::u32string_view q, std::size_t p, std::string_view syllable) {
  std::size_t n = 0;
  while (p + n < q.size() && n < syllable.size() && q[p + n] == static_cast<char32_t>(syllable[n]))
    ++n;
  return n;
}

// zh, ch and sh count as one initial, as pinyin keyboards take them.
inline bool HasDoubleInitial(std::string_view syllable) {
  return syllable.size() >= 2 && syllable[1] == 'h' &&
         (syllable[0] == 'z' || syllable[0] == 'c' || syllable[0] == 's');
}

// The rule, one character at a time: from `p` on, the query matches the
// characters from `i` on when a reading of character i is met fully or by its
// initial and the rest matches from i + 1, or when the rest of the query is a
// prefix of a reading of character i.
bool PinyinFrom(const std::vector<std::span<const std::uint16_t>>& readings, std::size_t i,
                std::u32string_view q, std::size_t p);

inline std::uint64_t LetterBit(char letter) {
  return std::uint64_t{1} << (letter - 'a');
}
constexpr std::uint64_t kLetterBits = (std::uint64_t{1} << 26) - 1;

// Text as numbers of its (folded) characters, so that a query can be turned
// into one table indexed by character.
class Alphabet {
public:
  Alphabet() : m_basic(0x10000, kNone) {}

  std::uint32_t Id(char32_t c) {
    std::uint32_t& id = c < 0x10000 ? m_basic[c] : m_other.try_emplace(c, kNone).first->second;
    if (id == kNone) {
      id = static_cast<std::uint32_t>(m_chars.size());
      m_chars.push_back(c);
      m_readings.push_back(PinyinReadings(c));
      std::uint64_t initials = 0;
      for (std::uint16_t r : m_readings.back()) initials |= LetterBit(PinyinSyllable(r)[0]);
      m_initials.push_back(initials);
    }
    return id;
  }
  std::uint32_t Find(char32_t c) const {
    if (c < 0x10000) return m_basic[c];
    const auto it = m_other.find(c);
    return it == m_other.end() ? kNone : it->second;
  }
  std::size_t Size() const { return m_chars.size(); }
  std::span<const std::uint16_t> Readings(std::uint32_t id) const { return m_readings[id]; }
  // The bit a character sets in a signature: its own letter for a-z, else
  // one of the upper bits chosen by its number.
  std::uint64_t Bit(std::uint32_t id) const {
    const char32_t c = m_chars[id];
    return c >= U'a' && c <= U'z' ? LetterBit(static_cast<char>(c))
                                  : std::uint64_t{1} << (26 + id % 38);
  }
  // The letters its readings begin with.
  std::uint64_t Initials(std::uint32_t id) const { return m_initials[id]; }
  std::size_t MemoryBytes() const {
    return m_basic.capacity() * 4 + m_other.size() * 32 + m_chars.capacity() * 4 +
           m_readings.capacity() * sizeof(m_readings[0]);
  }

private:
  std::vector<std::uint32_t> m_basic;
  std::unordered_map<char32_t, std::uint32_t> m_other;
  std::vector<char32_t> m_chars;
  std::vector<std::span<const std::uint16_t>> m_readings;
  std::vector<std::uint64_t> m_initials;
};

inline  // Names are a few characters long: a plain loop beats std::search here, which
        // took twice as long over two million names.
    bool
    ContainsRun(std::span<const std::uint32_t> text, std::span<const std::uint32_t> run) {
  if (run.size() > text.size()) return false;
  const std::uint32_t first = run[0];
  const std::size_t last = text.size() - run.size();
  for (std::size_t i = 0; i <= last; ++i) {
    if (text[i] != first) continue;
    std::size_t k = 1;
    while (k < run.size() && text[i + k] == run[k]) ++k;
    if (k == run.size()) return true;
  }
  return false;
}

}  // namespace searchtext
