#include "formats/io/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>

std::filesystem::path SaveTargetOf(const std::filesystem::path& target) {
  std::error_code ec;
  if (std::filesystem::is_symlink(target, ec)) {
    std::filesystem::path resolved = std::filesystem::canonical(target, ec);
    if (!ec) return resolved;
  }
  return target;
}

bool OutputIsInput(const std::filesystem::path& output,
                   std::initializer_list<std::filesystem::path> inputs) {
  struct stat out {};
  if (output.empty() || ::stat(output.c_str(), &out) != 0) return false;
  for (const std::filesystem::path& input : inputs) {
    struct stat in {};
    if (!input.empty() && ::stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev &&
        in.st_ino == out.st_ino)
      return true;
  }
  return false;
}

const char* DescribeWriteProblem(FileProblem problem) {
  switch (problem) {
    case FileProblem::kTargetIsFolder:
      return "it is a folder";
    case FileProblem::kTargetNotRegular:
      return "it is no regular file (a device, a pipe or a socket)";
    case FileProblem::kNoSuchFolder:
      return "the folder it would go in does not exist";
    case FileProblem::kReadOnlyMount:
      return "the file system is read-only";
    case FileProblem::kTargetNotWritable:
      return "no permission to write it or its folder";
    case FileProblem::kOwnerNotKept:
      return "it belongs to another user, whose file it would take";
    case FileProblem::kTargetIsInput:
      return "it is a file this command reads";
    case FileProblem::kNoMemory:
      return "not enough memory";
    case FileProblem::kNothingToSave:
      return "there is nothing to save";
    case FileProblem::kArchiveTooLarge:
      return "the GEDCOM text passes 4 GiB, more than the archive can hold";
    case FileProblem::kNameNotStorable:
    case FileProblem::kAddressNotStorable:
    case FileProblem::kNamedEnd:
    case FileProblem::kNamedLikeFather:
    case FileProblem::kRootNamedNoFather:
      return "a member's name or address cannot be stored";
    default:
      return "the disk is full or the write failed";
  }
}

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

bool AtomicFileWriter::Fail(FileProblem problem) {
  m_problem = problem;
  m_failed = true;
  Abort();
  return false;
}

// The start of the names of the temporary files of `target`.
static std::string TemporaryPrefix(const std::filesystem::path& target) {
  std::string prefix(1, '.');
  prefix += target.filename().string().substr(0, 200);
  return prefix + ".tmp-";
}

// Why a file could not be made in the target's folder.
static FileProblem ProblemOfErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileProblem::kNoSuchFolder;
    case EROFS:
      return FileProblem::kReadOnlyMount;
    case ENOSPC:
    case EDQUOT:
    case EIO:
      return FileProblem::kWriteFailed;
    default:
      return FileProblem::kTargetNotWritable;
  }
}

// A name beside the target for its temporary file: ".<name>.tmp-XXXXXX".
static std::filesystem::path TemporaryName(const std::filesystem::path& folder,
                                           const std::string& prefix, std::mt19937_64& random) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = prefix;
  for (int i = 0; i < 6; ++i) name.push_back(kLetters[random() % (sizeof kLetters - 1)]);
  return folder / name;
}

static std::mt19937_64 Random() {
  return std::mt19937_64(
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<std::uint64_t>(::getpid()) << 32));
}

// The path through which an open descriptor can be given a name.
static std::string DescriptorPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

bool AtomicFileWriter::OpenUnnamed(const std::filesystem::path& folder) {
  // Mode 0666 less the umask, as a file that a plain save creates gets.
  m_fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (m_fd < 0) return false;
  // Naming it later goes through /proc; without /proc the named way is taken.
  if (::access(DescriptorPath(m_fd).c_str(), F_OK) != 0) {
    ::close(m_fd);
    m_fd = -1;
    return false;
  }
  return true;
}

bool AtomicFileWriter::OpenNamed(const std::filesystem::path& folder) {
  const std::string prefix = TemporaryPrefix(m_target);
  std::mt19937_64 random = Random();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = TemporaryName(folder, prefix, random);
    m_fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd >= 0) {
      m_temporary = candidate;
      return true;
    }
    if (errno != EEXIST) return Fail(ProblemOfErrno(errno));
  }
  return Fail(FileProblem::kTargetNotWritable);
}

