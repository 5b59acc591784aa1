// The command-line conversions between .ftf and GEDCOM files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <ostream>

#include "formats/gedcom/GedcomDetail.h"
#include "formats/gedcom/GedcomWriterSink.h"
#include "model/AtomicFile.h"
#include "model/FileBytes.h"
#include "model/FtfCodec.h"

namespace gedcom {

namespace {

// The whole file, or false with the reason in `error`.
bool ReadFile(const std::filesystem::path& file, std::string& bytes, std::string& error) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = "not a regular file";
    return false;
  }
  bytes.resize(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (true) {
    if (done == bytes.size()) bytes.resize(bytes.size() + 65536);  // a file that grows
    const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      return false;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return true;
}

const char* LoadMessage(int result) {
  switch (result) {
    case kFileBadDate:
      return "dates that make no sense or a field that is no number";
    case kFileBadRelation:
      return "a father who is not in the file, or the file ends early";
    case kFileCannotOpen:
      return "the file cannot be opened or is no text";
    case kFileNoMemory:
      return "memory ran out";
    case kFileNoRoot:
      return "the file holds no member";
    default:
      return "unknown failure";
  }
}

}  // namespace

FileStatus WriteGedcomFile(const COperationClanbook& genealogy, GedcomVersion version,
                           const std::filesystem::path& path) {
  try {
    return ftf::WriteFileAtomically(path, genealogy, [&](const WriteSink& sink) {
      bool ok = true;
      detail::WriteGedcom(genealogy, version, [&](std::string& piece, bool) {
        ok = ok && sink(piece);
        piece.clear();
        return ok;
      });
      return ok ? FileStatus{} : Failure(kFileCannotWrite, FileProblem::kWriteFailed);
    });
  } catch (const std::bad_alloc&) {
    return Failure(kFileCannotWrite, FileProblem::kNoMemory);  // the temporary file is removed
  }
}

int ExportGedcomFile(const std::filesystem::path& in, const std::filesystem::path& out,
                     GedcomVersion version, std::ostream& messages) {
  // Written over its own book, the export would leave no book to export again.
  if (OutputIsInput(out, {in})) {
    messages << out.string()
             << ": cannot be written: " << DescribeWriteProblem(FileProblem::kTargetIsInput)
             << "; nothing written\n";
    return 2;
  }
  COperationClanbook genealogy;
  const int loaded = genealogy.Load(in);
  if (loaded != kFileOk) {
    messages << in.string() << ": " << LoadMessage(loaded) << " (code " << loaded << ")\n";
    return 1;
  }
  if (const FileStatus written = WriteGedcomFile(genealogy, version, out); !written.Ok()) {
    messages << out.string() << ": cannot be written: " << DescribeWriteProblem(written.problem)
             << '\n';
    return 2;
  }
  return 0;
}

int ImportGedcomFile(const std::filesystem::path& in, const std::filesystem::path& out,
                     const std::optional<std::string>& rootXref, std::ostream& report) {
  if (OutputIsInput(out, {in})) {
    report << out.string()
           << ": cannot be written: " << DescribeWriteProblem(FileProblem::kTargetIsInput)
           << "; nothing written\n";
    return 2;
  }
  std::string bytes, error;
  if (!ReadFile(in, bytes, error)) {
    report << in.string() << ": " << error << "\n";
    return 1;
  }
  COperationClanbook genealogy;
  GedcomImportReport changes;
  GedcomImportOptions options;
  options.rootXref = rootXref;
  const GedcomResult result = ReadGedcom(bytes, options, genealogy, changes);
  if (!result) {
    report << in.string();
    if (result.line) report << ":" << result.line;
    report << ": " << result.detail << "\n";
    return 1;
  }
  bytes = std::string();  // not needed any more: the memory goes back before saving
  changes.Write(report);
  if (const FileStatus saved = ftf::SaveFile(out, genealogy); !saved.Ok()) {
    report << out.string() << ": cannot be written: " << DescribeWriteProblem(saved.problem)
           << '\n';
    return 2;
  }
  return 0;
}

}  // namespace gedcom
