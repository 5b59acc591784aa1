// Ordering every member by birth date.
#include <algorithm>
#include <cmath>
#include <vector>

#include "COperationClanbook.h"

namespace {

int CompareKeys(const BirthKey& a, const BirthKey& b) {
  return COperationClanbook::CompareDates(a.birthYear, a.birthMonth, a.birthDay, b.birthYear,
                                          b.birthMonth, b.birthDay);
}

}  // namespace

void COperationClanbook::CollectBirthKeys(MemberNode* link, BirthKey*& cursor) const {
  VisitPreOrder(cursor, link, [](BirthKey*& at, MemberNode* member) {
    *at = BirthKey{member->birthYear, member->birthMonth, member->birthDay, member};
    ++at;
  });
}

int COperationClanbook::Partition(BirthKey* keys, int low, int high) {
  keys[0] = keys[low];
  const BirthKey& pivot = keys[0];
  while (low < high) {
    while (low < high && CompareKeys(keys[high], pivot) >= 0) --high;
    keys[low] = keys[high];
    while (low < high && CompareKeys(keys[low], pivot) <= 0) ++low;
    keys[high] = keys[low];
  }
  keys[low] = keys[0];
  return low;
}

void COperationClanbook::QuickSort(BirthKey* keys, int low, int high) {
  // The order of members born on the same day is the one that this partition
  // scheme gives, so the scheme itself is kept; only its recursion is replaced
  // by a stack of ranges (disjoint ranges may be sorted in any order).
  std::vector<std::pair<int, int>> ranges;
  ranges.emplace_back(low, high);
  while (!ranges.empty()) {
    auto [from, to] = ranges.back();
    ranges.pop_back();
    while (from < to) {
      const int p = Partition(keys, from, to);
      if (from < p - 1) ranges.emplace_back(from, p - 1);
      from = p + 1;
    }
  }
}

void COperationClanbook::SortByBirth(BirthKey* keys) const {
  int n = 0;
  CountMembers(m_root, n);
  BirthKey* cursor = keys + 1;
  CollectBirthKeys(m_root, cursor);
  QuickSort(keys, 1, n);
}
