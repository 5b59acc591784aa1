#include "formats/cbk/CbkSql.h"

#include <cstdio>
#include <cstring>

#include "formats/cbk/CbkBook.h"
#include "model/TextCodec.h"

namespace formats::cbk {

const char* const kSchema = R"sql(
CREATE TABLE book(
  id INTEGER PRIMARY KEY CHECK (id = 1),
  title TEXT NOT NULL, hall_name TEXT NOT NULL, clan_seat TEXT NOT NULL,
  edition_year INTEGER NOT NULL, editors TEXT NOT NULL, preface TEXT NOT NULL,
  rules TEXT NOT NULL, precepts TEXT NOT NULL, generation_poem TEXT NOT NULL,
  poem_first_generation INTEGER NOT NULL DEFAULT 1);
CREATE TABLE member(
  id INTEGER PRIMARY KEY,
  parent INTEGER,
  elder INTEGER,
  name TEXT NOT NULL,
  birth_year INTEGER NOT NULL, birth_month INTEGER NOT NULL, birth_day INTEGER NOT NULL,
  married INTEGER NOT NULL, address TEXT NOT NULL, alive INTEGER NOT NULL,
  death_year INTEGER NOT NULL, death_month INTEGER NOT NULL, death_day INTEGER NOT NULL);
CREATE TABLE detail(
  member INTEGER PRIMARY KEY REFERENCES member(id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,
  sex INTEGER NOT NULL, courtesy_name TEXT NOT NULL, art_name TEXT NOT NULL,
  rank TEXT NOT NULL, branch TEXT NOT NULL, office TEXT NOT NULL, birth_hour TEXT NOT NULL,
  biography TEXT NOT NULL, burial_place TEXT NOT NULL, burial_facing TEXT NOT NULL,
  note TEXT NOT NULL, husband_name TEXT NOT NULL, husband_place TEXT NOT NULL,
  birth_father TEXT NOT NULL, second_father TEXT NOT NULL, mother INTEGER NOT NULL);
CREATE TABLE spouse(
  member INTEGER NOT NULL REFERENCES member(id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,
  seq INTEGER NOT NULL, title INTEGER NOT NULL, surname TEXT NOT NULL,
  given_name TEXT NOT NULL, origin TEXT NOT NULL, father TEXT NOT NULL,
  birth_year INTEGER NOT NULL, birth_month INTEGER NOT NULL, birth_day INTEGER NOT NULL,
  alive INTEGER NOT NULL, death_year INTEGER NOT NULL, death_month INTEGER NOT NULL,
  death_day INTEGER NOT NULL, burial TEXT NOT NULL, note TEXT NOT NULL,
  PRIMARY KEY (member, seq)) WITHOUT ROWID;
CREATE TABLE source(
  member INTEGER NOT NULL REFERENCES member(id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,
  seq INTEGER NOT NULL, title TEXT NOT NULL, detail TEXT NOT NULL,
  PRIMARY KEY (member, seq)) WITHOUT ROWID;
CREATE TABLE photo(
  id INTEGER PRIMARY KEY,
  member INTEGER NOT NULL REFERENCES member(id) ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED,
  seq INTEGER NOT NULL, caption TEXT NOT NULL, bytes BLOB NOT NULL);
CREATE INDEX photo_of_member ON photo(member);
)sql";

Statement::Statement(sqlite3* db, const char* sql) {
  if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) m_stmt = nullptr;
}

void Statement::Bind(int column, std::u16string_view text) {
  std::string& buffer = m_buffers[column % 24];
  buffer.resize(text.size() * 3);
  char* end = textcodec::WriteUtf8(buffer.data(), text);
  buffer.resize(static_cast<std::size_t>(end - buffer.data()));
  sqlite3_bind_text64(m_stmt, column, buffer.data(), buffer.size(), SQLITE_STATIC, SQLITE_UTF8);
}

int Statement::Run() {
  const int result = sqlite3_step(m_stmt);
  sqlite3_reset(m_stmt);
  return result == SQLITE_ROW ? SQLITE_DONE : result;
}

bool Statement::Text(int column, std::u16string& out, std::size_t maxUnits) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
  const int size = sqlite3_column_bytes(m_stmt, column);
  if (!text || size <= 0) {
    out.clear();
    return true;
  }
  return textcodec::DecodeUtf8(std::string_view(text, static_cast<std::size_t>(size)), out,
                               maxUnits) == textcodec::Decoded::kText;
}

std::string_view Statement::Blob(int column) const {
  const void* data = sqlite3_column_blob(m_stmt, column);
  const int size = sqlite3_column_bytes(m_stmt, column);
  if (!data || size <= 0) return {};
  return std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

int Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

int SchemaVersion(sqlite3* db, std::int32_t& version) {
  Statement pragma(db, "PRAGMA user_version");
  if (!pragma.Ok()) return sqlite3_extended_errcode(db);
  const int result = pragma.Step();
  if (result != SQLITE_ROW) return result;
  version = static_cast<std::int32_t>(pragma.Int(0));
  return SQLITE_OK;
}

int Upgrade(sqlite3* db) {
  std::int32_t version = 0;
  if (const int result = SchemaVersion(db, version); result != SQLITE_OK) return result;
  if (version >= kCbkSchemaVersion) return SQLITE_OK;
  // Version 1 had no 世 for the 字辈: its poems start at 第1世.
  char sql[160];
  std::snprintf(sql, sizeof sql,
                "ALTER TABLE book ADD COLUMN poem_first_generation INTEGER NOT NULL DEFAULT 1; "
                "PRAGMA user_version = %d;",
                kCbkSchemaVersion);
  return Exec(db, sql);
}

FileProblem ReadProblemOf(int sqliteResult) {
  switch (sqliteResult & 0xFF) {
    case SQLITE_NOMEM:
      return FileProblem::kNoMemory;
    case SQLITE_NOTADB:
      return FileProblem::kNotABook;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return FileProblem::kCannotOpen;
    default:
      return FileProblem::kDamagedBook;
  }
}

namespace {

std::uint32_t BigEndian(std::string_view bytes, std::size_t at, std::size_t length) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < length; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace

FileProblem CheckHeader(std::string_view header, std::uint64_t size) {
  static constexpr char kMagic[] = "SQLite format 3";  // with its NUL: 16 bytes
  if (header.size() < 100 || std::memcmp(header.data(), kMagic, sizeof kMagic) != 0)
    return FileProblem::kNotABook;
  std::uint32_t pageSize = BigEndian(header, 16, 2);
  if (pageSize == 1) pageSize = 65536;
  if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) return FileProblem::kDamagedBook;
  if (size % pageSize != 0) return FileProblem::kDamagedBook;
  // The page count is valid when written by the same change as the counter
  // beside it; a file shorter than that was cut short.
  const std::uint32_t pages = BigEndian(header, 28, 4);
  if (BigEndian(header, 92, 4) == BigEndian(header, 24, 4) &&
      size < static_cast<std::uint64_t>(pages) * pageSize)
    return FileProblem::kDamagedBook;
  if (static_cast<std::int32_t>(BigEndian(header, 68, 4)) != kCbkApplicationId)
    return FileProblem::kForeignBook;
  const auto version = static_cast<std::int32_t>(BigEndian(header, 60, 4));
  if (version > kCbkSchemaVersion) return FileProblem::kNewerBook;
  if (version < 1) return FileProblem::kDamagedBook;
  return FileProblem::kNone;
}

}  // namespace formats::cbk
