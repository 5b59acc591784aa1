#include "formats/cbk/CbkBook.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "formats/cbk/CbkSql.h"
#include "formats/io/AtomicFile.h"
#include "model/BookChanges.h"
#include "model/COperationClanbook.h"

#include "formats/cbk/CbkRows.h"

namespace formats::cbk {

FileStatus Problem(FileProblem problem) {
  int code = kFileCannotOpen;
  switch (problem) {
    case FileProblem::kNoMemory:
      code = kFileNoMemory;
      break;
    case FileProblem::kBadBirthDate:
    case FileProblem::kBadDeathDate:
    case FileProblem::kBornBeforeFather:
      code = kFileBadDate;
      break;
    case FileProblem::kWriteFailed:
    case FileProblem::kBookReadOnly:
    case FileProblem::kTargetNotWritable:
      code = kFileCannotWrite;
      break;
    default:
      break;
  }
  return Failure(code, problem);
}

}  // namespace formats::cbk

namespace formats {

using cbk::Statement;

using cbk::CheckFile;
using cbk::CheckOpened;
using cbk::Configure;
using cbk::kDetailTexts;
using cbk::Problem;

namespace {

// --- writing -----------------------------------------------------------------

// The statements a save writes with.
struct Writer {
  // `empty`: the database has no rows yet (Save As), so that a member's row
  // is only inserted, without the search for one to update.
  explicit Writer(sqlite3* db, bool empty = false)
      : member(db, empty ? "INSERT INTO member VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
                           "?11, ?12, ?13)"
                         : "INSERT INTO member VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
                           "?11, ?12, ?13) "
                           "ON CONFLICT(id) DO UPDATE SET parent = ?2, elder = ?3, name = ?4, "
                           "birth_year = ?5, birth_month = ?6, birth_day = ?7, married = ?8, "
                           "address = ?9, alive = ?10, death_year = ?11, death_month = ?12, "
                           "death_day = ?13"),
        detail(db,
               "INSERT INTO detail VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
               "?14, ?15, ?16, ?17)"),
        spouse(db,
               "INSERT INTO spouse VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
               "?14, ?15, ?16)"),
        source(db, "INSERT INTO source VALUES (?1, ?2, ?3, ?4)"),
        newPhoto(db, "INSERT INTO photo (member, seq, caption, bytes) VALUES (?1, ?2, ?3, ?4)"),
        copiedPhoto(db,
                    "INSERT INTO photo (id, member, seq, caption, bytes) VALUES (?1, ?2, ?3, "
                    "?4, ?5)"),
        keptPhoto(db, "UPDATE photo SET member = ?2, seq = ?3, caption = ?4 WHERE id = ?1"),
        photosOf(db, "SELECT id FROM photo WHERE member = ?1"),
        dropPhoto(db, "DELETE FROM photo WHERE id = ?1"),
        dropDetail(db, "DELETE FROM detail WHERE member = ?1"),
        dropSpouses(db, "DELETE FROM spouse WHERE member = ?1"),
        dropSources(db, "DELETE FROM source WHERE member = ?1"),
        dropMember(db, "DELETE FROM member WHERE id = ?1"),
        book(db, "INSERT OR REPLACE INTO book VALUES (1, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"),
        m_db(db) {}

  bool Ok() const {
    return member.Ok() && detail.Ok() && spouse.Ok() && source.Ok() && newPhoto.Ok() &&
           copiedPhoto.Ok() && keptPhoto.Ok() && photosOf.Ok() && dropPhoto.Ok() &&
           dropDetail.Ok() && dropSpouses.Ok() && dropSources.Ok() && dropMember.Ok() && book.Ok();
  }

  // A picture given its row by this save, applied once the save is whole.
  struct NewPhoto {
    MemberNode* member;
    std::size_t index;
    std::uint32_t id;
  };

  int WriteMember(const MemberNode& m, std::uint32_t parentRow, std::uint32_t elderRow);
  // The member's record; `fresh`: the file has none of his rows yet.
  int WriteRecord(MemberNode& m, bool fresh, const CbkBook* photos);
  int WriteBook(const BookData& data);

