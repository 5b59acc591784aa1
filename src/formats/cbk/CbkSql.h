// The small layer over SQLite's C interface that the .cbk code shares: a
// statement that finalizes itself, binding and reading text as the model
// holds it (UTF-16 in memory, UTF-8 in the file), and the schema.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "model/FileStatus.h"

namespace formats::cbk {

// The tables of a .cbk (docs/file-format.md). parent and elder are checked
// by the reader (they must make one tree), not by foreign keys, which would
// need two more indexes over every member.
extern const char* const kSchema;

class Statement {
public:
  Statement(sqlite3* db, const char* sql);
  ~Statement() { sqlite3_finalize(m_stmt); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool Ok() const { return m_stmt != nullptr; }
  void Bind(int column, std::int64_t value) { sqlite3_bind_int64(m_stmt, column, value); }
  void BindNull(int column) { sqlite3_bind_null(m_stmt, column); }
  void Bind(int column, std::u16string_view text);
  void BindBlob(int column, std::string_view bytes) {
    sqlite3_bind_blob64(m_stmt, column, bytes.data(), bytes.size(), SQLITE_STATIC);
  }
  // Runs a statement that returns no rows and resets it; the SQLite result.
  int Run();
  // SQLITE_ROW, SQLITE_DONE or an error.
  int Step() { return sqlite3_step(m_stmt); }
  void Reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
  }

  std::int64_t Int(int column) const { return sqlite3_column_int64(m_stmt, column); }
  bool IsNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
  // The text of a column; false when it is no UTF-8 or longer than `maxUnits`.
  bool Text(int column, std::u16string& out, std::size_t maxUnits) const;
  std::string_view Blob(int column) const;

private:
  sqlite3_stmt* m_stmt = nullptr;
  std::string m_buffers[24];  // the UTF-8 of bound text, alive until the next bind
};

// Runs `sql` (one or more statements without results); the SQLite result.
int Exec(sqlite3* db, const char* sql);

// The schema version of the open database (its user_version); SQLITE_OK or
// the error.
int SchemaVersion(sqlite3* db, std::int32_t& version);
// Brings a book of an older schema to this program's, inside the
// transaction the caller holds (a failed save leaves the file as it was);
// nothing for a book of this schema. SQLITE_OK or the error.
int Upgrade(sqlite3* db);

// The problem a failed SQLite call of a read comes to.
FileProblem ReadProblemOf(int sqliteResult);

// The problem that the first 100 bytes of a file of `size` bytes show: not
// SQLite at all, cut short, another program's database or a newer schema.
// kNone when the header is that of a .cbk this program reads.
FileProblem CheckHeader(std::string_view header, std::uint64_t size);

}  // namespace formats::cbk