bool AtomicFileWriter::NameUnnamed() {
  std::filesystem::path folder = m_target.parent_path();
  if (folder.empty()) folder = ".";
  const std::string prefix = TemporaryPrefix(m_target);
  std::mt19937_64 random = Random();
  const std::string from = DescriptorPath(m_fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = TemporaryName(folder, prefix, random);
    if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      m_temporary = candidate;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool AtomicFileWriter::Open(const std::filesystem::path& requested, bool named) {
  Abort();
  m_failed = false;
  m_problem = FileProblem::kNone;
  m_target = SaveTargetOf(requested);
  if (!m_target.has_filename()) return Fail(FileProblem::kTargetNotWritable);
  // A rename would put a regular file in the place of a pipe, a device or a
  // folder (or a link that leads nowhere): such a target is never replaced.
  struct stat old {};
  const bool exists = ::lstat(m_target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return Fail(FileProblem::kTargetIsFolder);
  if (exists && !S_ISREG(old.st_mode)) return Fail(FileProblem::kTargetNotRegular);
  // Renaming over the target needs only the folder's permission; a file the
  // user cannot write to is refused as opening it for writing would be.
  if (exists && ::access(m_target.c_str(), W_OK) != 0)
    return Fail(errno == EROFS ? FileProblem::kReadOnlyMount : FileProblem::kTargetNotWritable);
  std::filesystem::path folder = m_target.parent_path();
  if (folder.empty()) folder = ".";

  // A file system without unnamed files (or an old kernel) refuses O_TMPFILE
  // with one error or another; the named temporary file works everywhere, and
  // its own failure then says why.
  if ((named || !OpenUnnamed(folder)) && !OpenNamed(folder)) return false;
  // Held until the writer is done: the lock tells a later save that this
  // temporary file is no leftover while this process lives.
  (void)::flock(m_fd, LOCK_EX | LOCK_NB);

  if (!exists) return true;
  // A file that is replaced keeps its owner, group and permissions. Giving a
  // file to another owner needs privileges a user does not have; then the
  // save is refused rather than taking the file from its owner.
  struct stat mine {};
  if (::fstat(m_fd, &mine) != 0) return Fail(FileProblem::kWriteFailed);
  if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) &&
      ::fchown(m_fd, old.st_uid, old.st_gid) != 0)
    return Fail(FileProblem::kOwnerNotKept);
  // After fchown, which may clear the set-user and set-group bits.
  if (::fchmod(m_fd, old.st_mode & 07777) != 0) return Fail(FileProblem::kWriteFailed);
  return true;
}

void AtomicFileWriter::RemoveLeftovers() const {
  std::filesystem::path folder = m_target.parent_path();
  if (folder.empty()) folder = ".";
  const std::string prefix = TemporaryPrefix(m_target);
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return;
  DIR* dir = ::fdopendir(dirFd);
  if (!dir) {
    ::close(dirFd);
    return;
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    // Exactly the names Open makes for this target: the prefix and six letters.
    if (name.size() != prefix.size() + 6 || !name.starts_with(prefix)) continue;
    const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      (void)::unlinkat(dirFd, entry->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}

bool AtomicFileWriter::Write(std::string_view data) {
  if (m_fd < 0 || m_failed) return false;
  while (!data.empty()) {
    const ssize_t written = ::write(m_fd, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      // Disk full, or EFBIG beyond the file size limit (with SIGXFSZ ignored,
      // as the application does): a failure like any other.
      m_failed = true;
      m_problem = FileProblem::kWriteFailed;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool AtomicFileWriter::Commit() {
  if (m_fd < 0 || m_failed) {
    if (m_problem == FileProblem::kNone) m_problem = FileProblem::kWriteFailed;
    Abort();
    return false;
  }
  const bool synced = ::fsync(m_fd) == 0;
  // An unnamed file gets its name only now, once its data are on the disk.
  if (synced && m_temporary.empty() && !NameUnnamed()) {
    m_problem = ProblemOfErrno(errno);
    Abort();
    return false;
  }
  // The lock goes with the last descriptor: a copy keeps it over the rename,
  // so that no other save takes the file for a leftover in between.
  const int lockFd = ::dup(m_fd);
  // close reports delayed write errors on some file systems: checked too.
  const bool closed = ::close(m_fd) == 0;
  m_fd = -1;
  const bool renamed = synced && closed && ::rename(m_temporary.c_str(), m_target.c_str()) == 0;
  if (lockFd >= 0) ::close(lockFd);
  if (!renamed) {
    m_problem = FileProblem::kWriteFailed;
    Abort();
    return false;
  }
  m_temporary.clear();
  RemoveLeftovers();
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
