#include "formats/io/PreviousVersion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

namespace fileio {

namespace {

// Copies the file `from` into the new file `to`, for file systems that have
// no hard links.
bool CopyFile(const std::filesystem::path& from, const std::filesystem::path& to, mode_t mode) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 0777);
  if (out < 0) {
    ::close(in);
    return false;
  }
  static constexpr std::size_t kChunk = 1 << 20;
  std::string buffer(kChunk, '\0');
  bool ok = true;
  while (ok) {
    const ssize_t got = ::read(in, buffer.data(), kChunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t written = 0; ok && written < got;) {
      const ssize_t n =
          ::write(out, buffer.data() + written, static_cast<std::size_t>(got - written));
      if (n < 0 && errno == EINTR) continue;
      ok = n > 0;
      written += n > 0 ? n : 0;
    }
  }
  ok = ok && ::fsync(out) == 0;
  ok = ::close(out) == 0 && ok;
  ::close(in);
  if (!ok) ::unlink(to.c_str());
  return ok;
}

}  // namespace

void PreviousVersion::Hold(const std::filesystem::path& target,
                           const std::filesystem::path& backup) {
  Settle(false);
  m_outcome = Kept::kNothingToKeep;
  m_backup = backup;
  struct stat info {};
  if (::lstat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
  // Where the backup cannot go, nothing is held for it.
  struct stat old {};
  const bool there = ::lstat(backup.c_str(), &old) == 0;
  if (!there && errno == ENAMETOOLONG) {
    m_outcome = Kept::kNameTooLong;
    return;
  }
  if (there && S_ISDIR(old.st_mode)) {
    m_outcome = Kept::kBackupIsFolder;
    return;
  }
  static std::atomic<unsigned> counter{0};
  // The backup's name is cut so that the hidden one stays within the file
  // system's limit of 255 bytes, even when the backup's own name just fits.
  // ".held-", never the atomic writer's ".tmp-": cut at 200 bytes, a long
  // backup's name is its book's, and the writer would take a held version
  // whose number happens to have six characters for one of its leftovers.
  std::string name(1, '.');
  name += backup.filename().string().substr(0, 200);
  name += ".held-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  const std::filesystem::path held = backup.parent_path() / name;
  ::unlink(held.c_str());
  if (::link(target.c_str(), held.c_str()) == 0 || CopyFile(target, held, info.st_mode))
    m_held = held;
  else
    m_outcome = Kept::kNotKept;
}

Kept PreviousVersion::Settle(bool saved) {
  if (m_held.empty()) return saved ? m_outcome : Kept::kNothingToKeep;
  Kept outcome = Kept::kNothingToKeep;
  if (!saved) {
    ::unlink(m_held.c_str());
  } else if (::rename(m_held.c_str(), m_backup.c_str()) == 0) {
    outcome = Kept::kKept;
  } else {
    outcome = errno == ENAMETOOLONG ? Kept::kNameTooLong
              : errno == EISDIR     ? Kept::kBackupIsFolder
                                    : Kept::kNotKept;
    ::unlink(m_held.c_str());
  }
  m_held.clear();
  m_outcome = Kept::kNothingToKeep;
  return outcome;
}

FileStamp StampOf(const std::filesystem::path& path) {
  FileStamp stamp;
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.size = static_cast<std::int64_t>(info.st_size);
  stamp.modifiedNs =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  stamp.inode = static_cast<std::uint64_t>(info.st_ino);
  return stamp;
}

}  // namespace fileio
