// The one table of formats: which file a name marks, and that every format it
// hands out reads back what it writes through the same FileFormat calls.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "../model/ModelTestSupport.h"
#include "FileTestSupport.h"
#include "formats/CbkFormat.h"
#include "formats/FormatRegistry.h"
#include "formats/FtfFormat.h"
#include "formats/gedcom/GedcomFormat.h"

using namespace modeltest;

namespace {

TEST(FormatRegistry, AFileNameMarksItsFormatByItsLastSuffixInAnyCase) {
  using formats::FormatId;
  const struct Row {
    const char* name;
    std::optional<FormatId> id;  // none: no format
  } rows[] = {
      {"clan.ftf", FormatId::kFtf},    {"/home/a/Clan.FTF", FormatId::kFtf},
      {".ftf", FormatId::kFtf},        {"tree.ged", FormatId::kGedcom},
      {"TREE.Ged", FormatId::kGedcom}, {"clan.ftf.bak", std::nullopt},
      {"clanftf", std::nullopt},       {"a.ged/clan", std::nullopt},
      {"book.GDZ", FormatId::kGedzip}, {"book.gdz.ged", FormatId::kGedcom},
      {"ftf", std::nullopt},           {"", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const formats::FormatEntry* entry = formats::FormatOfFile(row.name);
    ASSERT_EQ(entry != nullptr, row.id.has_value());
    if (entry) {
      EXPECT_EQ(entry->id, *row.id);
    }
  }
}

// A file dialog's patterns of each format match exactly the names that mark
// it, in the case given: lower, and upper when asked for.
TEST(FormatRegistry, EachFormatsNamePatternsMatchTheNamesThatMarkIt) {
  for (const formats::FormatEntry& format : formats::Formats()) {
    SCOPED_TRACE(std::string(format.suffix));
    EXPECT_EQ(&formats::FormatOf(format.id), &format);
    const std::string lower = formats::NamePatterns(format.id);
    const std::string both = formats::NamePatterns(format.id, true);
    ASSERT_EQ(lower.rfind("*.", 0), 0u);
    ASSERT_EQ(both.rfind(lower + " *.", 0), 0u);
    const std::string upper = both.substr(lower.size() + 1);
    EXPECT_NE(upper, lower);
    for (const std::string& pattern : {lower, upper}) {
      const formats::FormatEntry* marked = formats::FormatOfFile("clan" + pattern.substr(1));
      ASSERT_NE(marked, nullptr) << pattern;
      EXPECT_EQ(marked->id, format.id) << pattern;
    }
  }
}

class RegisteredFormats : public TempFolderTest {};

// Every registered format that writes reads its own file back to the same
// tree, through the path helpers and a format object from the registry.
TEST_F(RegisteredFormats, EachReadsBackWhatItWrote) {
  COperationClanbook tree;
  Add(tree, u"", u"孔丘", 1900, 3, 4);
  Add(tree, u"孔丘", u"孔鲤", 1925, 5, 6)->address = u"曲阜";
  Add(tree, u"孔丘", u"孔伋", 1930);
  ASSERT_FALSE(formats::Formats().empty());
  for (const formats::FormatEntry& entry : formats::Formats()) {
    SCOPED_TRACE(std::string(entry.suffix));
    ASSERT_TRUE(entry.reads && entry.writes);
    const auto file = folder_ / ("book." + std::string(entry.suffix));
    ASSERT_EQ(formats::FormatOfFile(file.string())->id, entry.id);
    EXPECT_TRUE(formats::WriteFile(*formats::MakeFormat(entry.id), tree, file).Ok());
    COperationClanbook again;
    EXPECT_TRUE(formats::ReadFile(*formats::MakeFormat(entry.id), file, again).Ok());
    EXPECT_EQ(Shape(again), Shape(tree));
  }
}

// Every book file keeps the 字辈 and its 世: a .ftf in the poem file beside
// it, the others in themselves, where a poem file beside them is not read.
// A poem file that cannot be read leaves the book without a poem and says
// why; a .ftf written without a poem takes away the one of another book.
TEST_F(RegisteredFormats, EveryBookFileKeepsTheGenerationPoem) {
  COperationClanbook tree;
  Add(tree, u"", u"孔丘", 1900, 3, 4);
  Add(tree, u"孔丘", u"孔鲤", 1925, 5, 6);
  tree.Book().generationPoem = u"克昌，厥后";
  tree.Book().poemFirstGeneration = 3;
  for (const formats::FormatEntry& entry : formats::Formats()) {
    SCOPED_TRACE(std::string(entry.suffix));
    const bool ftf = entry.id == formats::FormatId::kFtf;
    const auto file = folder_ / ("poem." + std::string(entry.suffix));
    PoemSaveResult saved = PoemSaveResult::kFailed;
    ASSERT_TRUE(formats::WriteBookFile(file, tree, {}, &saved).Ok());
    EXPECT_EQ(saved, PoemSaveResult::kSaved);
    EXPECT_EQ(std::filesystem::exists(PoemFileFor(file)), ftf);
    if (!ftf) Write("1\n永昌\n", (file.filename().string() + ".zibei").c_str());
    COperationClanbook again;
    PoemFileResult read;
    ASSERT_TRUE(formats::ReadBookFile(file, again, {}, &read).Ok());
    EXPECT_EQ(read.status, ftf ? PoemFileStatus::kOk : PoemFileStatus::kMissing);
    EXPECT_EQ(again.Book().generationPoem, u"克昌，厥后");
    EXPECT_EQ(again.Book().poemFirstGeneration, 3);
  }
  const auto ftf = folder_ / "poem.ftf";
  Write("3\n克a昌\n", "poem.ftf.zibei");
  COperationClanbook again;
  PoemFileResult read;
  ASSERT_TRUE(formats::ReadBookFile(ftf, again, {}, &read).Ok());
  EXPECT_EQ(read.status, PoemFileStatus::kMalformed);
  EXPECT_EQ(read.problem, PoemProblem::kNotIdeograph);
  EXPECT_TRUE(again.Book().Empty());
  ASSERT_NE(again.Root(), nullptr);
  ASSERT_TRUE(formats::WriteBookFile(ftf, again).Ok());
  EXPECT_FALSE(std::filesystem::exists(PoemFileFor(ftf)));
}

// What a .ftf would drop: the poem file keeps a 字辈, not a text that is no
// poem, and nothing keeps the rest of the book's data.
TEST(FtfKeeps, TheGenerationPoemBesideItAndNoOtherBookData) {
  struct Row {
    std::u16string poem, title;
    std::vector<RecordField> dropped;
  };
  const Row rows[] = {
      {u"", u"", {}},
      {u"克昌，厥后。", u"", {}},
      {u"克昌 IV", u"", {RecordField::kGenerationPoem}},
      {u"克昌", u"孔氏家谱", {RecordField::kBookTitle}},
  };
  for (const Row& row : rows) {
    COperationClanbook tree;
    Add(tree, u"", u"孔丘", 1900);
    tree.Book().generationPoem = row.poem;
    tree.Book().title = row.title;
    EXPECT_EQ(formats::FieldsFtfDoesNotKeep(tree), row.dropped) << Narrow(row.poem);
  }
}

// GEDCOM through FileFormat: a file that is no GEDCOM is refused with the
// import's own reason and leaves the tree empty; a chosen root is honoured.
TEST_F(RegisteredFormats, GedcomKeepsItsOptionsAndItsReasons) {
  formats::GedcomFormat format;
  COperationClanbook tree;
  Add(tree, u"", u"甲", 1900);
  const formats::ReadResult refused = format.Read("no gedcom at all\n", tree, {});
  EXPECT_EQ(refused.code, kFileCannotOpen);
  EXPECT_EQ(format.Result().error, gedcom::GedcomError::kNotGedcom);
  EXPECT_EQ(tree.Root(), nullptr);

  const std::string twoLines =
      "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
      "0 @I1@ INDI\n1 NAME 甲\n1 BIRT\n2 DATE 1 JAN 1900\n"
      "0 @I2@ INDI\n1 NAME 乙\n1 BIRT\n2 DATE 1 JAN 1901\n0 TRLR\n";
  format.options.rootXref = "@I2@";
  ASSERT_TRUE(format.Read(twoLines, tree, {}).Ok());
  ASSERT_NE(tree.Root(), nullptr);
  EXPECT_EQ(tree.Root()->name, u"乙");
  EXPECT_EQ(tree.Root()->firstChild, nullptr);
  EXPECT_EQ(format.Report().rootXref, "@I2@");
}

}  // namespace
