// The command-line conversions between .ftf and GEDCOM files.
#include <cstring>
#include <new>
#include <ostream>

#include "formats/FtfFormat.h"
#include "formats/gedcom/Gedcom.h"
#include "formats/gedcom/GedcomFormat.h"
#include "formats/io/AtomicFile.h"
#include "formats/io/FileBytes.h"

namespace gedcom {

namespace {

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
  formats::GedcomFormat format(version);
  return formats::WriteFile(format, genealogy, path);
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
  const int loaded = formats::LoadFtf(in, genealogy).code;
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
  COperationClanbook genealogy;
  formats::GedcomFormat format;
  format.options.rootXref = rootXref;
  // The file's bytes go back before the genealogy is saved.
  int error = 0;
  const FileStatus read = fileio::ReadFileBytes(
      in,
      [&](std::string_view bytes, const ReadProgress& progress) {
        return format.Read(bytes, genealogy, progress);
      },
      {}, &error);
  if (const GedcomResult& result = format.Result(); !result) {
    report << in.string();
    if (result.line) report << ":" << result.line;
    report << ": " << result.detail << "\n";
    return 1;
  }
  if (!read.Ok()) {  // the file could not be read at all
    report << in.string() << ": " << (error ? std::strerror(error) : "not a regular file") << "\n";
    return 1;
  }
  const GedcomImportReport& changes = format.Report();
  changes.Write(report);
  if (const FileStatus saved = formats::SaveFtf(out, genealogy); !saved.Ok()) {
    report << out.string() << ": cannot be written: " << DescribeWriteProblem(saved.problem)
           << '\n';
    return 2;
  }
  return 0;
}

}  // namespace gedcom
