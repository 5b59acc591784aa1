// The book file (.cbk): every field of a book goes out and comes back, a
// save of changes writes those rows and no others, a book of the first
// schema opens and is brought up, damaged, foreign, newer and locked files
// are refused, and a save killed at any moment leaves the old book or the
// new one.
#include "CbkTestSupport.h"
#include "WholeBook.h"
#include "formats/CbkFormat.h"
#include "formats/FtfFormat.h"
#include "formats/cbk/CbkBook.h"
#include "model/BookChanges.h"
#include "model/COperationClanbook.h"

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <functional>
#include <random>

namespace {

namespace fs = std::filesystem;
using cbktest::Add;
using cbktest::Dump;
using cbktest::Find;
using formats::CbkBook;
using wholebook::FillBook;
using wholebook::Picture;

class CbkTest : public modeltest::TempFolderTest {
protected:
  fs::path SaveFull(const char* name = "book.cbk") {
    FillBook(full_);
    const fs::path path = folder_ / name;
    EXPECT_TRUE(CbkBook::SaveAs(path, full_, nullptr).Ok());
    return path;
  }
  COperationClanbook full_;
};

TEST_F(CbkTest, EveryFieldComesBackAsItWent) {
  COperationClanbook filled;
  FillBook(filled);
  const std::string before = Dump(filled);
  const fs::path path = SaveFull();
  // The pictures were written: their bytes are no longer held.
  for (const Photo& p : full_.Root()->extra.Record().photos) {
    EXPECT_NE(p.id, 0u);
    EXPECT_EQ(p.bytes, nullptr);
  }
  COperationClanbook again;
  std::unique_ptr<CbkBook> file;
  ASSERT_TRUE(CbkBook::Open(path, CbkBook::Access::kReadOnly, again, file).Ok());
  EXPECT_EQ(Dump(again, file.get()), before);
  EXPECT_EQ(Dump(full_, file.get()), before) << "a save changed the book in memory";
  // Through the FileFormat interface, held in memory; pictures not held
  // are left out of an image, so a book whose pictures are held is sent.
  // Read back, the pictures come with their bytes and no row: a row number
  // would name a picture of whatever file the book is saved to next.
  std::string image;
  formats::CbkFormat format;
  ASSERT_TRUE(format.Write(filled, image).Ok());
  EXPECT_EQ(Dump(filled), before) << "writing an image changed the book";
  EXPECT_EQ(filled.Root()->extra.row, 0u) << "an image gave rows";
  COperationClanbook third;
  ASSERT_TRUE(format.Read(image, third, {}).Ok());
  EXPECT_EQ(Dump(third), Dump(filled));
  for (const Photo& p : third.Root()->extra.Record().photos) EXPECT_EQ(p.id, 0u);
  // And .ftf, which keeps the ten fields, keeps the tree's shape.
  std::string ftf;
  formats::FtfFormat ftfFormat;
  ASSERT_TRUE(ftfFormat.Write(again, ftf).Ok());
  COperationClanbook fromFtf;
  ASSERT_TRUE(ftfFormat.Read(ftf, fromFtf, {}).Ok());
  EXPECT_TRUE(FieldsBeyondTenFields(fromFtf).empty());
  EXPECT_EQ(FieldsBeyondTenFields(again).size(), static_cast<std::size_t>(kRecordFields));
}

// Each edit of a saved book, its changes announced as the document
// announces them, then saved: the file then reads as the book in memory,
// and the save wrote the rows of that edit and no others.
TEST_F(CbkTest, ASaveWritesOnlyTheRowsThatChanged) {
  struct Row {
    const char* label;
    std::function<void(COperationClanbook&, BookChanges&)> edit;
    std::int64_t mostRows;
  };
  const Row rows[] = {
      {"one member's data",
       [](COperationClanbook& b, BookChanges& c) {
         MemberNode* m = Find(b, u"孔末");  // a member without a record
         MemberData data = *m;
         data.address = u"新址";
         b.SetMemberData(m, data);
         c.Changed(m);
       },
       1},
      {"one member's 字",
       [](COperationClanbook& b, BookChanges& c) {
         MemberNode* m = Find(b, u"孔末");
         m->extra.EditRecord().courtesyName = u"子思";
         c.Changed(m);
       },
       2},
      {"a wife removed from a full record",
       [](COperationClanbook& b, BookChanges& c) {
         MemberNode* m = Find(b, u"孔丘");
         m->extra.EditRecord().spouses.pop_back();
         c.Changed(m);
       },
       // the member, and his detail, two sources, four wives less one and
       // two pictures' captions deleted and written again
       1 + 2 + 2 * 2 + (4 + 3) + 2},
      {"a child added between two",
       [](COperationClanbook& b, BookChanges& c) {
         MemberNode* born = Add(b, Find(b, u"孔丘"), u"孔中", 1926);
         c.Entered(born);
       },
       // the newcomer, and his younger sister after him with her record
       1 + 1 + 2},
      {"a branch deleted",
       [](COperationClanbook& b, BookChanges& c) {
         // Taken out and then released, as the history does.
         MemberNode* m = Find(b, u"孔鲤");
         c.Leaving(m);
         (void)b.TakeSubtree(m);
         COperationClanbook::ReleaseSubtree(m);
       },
       // two members and their records (a detail and a source, a detail),
       // and the brother after them with his
       2 + 3 + 1 + 2},
      {"a picture added",
       [](COperationClanbook& b, BookChanges& c) {
         MemberNode* m = Find(b, u"孔女");
         m->extra.EditRecord().photos.push_back(Picture(u"新", "gif"));
         c.Changed(m);
       },
       4},
      {"the book's data",
       [](COperationClanbook& b, BookChanges& c) {
         b.Book().preface = u"新序";
         c.BookDataChanged();
       },
       1},
      {"the 世 of the 字辈 alone",
       [](COperationClanbook& b, BookChanges& c) {
         b.Book().poemFirstGeneration = 12;
         c.BookDataChanged();
       },
       1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    full_.Clear();
    const fs::path path = SaveFull();
    COperationClanbook book;
    std::unique_ptr<CbkBook> file;
    ASSERT_TRUE(CbkBook::Open(path, CbkBook::Access::kReadWrite, book, file).Ok());
    BookChanges changes;
    row.edit(book, changes);
    ASSERT_TRUE(file->SaveChanges(book, changes).Ok());
    EXPECT_TRUE(changes.Empty());
    EXPECT_GT(file->RowsWritten(), 0);
    EXPECT_LE(file->RowsWritten(), row.mostRows);
    COperationClanbook again;
    std::unique_ptr<CbkBook> reread;
    file.reset();
    ASSERT_TRUE(CbkBook::Open(path, CbkBook::Access::kReadOnly, again, reread).Ok());
    EXPECT_EQ(Dump(again, reread.get()), Dump(book, reread.get()));
    fs::remove(path);
  }
}

// A book of the first schema, which had no 世 for its 字辈: it opens with its
// poem from 第1世, and the first save into it, whatever it changes, brings
// it up to the present schema in its one transaction and keeps every member.
TEST_F(CbkTest, ABookOfTheFirstSchemaOpensAndIsBroughtUpByASave) {
  const auto version = [](const fs::path& path) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* pragma = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &pragma, nullptr);
    const int found = sqlite3_step(pragma) == SQLITE_ROW ? sqlite3_column_int(pragma, 0) : -1;
    sqlite3_finalize(pragma);
    sqlite3_close(db);
    return found;
  };
  const struct {
    const char* label;
    std::function<void(COperationClanbook&, BookChanges&)> edit;
    int firstGeneration;  // of the 字辈, once saved
  } rows[] = {
      {"a member changed",
       [](COperationClanbook& b, BookChanges& c) {
         MemberNode* m = Find(b, u"孔末");
         m->extra.EditRecord().courtesyName = u"子思";
         c.Changed(m);
       },
       1},
      {"the 字辈's 世 given",
       [](COperationClanbook& b, BookChanges& c) {
         b.Book().poemFirstGeneration = 45;
         c.BookDataChanged();
       },
       45},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    full_.Clear();
    const fs::path path = SaveFull();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "ALTER TABLE book DROP COLUMN poem_first_generation; "
                           "PRAGMA user_version = 1",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ASSERT_EQ(version(path), 1);

    COperationClanbook book;
    std::unique_ptr<CbkBook> file;
    ASSERT_TRUE(CbkBook::Open(path, CbkBook::Access::kReadWrite, book, file).Ok());
    EXPECT_EQ(book.Book().poemFirstGeneration, 1);
    full_.Book().poemFirstGeneration = 1;
    EXPECT_EQ(Dump(book, file.get()), Dump(full_, file.get()));
    BookChanges changes;
    row.edit(book, changes);
    ASSERT_TRUE(file->SaveChanges(book, changes).Ok());
    file.reset();
    EXPECT_EQ(version(path), formats::kCbkSchemaVersion);
    COperationClanbook again;
    ASSERT_TRUE(CbkBook::Open(path, CbkBook::Access::kReadOnly, again, file).Ok());
    EXPECT_EQ(again.Book().poemFirstGeneration, row.firstGeneration);
    EXPECT_EQ(Dump(again, file.get()), Dump(book, file.get()));
    file.reset();
    fs::remove(path);
  }
}

