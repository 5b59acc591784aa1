// Reading a .cbk: its rows into members, records and the tree they make,
// checked as they come (formats/cbk/CbkBook.h opens the file).
#include "formats/cbk/CbkBook.h"
#include "formats/cbk/CbkRows.h"

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

#include "model/COperationClanbook.h"
#include "model/MemberRecord.h"

namespace formats {

using cbk::kDetailTexts;
using cbk::Problem;
using cbk::Statement;

namespace {

// A record's texts may be long (行传), but not without end.
constexpr std::size_t kMaxRecordText = 1 << 24;
constexpr int kRowsPerReport = 1 << 16;

bool InInt32(std::int64_t value) {
  return value >= std::numeric_limits<std::int32_t>::min() &&
         value <= std::numeric_limits<std::int32_t>::max();
}

// --- reading ---------------------------------------------------------------

struct Row {
  std::uint32_t id = 0;
  std::uint32_t parent = 0;  // 0: none (the root)
  std::uint32_t elder = 0;   // 0: the eldest
  MemberNode* node = nullptr;
};

class Reader {
public:
  Reader(sqlite3* db, COperationClanbook& out, const ReadProgress& progress)
      : m_db(db), m_out(out), m_progress(progress) {}
  ~Reader() {
    for (Row& row : m_rows)
      if (!m_linked) delete row.node;
  }
  FileStatus Run(std::uint32_t& lastRow);

private:
  FileStatus ReadMembers();
  FileStatus LinkTree();
  FileStatus LinkInRowOrder(MemberNode*& root);
  FileStatus LinkAnyOrder(MemberNode*& root);
  FileStatus ReadBook();
  FileStatus ReadDetails();
  FileStatus ReadSpouses();
  FileStatus ReadSources();
  FileStatus ReadPhotos();
  MemberNode* NodeOf(std::int64_t id) const;
  std::size_t IndexOf(std::uint32_t id) const;

