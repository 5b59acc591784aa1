// The working parts of the birth-date sort (BirthSort.cpp), open to the
// model's sources and their tests only: the rest of the program asks
// COperationClanbook::SortByBirth for the members in order.
#pragma once

#include <cstdint>
#include <vector>

#include "model/COperationClanbook.h"

namespace birthsort {

// An entry of a sort array. Entry 0 of such an array is the pivot slot the
// partition works in; entries 1..n are sorted.
struct BirthKey {
  std::int32_t birthYear = 0;
  std::int32_t birthMonth = 0;
  std::int32_t birthDay = 0;
  MemberNode* member = nullptr;
};

// The keys of every member of `book` in pre-order, at entries 1..n after an
// empty pivot slot.
std::vector<BirthKey> CollectBirthKeys(const COperationClanbook& book);
// One partition of keys[low..high] around keys[low], through the pivot slot;
// returns where the pivot ends.
int Partition(BirthKey* keys, int low, int high);
// Sorts keys[low..high] (low >= 1) by ascending birth date as the partition
// scheme orders them.
void QuickSort(BirthKey* keys, int low, int high);

}  // namespace birthsort
