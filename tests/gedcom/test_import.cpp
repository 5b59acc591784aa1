// GEDCOM files of every version and encoding imported into a genealogy.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "GedcomTestSupport.h"

using namespace gedcomtest;
using gedcom::GedcomError;

namespace {

std::string Data(const char* name) {
  std::ifstream in(std::filesystem::path(CLANBOOK_SOURCE_DIR) / "tests/data/gedcom" / name,
                   std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Imported {
  gedcom::GedcomResult result;
  gedcom::GedcomImportReport report;
  std::string tree;
  std::string Changes() const {
    std::ostringstream out;
    for (const auto& c : report.changes)
      out << c.xref << ' ' << c.field << " [" << c.original << "] -> [" << c.stored << "]\n";
    return out.str();
  }
};

Imported Import(const std::string& bytes, std::optional<std::string> root = std::nullopt) {
  Imported i;
  COperationClanbook tree;
  gedcom::GedcomImportOptions options;
  options.rootXref = std::move(root);
  i.result = gedcom::ReadGedcom(bytes, options, tree, i.report);
  i.tree = Dump(tree);
  return i;
}

// ---- Versions and encodings -------------------------------------------

struct FileRow {
  const char* file;
  const char* encoding;
  const char* version;
  const char* tree;
};

class GedcomImportFile : public ::testing::TestWithParam<FileRow> {};

TEST_P(GedcomImportFile, ReadsEachVersionAndEncoding) {
  const FileRow& row = GetParam();
  const Imported i = Import(Data(row.file));
  ASSERT_TRUE(i.result) << i.result.detail;
  EXPECT_EQ(i.report.encoding, row.encoding);
  EXPECT_EQ(i.report.version, row.version);
  EXPECT_EQ(i.tree, row.tree) << i.Changes();
}

INSTANTIATE_TEST_SUITE_P(
    Files, GedcomImportFile,
    ::testing::Values(
        FileRow{"ansel-55.ged", "ANSEL", "5.5",
                "François·Müller 1850-3-2 m0 a1 [Małgorzata·Dvořák Øystein·Ångström]\n"
                "Małgorzata·Dvořák 1878-1-1 m0 a1 []\n"
                "Øystein·Ångström 1880-1-1 m0 a1 @København,·Danmark []\n"},
        FileRow{"utf16le-555.ged", "UTF-16LE", "5.5.5",
                "欧阳修 1007-8-1 m1 a0 d1072-9-28 [欧阳发]\n欧阳发 1040-1-1 m0 a1 []\n"},
        FileRow{"family-70.ged", "UTF-8", "7.0",
                // The residence's address wins over its payload; a line break
                // between Chinese characters is dropped.
                // A missing birth is the father's and 25 years.
                "孔纥 -599-1-1 m1 a1 [@home·Doe 孔丘]\n"
                "@home·Doe -574-1-1 m0 a1 []\n"
                "孔丘 -550-9-28 m0 a0 d-478-3-4 @鲁国曲阜 []\n"}));

// The same small file in every encoding and with every kind of line end.
TEST(GedcomImportText, DecodesEveryEncodingAlike) {
  const std::string text =
      "0 HEAD\r\n1 GEDC\r\n2 VERS 5.5.1\r\n1 CHAR UTF-8\r\n0 @I1@ INDI\r\n1 NAME 李 /白/\r\n"
      "1 BIRT\r\n2 DATE 8 FEB 701\r\n0 TRLR\r\n";
  const std::string expected = "李白 701-2-8 m0 a1 []\n";
  std::u16string wide = gedcom::detail::ToUtf16(text);
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char16_t c : wide) {
    le += static_cast<char>(c & 0xFF);
    le += static_cast<char>(c >> 8);
    be += static_cast<char>(c >> 8);
    be += static_cast<char>(c & 0xFF);
  }
  std::string lf = text, cr = text, indented;
  for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.replace(p, 2, "\n");
  for (std::size_t p; (p = cr.find("\r\n")) != std::string::npos;) cr.replace(p, 2, "\r");
  // Leading blanks and a level that jumps ahead, as some programs write.
  std::istringstream lines(lf);
  for (std::string line; std::getline(lines, line);)
    indented += "  " + (line == "2 DATE 8 FEB 701" ? "3 DATE 8 FEB 701" : line) + "\n";
  const struct {
    const char* what;
    std::string bytes;
  } rows[] = {{"UTF-8", text},
              {"BOM", "\xEF\xBB\xBF" + text},
              {"UTF-16LE", le},
              {"UTF-16BE", be},
              {"UTF-16LE, no BOM", le.substr(2)},
              {"LF", lf},
              {"CR", cr},
              {"indented", indented}};
  for (const auto& row : rows) {
    const Imported i = Import(row.bytes);
    ASSERT_TRUE(i.result) << row.what << ": " << i.result.detail;
    EXPECT_EQ(i.tree, expected) << row.what;
    EXPECT_TRUE(i.report.changes.empty()) << row.what << "\n" << i.Changes();
  }
}

TEST(GedcomImportText, ReadsLegacyCharacterSets) {
  const struct {
    const char* charset;
    std::string name;
    const char* encoding;
    const char* stored;
  } rows[] = {{"ANSI", "Andr\xE9 /Ch\xE2teau/", "Windows-1252", "André·Château"},
              {"ASCII", "Andr\xE9 /Ch\xE2teau/", "Windows-1252", "André·Château"},
              {"ANSEL",
               "Andr\xE2"
               "e /Ch\xE3"
               "ateau/",
               "ANSEL", "André·Château"},
              {"ANSI", "Andr\xC3\xA9 /Ch\xC3\xA2teau/", "UTF-8", "André·Château"},
              {"GB18030", "\xC0\xEE /\xB0\xD7/", "GB18030", "李白"}};
  for (const auto& row : rows) {
    const std::string bytes = std::string("0 HEAD\n1 CHAR ") + row.charset +
                              "\n0 @I1@ INDI\n1 NAME " + row.name +
                              "\n1 BIRT\n2 DATE 1 JAN 1900\n0 TRLR\n";
    const Imported i = Import(bytes);
    ASSERT_TRUE(i.result) << row.charset;
    EXPECT_EQ(i.report.encoding, row.encoding) << row.charset;
    EXPECT_EQ(i.tree, std::string(row.stored) + " 1900-1-1 m0 a1 []\n") << row.charset;
  }
}

// ---- Which people come in --------------------------------------------

// Two lines of descent in one file: Adam's (with a daughter, whose child
// belongs to her husband's line, and a son adopted into two families) and
// Noah's, which is longer.
const char* const kTwoLines =
    "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
    "0 @A@ INDI\n1 NAME Adam\n1 BIRT\n2 DATE 1 JAN 1800\n1 FAMS @F1@\n"
    "0 @EVE@ INDI\n1 NAME Eve\n1 FAMS @F1@\n"
    "0 @D@ INDI\n1 NAME Dinah\n1 SEX F\n1 BIRT\n2 DATE 1 JAN 1830\n1 FAMC @F1@\n1 FAMS @F2@\n"
    "0 @S@ INDI\n1 NAME Seth\n1 BIRT\n2 DATE 1 JAN 1825\n1 FAMC @F1@\n1 FAMC @F3@\n"
    "0 @N@ INDI\n1 NAME Noah\n1 BIRT\n2 DATE 1 JAN 1700\n1 FAMS @F3@\n"
    "0 @H@ INDI\n1 NAME Ham\n1 BIRT\n2 DATE 1 JAN 1730\n1 FAMC @F3@\n1 FAMS @F2@\n"
    "0 @K@ INDI\n1 NAME Kid\n1 BIRT\n2 DATE 1 JAN 1760\n1 FAMC @F2@\n"
    "0 @F1@ FAM\n1 HUSB @A@\n1 WIFE @EVE@\n1 CHIL @S@\n1 CHIL @D@\n"
    "0 @F2@ FAM\n1 HUSB @H@\n1 WIFE @D@\n1 CHIL @K@\n"
    "0 @F3@ FAM\n1 HUSB @N@\n1 CHIL @H@\n1 CHIL @S@\n0 TRLR\n";

TEST(GedcomImportLine, OffersRootsLargestFirst) {
  std::vector<gedcom::GedcomRootCandidate> candidates;
  ASSERT_TRUE(gedcom::ListRootCandidates(kTwoLines, candidates));
  std::string text;
  for (const auto& c : candidates)
    text += c.xref + " " + c.name + " " + std::to_string(c.members) + "\n";
  EXPECT_EQ(text, "@N@ Noah 4\n@A@ Adam 3\n@EVE@ Eve 1\n");
}

TEST(GedcomImportLine, BringsInTheRootsLine) {
  const struct {
    std::optional<std::string> root;
    const char* tree;
  } rows[] = {
      // Noah's by default: Ham, Ham's son, and Seth at his first place.
      {std::nullopt,
       "Noah 1700-1-1 m0 a1 [Ham Seth]\nHam 1730-1-1 m1 a1 [Kid]\nKid 1760-1-1 m0 a1 []\n"
       "Seth 1825-1-1 m0 a1 []\n"},
      // Adam's: his daughter but not her son.
      {"@A@",
       "Adam 1800-1-1 m1 a1 [Seth Dinah]\nSeth 1825-1-1 m0 a1 []\nDinah 1830-1-1 m1 a1 []\n"},
      {"EVE", "Eve 1900-1-1 m1 a1 []\n"},
      // Any person may be the root, parents or not.
      {"@H@", "Ham 1730-1-1 m1 a1 [Kid]\nKid 1760-1-1 m0 a1 []\n"}};
  for (const auto& row : rows) {
    const Imported i = Import(kTwoLines, row.root);
    ASSERT_TRUE(i.result) << i.result.detail;
    EXPECT_EQ(i.tree, row.tree) << row.root.value_or("default");
  }
}

// Links given on one side only: a FAMC the family does not list (twice), a
// FAMS to a family that names no husband.
TEST(GedcomImportLine, FollowsLinksGivenOnOneSide) {
  const Imported i = Import(
      "0 HEAD\n0 @A@ INDI\n1 NAME Adam\n1 BIRT\n2 DATE 1 JAN 1800\n1 FAMS @F1@\n"
      "0 @B@ INDI\n1 NAME Abel\n1 BIRT\n2 DATE 1 JAN 1830\n1 FAMC @F1@\n1 FAMC @F1@\n"
      "0 @C@ INDI\n1 NAME Cain\n1 BIRT\n2 DATE 1 JAN 1828\n1 FAMC @F1@\n"
      "0 @F1@ FAM\n1 CHIL @C@\n0 TRLR\n");
  ASSERT_TRUE(i.result) << i.result.detail;
  EXPECT_EQ(i.tree,
            "Adam 1800-1-1 m0 a1 [Cain Abel]\nCain 1828-1-1 m0 a1 []\nAbel 1830-1-1 m0 a1 []\n");
}

// ---- What the genealogy demands and the file lacks -------------------

TEST(GedcomImportRules, MakesUpWhatIsMissingAndSaysSo) {
  const std::string file =
      "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
      "0 @R@ INDI\n1 NAME Old  /Man/\n1 BIRT\n2 DATE 1 JAN 1860\n1 FAMS @F1@\n1 _UID 99\n2 _X y\n"
      "0 @A@ INDI\n1 NAME John /Smith/\n1 BIRT\n2 DATE ABT 1900\n1 DEAT\n2 DATE 1890\n1 FAMC @F1@\n"
      "1 FAMS @F2@\n"
      "0 @B@ INDI\n1 NAME John /Smith/\n1 BIRT\n2 DATE 5 MAY 1850\n1 DEAT Y\n1 FAMC @F1@\n"
      "0 @C@ INDI\n1 NAME\n1 FAMC @F2@\n1 RESI\n2 PLAC Main Street\n"
      "0 @D@ INDI\n1 NAME end\n1 BIRT\n2 DATE 1 JAN 1930\n1 FAMC @F2@\n"
      "0 @E@ INDI\n1 NAME " +
      std::string(130, 'x') +
      "\n1 FAMC @F2@\n1 BIRT\n2 DATE 1 JAN 1931\n"
      "0 @F1@ FAM\n1 HUSB @R@\n1 CHIL @A@\n1 CHIL @B@\n1 MARR\n"
      "0 @F2@ FAM\n1 HUSB @A@\n1 CHIL @C@\n1 CHIL @D@\n1 CHIL @E@\n0 TRLR\n";
  const Imported i = Import(file);
  ASSERT_TRUE(i.result) << i.result.detail;
  const std::string x127(127, 'x');
  EXPECT_EQ(i.tree,
            // Born before his father: the day after him.
            "Old·Man 1860-1-1 m1 a1 [John·Smith(2) John·Smith]\n"
            "John·Smith(2) 1860-1-2 m0 a0 d1860-1-2 []\n"
            "John·Smith 1900-1-1 m0 a0 d1900-1-1 [C end(2) " +
                x127 +
                "]\n"
                "C 1925-1-1 m0 a1 @Main·Street []\n"
                "end(2) 1930-1-1 m0 a1 []\n" +
                x127 + " 1931-1-1 m0 a1 []\n")
      << i.Changes();
  EXPECT_EQ(i.Changes(),
            "@R@ name [Old  /Man/] -> [Old·Man]\n"
            "@A@ name [John /Smith/] -> [John·Smith]\n"
            "@C@ name [] -> [C]\n"
            "@D@ name [end] -> [end(2)]\n"
            "@E@ name [" +
                std::string(130, 'x') + "] -> [" + x127 +
                "]\n"
                "@B@ name [John /Smith/] -> [John·Smith(2)]\n"
                "@A@ birth [ABT 1900] -> [1900-01-01]\n"
                "@C@ birth [] -> [1925-01-01]\n"
                "@B@ birth [5 MAY 1850] -> [1860-01-02]\n"
                "@A@ death [1890] -> [1900-01-01]\n"
                "@C@ address [Main Street] -> [Main·Street]\n"
                "@B@ death [] -> [1860-01-02]\n");
}

// ---- Files that cannot be imported -----------------------------------

TEST(GedcomImportFailure, SaysWhyAndLeavesTheGenealogyAlone) {
  const struct {
    std::string bytes;
    std::optional<std::string> root;
    GedcomError error;
    std::size_t line;
  } rows[] = {{"", std::nullopt, GedcomError::kNotGedcom, 0},
              {"   \n\n", std::nullopt, GedcomError::kNotGedcom, 0},
              {"Name,Born\nAdam,1800\n", std::nullopt, GedcomError::kNotGedcom, 1},
              {"0 @I1@ INDI\n0 TRLR\n", std::nullopt, GedcomError::kNotGedcom, 1},
              {"0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME \xC3\x28\n", std::nullopt,
               GedcomError::kNotText, 0},
              {"\xFF\xFE\x30", std::nullopt, GedcomError::kNotText, 0},
              {std::string("\xFF\xFE\x00\xD8\x30\x00", 6), std::nullopt, GedcomError::kNotText, 0},
              {"0 HEAD\n0 @F1@ FAM\n0 TRLR\n", std::nullopt, GedcomError::kNoPeople, 0},
              {"0 HEAD\n0 @I1@ INDI\n0 TRLR\n", std::string("@I2@"), GedcomError::kUnknownRoot, 0},
              {"0 HEAD\n0 @I1@ INDI\n1 FAMS @F1@\n1 FAMC @F1@\n0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL "
               "@I1@\n0 TRLR\n",
               std::nullopt, GedcomError::kNoRoot, 0}};
  for (const auto& row : rows) {
    COperationClanbook tree;
    Add(tree, nullptr, u"Keep", 1900);
    gedcom::GedcomImportReport report;
    report.rootXref = "unchanged";
    gedcom::GedcomImportOptions options;
    options.rootXref = row.root;
    const gedcom::GedcomResult r = gedcom::ReadGedcom(row.bytes, options, tree, report);
    EXPECT_EQ(r.error, row.error) << row.bytes;
    EXPECT_EQ(r.line, row.line) << row.bytes;
    EXPECT_FALSE(r.detail.empty());
    EXPECT_EQ(Dump(tree), "Keep 1900-1-1 m0 a1 []\n") << row.bytes;
    EXPECT_EQ(report.rootXref, "unchanged");
  }
}

// Lines that are no GEDCOM inside a file are passed over and noted.
TEST(GedcomImportFailure, SkipsBrokenLinesWithANote) {
  const Imported i = Import(
      "0 HEAD\n0 @I1@ INDI\n1 NAME Adam\nsome stray text\n1 @broken\n1\n0 @I2 INDI\n0 TRLR\n");
  ASSERT_TRUE(i.result);
  EXPECT_EQ(i.tree, "Adam 1900-1-1 m0 a1 []\n");
  ASSERT_EQ(i.report.notes.size(), 4u);
  const gedcom::GedcomNote::Kind kinds[] = {
      gedcom::GedcomNote::Kind::kNotALine, gedcom::GedcomNote::Kind::kUnclosedXref,
      gedcom::GedcomNote::Kind::kNotALine, gedcom::GedcomNote::Kind::kUnclosedXref};
  for (std::size_t n = 0; n < 4; ++n) {
    EXPECT_EQ(i.report.notes[n].kind, kinds[n]) << n << gedcom::NoteText(i.report.notes[n]);
    EXPECT_EQ(i.report.notes[n].line, n + 4) << n;
  }
  EXPECT_EQ(gedcom::NoteText(i.report.notes[0]), "line 4: no GEDCOM line, skipped");
}

// ---- The report -------------------------------------------------------

// A value is shown with its control characters escaped (a terminal would obey
// them) and at most 80 characters of it, the whole length noted.
TEST(GedcomImportReport, ShowsValuesEscapedAndShortened) {
  const std::string chinese81 = [] {
    std::string text;
    for (int n = 0; n < 81; ++n) text += "\xE5\xAD\x94";  // 孔
    return text;
  }();
  const struct {
    std::string value;
    std::string text;
    std::size_t length;
    bool shortened;
  } rows[] = {
      {"孔丘", "孔丘", 2, false},
      {"a\tb\\c\nd\re", "a\\tb\\\\c\\nd\\re", 9, false},
      {"\x1B[31mRED\x1B]0;pwned\x07 x\x7F\x01", "\\x1B[31mRED\\x1B]0;pwned\\x07 x\\x7F\\x01", 22,
       false},
      {"\xC2\x9B"
       "2J\xC2\x85",
       "\\u009B2J\\u0085", 4, false},  // C1 controls
      {std::string(80, 'x'), std::string(80, 'x'), 80, false},
      {std::string(81, 'x'), std::string(80, 'x'), 81, true},
      {chinese81, chinese81.substr(0, 240), 81, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    const gedcom::ShownValue shown = gedcom::ShowValue(row.value);
    EXPECT_EQ(shown.text, row.text);
    EXPECT_EQ(shown.length, row.length);
    EXPECT_EQ(shown.shortened, row.shortened);
  }
}

TEST(GedcomImportReport, TextHoldsNoControlCharacterAndNoHugeValue) {
  const std::string longName = std::string(100, 'y') + std::string(20000, 'z');
  const Imported i = Import(
      "0 HEAD\n1 GEDC\n2 VERS 7.0\x1B]0;v\x07\n"
      "0 @A@ INDI\n1 NAME \x1B[31mRED\x1B]0;pwned\x07 x\n1 FAMS @F@\n"
      "0 @B\x1B@ INDI\n1 NAME " +
      longName.substr(0, 100) + "\n2 CONC " + longName.substr(100) +
      "\n1 FAMC @F@\n"
      "0 @F@ FAM\n1 HUSB @A@\n1 CHIL @B\x1B@\n0 TRLR\n");
  ASSERT_TRUE(i.result) << i.result.detail;
  ASSERT_EQ(i.report.members, 2u) << i.Changes();
  std::ostringstream out;
  i.report.Write(out);
  const std::string text = out.str();
  for (const char c : text)
    EXPECT_TRUE(c == '\t' || c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F))
        << "control character " << static_cast<int>(c) << " in\n"
        << text;
  EXPECT_NE(text.find("@A@\tname\t\\x1B[31mRED\\x1B]0;pwned\\x07 x\t"), std::string::npos) << text;
  EXPECT_NE(text.find("GEDCOM 7.0\\x1B]0;v\\x07,"), std::string::npos) << text;
  EXPECT_NE(
      text.find("@B\\x1B@\tname\t" + longName.substr(0, 80) + "\xE2\x80\xA6 (20100 characters)\t"),
      std::string::npos)
      << text.substr(0, 2000);
  EXPECT_LT(text.size(), 1000u);
}

}  // namespace

// ---- The size of each candidate's line -------------------------------

namespace {

// A file made of people P0.. and families, each family a husband (or -1), a
// wife (or -1) and children.
struct FamilyGraph {
  int people = 0;
  struct Fam {
    int husband = -1, wife = -1;
    std::vector<int> children;
  };
  std::vector<Fam> families;

