// The whole record through GEDCOM: a book with every field of every kind
// filled goes .cbk -> GEDCOM -> .cbk unchanged, in both versions; each field
// is written with the tags docs/gedcom.md names; a file of another program
// keeps its wives, burials, notes and pictures and names what had no place.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "../formats/WholeBook.h"
#include "GedcomTestSupport.h"
#include "formats/CbkFormat.h"
#include "formats/cbk/CbkBook.h"

using namespace gedcomtest;
using namespace wholebook;
using gedcom::GedcomVersion;

namespace {

// The ways a book goes to GEDCOM and back: the command line's export and
// import in either version, or the registry's book files (--convert, 7.0).
struct Route {
  GedcomVersion version;
  bool registry;
};

class GedcomWholeRecord : public ScratchFolder, public ::testing::WithParamInterface<Route> {};

// .cbk -> GEDCOM -> .cbk: every field comes back, nothing was made up and
// no fact lacked a place.
TEST_P(GedcomWholeRecord, FilledBookComesBackInEveryField) {
  const GedcomVersion version = GetParam().version;
  COperationClanbook original;
  FillBook(original);
  const std::string expected = DumpAll(original);
  const auto first = folder_ / "first.cbk";
  ASSERT_TRUE(formats::CbkBook::SaveAs(first, original, nullptr).Ok());
  std::ostringstream messages, report;
  const auto ged = folder_ / "book.ged";
  const auto second = folder_ / "second.cbk";
  if (GetParam().registry) {
    COperationClanbook read;
    ASSERT_TRUE(formats::ReadBookFile(first, read).Ok());
    ASSERT_TRUE(formats::WriteBookFile(ged, read, first).Ok());
    EXPECT_NE(Read(ged).find("2 VERS 7.0\r\n"), std::string::npos);
    COperationClanbook imported;
    ASSERT_TRUE(formats::ReadBookFile(ged, imported).Ok());
    ASSERT_TRUE(formats::WriteBookFile(second, imported).Ok());
  } else {
    ASSERT_EQ(gedcom::ExportGedcomFile(first, ged, version, messages), 0) << messages.str();
    ASSERT_EQ(gedcom::ImportGedcomFile(ged, second, std::string("@I1@"), report), 0)
        << report.str();
    EXPECT_NE(report.str().find("\n0 changes\n0 facts with no place in the book\n"),
              std::string::npos)
        << report.str();
  }
  EXPECT_TRUE(std::filesystem::exists(folder_ / "book-media" / "1.png"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "book-media" / "2.jpg"));
  COperationClanbook back;
  std::unique_ptr<formats::CbkBook> file;
  ASSERT_TRUE(formats::CbkBook::Open(second, formats::CbkBook::Access::kReadOnly, back, file).Ok());
  EXPECT_EQ(DumpAll(back, file.get()), expected) << Read(ged);
}

INSTANTIATE_TEST_SUITE_P(Routes, GedcomWholeRecord,
                         ::testing::Values(Route{GedcomVersion::v7_0, false},
                                           Route{GedcomVersion::v5_5_1, false},
                                           Route{GedcomVersion::v7_0, true}));

// Each field in the tags the mapping gives it, per version.
struct TagRow {
  const char* what;
  const char* v70;  // "" : not in this version's text
  const char* v551;
};

class GedcomRecordTags : public ::testing::TestWithParam<TagRow> {};

TEST_P(GedcomRecordTags, WritesEachFieldWithItsTags) {
  COperationClanbook book;
  FillBook(book);
  for (const GedcomVersion version : {GedcomVersion::v7_0, GedcomVersion::v5_5_1}) {
    std::string text;
    gedcom::WriteGedcom(book, version, text);
    const char* want = version == GedcomVersion::v7_0 ? GetParam().v70 : GetParam().v551;
    if (*want)
      EXPECT_NE(text.find(want), std::string::npos) << GetParam().what << "\n" << text;
    else
      EXPECT_EQ(text.find(GetParam().v70), std::string::npos) << GetParam().what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, GedcomRecordTags,
    ::testing::Values(
        TagRow{"字", "1 NAME 仲尼\r\n2 TYPE OTHER\r\n3 PHRASE 字\r\n",
               "1 NAME 仲尼\r\n2 TYPE 字\r\n"},
        TagRow{"号", "1 NAME 尼山\r\n2 TYPE OTHER\r\n3 PHRASE 号\r\n",
               "1 NAME 尼山\r\n2 TYPE 号\r\n"},
        TagRow{"sex of a daughter", "1 NAME /孔/女\r\n2 GIVN 女\r\n2 SURN 孔\r\n1 SEX F\r\n",
               "1 NAME /孔/女\r\n2 GIVN 女\r\n2 SURN 孔\r\n1 SEX F\r\n"},
        TagRow{"生时 as 时辰", "2 _HOUR 子时\r\n", "2 _HOUR 子时\r\n"},
        TagRow{"生时 on the clock", "3 TIME 23:15\r\n", "2 _HOUR 23:15\r\n"},
        TagRow{"burial", "1 BURI\r\n2 PLAC 泗上\r\n2 _FACING 坐北朝南\r\n",
               "1 BURI\r\n2 PLAC 泗上\r\n2 _FACING 坐北朝南\r\n"},
        TagRow{"功名", "1 OCCU 司寇\r\n", "1 OCCU 司寇\r\n"},
        TagRow{"排行", "1 FACT 次子\r\n2 TYPE 排行\r\n", "1 FACT 次子\r\n2 TYPE 排行\r\n"},
        TagRow{"房支", "1 FACT 长房\r\n2 TYPE 房支\r\n", "1 FACT 长房\r\n2 TYPE 房支\r\n"},
        TagRow{"行传", "1 NOTE 第一段。\r\n2 CONT 第二段，@与\"引号\"。\r\n2 CONT \r\n",
               "1 NOTE 第一段。\r\n2 CONT 第二段，@@与\"引号\"。\r\n2 CONT \r\n"},
        TagRow{"行传 marked", "2 CONT 第三段\r\n2 _BIOG Y\r\n1 NOTE @@备注\r\n",
               "2 CONT 第三段\r\n2 _BIOG Y\r\n1 NOTE @@备注\r\n"},
        TagRow{"source", "1 SOUR @S1@\r\n2 PAGE 卷一\r\n", "1 SOUR @S1@\r\n2 PAGE 卷一\r\n"},
        TagRow{"source records after the person",
               "1 OBJE @O2@\r\n0 @S1@ SOUR\r\n1 TITL 阙里志\r\n0 @S2@ SOUR\r\n1 TITL 史记\r\n",
               "1 OBJE @O2@\r\n0 @S1@ SOUR\r\n1 TITL 阙里志\r\n0 @S2@ SOUR\r\n1 TITL 史记\r\n"},
        TagRow{"a source met again", "1 SOUR @S1@\r\n2 PAGE 卷二\r\n",
               "1 SOUR @S1@\r\n2 PAGE 卷二\r\n"},
        TagRow{"picture", "0 @O1@ OBJE\r\n1 FILE media/1.png\r\n2 FORM image/png\r\n2 TITL 像\r\n",
               "0 @O1@ OBJE\r\n1 FILE media/1.png\r\n2 FORM png\r\n2 TITL 像\r\n"},
        TagRow{"wife and title", "1 WIFE @W2@\r\n1 MARR Y\r\n2 TYPE 继配\r\n1 CHIL @I2@\r\n",
               "1 WIFE @W2@\r\n1 MARR Y\r\n2 TYPE 继配\r\n1 CHIL @I2@\r\n"},
        TagRow{
            "wife's record",
            "0 @W1@ INDI\r\n1 NAME 某 /亓官/\r\n2 GIVN 某\r\n2 SURN 亓官\r\n1 SEX F\r\n1 BIRT\r\n"
            "2 DATE 2 JAN 1902\r\n1 DEAT\r\n2 DATE 1960\r\n1 BURI\r\n2 PLAC 泗上\r\n"
            "1 FACT 宋\r\n2 TYPE 籍贯\r\n1 NOTE 贤\r\n2 CONT 淑\r\n1 FAMC @FW1@\r\n",
            "0 @W1@ INDI\r\n1 NAME 某 /亓官/\r\n"},
        TagRow{"wife's father", "0 @FW1@ FAM\r\n1 HUSB @WF1@\r\n1 CHIL @W1@\r\n0 @WF1@ INDI\r\n",
               "0 @FW1@ FAM\r\n1 HUSB @WF1@\r\n1 CHIL @W1@\r\n0 @WF1@ INDI\r\n"},
        TagRow{"a wife of whom nothing is known", "0 @W3@ INDI\r\n1 SEX F\r\n1 DEAT Y\r\n",
               "0 @W3@ INDI\r\n1 SEX F\r\n1 DEAT Y\r\n"},
        TagRow{"daughter's husband", "1 HUSB @H1@\r\n1 WIFE @I4@\r\n1 MARR Y\r\n0 @H1@ INDI\r\n",
               "1 HUSB @H1@\r\n1 WIFE @I4@\r\n1 MARR Y\r\n0 @H1@ INDI\r\n"},
        TagRow{"出继 to a member", "2 PEDI ADOPTED\r\n1 FAMC @F", "2 PEDI adopted\r\n1 FAMC @F"},
        TagRow{"生父 no member", "1 FACT 孔外\r\n2 TYPE 生父\r\n",
               "1 FACT 孔外\r\n2 TYPE 生父\r\n"},
        TagRow{"兼祧", "2 PEDI OTHER\r\n3 PHRASE 兼祧\r\n", "2 PEDI adopted\r\n2 NOTE 兼祧\r\n"},
        TagRow{"extension tags declared", "1 SCHMA\r\n2 TAG _HOUR https://", ""},
        TagRow{"the 字辈's 世 declared", "2 TAG _GEN https://", ""},
        TagRow{"字辈 and its 世", "2 _POEM 希言公彦承，宏闻贞尚衍。\r\n3 _GEN 45\r\n",
               "2 _POEM 希言公彦承，宏闻贞尚衍。\r\n3 _GEN 45\r\n"},
        TagRow{"book data",
               "1 _BOOK\r\n2 _TITLE 孔氏家谱\r\n2 _HALL 诗礼堂\r\n2 _SEAT 鲁国\r\n"
               "2 _YEAR 1930\r\n",
               "1 _BOOK\r\n2 _TITLE 孔氏家谱\r\n"}));

// A 生父 or 兼祧 father who is the father a member stands under says
// nothing new; written as a second link to his own family, it would take him
// out of the line.
TEST(GedcomRecordFathers, AFatherNamedTwiceKeepsTheSonInTheLine) {
  for (const GedcomVersion version : {GedcomVersion::v7_0, GedcomVersion::v5_5_1}) {
    COperationClanbook book;
    MemberNode* root = Add(book, nullptr, u"孔甲", 1900);
    MemberNode* son = Add(book, root, u"孔乙", 1920);
    son->extra.EditRecord().birthFather = u"孔甲";
    son->extra.EditRecord().secondFather = u"孔甲";
    std::string text;
    gedcom::WriteGedcom(book, version, text);
    COperationClanbook back;
    gedcom::GedcomImportReport report;
    ASSERT_TRUE(gedcom::ReadGedcom(text, {}, back, report));
    EXPECT_EQ(DumpAll(back), DumpAll(book)) << text;
  }
}

// A file as another program writes it: notes and sources as records, a
// picture whose file is there and one whose file is not, a birth place, a
// wife with facts of her own. Kept where the book has a place, named where
// it has none.
TEST_F(ScratchFolder, ImportKeepsWhatHasAPlaceAndNamesTheRest) {
  std::filesystem::create_directories(folder_ / "pics");
  Write(kJpeg, "pics/p.jpg");
  Write("not a picture", "pics/t.jpg");
  const auto ged = Write(
      "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
      "0 @I1@ INDI\n1 NAME John /Smith/\n1 SEX M\n1 BIRT\n2 DATE 1 JAN 1800\n2 PLAC Leeds\n"
      "1 BURI\n2 DATE 1870\n2 PLAC St Mary\n1 NOTE @N1@\n1 SOUR @S1@\n2 PAGE p. 4\n2 QUAY 3\n"
      "1 OBJE @O1@\n1 OBJE @O2@\n1 OBJE\n2 FILE pics/missing.png\n1 BAPM\n2 DATE 1800\n"
      "1 NAME Jack\n2 TYPE aka\n1 FAMS @F1@\n1 CHAN\n2 DATE 1 JAN 2000\n"
      "0 @I2@ INDI\n1 NAME Mary /Brown/\n1 SEX F\n1 BIRT\n2 DATE ABT 1805\n1 DEAT\n"
      "1 OCCU weaver\n1 FAMS @F1@\n1 FAMC @F2@\n"
      "0 @I3@ INDI\n1 NAME Ann /Smith/\n1 SEX F\n1 BIRT\n2 DATE 1 JAN 1830\n1 FAMC @F1@\n"
      "1 FAMS @F3@\n"
      "0 @I4@ INDI\n1 NAME Tom /Jones/\n1 SEX M\n1 FAMS @F3@\n"
      "0 @I5@ INDI\n1 NAME Old /Brown/\n1 FAMS @F2@\n"
      "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 MARR\n2 DATE 1825\n"
      "0 @F2@ FAM\n1 HUSB @I5@\n1 CHIL @I2@\n"
      "0 @F3@ FAM\n1 HUSB @I4@\n1 WIFE @I3@\n"
      "0 @N1@ NOTE A weaver's son.\n1 CONT Second line.\n"
      "0 @S1@ SOUR\n1 TITL Parish register\n"
      "0 @O1@ OBJE\n1 FILE pics/p.jpg\n2 FORM jpg\n2 TITL Portrait\n"
      "0 @O2@ OBJE\n1 FILE pics/t.jpg\n0 TRLR\n",
      "other.ged");
  std::ostringstream report;
  const auto out = folder_ / "out.cbk";
  ASSERT_EQ(gedcom::ImportGedcomFile(ged, out, std::string("@I1@"), report), 0) << report.str();
  COperationClanbook book;
  std::unique_ptr<formats::CbkBook> file;
  ASSERT_TRUE(formats::CbkBook::Open(out, formats::CbkBook::Access::kReadOnly, book, file).Ok());
  const MemberRecord& john = book.Root()->extra.Record();
  EXPECT_EQ(U8(john.burialPlace), "St Mary");
  EXPECT_EQ(U8(john.note), "A weaver's son.\nSecond line.");
  ASSERT_EQ(john.sources.size(), 1u);
  EXPECT_EQ(U8(john.sources[0].title), "Parish register");
  EXPECT_EQ(U8(john.sources[0].detail), "p. 4");
  ASSERT_EQ(john.photos.size(), 1u);
  EXPECT_EQ(U8(john.photos[0].caption), "Portrait");
  ASSERT_EQ(john.spouses.size(), 1u);
  const Spouse& mary = john.spouses[0];
  EXPECT_EQ(U8(mary.surname) + "|" + U8(mary.givenName) + "|" + U8(mary.father),
            "Brown|Mary|Old·Brown");
  EXPECT_EQ(mary.alive, 0);
  const MemberNode* ann = book.Root()->firstChild;
  ASSERT_NE(ann, nullptr);
  EXPECT_EQ(ann->extra.Record().sex, Sex::kFemale);
  EXPECT_EQ(ann->extra.Record().mother, 0);
  EXPECT_EQ(U8(ann->extra.Record().husbandName), "Tom·Jones");
  // Every fact without a place, each once, in the order met.
  const std::string text = report.str();
  const std::size_t facts = text.find(" facts with no place in the book\n");
  ASSERT_NE(facts, std::string::npos) << text;
  std::string named;
  std::istringstream lines(text.substr(facts + 33));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t a = line.find('\t'), b = line.find('\t', a + 1), c = line.find('\t', b + 1);
    named +=
        line.substr(0, a) + " " + line.substr(b + 1, c - b - 1) + " " + line.substr(c + 1) + "\n";
  }
  EXPECT_EQ(named,
            "@I1@ BIRT.PLAC Leeds\n@I1@ BURI.DATE 1870\n@I1@ SOUR.QUAY 3\n"
            "@I1@ OBJE.FILE pics/t.jpg\n@I1@ OBJE.FILE pics/missing.png\n@I1@ BAPM \n"
            "@I1@ NAME Jack\n@F1@ MARR.DATE 1825\n@I2@ BIRT.DATE ABT 1805\n@I2@ OCCU weaver\n")
      << text;
}

// The Gramps example (2,157 people) exported as GEDCOM 5.5.1 by Gramps 5.1.5:
// the line of a root comes in with its wives, burials, notes, daughters'
// husbands and pictures; a picture whose file is not where the file says
// is named, and kept when it lies beside the .ged.
struct GrampsRow {
  const char* root;  // "" : the largest line
  bool picturesBeside;
  std::size_t members, wives, memberBurials, wifeBurials, husbands, notes, photos, missing, changes;
};

class GedcomGrampsExample : public ScratchFolder,
                            public ::testing::WithParamInterface<GrampsRow> {};

TEST_P(GedcomGrampsExample, KeepsWivesBurialsNotesAndPictures) {
  const GrampsRow& row = GetParam();
  const auto ged = folder_ / "example.ged";
  std::filesystem::copy_file(
      std::filesystem::path(CLANBOOK_SOURCE_DIR) / "tests/data/gedcom/gramps-example.ged", ged);
  // The pictures of its people, by the names the file gives them.
  if (row.picturesBeside)
    for (const char* name : {"654px-Aksel_Andersson.jpg", "1897_expeditionsmannschaft_rio_a.jpg",
                             "E_W_Dahlgren.jpg", "Gunnlaugur_Larusson_-_Yawn.jpg"})
      Write(kJpeg, name);
  COperationClanbook book;
  gedcom::GedcomImportOptions options;
  if (*row.root) options.rootXref = row.root;
  options.mediaFolder = folder_;
  gedcom::GedcomImportReport report;
  ASSERT_TRUE(gedcom::ReadGedcom(Read(ged), options, book, report));
  EXPECT_EQ(report.members, row.members);
  EXPECT_EQ(report.changes.size(), row.changes);
  struct Counts {
    std::size_t wives = 0, memberBurials = 0, wifeBurials = 0, husbands = 0, notes = 0, photos = 0;
  } counts;
  book.VisitPreOrder(counts, book.Root(), [](Counts& c, const MemberNode* m) {
    const MemberRecord& r = m->extra.Record();
    c.wives += r.spouses.size();
    c.memberBurials += !r.burialPlace.empty();
    for (const Spouse& s : r.spouses) c.wifeBurials += !s.burial.empty();
    c.husbands += !r.husbandName.empty();
    c.notes += !r.note.empty();
    c.photos += r.photos.size();
  });
  EXPECT_EQ(counts.wives, row.wives);
  EXPECT_EQ(counts.memberBurials, row.memberBurials);
  EXPECT_EQ(counts.wifeBurials, row.wifeBurials);
  EXPECT_EQ(counts.husbands, row.husbands);
  EXPECT_EQ(counts.notes, row.notes);
  EXPECT_EQ(counts.photos, row.photos);
  std::size_t missing = 0, places = 0;
  for (const gedcom::GedcomDropped& d : report.dropped) {
    missing += d.fact == "OBJE.FILE";
    places += d.fact == "BIRT.PLAC";
  }
  EXPECT_EQ(missing, row.missing);
  // Birth places have no place in the book: each is named.
  EXPECT_GT(places, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, GedcomGrampsExample,
    ::testing::Values(GrampsRow{"", false, 113, 32, 11, 5, 14, 0, 0, 0, 155},
                      GrampsRow{"@I0104@", false, 63, 22, 19, 5, 16, 1, 0, 5, 78},
                      GrampsRow{"@I0104@", true, 63, 22, 19, 5, 16, 1, 5, 0, 78}));

}  // namespace
