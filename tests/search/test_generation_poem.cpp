#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "../model/ModelTestSupport.h"
#include "formats/PoemFile.h"
#include "search/GenerationPoem.h"

namespace {

using modeltest::Add;
using modeltest::Narrow;

std::vector<std::string> Names(const std::vector<MemberNode*>& members) {
  std::vector<std::string> out;
  for (const MemberNode* m : members) out.push_back(Narrow(m->name));
  return out;
}

TEST(ClanSurname, ReadOffTheRootAndHisChildren) {
  struct Row {
    std::vector<std::pair<std::u16string, std::u16string>> members;  // father, name
    std::u16string surname;
  };
  const Row rows[] = {
      {{{u"", u"孔丘"}, {u"孔丘", u"孔鲤"}}, u"孔"},
      {{{u"", u"欧阳修"}, {u"欧阳修", u"欧阳发"}, {u"欧阳修", u"欧阳奕"}}, u"欧阳"},
      {{{u"", u"欧阳修"}}, u"欧"},  // nothing to tell a compound surname by
      {{{u"", u"欧阳修"}, {u"欧阳修", u"欧阳发"}, {u"欧阳修", u"欧文"}}, u"欧"},
      {{{u"", u"王明"}, {u"王明", u"王明远"}}, u"王"},  // a given name always remains
      {{{u"", u"𠮷田"}, {u"𠮷田", u"𠮷川"}}, u"𠮷"},
      {{}, u""},
  };
  for (const Row& row : rows) {
    COperationClanbook book;
    int year = 1900;
    for (const auto& [father, name] : row.members) Add(book, father, name, year++);
    EXPECT_EQ(Narrow(ClanSurname(book)), Narrow(row.surname))
        << (row.members.empty() ? "" : Narrow(row.members[0].second));
  }
}

// 孔 (第1世) - 孔德甲 (2) - 孔明乙, 孔丙 (3) - 孔德丁 (4, under 孔明乙) - 孔戊 (5);
// also 孔乙德 (2), and 欧明 (3) of another surname under him.
class PoemCheck : public ::testing::Test {
protected:
  void SetUp() override {
    Add(m_book, u"", u"孔子", 1900);
    Add(m_book, u"孔子", u"孔德甲", 1920);
    Add(m_book, u"孔德甲", u"孔明乙", 1940);
    Add(m_book, u"孔明乙", u"孔德丁", 1960);
    Add(m_book, u"孔德丁", u"孔戊", 1980);
    Add(m_book, u"孔德甲", u"孔丙", 1941);
    Add(m_book, u"孔子", u"孔乙德", 1921);
    Add(m_book, u"孔乙德", u"欧明", 1945);
  }
  COperationClanbook m_book;
};

TEST_F(PoemCheck, ListsMembersWithoutTheirGenerationsCharacter) {
  struct Row {
    int first;
    std::u32string poem;
    std::vector<std::string> lacking;
  };
  const Row rows[] = {
      {2, U"德明德", {"\\u5b54\\u4e19"}},  // 孔丙; 孔戊 lies beyond the poem
      {2, U"德明德戊", {"\\u5b54\\u4e19"}},
      {1, U"丘德明", {"\\u5b54\\u5b50", "\\u5b54\\u4e19"}},
      {2, U"德", {}},
      {3, U"明", {"\\u5b54\\u4e19"}},  // 欧明 has a surname of his own
      {2, U"甲", {"\\u5b54\\u4e59\\u5fb7"}},
      {9, U"德", {}},
  };
  for (const Row& row : rows) {
    const GenerationPoem poem{row.first, row.poem};
    EXPECT_EQ(Names(MembersWithoutGenerationCharacter(m_book, poem, u"孔")), row.lacking)
        << row.first;
  }
}

TEST_F(PoemCheck, SuggestsTheSurnameAndTheChildsCharacter) {
  const GenerationPoem poem{2, U"德明𠮷"};
  struct Row {
    std::u16string father;
    std::u16string suggested;
  };
  const Row rows[] = {
      {u"孔子", u"孔德"},   {u"孔德甲", u"孔明"},
      {u"孔明乙", u"孔𠮷"}, {u"孔德丁", u"孔"},  // the child's generation lies beyond the poem
      {u"欧明", u"欧𠮷"},                        // a surname of his own
  };
  for (const Row& row : rows) {
    MemberNode* father = m_book.FindByName(row.father);
    ASSERT_NE(father, nullptr);
    EXPECT_EQ(Narrow(SuggestedChildName(m_book, father, poem, u"孔")), Narrow(row.suggested));
  }
}

// The book's poem as typed: what the searches count by, and what is refused.
TEST(PoemOfTheBook, TheChineseCharactersOfThePoemAsTyped) {
  struct Row {
    std::u16string text;
    int first;
    std::u32string characters;  // empty: no poem
    PoemProblem problem;
    std::size_t number;
    std::string shown;
  };
  using P = PoemProblem;
  const Row rows[] = {
      {u"克昌厥后", 3, U"克昌厥后", P::kNone, 0, ""},
      {u"克昌，厥后。 永保其宗!", 1, U"克昌厥后永保其宗", P::kNone, 0, ""},
      {u"克昌厥后\n永保其宗\r\n", 2, U"克昌厥后永保其宗", P::kNone, 0, ""},  // written over lines
      {u"𠮷宗", 7, U"𠮷宗", P::kNone, 0, ""},
      {u"克昌a厥后", 1, U"", P::kNotIdeograph, 3, "a"},
      {u"𠮷2", 1, U"", P::kNotIdeograph, 2, "2"},
      {u"克\xD842昌", 1, U"", P::kNotIdeograph, 2, "\xEF\xBF\xBD"},  // half a pair
      {u"，。", 1, U"", P::kNoCharacters, 0, ""},
      {u"", 1, U"", P::kNoCharacters, 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Narrow(row.text));
    std::u32string characters = U"旧";
    const PoemFileResult checked = CheckPoemText(row.text, &characters);
    EXPECT_EQ(checked.problem, row.problem);
    EXPECT_EQ(checked.number, row.number);
    EXPECT_EQ(checked.text, row.shown);
    EXPECT_EQ(characters, row.problem == P::kNone ? row.characters : U"旧");
    BookData book;
    book.generationPoem = row.text;
    book.poemFirstGeneration = row.first;
    const GenerationPoem poem = PoemOf(book);
    EXPECT_EQ(poem.characters, row.characters);
    if (!row.characters.empty()) {
      EXPECT_EQ(poem.firstGeneration, row.first);
    }
  }
  BookData beyond;  // a 世 no reader lets in counts nothing
  beyond.generationPoem = u"克昌";
  beyond.poemFirstGeneration = kMaxPoemFirstGeneration + 1;
  EXPECT_TRUE(PoemOf(beyond).characters.empty());
}

TEST(PoemFile, ReadsWellFormedText) {
  struct Row {
    std::string text;
    int first;
    std::u16string poem;  // as typed, without the blanks at its ends
  };
  const Row rows[] = {
      {"3\n克昌厥后\n", 3, u"克昌厥后"},
      {"\xEF\xBB\xBF"
       "1\r\n克昌，厥后。\r\n\r\n",
       1, u"克昌，厥后。"},
      {" 12 \n 永 保 其 宗\t", 12, u"永 保 其 宗"},
      {"1\n𠮷宗\n", 1, u"𠮷宗"},
  };
  for (const Row& row : rows) {
    BookData book;
    book.title = u"孔氏家谱";
    const PoemFileResult result = ParsePoem(row.text, book);
    EXPECT_EQ(result.status, PoemFileStatus::kOk) << row.text << result.text;
    EXPECT_EQ(book.poemFirstGeneration, row.first) << row.text;
    EXPECT_EQ(Narrow(book.generationPoem), Narrow(row.poem)) << row.text;
    EXPECT_EQ(book.title, u"孔氏家谱");  // the rest of the book's data is left alone
  }
}

TEST(PoemFile, RefusesMalformedTextAndSaysWhy) {
  struct Row {
    std::string text;
    PoemProblem problem;
    std::size_t number;
    std::string shown;
  };
  using P = PoemProblem;
  const Row rows[] = {
      {"", P::kLineCount, 0, ""},
      {"克昌厥后\n", P::kLineCount, 1, ""},
      {"1\n克昌\n厥后\n", P::kLineCount, 3, ""},
      {"0\n克昌\n", P::kFirstLine, 0, "0"},
      {"x\n克昌\n", P::kFirstLine, 0, "x"},
      {"2x\n克昌\n", P::kFirstLine, 0, "2x"},
      {"1000001\n克昌\n", P::kFirstLine, 0, "1000001"},
      {"99999999999\n克昌\n", P::kFirstLine, 0, "99999999999"},
      {"1\n克a昌\n", P::kNotIdeograph, 2, "a"},
      {"1\n 克a昌\n", P::kNotIdeograph, 3, "a"},  // counted from the line's start
      {"1\n，。\n", P::kNoCharacters, 0, ""},
      {"1\n\xE5\x85\n", P::kNotUtf8, 0, ""},
      {"1\n\xC0\xAF\n", P::kNotUtf8, 0, ""},
  };
  for (const Row& row : rows) {
    BookData book;
    book.generationPoem = u"旧";
    book.poemFirstGeneration = 5;
    const PoemFileResult result = ParsePoem(row.text, book);
    EXPECT_EQ(result.status, PoemFileStatus::kMalformed) << row.text;
    EXPECT_EQ(result.problem, row.problem) << row.text;
    EXPECT_EQ(result.number, row.number) << row.text;
    EXPECT_EQ(result.text, row.shown) << row.text;
    EXPECT_EQ(book.poemFirstGeneration, 5);
    EXPECT_EQ(book.generationPoem, u"旧");
  }
}

BookData Poem(std::u16string text, int first) {
  BookData book;
  book.generationPoem = std::move(text);
  book.poemFirstGeneration = first;
  return book;
}

TEST(PoemFile, SavedBesideTheBookAndReadBack) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("clanbook-poem-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::filesystem::path book = dir / "孔氏.ftf";
  EXPECT_EQ(PoemFileFor(book), dir / "孔氏.ftf.zibei");

  BookData read = Poem(u"旧", 7);
  EXPECT_EQ(LoadPoem(book, read).status, PoemFileStatus::kMissing);
  EXPECT_TRUE(SamePoem(read, BookData()));

  // Written as typed, a poem over lines on one line.
  const BookData poem = Poem(u"克昌，厥后\n𠮷", 4);
  ASSERT_EQ(SavePoem(book, poem), PoemSaveResult::kSaved);
  std::ifstream file(PoemFileFor(book), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "4\n克昌，厥后 𠮷\n");
  const PoemFileResult result = LoadPoem(book, read);
  EXPECT_EQ(result.status, PoemFileStatus::kOk) << result.text;
  EXPECT_EQ(read.poemFirstGeneration, 4);
  EXPECT_EQ(Narrow(read.generationPoem), Narrow(u"克昌，厥后 𠮷"));

  std::ofstream(PoemFileFor(book), std::ios::binary | std::ios::trunc) << "第四世\n克昌\n";
  EXPECT_EQ(LoadPoem(book, read).status, PoemFileStatus::kMalformed);
  EXPECT_TRUE(SamePoem(read, BookData()));

  // No poem, or a text no poem file could hold: no file.
  for (const BookData& none : {BookData(), Poem(u"克昌 IV", 2)}) {
    ASSERT_EQ(SavePoem(book, poem), PoemSaveResult::kSaved);
    ASSERT_EQ(SavePoem(book, none), PoemSaveResult::kSaved);
    EXPECT_FALSE(std::filesystem::exists(PoemFileFor(book)));
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 0);
  std::filesystem::remove_all(dir);
}

class PoemFileBeside : public ::testing::Test {
protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("clanbook-poem-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(std::filesystem::create_directories(dir));
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  static void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  }

