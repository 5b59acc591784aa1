// 本宗九族五服图: every place of the chart filled from one made-up clan (each
// line down to the generation past its last place, a branch above the
// 高祖), the chart of a member near the root, the places of women and wives
// found by path, and the walk checked against FindKinship for every member.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "calendar/MourningGrades.h"
#include "model/COperationClanbook.h"
#include "model/MemberRecord.h"

namespace {

MemberNode* Add(COperationClanbook& book, MemberNode* father, const std::string& name, int year) {
  auto* m = new MemberNode;
  m->name = std::u16string(name.begin(), name.end());
  m->birthYear = year;
  m->birthMonth = 1;
  m->birthDay = 1;
  book.InsertMember(father, m);
  return m;
}

// The people of a cell by name, a wife as her husband's name and "~".
std::string Names(const MourningCell& cell) {
  std::string out;
  for (const KinPerson& p : cell.people) {
    if (!out.empty()) out += ' ';
    out.append(p.member->name.begin(), p.member->name.end());
    if (p.wife) out += '~';
  }
  return out;
}

void Marry(MemberNode* husband, int wives) {
  for (int i = 0; i < wives; ++i) {
    Spouse wife;
    wife.title = i == 0 ? SpouseTitle::kPei : SpouseTitle::kJiPei;
    wife.surname = i == 0 ? u"王" : u"李";
    husband->extra.EditRecord().spouses.push_back(wife);
  }
}

const MourningCell* Cell(const std::vector<MourningCell>& cells, int generation, int collateral,
                         bool female = false) {
  for (const MourningCell& cell : cells)
    if (cell.place == MourningPlace{generation, collateral, female}) return &cell;
  return nullptr;
}

// Top has the sons G4 (the line of S) and OT; S stands four below G4. Every
// line goes one generation past its last place (the *x members).
class MourningChartTest : public ::testing::Test {
protected:
  void SetUp() override {
    auto add = [this](const std::string& name, const std::string& father, int year) {
      m[name] = Add(book, father.empty() ? nullptr : m.at(father), name, year);
    };
    add("Top", "", 1760);
    add("G4", "Top", 1790);
    add("OT", "Top", 1795);
    add("OTs", "OT", 1820);
    add("G3", "G4", 1815);
    add("GGU", "G4", 1818);  // 族曾祖
    add("ZG", "GGU", 1845);
    add("ZU", "ZG", 1870);
    add("ZC", "ZU", 1900);
    add("ZCx", "ZC", 1930);
    add("G2", "G3", 1840);
    add("GU", "G3", 1843);  // 伯叔祖
    add("SU", "GU", 1868);
    add("SC", "SU", 1898);
    add("SN", "SC", 1925);
    add("SNx", "SN", 1950);
    add("G1", "G2", 1865);
    add("U2", "G2", 1885);
    add("U1", "G2", 1880);  // inserted after U2, born before him
    add("FC2", "U2", 1900);
    add("FC1", "U1", 1908);
    add("FN", "FC1", 1930);
    add("FNG", "FN", 1955);
    add("FNGx", "FNG", 1980);
    add("S", "G1", 1910);
    add("B2", "G1", 1915);
    add("B1", "G1", 1905);
    add("N", "B2", 1940);
    add("NG", "N", 1965);
    add("NGG", "NG", 1990);
    add("NGGx", "NGG", 2015);
    add("C2", "S", 1938);
    add("C1", "S", 1935);
    add("GC", "C1", 1960);
    add("GGC", "GC", 1985);
    add("GGGC", "GGC", 2010);
    add("X5", "GGGC", 2035);
  }
  COperationClanbook book;
  std::map<std::string, MemberNode*> m;
};

TEST_F(MourningChartTest, FillsEveryPlaceOfTheChartAndLeavesTheRestEmpty) {
  const std::vector<MourningCell> cells = MourningChart(m["S"]);
  ASSERT_EQ(cells.size(), 45u);
  struct Row {
    int generation, collateral;
    const char16_t* term;
    MourningGrade grade;
    const char* names;
  };
  using G = MourningGrade;
  const Row rows[] = {
      {4, 0, u"高祖父母", G::ZiCuiThree, "G4"},
      {3, 0, u"曾祖父母", G::ZiCuiFive, "G3"},
      {3, 1, u"族曾祖父母", G::SiMa, "GGU"},
      {2, 0, u"祖父母", G::ZiCuiYear, "G2"},
      {2, 1, u"伯叔祖父母", G::XiaoGong, "GU"},
      {2, 2, u"族伯叔祖父母", G::SiMa, "ZG"},
      {1, 0, u"父母", G::ZhanCui, "G1"},
      {1, 1, u"伯叔父母", G::ZiCuiYear, "U1 U2"},  // birth order, not the order of entry
      {1, 2, u"堂伯叔父母", G::XiaoGong, "SU"},
      {1, 3, u"族伯叔父母", G::SiMa, "ZU"},
      {0, 0, u"己身", G::None, "S"},
      {0, 1, u"兄弟", G::ZiCuiYear, "B1 B2"},
      {0, 2, u"堂兄弟", G::DaGong, "FC1 FC2"},  // the elder uncle's line first
      {0, 3, u"再从兄弟", G::XiaoGong, "SC"},
      {0, 4, u"族兄弟", G::SiMa, "ZC"},
      {-1, 0, u"子", G::ZiCuiYear, "C1 C2"},
      {-1, 1, u"侄", G::ZiCuiYear, "N"},
      {-1, 2, u"堂侄", G::XiaoGong, "FN"},
      {-1, 3, u"再从侄", G::SiMa, "SN"},
      {-2, 0, u"孙", G::DaGong, "GC"},
      {-2, 1, u"侄孙", G::XiaoGong, "NG"},
      {-2, 2, u"堂侄孙", G::SiMa, "FNG"},
      {-3, 0, u"曾孙", G::SiMa, "GGC"},
      {-3, 1, u"曾侄孙", G::SiMa, "NGG"},
      {-4, 0, u"玄孙", G::SiMa, "GGGC"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.generation) + "," + std::to_string(row.collateral));
    const MourningCell* cell = Cell(cells, row.generation, row.collateral);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->term, row.term);
    EXPECT_EQ(cell->grade, row.grade);
    EXPECT_EQ(Names(*cell), row.names);
  }
  // The men's places are exactly those above; the women's are all empty
  // (the book records no sexes), each with its own grades.
  int men = 0;
  for (const MourningCell& cell : cells) {
    EXPECT_LE(std::abs(cell.place.generation) + cell.place.collateral, 4);
    if (cell.place.female)
      EXPECT_TRUE(cell.people.empty());
    else
      ++men;
  }
  EXPECT_EQ(men, static_cast<int>(std::size(rows)));
  const MourningCell* aunt = Cell(cells, 1, 1, true);
  ASSERT_NE(aunt, nullptr);
  EXPECT_EQ(aunt->term, u"姑");
  EXPECT_EQ(aunt->grade, MourningGrade::ZiCuiYear);
  EXPECT_EQ(aunt->marriedOut, MourningGrade::DaGong);
  EXPECT_EQ(Cell(cells, 0, 1)->wife, MourningGrade::XiaoGong);    // 兄弟妻
  EXPECT_EQ(Cell(cells, 0, 0)->wife, MourningGrade::ZiCuiStaff);  // 妻
}

