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

// A member row's links; its member is at the same place in Reader::m_nodes.
struct Row {
  std::uint32_t id = 0;
  std::uint32_t parent = 0;  // 0: none (the root)
  std::uint32_t elder = 0;   // 0: the eldest
};

class Reader {
public:
  Reader(sqlite3* db, COperationClanbook& out, const ReadProgress& progress)
      : m_db(db), m_out(out), m_progress(progress) {}
  ~Reader() {
    if (!m_linked)
      for (MemberNode* node : m_nodes) delete node;
  }
  FileStatus Run(std::uint32_t& lastRow);

private:
  FileStatus ReadMembers();
  FileStatus LinkTree();
  bool Link(const Row& row, MemberNode* node, MemberNode*& root, const MemberNode*& elder) const;
  FileStatus ReadBook();
  FileStatus ReadDetails();
  FileStatus ReadSpouses();
  FileStatus ReadSources();
  FileStatus ReadPhotos();
  MemberNode* NodeOf(std::int64_t id) const;

  sqlite3* m_db;
  COperationClanbook& m_out;
  const ReadProgress& m_progress;
  std::vector<Row> m_rows;
  std::vector<MemberNode*> m_nodes;  // given to the genealogy whole
  // From a row's id to its member: a table while the ids are dense, a map
  // for a file whose ids are far apart.
  std::vector<MemberNode*> m_dense;
  std::unordered_map<std::uint32_t, MemberNode*> m_sparse;
  bool m_linked = false;
  // Every row so far came after its father's and its elder brother's.
  bool m_ordered = true;
};

MemberNode* Reader::NodeOf(std::int64_t id) const {
  if (id <= 0 || id > std::numeric_limits<std::uint32_t>::max()) return nullptr;
  if (!m_dense.empty())
    return static_cast<std::size_t>(id) < m_dense.size() ? m_dense[static_cast<std::size_t>(id)]
                                                         : nullptr;
  const auto found = m_sparse.find(static_cast<std::uint32_t>(id));
  return found == m_sparse.end() ? nullptr : found->second;
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
    m_nodes.reserve(static_cast<std::size_t>(total));
    if (last <= 4 * total + 1024) m_dense.assign(static_cast<std::size_t>(last) + 1, nullptr);
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
    m_nodes.push_back(node);
    m_rows.push_back(Row{static_cast<std::uint32_t>(id), static_cast<std::uint32_t>(parent),
                         static_cast<std::uint32_t>(elder)});
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
    m_ordered = m_ordered && parent < id && elder < id &&
                (m_rows.size() == 1 || m_rows[m_rows.size() - 2].id < id);
    if (!m_dense.empty())
      m_dense[static_cast<std::size_t>(id)] = node;
    else
      m_sparse.emplace(static_cast<std::uint32_t>(id), node);
    if (m_progress && m_rows.size() % kRowsPerReport == 0 &&
        !m_progress(m_rows.size(), static_cast<std::size_t>(total)))
      return Problem(FileProblem::kCancelled);
  }
  if (result != SQLITE_DONE) return Problem(cbk::ReadProblemOf(result));
  return {};
}

// The rules every reader of a book keeps: real dates, a child born after
// his father, brothers in the order of birth.
bool KeepsRules(const MemberNode& m, const MemberNode* elder) {
  using C = COperationClanbook;
  return C::IsValidDate(m.birthYear, m.birthMonth, m.birthDay) &&
         (m.alive || (C::IsValidDate(m.deathYear, m.deathMonth, m.deathDay) &&
                      C::CompareDates(m.deathYear, m.deathMonth, m.deathDay, m.birthYear,
                                      m.birthMonth, m.birthDay) >= 0)) &&
         (!m.parent || CompareBirthDates(m, *m.parent) >= 0) &&
         (!elder || CompareBirthDates(*elder, m) <= 0);
}

