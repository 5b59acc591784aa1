// The two extreme shapes of a genealogy: a father of a million children and a
// line of a million generations. Every operation must finish without
// exhausting the stack and in about linear time (these tests would run for
// hours otherwise; they assert no time).
#include <gtest/gtest.h>

#include "../model/ModelTestSupport.h"
#include "FileTestSupport.h"
#include "formats/FtfFormat.h"
#include "formats/ftf/FtfCodec.h"
#include "model/BirthSortDetail.h"

using namespace modeltest;

namespace {

constexpr int kMillion = 1000000;

class ScaleTest : public TempFolderTest {
protected:
  // Builds the shape through InsertMember, as the add command would.
  void BuildWide(int children) {
    DayCounter date;
    MemberNode* father = Add(tree_, u"", SerialName(0), date.year, date.month, date.day);
    for (int i = 1; i <= children; ++i) {
      date.Next();
      tree_.InsertMember(
          father, Make(SerialName(static_cast<unsigned>(i)), date.year, date.month, date.day));
    }
  }
  void BuildDeep(int generations) {
    DayCounter date;
    MemberNode* father = nullptr;
    for (int i = 0; i < generations; ++i) {
      MemberNode* m = Make(SerialName(static_cast<unsigned>(i)), date.year, date.month, date.day);
      tree_.InsertMember(father, m);
      father = m;
      date.Next();
    }
  }
  // The first members in pre-order, as Shape writes them.
  std::string Head(std::size_t members = 12) const {
    std::string out;
    std::vector<const MemberNode*> later;
    const MemberNode* m = tree_.Root();
    while (m && members-- > 0) {
      out += Narrow(m->name) + "<" + (m->parent ? Narrow(m->parent->name) : "-") + "> ";
      if (m->nextSibling) later.push_back(m->nextSibling);
      m = m->firstChild;
      if (!m && !later.empty()) {
        m = later.back();
        later.pop_back();
      }
    }
    return out;
  }
  int Count() const {
    int n = tree_.CountMembers();
    return n;
  }
  MemberNode* Find(std::u16string_view name) const {
    MemberNode* found = tree_.FindByName(name);
    return found;
  }
  // Sorted by birth: born on distinct days in pre-order, so the order is the
  // order of collection.
  void ExpectSortedInCollectionOrder() {
    const std::vector<MemberNode*> sorted = tree_.SortByBirth();
    const std::vector<birthsort::BirthKey> collected = birthsort::CollectBirthKeys(tree_);
    ASSERT_EQ(sorted.size() + 1, collected.size());
    for (std::size_t i = 1; i < collected.size(); ++i)
      ASSERT_EQ(sorted[i - 1], collected[i].member) << i;
  }
  // Saves, loads back and checks that the same members stand in the same
  // places; returns the file.
  std::filesystem::path RoundTrip(const std::string& expectedHead) {
    const auto file = folder_ / "shape.ftf";
    EXPECT_EQ(formats::SaveFtf(file, tree_).code, kFileOk);
    const int n = Count();
    EXPECT_EQ(formats::LoadFtf(file, tree_).code, kFileOk);
    EXPECT_EQ(Count(), n);
    EXPECT_EQ(Head(), expectedHead);
    return file;
  }

  COperationClanbook tree_;
};

TEST_F(ScaleTest, FatherOfAMillionChildren) {
  BuildWide(kMillion);
  MemberNode* father = tree_.Root();
  const std::u16string lastName = SerialName(kMillion);
  MemberNode* last = Find(lastName);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->nextSibling, nullptr);
  EXPECT_EQ(tree_.GetSiblingPosition(last), kMillion);
  EXPECT_EQ(tree_.CountChildren(father), kMillion);
  EXPECT_EQ(Count(), kMillion + 1);
  // A search that walks, from a link other than the root.
  MemberNode* walked = tree_.FindByName(father->firstChild, lastName);
  EXPECT_EQ(walked, last);
  std::vector<MemberNode*> birthdays = tree_.FindByBirthday(2, 29);
  EXPECT_GT(birthdays.size(), 600u);
  int visits = 0;
  COperationClanbook::VisitPostOrder(tree_.Root(), [&visits](MemberNode*) { ++visits; });
  EXPECT_EQ(visits, kMillion + 1);
  ExpectSortedInCollectionOrder();

