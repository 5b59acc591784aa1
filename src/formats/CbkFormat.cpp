#include "formats/CbkFormat.h"

#include <memory>

#include "formats/FormatRegistry.h"
#include "formats/FtfFormat.h"
#include "formats/cbk/CbkBook.h"
#include "formats/gedcom/GedcomFormat.h"
#include "model/COperationClanbook.h"

namespace formats {

ReadResult CbkFormat::Read(std::string_view bytes, COperationClanbook& out,
                           const ReadProgress& /*progress*/) {
  return ReadCbkImage(bytes, out);
}

WriteResult CbkFormat::Write(const COperationClanbook& genealogy, const WriteSink& sink) {
  std::string image;
  // The writer numbers the rows of members and gives the numbers back
  // before it returns: the genealogy is as it was.
  WriteResult result = WriteCbkImage(const_cast<COperationClanbook&>(genealogy), image);
  if (result.Ok() && !sink(image)) result = Failure(kFileCannotWrite, FileProblem::kWriteFailed);
  return result;
}

ReadResult ReadBookFile(const std::filesystem::path& path, COperationClanbook& out,
                        const ReadProgress& progress, PoemFileResult* poem) {
  if (poem) *poem = NoPoemFile();
  const FormatEntry* entry = FormatOfFile(path.string());
  if (!entry || !entry->reads) {
    out.Clear();
    return Failure(kFileCannotOpen, FileProblem::kCannotOpen);
  }
  if (entry->id == FormatId::kCbk) {
    std::unique_ptr<CbkBook> book;
    return CbkBook::Open(path, CbkBook::Access::kReadOnly, out, book, progress);
  }
  if (entry->id == FormatId::kGedcom) {
    // A .ged names its pictures relative to its own folder.
    GedcomFormat gedcom;
    gedcom.options.mediaFolder = path.parent_path().empty() ? "." : path.parent_path();
    return ReadFile(gedcom, path, out, progress);
  }
  if (entry->id == FormatId::kFtf) return LoadFtfBook(path, out, progress, poem);
  return ReadFile(*MakeFormat(entry->id), path, out, progress);
}

WriteResult WriteBookFile(const std::filesystem::path& path, COperationClanbook& genealogy,
                          const std::filesystem::path& photosFrom, PoemSaveResult* poem) {
  if (poem) *poem = PoemSaveResult::kSaved;
  const FormatEntry* entry = FormatOfFile(path.string());
  if (!entry || !entry->writes) return Failure(kFileCannotWrite, FileProblem::kTargetNotWritable);
  if (entry->id == FormatId::kFtf) {
    const WriteResult written = WriteFile(*MakeFormat(entry->id), genealogy, path);
    if (written.Ok()) {
      const PoemSaveResult saved = SavePoem(path, genealogy.Book());
      if (poem) *poem = saved;
    }
    return written;
  }
  std::unique_ptr<CbkBook> source;
  if (!photosFrom.empty() && FormatOfFile(photosFrom.string()) &&
      FormatOfFile(photosFrom.string())->id == FormatId::kCbk) {
    COperationClanbook unused;
    // Only its pictures are wanted; the book is read already.
    (void)CbkBook::Open(photosFrom, CbkBook::Access::kReadOnly, unused, source);
  }
  if (entry->id == FormatId::kGedcom)
    return gedcom::WriteGedcomBook(genealogy, gedcom::GedcomVersion::v7_0, path, source.get());
  if (entry->id == FormatId::kGedzip) return gedcom::WriteGedzipBook(genealogy, path, source.get());
  return CbkBook::SaveAs(path, genealogy, source.get());
}

}  // namespace formats
