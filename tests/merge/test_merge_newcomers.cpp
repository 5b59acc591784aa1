// Many branches merged at once end as if each newcomer had been added one
// by one: the order of birth among the children of every father.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "MergeTestSupport.h"
#include "merge/BranchMerge.h"

using namespace mergetest;

namespace {

// Families of a book taking in many branches at once: how many children each
// father has, in what order of birth, and the newcomers' birth years.
struct NewcomerRow {
  const char* label;
  int fathers;
  int children;    // each father's, before the merge
  bool unordered;  // the book's lists out of birth order, as after edits
  int newcomers;   // in all, the fathers taken in turn
  int years;       // birth years drawn from 1950 on: few years, many ties
  unsigned seed;
};

std::u16string Number(int n) {
  std::u16string text;
  for (char c : std::to_string(n)) text.push_back(static_cast<char16_t>(c));
  return text;
}

// The same book twice: the branches go into one by the merge, into the
// other one by one through InsertMember, as a user would add them.
void BuildFamilies(COperationClanbook& book, const NewcomerRow& row, std::mt19937& random) {
  Add(book, u"", u"Root", 1900);
  for (int f = 0; f < row.fathers; ++f) {
    const std::u16string father = u"F" + Number(f);
    Add(book, u"Root", father, 1920);
    for (int c = 0; c < row.children; ++c)
      Add(book, father, father + u"E" + Number(c), 1950 + static_cast<int>(random() % row.years));
  }
  if (!row.unordered) return;
  // New birth years leave each list in the order it had.
  for (int f = 0; f < row.fathers; ++f) {
    MemberNode* father = Find(book, u"F" + Number(f));
    for (MemberNode* c = father->firstChild; c; c = c->nextSibling) {
      MemberData data = *c;
      data.birthYear = 1950 + static_cast<int>(random() % row.years);
      book.SetMemberData(c, data);
    }
  }
}

class NewcomerTest : public ::testing::TestWithParam<NewcomerRow> {};

TEST_P(NewcomerTest, ManyBranchesEndAsIfAddedOneByOne) {
  const NewcomerRow& row = GetParam();
  COperationClanbook book, byHand;
  std::mt19937 random(row.seed);
  BuildFamilies(book, row, random);
  random.seed(row.seed);
  BuildFamilies(byHand, row, random);
  const std::string before = Dump(book);
  ASSERT_EQ(before, Dump(byHand));

  MergeChanges changes;
  for (int i = 0; i < row.newcomers; ++i) {
    const std::u16string father = u"F" + Number(i % row.fathers);
    MergeSubtree s;
    s.father = Find(book, father);
    MemberNode top;
    top.name = u"N" + Number(i);
    top.birthYear = 1950 + static_cast<int>(random() % row.years);
    top.birthMonth = top.birthDay = 1;
    s.members.push_back(top);
    s.fathers.push_back(0);
    if (i % 3 == 0) {  // with a son and a grandson
      MemberNode son = top, grandson = top;
      son.name += u"s";
      son.birthYear += 30;
      grandson.name += u"g";
      grandson.birthYear += 60;
      s.members.push_back(son);
      s.fathers.push_back(0);
      s.members.push_back(grandson);
      s.fathers.push_back(1);
    }
    changes.subtrees.push_back(s);

    MemberNode* made = nullptr;
    for (std::size_t k = 0; k < s.members.size(); ++k) {
      auto* m = new MemberNode(s.members[k]);
      byHand.InsertMember(k == 0 ? Find(byHand, father) : Find(byHand, s.members[k - 1].name), m);
      if (k == 0) made = m;
    }
    ASSERT_TRUE(made);
  }

  // Each branch goes in at the row its slot says, as the view is told.
  for (const SubtreeSlot& slot : PlaceSubtrees(changes.subtrees)) {
    ApplySubtreeAt(book, changes.subtrees, slot);
    ASSERT_EQ(book.GetSiblingPosition(changes.subtrees[slot.subtree].added), slot.row + 1)
        << Narrow(changes.subtrees[slot.subtree].members[0].name);
  }
  EXPECT_EQ(Dump(book), Dump(byHand));
  RevertMerge(book, changes);
  EXPECT_EQ(Dump(book), before);
  ApplyMerge(book, changes);
  EXPECT_EQ(Dump(book), Dump(byHand));
}

INSTANTIATE_TEST_SUITE_P(
    Families, NewcomerTest,
    ::testing::Values(NewcomerRow{"into_an_empty_family", 1, 0, false, 300, 40, 1},
                      NewcomerRow{"all_born_on_one_day", 1, 5, false, 50, 1, 2},
                      NewcomerRow{"interleaved_with_a_large_family", 1, 400, false, 600, 300, 3},
                      NewcomerRow{"into_lists_out_of_order", 1, 60, true, 200, 30, 4},
                      NewcomerRow{"fathers_in_turn", 3, 40, true, 240, 20, 5},
                      NewcomerRow{"many_ties_in_turn", 4, 25, false, 200, 4, 6}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
