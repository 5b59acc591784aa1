// Kinship terms: a table of cases over one clan of two long lines (every
// distance up and down to twelve generations and beyond, collaterals to the
// fifth cousin and further, elder and younger, men, women and wives), and a
// random book in which each pair is asked both ways and checked against a
// plain walk of its own.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "calendar/Kinship.h"
#include "calendar/KinshipTerms.h"
#include "model/COperationClanbook.h"

namespace {

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

MemberNode* Add(COperationClanbook& book, MemberNode* father, const std::string& name, int year,
                int month = 1, int day = 1) {
  auto* m = new MemberNode;
  m->name = std::u16string(name.begin(), name.end());
  m->birthYear = year;
  m->birthMonth = month;
  m->birthDay = day;
  book.InsertMember(father, m);
  return m;
}

// R has the two long lines E1..E13 (the elder) and Y1..Y13, each man born
// 25 years after his father, E's a little earlier in the year than Y's. Y1
// also has Z2, born before E2 (so the dates outrank the branches), and W2,
// born on E2's day (so the branches decide); R has twins T1a and T1b.
class KinshipTable : public ::testing::Test {
protected:
  void SetUp() override {
    people["R"] = Add(book, nullptr, "R", 1800);
    MemberNode* e = people["R"];
    MemberNode* y = people["R"];
    for (int i = 1; i <= 13; ++i) {
      e = people["E" + std::to_string(i)] = Add(book, e, "E" + std::to_string(i), 1805 + 25 * i, 3);
      y = people["Y" + std::to_string(i)] = Add(book, y, "Y" + std::to_string(i), 1807 + 25 * i, 5);
    }
    people["Z2"] = Add(book, people["Y1"], "Z2", 1850);
    people["W2"] = Add(book, people["Y1"], "W2", 1855, 3);
    // Added by hand, a newcomer goes before the children born on his day.
    people["T1b"] = Add(book, people["R"], "T1b", 1840, 7, 7);
    people["T1a"] = Add(book, people["R"], "T1a", 1840, 7, 7);
    Add(other, nullptr, "X", 1800);
  }

  KinPerson Man(const std::string& name) const { return {people.at(name), KinSex::Male, false}; }
  KinPerson Woman(const std::string& name) const {
    return {people.at(name), KinSex::Female, false};
  }
  KinPerson WifeOf(const std::string& name) const { return {people.at(name), KinSex::Male, true}; }