  Statement member, detail, spouse, source, newPhoto, copiedPhoto, keptPhoto, photosOf, dropPhoto,
      dropDetail, dropSpouses, dropSources, dropMember, book;
  std::vector<NewPhoto> added;
  bool imageOnly = false;
  sqlite3* m_db;
};

int Writer::WriteMember(const MemberNode& m, std::uint32_t parentRow, std::uint32_t elderRow) {
  member.Bind(1, m.extra.row);
  if (parentRow)
    member.Bind(2, parentRow);
  else
    member.BindNull(2);
  if (elderRow)
    member.Bind(3, elderRow);
  else
    member.BindNull(3);
  member.Bind(4, m.name);
  member.Bind(5, m.birthYear);
  member.Bind(6, m.birthMonth);
  member.Bind(7, m.birthDay);
  member.Bind(8, m.married);
  member.Bind(9, m.address);
  member.Bind(10, m.alive);
  member.Bind(11, m.deathYear);
  member.Bind(12, m.deathMonth);
  member.Bind(13, m.deathDay);
  return member.Run();
}

int Writer::WriteRecord(MemberNode& m, bool fresh, const CbkBook* photos) {
  const std::uint32_t row = m.extra.row;
  int result = SQLITE_DONE;
  auto run = [&result](Statement& statement) {
    if (result == SQLITE_DONE) result = statement.Run();
  };
  if (!fresh) {
    dropDetail.Bind(1, row);
    run(dropDetail);
    dropSpouses.Bind(1, row);
    run(dropSpouses);
    dropSources.Bind(1, row);
    run(dropSources);
  }
  const MemberRecord& record = m.extra.Record();
  // A detail row when it would hold anything (no copy of the record to ask).
  bool detailed = record.sex != Sex::kMale || record.mother != -1;
  for (const RecordField field : kDetailTexts) detailed = detailed || !record.Text(field).empty();
  if (detailed) {
    detail.Bind(1, row);
    detail.Bind(2, static_cast<std::int64_t>(record.sex));
    for (int i = 0; i < 14; ++i) detail.Bind(3 + i, record.Text(kDetailTexts[i]));
    detail.Bind(17, record.mother);
    run(detail);
  }
  for (std::size_t i = 0; i < record.spouses.size(); ++i) {
    const Spouse& s = record.spouses[i];
    spouse.Bind(1, row);
    spouse.Bind(2, static_cast<std::int64_t>(i));
    spouse.Bind(3, static_cast<std::int64_t>(s.title));
    spouse.Bind(4, s.surname);
    spouse.Bind(5, s.givenName);
    spouse.Bind(6, s.origin);
    spouse.Bind(7, s.father);
    spouse.Bind(8, s.birthYear);
    spouse.Bind(9, s.birthMonth);
    spouse.Bind(10, s.birthDay);
    spouse.Bind(11, s.alive);
    spouse.Bind(12, s.deathYear);
    spouse.Bind(13, s.deathMonth);
    spouse.Bind(14, s.deathDay);
    spouse.Bind(15, s.burial);
    spouse.Bind(16, s.note);
    run(spouse);
  }
  for (std::size_t i = 0; i < record.sources.size(); ++i) {
    source.Bind(1, row);
    source.Bind(2, static_cast<std::int64_t>(i));
    source.Bind(3, record.sources[i].title);
    source.Bind(4, record.sources[i].detail);
    run(source);
  }
  // Pictures: those the file keeps are moved and captioned in place, the
  // others written, and the member's pictures no longer listed dropped.
  std::vector<std::uint32_t> listed;
  for (std::size_t i = 0; i < record.photos.size() && result == SQLITE_DONE; ++i) {
    const Photo& photo = record.photos[i];
    if (photo.id && !photo.bytes && fresh) {
      std::string bytes;
      if (imageOnly) continue;  // an image in memory (WriteCbkImage) leaves them out
      if (!photos || !photos->ReadPhoto(photo.id, bytes)) return SQLITE_NOTFOUND;
      copiedPhoto.Bind(1, photo.id);
      copiedPhoto.Bind(2, row);
      copiedPhoto.Bind(3, static_cast<std::int64_t>(i));
      copiedPhoto.Bind(4, photo.caption);
      copiedPhoto.BindBlob(5, bytes);
      run(copiedPhoto);
      listed.push_back(photo.id);
    } else if (photo.id && !photo.bytes) {
      keptPhoto.Bind(1, photo.id);
      keptPhoto.Bind(2, row);
      keptPhoto.Bind(3, static_cast<std::int64_t>(i));
      keptPhoto.Bind(4, photo.caption);
      run(keptPhoto);
      listed.push_back(photo.id);
    } else {
      if (!photo.bytes) return SQLITE_MISUSE;
      newPhoto.Bind(1, row);
      newPhoto.Bind(2, static_cast<std::int64_t>(i));
      newPhoto.Bind(3, photo.caption);
      newPhoto.BindBlob(4, *photo.bytes);
      run(newPhoto);
      const auto id = static_cast<std::uint32_t>(sqlite3_last_insert_rowid(m_db));
      added.push_back({&m, i, id});
      listed.push_back(id);
    }
  }
  if (!fresh && result == SQLITE_DONE) {
    std::vector<std::int64_t> unlisted;
    photosOf.Bind(1, row);
    int step;
    while ((step = photosOf.Step()) == SQLITE_ROW) {
      const std::int64_t id = photosOf.Int(0);
      bool kept = false;
      for (const std::uint32_t l : listed) kept |= l == id;
      if (!kept) unlisted.push_back(id);
    }
    photosOf.Reset();
    if (step != SQLITE_DONE) return step;
    for (const std::int64_t id : unlisted) {
      dropPhoto.Bind(1, id);
      run(dropPhoto);
    }
  }
  return result;
}

int Writer::WriteBook(const BookData& data) {
  book.Bind(1, data.title);
  book.Bind(2, data.hallName);
  book.Bind(3, data.clanSeat);
  book.Bind(4, data.editionYear);
  book.Bind(5, data.editors);
  book.Bind(6, data.preface);
  book.Bind(7, data.rules);
  book.Bind(8, data.precepts);
  book.Bind(9, data.generationPoem);
  book.Bind(10, data.poemFirstGeneration);
  return book.Run();
}

// The pictures written by a save that is whole: their rows are theirs now,
// and their bytes are read from the file when shown.
void SettlePhotos(const std::vector<Writer::NewPhoto>& added) {
  for (const Writer::NewPhoto& p : added) {
    Photo& photo = p.member->extra.EditRecord().photos[p.index];
    photo.id = p.id;
    photo.bytes.reset();
  }
}

// Writes the whole book into an empty database, in one transaction. The
// members without a row are given the next free ones, after `lastRow` (the
// highest row the book's history may hold) and listed in `given`.
FileStatus WriteAll(sqlite3* db, COperationClanbook& genealogy, const CbkBook* photos,
                    std::uint32_t& lastRow, std::vector<Writer::NewPhoto>& added,
                    std::vector<MemberNode*>& given, bool imageOnly = false) {
  if (!genealogy.Root()) return Failure(kFileCannotWrite, FileProblem::kNothingToSave);
  char pragmas[128];
  std::snprintf(pragmas, sizeof pragmas, "PRAGMA application_id = %d; PRAGMA user_version = %d;",
                kCbkApplicationId, kCbkSchemaVersion);
  if (cbk::Exec(db, pragmas) != SQLITE_OK || cbk::Exec(db, "BEGIN") != SQLITE_OK ||
      cbk::Exec(db, cbk::kSchema) != SQLITE_OK)
    return Problem(FileProblem::kWriteFailed);
  Writer writer(db, true);
  if (!writer.Ok()) return Problem(FileProblem::kWriteFailed);
  writer.imageOnly = imageOnly;

  // The rows already given keep their numbers; the others take the next free ones.
  std::uint32_t& last = lastRow;
  std::vector<MemberNode*> pending{genealogy.Root()};
  while (!pending.empty()) {
    MemberNode* m = pending.back();
    pending.pop_back();
    last = std::max(last, m->extra.row);
    if (m->nextSibling) pending.push_back(m->nextSibling);
    if (m->firstChild) pending.push_back(m->firstChild);
  }
  int result = writer.WriteBook(genealogy.Book());
  // Pre-order, each member after his father and his elder brother.
  struct Step {
    MemberNode* member;
    std::uint32_t elderRow;
  };
  std::vector<Step> steps{{genealogy.Root(), 0}};
  while (!steps.empty() && result == SQLITE_DONE) {
    const Step step = steps.back();
    steps.pop_back();
    MemberNode& m = *step.member;
    if (!m.extra.row) {
      m.extra.row = ++last;
      given.push_back(&m);
    }
    result = writer.WriteMember(m, m.parent ? m.parent->extra.row : 0, step.elderRow);
    if (result == SQLITE_DONE && m.extra.HasRecord()) result = writer.WriteRecord(m, true, photos);
    if (m.nextSibling) steps.push_back({m.nextSibling, m.extra.row});
    if (m.firstChild) steps.push_back({m.firstChild, 0});
  }
  if (result != SQLITE_DONE || cbk::Exec(db, "COMMIT") != SQLITE_OK) {
    cbk::Exec(db, "ROLLBACK");
    return Problem(result == SQLITE_NOMEM ? FileProblem::kNoMemory : FileProblem::kWriteFailed);
  }
  added = std::move(writer.added);
  return {};
}

// `shared`: the connection may be used from more than one thread (one at a
// time), which makes SQLite take its mutex in every call.
int OpenDatabase(const std::filesystem::path& path, bool readOnly, sqlite3** db,
                 bool shared = true) {
  const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                    (shared ? SQLITE_OPEN_FULLMUTEX : SQLITE_OPEN_NOMUTEX) | SQLITE_OPEN_EXRESCODE;
  const int result = sqlite3_open_v2(path.c_str(), db, flags, nullptr);
  if (result != SQLITE_OK) {
    sqlite3_close(*db);
    *db = nullptr;
  }
  return result;
}

// Takes the lock that marks the book as open for writing in this program;
// -1 when another program holds it (kBookInUse) or the file cannot be
// opened. Held by an open descriptor, it ends with the process however that
// ends.
int TakeLock(const std::filesystem::path& path, FileProblem& problem) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    problem = FileProblem::kCannotOpen;
    return -1;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    problem = errno == EWOULDBLOCK ? FileProblem::kBookInUse : FileProblem::kCannotOpen;
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

CbkBook::~CbkBook() {
  // SQLite's own locks are POSIX locks, which any close of the file drops:
  // the lock's descriptor goes only after the database.
  sqlite3_close(m_db);
  if (m_lockFd >= 0) ::close(m_lockFd);
}

FileStatus CbkBook::Open(const std::filesystem::path& path, Access access, COperationClanbook& out,
                         std::unique_ptr<CbkBook>& book, const ReadProgress& progress) {
  out.Clear();
  book.reset();
  if (FileStatus status = CheckFile(path); !status.Ok()) return status;
  std::unique_ptr<CbkBook> opened(new CbkBook);
  opened->m_path = path;
  opened->m_access = access;
  if (access == Access::kReadWrite) {
    FileProblem problem = FileProblem::kNone;
    opened->m_lockFd = TakeLock(path, problem);
    if (opened->m_lockFd < 0) return Problem(problem);
  }
  const bool readOnly = access == Access::kReadOnly;
  {
    // The rows are read on a connection of this thread alone: a shared one
    // takes its mutex twice for each column of each row, a tenth of the
    // read. The book is then held on a shared one.
    sqlite3* reading = nullptr;
    if (const int r = OpenDatabase(path, readOnly, &reading, false); r != SQLITE_OK)
      return Problem(cbk::ReadProblemOf(r));
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(reading, sqlite3_close);
    if (const int r = Configure(reading); r != SQLITE_OK)
      return Problem(cbk::ReadProblemOf(sqlite3_extended_errcode(reading)));
    if (FileStatus status = CheckOpened(reading, &path); !status.Ok()) return status;
    // One read transaction: the book as one save left it.
    if (cbk::Exec(reading, "BEGIN") != SQLITE_OK) return Problem(FileProblem::kCannotOpen);
    FileStatus status = cbk::ReadRows(reading, out, progress, opened->m_lastRow);
    cbk::Exec(reading, "COMMIT");
    if (!status.Ok()) return status;
  }
  if (const int r = OpenDatabase(path, readOnly, &opened->m_db);
      r != SQLITE_OK || Configure(opened->m_db) != SQLITE_OK) {
    out.Clear();
    return Problem(cbk::ReadProblemOf(r != SQLITE_OK ? r : sqlite3_extended_errcode(opened->m_db)));
  }
  book = std::move(opened);
  return {};
}

FileStatus CbkBook::SaveAs(const std::filesystem::path& path, COperationClanbook& genealogy,
                           const CbkBook* photos, std::unique_ptr<CbkBook>* book) {
  if (!genealogy.Root()) return Failure(kFileCannotWrite, FileProblem::kNothingToSave);
  const std::filesystem::path target = SaveTargetOf(path);
  // Another program's open book is not taken from under it; this program's
  // own file (the one the pictures come from) is replaced as a save would.
  const bool own = photos && OutputIsInput(target, {photos->Path()});
  if (!own && ::access(target.c_str(), F_OK) == 0) {
    FileProblem problem = FileProblem::kNone;
    const int fd = TakeLock(target, problem);
    if (fd < 0 && problem == FileProblem::kBookInUse) return Problem(problem);
    if (fd >= 0) ::close(fd);
  }
  AtomicFileWriter file;
  if (!file.Open(target, true)) return Failure(kFileCannotWrite, file.Problem());
  sqlite3* db = nullptr;
  // The new file's connection is this function's alone: no mutex in every call.
  if (sqlite3_open_v2(file.TemporaryPath().c_str(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return Problem(FileProblem::kWriteFailed);
  }
  // A new file nobody reads yet: no journal while it is made; the writer
  // flushes it to the disk before it takes the target's place.
  Configure(db);
  cbk::Exec(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -65536;");
  std::vector<Writer::NewPhoto> added;
  std::vector<MemberNode*> given;
  std::uint32_t last = photos ? photos->m_lastRow : 0;
  FileStatus status = WriteAll(db, genealogy, photos, last, added, given);
  if (sqlite3_close(db) != SQLITE_OK && status.Ok()) status = Problem(FileProblem::kWriteFailed);
  if (status.Ok() && !file.Commit()) status = Failure(kFileCannotWrite, file.Problem());
  if (!status.Ok()) {
    // Rows given to a file that never came to be are no rows.
    for (MemberNode* m : given) m->extra.row = 0;
    return status;
  }
  SettlePhotos(added);
  if (!book) return {};
  std::unique_ptr<CbkBook> opened(new CbkBook);
  opened->m_path = path;
  FileProblem problem = FileProblem::kNone;
  opened->m_lockFd = TakeLock(target, problem);
  if (opened->m_lockFd < 0 || OpenDatabase(path, false, &opened->m_db) != SQLITE_OK ||
      Configure(opened->m_db) != SQLITE_OK)
    return Problem(problem == FileProblem::kNone ? FileProblem::kCannotOpen : problem);
  opened->m_lastRow = last;
  *book = std::move(opened);
  return {};
}

FileStatus CbkBook::SaveChanges(COperationClanbook& genealogy, BookChanges& changes) {
  if (ReadOnly()) return Problem(FileProblem::kBookReadOnly);
  if (!genealogy.Root()) return Failure(kFileCannotWrite, FileProblem::kNothingToSave);
  m_rowsWritten = 0;
  if (changes.Empty()) return {};
  const std::int64_t before = sqlite3_total_changes64(m_db);
  FileStatus status;
  if (changes.WholeBook()) {
    // Changed behind the document's back: written whole, as Save As does.
    std::unique_ptr<CbkBook> replaced;
    status = SaveAs(m_path, genealogy, this, &replaced);
    if (status.Ok()) {
      std::swap(m_db, replaced->m_db);
      std::swap(m_lockFd, replaced->m_lockFd);
      m_lastRow = replaced->m_lastRow;
      m_rowsWritten = -1;
    }
  } else {
    status = WriteChanges(genealogy, changes);
    m_rowsWritten = sqlite3_total_changes64(m_db) - before;
  }
  if (status.Ok()) changes.Clear();
  return status;
}

FileStatus CbkBook::WriteChanges(COperationClanbook& genealogy, const BookChanges& changes) {
  if (cbk::Exec(m_db, "BEGIN IMMEDIATE") != SQLITE_OK) {
    const int code = sqlite3_extended_errcode(m_db);
    return Problem((code & 0xFF) == SQLITE_READONLY ? FileProblem::kTargetNotWritable
                                                    : FileProblem::kWriteFailed);
  }
  // A book of an older schema is brought up to this one by the same
  // transaction, before the statements of this one are made.
  const int upgraded = cbk::Upgrade(m_db);
  Writer writer(m_db);
  int result = upgraded != SQLITE_OK ? upgraded : writer.Ok() ? SQLITE_DONE : SQLITE_ERROR;
  for (const std::uint32_t row : changes.Removed()) {
    if (result != SQLITE_DONE) break;
    writer.dropMember.Bind(1, row);
    result = writer.dropMember.Run();
  }
  // Every member written needs his father's and elder brother's rows: a
  // newcomer's father may be new too.
  std::vector<MemberNode*> members(changes.Rows().begin(), changes.Rows().end());
  std::vector<bool> fresh(members.size());
  for (std::size_t i = 0; i < members.size(); ++i)
    if (!members[i]->extra.row) {
      members[i]->extra.row = ++m_lastRow;
      fresh[i] = true;
    }
  for (std::size_t i = 0; i < members.size() && result == SQLITE_DONE; ++i) {
    MemberNode& m = *members[i];
    const MemberNode* elder = genealogy.ElderSibling(&m);
    if ((m.parent && !m.parent->extra.row) || (elder && !elder->extra.row)) {
      result = SQLITE_MISUSE;  // a change the document did not announce
      break;
    }
    result =
        writer.WriteMember(m, m.parent ? m.parent->extra.row : 0, elder ? elder->extra.row : 0);
    if (result == SQLITE_DONE && (m.extra.HasRecord() || !fresh[i]))
      result = writer.WriteRecord(m, fresh[i], this);
  }
  if (result == SQLITE_DONE && changes.Book()) result = writer.WriteBook(genealogy.Book());
  if (result != SQLITE_DONE || cbk::Exec(m_db, "COMMIT") != SQLITE_OK) {
    cbk::Exec(m_db, "ROLLBACK");
    return Problem(result == SQLITE_NOMEM ? FileProblem::kNoMemory : FileProblem::kWriteFailed);
  }
  SettlePhotos(writer.added);
  return {};
}

bool CbkBook::ReadPhoto(std::uint32_t id, std::string& bytes) const {
  Statement select(m_db, "SELECT bytes FROM photo WHERE id = ?1");
  if (!select.Ok()) return false;
  select.Bind(1, id);
  if (select.Step() != SQLITE_ROW) return false;
  bytes.assign(select.Blob(0));
  return true;
}

FileStatus WriteCbkImage(COperationClanbook& genealogy, std::string& out) {
  out.clear();
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    sqlite3_close(db);
    return Problem(FileProblem::kNoMemory);
  }
  Configure(db);
  std::vector<Writer::NewPhoto> added;
  std::vector<MemberNode*> given;
  std::uint32_t last = 0;
  FileStatus status = WriteAll(db, genealogy, nullptr, last, added, given, true);
  // An image belongs to no file the book is saved to: it gives no rows.
  for (MemberNode* m : given) m->extra.row = 0;
  if (status.Ok()) {
    sqlite3_int64 size = 0;
    unsigned char* image = sqlite3_serialize(db, "main", &size, 0);
    if (image)
      out.assign(reinterpret_cast<const char*>(image), static_cast<std::size_t>(size));
    else
      status = Problem(FileProblem::kNoMemory);
    sqlite3_free(image);
  }
  sqlite3_close(db);
  return status;
}

}  // namespace formats
