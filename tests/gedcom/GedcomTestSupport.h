// Helpers shared by the GEDCOM tests: building members, a scratch folder and
// the tree as text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "../formats/FileTestSupport.h"
#include "formats/gedcom/Gedcom.h"
#include "formats/gedcom/GedcomDetail.h"
#include "model/TextCodec.h"

namespace gedcomtest {

inline MemberNode* Add(COperationClanbook& tree, MemberNode* father, std::u16string name, int year,
                       int month = 1, int day = 1) {
  auto* m = new MemberNode;
  m->name = std::move(name);
  m->birthYear = year;
  m->birthMonth = month;
  m->birthDay = day;
  tree.InsertMember(father, m);
  return m;
}

inline std::string U8(std::u16string_view text) {
  return textcodec::ToUtf8(text);
}

// One member's data: name, dates, flags, address.
inline std::string Dump(const MemberNode& m) {
  std::string text = U8(m.name) + " " + std::to_string(m.birthYear) + "-" +
                     std::to_string(m.birthMonth) + "-" + std::to_string(m.birthDay) + " m" +
                     std::to_string(m.married) + " a" + std::to_string(m.alive);
  if (!m.alive)
    text += " d" + std::to_string(m.deathYear) + "-" + std::to_string(m.deathMonth) + "-" +
            std::to_string(m.deathDay);
  if (!m.address.empty()) text += " @" + U8(m.address);
  return text;
}

// The tree in pre-order, one member a line with the names of the children.
inline std::string Dump(const COperationClanbook& tree) {
  std::string out;
  tree.VisitPreOrder(out, tree.GetRootLink(), [](std::string& text, MemberNode* m) {
    text += Dump(*m) + " [";
    for (const MemberNode* c = m->firstChild; c; c = c->nextSibling)
      text += U8(c->name) + (c->nextSibling ? " " : "");
    text += "]\n";
  });
  return out;
}

// A fresh folder for each test, the one every file test uses.
using ScratchFolder = modeltest::TempFolderTest;

}  // namespace gedcomtest