  std::string Text() const {
    std::string text = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n";
    for (int p = 0; p < people; ++p)
      text += "0 @P" + std::to_string(p) + "@ INDI\n1 NAME P" + std::to_string(p) +
              "\n1 BIRT\n2 DATE 1 JAN " + std::to_string(1500 + p % 400) + "\n";
    for (std::size_t f = 0; f < families.size(); ++f) {
      text += "0 @F" + std::to_string(f) + "@ FAM\n";
      if (families[f].husband >= 0)
        text += "1 HUSB @P" + std::to_string(families[f].husband) + "@\n";
      if (families[f].wife >= 0) text += "1 WIFE @P" + std::to_string(families[f].wife) + "@\n";
      for (int c : families[f].children) text += "1 CHIL @P" + std::to_string(c) + "@\n";
    }
    return text + "0 TRLR\n";
  }

  // Every person without parents, with everybody reachable from him through
  // the families he and they head, counted once each; largest first.
  std::string Candidates() const {
    std::vector<char> hasParents(static_cast<std::size_t>(people), 0);
    std::vector<std::vector<int>> below(static_cast<std::size_t>(people));
    for (const Fam& f : families) {
      for (int c : f.children)
        if (f.husband >= 0 || f.wife >= 0) hasParents[static_cast<std::size_t>(c)] = 1;
      if (f.husband >= 0)
        for (int c : f.children) below[static_cast<std::size_t>(f.husband)].push_back(c);
    }
    std::vector<std::pair<std::size_t, int>> sizes;
    for (int r = 0; r < people; ++r) {
      if (hasParents[static_cast<std::size_t>(r)]) continue;
      std::vector<char> seen(static_cast<std::size_t>(people), 0);
      std::vector<int> todo{r};
      seen[static_cast<std::size_t>(r)] = 1;
      std::size_t count = 0;
      while (!todo.empty()) {
        const int u = todo.back();
        todo.pop_back();
        ++count;
        for (int c : below[static_cast<std::size_t>(u)])
          if (!seen[static_cast<std::size_t>(c)]) {
            seen[static_cast<std::size_t>(c)] = 1;
            todo.push_back(c);
          }
      }
      sizes.emplace_back(count, r);
    }
    std::stable_sort(sizes.begin(), sizes.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::string text;
    for (const auto& [count, r] : sizes)
      text += "@P" + std::to_string(r) + "@ " + std::to_string(count) + "\n";
    return text;
  }
};

FamilyGraph SharedLine(int fathers, int length) {
  // Many fathers' families list one son, whose line runs on below.
  FamilyGraph g;
  g.people = fathers + length;
  for (int f = 0; f < fathers; ++f) g.families.push_back({f, -1, {fathers}});
  for (int i = 0; i + 1 < length; ++i) g.families.push_back({fathers + i, -1, {fathers + i + 1}});
  return g;
}

FamilyGraph LineWithSideFathers(int length) {
  // P(2i) is a son of P(2i-2) and of the father P(2i+1) as well.
  FamilyGraph g;
  g.people = 2 * length;
  for (int i = 0; i < length; ++i) {
    g.families.push_back({2 * i + 1, -1, {2 * i}});
    if (i > 0) g.families.push_back({2 * i - 2, -1, {2 * i}});
  }
  return g;
}

FamilyGraph Random(unsigned seed, int people, int families, int maxChildren, bool wives) {
  std::mt19937 random(seed);
  FamilyGraph g;
  g.people = people;
  for (int f = 0; f < families; ++f) {
    FamilyGraph::Fam fam;
    fam.husband = random() % 8 ? static_cast<int>(random() % people) : -1;
    if (wives && random() % 2) fam.wife = static_cast<int>(random() % people);
    const int n = static_cast<int>(random() % (maxChildren + 1));
    // Children mostly after the husband in the file, sometimes anyone:
    // shared children, cycles, a son listed twice.
    for (int k = 0; k < n; ++k) {
      const int h = std::max(fam.husband, 0);
      fam.children.push_back(random() % 6
                                 ? std::min(people - 1, h + 1 + static_cast<int>(random() % 6))
                                 : static_cast<int>(random() % people));
    }
    g.families.push_back(fam);
  }
  return g;
}

struct LineSizeRow {
  const char* label;
  FamilyGraph graph;
};

class GedcomLineSize : public ::testing::TestWithParam<LineSizeRow> {};

// Each candidate's line counts everybody reachable once, whatever shares,
// repeats or cycles the families hold, and the import takes the largest.
TEST_P(GedcomLineSize, CountsEachCandidatesLineAsAWalkDoes) {
  const FamilyGraph& g = GetParam().graph;
  const std::string text = g.Text();
  std::vector<gedcom::GedcomRootCandidate> candidates;
  ASSERT_TRUE(gedcom::ListRootCandidates(text, candidates));
  std::string listed;
  for (const auto& c : candidates) listed += c.xref + " " + std::to_string(c.members) + "\n";
  EXPECT_EQ(listed, g.Candidates());
  const Imported i = Import(text);
  ASSERT_TRUE(i.result) << i.result.detail;
  EXPECT_EQ(i.report.rootXref, candidates.front().xref);
}

std::vector<LineSizeRow> LineSizeRows() {
  std::vector<LineSizeRow> rows = {
      {"shared_line", SharedLine(40, 300)},
      {"line_with_side_fathers", LineWithSideFathers(200)},
      // A grandson in both sons' families: reached twice, counted once.
      {"diamond", {5, {{0, -1, {1, 2}}, {1, -1, {3}}, {2, -1, {3}}, {3, -1, {4}}}}},
      // One son in two families of his father.
      {"son_in_two_families", {4, {{0, -1, {1}}, {0, -1, {1, 2}}, {1, -1, {3}}}}},
      // A man his own grandfather, below a root, and a line into the loop.
      {"cycle", {6, {{0, -1, {1}}, {1, -1, {2}}, {2, -1, {1, 3}}, {4, -1, {2}}, {3, -1, {5}}}}},
      // Two shared lines under one man: the walk, with its short cuts.
      {"two_shared_below_one",
       {8,
        {{0, -1, {1, 2}},
         {1, -1, {3}},
         {2, -1, {4}},
         {5, -1, {3, 4}},
         {3, -1, {6}},
         {4, -1, {7}}}}},
  };
  for (unsigned seed = 1; seed <= 24; ++seed)
    rows.push_back({"random", Random(seed, 20 + static_cast<int>(seed) * 7,
                                     10 + static_cast<int>(seed) * 6, 1 + seed % 4, seed % 2)});
  return rows;
}

INSTANTIATE_TEST_SUITE_P(Shapes, GedcomLineSize, ::testing::ValuesIn(LineSizeRows()),
                         [](const auto& info) {
                           return std::string(info.param.label) + "_" + std::to_string(info.index);
                         });

}  // namespace
