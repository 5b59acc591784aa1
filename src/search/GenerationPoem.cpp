#include "search/GenerationPoem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <utility>

#include "formats/io/AtomicFile.h"
#include "formats/io/FileBytes.h"
#include "model/TextCodec.h"

namespace {

// The poem's generation number is bounded so that no arithmetic on it
// overflows; no clan counts a million generations.

std::u16string Utf16(char32_t c) {
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  c -= 0x10000;
  return {static_cast<char16_t>(0xD800 | (c >> 10)), static_cast<char16_t>(0xDC00 | (c & 0x3FF))};
}

void AppendUtf8(std::string& out, char32_t c) {
  char bytes[6];  // one or two UTF-16 units, three bytes each at most
  out.append(bytes, textcodec::WriteUtf8(bytes, Utf16(c)));
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool DecodeUtf8(std::string_view text, std::u32string& out) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80             ? 1
                       : (lead & 0xE0) == 0xC0 ? 2
                       : (lead & 0xF0) == 0xE0 ? 3
                       : (lead & 0xF8) == 0xF0 ? 4
                                               : 0;
    if (length == 0 || i + length > text.size()) return false;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return false;
    out.push_back(c);
    i += length;
  }
  return true;
}

bool IsIdeograph(char32_t c) {
  return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x323AF);
}

// Poems are often written with punctuation between their lines; it is no
// generation's character.
bool IsSeparator(char32_t c) {
  return c == U' ' || c == U'\t' || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF0F) ||
         (c >= 0xFF1A && c <= 0xFF20) ||
         (c < 0x80 &&
          std::string_view(",.;:!?").find(static_cast<char>(c)) != std::string_view::npos);
}

PoemFileResult Malformed(PoemProblem problem, std::size_t number = 0, std::string text = {}) {
  return {PoemFileStatus::kMalformed, problem, number, std::move(text)};
}

}  // namespace

char32_t GenerationPoem::CharacterOf(int generation) const {
  const long long index = static_cast<long long>(generation) - firstGeneration;
  if (index < 0 || index >= static_cast<long long>(characters.size())) return 0;
  return characters[static_cast<std::size_t>(index)];
}

std::u16string ClanSurname(const COperationClanbook& book) {
  const MemberNode* root = book.GetRootLink();
  if (!root || root->name.empty()) return {};
  // Two code units may be one character outside the Basic Multilingual Plane.
  const auto firstLength = [](std::u16string_view name) -> std::size_t {
    return name.size() >= 2 && name[0] >= 0xD800 && name[0] < 0xDC00 ? 2 : 1;
  };
  const std::u16string_view name = root->name;
  std::size_t length = firstLength(name);
  std::size_t shared = std::min(name.size() - 1, length + firstLength(name.substr(length)));
  if (!root->firstChild) shared = length;
  for (const MemberNode* child = root->firstChild; child && shared > length;
       child = child->nextSibling) {
    const std::u16string_view other = child->name;
    if (other.size() <= shared || other.substr(0, shared) != name.substr(0, shared))
      shared = length;
  }
  return std::u16string(name.substr(0, std::max(shared, length)));
}

std::u16string_view GivenName(std::u16string_view name, std::u16string_view clanSurname) {
  if (!clanSurname.empty() && name.size() > clanSurname.size() && name.starts_with(clanSurname))
    return name.substr(clanSurname.size());
  if (name.empty()) return name;
  const bool pair = name.size() >= 2 && name[0] >= 0xD800 && name[0] < 0xDC00;
  return name.substr(pair ? 2 : 1);
}

