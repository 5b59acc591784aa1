// The rules of an edit, one row per rule on one small book, the order in
// which two broken rules are reported, and what an entry keeps of the old data.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ModelTestSupport.h"
#include "model/EditRules.h"

using namespace modeltest;

namespace {

// 祖 1900-06-15 ─ 甲 1920-06-15 ─ 丙 1950-01-01
//                └ 乙 1925-03-01
class EditRulesTest : public ::testing::Test {
protected:
  void SetUp() override {
    root = Add(tree, u"", u"祖", 1900, 6, 15);
    jia = Add(tree, u"祖", u"甲", 1920, 6, 15);
    Add(tree, u"祖", u"乙", 1925, 3, 1);
    bing = Add(tree, u"甲", u"丙", 1950, 1, 1);
  }
  static MemberData Data(std::u16string name, int year, int month = 1, int day = 1) {
    MemberData data;
    data.name = std::move(name);
    data.birthYear = year;
    data.birthMonth = month;
    data.birthDay = day;
    return data;
  }
  static MemberData Died(MemberData data, int year, int month, int day) {
    data.alive = 0;
    data.deathYear = year;
    data.deathMonth = month;
    data.deathDay = day;
    return data;
  }
  COperationClanbook tree;
  MemberNode* root = nullptr;
  MemberNode* jia = nullptr;
  MemberNode* bing = nullptr;
};

struct Row {
  const char* what;
  std::function<MemberData()> data;
  EditProblem problem;
};

TEST_F(EditRulesTest, ANewChildOf甲) {
  const std::u16string blanks[] = {u" ", u"\t", u"\r", u"\u00A0", u"\u2003", u"\u3000", u"\u2028"};
  const Row rows[] = {
      {"fine", [] { return Data(u"丁", 1945); }, EditProblem::kNone},
      {"no name", [] { return Data(u"", 1945); }, EditProblem::kNameEmpty},
      {"end", [] { return Data(u"end", 1945); }, EditProblem::kNameReserved},
      {"-1", [] { return Data(u"-1", 1945); }, EditProblem::kNameReserved},
      {"End is a name", [] { return Data(u"End", 1945); }, EditProblem::kNone},
      {"address end",
       [] {
         MemberData d = Data(u"丁", 1945);
         d.address = u"end";
         return d;
       },
       EditProblem::kAddressReserved},
      {"blank in the address",
       [] {
         MemberData d = Data(u"丁", 1945);
         d.address = u"北 京";
         return d;
       },
       EditProblem::kBlankInText},
      {"NUL in the name", [] { return Data(std::u16string(u"丁\0丁", 3), 1945); },
       EditProblem::kBlankInText},
      {"127 units", [] { return Data(std::u16string(127, u'丁'), 1945); }, EditProblem::kNone},
      {"128 units", [] { return Data(std::u16string(128, u'丁'), 1945); },
       EditProblem::kNameTooLong},
      {"address of 128 units",
       [] {
         MemberData d = Data(u"丁", 1945);
         d.address = std::u16string(128, u'京');
         return d;
       },
       EditProblem::kAddressTooLong},
      {"half a pair in the name", [] { return Data(u"丁\xD840", 1945); },
       EditProblem::kNameNotWellFormed},
      {"half a pair in the address",
       [] {
         MemberData d = Data(u"丁", 1945);
         d.address = u"\xDC00京";
         return d;
       },
       EditProblem::kAddressNotWellFormed},
      {"30 February", [] { return Data(u"丁", 1945, 2, 30); }, EditProblem::kBirthDateNotReal},
      {"29 February of 1900", [] { return Data(u"丁", 1900, 2, 29); },
       EditProblem::kBirthDateNotReal},
      {"a day before the father", [] { return Data(u"丁", 1920, 6, 14); },
       EditProblem::kBornBeforeFather},
      {"the father's birthday", [] { return Data(u"丁", 1920, 6, 15); },
       EditProblem::kBornWithFather},
      {"a day after the father", [] { return Data(u"丁", 1920, 6, 16); }, EditProblem::kNone},
      {"died on a day that never was", [] { return Died(Data(u"丁", 1945), 1990, 13, 1); },
       EditProblem::kDeathDateNotReal},
      {"died before birth", [] { return Died(Data(u"丁", 1945, 3, 2), 1945, 3, 1); },
       EditProblem::kDeathBeforeBirth},
      {"died the day he was born", [] { return Died(Data(u"丁", 1945, 3, 2), 1945, 3, 2); },
       EditProblem::kNone},
      {"a living member's death date is no matter",
       [] {
         MemberData d = Died(Data(u"丁", 1945), 1900, 0, 0);
         d.alive = 1;
         return d;
       },
       EditProblem::kNone},
      // The first rule broken is the one reported, in the order of old.
      {"blank before the taken name", [] { return Data(u"乙 ", 1945, 2, 30); },
       EditProblem::kBlankInText},
      {"a taken name is the entry's business", [] { return Data(u"乙", 1945, 2, 30); },
       EditProblem::kBirthDateNotReal},
      {"birth before the death date", [] { return Died(Data(u"丁", 1900), 1890, 13, 1); },
       EditProblem::kBornBeforeFather},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(CheckNewMember(tree, jia, row.data()), row.problem);
  }
  for (const std::u16string& blank : blanks) {
    SCOPED_TRACE(static_cast<int>(blank[0]));
    EXPECT_EQ(CheckNewMember(tree, jia, Data(u"丁" + blank, 1945)), EditProblem::kBlankInText);
  }
}

TEST_F(EditRulesTest, ANewRootIsBornNoLaterThanTheOldOne) {
  EXPECT_EQ(CheckNewMember(tree, nullptr, Data(u"始", 1900, 6, 15)), EditProblem::kNone);
  EXPECT_EQ(CheckNewMember(tree, nullptr, Data(u"始", 1900, 6, 16)),
            EditProblem::kBornAfterOldRoot);
  COperationClanbook empty;
  EXPECT_EQ(CheckNewMember(empty, nullptr, Data(u"始", 2020, 6, 16)), EditProblem::kNone);
  EXPECT_EQ(CheckNewMember(empty, nullptr, Data(u"始", 2020, 6, 31)),
            EditProblem::kBirthDateNotReal);
}

TEST_F(EditRulesTest, AChangeOf甲) {
  const auto from = [this](std::function<void(MemberData&)> edit) {
    return [this, edit] {
      MemberData d = *jia;
      edit(d);
      return d;
    };
  };
  const Row rows[] = {
      {"nothing changed", from([](MemberData&) {}), EditProblem::kNone},
      {"his own name kept", from([](MemberData& d) { d.address = u"杭州"; }), EditProblem::kNone},
      {"no name", from([](MemberData& d) { d.name.clear(); }), EditProblem::kNameEmpty},
      {"-1", from([](MemberData& d) { d.name = u"-1"; }), EditProblem::kNameReserved},
      {"born on 31 April", from([](MemberData& d) { d.birthMonth = 4, d.birthDay = 31; }),
       EditProblem::kBirthDateNotReal},
      {"born before his father", from([](MemberData& d) { d.birthYear = 1899; }),
       EditProblem::kBornBeforeFather},
      {"born on his father's birthday", from([](MemberData& d) { d.birthYear = 1900; }),
       EditProblem::kBornWithFather},
      {"born on his son's birthday",
       from([](MemberData& d) { d.birthYear = 1950, d.birthMonth = d.birthDay = 1; }),
       EditProblem::kBornNotBeforeChild},
      {"born after his son", from([](MemberData& d) { d.birthYear = 1951; }),
       EditProblem::kBornNotBeforeChild},
      {"born a day before his son",
       from([](MemberData& d) { d.birthYear = 1949, d.birthMonth = 12, d.birthDay = 31; }),
       EditProblem::kNone},
      {"died before birth", from([](MemberData& d) { d = MemberData(Died(d, 1920, 6, 14)); }),
       EditProblem::kDeathBeforeBirth},
      {"died on no day", from([](MemberData& d) { d = MemberData(Died(d, 1990, 2, 29)); }),
       EditProblem::kDeathDateNotReal},
      // The death date is judged before the birth date, as it always was.
      {"death before a birth that is too early", from([](MemberData& d) {
         d = MemberData(Died(d, 1890, 1, 1));
         d.birthYear = 1895;
       }),
       EditProblem::kDeathBeforeBirth},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(CheckChange(*jia, row.data()), row.problem);
  }
}

// The entry refuses a name another member bears; the member's own is his.
TEST_F(EditRulesTest, ANameBorneByAnotherIsTaken) {
  const struct {
    const char* what;
    const MemberNode* self;
    std::u16string name;
    EditProblem problem;
  } rows[] = {
      {"a newcomer named like a brother", nullptr, u"乙", EditProblem::kNameTaken},
      {"a newcomer named like the root", nullptr, u"祖", EditProblem::kNameTaken},
      {"a newcomer with a name of his own", nullptr, u"丁", EditProblem::kNone},
      {"甲 keeping his name", jia, u"甲", EditProblem::kNone},
      {"甲 named like his son", jia, u"丙", EditProblem::kNameTaken},
      {"甲 named like nobody", jia, u"丁", EditProblem::kNone},
      // The texts come first.
      {"a blank in a taken name", nullptr, u"乙 ", EditProblem::kBlankInText},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(CheckNameAndAddress(tree, Data(row.name, 1945), row.self), row.problem);
  }
}

// A book read from a file may hold a son born on his father's birthday; he
// can still be given an address as long as his birth date stays.
TEST_F(EditRulesTest, AnUnchangedBirthDateIsNotJudgedAgain) {
  MemberNode* twin = Add(tree, u"丙", u"丁", 1950, 1, 1);
  MemberData data = *twin;
  data.address = u"杭州";
  EXPECT_EQ(CheckChange(*twin, data), EditProblem::kNone);
  data.birthDay = 2;
  EXPECT_EQ(CheckChange(*twin, data), EditProblem::kNone);
  data.birthYear = 1949;
  EXPECT_EQ(CheckChange(*twin, data), EditProblem::kBornBeforeFather);
}

TEST(EditRules, ALivingMemberKeepsTheDeathDateHeHad) {
  MemberData before;
  before.alive = 0;
  before.deathYear = 1990;
  before.deathMonth = 5;
  before.deathDay = 6;
  MemberData entered = before;
  entered.deathYear = 2000;
  EXPECT_EQ(EnteredData(before, entered).deathYear, 2000);
  entered.alive = 1;
  const MemberData living = EnteredData(before, entered);
  EXPECT_EQ(living.alive, 1);
  EXPECT_EQ(living.deathYear, 1990);
  EXPECT_EQ(living.deathMonth, 5);
  EXPECT_EQ(living.deathDay, 6);
  EXPECT_EQ(EnteredData(MemberData{}, entered).deathYear, 0);
}

}  // namespace
