// The command-line conversions between book files (.ftf, .cbk) and GEDCOM
// files, the pictures of a book in a folder beside the .ged or inside a
// GEDZIP archive (.gdz).
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <ostream>
#include <system_error>

#include "formats/CbkFormat.h"
#include "formats/FormatRegistry.h"
#include "formats/FtfFormat.h"
#include "formats/cbk/CbkBook.h"
#include "formats/gedcom/Gedcom.h"
#include "formats/gedcom/GedcomDetail.h"
#include "formats/gedcom/GedcomFormat.h"
#include "formats/gedcom/GedzipFormat.h"
#include "formats/io/AtomicFile.h"
#include "formats/io/FileBytes.h"
#include "model/TextCodec.h"

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

// English words for the fields a .ftf cannot keep, as the command line
// reports them.
const char* FieldWord(RecordField field) {
  static const char* const kWords[kRecordFields] = {
      "sex",       "courtesy name", "art name",        "rank",         "branch",
      "office",    "birth hour",    "biography",       "burial",       "burial facing",
      "note",      "husband",       "husband's place", "birth father", "second father",
      "mother",    "wives",         "sources",         "pictures",     "book title",
      "hall name", "clan seat",     "edition year",    "editors",      "preface",
      "rules",     "precepts",      "generation poem"};
  return kWords[static_cast<int>(field)];
}

// Why the poem file beside a .ftf was not read, as the command line says it.
const char* PoemProblemWord(PoemProblem problem) {
  switch (problem) {
    case PoemProblem::kLineCount:
      return "not two lines";
    case PoemProblem::kFirstLine:
      return "the first line is no generation number";
    case PoemProblem::kNotUtf8:
      return "the poem is no UTF-8";
    case PoemProblem::kNotIdeograph:
      return "the poem holds something other than Chinese characters";
    case PoemProblem::kNoCharacters:
      return "the poem holds no character";
    case PoemProblem::kFolder:
      return "a folder";
    case PoemProblem::kNotRegular:
      return "no regular file";
    case PoemProblem::kTooLarge:
      return "far too large";
    default:
      return "cannot be read";
  }
}

bool IsBook(const std::filesystem::path& path, formats::FormatId id) {
  const formats::FormatEntry* entry = formats::FormatOfFile(path.string());
  return entry && entry->id == id;
}

}  // namespace

FileStatus WriteGedcomFile(const COperationClanbook& genealogy, GedcomVersion version,
                           const std::filesystem::path& path) {
  formats::GedcomFormat format(version);
  return formats::WriteFile(format, genealogy, path);
}

FileStatus WriteGedcomBook(const COperationClanbook& genealogy, GedcomVersion version,
                           const std::filesystem::path& path, const formats::CbkBook* photos,
                           const PictureLeftOut& leftOut) {
  const std::string folder = path.stem().string() + "-media";
  bool complete = true;
  formats::GedcomFormat format(version);
  format.media = [&](const MediaItem& item, std::string& file, std::string& kind) {
    const Photo& photo = item.photo;
    std::string read;
    const std::string* bytes = photo.bytes.get();
    if (!bytes && photos && photos->ReadPhoto(photo.id, read)) bytes = &read;
    bool ok = bytes != nullptr;
    if (ok) {
      kind = std::string(detail::PictureKind(*bytes));
      file = detail::PictureFileName(folder, item.number, kind);
      std::error_code error;
      std::filesystem::create_directories(path.parent_path() / folder, error);
      std::ofstream stream(path.parent_path() / file, std::ios::binary | std::ios::trunc);
      stream.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
      stream.close();
      ok = static_cast<bool>(stream);
    }
    if (!ok) {
      complete = false;
      if (leftOut) leftOut(item);
    }
    return ok;
  };
  FileStatus written = formats::WriteFile(format, genealogy, path);
  if (written.Ok() && !complete) written = Failure(kFileCannotWrite, FileProblem::kWriteFailed);
  return written;
}

