// How dates, names and text map between the genealogy and GEDCOM.
#include <gtest/gtest.h>

#include "GedcomTestSupport.h"

using namespace gedcomtest;
using gedcom::GedcomVersion;
using gedcom::detail::ParsedDate;

namespace {

struct DateRow {
  const char* value;
  ParsedDate::Kind kind;
  int year, month, day;
};

class GedcomDateRead : public ::testing::TestWithParam<DateRow> {};

TEST_P(GedcomDateRead, TakesTheDateOrItsEstimate) {
  const DateRow& row = GetParam();
  const ParsedDate d = gedcom::detail::ParseDate(row.value);
  EXPECT_EQ(d.kind, row.kind) << row.value;
  if (row.kind != ParsedDate::kNone) {
    EXPECT_EQ(d.year, row.year) << row.value;
    EXPECT_EQ(d.month, row.month) << row.value;
    EXPECT_EQ(d.day, row.day) << row.value;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, GedcomDateRead,
    ::testing::Values(DateRow{"3 FEB 1901", ParsedDate::kExact, 1901, 2, 3},
                      DateRow{"  3 feb 1901 ", ParsedDate::kExact, 1901, 2, 3},
                      DateRow{"GREGORIAN 29 FEB 2000", ParsedDate::kExact, 2000, 2, 29},
                      DateRow{"1 JAN 1 BCE", ParsedDate::kExact, 0, 1, 1},
                      DateRow{"28 SEP 552 B.C.", ParsedDate::kExact, -551, 9, 28},
                      DateRow{"552 BC", ParsedDate::kEstimated, -551, 1, 1},
                      DateRow{"1901", ParsedDate::kEstimated, 1901, 1, 1},
                      DateRow{"MAR 1901", ParsedDate::kEstimated, 1901, 3, 1},
                      DateRow{"ABT 1900", ParsedDate::kEstimated, 1900, 1, 1},
                      DateRow{"BEF 3 MAR 1900", ParsedDate::kEstimated, 1900, 3, 3},
                      DateRow{"AFT 1900", ParsedDate::kEstimated, 1900, 1, 1},
                      DateRow{"BET 1900 AND 1910", ParsedDate::kEstimated, 1900, 1, 1},
                      DateRow{"FROM 5 MAY 1900 TO 1910", ParsedDate::kEstimated, 1900, 5, 5},
                      DateRow{"TO 1910", ParsedDate::kEstimated, 1910, 1, 1},
                      DateRow{"INT 1900 (about then)", ParsedDate::kEstimated, 1900, 1, 1},
                      DateRow{"11 FEB 1699/00", ParsedDate::kEstimated, 1700, 2, 11},
                      DateRow{"1699/1700", ParsedDate::kEstimated, 1700, 1, 1},
                      DateRow{"@#DJULIAN@ 22 SEP 1072", ParsedDate::kEstimated, 1072, 9, 28},
                      DateRow{"JULIAN 4 OCT 1582", ParsedDate::kEstimated, 1582, 10, 14},
                      DateRow{"@#DHEBREW@ 1 TSH 5700", ParsedDate::kEstimated, 1939, 1, 1},
                      DateRow{"@#DFRENCH R@ 1 VEND 8", ParsedDate::kEstimated, 1799, 1, 1},
                      DateRow{"30 FEB 1900", ParsedDate::kEstimated, 1900, 2, 1},
                      DateRow{"(sometime in spring)", ParsedDate::kNone, 0, 0, 0},
                      DateRow{"", ParsedDate::kNone, 0, 0, 0},
                      DateRow{"ABT", ParsedDate::kNone, 0, 0, 0},
                      DateRow{"99999999999", ParsedDate::kNone, 0, 0, 0},
                      DateRow{"3 FEB 2147483648", ParsedDate::kNone, 0, 0, 0},
                      DateRow{"1 JAN 2147483650 BCE", ParsedDate::kNone, 0, 0, 0},
                      DateRow{"1 JAN 2147483649 BCE", ParsedDate::kExact, -2147483647 - 1, 1, 1}));

struct FormatRow {
  int year, month, day;
  const char* v70;
  const char* v551;
};

class GedcomDateWrite : public ::testing::TestWithParam<FormatRow> {};

TEST_P(GedcomDateWrite, WritesEachVersionsEpoch) {
  const FormatRow& r = GetParam();
  EXPECT_EQ(gedcom::detail::FormatDate(r.year, r.month, r.day, GedcomVersion::v7_0), r.v70);
  EXPECT_EQ(gedcom::detail::FormatDate(r.year, r.month, r.day, GedcomVersion::v5_5_1), r.v551);
  // What is written reads back as the same exact date.
  if (COperationClanbook::IsValidDate(r.year, r.month, r.day)) {
    for (const char* text : {r.v70, r.v551}) {
      const ParsedDate d = gedcom::detail::ParseDate(text);
      EXPECT_EQ(d.kind, ParsedDate::kExact) << text;
      EXPECT_EQ(d.year, r.year) << text;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Values, GedcomDateWrite,
                         ::testing::Values(FormatRow{1901, 2, 3, "3 FEB 1901", "3 FEB 1901"},
                                           FormatRow{1, 12, 31, "31 DEC 1", "31 DEC 1"},
                                           FormatRow{0, 1, 1, "1 JAN 1 BCE", "1 JAN 1 B.C."},
                                           FormatRow{-551, 9, 28, "28 SEP 552 BCE",
                                                     "28 SEP 552 B.C."},
                                           FormatRow{-2147483647 - 1, 1, 1, "1 JAN 2147483649 BCE",
                                                     "1 JAN 2147483649 B.C."},
                                           FormatRow{1900, 0, 5, "1900", "1900"},
                                           FormatRow{1900, 5, 0, "MAY 1900", "MAY 1900"}));

struct SurnameRow {
  const char16_t* name;
  const char16_t* clan;
  std::size_t surname;
};

class GedcomSurname : public ::testing::TestWithParam<SurnameRow> {};

TEST_P(GedcomSurname, MarksTheSurname) {
  const SurnameRow& r = GetParam();
  EXPECT_EQ(gedcom::detail::SurnameLength(r.name, r.clan), r.surname) << U8(r.name);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GedcomSurname,
    ::testing::Values(SurnameRow{u"孔丘", u"", 1}, SurnameRow{u"孔丘", u"孔", 1},
                      SurnameRow{u"欧阳修", u"", 2}, SurnameRow{u"歐陽修", u"", 2},
                      SurnameRow{u"诸葛亮", u"孔", 2},
                      // The clan's surname wins over the table.
                      SurnameRow{u"司马光", u"司", 1}, SurnameRow{u"司马光", u"", 2},
                      SurnameRow{u"𠀋丘", u"", 2}, SurnameRow{u"丘", u"", 0},
                      SurnameRow{u"欧阳", u"", 1}, SurnameRow{u"John", u"", 0},
                      SurnameRow{u"孔John", u"孔", 0}, SurnameRow{u"", u"", 0}));

// The records a small book exports to.
class GedcomExport : public ::testing::Test {
protected:
  void SetUp() override {
    MemberNode* root = Add(tree, nullptr, u"孔纥", -600, 1, 1);
    root->married = 1;
    root->alive = 0;
    root->deathYear = -549;
    root->deathMonth = root->deathDay = 1;
    MemberNode* qiu = Add(tree, root, u"孔丘", -551, 9, 28);
    qiu->address = u"曲阜";
    Add(tree, root, u"孔皮", -560, 1, 1);
    MemberNode* single = Add(tree, qiu, u"@Ann", -530);
    single->married = 1;
    Add(tree, qiu, u"孔鲤", -532);
  }
  std::string Export(GedcomVersion version) {
    std::string out;
    gedcom::WriteGedcom(tree, version, out);
    return out;
  }
  COperationClanbook tree;
};

TEST_F(GedcomExport, WritesTheHeaderOfEachVersion) {
  const std::string v7 = Export(GedcomVersion::v7_0);
  // 7.0 begins with the byte-order mark the standard asks for; 5.5.1 without.
  EXPECT_EQ(v7.rfind("\xEF\xBB\xBF"
                     "0 HEAD\r\n1 GEDC\r\n2 VERS 7.0\r\n",
                     0),
            0u);
  EXPECT_EQ(v7.find("CHAR"), std::string::npos);
  const std::string v5 = Export(GedcomVersion::v5_5_1);
  EXPECT_NE(v5.find("1 GEDC\r\n2 VERS 5.5.1\r\n2 FORM LINEAGE-LINKED\r\n1 CHAR UTF-8\r\n"),
            std::string::npos);
  EXPECT_NE(v5.find("0 @U1@ SUBM\r\n"), std::string::npos);
  for (const std::string* text : {&v7, &v5}) {
    EXPECT_EQ(text->substr(text->size() - 8), "0 TRLR\r\n");
    EXPECT_EQ(text->find("\n\n"), std::string::npos);
  }
}

TEST_F(GedcomExport, WritesPeopleAndFamilies) {
  const std::string text = Export(GedcomVersion::v7_0);
  // The root, a deceased, married father of two.
  EXPECT_NE(
      text.find("0 @I1@ INDI\r\n1 NAME /孔/纥\r\n2 GIVN 纥\r\n2 SURN 孔\r\n1 SEX M\r\n1 BIRT\r\n"
                "2 DATE 1 JAN 601 BCE\r\n1 DEAT\r\n2 DATE 1 JAN 550 BCE\r\n1 FAMS @F1@\r\n"),
      std::string::npos)
      << text;
  // Children in birth order, the elder first.
  EXPECT_NE(text.find("0 @F1@ FAM\r\n1 HUSB @I1@\r\n1 MARR Y\r\n1 CHIL @I2@\r\n1 CHIL @I3@\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("0 @I2@ INDI\r\n1 NAME /孔/皮\r\n"), std::string::npos);
  // A father not married: a family without MARR; a living member: no DEAT.
  const std::size_t qiu = text.find("1 NAME /孔/丘");
  ASSERT_NE(qiu, std::string::npos);
  const std::string record = text.substr(qiu, text.find("0 @", qiu) - qiu);
  EXPECT_EQ(record.find("DEAT"), std::string::npos);
  EXPECT_NE(record.find("1 RESI 曲阜\r\n2 ADDR 曲阜\r\n1 FAMC @F1@\r\n1 FAMS @F2@\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("0 @F2@ FAM\r\n1 HUSB @I3@\r\n1 CHIL @I4@\r\n1 CHIL @I5@\r\n0 @"),
            std::string::npos);
  // A married member without children heads a family of his own.
  EXPECT_NE(text.find("1 NAME @@Ann\r\n2 GIVN @@Ann\r\n1 SEX M\r\n"), std::string::npos);
  EXPECT_NE(text.find("0 @F3@ FAM\r\n1 HUSB @I5@\r\n1 MARR Y\r\n0 TRLR"), std::string::npos);
  // Only fathers and husbands have a sex.
  EXPECT_EQ(text.find("1 NAME /孔/鲤\r\n2 GIVN 鲤\r\n2 SURN 孔\r\n1 SEX"), std::string::npos);
}

TEST_F(GedcomExport, EscapesAtSignsAndBreaksLinesPerVersion) {
  MemberNode* m = tree.Root()->firstChild;
  MemberNode changed = *m;
  changed.address = u"a@b\nline two\r\n@c";
  tree.UpdateMemberData(m, changed);
  const std::string v7 = Export(GedcomVersion::v7_0);
  EXPECT_NE(v7.find("2 ADDR a@b\r\n3 CONT line two\r\n3 CONT @@c\r\n"), std::string::npos);
  const std::string v5 = Export(GedcomVersion::v5_5_1);
  EXPECT_NE(v5.find("2 ADDR a@@b\r\n3 CONT line two\r\n3 CONT @@c\r\n"), std::string::npos);
  EXPECT_NE(v5.find("1 NAME @@Ann\r\n"), std::string::npos);
  EXPECT_EQ(v5.rfind("0 HEAD\r\n", 0), 0u);
}

TEST_F(GedcomExport, EmptyGenealogyIsHeaderAndTrailer) {
  COperationClanbook empty;
  std::string text;
  gedcom::WriteGedcom(empty, GedcomVersion::v7_0, text);
  EXPECT_EQ(text,
            "\xEF\xBB\xBF"
            "0 HEAD\r\n1 GEDC\r\n2 VERS 7.0\r\n1 SOUR Clanbook\r\n0 TRLR\r\n");
}

}  // namespace