  sqlite3* m_db;
  COperationClanbook& m_out;
  const ReadProgress& m_progress;
  std::vector<Row> m_rows;
  // From a row's id to its place in m_rows: a table while the ids are dense,
  // a map for a file whose ids are far apart.
  std::vector<std::uint32_t> m_dense;
  std::unordered_map<std::uint32_t, std::uint32_t> m_sparse;
  bool m_linked = false;
  // Every row so far came after its father's and its elder brother's.
  bool m_ordered = true;
};

constexpr std::size_t kNoRow = std::numeric_limits<std::size_t>::max();

std::size_t Reader::IndexOf(std::uint32_t id) const {
  if (!m_dense.empty()) {
    if (id >= m_dense.size() || m_dense[id] == 0) return kNoRow;
    return m_dense[id] - 1;
  }
  const auto found = m_sparse.find(id);
  return found == m_sparse.end() ? kNoRow : found->second;
}

MemberNode* Reader::NodeOf(std::int64_t id) const {
  if (id <= 0 || id > std::numeric_limits<std::uint32_t>::max()) return nullptr;
  const std::size_t at = IndexOf(static_cast<std::uint32_t>(id));
  return at == kNoRow ? nullptr : m_rows[at].node;
}

FileStatus Reader::ReadMembers() {
  // Apart, each is answered without a step through every row: count(*) from
  // the pages alone, max(id) from the last row.
  std::int64_t total = 0, last = 0;
  for (auto [sql, out] : {std::pair{"SELECT count(*) FROM member", &total},
                          std::pair{"SELECT max(id) FROM member", &last}}) {
    Statement count(m_db, sql);
    if (!count.Ok()) return Problem(cbk::ReadProblemOf(sqlite3_extended_errcode(m_db)));
    if (const int r = count.Step(); r != SQLITE_ROW) return Problem(cbk::ReadProblemOf(r));
    *out = count.Int(0);
  }
  if (total == 0) return Failure(kFileNoRoot, FileProblem::kEmpty);
  if (last <= 0 || last > std::numeric_limits<std::uint32_t>::max())
    return Problem(FileProblem::kDamagedBook);
  try {
    m_rows.reserve(static_cast<std::size_t>(total));
    if (last <= 4 * total + 1024) m_dense.assign(static_cast<std::size_t>(last) + 1, 0);
  } catch (const std::bad_alloc&) {
    return Problem(FileProblem::kNoMemory);
  }
  Statement select(m_db,
                   "SELECT id, parent, elder, name, birth_year, birth_month, birth_day, married, "
                   "address, alive, death_year, death_month, death_day FROM member");
  if (!select.Ok()) return Problem(FileProblem::kDamagedBook);
  int result;
  while ((result = select.Step()) == SQLITE_ROW) {
    const std::int64_t id = select.Int(0), parent = select.Int(1), elder = select.Int(2);
    if (id <= 0 || id > last || parent < 0 || parent > last || elder < 0 || elder > last)
      return Problem(FileProblem::kDamagedBook);
    std::int64_t numbers[8];
    for (int i = 0; i < 8; ++i) {
      numbers[i] = select.Int(i < 4 ? 4 + i : 5 + i);
      if (!InInt32(numbers[i])) return Problem(FileProblem::kDamagedBook);
    }
    auto* node = new (std::nothrow) MemberNode;
    if (!node) return Problem(FileProblem::kNoMemory);
    m_rows.push_back(Row{static_cast<std::uint32_t>(id), static_cast<std::uint32_t>(parent),
                         static_cast<std::uint32_t>(elder), node});
    if (!select.Text(3, node->name, kMaxTextLength) ||
        !select.Text(8, node->address, kMaxTextLength))
      return Problem(FileProblem::kDamagedBook);
    node->birthYear = static_cast<std::int32_t>(numbers[0]);
    node->birthMonth = static_cast<std::int32_t>(numbers[1]);
    node->birthDay = static_cast<std::int32_t>(numbers[2]);
    node->married = static_cast<std::int32_t>(numbers[3]);
    node->alive = static_cast<std::int32_t>(numbers[4]);
    node->deathYear = static_cast<std::int32_t>(numbers[5]);
    node->deathMonth = static_cast<std::int32_t>(numbers[6]);
    node->deathDay = static_cast<std::int32_t>(numbers[7]);
    node->extra.row = static_cast<std::uint32_t>(id);
    m_ordered = m_ordered && (!parent || IndexOf(static_cast<std::uint32_t>(parent)) != kNoRow) &&
                (!elder || IndexOf(static_cast<std::uint32_t>(elder)) != kNoRow);
    const auto at = static_cast<std::uint32_t>(m_rows.size() - 1);
    if (!m_dense.empty())
      m_dense[static_cast<std::size_t>(id)] = at + 1;
    else
      m_sparse.emplace(static_cast<std::uint32_t>(id), at);
    if (m_progress && m_rows.size() % kRowsPerReport == 0 &&
        !m_progress(m_rows.size(), static_cast<std::size_t>(total)))
      return Problem(FileProblem::kCancelled);
  }
  if (result != SQLITE_DONE) return Problem(cbk::ReadProblemOf(result));
  return {};
}

// The rules every reader of a book keeps: real dates, a child born after
// his father, brothers in the order of birth.
FileStatus BrokenRule(const MemberNode& m, const MemberNode* elder) {
  FileStatus status;
  if (!COperationClanbook::IsValidDate(m.birthYear, m.birthMonth, m.birthDay))
    status = Failure(kFileBadDate, FileProblem::kBadBirthDate);
  else if (!m.alive &&
           (!COperationClanbook::IsValidDate(m.deathYear, m.deathMonth, m.deathDay) ||
            COperationClanbook::CompareDates(m.deathYear, m.deathMonth, m.deathDay, m.birthYear,
                                             m.birthMonth, m.birthDay) < 0))
    status = Failure(kFileBadDate, FileProblem::kBadDeathDate);
  else if (m.parent && CompareBirthDates(m, *m.parent) < 0)
    status = Failure(kFileBadDate, FileProblem::kBornBeforeFather);
  else if (elder && CompareBirthDates(*elder, m) > 0)
    status = Problem(FileProblem::kDamagedBook);
  if (!status.Ok()) status.detail = m.name;
  return status;
}

// The first member in pre-order from `root` that breaks a rule, as a refusal;
// none when all keep them.
FileStatus FirstBrokenRule(const MemberNode* root) {
  struct Step {
    const MemberNode* member;
    const MemberNode* elder;
  };
  std::vector<Step> pending{{root, nullptr}};
  while (!pending.empty()) {
    const Step step = pending.back();
    pending.pop_back();
    if (FileStatus status = BrokenRule(*step.member, step.elder); !status.Ok()) return status;
    if (step.member->nextSibling) pending.push_back({step.member->nextSibling, step.member});
    if (step.member->firstChild) pending.push_back({step.member->firstChild, nullptr});
  }
  return {};
}

FileStatus Reader::LinkTree() {
  MemberNode* root = nullptr;
  const FileStatus linked = m_ordered ? LinkInRowOrder(root) : LinkAnyOrder(root);
  if (!linked.Ok()) return linked;
  // Most books keep every rule: checked in the order of the rows, and only a
  // book that breaks one is walked in pre-order, so that it is refused for
  // the same member whatever order its rows are in.
  bool kept = true;
  for (const Row& row : m_rows)
    kept &= BrokenRule(*row.node, row.elder ? NodeOf(row.elder) : nullptr).Ok();
  if (!kept) return FirstBrokenRule(root);
  std::vector<MemberNode*> members;
  try {
    members.reserve(m_rows.size());
    for (const Row& row : m_rows) members.push_back(row.node);
    m_out.AdoptTree(root, members);
  } catch (const std::bad_alloc&) {
    // Once the genealogy holds the root, it releases every member.
    m_linked = m_out.Root() != nullptr;
    m_out.Clear();
    return Problem(FileProblem::kNoMemory);
  }
  m_linked = true;
  return {};
}

// Every father and elder brother came before his sons and younger brothers
// (the order every save gives rows): each member is linked as he comes.
FileStatus Reader::LinkInRowOrder(MemberNode*& root) {
  for (const Row& row : m_rows) {
    MemberNode* node = row.node;
    if (!row.parent) {
      if (root || row.elder) return Problem(FileProblem::kDamagedBook);
      root = node;
      continue;
    }
    MemberNode* parent = NodeOf(row.parent);
    MemberNode** link = &parent->firstChild;
    if (row.elder) {
      MemberNode* elder = NodeOf(row.elder);
      if (elder->parent != parent) return Problem(FileProblem::kDamagedBook);
      link = &elder->nextSibling;
    }
    // Two members in one place: no tree.
    if (*link) return Problem(FileProblem::kDamagedBook);
    *link = node;
    node->parent = parent;
  }
  // Each member hangs below an earlier one, so none stands in a ring and
  // every one is reached from the root.
  return root ? FileStatus{} : Problem(FileProblem::kDamagedBook);
}

FileStatus Reader::LinkAnyOrder(MemberNode*& rootNode) {
  const std::size_t n = m_rows.size();
  constexpr std::size_t kNone = kNoRow;
  std::vector<std::size_t> firstChild, next;
  try {
    firstChild.assign(n, kNone);
    next.assign(n, kNone);
  } catch (const std::bad_alloc&) {
    return Problem(FileProblem::kNoMemory);
  }
  std::size_t root = kNone;
  for (std::size_t i = 0; i < n; ++i) {
    const Row& row = m_rows[i];
    if (!row.parent) {
      if (root != kNone || row.elder) return Problem(FileProblem::kDamagedBook);
      root = i;
      continue;
    }
    const std::size_t parent = IndexOf(row.parent);
    if (parent == kNone) return Problem(FileProblem::kDamagedBook);
    std::size_t* link = &firstChild[parent];
    if (row.elder) {
      const std::size_t elder = IndexOf(row.elder);
      if (elder == kNone || m_rows[elder].parent != row.parent)
        return Problem(FileProblem::kDamagedBook);
      link = &next[elder];
    }
    // Two members in one place: no tree.
    if (*link != kNone) return Problem(FileProblem::kDamagedBook);
    *link = i;
  }
  if (root == kNone) return Problem(FileProblem::kDamagedBook);

  // Every place has one member at most and the root none, so a walk from
  // the root meets nobody twice; whoever it misses stands in a ring.
  std::size_t reached = 0;
  std::vector<std::size_t> pending{root};
  while (!pending.empty()) {
    const std::size_t i = pending.back();
    pending.pop_back();
    ++reached;
    if (next[i] != kNone) pending.push_back(next[i]);
    if (firstChild[i] != kNone) pending.push_back(firstChild[i]);
  }
  if (reached != n) return Problem(FileProblem::kDamagedBook);
  for (std::size_t i = 0; i < n; ++i) {
    MemberNode& m = *m_rows[i].node;
    m.parent = m_rows[i].parent ? NodeOf(m_rows[i].parent) : nullptr;
    m.firstChild = firstChild[i] != kNone ? m_rows[firstChild[i]].node : nullptr;
    m.nextSibling = next[i] != kNone ? m_rows[next[i]].node : nullptr;
  }
  rootNode = m_rows[root].node;
  return {};
}

FileStatus Reader::ReadBook() {
  Statement select(m_db,
                   "SELECT title, hall_name, clan_seat, edition_year, editors, preface, rules, "
                   "precepts, generation_poem FROM book");
  if (!select.Ok()) return Problem(FileProblem::kDamagedBook);
  BookData& book = m_out.Book();
  int result;
  while ((result = select.Step()) == SQLITE_ROW) {
    static constexpr RecordField kTexts[] = {RecordField::kBookTitle, RecordField::kHallName,
                                             RecordField::kClanSeat,  RecordField::kEditors,
                                             RecordField::kPreface,   RecordField::kRules,
                                             RecordField::kPrecepts,  RecordField::kGenerationPoem};
    static constexpr int kColumns[] = {0, 1, 2, 4, 5, 6, 7, 8};
    for (int i = 0; i < 8; ++i)
      if (!select.Text(kColumns[i], book.Text(kTexts[i]), kMaxRecordText))
        return Problem(FileProblem::kDamagedBook);
    if (!InInt32(select.Int(3))) return Problem(FileProblem::kDamagedBook);
    book.editionYear = static_cast<std::int32_t>(select.Int(3));
  }
  return result == SQLITE_DONE ? FileStatus() : Problem(cbk::ReadProblemOf(result));
}

constexpr int kDetailColumns = 2 + 14 + 1;

FileStatus Reader::ReadDetails() {
  Statement select(m_db,
                   "SELECT member, sex, courtesy_name, art_name, rank, branch, office, birth_hour, "
                   "biography, burial_place, burial_facing, note, husband_name, husband_place, "
                   "birth_father, second_father, mother FROM detail");
  if (!select.Ok()) return Problem(FileProblem::kDamagedBook);
  int result;
  while ((result = select.Step()) == SQLITE_ROW) {
    MemberNode* node = NodeOf(select.Int(0));
    const std::int64_t sex = select.Int(1), mother = select.Int(kDetailColumns - 1);
    if (!node || node->extra.HasRecord() || sex < 0 || sex > 1 || mother < -1 || !InInt32(mother))
      return Problem(FileProblem::kDamagedBook);
    MemberRecord& record = node->extra.EditRecord();
    record.sex = static_cast<Sex>(sex);
    record.mother = static_cast<std::int32_t>(mother);
    for (int i = 0; i < 14; ++i)
      if (!select.Text(2 + i, record.Text(kDetailTexts[i]), kMaxRecordText))
        return Problem(FileProblem::kDamagedBook);
  }
  return result == SQLITE_DONE ? FileStatus() : Problem(cbk::ReadProblemOf(result));
}

FileStatus Reader::ReadSpouses() {
  Statement select(m_db,
                   "SELECT member, title, surname, given_name, origin, father, birth_year, "
                   "birth_month, birth_day, alive, death_year, death_month, death_day, burial, "
                   "note FROM spouse ORDER BY member, seq");
  if (!select.Ok()) return Problem(FileProblem::kDamagedBook);
  int result;
  while ((result = select.Step()) == SQLITE_ROW) {
    MemberNode* node = NodeOf(select.Int(0));
    const std::int64_t title = select.Int(1);
    if (!node || title < 0 || title >= kSpouseTitles) return Problem(FileProblem::kDamagedBook);
    Spouse spouse;
    spouse.title = static_cast<SpouseTitle>(title);
    std::int32_t* numbers[] = {&spouse.birthYear, &spouse.birthMonth, &spouse.birthDay,
                               &spouse.alive,     &spouse.deathYear,  &spouse.deathMonth,
                               &spouse.deathDay};
    for (int i = 0; i < 7; ++i) {
      if (!InInt32(select.Int(6 + i))) return Problem(FileProblem::kDamagedBook);
      *numbers[i] = static_cast<std::int32_t>(select.Int(6 + i));
    }
    if (!select.Text(2, spouse.surname, kMaxRecordText) ||
        !select.Text(3, spouse.givenName, kMaxRecordText) ||
        !select.Text(4, spouse.origin, kMaxRecordText) ||
        !select.Text(5, spouse.father, kMaxRecordText) ||
        !select.Text(13, spouse.burial, kMaxRecordText) ||
        !select.Text(14, spouse.note, kMaxRecordText))
      return Problem(FileProblem::kDamagedBook);
    node->extra.EditRecord().spouses.push_back(std::move(spouse));
  }
  return result == SQLITE_DONE ? FileStatus() : Problem(cbk::ReadProblemOf(result));
}

FileStatus Reader::ReadSources() {
  Statement select(m_db, "SELECT member, title, detail FROM source ORDER BY member, seq");
  if (!select.Ok()) return Problem(FileProblem::kDamagedBook);
  int result;
  while ((result = select.Step()) == SQLITE_ROW) {
    MemberNode* node = NodeOf(select.Int(0));
    Source source;
    if (!node || !select.Text(1, source.title, kMaxRecordText) ||
        !select.Text(2, source.detail, kMaxRecordText))
      return Problem(FileProblem::kDamagedBook);
    node->extra.EditRecord().sources.push_back(std::move(source));
  }
  return result == SQLITE_DONE ? FileStatus() : Problem(cbk::ReadProblemOf(result));
}

FileStatus Reader::ReadPhotos() {
  // The bytes stay in the file until the picture is shown.
  Statement select(m_db, "SELECT id, member, caption FROM photo ORDER BY member, seq");
  if (!select.Ok()) return Problem(FileProblem::kDamagedBook);
  int result;
  while ((result = select.Step()) == SQLITE_ROW) {
    MemberNode* node = NodeOf(select.Int(1));
    const std::int64_t id = select.Int(0);
    Photo photo;
    if (!node || id <= 0 || id > std::numeric_limits<std::uint32_t>::max() ||
        !select.Text(2, photo.caption, kMaxRecordText))
      return Problem(FileProblem::kDamagedBook);
    photo.id = static_cast<std::uint32_t>(id);
    node->extra.EditRecord().photos.push_back(std::move(photo));
  }
  return result == SQLITE_DONE ? FileStatus() : Problem(cbk::ReadProblemOf(result));
}

FileStatus Reader::Run(std::uint32_t& lastRow) {
  m_out.Clear();
  FileStatus status = ReadMembers();
  if (status.Ok()) status = LinkTree();
  if (status.Ok()) status = ReadBook();
  if (status.Ok()) status = ReadDetails();
  if (status.Ok()) status = ReadSpouses();
  if (status.Ok()) status = ReadSources();
  if (status.Ok()) status = ReadPhotos();
  if (!status.Ok()) {
    m_out.Clear();
    return status;
  }
  lastRow = 0;
  for (const Row& row : m_rows) lastRow = std::max(lastRow, row.id);
  return {};
}

}  // namespace

// Settings of every connection: cascades and deferred checks, the rollback
// journal deleted after each transaction, and no waiting for ever on a
// writer elsewhere.
int cbk::Configure(sqlite3* db) {
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, 2000);
  return cbk::Exec(db, "PRAGMA foreign_keys = ON; PRAGMA synchronous = FULL;");
}

