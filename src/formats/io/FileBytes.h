// The bytes of a file for a reader of any format, and the atomic save for a
// writer of any format.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <string_view>

#include "model/FileStatus.h"

class COperationClanbook;

namespace fileio {

// Reads the bytes it is given with the progress callback it is given.
using ReadBytes = std::function<FileStatus(std::string_view bytes, const ReadProgress& progress)>;

// What a caller asks of the file besides its bytes, and why it was refused.
struct FileCheck {
  // In: a larger file is refused unread, and so is one grown past it by the
  // time it is opened.
  std::size_t maxBytes = std::numeric_limits<std::size_t>::max();

  enum class Refused { kNone, kFolder, kNotRegular, kTooLarge };
  // Out: kNone when the file was read, or failed for a system call (`error`).
  Refused refused = Refused::kNone;
  // Out: the error number of a system call that failed, 0 when none did.
  int error = 0;
};

// Calls `read` with the whole of the regular file at `path` (kCannotOpen for
// anything else: a folder, a pipe, a device; none is opened, nor waited on). The bytes are mapped,
// and the pages before what the reader last reported as done (less a megabyte) are given back as it
// goes, so that a large file never stands whole in memory beside what is made of it; a reader that
// goes back to the start maps them in again. Another program that shortens the file during the read
// is not guarded against. `error`, if given, receives the error number of a system call that failed
// (0 for a file that is no regular file, or none failed).
FileStatus ReadFileBytes(const std::filesystem::path& path, const ReadBytes& read,
                         const ReadProgress& progress = {}, int* error = nullptr);
// The same, within `check.maxBytes`, saying in `check` why a file was refused
// (kCannotOpen, or kTooLarge's kCannotOpen with `refused` kTooLarge).
FileStatus ReadFileBytes(const std::filesystem::path& path, const ReadBytes& read, FileCheck& check,
                         const ReadProgress& progress = {});

// Saves `genealogy` at `path` through AtomicFileWriter with what `write`
// gives its sink. An empty genealogy never touches the disk (kNothingToSave);
// on any failure the file at `path` stays as it was.
FileStatus WriteFileAtomically(const std::filesystem::path& path,
                               const COperationClanbook& genealogy,
                               const std::function<FileStatus(const WriteSink& sink)>& write);

}  // namespace fileio
