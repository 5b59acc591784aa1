// Small helpers shared by the model tests: building members and reading a tree
// back as text.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "model/COperationClanbook.h"

namespace modeltest {

inline MemberNode* Make(std::u16string name, int year, int month = 1, int day = 1) {
  auto* m = new MemberNode;
  m->name = std::move(name);
  m->birthYear = year;
  m->birthMonth = month;
  m->birthDay = day;
  return m;
}

// Adds a child of the member called `father` (none: a new root); returns it.
inline MemberNode* Add(COperationClanbook& tree, std::u16string_view father, std::u16string name,
                       int year, int month = 1, int day = 1) {
  MemberNode* parent = nullptr;
  if (!father.empty()) parent = tree.FindByName(father);
  MemberNode* m = Make(std::move(name), year, month, day);
  tree.InsertMember(parent, m);
  return m;
}

inline std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out;
}

inline std::string Children(const MemberNode* member) {
  std::string out;
  for (const MemberNode* c = member->firstChild; c; c = c->nextSibling) {
    if (!out.empty()) out += ' ';
    out += Narrow(c->name);
  }
  return out;
}

// The whole tree in pre-order as "name(children...)" text, for comparisons.
inline std::string Shape(const COperationClanbook& tree) {
  std::string out;
  tree.VisitPreOrder(out, tree.Root(), [](std::string& text, MemberNode* m) {
    text += Narrow(m->name);
    text += '<';
    text += m->parent ? Narrow(m->parent->name) : std::string("-");
    text += "> ";
  });
  return out;
}

inline std::vector<const MemberNode*> PreOrder(const COperationClanbook& tree) {
  std::vector<const MemberNode*> out;
  tree.VisitPreOrder(out, tree.Root(),
                     [](std::vector<const MemberNode*>& v, MemberNode* m) { v.push_back(m); });
  return out;
}

}  // namespace modeltest

namespace modeltest {

// Walks the calendar one day at a time, for members born on distinct days.
struct DayCounter {
  int year = 1000, month = 1, day = 1;
  void Next() {
    ++day;
    if (!COperationClanbook::IsValidDate(year, month, day)) {
      day = 1;
      if (++month > 12) {
        month = 1;
        ++year;
      }
    }
  }
};

// A distinct name of CJK characters for each serial number.
inline std::u16string SerialName(unsigned serial) {
  std::u16string s = u"孔";
  do {
    s.push_back(static_cast<char16_t>(0x4E00 + serial % 20000));
    serial /= 20000;
  } while (serial);
  return s;
}

}  // namespace modeltest
