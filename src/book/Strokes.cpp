// The name index's order: pinyin first, as a reader looks a name up, then the
// strokes, as a dictionary orders characters that sound alike.
#include "book/LifeRecord.h"
#include "search/Pinyin.h"

#include <QStringView>

#include <cstdint>
#include <string_view>
#include <vector>

namespace book {

namespace {

struct StrokeBlock {
  char32_t first;
  char32_t last;
  const char* counts;  // a character a code point: the count plus 0x23
};

const StrokeBlock kStrokeBlocks[] = {
#include "book/StrokesTable.inc"
};

constexpr int kStrokeOffset = 0x23;

// The characters that count in a name: the joiners the book puts between a
// name's characters are not part of it.
std::vector<char32_t> CodePoints(QStringView text) {
  std::vector<char32_t> out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (const char32_t c : text.toUcs4())
    if (c != kNameJoiner) out.push_back(c);
  return out;
}

// A character's key for the first comparison: its most common reading, or,
// without one, the character itself in lower case (Latin letters and digits
// in the order of the alphabet). A Han character the pinyin table lacks goes
// after every reading, so that rare characters gather at the end of a letter's
// names instead of before them.
std::string SoundKey(char32_t c) {
  const std::span<const std::uint16_t> readings = PinyinReadings(c);
  if (!readings.empty()) return std::string(PinyinSyllable(readings.front()));
  if (c < 0x80) {
    const char lower =
        (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
    return std::string(1, lower);
  }
  return std::string(1, '\x7f');
}

}  // namespace

int StrokeCount(char32_t c) {
  for (const StrokeBlock& block : kStrokeBlocks)
    if (c >= block.first && c <= block.last) {
      const int value = static_cast<unsigned char>(block.counts[c - block.first]) - kStrokeOffset;
      return value > 0 ? value : 0;
    }
  return 0;
}

int NameStrokes(const QString& name) {
  int total = 0;
  for (const char32_t c : CodePoints(name)) total += StrokeCount(c);
  return total;
}

// Syllable by syllable over the whole name first (张三 and 章山 sound alike
// to the end), then the strokes character by character, then the code points,
// so that the order is total and two names are equal only when they are.
bool IndexBefore(const QString& a, const QString& b) {
  const std::vector<char32_t> left = CodePoints(a);
  const std::vector<char32_t> right = CodePoints(b);
  const std::size_t common = std::min(left.size(), right.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (left[i] == right[i]) continue;
    const std::string x = SoundKey(left[i]);
    const std::string y = SoundKey(right[i]);
    if (x != y) return x < y;
  }
  if (left.size() != right.size()) {
    // One sounds like the start of the other: the shorter first.
    return left.size() < right.size();
  }
  for (std::size_t i = 0; i < common; ++i) {
    const int x = StrokeCount(left[i]);
    const int y = StrokeCount(right[i]);
    if (x != y) return x < y;
  }
  return left < right;
}

}  // namespace book
