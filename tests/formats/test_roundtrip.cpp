// Random genealogies saved and loaded back.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "../model/ModelTestSupport.h"
#include "FileTestSupport.h"
#include "formats/FtfFormat.h"

using namespace modeltest;

namespace {

// The tree with every family's children sorted by birth date and name: two
// genealogies that differ only in the order of children born on the same day
// have the same canonical text.
std::string Canonical(const MemberNode* member) {
  std::vector<std::string> children;
  for (const MemberNode* c = member->firstChild; c; c = c->nextSibling) {
    // One level at a time on an explicit stack would do as well; these trees
    // are shallow.
    char date[48];
    std::snprintf(date, sizeof date, "%011d-%011d-%011d ", c->birthYear, c->birthMonth,
                  c->birthDay);
    children.push_back(date + Canonical(c));
  }
  std::sort(children.begin(), children.end());
  std::string out = Narrow(member->name) + "|" + std::to_string(member->married) + "|" +
                    Narrow(member->address) + "|" + std::to_string(member->alive);
  if (!member->alive)
    out += "|" + std::to_string(member->deathYear) + "-" + std::to_string(member->deathMonth) +
           "-" + std::to_string(member->deathDay);
  out += "(";
  for (const auto& c : children) out += c + ";";
  return out + ")";
}

class RoundTripTest : public TempFolderTest {
protected:
  // A random clan book: unique names, valid dates, children born no earlier
  // than their father, many children born on the same day.
  void Build(std::mt19937& random, int members) {
    std::vector<MemberNode*> all;
    for (int i = 0; i < members; ++i) {
      MemberNode* father = all.empty() ? nullptr : all[random() % all.size()];
      int year = father ? father->birthYear + static_cast<int>(random() % 3) * 20 : 1000;
      int month = father ? 1 + static_cast<int>(random() % 2) : 1;
      int day = 1 + static_cast<int>(random() % 2);
      if (father && COperationClanbook::CompareDates(year, month, day, father->birthYear,
                                                     father->birthMonth, father->birthDay) < 0) {
        year = father->birthYear;
        month = father->birthMonth;
        day = father->birthDay;
      }
      MemberNode* m = Make(SerialName(static_cast<unsigned>(i)), year, month, day);
      m->married = static_cast<int>(random() % 2);
      if (random() % 2) m->address = u"地址" + SerialName(static_cast<unsigned>(random() % 50));
      m->alive = static_cast<int>(random() % 2);
      if (!m->alive) {
        m->deathYear = year + static_cast<int>(random() % 90);
        m->deathMonth = month;
        m->deathDay = day;
      }
      tree_.InsertMember(father, m);
      all.push_back(m);
    }
  }
  std::string SaveAndLoad() {
    const auto file = folder_ / "clan.ftf";
    EXPECT_EQ(formats::SaveFtf(file, tree_).code, kFileOk);
    std::string bytes = Read(file);
    EXPECT_EQ(formats::LoadFtf(file, tree_).code, kFileOk);
    return bytes;
  }

  COperationClanbook tree_;
};

TEST_F(RoundTripTest, SameTreeBackAndTheFileRepeatsEverySecondCycle) {
  std::mt19937 random(2024);
  for (int round = 0; round < 30; ++round) {
    tree_.Clear();
    Build(random, 1 + static_cast<int>(random() % 3000));
    const std::string before = Canonical(tree_.Root());
    const std::string first = SaveAndLoad();
    EXPECT_EQ(Canonical(tree_.Root()), before);
    const std::string second = SaveAndLoad();
    EXPECT_EQ(Canonical(tree_.Root()), before);
    // Same-day children come back reversed, and reversed again.
    EXPECT_EQ(SaveAndLoad(), first);
    EXPECT_EQ(SaveAndLoad(), second);
  }
}

TEST_F(RoundTripTest, WithoutSameDaySiblingsTheFileRepeatsAtOnce) {
  DayCounter date;
  std::mt19937 random(7);
  std::vector<MemberNode*> all;
  for (int i = 0; i < 5000; ++i) {
    MemberNode* father = all.empty() ? nullptr : all[random() % all.size()];
    MemberNode* m = Make(SerialName(static_cast<unsigned>(i)), date.year, date.month, date.day);
    date.Next();
    tree_.InsertMember(father, m);
    all.push_back(m);
  }
  const std::string first = SaveAndLoad();
  EXPECT_EQ(SaveAndLoad(), first);
}

TEST_F(RoundTripTest, ChildrenPutOutOfOrderByAChangeComeBackInBirthOrder) {
  Add(tree_, u"", u"R", 1900);
  Add(tree_, u"R", u"a", 1930);
  MemberNode* b = Add(tree_, u"R", u"b", 1940);
  Add(tree_, u"b", u"b1", 1990);
  MemberNode source = *b;
  source.birthYear = 1920;
  tree_.UpdateMemberData(b, source);
  EXPECT_EQ(Children(tree_.Root()), "a b");
  SaveAndLoad();
  EXPECT_EQ(Children(tree_.Root()), "b a");
  EXPECT_EQ(Shape(tree_), "R<-> b<R> b1<b> a<R> ");
}

}  // namespace