// Checks a database just opened: what SQLite itself says of it (a hot
// journal of a save that was killed is rolled back here), then its header.
FileStatus cbk::CheckOpened(sqlite3* db, const std::filesystem::path* path) {
  Statement probe(db, "SELECT count(*) FROM sqlite_schema");
  if (!probe.Ok()) return Problem(cbk::ReadProblemOf(sqlite3_extended_errcode(db)));
  if (const int r = probe.Step(); r != SQLITE_ROW) return Problem(cbk::ReadProblemOf(r));
  std::string header(100, '\0');
  std::uint64_t size = 0;
  if (path) {
    const int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Problem(FileProblem::kCannotOpen);
    struct stat info {};
    const bool read = ::fstat(fd, &info) == 0 && ::pread(fd, header.data(), 100, 0) == 100;
    ::close(fd);
    if (!read) return Problem(FileProblem::kNotABook);
    size = static_cast<std::uint64_t>(info.st_size);
  } else {
    sqlite3_int64 length = 0;
    unsigned char* image = sqlite3_serialize(db, "main", &length, SQLITE_SERIALIZE_NOCOPY);
    if (!image || length < 100) return Problem(FileProblem::kNotABook);
    header.assign(reinterpret_cast<const char*>(image), 100);
    size = static_cast<std::uint64_t>(length);
  }
  if (const FileProblem problem = cbk::CheckHeader(header, size); problem != FileProblem::kNone)
    return Problem(problem);
  return {};
}

