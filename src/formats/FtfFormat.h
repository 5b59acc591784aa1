// The program's own file, .ftf: one record a line in pre-order, UTF-8 (older
// files: GB18030, or UTF-16 with a byte-order mark). docs/file-format.md
// describes it, its encodings and its refusals.
#pragma once

#include <vector>

#include "formats/FileFormat.h"
#include "formats/PoemFile.h"
#include "model/MemberRecord.h"

namespace formats {

class FtfFormat final : public FileFormat {
public:
  ReadResult Read(std::string_view bytes, COperationClanbook& out,
                  const ReadProgress& progress) override;
  WriteResult Write(const COperationClanbook& genealogy, const WriteSink& sink) override;
  using FileFormat::Write;

  // The first member Write would refuse and why, checked without writing, so
  // that a caller can tell the user before anything is saved.
  static WriteResult CheckWritable(const COperationClanbook& genealogy);
};

// The .ftf file at `path` read into `out` (emptied first; empty on failure).
// Only a regular file is read, and never held whole beside the genealogy
// (formats/io/FileBytes.h).
ReadResult LoadFtf(const std::filesystem::path& path, COperationClanbook& out,
                   const ReadProgress& progress = {});
// LoadFtf with the 字辈 of the poem file beside the .ftf (formats/PoemFile.h)
// in the book's data, as every reader of a whole book takes it; `poem` learns
// what reading that file gave (kMissing when the .ftf itself was not read).
ReadResult LoadFtfBook(const std::filesystem::path& path, COperationClanbook& out,
                       const ReadProgress& progress = {}, PoemFileResult* poem = nullptr);
// The genealogy written to `path` as .ftf through the atomic save: kFileOk
// or kFileCannotWrite, never a damaged or partial file in place of the old
// one, and nothing written for an empty genealogy.
WriteResult SaveFtf(const std::filesystem::path& path, const COperationClanbook& genealogy);

// What a .ftf and the poem file beside it (formats/PoemFile.h) would drop of
// the book, in the order of RecordField: every field beyond the ten
// (FieldsBeyondTenFields) but a 字辈 the poem file keeps. Empty when they
// keep everything.
std::vector<RecordField> FieldsFtfDoesNotKeep(const COperationClanbook& genealogy);

}  // namespace formats