  const std::string head = Head();
  RoundTrip(head);
  EXPECT_EQ(tree_.GetSiblingPosition(Find(lastName)), kMillion);
  // A newcomer born on the first child's day goes first, even in this family.
  MemberNode* twin = Make(u"twin", tree_.Root()->firstChild->birthYear,
                          tree_.Root()->firstChild->birthMonth, tree_.Root()->firstChild->birthDay);
  tree_.InsertMember(tree_.Root(), twin);
  EXPECT_EQ(tree_.Root()->firstChild, twin);

  MemberNode* middle = Find(SerialName(kMillion / 2));
  ASSERT_NE(middle, nullptr);
  tree_.DeleteMember(middle);
  EXPECT_EQ(Find(SerialName(kMillion / 2)), nullptr);
  EXPECT_EQ(tree_.CountChildren(tree_.Root()), kMillion);
  tree_.DeleteMember(tree_.Root());
  EXPECT_EQ(tree_.Root(), nullptr);
}

TEST_F(ScaleTest, LineOfAMillionGenerations) {
  BuildDeep(kMillion);
  const std::u16string lastName = SerialName(kMillion - 1);
  MemberNode* last = Find(lastName);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(tree_.GetGeneration(last), kMillion);
  EXPECT_EQ(Count(), kMillion);
  MemberNode* walked = tree_.FindByName(tree_.Root()->firstChild, lastName);
  EXPECT_EQ(walked, last);
  std::vector<MemberNode*> birthdays = tree_.FindByBirthday(1, 1);
  EXPECT_EQ(birthdays.size(), 2738u);  // every New Year's Day from 1000 on
  ExpectSortedInCollectionOrder();

  const std::string head = Head();
  RoundTrip(head);
  last = Find(lastName);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(tree_.GetGeneration(last), kMillion);

  // Deleting halfway releases half a million descendants.
  MemberNode* middle = Find(SerialName(kMillion / 2));
  tree_.DeleteMember(middle);
  EXPECT_EQ(Count(), kMillion / 2);
  EXPECT_EQ(Find(lastName), nullptr);
  int visits = 0;
  // The half left is taken out whole and released member by member, each
  // after everything below him.
  MemberNode* taken = tree_.Root();
  tree_.TakeSubtree(taken);
  EXPECT_EQ(tree_.Root(), nullptr);
  COperationClanbook::VisitPostOrder(taken, [&visits](MemberNode* member) {
    ++visits;
    delete member;
  });
  EXPECT_EQ(visits, kMillion / 2);
  EXPECT_EQ(tree_.Root(), nullptr);
  tree_.Clear();
}

TEST_F(ScaleTest, LargeFilesOutOfPreOrderOrWithSharedNamesStillLoad) {
  // A family of 200,000 all born on one day (they stay in the file's order),
  // then records that name earlier members as fathers after the line moved
  // on, and a name borne twice whose second bearer comes first in pre-order.
  std::string text = "R 1000 1 1 0 end 1 -1\r\n";
  for (int i = 0; i < 200000; ++i) text += "c" + std::to_string(i) + " 1020 5 5 0 end 1 R\r\n";
  text += "g 1050 1 1 0 end 1 c3\r\nh 1050 1 1 0 end 1 c7\r\nc5 1080 1 1 0 end 1 g\r\n";
  text += "k 1100 1 1 0 end 1 c5\r\n";
  text += "end 1999 12 2 1 end 1 end";
  ASSERT_EQ(ftf::Read(text, tree_, {}).code, kFileOk);
  EXPECT_EQ(Count(), 200005);
  EXPECT_EQ(tree_.Root()->firstChild->name, u"c0");
  // The c5 under g (below c3) comes before R's c5 in pre-order: he is found
  // by name, and k's father.
  EXPECT_EQ(Find(u"c5")->parent->name, u"g");
  EXPECT_EQ(Find(u"k")->parent->parent->name, u"g");
  EXPECT_EQ(Find(u"h")->parent->name, u"c7");
  EXPECT_EQ(tree_.GetSiblingPosition(Find(u"c0")), 1);
  EXPECT_EQ(tree_.GetSiblingPosition(Find(u"c199999")), 200000);
}

}  // namespace