FileStatus WriteGedzipBook(const COperationClanbook& genealogy, const std::filesystem::path& path,
                           const formats::CbkBook* photos,
                           const PictureLeftOut& leftOut) {
  bool complete = true;
  formats::GedzipFormat format;
  if (photos)
    format.photos = [photos](const Photo& photo, std::string& bytes) {
      return photos->ReadPhoto(photo.id, bytes);
    };
  format.leftOut = [&](const MediaItem& item) {
    complete = false;
    if (leftOut) leftOut(item);
  };
  FileStatus written = formats::WriteFile(format, genealogy, path);
  if (written.Ok() && !complete) written = Failure(kFileCannotWrite, FileProblem::kWriteFailed);
  return written;
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
  // A .cbk stays open: its pictures are read from it as they are written.
  std::unique_ptr<formats::CbkBook> book;
  PoemFileResult poem;
  const int loaded =
      IsBook(in, formats::FormatId::kCbk)
          ? formats::CbkBook::Open(in, formats::CbkBook::Access::kReadOnly, genealogy, book).code
          : formats::ReadBookFile(in, genealogy, {}, &poem).code;
  if (loaded != kFileOk) {
    messages << in.string() << ": " << LoadMessage(loaded) << " (code " << loaded << ")\n";
    return 1;
  }
  if (poem.status == PoemFileStatus::kMalformed || poem.status == PoemFileStatus::kCannotRead)
    messages << PoemFileFor(in).string() << ": " << PoemProblemWord(poem.problem)
             << "; the book is written without its generation poem\n";
  const auto leftOut = [&](const MediaItem& item) {
    messages << out.string() << ": picture " << item.position << " of "
             << textcodec::Printable(textcodec::ToUtf8(item.member.name))
             << " cannot be read or written; left out\n";
  };
  // A GEDZIP is 7.0 whatever the version asked: the archive is 7.0's own.
  const FileStatus written = IsBook(out, formats::FormatId::kGedzip)
                                 ? WriteGedzipBook(genealogy, out, book.get(), leftOut)
                                 : WriteGedcomBook(genealogy, version, out, book.get(), leftOut);
  if (!written.Ok() && written.problem != FileProblem::kWriteFailed) {
    messages << out.string() << ": cannot be written: " << DescribeWriteProblem(written.problem)
             << '\n';
  }
  return written.Ok() ? 0 : 2;
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
  formats::GedcomFormat ged;
  formats::GedzipFormat gdz;
  const bool zipped = IsBook(in, formats::FormatId::kGedzip);
  formats::FileFormat& format = zipped ? static_cast<formats::FileFormat&>(gdz) : ged;
  ged.options.rootXref = gdz.options.rootXref = rootXref;
  ged.options.mediaFolder = in.parent_path().empty() ? "." : in.parent_path();
  // The file's bytes go back before the genealogy is saved.
  int error = 0;
  const FileStatus read = fileio::ReadFileBytes(
      in,
      [&](std::string_view bytes, const ReadProgress& progress) {
        return format.Read(bytes, genealogy, progress);
      },
      {}, &error);
  if (const GedcomResult& result = zipped ? gdz.Result() : ged.Result(); !result) {
    report << in.string();
    if (result.line) report << ":" << result.line;
    report << ": " << result.detail << "\n";
    return 1;
  }
  if (!read.Ok()) {  // the file could not be read at all, or is no archive
    report << in.string() << ": "
           << (error    ? std::strerror(error)
               : zipped ? formats::DescribeArchiveProblem(read.problem)
                        : "not a regular file")
           << "\n";
    return 1;
  }
  const GedcomImportReport& changes = zipped ? gdz.Report() : ged.Report();
  changes.Write(report);
  const bool ftf = IsBook(out, formats::FormatId::kFtf);
  if (ftf) {
    // Said, never dropped silently: the .cbk keeps them.
    const std::vector<RecordField> beyond = formats::FieldsFtfDoesNotKeep(genealogy);
    if (!beyond.empty()) {
      report << out.string() << ": a .ftf does not keep";
      for (std::size_t i = 0; i < beyond.size(); ++i)
        report << (i ? ", " : " ") << FieldWord(beyond[i]);
      report << " (a .cbk keeps them)\n";
    }
  }
  PoemSaveResult poem = PoemSaveResult::kSaved;
  if (const FileStatus saved = formats::WriteBookFile(out, genealogy, {}, &poem); !saved.Ok()) {
    report << out.string() << ": cannot be written: " << DescribeWriteProblem(saved.problem)
           << '\n';
    return 2;
  }
  if (poem != PoemSaveResult::kSaved)
    report << PoemFileFor(out).string()
           << (poem == PoemSaveResult::kNameTooLong ? ": name too long" : ": cannot be written")
           << "; the generation poem is not kept beside the book\n";
  return 0;
}

}  // namespace gedcom
