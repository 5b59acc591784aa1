// The genealogy file read as a stream of words: white space (blank, tab, line
// feed, carriage return, vertical tab, form feed) only separates words. The
// reader sees UTF-8: either the file's own bytes, checked word by word, or
// the pieces a decoder makes of a file in another encoding, so that such a
// file is never held decoded as a whole next to its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/FileStatus.h"

// Gives the reader the next piece of decoded text.
class FtfSource {
public:
  virtual ~FtfSource() = default;
  // Appends the next piece to `out`; false when there is none, either at the
  // end or because the bytes cannot be decoded (then Failure() says why).
  virtual bool Next(std::string& out) = 0;
  virtual FileProblem Failure() const = 0;
  // Bytes of the file consumed so far.
  virtual std::size_t Consumed() const = 0;
};

class FtfReader {
public:
  // Error() of a reader of unchecked file bytes that met a word that is no
  // UTF-8: the caller decides how the whole file is to be read.
  static constexpr int kNotUtf8 = 100;

  // Reads `text` straight from the file (checked as UTF-8 word by word).
  explicit FtfReader(std::string_view text) : m_text(text) {}
  // Reads what `source` decodes.
  explicit FtfReader(FtfSource& source) : m_source(&source) {}
  FtfReader(const FtfReader&) = delete;
  FtfReader& operator=(const FtfReader&) = delete;

  // One word of at most kMaxTextLength UTF-16 code units into `out`.
  bool ReadText(std::u16string& out);
  // One word that is entirely a signed decimal number within 32 bits: an
  // optional sign and at least one digit, nothing else.
  bool ReadNumber(std::int32_t& out);

  // kFileOk while every field could be read; otherwise the Load result that the
  // first failure stands for: kFileNoRoot when the text holds no word at all,
  // kFileBadRelation when it ends before a field, kFileBadDate for a word that
  // is not the number or the text the field needs, kFileCannotOpen for text
  // that cannot be decoded, or kNotUtf8. Problem() and Line() say more.
  int Error() const { return m_error; }
  FileProblem Problem() const { return m_problem; }
  std::size_t Line() const { return m_errorLine; }

  // The next word read starts a record: RecordLine() tells its line.
  void StartRecord() { m_recordPending = true; }
  std::size_t RecordLine() const { return m_recordLine; }

  // Bytes of the file consumed so far.
  std::size_t Consumed() const { return m_source ? m_source->Consumed() : m_pos; }
  // The part of the file not read yet, for a reader of the file's bytes.
  std::string_view Rest() const { return m_text.substr(m_pos); }

private:
  // The fast paths read a word that lies whole in the text at hand and is
  // plainly what the field needs; anything else goes the general way.
  bool ReadNumberAtHand(std::int32_t& out);
  bool ReadTextAtHand(std::u16string& out);
  void SkipBlanks();
  void TookWord(std::size_t end);
  bool NextWord(std::string_view& word);
  bool Refill();
  void Fail(int code, FileProblem problem, std::size_t line);

  std::string_view m_text;
  FtfSource* m_source = nullptr;
  std::string m_buffer;  // the decoded piece m_text shows, with a source
  std::size_t m_pos = 0;
  std::size_t m_line = 1;      // line at m_pos
  std::size_t m_wordLine = 0;  // line of the last word read
  std::size_t m_recordLine = 0;
  std::size_t m_errorLine = 0;
  bool m_recordPending = false;
  bool m_anyWord = false;
  int m_error = 1;
  FileProblem m_problem = FileProblem::kNone;
};
