// What the reader and the writer of the .ftf file agree on: the words that
// mark the end and the missing father, and the sizes they work in.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace ftf {

// The line every file ends with; a reader stops at a record named "end".
inline constexpr std::string_view kEndLine = "end 1999 12 2 1 end 1 end";
inline constexpr std::u16string_view kEnd = u"end";
// The root's father field.
inline constexpr std::u16string_view kNoFather = u"-1";
// Decoded text comes in pieces of this size, progress is told this often,
// the writer hands its bytes on in pieces of about this size.
inline constexpr std::size_t kPiece = 1 << 20;
// A word of 127 code units takes at most 508 bytes; a longer one is refused
// without being gathered whole, however long it is.
inline constexpr std::size_t kMaxWordBytes = 4096;

inline std::size_t CountLines(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace ftf
