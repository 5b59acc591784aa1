#include "model/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>

namespace {

// A symbolic link is followed, so that saving through it replaces the file it
// refers to instead of the link.
std::filesystem::path ResolveTarget(const std::filesystem::path& target) {
  std::error_code ec;
  if (std::filesystem::is_symlink(target, ec)) {
    std::filesystem::path resolved = std::filesystem::canonical(target, ec);
    if (!ec) return resolved;
  }
  return target;
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() {
  Abort();
}

void AtomicFileWriter::Abort() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
  if (!m_temporary.empty()) {
    ::unlink(m_temporary.c_str());
    m_temporary.clear();
  }
}

bool AtomicFileWriter::Open(const std::filesystem::path& requested) {
  Abort();
  m_failed = false;
  m_target = ResolveTarget(requested);
  if (!m_target.has_filename()) return false;
  // Renaming over the target needs only the folder's permission; a file the
  // user cannot write to is refused as opening it for writing would be.
  if (::access(m_target.c_str(), F_OK) == 0 && ::access(m_target.c_str(), W_OK) != 0) return false;
  std::filesystem::path folder = m_target.parent_path();
  if (folder.empty()) folder = ".";

  // ".<name>.tmp-XXXXXX" beside the target; the name part is cut so that the
  // temporary name stays within the file system's limit of 255 bytes.
  const std::string stem = m_target.filename().string().substr(0, 200);
  std::mt19937_64 random(
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<std::uint64_t>(::getpid()) << 32));
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "." + stem + ".tmp-";
    for (int i = 0; i < 6; ++i) name.push_back(kLetters[random() % (sizeof kLetters - 1)]);
    const std::filesystem::path candidate = folder / name;
    // Mode 0666 less the umask, as a file that a plain save creates gets.
    m_fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd >= 0) {
      m_temporary = candidate;
      break;
    }
    if (errno != EEXIST) return false;
  }
  if (m_fd < 0) return false;

  // A file that is replaced keeps its permissions.
  struct stat old {};
  if (::stat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
    (void)::fchmod(m_fd, old.st_mode & 07777);
  return true;
}

bool AtomicFileWriter::Write(std::string_view data) {
  if (m_fd < 0 || m_failed) return false;
  while (!data.empty()) {
    const ssize_t written = ::write(m_fd, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      m_failed = true;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool AtomicFileWriter::Commit() {
  if (m_fd < 0 || m_failed) {
    Abort();
    return false;
  }
  const bool synced = ::fsync(m_fd) == 0;
  // close reports delayed write errors on some file systems: checked too.
  const bool closed = ::close(m_fd) == 0;
  m_fd = -1;
  if (!synced || !closed || ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
    Abort();
    return false;
  }
  m_temporary.clear();
  // Make the rename itself durable. The new file is in place already, so a
  // folder that cannot be synced (some file systems refuse) is no failure.
  std::filesystem::path folder = m_target.parent_path();
  if (folder.empty()) folder = ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
  return true;
}
