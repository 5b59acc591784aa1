// The program's own book file, .cbk: an SQLite 3 database holding the whole
// book (members, their records, wives, sources, pictures, the book's data).
// docs/file-format.md gives its schema.
//
// A CbkBook is a book file held open while the book is edited: it holds the
// lock that tells other programs the book is open here, reads the pictures
// when they are shown, and saves only what changed. Opening reads every
// member and record into the model; pictures stay in the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "model/FileStatus.h"

class BookChanges;
class COperationClanbook;
struct sqlite3;

namespace formats {

// "CBK1" in the database header: a .cbk and nothing else.
inline constexpr std::int32_t kCbkApplicationId = 0x43424B31;
// The schema this program writes; a file with a higher one is refused, one
// with a lower one is read and brought up to this one by its next save.
// 2: book.poem_first_generation.
inline constexpr std::int32_t kCbkSchemaVersion = 2;

class CbkBook {
public:
  enum class Access { kReadWrite, kReadOnly };

  ~CbkBook();
  CbkBook(const CbkBook&) = delete;
  CbkBook& operator=(const CbkBook&) = delete;

  // Reads the book at `path` into `out` (emptied first; empty on failure) and
  // gives the open file in `book`. Read-write takes the book's lock: a book
  // open read-write in another program is refused with kBookInUse, and may
  // then be opened kReadOnly. Refusals: kCannotOpen, kNotABook,
  // kDamagedBook, kForeignBook, kNewerBook, kNoMemory, kCancelled.
  static FileStatus Open(const std::filesystem::path& path, Access access, COperationClanbook& out,
                         std::unique_ptr<CbkBook>& book, const ReadProgress& progress = {});

  // Writes the whole book as a new file beside `path` and puts it in place
  // (formats/io/AtomicFile.h). Pictures whose bytes are no longer held are
  // copied from `photos` (the file the book was read from), if given.
  // Every member and picture is given its row. With `book`, the new file
  // is held open (and locked) there. A file that another program has open
  // is refused (kBookInUse).
  static FileStatus SaveAs(const std::filesystem::path& path, COperationClanbook& genealogy,
                           const CbkBook* photos, std::unique_ptr<CbkBook>* book = nullptr);

  // Writes what `changes` lists into this file, in one transaction, and
  // empties `changes` on success. kBookReadOnly for a book opened read-only.
  FileStatus SaveChanges(COperationClanbook& genealogy, BookChanges& changes);

  // The bytes of the picture kept in row `id`; false when there is none.
  bool ReadPhoto(std::uint32_t id, std::string& bytes) const;

  const std::filesystem::path& Path() const { return m_path; }
  bool ReadOnly() const { return m_access == Access::kReadOnly; }
  // Rows inserted, changed or deleted by the last save (SQLite's count).
  std::int64_t RowsWritten() const { return m_rowsWritten; }

private:
  CbkBook() = default;
  FileStatus WriteChanges(COperationClanbook& genealogy, const BookChanges& changes);

  std::filesystem::path m_path;
  Access m_access = Access::kReadWrite;
  sqlite3* m_db = nullptr;
  int m_lockFd = -1;
  std::uint32_t m_lastRow = 0;  // the highest member row the file has had
  std::int64_t m_rowsWritten = 0;
};

// Reads a .cbk held in memory (for the FileFormat interface and the fuzzer):
// the same checks and refusals as CbkBook::Open, no lock; the pictures come
// with their bytes, since no file stands behind them.
FileStatus ReadCbkImage(std::string_view bytes, COperationClanbook& out);
// The whole book as the bytes of a .cbk (pictures whose bytes are not held
// are left out).
FileStatus WriteCbkImage(COperationClanbook& genealogy, std::string& out);

}  // namespace formats
