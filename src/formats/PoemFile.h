// The 字辈 (generation poem) as text: what a poem may hold, and the small
// UTF-8 file that keeps it beside a .ftf, NAME.ftf.zibei (format in
// docs/search.md), since a .ftf has no place for it. A .cbk and GEDCOM keep
// it in the book's data (BookData::generationPoem and poemFirstGeneration);
// search/GenerationPoem.h counts generations by it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "model/MemberRecord.h"

// The largest poem file that is read. A poem is a few dozen characters; a file
// far beyond it is no poem, and a link to a device could feed bytes without end.
constexpr std::size_t kMaxPoemFileBytes = 64 * 1024;

enum class PoemFileStatus { kOk, kMissing, kCannotRead, kMalformed };

// What is wrong with a poem or its file, for the window to say in the user's
// language.
enum class PoemProblem {
  kNone,
  kLineCount,     // not two lines; `number` is how many it has
  kFirstLine,     // the first line is no generation number; `text` is the line
  kNotUtf8,       // the second line is no UTF-8 text
  kNotIdeograph,  // character `number` (from 1) of the poem, `text`, is no Chinese character
  kNoCharacters,  // the poem holds punctuation only
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

// No poem file: none beside the book, or a book that keeps its own 字辈.
inline PoemFileResult NoPoemFile() {
  return {PoemFileStatus::kMissing, PoemProblem::kNone, 0, {}};
}

// Whether `text` is a poem: Chinese characters, one a generation, with
// spaces, line breaks or punctuation between them. kOk gives its characters
// in `characters` (when asked); else kMalformed says the first thing wrong.
// Every poem the program takes, typed or read, passes here.
PoemFileResult CheckPoemText(std::u16string_view text, std::u32string* characters = nullptr);

// The poem's file beside a book: "NAME.ftf" -> "NAME.ftf.zibei".
std::filesystem::path PoemFileFor(const std::filesystem::path& bookFile);

// Reads the poem of a poem file's text into the poem of `book` (its other
// data untouched). On failure leaves `book` as it was and says why.
PoemFileResult ParsePoem(std::string_view text, BookData& book);
// The text of the poem file of `book`'s poem: its line breaks become spaces.
std::string FormatPoem(const BookData& book);

// Reads the poem file of `bookFile` into the poem of `book`, only when it is
// a regular file (a link to one is followed) of at most kMaxPoemFileBytes;
// nothing else is read from, and a pipe is never waited on. Anything but kOk
// leaves `book` without a poem: kMissing (no poem file, or a name too long
// for one to exist beside the book) or why the file was not read.
PoemFileResult LoadPoem(const std::filesystem::path& bookFile, BookData& book);

enum class PoemSaveResult {
  kSaved,        // written, or no poem and no file left of one
  kNameTooLong,  // a poem, and the file system takes no name as long as its file's
  kFailed,       // the file could not be written or removed
};
// Writes the poem file of `bookFile` atomically. A book without a poem, or
// with one that CheckPoemText refuses, removes the file: whatever it said
// was not this book's poem. A folder of that name is no poem file and is
// left alone.
PoemSaveResult SavePoem(const std::filesystem::path& bookFile, const BookData& book);

// Whether two books have the same poem: the same text from the same 世, or
// neither any text.
bool SamePoem(const BookData& a, const BookData& b);
