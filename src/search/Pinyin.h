// Toneless pinyin readings of Chinese characters, from the table generated at
// build time out of Debian's go-pinyin data (see docs/search.md).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The readings of `c` as syllable numbers, most common first; empty for a
// character without a reading (Latin letters, digits, punctuation).
std::span<const std::uint16_t> PinyinReadings(char32_t c);

// A syllable in lower-case letters without tone, ü written as v or as u.
std::string_view PinyinSyllable(std::uint16_t syllable);
