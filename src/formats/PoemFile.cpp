#include "formats/PoemFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <utility>
#include <vector>

#include "formats/io/AtomicFile.h"
#include "formats/io/FileBytes.h"
#include "model/TextCodec.h"

namespace {

bool IsIdeograph(char32_t c) {
  return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x323AF);
}

// Poems are often written with punctuation between their lines, or on lines
// of their own; none of it is a generation's character.
bool IsSeparator(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || (c >= 0x3000 && c <= 0x303F) ||
         (c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) ||
         (c < 0x80 &&
          std::string_view(",.;:!?").find(static_cast<char>(c)) != std::string_view::npos);
}

PoemFileResult Malformed(PoemProblem problem, std::size_t number = 0, std::string text = {}) {
  return {PoemFileStatus::kMalformed, problem, number, std::move(text)};
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Whether a failed look-up of the poem file's name means there is no such
// file: nothing by that name, or a name too long for any file to bear it.
bool NoSuchFile(int error) {
  return error == ENOENT || error == ENAMETOOLONG || error == ENOTDIR;
}

void ForgetPoem(BookData& book) {
  book.generationPoem.clear();
  book.poemFirstGeneration = 1;
}

}  // namespace

PoemFileResult CheckPoemText(std::u16string_view text, std::u32string* characters) {
  std::u32string found;
  std::size_t position = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    ++position;
    if (IsIdeograph(c)) {
      found.push_back(c);
    } else if (!IsSeparator(c)) {
      // A lone surrogate has no UTF-8 of its own to be shown by.
      const std::u16string shown = c >= 0xD800 && c < 0xE000 ? std::u16string(1, u'\uFFFD')
                                   : c < 0x10000 ? std::u16string(1, static_cast<char16_t>(c))
                                                 : std::u16string(text.substr(i - 1, 2));
      return Malformed(PoemProblem::kNotIdeograph, position, textcodec::ToUtf8(shown));
    }
  }
  if (found.empty()) return Malformed(PoemProblem::kNoCharacters);
  if (characters) *characters = std::move(found);
  return {};
}

std::filesystem::path PoemFileFor(const std::filesystem::path& bookFile) {
  std::filesystem::path poemFile = bookFile;
  poemFile += ".zibei";
  return poemFile;
}

PoemFileResult ParsePoem(std::string_view text, BookData& book) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  while (!lines.empty() && Trimmed(lines.back()).empty()) lines.pop_back();
  if (lines.size() != 2) return Malformed(PoemProblem::kLineCount, lines.size());

  const std::string_view number = Trimmed(lines[0]);
  int first = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), first);
  if (number.empty() || error != std::errc() || end != number.data() + number.size() || first < 1 ||
      first > kMaxPoemFirstGeneration)
    return Malformed(PoemProblem::kFirstLine, 0, std::string(lines[0]));

  std::u16string poem;
  if (textcodec::DecodeUtf8(lines[1], poem, kMaxPoemFileBytes) != textcodec::Decoded::kText)
    return Malformed(PoemProblem::kNotUtf8);
  // Checked as the line stands, so that a character's number counts from
  // the line's start.
  if (PoemFileResult checked = CheckPoemText(poem); checked.status != PoemFileStatus::kOk)
    return checked;
  std::u16string trimmed;
  textcodec::DecodeUtf8(Trimmed(lines[1]), trimmed, kMaxPoemFileBytes);
  book.generationPoem = std::move(trimmed);
  book.poemFirstGeneration = first;
  return {};
}

std::string FormatPoem(const BookData& book) {
  std::u16string line;
  for (std::size_t i = 0; i < book.generationPoem.size(); ++i) {
    const char16_t c = book.generationPoem[i];
    if (c == u'\n' && i > 0 && book.generationPoem[i - 1] == u'\r') continue;  // one break
    line += c == u'\n' || c == u'\r' ? u' ' : c;
  }
  return std::to_string(book.poemFirstGeneration) + "\n" + textcodec::ToUtf8(line) + "\n";
}

PoemFileResult LoadPoem(const std::filesystem::path& bookFile, BookData& book) {
  ForgetPoem(book);
  const std::filesystem::path file = PoemFileFor(bookFile);
  std::string text;
  fileio::FileCheck check;
  check.maxBytes = kMaxPoemFileBytes;
  const FileStatus read = fileio::ReadFileBytes(
      file,
      [&text](std::string_view bytes, const ReadProgress&) {
        text.assign(bytes);
        return FileStatus{};
      },
      check);
  if (read.Ok()) return ParsePoem(text, book);
  if (check.refused == fileio::FileCheck::Refused::kNone && NoSuchFile(check.error))
    return NoPoemFile();
  const auto unreadable = [&file](PoemProblem problem, std::size_t number = 0) {
    return PoemFileResult{PoemFileStatus::kCannotRead, problem, number, file.string()};
  };
  switch (check.refused) {
    case fileio::FileCheck::Refused::kFolder:
      return unreadable(PoemProblem::kFolder);
    case fileio::FileCheck::Refused::kNotRegular:
      return unreadable(PoemProblem::kNotRegular);
    case fileio::FileCheck::Refused::kTooLarge:
      return unreadable(PoemProblem::kTooLarge, kMaxPoemFileBytes);
    case fileio::FileCheck::Refused::kNone:
      break;
  }
  return unreadable(PoemProblem::kCannotRead);
}

PoemSaveResult SavePoem(const std::filesystem::path& bookFile, const BookData& book) {
  const std::filesystem::path file = PoemFileFor(bookFile);
  struct stat info {};
  const bool exists = ::lstat(file.c_str(), &info) == 0;
  const int error = exists ? 0 : errno;
  if (CheckPoemText(book.generationPoem).status != PoemFileStatus::kOk) {
    // No poem: nothing to remove where there is no file, or where a file of
    // that name cannot be. A folder of that name is nobody's poem file.
    if (!exists) return NoSuchFile(error) ? PoemSaveResult::kSaved : PoemSaveResult::kFailed;
    if (S_ISDIR(info.st_mode)) return PoemSaveResult::kSaved;
    return ::unlink(file.c_str()) == 0 || errno == ENOENT ? PoemSaveResult::kSaved
                                                          : PoemSaveResult::kFailed;
  }
  // No later save under this name can write it; the window says why.
  if (error == ENAMETOOLONG) return PoemSaveResult::kNameTooLong;
  AtomicFileWriter writer;
  return writer.Open(file) && writer.Write(FormatPoem(book)) && writer.Commit()
             ? PoemSaveResult::kSaved
             : PoemSaveResult::kFailed;
}

bool SamePoem(const BookData& a, const BookData& b) {
  if (a.generationPoem.empty() || b.generationPoem.empty())
    return a.generationPoem.empty() && b.generationPoem.empty();
  return a.poemFirstGeneration == b.poemFirstGeneration && a.generationPoem == b.generationPoem;
}
