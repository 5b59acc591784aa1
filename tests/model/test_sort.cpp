// Ordering by birth date: the specified partition scheme decides the order of
// members born on the same day, and must still do so at any size.
#include <gtest/gtest.h>

#include <random>

#include "ModelTestSupport.h"
#include "model/BirthSortDetail.h"

using namespace modeltest;
using namespace birthsort;

namespace {

MemberNode* Tag(int i) {
  return reinterpret_cast<MemberNode*>(static_cast<std::uintptr_t>(8 * i));
}

BirthKey Key(int year, int month, int day, int tag) {
  return BirthKey{year, month, day, Tag(tag)};
}

// The scheme as specified, recursion and all, for comparison.
int ReferencePartition(BirthKey* k, int low, int high) {
  auto cmp = [](const BirthKey& a, const BirthKey& b) {
    return COperationClanbook::CompareDates(a.birthYear, a.birthMonth, a.birthDay, b.birthYear,
                                            b.birthMonth, b.birthDay);
  };
  k[0] = k[low];
  while (low < high) {
    while (low < high && cmp(k[high], k[0]) >= 0) --high;
    k[low] = k[high];
    while (low < high && cmp(k[low], k[0]) <= 0) ++low;
    k[high] = k[low];
  }
  k[low] = k[0];
  return low;
}

void ReferenceQuickSort(BirthKey* k, int low, int high) {
  while (low < high) {
    const int p = ReferencePartition(k, low, high);
    ReferenceQuickSort(k, low, p - 1);
    low = p + 1;
  }
}

std::vector<MemberNode*> Members(const std::vector<BirthKey>& keys, std::size_t from = 1) {
  std::vector<MemberNode*> out;
  for (std::size_t i = from; i < keys.size(); ++i) out.push_back(keys[i].member);
  return out;
}

TEST(Sort, EqualDatesEndInTheSpecifiedOrder) {
  // A and C born 1990-01-01, B 1980-01-01.
  std::vector<BirthKey> keys{{}, Key(1990, 1, 1, 1), Key(1990, 1, 1, 3), Key(1980, 1, 1, 2)};
  QuickSort(keys.data(), 1, 3);
  EXPECT_EQ(Members(keys), (std::vector<MemberNode*>{Tag(2), Tag(3), Tag(1)}));  // B, C, A
  keys = {{}, Key(1990, 1, 1, 1), Key(1980, 1, 1, 2), Key(1990, 1, 1, 3)};
  QuickSort(keys.data(), 1, 3);
  EXPECT_EQ(Members(keys), (std::vector<MemberNode*>{Tag(2), Tag(1), Tag(3)}));  // B, A, C
}

TEST(Sort, PartitionPlacesThePivotAndReturnsItsPlace) {
  std::vector<BirthKey> keys{
      {}, Key(5, 1, 1, 5), Key(3, 1, 1, 3), Key(8, 1, 1, 8), Key(1, 1, 1, 1)};
  EXPECT_EQ(Partition(keys.data(), 1, 4), 3);
  EXPECT_EQ(Members(keys), (std::vector<MemberNode*>{Tag(1), Tag(3), Tag(5), Tag(8)}));
  EXPECT_EQ(keys[0].member, Tag(5));  // entry 0 held the pivot
  // A pivot no later than everything else stays where it is.
  keys = {{}, Key(1, 1, 1, 1), Key(3, 1, 1, 3), Key(1, 1, 1, 2), Key(2, 1, 1, 4)};
  EXPECT_EQ(Partition(keys.data(), 1, 4), 1);
  EXPECT_EQ(Members(keys), (std::vector<MemberNode*>{Tag(1), Tag(3), Tag(2), Tag(4)}));
}

TEST(Sort, EmptyAndSingleMemberGenealogies) {
  COperationClanbook tree;
  EXPECT_TRUE(tree.SortByBirth().empty());
  EXPECT_EQ(CollectBirthKeys(tree).size(), 1u);  // the pivot slot alone
  MemberNode* only = Add(tree, u"", u"Only", 1900, 2, 3);
  EXPECT_EQ(tree.SortByBirth(), std::vector<MemberNode*>{only});
  const std::vector<BirthKey> keys = CollectBirthKeys(tree);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].member, nullptr);
  EXPECT_EQ(keys[1].member, only);
  EXPECT_EQ(keys[1].birthYear, 1900);
  EXPECT_EQ(keys[1].birthMonth, 2);
  EXPECT_EQ(keys[1].birthDay, 3);
}

TEST(Sort, SortByBirthCollectsInPreOrderThenSorts) {
  COperationClanbook tree;
  Add(tree, u"", u"R", 1900);
  Add(tree, u"R", u"a", 1930);
  Add(tree, u"a", u"a1", 1960);
  Add(tree, u"R", u"b", 1935);
  Add(tree, u"b", u"b1", 1960);
  Add(tree, u"R", u"c", 1960);
  std::vector<BirthKey> keys = CollectBirthKeys(tree);
  ASSERT_EQ(keys.size(), 7u);
  std::string collected;
  for (int i = 1; i <= 6; ++i)
    collected += Narrow(keys[static_cast<std::size_t>(i)].member->name) + " ";
  EXPECT_EQ(collected, "R a a1 b b1 c ");
  std::vector<BirthKey> expected = keys;
  ReferenceQuickSort(expected.data(), 1, 6);
  const std::vector<MemberNode*> sorted = tree.SortByBirth();
  EXPECT_EQ(sorted, Members(expected));
  EXPECT_EQ(sorted[3]->name, u"a1");  // three born in 1960, in the scheme's order
}

