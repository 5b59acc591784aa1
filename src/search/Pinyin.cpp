#include "search/Pinyin.h"

#include <algorithm>
#include <iterator>

namespace {
#include "search/PinyinTable.inc"
}  // namespace

std::span<const std::uint16_t> PinyinReadings(char32_t c) {
  const auto* end = std::end(kCodePoints);
  const auto* it = std::lower_bound(std::begin(kCodePoints), end, static_cast<std::uint32_t>(c));
  if (it == end || *it != c) return {};
  const auto i = static_cast<std::size_t>(it - std::begin(kCodePoints));
  return {kReadings + kFirstReading[i], kReadings + kFirstReading[i + 1]};
}

std::string_view PinyinSyllable(std::uint16_t syllable) {
  return syllable < std::size(kSyllables) ? kSyllables[syllable] : std::string_view();
}