// A file for each refusal, and what opening it says.
TEST_F(CbkTest, RefusesWhatIsNoBookOfItsOwn) {
  const fs::path good = SaveFull("good.cbk");
  const std::string bytes = Read(good);
  auto withSql = [&](const char* name, const char* sql) {
    const fs::path path = folder_ / name;
    fs::copy_file(good, path);
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    return path;
  };
  std::mt19937 random(7);
  std::string noise(bytes.size(), '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::string headerOnly = bytes.substr(0, 100) + std::string(bytes.size() - 100, '\0');
  const struct {
    const char* label;
    fs::path path;
    FileProblem problem;
  } rows[] = {
      {"missing", folder_ / "missing.cbk", FileProblem::kCannotOpen},
      {"a folder", folder_, FileProblem::kCannotOpen},
      {"empty", Write("", "empty.cbk"), FileProblem::kNotABook},
      {"zeroed", Write(std::string(bytes.size(), '\0'), "zero.cbk"), FileProblem::kNotABook},
      {"random bytes", Write(noise, "noise.cbk"), FileProblem::kNotABook},
      {"a text file", Write("张祖 1901 2 3 1 end 1 -1\r\nend\r\n", "text.cbk"),
       FileProblem::kNotABook},
      {"cut short", Write(bytes.substr(0, bytes.size() / 2), "cut.cbk"), FileProblem::kDamagedBook},
      {"cut inside a page", Write(bytes.substr(0, bytes.size() - 100), "cut2.cbk"),
       FileProblem::kDamagedBook},
      {"pages zeroed after the header", Write(headerOnly, "hollow.cbk"), FileProblem::kDamagedBook},
      {"another program's database", withSql("foreign.cbk", "PRAGMA application_id = 42"),
       FileProblem::kForeignBook},
      {"a newer schema", withSql("newer.cbk", "PRAGMA user_version = 3"), FileProblem::kNewerBook},
      {"a 字辈 from no 世", withSql("poem.cbk", "UPDATE book SET poem_first_generation = 0"),
       FileProblem::kDamagedBook},
      {"a member whose father is missing",
       withSql("orphan.cbk", "UPDATE member SET parent = 999 WHERE name = '孔伋'"),
       FileProblem::kDamagedBook},
      {"two roots", withSql("roots.cbk", "UPDATE member SET parent = NULL WHERE name = '孔伋'"),
       FileProblem::kDamagedBook},
      {"a ring of members",
       withSql("ring.cbk",
               "UPDATE member SET parent = (SELECT id FROM member WHERE name = '孔伋') "
               "WHERE name = '孔鲤'"),
       FileProblem::kDamagedBook},
      {"a wife of nobody",
       withSql("nobody.cbk", "PRAGMA foreign_keys = OFF; UPDATE spouse SET member = 999"),
       FileProblem::kDamagedBook},
      {"a table missing", withSql("table.cbk", "DROP TABLE source"), FileProblem::kDamagedBook},
      {"a son born before his father",
       withSql("early.cbk", "UPDATE member SET birth_year = 1800 WHERE name = '孔伋'"),
       FileProblem::kBornBeforeFather},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    COperationClanbook book;
    std::unique_ptr<CbkBook> file;
    const FileStatus status = CbkBook::Open(row.path, CbkBook::Access::kReadWrite, book, file);
    EXPECT_EQ(status.problem, row.problem);
    EXPECT_EQ(book.Root(), nullptr);
    EXPECT_EQ(file, nullptr);
    // The same bytes held in memory are refused alike.
    if (fs::is_regular_file(row.path) && row.problem != FileProblem::kCannotOpen) {
      COperationClanbook fromImage;
      EXPECT_FALSE(formats::ReadCbkImage(Read(row.path), fromImage).Ok());
      EXPECT_EQ(fromImage.Root(), nullptr);
    }
  }
  EXPECT_EQ(Read(good), bytes) << "a refused open changed a file";
}

// Open read-write once, a second read-write open is refused while the first
// holds the book; read-only opens, and its save is refused; the lock goes
// with the book.
TEST_F(CbkTest, ABookOpenElsewhereOpensReadOnly) {
  const fs::path path = SaveFull();
  COperationClanbook first, second, third;
  std::unique_ptr<CbkBook> holder, other;
  ASSERT_TRUE(CbkBook::Open(path, CbkBook::Access::kReadWrite, first, holder).Ok());
  EXPECT_EQ(CbkBook::Open(path, CbkBook::Access::kReadWrite, second, other).problem,
            FileProblem::kBookInUse);
  EXPECT_EQ(CbkBook::SaveAs(path, first, nullptr).problem, FileProblem::kBookInUse);
  ASSERT_TRUE(CbkBook::Open(path, CbkBook::Access::kReadOnly, second, other).Ok());
  BookChanges changes;
  changes.BookDataChanged();
  EXPECT_EQ(other->SaveChanges(second, changes).problem, FileProblem::kBookReadOnly);
  // Another process sees the lock too (flock is per open file, so this one
  // would as well; the child makes sure of the other program's view).
  const pid_t child = ::fork();
  if (child == 0) {
    COperationClanbook mine;
    std::unique_ptr<CbkBook> theirs;
    ::_exit(CbkBook::Open(path, CbkBook::Access::kReadWrite, mine, theirs).problem ==
                    FileProblem::kBookInUse
                ? 0
                : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  holder.reset();
  EXPECT_TRUE(CbkBook::Open(path, CbkBook::Access::kReadWrite, third, holder).Ok());
}

// A child saves changes to every member again and again and is killed at a
// random moment; the book then opens, and every member has the address of
// one and the same save.
TEST_F(CbkTest, ASaveKilledAtAnyMomentLeavesTheOldBookOrTheNew) {
  COperationClanbook book;
  MemberNode* root = Add(book, nullptr, u"祖", 1800);
  for (int i = 0; i < 3000; ++i)
    Add(book, root, (u"孙" + std::u16string(1, static_cast<char16_t>(0x4E00 + i))).c_str(), 1830);
  const fs::path path = folder_ / "killed.cbk";
  ASSERT_TRUE(CbkBook::SaveAs(path, book, nullptr).Ok());
  std::mt19937 random(11);
  int versionsSeen = 0;
  for (int kill = 0; kill < 25; ++kill) {
    // The child says after each save that it finished one, so that every
    // kill comes after at least one whole save, at a random moment of a later.
    int saved[2];
    ASSERT_EQ(::pipe(saved), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(saved[0]);
      COperationClanbook mine;
      std::unique_ptr<CbkBook> file;
      if (!CbkBook::Open(path, CbkBook::Access::kReadWrite, mine, file).Ok()) ::_exit(3);
      for (int round = 0;; ++round) {
        BookChanges changes;
        const std::u16string address =
            u"v" + std::u16string(1, static_cast<char16_t>(u'A' + round % 26));
        for (MemberNode* m = mine.Root()->firstChild; m; m = m->nextSibling) {
          MemberData data = *m;
          data.address = address;
          mine.SetMemberData(m, data);
          changes.Changed(m);
        }
        if (!file->SaveChanges(mine, changes).Ok()) ::_exit(4);
        (void)!::write(saved[1], "s", 1);
      }
    }
    ::close(saved[1]);
    char done = 0;
    ASSERT_EQ(::read(saved[0], &done, 1), 1) << "the child saved nothing";
    ::usleep(random() % 60000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    // Open until the child is dead: a write to a closed pipe would end it
    // right after a save instead of at a random moment.
    ::close(saved[0]);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the saving child stopped by itself: " << status;
    COperationClanbook after;
    std::unique_ptr<CbkBook> file;
    const FileStatus opened = CbkBook::Open(path, CbkBook::Access::kReadWrite, after, file);
    ASSERT_TRUE(opened.Ok()) << static_cast<int>(opened.problem) << " after kill " << kill;
    const std::u16string first = after.Root()->firstChild->address;
    int members = 0;
    for (MemberNode* m = after.Root()->firstChild; m; m = m->nextSibling, ++members)
      ASSERT_EQ(m->address, first) << "a save was half made, kill " << kill;
    EXPECT_EQ(members, 3000);
    versionsSeen += !first.empty();
  }
  EXPECT_EQ(versionsSeen, 25) << "a kill after a whole save left the book without it";
}

}  // namespace
