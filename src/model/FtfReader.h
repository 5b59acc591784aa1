// The genealogy file read as a stream of words: white space (blank, tab, line
// feed, carriage return, vertical tab, form feed) only separates words. The
// text is UTF-8 (TextCodec brings every accepted encoding to it first).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class FtfReader {
public:
  explicit FtfReader(std::string_view text) : m_text(text) {}

  // One word of at most kMaxTextLength UTF-16 code units into `out`.
  bool ReadText(std::u16string& out);
  // One word that is entirely a signed decimal number within 32 bits: an
  // optional sign and at least one digit, nothing else.
  bool ReadNumber(std::int32_t& out);

  // kFileOk while every field could be read; otherwise the Load result that the
  // first failure stands for: kFileNoRoot when the text holds no word at all,
  // kFileBadRelation when it ends before a field, kFileBadDate for a word that
  // is not the number or the text the field needs.
  int Error() const { return m_error; }

private:
  bool NextWord(std::string_view& word);

  std::string_view m_text;
  std::size_t m_pos = 0;
  bool m_anyWord = false;
  int m_error = 1;
};
