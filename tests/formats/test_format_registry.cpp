// The one table of formats: which file a name marks, and that every format it
// hands out reads back what it writes through the same FileFormat calls.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "../model/ModelTestSupport.h"
#include "FileTestSupport.h"
#include "formats/FormatRegistry.h"
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