std::vector<MemberNode*> MembersWithoutGenerationCharacter(const COperationClanbook& book,
                                                           const GenerationPoem& poem,
                                                           std::u16string_view clanSurname) {
  std::vector<MemberNode*> out;
  if (poem.characters.empty()) return out;
  std::vector<std::u16string> wanted;
  for (char32_t c : poem.characters) wanted.push_back(Utf16(c));
  const long long last = static_cast<long long>(poem.firstGeneration) + wanted.size() - 1;
  // Siblings wait on the stack with their generation while the children are
  // walked; below the poem's last generation nothing is checked, so the walk
  // does not go there.
  std::vector<std::pair<MemberNode*, int>> later;
  if (book.GetRootLink()) later.emplace_back(book.GetRootLink(), 1);
  while (!later.empty()) {
    auto [member, generation] = later.back();
    later.pop_back();
    while (member) {
      if (member->nextSibling) later.emplace_back(member->nextSibling, generation);
      if (generation >= poem.firstGeneration) {
        const std::u16string& character = wanted[generation - poem.firstGeneration];
        if (GivenName(member->name, clanSurname).find(character) == std::u16string_view::npos)
          out.push_back(member);
      }
      if (generation >= last) break;
      member = member->firstChild;
      ++generation;
    }
  }
  return out;
}

std::u16string SuggestedChildName(const COperationClanbook& book, const MemberNode* father,
                                  const GenerationPoem& poem, std::u16string_view clanSurname) {
  const std::u16string_view name = father->name;
  std::u16string out(name.substr(0, name.size() - GivenName(name, clanSurname).size()));
  if (const char32_t c = poem.CharacterOf(book.GetGeneration(father) + 1)) out += Utf16(c);
  return out;
}

std::filesystem::path PoemFileFor(const std::filesystem::path& bookFile) {
  std::filesystem::path poemFile = bookFile;
  poemFile += ".zibei";
  return poemFile;
}

PoemFileResult ParsePoem(std::string_view text, GenerationPoem& poem) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  while (!lines.empty() && lines.back().find_first_not_of(" \t") == std::string_view::npos)
    lines.pop_back();
  if (lines.size() != 2) return Malformed(PoemProblem::kLineCount, lines.size());

  std::string_view number = lines[0];
  while (!number.empty() && (number.front() == ' ' || number.front() == '\t'))
    number.remove_prefix(1);
  while (!number.empty() && (number.back() == ' ' || number.back() == '\t'))
    number.remove_suffix(1);
  int first = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), first);
  if (number.empty() || error != std::errc() || end != number.data() + number.size() || first < 1 ||
      first > kMaxFirstGeneration)
    return Malformed(PoemProblem::kFirstLine, 0, std::string(lines[0]));

  std::u32string decoded;
  if (!DecodeUtf8(lines[1], decoded)) return Malformed(PoemProblem::kNotUtf8);
  std::u32string characters;
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    const char32_t c = decoded[i];
    if (IsIdeograph(c)) {
      characters.push_back(c);
    } else if (!IsSeparator(c)) {
      std::string shown;
      AppendUtf8(shown, c);
      return Malformed(PoemProblem::kNotIdeograph, i + 1, std::move(shown));
    }
  }
  if (characters.empty()) return Malformed(PoemProblem::kNoCharacters);
  poem.firstGeneration = first;
  poem.characters = std::move(characters);
  return {};
}

std::string FormatPoem(const GenerationPoem& poem) {
  std::string out = std::to_string(poem.firstGeneration) + "\n";
  for (char32_t c : poem.characters) AppendUtf8(out, c);
  out += "\n";
  return out;
}

// Whether a failed look-up of the poem file's name means there is no such
// file: nothing by that name, or a name too long for any file to bear it.
namespace {
bool NoSuchFile(int error) {
  return error == ENOENT || error == ENAMETOOLONG || error == ENOTDIR;
}
}  // namespace

PoemFileResult LoadPoem(const std::filesystem::path& bookFile, GenerationPoem& poem) {
  poem = GenerationPoem();
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
  if (read.Ok()) return ParsePoem(text, poem);
  if (check.refused == fileio::FileCheck::Refused::kNone && NoSuchFile(check.error))
    return {PoemFileStatus::kMissing, PoemProblem::kNone, 0, {}};
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

PoemSaveResult SavePoem(const std::filesystem::path& bookFile, const GenerationPoem& poem) {
  const std::filesystem::path file = PoemFileFor(bookFile);
  struct stat info {};
  const bool exists = ::lstat(file.c_str(), &info) == 0;
  const int error = exists ? 0 : errno;
  if (poem.characters.empty()) {
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
  return writer.Open(file) && writer.Write(FormatPoem(poem)) && writer.Commit()
             ? PoemSaveResult::kSaved
             : PoemSaveResult::kFailed;
}
