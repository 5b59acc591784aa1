// The parts of the .cbk book shared by its opening and its reading of rows
// (CbkBook.cpp, CbkRead.cpp); nothing outside src/formats/cbk includes it.
#pragma once

#include <cstdint>
#include <filesystem>

#include "formats/FileFormat.h"
#include "formats/cbk/CbkSql.h"
#include "model/FileStatus.h"
#include "model/MemberRecord.h"

class COperationClanbook;

namespace formats::cbk {

// The status of a refused book, with the file result that goes with it.
FileStatus Problem(FileProblem problem);

// Every connection's settings: cascades and deferred checks, the rollback
// journal deleted after each transaction, no waiting for ever on a writer.
int Configure(sqlite3* db);
// Whether an opened database is a book of this program that this version
// reads; `path` (none for a book in memory) names the file for its checks.
FileStatus CheckOpened(sqlite3* db, const std::filesystem::path* path);
// Whether the file at `path` can be a book at all, before SQLite opens it.
FileStatus CheckFile(const std::filesystem::path& path);

// The member texts of `detail` in their columns' order, from column 2.
inline constexpr RecordField kDetailTexts[] = {
    RecordField::kCourtesyName, RecordField::kArtName,      RecordField::kRank,
    RecordField::kBranch,       RecordField::kOffice,       RecordField::kBirthHour,
    RecordField::kBiography,    RecordField::kBurialPlace,  RecordField::kBurialFacing,
    RecordField::kNote,         RecordField::kHusbandName,  RecordField::kHusbandPlace,
    RecordField::kBirthFather,  RecordField::kSecondFather,
};

// Reads every row of an open book into `out` (empty), in one transaction the
// caller holds; `lastRow` gets the highest member row.
FileStatus ReadRows(sqlite3* db, COperationClanbook& out, const ReadProgress& progress,
                    std::uint32_t& lastRow);

}  // namespace formats::cbk
