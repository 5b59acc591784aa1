// The word reader of the .ftf file: white space separates words, and a word
// is checked as UTF-8 and as the field it stands for.
#include "formats/ftf/FtfReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstring>

#include "formats/ftf/FtfLimits.h"
#include "model/COperationClanbook.h"
#include "model/TextCodec.h"

using ftf::CountLines;
using ftf::kMaxWordBytes;
using ftf::kPiece;

namespace {

constexpr auto kSpaces = [] {
  std::array<bool, 256> table{};
  for (unsigned char c : {' ', '\n', '\r', '\t', '\v', '\f'}) table[c] = true;
  return table;
}();

bool IsSpace(char c) {
  return kSpaces[static_cast<unsigned char>(c)];
}

}  // namespace

void FtfReader::Fail(int code, FileProblem problem, std::size_t line) {
  if (m_error != kFileOk) return;
  m_error = code;
  m_problem = problem;
  m_errorLine = line;
}

bool FtfReader::Refill() {
  if (!m_source || m_error != kFileOk) return false;
  std::string next(m_text.substr(m_pos));
  next.reserve(next.size() + 2 * kPiece + 16);
  if (!m_source->Next(next)) {
    // Nothing more: the piece at hand stays as it is.
    if (m_source->Failure() != FileProblem::kNone)
      Fail(kFileCannotOpen, m_source->Failure(), m_line + CountLines(next));
    return false;
  }
  m_buffer.swap(next);
  m_text = m_buffer;
  m_pos = 0;
  return true;
}

void FtfReader::SkipBlanks() {
  const std::size_t n = m_text.size();
  std::size_t pos = m_pos;
  while (pos < n && IsSpace(m_text[pos])) {
    m_line += m_text[pos] == '\n';
    ++pos;
  }
  m_pos = pos;
}

void FtfReader::TookWord(std::size_t end) {
  m_pos = end;
  m_anyWord = true;
  m_wordLine = m_line;
  if (m_recordPending) {
    m_recordLine = m_line;
    m_recordPending = false;
  }
}

bool FtfReader::NextWord(std::string_view& word) {
  for (;;) {
    SkipBlanks();
    const std::size_t n = m_text.size();
    const std::size_t pos = m_pos;
    if (pos == n) {
      if (Refill()) continue;
      if (m_anyWord)
        Fail(kFileBadRelation, FileProblem::kMissingField, m_wordLine);
      else
        Fail(kFileNoRoot, FileProblem::kEmpty, 0);
      return false;
    }
    std::size_t end = pos;
    while (end < n && !IsSpace(m_text[end])) ++end;
    // The word may go on in the next piece.
    if (end == n && m_source && end - pos <= kMaxWordBytes && Refill()) continue;
    if (m_error != kFileOk) return false;
    TookWord(end);
    word = m_text.substr(pos, end - pos);
    return true;
  }
}

bool FtfReader::ReadTextAtHand(std::u16string& out) {
  SkipBlanks();
  const auto* text = reinterpret_cast<const unsigned char*>(m_text.data());
  const std::size_t n = m_text.size();
  std::size_t pos = m_pos;
  char16_t units[kMaxTextLength];
  std::size_t count = 0;
  // ASCII and the three-byte characters that Chinese text is made of.
  while (pos < n && count < kMaxTextLength) {
    const unsigned char c = text[pos];
    if (c < 0x80) {
      if (kSpaces[c]) break;
      units[count++] = c;
      ++pos;
      continue;
    }
    if (c < 0xE0 || c > 0xEF || n - pos < 3) return false;
    const unsigned char b1 = text[pos + 1], b2 = text[pos + 2];
    if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80 || (c == 0xE0 && b1 < 0xA0) ||
        (c == 0xED && b1 >= 0xA0))
      return false;
    units[count++] =
        static_cast<char16_t>(((c & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu));
    pos += 3;
  }
  if (pos == m_pos || pos == n || !kSpaces[text[pos]]) return false;
  TookWord(pos);
  out.assign(units, count);
  return true;
}

bool FtfReader::ReadNumberAtHand(std::int32_t& out) {
  SkipBlanks();
  const char* text = m_text.data();
  const std::size_t n = m_text.size();
  std::size_t pos = m_pos;
  const bool negative = pos < n && text[pos] == '-';
  pos += negative;
  // Nine digits at most: always within 32 bits.
  const std::size_t digitsEnd = std::min(n, pos + 9);
  std::int32_t value = 0;
  const std::size_t first = pos;
  for (; pos < digitsEnd && text[pos] >= '0' && text[pos] <= '9'; ++pos)
    value = value * 10 + (text[pos] - '0');
  if (pos == first || pos == n || !IsSpace(text[pos])) return false;
  TookWord(pos);
  out = negative ? -value : value;
  return true;
}

bool FtfReader::ReadText(std::u16string& out) {
  if (ReadTextAtHand(out)) return true;
  std::string_view word;
  if (!NextWord(word)) return false;
  switch (textcodec::DecodeUtf8(word, out, kMaxTextLength)) {
    case textcodec::Decoded::kText:
      return true;
    case textcodec::Decoded::kTooLong:
      Fail(kFileBadDate, FileProblem::kWordTooLong, m_wordLine);
      return false;
    case textcodec::Decoded::kMalformed:
      // Decoders give well-formed text: only the file's own bytes get here.
      Fail(m_source ? kFileCannotOpen : kNotUtf8, FileProblem::kBadUtf8, m_wordLine);
      return false;
  }
  return false;
}

bool FtfReader::ReadNumber(std::int32_t& out) {
  if (ReadNumberAtHand(out)) return true;
  std::string_view word;
  if (!NextWord(word)) return false;
  const char* p = word.data();
  const char* end = p + word.size();
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  std::int64_t value = 0;
  bool digits = p != end;
  bool inRange = true;
  for (; p != end && digits; ++p) {
    if (*p < '0' || *p > '9') digits = false;
    if (value <= std::int64_t{INT32_MAX} + 1) value = value * 10 + (*p - '0');
  }
  if (negative) value = -value;
  inRange = value >= INT32_MIN && value <= INT32_MAX;
  if (digits && inRange) {
    out = static_cast<std::int32_t>(value);
    return true;
  }
  if (!m_source && !textcodec::IsUtf8(word))
    Fail(kNotUtf8, FileProblem::kBadUtf8, m_wordLine);
  else if (word.find('\0') != std::string_view::npos)
    Fail(kFileCannotOpen, FileProblem::kNotText, m_wordLine);
  else
    Fail(kFileBadDate, digits ? FileProblem::kNumberTooLarge : FileProblem::kNotANumber,
         m_wordLine);
  return false;
}
