// The order of a .cbk's member rows: a book reads the same whatever order
// its rows are in, and a book whose rows make no tree or break a rule is
// refused for the same member in every order.
#include "CbkTestSupport.h"
#include "WholeBook.h"
#include "formats/CbkFormat.h"
#include "formats/cbk/CbkBook.h"
#include "model/BookChanges.h"
#include "model/COperationClanbook.h"

#include <sqlite3.h>

#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;
using cbktest::Add;
using cbktest::Dump;
using formats::CbkBook;
using wholebook::Picture;

// The order of the member rows: a book reads the same whatever order its
// rows are in (a save gives fathers and elder brothers the lower rows, a book
// edited and saved in place need not), its name index finds the first bearer
// of a name in pre-order, and a book whose rows make no tree or break a rule
// is refused for the same member in every order.

class CbkRowsTest : public modeltest::TempFolderTest {
protected:
  // 祖 (row 1), his sons 甲 (2) and 乙 (4), each with a son 丙 (3 and 5):
  // in pre-order 甲's 丙 is the first bearer of the name.
  void SetUp() override {
    TempFolderTest::SetUp();
    MakeBook();
  }
  void MakeBook() {
    book_.Clear();
    MemberNode* root = Add(book_, nullptr, u"祖", 1800);
    MemberNode* first = Add(book_, root, u"甲", 1830);
    Add(book_, first, u"丙", 1860);
    MemberNode* second = Add(book_, root, u"乙", 1835);
    Add(book_, second, u"丙", 1862);
    path_ = folder_ / "rows.cbk";
    ASSERT_TRUE(CbkBook::SaveAs(path_, book_, nullptr).Ok());
  }

  // Gives the member rows new numbers (old -> new), with the links to them.
  void Renumber(const std::map<int, int>& numbers, const std::string& moreSql = "") {
    std::string sql =
        "UPDATE member SET id = id + 1000, parent = parent + 1000, elder = elder + 1000;";
    for (const auto& [from, to] : numbers)
      for (const char* column : {"id", "parent", "elder"})
        sql += std::string("UPDATE member SET ") + column + " = " + std::to_string(to) + " WHERE " +
               column + " = " + std::to_string(from + 1000) + ";";
    sql += moreSql;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
  }

  COperationClanbook book_;
  fs::path path_;
};

// Rows as a save gives them, fathers first but not in pre-order (乙 and his
// 丙 before 甲's 丙), and every son before his father: one book each time.
TEST_F(CbkRowsTest, RowsInAnyOrderGiveTheSameBookAndIndex) {
  const struct {
    const char* label;
    std::map<int, int> numbers;
  } orders[] = {
      {"as saved", {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}},
      {"fathers first, not in pre-order", {{1, 1}, {2, 2}, {3, 5}, {4, 3}, {5, 4}}},
      {"sons before fathers", {{1, 50}, {2, 40}, {3, 10}, {4, 30}, {5, 20}}},
  };
  const std::string expected = Dump(book_);
  for (const auto& order : orders) {
    SCOPED_TRACE(order.label);
    MakeBook();
    Renumber(order.numbers);
    COperationClanbook read;
    std::unique_ptr<CbkBook> file;
    ASSERT_TRUE(CbkBook::Open(path_, CbkBook::Access::kReadWrite, read, file).Ok());
    EXPECT_EQ(Dump(read), expected);
    EXPECT_EQ(read.CountMembers(), 5);
    // The first bearer in pre-order, then, once he is gone, the other.
    MemberNode* found = read.FindByName(u"丙");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->parent->name, u"甲");
    EXPECT_EQ(read.FindByName(u"乙")->firstChild->name, u"丙");
    read.DeleteMember(found);
    found = read.FindByName(u"丙");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->parent->name, u"乙");
    // Each member keeps his row: a save of one edit writes him alone.
    MemberData data = *found;
    data.address = u"新址";
    read.SetMemberData(found, data);
    BookChanges changes;
    changes.Changed(found);
    ASSERT_TRUE(file->SaveChanges(read, changes).Ok());
    EXPECT_EQ(file->RowsWritten(), 1);
    file.reset();
    COperationClanbook again;
    ASSERT_TRUE(CbkBook::Open(path_, CbkBook::Access::kReadOnly, again, file).Ok());
    EXPECT_EQ(again.FindByName(u"乙")->firstChild->address, u"新址");
  }
}

// Links that make no tree are refused whether the rows come in order or
// not, and a book that breaks two rules is refused for the member that comes
// first in pre-order, not for the first row.
TEST_F(CbkRowsTest, BrokenRowsAreRefusedAlikeInEveryOrder) {
  const std::map<int, int> orders[] = {
      {{1, 1}, {2, 2}, {3, 5}, {4, 3}, {5, 4}},       // fathers first
      {{1, 50}, {2, 40}, {3, 10}, {4, 30}, {5, 20}},  // sons first
  };
  // SQL on the renumbered rows: 甲 is 2 or 40, 乙 3 or 30, 甲's 丙 5 or 10.
  const struct {
    const char* label;
    std::string sql[2];
    FileProblem problem;
  } rows[] = {
      {"two eldest sons of one father",
       {"UPDATE member SET elder = NULL WHERE id = 3",
        "UPDATE member SET elder = NULL WHERE id = 30"},
       FileProblem::kDamagedBook},
      {"an elder brother who is another's son",
       {"UPDATE member SET elder = 4 WHERE id = 5", "UPDATE member SET elder = 20 WHERE id = 10"},
       FileProblem::kDamagedBook},
      {"the root as elder brother",
       {"UPDATE member SET elder = 1 WHERE id = 3", "UPDATE member SET elder = 50 WHERE id = 30"},
       FileProblem::kDamagedBook},
      {"no root",
       {"UPDATE member SET parent = 2 WHERE id = 1", "UPDATE member SET parent = 40 WHERE id = 50"},
       FileProblem::kDamagedBook},
      // 乙's 丙 has the lower row; 甲's 丙 comes first in pre-order.
      {"two sons with impossible dates",
       {"UPDATE member SET birth_year = 1700 WHERE id = 5;"
        "UPDATE member SET birth_month = 13 WHERE id = 4",
        "UPDATE member SET birth_year = 1700 WHERE id = 10;"
        "UPDATE member SET birth_month = 13 WHERE id = 20"},
       FileProblem::kBornBeforeFather},
  };
  for (const auto& row : rows) {
    for (int o = 0; o < 2; ++o) {
      SCOPED_TRACE(std::string(row.label) + (o ? ", sons first" : ", fathers first"));
      MakeBook();
      Renumber(orders[o], row.sql[o]);
      COperationClanbook read;
      std::unique_ptr<CbkBook> file;
      const FileStatus status = CbkBook::Open(path_, CbkBook::Access::kReadWrite, read, file);
      EXPECT_EQ(status.problem, row.problem);
      EXPECT_EQ(read.Root(), nullptr);
      EXPECT_EQ(file, nullptr);
      if (row.problem == FileProblem::kBornBeforeFather) {
        EXPECT_EQ(status.detail, u"丙");
      }
    }
  }
}

// A book in memory whose pictures cannot be read is refused whole: no
// member stays behind (as the fuzzer found).
TEST_F(CbkRowsTest, AnImageWithoutItsPicturesLeavesNothing) {
  Renumber({}, "ALTER TABLE photo RENAME COLUMN bytes TO picture");
  COperationClanbook read;
  EXPECT_EQ(formats::ReadCbkImage(Read(path_), read).problem, FileProblem::kNotABook);
  EXPECT_EQ(read.Root(), nullptr);
}

}  // namespace