TEST_F(MourningChartTest, AMemberNearTheRootHasTheUpperPlacesEmpty) {
  const std::vector<MourningCell> cells = MourningChart(m["G4"]);
  EXPECT_EQ(Names(*Cell(cells, 1, 0)), "Top");
  EXPECT_EQ(Names(*Cell(cells, 0, 1)), "OT");
  EXPECT_EQ(Names(*Cell(cells, -1, 1)), "OTs");
  EXPECT_EQ(Names(*Cell(cells, -1, 0)), "G3 GGU");
  EXPECT_EQ(Names(*Cell(cells, -3, 0)), "G1 U1 U2 SU ZU");
  EXPECT_EQ(Names(*Cell(cells, -4, 0)), "B1 S B2 FC1 FC2 SC ZC");
  for (int generation = 2; generation <= 4; ++generation)
    for (int collateral = 0; collateral + generation <= 4; ++collateral)
      EXPECT_TRUE(Cell(cells, generation, collateral)->people.empty()) << generation;
  // No member: every place, none filled.
  for (const MourningCell& cell : MourningChart(nullptr)) EXPECT_TRUE(cell.people.empty());
}

TEST_F(MourningChartTest, EveryMemberStandsWhereHisKinshipPutsHim) {
  // Daughters of the clan, as their records say, on both sides of the line;
  // their children are not in the book.
  for (const char* daughter : {"B1", "C2", "FC2", "FNGx"})
    m[daughter]->extra.EditRecord().sex = Sex::kFemale;
  // Wives up, down and across each chart: each where her kinship puts her.
  for (const char* husband : {"G4", "G2", "S", "N", "FC1", "SN", "C1", "GGGC", "OT"})
    Marry(m[husband], 2);
  for (const char* who : {"S", "N", "FC1", "G2", "Top", "X5"}) {
    SCOPED_TRACE(who);
    const std::vector<MourningCell> cells = MourningChart(m[who]);
    std::map<const MemberNode*, MourningPlace> placed;
    for (const MourningCell& cell : cells)
      for (const KinPerson& p : cell.people) {
        if (p.wife)
          EXPECT_EQ(MourningPlaceOf(FindKinship(PersonOf(m[who]), p)), cell.place);
        else
          EXPECT_TRUE(placed.emplace(p.member, cell.place).second);
      }
    for (const auto& [name, member] : m) {
      const auto place = MourningPlaceOf(FindKinship(PersonOf(m[who]), PersonOf(member)));
      const auto found = placed.find(member);
      ASSERT_EQ(place.has_value(), found != placed.end()) << name;
      if (place) {
        EXPECT_EQ(*place, found->second) << name;
      }
    }
  }
}

