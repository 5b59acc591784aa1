// 字辈: the clan's generation poem. Its Nth character is carried in the given
// name of every member of one generation, counted from the 世 the poem starts
// at (the root is 第1世). The poem belongs to the book and lives in a small
// UTF-8 file beside it, NAME.ftf.zibei (format in docs/search.md).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/COperationClanbook.h"

struct GenerationPoem {
  int firstGeneration = 1;    // the 世 of the first character
  std::u32string characters;  // one per generation; empty: no poem

  // The character of generation `generation` (root = 1), or 0 outside the poem.
  char32_t CharacterOf(int generation) const;
};

// The clan's surname, read off the book: the longest start (at most two
// characters, always leaving a given name) that the root's name shares with
// the names of all his children, so that a compound surname such as 欧阳 is
// found without a list of surnames; one character when the root has no
// children or they share nothing more with him. Empty for an empty book.
std::u16string ClanSurname(const COperationClanbook& book);

// A member's given name: his name after the clan's surname when it starts
// with it, else after its first character (a surname of its own).
std::u16string_view GivenName(std::u16string_view name, std::u16string_view clanSurname);

// Every member, in pre-order, whose generation has a character in the poem and
// whose given name lacks it. Members of generations before the poem or beyond
// its end are not checked.
std::vector<MemberNode*> MembersWithoutGenerationCharacter(const COperationClanbook& book,
                                                           const GenerationPoem& poem,
                                                           std::u16string_view clanSurname);

// The name to offer for a new child of `father`: the father's surname followed
// by the character of the child's generation, or the surname alone when the
// poem has no character for it.
std::u16string SuggestedChildName(const COperationClanbook& book, const MemberNode* father,
                                  const GenerationPoem& poem, std::u16string_view clanSurname);

// The poem's file beside a book: "NAME.ftf" -> "NAME.ftf.zibei".
std::filesystem::path PoemFileFor(const std::filesystem::path& bookFile);

// The largest generation a poem file may start at.
constexpr int kMaxFirstGeneration = 1000000;
// The largest poem file that is read. A poem is a few dozen characters; a file
// far beyond it is no poem, and a link to a device could feed bytes without end.
constexpr std::size_t kMaxPoemFileBytes = 64 * 1024;

enum class PoemFileStatus { kOk, kMissing, kCannotRead, kMalformed };

// What is wrong with a poem file, for the window to say in the user's language.
enum class PoemProblem {
  kNone,
  kLineCount,     // not two lines; `number` is how many it has
  kFirstLine,     // the first line is no generation number; `text` is the line
  kNotUtf8,       // the second line is no UTF-8 text
  kNotIdeograph,  // character `number` (from 1) of the second line, `text`, is no Chinese character
  kNoCharacters,  // the second line holds punctuation only
  kCannotRead,    // the file could not be read; `text` is its path
  kFolder,        // the poem file's name is a folder's; `text` is its path
  kNotRegular,    // a pipe, a device or a socket; `text` is its path
  kTooLarge,      // more than `number` (kMaxPoemFileBytes) bytes; `text` is its path
};

struct PoemFileResult {
  PoemFileStatus status = PoemFileStatus::kOk;
  PoemProblem problem = PoemProblem::kNone;
  std::size_t number = 0;
  std::string text;  // UTF-8
};

// Reads the poem from the text of a poem file. On failure leaves `poem` as
// it was and says why.
PoemFileResult ParsePoem(std::string_view text, GenerationPoem& poem);
std::string FormatPoem(const GenerationPoem& poem);

// Reads the poem file of `bookFile`, only when it is a regular file (a link to
// one is followed) of at most kMaxPoemFileBytes; nothing else is read from, and
// a pipe is never waited on. kMissing (no poem) leaves `poem` empty; so does a
// poem file whose name is too long to exist beside the book.
PoemFileResult LoadPoem(const std::filesystem::path& bookFile, GenerationPoem& poem);

enum class PoemSaveResult {
  kSaved,        // written, or no poem and no file left of one
  kNameTooLong,  // a poem, and the file system takes no name as long as its file's
  kFailed,       // the file could not be written or removed
};
// Writes the poem file of `bookFile` atomically. An empty poem removes the
// file; a folder of that name is no poem file and is left alone.
PoemSaveResult SavePoem(const std::filesystem::path& bookFile, const GenerationPoem& poem);