  COperationClanbook book;
  COperationClanbook other;
  std::unordered_map<std::string, MemberNode*> people;
};

struct Row {
  const char* a;
  const char* b;
  char as;  // how A is taken: 'm' a man, 'w' the wife of a
  char bs;  // how B is taken: 'm' a man, 'f' a woman, 'w' the wife of b
  const char* term;
};

TEST_F(KinshipTable, EveryDistanceSideAndSexHasItsTerm) {
  const Row rows[] = {
      // Straight up, to twelve generations and past the named ones.
      {"E13", "E12", 'm', 'm', "父亲"},
      {"E13", "E11", 'm', 'm', "祖父"},
      {"E13", "E10", 'm', 'm', "曾祖父"},
      {"E13", "E9", 'm', 'm', "高祖父"},
      {"E13", "E8", 'm', 'm', "天祖父"},
      {"E13", "E7", 'm', 'm', "烈祖父"},
      {"E13", "E6", 'm', 'm', "太祖父"},
      {"E13", "E5", 'm', 'm', "远祖父"},
      {"E13", "E4", 'm', 'm', "鼻祖"},
      {"E13", "E3", 'm', 'm', "十世祖"},
      {"E13", "E2", 'm', 'm', "十一世祖"},
      {"E13", "E1", 'm', 'm', "十二世祖"},
      {"E13", "R", 'm', 'm', "十三世祖"},
      {"E13", "E12", 'm', 'w', "母亲"},
      {"E13", "E11", 'm', 'w', "祖母"},
      {"E13", "E10", 'm', 'w', "曾祖母"},
      {"E13", "E9", 'm', 'w', "高祖母"},
      {"E13", "E1", 'm', 'w', "十二世祖母"},
      // Straight down.
      {"E1", "E2", 'm', 'm', "儿子"},
      {"E1", "E3", 'm', 'm', "孙子"},
      {"E1", "E4", 'm', 'm', "曾孙"},
      {"E1", "E5", 'm', 'm', "玄孙"},
      {"E1", "E6", 'm', 'm', "来孙"},
      {"E1", "E7", 'm', 'm', "晜孙"},
      {"E1", "E8", 'm', 'm', "仍孙"},
      {"E1", "E9", 'm', 'm', "云孙"},
      {"E1", "E10", 'm', 'm', "耳孙"},
      {"E1", "E11", 'm', 'm', "十世孙"},
      {"E1", "E13", 'm', 'm', "十二世孙"},
      {"R", "E13", 'm', 'm', "十三世孙"},
      {"E1", "E2", 'm', 'f', "女儿"},
      {"E1", "E3", 'm', 'f', "孙女"},
      {"E1", "E4", 'm', 'f', "曾孙女"},
      {"E1", "E13", 'm', 'f', "十二世孙女"},
      {"E1", "E2", 'm', 'w', "儿媳"},
      {"E1", "E3", 'm', 'w', "孙媳"},
      {"E1", "E5", 'm', 'w', "玄孙媳"},
      // Brothers and their lines: E's side is the elder.
      {"E1", "Y1", 'm', 'm', "弟弟"},
      {"Y1", "E1", 'm', 'm', "哥哥"},
      {"Y1", "E1", 'm', 'f', "姐姐"},
      {"E1", "Y1", 'm', 'f', "妹妹"},
      {"Y1", "E1", 'm', 'w', "嫂子"},
      {"E1", "Y1", 'm', 'w', "弟媳"},
      {"Y2", "E1", 'm', 'm', "伯父"},
      {"E2", "Y1", 'm', 'm', "叔叔"},
      {"E2", "Y1", 'm', 'f', "姑妈"},
      {"Y2", "E1", 'm', 'w', "伯母"},
      {"E2", "Y1", 'm', 'w', "婶婶"},
      {"E1", "Y2", 'm', 'm', "侄子"},
      {"E1", "Y2", 'm', 'f', "侄女"},
      {"E1", "Y2", 'm', 'w', "侄媳"},
      {"Y3", "E1", 'm', 'm', "伯祖父"},
      {"E3", "Y1", 'm', 'm', "叔祖父"},
      {"E3", "Y1", 'm', 'f', "姑祖母"},
      {"Y3", "E1", 'm', 'w', "伯祖母"},
      {"E3", "Y1", 'm', 'w', "叔祖母"},
      {"E4", "Y1", 'm', 'm', "曾叔祖父"},
      {"E5", "Y1", 'm', 'm', "高叔祖父"},
      {"E6", "Y1", 'm', 'm', "天叔祖父"},
      {"E9", "Y1", 'm', 'm', "远叔祖父"},
      {"E10", "Y1", 'm', 'm', "九世叔祖"},
      {"Y13", "E1", 'm', 'm', "十二世伯祖"},
      {"Y13", "E1", 'm', 'w', "十二世伯祖母"},
      {"E1", "Y3", 'm', 'm', "侄孙"},
      {"E1", "Y3", 'm', 'f', "侄孙女"},
      {"E1", "Y3", 'm', 'w', "侄孙媳"},
      {"E1", "Y4", 'm', 'm', "曾侄孙"},
      {"E1", "Y5", 'm', 'm', "玄侄孙"},
      {"E1", "Y10", 'm', 'm', "耳侄孙"},
      {"E1", "Y13", 'm', 'm', "十二世侄孙"},
      {"E1", "Y13", 'm', 'f', "十二世侄孙女"},
      // First cousins' lines (堂).
      {"E2", "Y2", 'm', 'm', "堂弟"},
      {"Y2", "E2", 'm', 'm', "堂哥"},
      {"Y2", "E2", 'm', 'f', "堂姐"},
      {"E2", "Y2", 'm', 'f', "堂妹"},
      {"Y2", "E2", 'm', 'w', "堂嫂"},
      {"E2", "Y2", 'm', 'w', "堂弟媳"},
      {"Y3", "E2", 'm', 'm', "堂伯"},
      {"E3", "Y2", 'm', 'm', "堂叔"},
      {"E3", "Y2", 'm', 'f', "堂姑"},
      {"Y3", "E2", 'm', 'w', "堂伯母"},
      {"E3", "Y2", 'm', 'w', "堂婶"},
      {"E2", "Y3", 'm', 'm', "堂侄"},
      {"E2", "Y3", 'm', 'f', "堂侄女"},
      {"E2", "Y3", 'm', 'w', "堂侄媳"},
      {"E4", "Y2", 'm', 'm', "堂叔祖父"},
      {"E2", "Y4", 'm', 'm', "堂侄孙"},
      // Second cousins (从堂) and further (族), to the fifth cousin and past.
      {"E3", "Y3", 'm', 'm', "从堂弟"},
      {"Y3", "E3", 'm', 'm', "从堂兄"},
      {"Y3", "E3", 'm', 'f', "从堂姐"},
      {"Y3", "E3", 'm', 'w', "从堂嫂"},
      {"Y4", "E3", 'm', 'm', "族伯"},
      {"E4", "Y3", 'm', 'm', "族叔"},
      {"E3", "Y4", 'm', 'm', "族侄"},
      {"E4", "Y4", 'm', 'm', "族弟"},
      {"Y5", "E5", 'm', 'm', "族兄"},
      {"Y6", "E6", 'm', 'm', "族兄"},
      {"E6", "Y6", 'm', 'f', "族妹"},
      {"E7", "Y7", 'm', 'w', "族弟媳"},
      {"E12", "Y13", 'm', 'm', "族侄"},
      {"Y13", "E12", 'm', 'm', "族伯"},
      {"Y13", "E11", 'm', 'm', "族伯祖父"},
      // Birth dates outrank the branches; the same day leaves it to them,
      // and twins go by their order in the family.
      {"E2", "Z2", 'm', 'm', "堂哥"},
      {"Z2", "E2", 'm', 'm', "堂弟"},
      {"E3", "Z2", 'm', 'm', "堂伯"},
      {"E2", "W2", 'm', 'm', "堂弟"},
      {"W2", "E2", 'm', 'm', "堂哥"},
      {"T1b", "T1a", 'm', 'm', "哥哥"},
      {"T1a", "T1b", 'm', 'm', "弟弟"},
      // Husband and wife; a wife names her husband's kin as he does.
      {"E1", "E1", 'm', 'm', "本人"},
      {"E1", "E1", 'm', 'w', "妻子"},
      {"E1", "E1", 'w', 'm', "丈夫"},
      {"E2", "E1", 'w', 'm', "父亲"},
      {"E2", "Y1", 'w', 'm', "叔叔"},
      {"E1", "E2", 'w', 'w', "儿媳"},
      {"Y1", "E1", 'w', 'w', "嫂子"},
  };
  for (const Row& row : rows) {
    const KinPerson a = row.as == 'w' ? WifeOf(row.a) : Man(row.a);
    const KinPerson b = row.bs == 'w' ? WifeOf(row.b) : row.bs == 'f' ? Woman(row.b) : Man(row.b);
    EXPECT_EQ(Utf8(KinshipTerm(FindKinship(a, b))), row.term)
        << row.a << (row.as == 'w' ? "'s wife" : "") << " -> " << row.b << " (" << row.bs << ")";
  }
}

TEST_F(KinshipTable, ThePathNamesTheSharedAncestorAndTheGenerations) {
  const Kinship k = FindKinship(Man("E5"), Man("Y9"));
  EXPECT_EQ(k.kind, KinKind::Collateral);
  EXPECT_EQ(k.ancestor, people["R"]);
  EXPECT_EQ(k.up, 5);
  EXPECT_EQ(k.down, 9);
  EXPECT_EQ(k.Degree(), 5);
  EXPECT_FALSE(k.byBranchOrder);
  EXPECT_TRUE(FindKinship(Man("E2"), Man("W2")).byBranchOrder);

  const Kinship lineal = FindKinship(Man("E9"), WifeOf("E2"));
  EXPECT_EQ(lineal.kind, KinKind::Ancestor);
  EXPECT_EQ(lineal.ancestor, people["E2"]);
  EXPECT_EQ(lineal.up, 7);
  EXPECT_EQ(lineal.down, 0);

  const Kinship none = FindKinship(Man("E2"), {other.Root()});
  EXPECT_EQ(none.kind, KinKind::Unrelated);
  EXPECT_EQ(KinshipTerm(none), u"");
  EXPECT_EQ(FindKinship(Man("E2"), {}).kind, KinKind::Unrelated);
}

TEST(ChineseNumber, CountsAsTheyAreRead) {
  const std::pair<std::int64_t, const char*> rows[] = {
      {0, "零"},
      {1, "一"},
      {9, "九"},
      {10, "十"},
      {11, "十一"},
      {20, "二十"},
      {99, "九十九"},
      {100, "一百"},
      {101, "一百零一"},
      {110, "一百一十"},
      {1000, "一千"},
      {1010, "一千零一十"},
      {1001, "一千零一"},
      {10000, "一万"},
      {10005, "一万零五"},
      {10010, "一万零一十"},
      {110000, "十一万"},
      {2000000, "二百万"},
      {100100, "十万零一百"},
      {1000000005, "十亿零五"},
      {12345678, "一千二百三十四万五千六百七十八"},
  };
  for (const auto& [number, text] : rows) EXPECT_EQ(Utf8(ChineseNumber(number)), text) << number;
}

// Siblings' order the plain way: by date, then by the place in the family.
bool ElderByPlace(const COperationClanbook& book, const MemberNode* x, const MemberNode* y) {
  if (const int order = CompareBirthDates(*x, *y)) return order < 0;
  return book.GetSiblingPosition(x) < book.GetSiblingPosition(y);
}

TEST(KinshipRandom, BothDirectionsAgreeWithEachOtherAndWithAPlainWalk) {
  std::mt19937 random(20261208);
  COperationClanbook book;
  std::vector<MemberNode*> members;
  members.push_back(Add(book, nullptr, "root", 1000));
  // Few distinct days, so that twins and cousins born on one day are common.
  for (int i = 1; i < 3000; ++i) {
    MemberNode* father = members[random() % members.size()];
    const int year = father->birthYear + 20 + static_cast<int>(random() % 3);
    members.push_back(Add(book, father, "m" + std::to_string(i), year, 1 + random() % 2, 1));
  }
  auto person = [&](MemberNode* m) {
    return KinPerson{m, random() % 3 == 0 ? KinSex::Female : KinSex::Male, random() % 4 == 0};
  };
  for (int n = 0; n < 20000; ++n) {
    const KinPerson a = person(members[random() % members.size()]);
    const KinPerson b = person(members[random() % members.size()]);
    const Kinship ab = FindKinship(a, b);
    const Kinship ba = FindKinship(b, a);
    const std::string what = Utf8(a.member->name) + " / " + Utf8(b.member->name);

    // The plain walk: every ancestor of A, then B's line up to the first of them.
    std::unordered_map<const MemberNode*, int> above;
    int steps = 0;
    for (const MemberNode* m = a.member; m; m = m->parent) above[m] = steps++;
    int down = 0;
    const MemberNode* shared = b.member;
    const MemberNode* headB = nullptr;
    while (!above.count(shared)) {
      headB = shared;
      shared = shared->parent;
      ++down;
    }
    const int up = above[shared];
    ASSERT_EQ(ab.ancestor, shared) << what;
    ASSERT_EQ(ab.up, up) << what;
    ASSERT_EQ(ab.down, down) << what;
    ASSERT_EQ(ba.up, ab.down) << what;
    ASSERT_EQ(ba.down, ab.up) << what;
    ASSERT_EQ(ba.ancestor, ab.ancestor) << what;
    EXPECT_EQ(ab.sex, b.Sex()) << what;
    EXPECT_EQ(ba.sex, a.Sex()) << what;

    if (ab.kind == KinKind::Collateral) {
      ASSERT_EQ(ba.kind, KinKind::Collateral) << what;
      EXPECT_NE(ab.elder, ba.elder) << what;
      EXPECT_EQ(ab.byBranchOrder, ba.byBranchOrder) << what;
      const MemberNode* headA = a.member;
      while (headA->parent != shared) headA = headA->parent;
      const int level = std::min(up, down);
      const MemberNode* sideA = a.member;
      for (int i = up; i > level; --i) sideA = sideA->parent;
      const MemberNode* sideB = b.member;
      for (int i = down; i > level; --i) sideB = sideB->parent;
      const int byDate = CompareBirthDates(*sideB, *sideA);
      EXPECT_EQ(ab.elder, byDate ? byDate < 0 : ElderByPlace(book, headB, headA)) << what;
    } else if (ab.kind == KinKind::Ancestor) {
      EXPECT_EQ(ba.kind, KinKind::Descendant) << what;
    } else if (ab.kind == KinKind::Husband) {
      EXPECT_EQ(ba.kind, KinKind::Wife) << what;
    } else {
      EXPECT_EQ(ba.kind, ab.kind == KinKind::Descendant ? KinKind::Ancestor
                         : ab.kind == KinKind::Wife     ? KinKind::Husband
                                                        : ab.kind)
          << what;
    }
    // Two different people never call each other by one word.
    const std::u16string there = KinshipTerm(ab);
    const std::u16string back = KinshipTerm(ba);
    ASSERT_FALSE(there.empty()) << what;
    if (ab.kind != KinKind::Self) {
      EXPECT_NE(there, back) << what << " " << Utf8(there);
    }
  }
}

}  // namespace
