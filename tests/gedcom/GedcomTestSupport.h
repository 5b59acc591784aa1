// Helpers shared by the GEDCOM tests: building members, a scratch folder and
// the tree as text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "../formats/FileTestSupport.h"
#include "../formats/WholeBook.h"
#include "formats/cbk/CbkBook.h"
#include "formats/gedcom/Gedcom.h"
#include "formats/gedcom/GedcomDetail.h"
#include "model/TextCodec.h"

namespace gedcomtest {

inline MemberNode* Add(COperationClanbook& tree, MemberNode* father, std::u16string name, int year,
                       int month = 1, int day = 1) {
  return wholebook::AddMember(tree, father, std::move(name), year, month, day);
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
  tree.VisitPreOrder(out, tree.Root(), [](std::string& text, MemberNode* m) {
    text += Dump(*m) + " [";
    for (const MemberNode* c = m->firstChild; c; c = c->nextSibling)
      text += U8(c->name) + (c->nextSibling ? " " : "");
    text += "]\n";
  });
  return out;
}

// Everything the book holds, pictures as captions and bytes (read from
// `file` when not held), as text that shows where two books differ.
inline std::string DumpAll(const COperationClanbook& book, const formats::CbkBook* file = nullptr) {
  std::string out = Dump(book);
  book.VisitPreOrder(out, book.Root(), [&](std::string& text, const MemberNode* m) {
    const MemberRecord& r = m->extra.Record();
    text += U8(m->name) + ": sex " + std::to_string(static_cast<int>(r.sex)) + " mother " +
            std::to_string(r.mother);
    for (int f = static_cast<int>(RecordField::kCourtesyName);
         f <= static_cast<int>(RecordField::kSecondFather); ++f)
      text += " | " + U8(r.Text(static_cast<RecordField>(f)));
    for (const Spouse& s : r.spouses)
      text += "\n  wife " + std::to_string(static_cast<int>(s.title)) + " " + U8(s.surname) + "/" +
              U8(s.givenName) + " " + U8(s.origin) + " " + U8(s.father) + " b" +
              std::to_string(s.birthYear) + "-" + std::to_string(s.birthMonth) + "-" +
              std::to_string(s.birthDay) + " a" + std::to_string(s.alive) + " d" +
              std::to_string(s.deathYear) + "-" + std::to_string(s.deathMonth) + "-" +
              std::to_string(s.deathDay) + " " + U8(s.burial) + " " + U8(s.note);
    for (const Source& s : r.sources) text += "\n  source " + U8(s.title) + " / " + U8(s.detail);
    for (const Photo& p : r.photos) {
      std::string bytes;
      if (p.bytes) {
        bytes = *p.bytes;
      } else if (file) {
        EXPECT_TRUE(file->ReadPhoto(p.id, bytes));
      }
      text += "\n  photo " + U8(p.caption) + " " + std::to_string(bytes.size()) + ":" + bytes;
    }
    text += "\n";
  });
  const BookData& b = book.Book();
  for (const auto* t : {&b.title, &b.hallName, &b.clanSeat, &b.editors, &b.preface, &b.rules,
                        &b.precepts, &b.generationPoem})
    out += U8(*t) + " | ";
  return out + std::to_string(b.editionYear) + " " + std::to_string(b.poemFirstGeneration);
}

// A fresh folder for each test, the one every file test uses.
using ScratchFolder = modeltest::TempFolderTest;

}  // namespace gedcomtest