  std::filesystem::path dir;
};

// Only a regular file of sane size is read: a folder, a device, a pipe nobody
// writes and a file of megabytes are refused at once, and say which they are.
TEST_F(PoemFileBeside, OnlyARegularFileOfSaneSizeIsRead) {
  const std::string poemText = "3\n克昌厥后\n";
  const std::string padded =  // a well-formed poem of exactly the largest size
      poemText + std::string(kMaxPoemFileBytes - poemText.size(), '\n');
  const struct Row {
    const char* label;
    std::function<void(const std::filesystem::path&)> make;  // makes the poem file
    PoemFileStatus status;
    PoemProblem problem;
  } rows[] = {
      {"a link to a poem file",
       [&](const auto& file) {
         WriteBytes(dir / "elsewhere", poemText);
         std::filesystem::create_symlink(dir / "elsewhere", file);
       },
       PoemFileStatus::kOk, PoemProblem::kNone},
      {"the largest poem file", [&](const auto& file) { WriteBytes(file, padded); },
       PoemFileStatus::kOk, PoemProblem::kNone},
      {"a folder", [](const auto& file) { std::filesystem::create_directory(file); },
       PoemFileStatus::kCannotRead, PoemProblem::kFolder},
      {"a link to /dev/zero",
       [](const auto& file) { std::filesystem::create_symlink("/dev/zero", file); },
       PoemFileStatus::kCannotRead, PoemProblem::kNotRegular},
      {"a pipe nobody writes", [](const auto& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); },
       PoemFileStatus::kCannotRead, PoemProblem::kNotRegular},
      {"one byte too many", [&](const auto& file) { WriteBytes(file, padded + "\n"); },
       PoemFileStatus::kCannotRead, PoemProblem::kTooLarge},
      {"100 MB of nothing",
       [](const auto& file) {
         WriteBytes(file, "");
         std::filesystem::resize_file(file, 100 << 20);
       },
       PoemFileStatus::kCannotRead, PoemProblem::kTooLarge},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::filesystem::path book = dir / "书.ftf";
    std::filesystem::remove_all(PoemFileFor(book));
    ASSERT_NO_FATAL_FAILURE(row.make(PoemFileFor(book)));
    BookData poem = Poem(u"旧", 7);
    const PoemFileResult result = LoadPoem(book, poem);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.problem, row.problem);
    if (row.status == PoemFileStatus::kOk) {
      EXPECT_EQ(poem.poemFirstGeneration, 3);
      EXPECT_EQ(poem.generationPoem, u"克昌厥后");
    } else {
      EXPECT_TRUE(SamePoem(poem, BookData()));
      EXPECT_EQ(result.text, PoemFileFor(book).string());
      EXPECT_EQ(result.number, row.problem == PoemProblem::kTooLarge ? kMaxPoemFileBytes : 0u);
    }
  }
}