// Which rule a member breaks, as a refusal; none when he keeps them all.
FileStatus BrokenRule(const MemberNode& m, const MemberNode* elder) {
  FileStatus status;
  if (KeepsRules(m, elder)) return status;
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

// Puts the member of `row` in his place: his father's first child, or the
// next of his elder brother, whose father must be his (the father of every
// member is set). False when the place is taken or the row names nobody: no
// tree. Gives the elder brother, if any.
bool Reader::Link(const Row& row, MemberNode* node, MemberNode*& root,
                  const MemberNode*& elderOut) const {
  elderOut = nullptr;
  if (!row.parent) {
    if (root || row.elder) return false;
    root = node;
    return true;
  }
  MemberNode* parent = node->parent;
  if (!parent) return false;
  MemberNode** link = &parent->firstChild;
  if (row.elder) {
    MemberNode* elder = NodeOf(row.elder);
    if (!elder || elder->parent != parent) return false;
    link = &elder->nextSibling;
    elderOut = elder;
  }
  // Two members in one place: no tree.
  if (*link) return false;
  *link = node;
  return true;
}

FileStatus Reader::LinkTree() {
  MemberNode* root = nullptr;
  const MemberNode* elder = nullptr;
  bool kept = true;
  const std::size_t n = m_rows.size();
  if (m_ordered) {
    // Every father and elder brother came before his sons and younger
    // brothers (the order every Save As gives rows): each member is linked
    // and checked as he comes, and none stands in a ring. The members of
    // rows ahead are fetched into the cache meanwhile: at two million, the
    // misses, not the instructions, are the cost.
    constexpr std::size_t kAhead = 16;
    const auto fetch = [](const MemberNode* m) {
      if (!m) return;
      __builtin_prefetch(m);
      __builtin_prefetch(&m->nextSibling);
    };
    for (std::size_t i = 0; i < n; ++i) {
      if (i + 2 * kAhead < n && !m_dense.empty()) {
        const Row& far = m_rows[i + 2 * kAhead];
        __builtin_prefetch(&m_dense[far.parent]);
        __builtin_prefetch(&m_dense[far.elder]);
      }
      if (i + kAhead < n) {
        const Row& ahead = m_rows[i + kAhead];
        fetch(NodeOf(ahead.parent));
        fetch(NodeOf(ahead.elder));
      }
      const Row& row = m_rows[i];
      MemberNode* node = m_nodes[i];
      node->parent = NodeOf(row.parent);
      if (!Link(row, node, root, elder)) return Problem(FileProblem::kDamagedBook);
      kept &= KeepsRules(*node, elder);
    }
    if (!root) return Problem(FileProblem::kDamagedBook);
  } else {
    for (std::size_t i = 0; i < n; ++i) {
      m_nodes[i]->parent = NodeOf(m_rows[i].parent);
      if (m_rows[i].parent && !m_nodes[i]->parent) return Problem(FileProblem::kDamagedBook);
    }
    for (std::size_t i = 0; i < n; ++i)
      if (!Link(m_rows[i], m_nodes[i], root, elder)) return Problem(FileProblem::kDamagedBook);
    if (!root) return Problem(FileProblem::kDamagedBook);
    // Every place has one member at most and the root none, so a walk from
    // the root meets nobody twice; whoever it misses stands in a ring.
    std::size_t reached = 0;
    std::vector<const MemberNode*> pending{root};
    while (!pending.empty()) {
      const MemberNode* m = pending.back();
      pending.pop_back();
      ++reached;
      if (m->nextSibling) pending.push_back(m->nextSibling);
      if (m->firstChild) pending.push_back(m->firstChild);
    }
    if (reached != n) return Problem(FileProblem::kDamagedBook);
    for (std::size_t i = 0; i < n; ++i)
      kept &= KeepsRules(*m_nodes[i], m_rows[i].elder ? NodeOf(m_rows[i].elder) : nullptr);
  }
  // A book that breaks a rule is walked in pre-order, so that it is refused
  // for the same member whatever order its rows are in.
  if (!kept) return FirstBrokenRule(root);
  try {
    m_out.AdoptTree(root, m_nodes);
  } catch (const std::bad_alloc&) {
    // Once the genealogy holds the root, it releases every member.
    m_linked = m_out.Root() != nullptr;
    m_out.Clear();
    return Problem(FileProblem::kNoMemory);
  }
  m_linked = true;
  return {};
}

FileStatus Reader::ReadBook() {
  // A book of schema 1 has no 世 for its 字辈: it starts at 第1世.
  std::int32_t version = 0;
  if (const int r = cbk::SchemaVersion(m_db, version); r != SQLITE_OK)
    return Problem(cbk::ReadProblemOf(r));
  Statement select(m_db, version >= 2 ? "SELECT title, hall_name, clan_seat, edition_year, "
                                        "editors, preface, rules, precepts, generation_poem, "
                                        "poem_first_generation FROM book"
                                      : "SELECT title, hall_name, clan_seat, edition_year, "
                                        "editors, preface, rules, precepts, generation_poem, "
                                        "1 FROM book");
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
    const std::int64_t first = select.Int(9);
    if (first < 1 || first > kMaxPoemFirstGeneration) return Problem(FileProblem::kDamagedBook);
    book.poemFirstGeneration = static_cast<std::int32_t>(first);
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
  if (!select.Ok()) {
    out.Clear();
    return cbk::Problem(FileProblem::kNotABook);
  }
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
