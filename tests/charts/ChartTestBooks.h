// Books for the chart tests, built through the model's own insertion.
#pragma once

#include "model/COperationClanbook.h"

#include <QString>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace charttest {

inline MemberNode* Add(COperationClanbook& book, MemberNode* father, const std::u16string& name,
                       std::int32_t year, bool alive = true, std::int32_t deathYear = 0) {
  auto* m = new MemberNode;
  m->name = name;
  m->birthYear = year;
  m->birthMonth = 1;
  m->birthDay = 1;
  m->alive = alive ? 1 : 0;
  m->married = (year % 3) != 0;
  if (!alive) {
    m->deathYear = deathYear;
    m->deathMonth = 1;
    m->deathDay = 2;
  }
  book.InsertMember(father, m);
  return m;
}

inline std::u16string Name(int serial) {
  static const char16_t* kSurnames[] = {u"王", u"李", u"张", u"刘", u"陈", u"杨", u"赵"};
  return std::u16string(kSurnames[serial % 7]) + u"氏" + QString::number(serial).toStdU16String();
}

// `members` members, each father drawn from the members above the deepest
// `generations`; families of every size from one child up.
inline void RandomBook(COperationClanbook& book, int members, int generations, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<MemberNode*> all{Add(book, nullptr, Name(0), 1500, false, 1560)};
  std::vector<int> depth{1};
  for (int i = 1; i < members; ++i) {
    int f = 0;
    do {
      f = static_cast<int>(random() % all.size());
    } while (depth[f] >= generations);
    const std::int32_t year = all[f]->birthYear + 18 + static_cast<std::int32_t>(random() % 20);
    const bool alive = year > 1930;
    all.push_back(Add(book, all[f], Name(i), year, alive, year + 60));
    depth.push_back(depth[f] + 1);
  }
}

// A line of `generations` members, one below the other.
inline MemberNode* DeepBook(COperationClanbook& book, int generations) {
  MemberNode* root = Add(book, nullptr, Name(0), 1);
  MemberNode* m = root;
  for (int i = 1; i < generations; ++i) m = Add(book, m, Name(i), 1 + i);
  return root;
}

// One father of `children` children.
inline MemberNode* WideBook(COperationClanbook& book, int children) {
  MemberNode* root = Add(book, nullptr, Name(0), 1800);
  for (int i = 1; i <= children; ++i) Add(book, root, Name(i), 1820 + i);
  return root;
}

// Every member within `generations` generations of `start` (0: all), pre-order.
inline std::vector<MemberNode*> Charted(MemberNode* start, int generations) {
  std::vector<MemberNode*> out;
  std::vector<std::pair<MemberNode*, int>> stack{{start, 1}};
  while (!stack.empty()) {
    auto [m, level] = stack.back();
    stack.pop_back();
    out.push_back(m);
    if (generations && level >= generations) continue;
    std::vector<MemberNode*> children;
    for (MemberNode* c = m->firstChild; c; c = c->nextSibling) children.push_back(c);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
      stack.push_back({*it, level + 1});
  }
  return out;
}

}  // namespace charttest
