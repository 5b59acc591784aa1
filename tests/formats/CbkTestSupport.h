// What the tests of the book file (.cbk) share: members added by hand, and
// a book written out as text, so that two books compare and a difference
// shows where.
#pragma once

#include "FileTestSupport.h"
#include "formats/cbk/CbkBook.h"
#include "model/COperationClanbook.h"

#include <sstream>
#include <string>
#include <vector>

namespace cbktest {

using formats::CbkBook;

inline MemberNode* Add(COperationClanbook& book, MemberNode* father, const char16_t* name,
                       int year) {
  auto* member = new MemberNode;
  member->name = name;
  member->birthYear = year;
  member->birthMonth = 3;
  member->birthDay = 4;
  book.InsertMember(father, member);
  return member;
}

// Everything a book holds, pictures as their captions and bytes, written out
// so that two books compare as text and a difference shows where.
inline std::string Dump(const COperationClanbook& book, const CbkBook* file = nullptr,
                        bool withBytes = true) {
  std::ostringstream out;
  auto text = [&out](const std::u16string& s) {
    for (const char16_t c : s) out << static_cast<int>(c) << ',';
    out << ' ';
  };
  std::vector<const MemberNode*> pending;
  if (book.Root()) pending.push_back(book.Root());
  while (!pending.empty()) {
    const MemberNode* m = pending.back();
    pending.pop_back();
    text(m->name);
    text(m->parent ? m->parent->name : u"");
    out << m->birthYear << '-' << m->birthMonth << '-' << m->birthDay << ' ' << m->married << ' '
        << m->alive << ' ' << m->deathYear << '-' << m->deathMonth << '-' << m->deathDay << ' ';
    text(m->address);
    const MemberRecord& r = m->extra.Record();
    out << static_cast<int>(r.sex) << ' ' << r.mother << ' ';
    for (int f = static_cast<int>(RecordField::kCourtesyName);
         f <= static_cast<int>(RecordField::kSecondFather); ++f)
      text(r.Text(static_cast<RecordField>(f)));
    for (const Spouse& s : r.spouses) {
      out << "spouse " << static_cast<int>(s.title) << ' ' << s.alive << ' ' << s.birthYear << ' '
          << s.birthMonth << ' ' << s.birthDay << ' ' << s.deathYear << ' ' << s.deathMonth << ' '
          << s.deathDay << ' ';
      for (const auto* t : {&s.surname, &s.givenName, &s.origin, &s.father, &s.burial, &s.note})
        text(*t);
    }
    for (const Source& s : r.sources) {
      out << "source ";
      text(s.title);
      text(s.detail);
    }
    for (const Photo& p : r.photos) {
      out << "photo ";
      text(p.caption);
      std::string bytes;
      if (!withBytes) continue;
      if (p.bytes) {
        bytes = *p.bytes;
      } else if (file) {
        EXPECT_TRUE(file->ReadPhoto(p.id, bytes));
      }
      out << bytes.size() << ':' << bytes << ' ';
    }
    out << '\n';
    if (m->nextSibling) pending.push_back(m->nextSibling);
    if (m->firstChild) pending.push_back(m->firstChild);
  }
  const BookData& b = book.Book();
  for (const auto* t : {&b.title, &b.hallName, &b.clanSeat, &b.editors, &b.preface, &b.rules,
                        &b.precepts, &b.generationPoem})
    text(*t);
  out << b.editionYear << ' ' << b.poemFirstGeneration;
  return out.str();
}

inline MemberNode* Find(COperationClanbook& book, const char16_t* name) {
  MemberNode* found = book.FindByName(name);
  return found;
}

}  // namespace cbktest
