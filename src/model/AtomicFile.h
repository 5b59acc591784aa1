// Replacing a file so that it is never left damaged: the new contents go to a
// temporary file in the same folder, are flushed to the disk, and only then
// take the old file's place by a rename. Until Commit succeeds the old file,
// if any, stays exactly as it was, and a writer that is dropped or fails
// removes its temporary file.
#pragma once

#include <filesystem>
#include <string_view>

class AtomicFileWriter {
public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file beside `target`.
  bool Open(const std::filesystem::path& target);
  bool Write(std::string_view data);
  // Flushes the data to the disk, closes and renames over the target.
  bool Commit();

private:
  void Abort();

  std::filesystem::path m_target;
  std::filesystem::path m_temporary;
  int m_fd = -1;
  bool m_failed = false;
};