// A first look at the file before SQLite opens it: SQLite takes an empty
// file for an empty database, and makes one of a name that does not exist.
FileStatus cbk::CheckFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Problem(FileProblem::kCannotOpen);
  struct stat info {};
  char magic[16] = {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  const bool read = regular && ::pread(fd, magic, sizeof magic, 0) == sizeof magic;
  ::close(fd);
  if (!regular) return Problem(FileProblem::kCannotOpen);
  if (!read || std::string_view(magic, sizeof magic) != std::string_view("SQLite format 3", 16))
    return Problem(FileProblem::kNotABook);
  return {};
}

FileStatus cbk::ReadRows(sqlite3* db, COperationClanbook& out, const ReadProgress& progress,
                         std::uint32_t& lastRow) {
  return Reader(db, out, progress).Run(lastRow);
}

namespace {

FileStatus TakePictures(sqlite3* db, COperationClanbook& out) {
  Statement select(db, "SELECT bytes FROM photo WHERE id = ?1");
  if (!select.Ok()) return cbk::Problem(FileProblem::kNotABook);
  bool whole = true;
  out.VisitPreOrder(whole, out.Root(), [&select](bool& ok, MemberNode* m) {
    if (!ok || !m->extra.HasRecord() || m->extra.Record().photos.empty()) return;
    for (Photo& photo : m->extra.EditRecord().photos) {
      select.Reset();
      select.Bind(1, photo.id);
      if (select.Step() != SQLITE_ROW) {
        ok = false;
        return;
      }
      photo.bytes = std::make_shared<const std::string>(select.Blob(0));
      photo.id = 0;
    }
  });
  if (!whole) out.Clear();
  return whole ? FileStatus{} : cbk::Problem(FileProblem::kNotABook);
}

}  // namespace

