// A file format is an object that makes a genealogy of bytes and bytes of a
// genealogy. The .ftf format (FtfFormat.h) is the first; GEDCOM is another,
// with its own options and import report: a format keeps such things as
// members of its own class (set options before Read, ask for the report
// after), so this interface stays the same for every format.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "model/FileStatus.h"

class COperationClanbook;

namespace formats {

// The result of a read or a write: the FileResult code (kFileOk, kFileBadDate,
// kFileBadRelation, kFileCannotWrite, kFileCannotOpen, kFileNoMemory,
// kFileNoRoot), the FileProblem that names what went wrong, the 1-based line
// at fault (0: none) and a detail such as the member's name.
using ReadResult = FileStatus;
using WriteResult = FileStatus;
using ReadProgress = ::ReadProgress;
using WriteSink = ::WriteSink;

class FileFormat {
public:
  virtual ~FileFormat() = default;

  // Fills `out` (emptied first) from `bytes`; on any failure `out` is left
  // empty. `progress`, if set, is called now and then with the bytes read so
  // far and their total, and stops the read (FileProblem::kCancelled) when it
  // returns false.
  virtual ReadResult Read(std::string_view bytes, COperationClanbook& out,
                          const ReadProgress& progress) = 0;

  // Writes the genealogy piece by piece. On failure the pieces given so far
  // are no whole file and must be dropped (WriteFile does).
  virtual WriteResult Write(const COperationClanbook& genealogy, const WriteSink& sink) = 0;

  // The whole file in `out` (replaced; empty on failure).
  WriteResult Write(const COperationClanbook& genealogy, std::string& out);
};

// Reads the regular file at `path` with `format`, without holding its bytes
// whole beside the genealogy (see formats/io/FileBytes.h).
ReadResult ReadFile(FileFormat& format, const std::filesystem::path& path, COperationClanbook& out,
                    const ReadProgress& progress = {});

// Writes the file at `path` through the atomic save: the old file stays as it
// was unless the whole new one took its place (see formats/io/AtomicFile.h).
WriteResult WriteFile(FileFormat& format, const COperationClanbook& genealogy,
                      const std::filesystem::path& path);

}  // namespace formats