TEST_F(MourningChartTest, WivesFollowTheirHusbandsInTheirPlaces) {
  Marry(m["S"], 2);                            // 妻 and a second wife
  Marry(m["G2"], 2);                           // 祖母 twice over
  Marry(m["G1"], 1);                           // 母
  Marry(m["B2"], 1);                           // the younger brother's wife
  Marry(m["C2"], 1);                           // a son's
  Marry(m["SC"], 1);                           // a 再从兄弟's, whom the chart gives no grade
  Marry(m["FNGx"], 1);                         // beyond the five grades: not on the chart
  m["U1"]->extra.EditRecord().rank = u"长子";  // a record without wives
  // A daughter is married out: a wife her record may list is not shown.
  m["FC2"]->extra.EditRecord().sex = Sex::kFemale;
  Marry(m["FC2"], 1);
  const std::vector<MourningCell> cells = MourningChart(m["S"]);
  struct Row {
    int generation, collateral;
    bool female;
    const char* names;
    MourningGrade wife;
  };
  using G = MourningGrade;
  const Row rows[] = {
      {0, 0, false, "S S~ S~", G::ZiCuiStaff},    // 妻: 齐衰杖期
      {2, 0, false, "G2 G2~ G2~", G::ZiCuiYear},  // 祖母 with 祖父, his grade
      {1, 0, false, "G1 G1~", G::ZhanCui},
      {0, 1, false, "B1 B2 B2~", G::XiaoGong},  // after her husband, not after his brother
      {1, 1, false, "U1 U2", G::ZiCuiYear},     // a record, no wives
      {-1, 0, false, "C1 C2 C2~", G::DaGong},   // 子妇
      {0, 3, false, "SC SC~", G::None},         // listed, with no grade of her own
      {0, 2, false, "FC1", G::SiMa},
      {0, 2, true, "FC2", G::None},  // 堂姊妹, without the wife
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.names);
    const MourningCell* cell = Cell(cells, row.generation, row.collateral, row.female);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(Names(*cell), row.names);
    EXPECT_EQ(cell->wife, row.wife);
    for (const KinPerson& p : cell->people)
      if (p.wife) {
        EXPECT_EQ(p.Sex(), KinSex::Female);
        EXPECT_EQ(MourningPlaceOf(FindKinship(PersonOf(m["S"]), p)), cell->place);
      }
  }
  int wives = 0;
  for (const MourningCell& cell : cells)
    for (const KinPerson& p : cell.people) wives += p.wife;
  EXPECT_EQ(wives, 8);  // all but FNGx's and the daughter's
}

TEST_F(MourningChartTest, WomenAndWivesFoundByPathTakeTheirPlaces) {
  std::vector<MourningCell> cells = MourningPlaces();
  const KinPerson self{m["S"]};
  struct Row {
    KinPerson person;
    int generation, collateral;
    bool female;
  };
  const Row rows[] = {
      {{m["B1"], KinSex::Female}, 0, 1, true},       // 姊妹
      {{m["U1"], KinSex::Male, true}, 1, 1, false},  // 伯叔母 with 伯叔父
      {{m["C1"], KinSex::Female}, -1, 0, true},      // 女
      {{m["ZC"], KinSex::Female}, 0, 4, true},       // 族姊妹
      {{m["NGG"], KinSex::Female}, -3, 1, true},     // 曾侄孙女
      {{m["S"], KinSex::Male, true}, 0, 0, false},   // 妻
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(PlaceRelative(cells, row.person, FindKinship(self, row.person)));
    const MourningCell* cell = Cell(cells, row.generation, row.collateral, row.female);
    ASSERT_FALSE(cell->people.empty());
    EXPECT_EQ(cell->people.back().member, row.person.member);
    EXPECT_EQ(cell->people.back().wife, row.person.wife);
  }
  // Beyond the five grades, and a woman above on the direct line (a mother
  // is a wife, not a woman of the clan): no place, nothing changes.
  const std::vector<MourningCell> before = cells;
  for (const KinPerson& person : {KinPerson{m["OT"]}, KinPerson{m["X5"]}, KinPerson{m["NGGx"]},
                                  KinPerson{m["G1"], KinSex::Female}})
    EXPECT_FALSE(PlaceRelative(cells, person, FindKinship(self, person)));
  for (std::size_t i = 0; i < cells.size(); ++i)
    EXPECT_EQ(cells[i].people.size(), before[i].people.size());
}

}  // namespace
