// The genealogy file read as a stream of words: white space (blank, tab, line
// feed, carriage return, vertical tab, form feed) only separates words. The
// text is UTF-8 (TextCodec brings every accepted encoding to it first).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class FtfReader {
public:
  // Error() of a reader that checks its text when the text turns out to be no
  // UTF-8: the caller decodes the file otherwise.
  static constexpr int kNotUtf8 = 100;

  // `checkUtf8`: the text comes straight from a file without byte-order mark
  // or with the UTF-8 one, and each word is checked as it is read, which spares
  // a separate pass over the whole file.
  FtfReader(std::string_view text, bool checkUtf8) : m_text(text), m_checkUtf8(checkUtf8) {}

  // One word of at most kMaxTextLength UTF-16 code units into `out`.
  bool ReadText(std::u16string& out);
  // One word that is entirely a signed decimal number within 32 bits: an
  // optional sign and at least one digit, nothing else.
  bool ReadNumber(std::int32_t& out);

  // kFileOk while every field could be read; otherwise the Load result that the
  // first failure stands for: kFileNoRoot when the text holds no word at all,
  // kFileBadRelation when it ends before a field, kFileBadDate for a word that
  // is not the number or the text the field needs, or kNotUtf8.
  int Error() const { return m_error; }

  // Whether the part not yet read is UTF-8, so that with what was read the
  // whole text has been checked (true for a reader that does not check).
  bool RestIsUtf8() const;

private:
  bool NextWord(std::string_view& word);

  std::string_view m_text;
  bool m_checkUtf8;
  std::size_t m_pos = 0;
  bool m_anyWord = false;
  int m_error = 1;
};
