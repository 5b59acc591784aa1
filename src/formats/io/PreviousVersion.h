// The version of a file that a save replaces, kept as its backup, and the
// stamp that tells whether a file changed on the disk since it was read.
#pragma once

#include <cstdint>
#include <filesystem>

namespace fileio {

// What became of the previous version a save was asked to keep.
enum class Kept {
  kNothingToKeep,  // not asked, no file there yet, or the save failed
  kKept,
  kNameTooLong,  // the file system takes no name as long as the backup's
  kBackupIsFolder,
  kNotKept,  // no hard link and no room for a copy, no permission...
};

// Holds what a file holds now under a hidden name beside its backup: a second
// name for the old file's contents, which the save's rename then leaves to
// the backup alone, or a copy. Only once the new version is in place does it
// become the backup, by a rename, so that a save that fails leaves the
// backup as it was and one that is interrupted never a half-made one.
class PreviousVersion {
public:
  PreviousVersion() = default;
  ~PreviousVersion() { Settle(false); }
  PreviousVersion(const PreviousVersion&) = delete;
  PreviousVersion& operator=(const PreviousVersion&) = delete;

  // Holds the regular file `target` (the file a save replaces, a link
  // already followed) for `backup`. Where the backup cannot go, or there is
  // no regular file yet, nothing is held; Settle then says why.
  void Hold(const std::filesystem::path& target, const std::filesystem::path& backup);
  // After the save: when it succeeded (`saved`) the held version becomes the
  // backup; otherwise it is dropped and the backup stays as it was.
  Kept Settle(bool saved);

private:
  std::filesystem::path m_held;
  std::filesystem::path m_backup;
  Kept m_outcome = Kept::kNothingToKeep;
};

// What a file is on the disk now, to be compared with what it was.
struct FileStamp {
  bool exists = false;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::filesystem::path& path);

}  // namespace fileio
