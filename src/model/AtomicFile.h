// Replacing a file so that it is never left damaged: the new contents go to a
// temporary file in the same folder, are flushed to the disk, and only then
// take the old file's place by a rename. Until Commit succeeds the old file,
// if any, stays exactly as it was, and a writer that is dropped or fails
// removes its temporary file.
//
// A save that is killed cannot remove its temporary file; the writer holds a
// lock on it while it writes, and the next successful save of the same file
// removes every temporary file of that file whose lock it can take (no living
// process writes it), and nothing else.
#pragma once

#include <filesystem>
#include <string_view>

#include "model/FileStatus.h"

// The file a save of `target` replaces: a symbolic link is followed, so that
// saving through it replaces the file it refers to instead of the link.
std::filesystem::path SaveTargetOf(const std::filesystem::path& target);

class AtomicFileWriter {
public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file beside `target`. Refuses a target that exists
  // and is no regular file (a symbolic link to one is followed), one the user
  // may not write, and one whose owner or group the new file could not keep.
  bool Open(const std::filesystem::path& target);
  bool Write(std::string_view data);
  // Flushes the data to the disk, closes and renames over the target.
  bool Commit();

  // Why the last Open, Write or Commit failed.
  FileProblem Problem() const { return m_problem; }

private:
  void Abort();
  bool Fail(FileProblem problem);
  void RemoveLeftovers() const;

  std::filesystem::path m_target;
  std::filesystem::path m_temporary;
  int m_fd = -1;
  bool m_failed = false;
  FileProblem m_problem = FileProblem::kNone;
};
