#include "search/QueryText.h"

#include <algorithm>

namespace searchtext {

std::u32string Folded(std::u16string_view text) {
  std::u32string out;
  ForEachCodePoint(text, [&](char32_t c) { out.push_back(Fold(c)); });
  return out;
}

namespace {

bool IsBlank(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\u3000';
}

}  // namespace

// The query as matched: folded, without blanks around it.
std::u32string QueryText(std::u16string_view query) {
  std::u32string q = Folded(query);
  std::size_t begin = 0, end = q.size();
  while (begin < end && IsBlank(q[begin])) ++begin;
  while (end > begin && IsBlank(q[end - 1])) --end;
  return q.substr(begin, end - begin);
}

bool IsPinyinQuery(std::u32string_view q) {
  return !q.empty() && q.size() <= kMaxPinyinLetters &&
         std::all_of(q.begin(), q.end(), [](char32_t c) { return c >= U'a' && c <= U'z'; });
}

// The rule, one character at a time: from `p` on, the query matches the
// characters from `i` on when a reading of character i is met fully or by its
// initial and the rest matches from i + 1, or when the rest of the query is a
// prefix of a reading of character i.
bool PinyinFrom(const std::vector<std::span<const std::uint16_t>>& readings, std::size_t i,
                std::u32string_view q, std::size_t p) {
  if (i == readings.size()) return false;
  for (std::uint16_t r : readings[i]) {
    const std::string_view s = PinyinSyllable(r);
    const std::size_t common = CommonPrefix(q, p, s);
    if (common == 0) continue;
    if (p + common == q.size()) return true;
    if (common == s.size() && PinyinFrom(readings, i + 1, q, p + common)) return true;
    if (PinyinFrom(readings, i + 1, q, p + 1)) return true;
    if (common >= 2 && HasDoubleInitial(s) && PinyinFrom(readings, i + 1, q, p + 2)) return true;
  }
  return false;
}

}  // namespace searchtext
