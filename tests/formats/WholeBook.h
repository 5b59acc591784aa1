// A book with every field of every kind filled somewhere, for the tests of
// the files that keep the whole record (.cbk, GEDCOM).
#pragma once

#include <memory>
#include <string>

#include "model/COperationClanbook.h"

namespace wholebook {

inline MemberNode* AddMember(COperationClanbook& book, MemberNode* father, std::u16string name,
                             int year, int month = 1, int day = 1) {
  auto* m = new MemberNode;
  m->name = std::move(name);
  m->birthYear = year;
  m->birthMonth = month;
  m->birthDay = day;
  book.InsertMember(father, m);
  return m;
}

inline const std::string kPng =
    std::string("\x89PNG\r\n\x1A\n", 8) + std::string("\0\0\0\rIHDR", 8) + "px";
inline const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0", 4) + "JFIF jpeg bytes";

inline Photo Picture(const char16_t* caption, const std::string& bytes) {
  Photo photo;
  photo.caption = caption;
  photo.bytes = std::make_shared<const std::string>(bytes);
  return photo;
}

inline Spouse Wife(SpouseTitle title, const char16_t* surname) {
  Spouse s;
  s.title = title;
  s.surname = surname;
  return s;
}

// Every field of every kind, each kind in every form the mapping treats
// apart: a birth father who is a member and one who is not, a 生时 on the
// clock and a 时辰, wives with whole, partial and no dates, living and not,
// children of each wife and of none named, a daughter with her husband,
// pictures of two kinds, a source shared by two members, '@' and line
// breaks in text.
inline void FillBook(COperationClanbook& book) {
  MemberNode* root = AddMember(book, nullptr, u"孔丘", 1900, 2, 3);
  root->alive = 0;
  root->deathYear = 1970;
  root->deathMonth = 5;
  root->deathDay = 6;
  root->address = u"曲阜";
  root->married = 1;
  MemberRecord& r = root->extra.EditRecord();
  r.courtesyName = u"仲尼";
  r.artName = u"尼山";
  r.rank = u"次子";
  r.branch = u"长房";
  r.office = u"司寇";
  r.birthHour = u"子时";
  r.biography = u"第一段。\n第二段，@与\"引号\"。\n\n第三段";
  r.burialPlace = u"泗上";
  r.burialFacing = u"坐北朝南";
  r.note = u"@备注";
  r.sources = {{u"阙里志", u"卷一"}, {u"史记", u""}};
  Spouse first = Wife(SpouseTitle::kPei, u"亓官");
  first.givenName = u"某";
  first.origin = u"宋";
  first.father = u"亓官公某";
  first.birthYear = 1902;
  first.birthMonth = 1;
  first.birthDay = 2;
  first.deathYear = 1960;  // the year alone
  first.burial = u"泗上";
  first.note = u"贤\n淑";
  Spouse second = Wife(SpouseTitle::kJiPei, u"王");
  second.alive = 1;
  second.birthYear = 1910;
  second.birthMonth = 4;                       // the month and year
  Spouse third = Wife(SpouseTitle::kQu, u"");  // nothing known
  Spouse fourth = Wife(SpouseTitle::kCeShi, u"李");
  fourth.givenName = u"四娘";
  r.spouses = {first, second, third, fourth};
  r.photos = {Picture(u"像", kPng), Picture(u"", kJpeg)};

  MemberNode* li = AddMember(book, root, u"孔鲤", 1925);
  li->married = 1;
  MemberRecord& lr = li->extra.EditRecord();
  lr.mother = 1;
  lr.birthHour = u"23:15";
  lr.sources = {{u"阙里志", u"卷二"}};
  MemberNode* heir = AddMember(book, root, u"孔继", 1926);
  heir->extra.EditRecord().birthFather = u"孔外";  // no member
  heir->extra.EditRecord().mother = 3;
  MemberNode* daughter = AddMember(book, root, u"孔女", 1927);
  MemberRecord& d = daughter->extra.EditRecord();
  d.sex = Sex::kFemale;
  d.husbandName = u"公冶长";
  d.husbandPlace = u"齐";
  d.rank = u"长女";
  daughter->married = 1;
  AddMember(book, root, u"孔末", 1930);  // no mother named
  MemberNode* ji = AddMember(book, li, u"孔伋", 1950);
  ji->extra.EditRecord().birthFather = u"孔继";  // a member: his family
  ji->extra.EditRecord().secondFather = u"孔末";
  AddMember(book, heir, u"孔嗣", 1952);
  BookData& data = book.Book();
  data.title = u"孔氏家谱";
  data.hallName = u"诗礼堂";
  data.clanSeat = u"鲁国";
  data.editionYear = 1930;
  data.editors = u"孔某、孔某某";
  data.preface = u"谱序\n第二行";
  data.rules = u"凡例";
  data.precepts = u"家训";
  // The 字辈 as typed, from the 世 it starts at: every round trip carries both.
  data.generationPoem = u"希言公彦承，宏闻贞尚衍。";
  data.poemFirstGeneration = 45;
}

}  // namespace wholebook
