#include "formats/CbkFormat.h"

#include <memory>

#include "formats/FormatRegistry.h"
#include "formats/cbk/CbkBook.h"
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
                        const ReadProgress& progress) {
  const FormatEntry* entry = FormatOfFile(path.string());
  if (!entry || !entry->reads) {
    out.Clear();
    return Failure(kFileCannotOpen, FileProblem::kCannotOpen);
  }
  if (entry->id == FormatId::kCbk) {
    std::unique_ptr<CbkBook> book;
    return CbkBook::Open(path, CbkBook::Access::kReadOnly, out, book, progress);
  }
  return ReadFile(*MakeFormat(entry->id), path, out, progress);
}

WriteResult WriteBookFile(const std::filesystem::path& path, COperationClanbook& genealogy,
                          const std::filesystem::path& photosFrom) {
  const FormatEntry* entry = FormatOfFile(path.string());
  if (!entry || !entry->writes) return Failure(kFileCannotWrite, FileProblem::kTargetNotWritable);
  if (entry->id != FormatId::kCbk) return WriteFile(*MakeFormat(entry->id), genealogy, path);
  std::unique_ptr<CbkBook> source;
  if (!photosFrom.empty()) {
    COperationClanbook unused;
    // Only its pictures are wanted; the book is read already.
    (void)CbkBook::Open(photosFrom, CbkBook::Access::kReadOnly, unused, source);
  }
  return CbkBook::SaveAs(path, genealogy, source.get());
}

}  // namespace formats