FileStatus ReadCbkImage(std::string_view bytes, COperationClanbook& out) {
  out.Clear();
  if (bytes.size() < 100 || bytes.substr(0, 16) != std::string_view("SQLite format 3", 16))
    return cbk::Problem(FileProblem::kNotABook);
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    sqlite3_close(db);
    return cbk::Problem(FileProblem::kNoMemory);
  }
  // SQLite reads the caller's bytes in place and never writes them.
  auto* data = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data()));
  const auto size = static_cast<sqlite3_int64>(bytes.size());
  FileStatus status;
  if (sqlite3_deserialize(db, "main", data, size, size, SQLITE_DESERIALIZE_READONLY) != SQLITE_OK) {
    status = cbk::Problem(FileProblem::kNotABook);
  } else {
    cbk::Configure(db);
    status = cbk::CheckOpened(db, nullptr);
    if (status.Ok()) {
      std::uint32_t last = 0;
      status = cbk::ReadRows(db, out, {}, last);
    }
    // No file stands behind an image: a picture numbered by its row would be
    // taken for a row of whatever file the book is saved to next (a branch
    // merged into a book would show another member's picture). The pictures
    // come with their bytes, as pictures added since the last save do.
    if (status.Ok()) status = TakePictures(db, out);
  }
  sqlite3_close(db);
  return status;
}

}  // namespace formats
