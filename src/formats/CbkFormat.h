// The book file, .cbk (formats/cbk/CbkBook.h), as a FileFormat: a database
// held in memory, for the callers that read and write any format alike
// (branch books, the format table's round trip). Opening a book to edit it
// goes through CbkBook, which keeps the file open, reads pictures when they
// are shown and saves only what changed.
#pragma once

#include "formats/FileFormat.h"
#include "formats/PoemFile.h"

namespace formats {

class CbkFormat final : public FileFormat {
public:
  ReadResult Read(std::string_view bytes, COperationClanbook& out,
                  const ReadProgress& progress) override;
  // Pictures whose bytes are only in the file the book came from are left
  // out; CbkBook::SaveAs copies them.
  WriteResult Write(const COperationClanbook& genealogy, const WriteSink& sink) override;
  using FileFormat::Write;
};

// Any book file read into `out` by the format its name marks (.ftf, .cbk,
// .ged, .gdz); a .cbk is opened read-only and closed again, its pictures left in
// it. kCannotOpen for a name no format reads. A .ftf comes with the 字辈 of
// the poem file beside it; `poem` learns what reading that file gave (a
// poem file that cannot be read leaves the book without a 字辈).
ReadResult ReadBookFile(const std::filesystem::path& path, COperationClanbook& out,
                        const ReadProgress& progress = {}, PoemFileResult* poem = nullptr);
// `genealogy` written to `path` in the format its name marks, through the
// atomic save; the pictures of a .cbk copied from `photosFrom` (a .cbk the
// book was read from), if given. A .ftf written takes its 字辈 to the poem
// file beside it (or removes one of another book); `poem` learns how that
// went.
WriteResult WriteBookFile(const std::filesystem::path& path, COperationClanbook& genealogy,
                          const std::filesystem::path& photosFrom = {},
                          PoemSaveResult* poem = nullptr);

}  // namespace formats
