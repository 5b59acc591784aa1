// What a read or a write of a genealogy file came to: the result code that
// callers have always compared against, and what exactly went wrong, so that
// the window can say it in the user's language and point at the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// Why a text cannot be stored as a name or an address.
enum class TextProblem : std::uint8_t {
  kNone,
  kEmpty,          // a name needs at least one character
  kTooLong,        // more than kMaxTextLength UTF-16 code units
  kBlank,          // a blank, tab or line break splits the word
  kLoneSurrogate,  // half of a surrogate pair (e.g. a name cut at 127 units)
};

enum class FileProblem : std::uint8_t {
  kNone,
  // Opening and decoding.
  kCannotOpen,     // missing, unreadable, or not a regular file
  kCancelled,      // the progress callback asked to stop
  kNoMemory,       // the genealogy does not fit in memory
  kNotText,        // NUL bytes: UTF-16 without byte-order mark, or binary data
  kBadUtf8,        // bytes that are no UTF-8 in a file that is UTF-8; line
  kBadUtf16,       // UTF-16 with a lone surrogate or an odd length
  kBadLegacyText,  // bytes that are no GB18030 in a file without UTF-8
  // Records.
  kEmpty,           // no word at all
  kRootEndsFile,    // the first record names itself as father
  kNotANumber,      // a numeric field holds something else; line
  kNumberTooLarge,  // a number outside 32 bits; line
  kWordTooLong,     // a name, address or father of more than 127 units; line
  kMissingField,    // the file ends inside a record; line of the last word
  kBadBirthDate,    // line, detail: the member
  kBadDeathDate,    // died on an impossible date or before birth
  kBornBeforeFather,
  kUnknownFather,  // detail: the father's name as written
  // Writing.
  kNothingToSave,      // a genealogy without root; nothing is written
  kTargetNotRegular,   // the target exists and is a FIFO, device, folder...
  kTargetNotWritable,  // the user may not write the target or its folder
  kWriteFailed,        // disk full, file size limit, I/O error
  kOwnerNotKept,       // the target belongs to someone else; see file-format.md
  kNameNotStorable,    // detail: the member; text: why
  kAddressNotStorable,
  kNamedEnd,           // a member other than the root named "end"
  kNamedLikeFather,    // the reader would take the record for the end
  kRootNamedNoFather,  // a root named "-1", the root's own father field
  kTargetIsFolder,     // the target is a folder
  kNoSuchFolder,       // the folder the target would go in does not exist
  kReadOnlyMount,      // the target's file system is mounted read-only
  kTargetIsInput,      // the target is a file the same command reads
  // The book file (.cbk).
  kNotABook,      // no SQLite database: empty, zeroed, random bytes, text
  kDamagedBook,   // an SQLite database cut short or damaged, or rows that make no tree
  kForeignBook,   // an SQLite database of another program (application_id)
  kNewerBook,     // written by a newer version of this program (user_version)
  kBookInUse,     // another program has the book open; it may be opened read-only
  kBookReadOnly,  // opened read-only here: a save to it must go to another file
  // A ZIP archive (a GEDZIP, .gdz).
  kDamagedArchive,      // no ZIP archive, or one cut short, or a size or CRC that does not match
  kUnsafeArchive,       // an entry named outside the archive, too large, or too many entries
  kUnsupportedArchive,  // an encrypted entry, a compression other than deflate, several disks
  kNoGedcomInArchive,   // no gedcom.ged at the archive's root
  kArchiveTooLarge,     // writing: a GEDCOM text of 4 GiB or more
};

struct FileStatus {
  int code = 1;  // a FileResult: kFileOk, kFileBadDate, ...
  FileProblem problem = FileProblem::kNone;
  std::size_t line = 0;                   // 1-based line at fault; 0: none
  std::u16string detail;                  // the member or the father the problem is about
  TextProblem text = TextProblem::kNone;  // with k*NotStorable

  bool Ok() const { return problem == FileProblem::kNone; }
};

// A failed FileStatus.
inline FileStatus Failure(int code, FileProblem problem, std::size_t line = 0,
                          std::u16string detail = {}) {
  FileStatus status;
  status.code = code;
  status.problem = problem;
  status.line = line;
  status.detail = std::move(detail);
  return status;
}

// Called now and then while a file is read with the bytes read so far and
// the total; returning false stops the read (kCancelled).
using ReadProgress = std::function<bool(std::size_t done, std::size_t total)>;
// Takes a file's bytes piece by piece as they are written; false stops the write.
using WriteSink = std::function<bool(std::string_view piece)>;

// Why `text` would not survive a save and a load as a name (`isName`) or an
// address; kNone when it would. The entry dialogs refuse such text up front.
TextProblem WhyNotStorable(std::u16string_view text, bool isName);