// A book named as long as the file system allows: no poem file can bear a
// longer name, so there is no poem to read, nothing to remove, and a poem to
// write is refused for its name, not as a failure a later save might mend.
TEST_F(PoemFileBeside, ABookNameTooLongForAPoemFile) {
  const struct Row {
    std::size_t length;  // of the book's name in bytes
    PoemSaveResult withPoem;
  } rows[] = {{249, PoemSaveResult::kSaved},  // the poem's name just fits
              {250, PoemSaveResult::kNameTooLong},
              {255, PoemSaveResult::kNameTooLong}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.length);
    const std::filesystem::path book = dir / (std::string(row.length - 4, 'f') + ".ftf");
    WriteBytes(book, "the book");
    BookData read = Poem(u"旧", 7);
    EXPECT_EQ(LoadPoem(book, read).status, PoemFileStatus::kMissing);
    EXPECT_TRUE(SamePoem(read, BookData()));
    EXPECT_EQ(SavePoem(book, BookData()), PoemSaveResult::kSaved);
    EXPECT_EQ(SavePoem(book, Poem(u"永昌", 2)), row.withPoem);
    EXPECT_EQ(LoadPoem(book, read).status, row.withPoem == PoemSaveResult::kSaved
                                               ? PoemFileStatus::kOk
                                               : PoemFileStatus::kMissing);
    EXPECT_EQ(SavePoem(book, BookData()), PoemSaveResult::kSaved);
    // Nothing beside the book: no poem file, no temporary one.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    std::filesystem::remove(book);
  }
}

// Saving a book without a poem removes a poem file, never a folder of that name.
TEST_F(PoemFileBeside, NoPoemLeavesAFolderOfThePoemFilesNameAlone) {
  const std::filesystem::path book = dir / "书.ftf";
  ASSERT_TRUE(std::filesystem::create_directory(PoemFileFor(book)));
  EXPECT_EQ(SavePoem(book, BookData()), PoemSaveResult::kSaved);
  EXPECT_TRUE(std::filesystem::is_directory(PoemFileFor(book)));
  // A poem cannot be written where the folder is; a later save may, once it is gone.
  EXPECT_EQ(SavePoem(book, Poem(u"永昌", 2)), PoemSaveResult::kFailed);
  EXPECT_TRUE(std::filesystem::is_directory(PoemFileFor(book)));
}

}  // namespace
