// Replacing a file so that it is never left damaged: the new contents go to a
// temporary file in the same folder, are flushed to the disk, and only then
// take the old file's place by a rename. Until Commit succeeds the old file,
// if any, stays exactly as it was, and a writer that is dropped or fails
// removes its temporary file.
//
// Where the file system allows it the temporary file has no name until
// Commit gives it one just before the rename, so that a save that is killed
// leaves nothing behind. Elsewhere a save that is killed cannot remove its
// temporary file; the writer holds a lock on it while it writes, and the next
// successful save of the same file removes every temporary file of that file
// whose lock it can take (no living process writes it), and nothing else.
//
// Every file the program writes goes through this writer (the Qt adapter in
// document/AtomicSaveFile.h for Qt's writers), so that every output refuses
// the same targets for the same reasons.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string_view>

#include "model/FileStatus.h"

// The file a save of `target` replaces: a symbolic link is followed, so that
// saving through it replaces the file it refers to instead of the link.
std::filesystem::path SaveTargetOf(const std::filesystem::path& target);

// True when `output` is one of `inputs`: the same file on the same device,
// whatever the names (a symbolic link, a hard link, another spelling of the
// path). A command refuses such an output before it writes, since replacing
// what it reads would lose what it was asked to keep. An output that does not
// exist yet is no input.
bool OutputIsInput(const std::filesystem::path& output,
                   std::initializer_list<std::filesystem::path> inputs);

// Why a write failed, in English for the command-line libraries ("it is a
// folder"); the window words the same problems in the user's language.
const char* DescribeWriteProblem(FileProblem problem);

class AtomicFileWriter {
public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file beside `target`. Refuses a target that exists
  // and is no regular file (a symbolic link to one is followed), one the user
  // may not write, and one whose owner or group the new file could not keep;
  // Problem() then says which.
  // With `named` the temporary file has a name from the start
  // (TemporaryPath), for a writer that opens it by name itself (SQLite).
  bool Open(const std::filesystem::path& target, bool named = false);
  bool Write(std::string_view data);
  // Flushes the data to the disk, closes and renames over the target.
  bool Commit();

  // The temporary file's name while it has one.
  const std::filesystem::path& TemporaryPath() const { return m_temporary; }
  // The file the writer replaces, a link followed.
  const std::filesystem::path& Target() const { return m_target; }

  // Why the last Open, Write or Commit failed.
  FileProblem Problem() const { return m_problem; }

private:
  void Abort();
  bool Fail(FileProblem problem);
  void RemoveLeftovers() const;
  bool OpenUnnamed(const std::filesystem::path& folder);
  bool OpenNamed(const std::filesystem::path& folder);
  bool NameUnnamed();

  std::filesystem::path m_target;
  std::filesystem::path m_temporary;  // empty while the temporary file has no name
  int m_fd = -1;
  bool m_failed = false;
  FileProblem m_problem = FileProblem::kNone;
};