// A date that does not pack (a month or day out of every calendar, as a
// change of data may leave) sends the whole sort down the wide keys' way,
// which must order the members exactly as the scheme does.
TEST(Sort, SortByBirthWithDatesThatDoNotPackFollowsTheScheme) {
  COperationClanbook tree;
  Add(tree, u"", u"R", 1900, 1, 1);
  for (int i = 0; i < 60; ++i)
    Add(tree, u"R", SerialName(static_cast<unsigned>(i + 1)), 1920 + i % 7, 1 + i % 3, 1);
  MemberData odd = *tree.FindByName(SerialName(5));
  odd.birthMonth = 70000;
  tree.SetMemberData(tree.FindByName(SerialName(5)), odd);
  odd = *tree.FindByName(SerialName(9));
  odd.birthDay = -2;
  tree.SetMemberData(tree.FindByName(SerialName(9)), odd);
  std::vector<BirthKey> expected = CollectBirthKeys(tree);
  ReferenceQuickSort(expected.data(), 1, static_cast<int>(expected.size()) - 1);
  EXPECT_EQ(tree.SortByBirth(), Members(expected));
}

// Random arrays with many equal dates, in both of the sort's internal forms
// (packed dates, and dates whose month or day does not fit the packing).
TEST(Sort, RandomArraysMatchTheSpecifiedSchemeExactly) {
  std::mt19937 random(99);
  for (int round = 0; round < 400; ++round) {
    const int n = 1 + static_cast<int>(random() % 1500);
    const int spread = 1 + static_cast<int>(random() % 400);
    const bool odd = round % 4 == 3;
    std::vector<BirthKey> keys(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
      const int v = static_cast<int>(random() % static_cast<unsigned>(spread));
      keys[static_cast<std::size_t>(i)] =
          Key(1900 + v / 20 - (round % 7 == 0 ? 3000 : 0), odd ? 70000 - v % 5 : 1 + v % 4,
              odd ? -(v % 3) : 1 + v % 5, i);
    }
    std::vector<BirthKey> expected = keys;
    ReferenceQuickSort(expected.data(), 1, n);
    QuickSort(keys.data(), 1, n);
    ASSERT_EQ(Members(keys), Members(expected)) << "round " << round << " n " << n;
    for (int i = 1; i <= n; ++i) {
      ASSERT_EQ(keys[static_cast<std::size_t>(i)].birthMonth,
                expected[static_cast<std::size_t>(i)].birthMonth);
      ASSERT_EQ(keys[static_cast<std::size_t>(i)].birthDay,
                expected[static_cast<std::size_t>(i)].birthDay);
    }
  }
}

// A genealogy as clan books grow: each father's children born 18 to 45 years
// after him, collected in pre-order. The scheme stays exact there.
TEST(Sort, GeneratedClanBookMatchesTheSpecifiedScheme) {
  std::mt19937 random(5);
  COperationClanbook tree;
  MemberNode* root = Add(tree, u"", u"R", 1000, 1, 1);
  std::vector<MemberNode*> generation{root};
  unsigned serial = 1;
  for (int g = 0; g < 30 && serial < 30000; ++g) {
    std::vector<MemberNode*> next;
    for (MemberNode* father : generation) {
      const int children = static_cast<int>(random() % 4);
      for (int c = 0; c < children; ++c) {
        MemberNode* m =
            Make(SerialName(serial++), father->birthYear + 18 + static_cast<int>(random() % 28),
                 1 + static_cast<int>(random() % 12), 1 + static_cast<int>(random() % 28));
        tree.InsertMember(father, m);
        next.push_back(m);
      }
    }
    if (next.empty()) next.push_back(generation.front());
    generation = next;
  }
  std::vector<BirthKey> expected = CollectBirthKeys(tree);
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(tree.CountMembers()) + 1);
  ReferenceQuickSort(expected.data(), 1, tree.CountMembers());
  EXPECT_EQ(tree.SortByBirth(), Members(expected));
}

// So many equal dates that the scheme degenerates: the result is still every
// member once, in date order (members born on the same day may stand in
// another order than the scheme would give).
TEST(Sort, DegenerateInputStillSortsEveryEntry) {
  const int n = 200000;
  std::vector<BirthKey> keys(n + 1);
  std::mt19937 random(3);
  for (int i = 1; i <= n; ++i)
    keys[static_cast<std::size_t>(i)] = Key(1900 + static_cast<int>(random() % 3), 1, 1, i);
  QuickSort(keys.data(), 1, n);
  std::vector<bool> seen(n + 1);
  for (int i = 1; i <= n; ++i) {
    const auto tag = reinterpret_cast<std::uintptr_t>(keys[static_cast<std::size_t>(i)].member) / 8;
    ASSERT_FALSE(seen[tag]);
    seen[tag] = true;
    if (i > 1) {
      ASSERT_LE(keys[static_cast<std::size_t>(i) - 1].birthYear,
                keys[static_cast<std::size_t>(i)].birthYear);
    }
  }
  // Descending dates, the other classic worst case.
  for (int i = 1; i <= n; ++i) keys[static_cast<std::size_t>(i)] = Key(1000000 - i, 1, 1, i);
  QuickSort(keys.data(), 1, n);
  for (int i = 1; i <= n; ++i) ASSERT_EQ(keys[static_cast<std::size_t>(i)].member, Tag(n + 1 - i));
}

}  // namespace
