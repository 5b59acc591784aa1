#include "formats/io/FileBytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "formats/io/AtomicFile.h"
#include "model/COperationClanbook.h"

namespace {

constexpr std::size_t kPiece = 1 << 20;

fileio::FileCheck::Refused Refusal(const struct stat& info, std::size_t maxBytes) {
  using fileio::FileCheck;
  if (S_ISDIR(info.st_mode)) return FileCheck::Refused::kFolder;
  if (!S_ISREG(info.st_mode)) return FileCheck::Refused::kNotRegular;
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) return FileCheck::Refused::kTooLarge;
  return FileCheck::Refused::kNone;
}

}  // namespace

namespace fileio {

FileStatus ReadFileBytes(const std::filesystem::path& path, const ReadBytes& read,
                         const ReadProgress& progress, int* error) {
  FileCheck check;
  FileStatus status = ReadFileBytes(path, read, check, progress);
  if (error) *error = check.error;
  return status;
}

FileStatus ReadFileBytes(const std::filesystem::path& path, const ReadBytes& read, FileCheck& check,
                         const ReadProgress& progress) {
  check.refused = FileCheck::Refused::kNone;
  check.error = 0;
  const auto refuse = [&check](FileCheck::Refused why) {
    check.refused = why;
    return Failure(kFileCannotOpen, FileProblem::kCannotOpen);
  };
  // Only a regular file: a device or a pipe could be read without end, and
  // opening some devices does something; they are refused before the open.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    check.error = errno;
    return Failure(kFileCannotOpen, FileProblem::kCannotOpen);
  }
  if (const FileCheck::Refused why = Refusal(info, check.maxBytes);
      why != FileCheck::Refused::kNone)
    return refuse(why);
  // The name may lead somewhere else by the time it is opened. O_NONBLOCK:
  // opening a named pipe put there meanwhile must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    check.error = errno;
    return Failure(kFileCannotOpen, FileProblem::kCannotOpen);
  }
  if (::fstat(fd, &info) != 0) {
    check.error = errno;
    ::close(fd);
    return Failure(kFileCannotOpen, FileProblem::kCannotOpen);
  }
  if (const FileCheck::Refused why = Refusal(info, check.maxBytes);
      why != FileCheck::Refused::kNone) {
    ::close(fd);
    return refuse(why);
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  if (size == 0) {
    ::close(fd);
    return read({}, progress);
  }
  void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  const int mapError = mapped == MAP_FAILED ? errno : 0;
  ::close(fd);
  if (mapped == MAP_FAILED) {
    check.error = mapError;
    return mapError == ENOMEM ? Failure(kFileNoMemory, FileProblem::kNoMemory)
                              : Failure(kFileCannotOpen, FileProblem::kCannotOpen);
  }
  (void)::madvise(mapped, size, MADV_SEQUENTIAL);
  // The pages already read go back to the page cache as the read goes on
  // (the reader never looks back but to read the whole file again, which
  // maps them in once more): the file's bytes never stand whole in memory
  // beside the genealogy.
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  std::size_t released = 0;
  const ReadProgress release = [&](std::size_t done, std::size_t total) {
    const std::size_t upTo = done > kPiece ? (done - kPiece) / page * page : 0;
    if (upTo > released) {
      (void)::madvise(static_cast<char*>(mapped) + released, upTo - released, MADV_DONTNEED);
      released = upTo;
    }
    return !progress || progress(done, total);
  };
  FileStatus status = read(std::string_view(static_cast<const char*>(mapped), size), release);
  ::munmap(mapped, size);
  return status;
}

FileStatus WriteFileAtomically(const std::filesystem::path& path,
                               const COperationClanbook& genealogy,
                               const std::function<FileStatus(const WriteSink& sink)>& write) {
  // Nothing to save never touches the disk, whatever the target holds.
  if (!genealogy.GetRootLink()) return Failure(kFileCannotWrite, FileProblem::kNothingToSave);
  AtomicFileWriter file;
  if (!file.Open(path)) return Failure(kFileCannotWrite, file.Problem());
  FileStatus status = write([&file](std::string_view piece) { return file.Write(piece); });
  if (status.problem == FileProblem::kWriteFailed && file.Problem() != FileProblem::kNone)
    status.problem = file.Problem();
  if (!status.Ok()) return status;  // the writer removes its temporary file
  if (!file.Commit()) return Failure(kFileCannotWrite, file.Problem());
  return status;
}

}  // namespace fileio
