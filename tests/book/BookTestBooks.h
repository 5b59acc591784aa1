// Books for the printed-book tests, built in code through the model's own
// insertion: a small book of four generations whose records hold everything
// the book prints (字, 号, 排行, wives 配/继配, daughters with 适, a son given
// out to continue his uncle's line, a living member, the book's own texts),
// and a generated book of any size whose every member has a wife, a 字 and a
// 行传 of a hundred characters, for the tests of scale and the benchmark.
#pragma once

#include "book/BookFont.h"
#include "book/LifeRecord.h"
#include "book/PageRecorder.h"
#include "model/COperationClanbook.h"

#include <QRectF>
#include <QString>

#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace booktest {

inline MemberNode* Add(COperationClanbook& book, MemberNode* father, const std::u16string& name,
                       std::int32_t born, std::int32_t died = 0) {
  auto* m = new MemberNode;
  m->name = name;
  m->birthYear = born;
  m->birthMonth = born ? 3 : 0;
  m->birthDay = born ? 15 : 0;
  m->alive = died ? 0 : 1;
  if (died) {
    m->deathYear = died;
    m->deathMonth = 9;
    m->deathDay = 3;
  }
  book.InsertMember(father, m);
  return m;
}

inline Spouse Wife(SpouseTitle title, const std::u16string& surname,
                   const std::u16string& origin = {}, const std::u16string& father = {},
                   const std::u16string& givenName = {}) {
  Spouse s;
  s.title = title;
  s.surname = surname;
  s.origin = origin;
  s.father = father;
  s.givenName = givenName;
  return s;
}

// The members of the small book, by the part they play in the tests.
struct SmallBook {
  MemberNode* root = nullptr;      // 李守业, 1世: 配 and 继配
  MemberNode* elder = nullptr;     // 李传根, 2世, who had no son of his own
  MemberNode* second = nullptr;    // 李传枝, 2世: 字, 号, 排行, burial, 行传 with Latin
  MemberNode* daughter = nullptr;  // 李秀英, 2世: 适 张家村张某
  MemberNode* heir = nullptr;      // 李继祖, 3世, 传枝's son
  MemberNode* givenOut = nullptr;  // 李继宗, 3世: 出继 to 传根, under him in the tree
  MemberNode* living = nullptr;    // 李承志, 4世, living, with an address
  MemberNode* granddaughter = nullptr;  // 李淑芬, 4世, 继宗's daughter
  std::vector<MemberNode*> all;         // every member, in pre-order
};

// Fills `book` (empty) with the small book.
inline SmallBook MakeSmallBook(COperationClanbook& book) {
  SmallBook b;
  BookData& data = book.Book();
  data.title = u"李氏族谱";
  data.hallName = u"陇西堂";
  data.clanSeat = u"陇西";
  data.editors = u"李承志、李继祖";
  data.editionYear = 2024;
  data.preface =
      u"盖闻木有本，水有源。吾李氏自明季迁居于此，至今三百余年。"
      u"谱之不修，则世系莫辨，故合族公议，重修是谱，以示后人。";
  data.rules = u"一、本谱以始迁祖为一世。二、男女并书，女书适某。三、出继者书于所后之父。";
  data.precepts = u"孝父母，友兄弟，勤耕读，守本分。";
  data.generationPoem = u"守传继承，世德流芳。";

  b.root = Add(book, nullptr, u"李守业", 1850, 1910);
  {
    MemberRecord& r = b.root->extra.EditRecord();
    r.courtesyName = u"敬之";
    r.spouses.push_back(Wife(SpouseTitle::kPei, u"王", u"本县王家庄", u"王德昌", u"淑贞"));
    r.spouses.push_back(Wife(SpouseTitle::kJiPei, u"陈"));
    b.root->extra.Tidy();
  }
  b.elder = Add(book, b.root, u"李传根", 1880, 1930);
  {
    MemberRecord& r = b.elder->extra.EditRecord();
    r.rank = u"长";
    r.spouses.push_back(Wife(SpouseTitle::kPei, u"赵"));
    b.elder->extra.Tidy();
  }
  b.second = Add(book, b.root, u"李传枝", 1890, 1949);
  {
    MemberRecord& r = b.second->extra.EditRecord();
    r.courtesyName = u"茂林";
    r.artName = u"松亭";
    r.rank = u"二";
    r.burialPlace = u"村东山坳";
    r.burialFacing = u"坐北朝南";
    r.biography = u"幼读诗书，1925年赴Boston经商，晚年归里，乐善好施。";
    r.spouses.push_back(Wife(SpouseTitle::kPei, u"王", u"本县王家庄", u"王德昌"));
    r.spouses.push_back(Wife(SpouseTitle::kJiPei, u"李"));
    b.second->extra.Tidy();
  }
  b.daughter = Add(book, b.root, u"李秀英", 1895, 1960);
  {
    MemberRecord& r = b.daughter->extra.EditRecord();
    r.sex = Sex::kFemale;
    r.husbandName = u"张某";
    r.husbandPlace = u"张家村";
    b.daughter->extra.Tidy();
  }
  b.heir = Add(book, b.second, u"李继祖", 1915, 1990);
  {
    MemberRecord& r = b.heir->extra.EditRecord();
    r.courtesyName = u"绍先";
    r.spouses.push_back(Wife(SpouseTitle::kPei, u"孙", u"邻村"));
    b.heir->extra.Tidy();
  }
  // Given out: his birth father is 传枝, but he stands in the tree as the son
  // of 传根, whose line he continues.
  b.givenOut = Add(book, b.elder, u"李继宗", 1918, 1985);
  {
    MemberRecord& r = b.givenOut->extra.EditRecord();
    r.birthFather = u"李传枝";
    r.spouses.push_back(Wife(SpouseTitle::kPei, u"周"));
    b.givenOut->extra.Tidy();
  }
  b.living = Add(book, b.heir, u"李承志", 1985);
  b.living->address = u"北京市海淀区";
  {
    MemberRecord& r = b.living->extra.EditRecord();
    r.courtesyName = u"远之";
    r.biography = u"现居北京。";
    b.living->extra.Tidy();
  }
  b.granddaughter = Add(book, b.givenOut, u"李淑芬", 1950, 2010);
  {
    MemberRecord& r = b.granddaughter->extra.EditRecord();
    r.sex = Sex::kFemale;
    r.husbandName = u"刘某";
    b.granddaughter->extra.Tidy();
  }
  b.all = {b.root, b.elder, b.givenOut, b.granddaughter, b.second, b.heir, b.living, b.daughter};
  return b;
}

// A given name of `length` characters for member `serial`, different for
// every serial below 60^length, without digits (which the book would turn).
inline std::u16string GivenName(int serial, int length = 2) {
  static const char16_t kPool[] =
      u"德昌明华文武忠孝仁义礼智信良恭俭让温和平安康宁福寿喜庆"
      u"荣光耀祖宗兴家国正道永承先泽长发其祥广开基业世代书香";
  constexpr int kPoolSize = sizeof(kPool) / sizeof(kPool[0]) - 1;
  std::u16string name;
  for (int i = 0; i < length; ++i) {
    name.push_back(kPool[serial % kPoolSize]);
    serial /= kPoolSize;
  }
  return name;
}

// A 行传 text of about `length` characters, punctuation where a book has it.
inline std::u16string Biography(int serial, int length = 100) {
  static const char16_t kClause[] = u"性情敦厚，事亲至孝，勤于耕读，乡里称之。";
  constexpr int kClauseSize = sizeof(kClause) / sizeof(kClause[0]) - 1;
  std::u16string text;
  int at = serial % kClauseSize;
  while (static_cast<int>(text.size()) < length - 1) {
    text.push_back(kClause[at]);
    at = (at + 1) % kClauseSize;
  }
  text.push_back(u'。');
  return text;
}

// Fills `book` (empty) with `members` members, families of one to
// `maxChildren` sons, generation after generation, each member with a wife
// (配), a 字 and a 行传 of `biographyLength` characters; names of
// `nameLength` given-name characters after the surname. The root is returned.
inline MemberNode* MakeLargeBook(COperationClanbook& book, int members, int maxChildren = 4,
                                 int biographyLength = 100, int nameLength = 2) {
  BookData& data = book.Book();
  data.title = u"王氏宗谱";
  data.hallName = u"三槐堂";
  data.clanSeat = u"太原";
  data.editionYear = 2025;
  data.editors = u"王某";
  data.generationPoem = u"德昌明华，文武忠孝。";
  const auto fill = [&](MemberNode* m, int serial) {
    MemberRecord& r = m->extra.EditRecord();
    r.courtesyName = GivenName(serial * 7 + 3);
    r.biography = Biography(serial, biographyLength);
    Spouse wife;
    wife.surname = serial % 2 ? u"陈" : u"林";
    r.spouses.push_back(wife);
    m->extra.Tidy();
  };
  auto* root = new MemberNode;
  root->name = u"王" + GivenName(0, nameLength);
  root->birthYear = 1600;
  root->birthMonth = 1;
  root->birthDay = 1;
  root->alive = 0;
  root->deathYear = 1660;
  root->deathMonth = 1;
  root->deathDay = 1;
  book.InsertMember(nullptr, root);
  fill(root, 0);
  int count = 1;
  std::deque<MemberNode*> fathers{root};
  while (count < members && !fathers.empty()) {
    MemberNode* father = fathers.front();
    fathers.pop_front();
    const int sons = 1 + (count * 7 + 3) % maxChildren;
    MemberNode* elder = nullptr;
    for (int i = 0; i < sons && count < members; ++i, ++count) {
      auto* m = new MemberNode;
      m->name = u"王" + GivenName(count, nameLength);
      m->birthYear = father->birthYear + 20 + i * 2;
      m->birthMonth = 1 + count % 12;
      m->birthDay = 1 + count % 28;
      m->alive = m->birthYear > 1940 ? 1 : 0;
      if (!m->alive) {
        m->deathYear = m->birthYear + 50 + count % 30;
        m->deathMonth = 1 + count % 11;
        m->deathDay = 1 + count % 27;
      }
      book.InsertChildAfter(father, elder, m);
      fill(m, count);
      elder = m;
      fathers.push_back(m);
    }
  }
  return root;
}

// The face the tests set in: the book's own default; none when the system
// has none (the tests then skip).
inline std::shared_ptr<const book::BookFont> TestFont() {
  QString error;
  const QString file = book::BookFont::DefaultFile();
  if (file.isEmpty()) return nullptr;
  return book::BookFont::Load(file, book::BookFont::DefaultFamily(), &error);
}

// The length a drawn text takes along its column or line, as the face
// measures it: an upright character a cell, Latin by its advances.
inline double DrawnLength(const book::BookFont& font, const book::DrawnItem& item) {
  if (item.kind == book::DrawnItem::Kind::kVertical)
    return item.size * static_cast<double>(item.text.toUcs4().size());
  double length = 0;
  for (char32_t c : item.text.toUcs4()) {
    const double advance = font.Advance(c);
    length += (advance > 0 ? advance : (c >= 0x2e80 ? 1.0 : 0.5)) * item.size;
  }
  return length;
}

// The cells a drawn text covers: each upright character a size×size cell, a
// turned run or a line its measured length by its size.
inline std::vector<QRectF> CellsOf(const book::BookFont& font, const book::DrawnItem& item) {
  using Kind = book::DrawnItem::Kind;
  std::vector<QRectF> cells;
  const double s = item.size;
  if (item.kind == Kind::kVertical) {
    const auto count = item.text.toUcs4().size();
    for (qsizetype k = 0; k < count; ++k)
      cells.emplace_back(item.at.x() - s / 2, item.at.y() + static_cast<double>(k) * s, s, s);
  } else if (item.kind == Kind::kTurned) {
    cells.emplace_back(item.at.x() - s / 2, item.at.y(), s, DrawnLength(font, item));
  } else if (item.kind == Kind::kHorizontal) {
    cells.emplace_back(item.at.x(), item.at.y() - 0.88 * s, DrawnLength(font, item), s);
  }
  return cells;
}

// The columns (or lines) of a page as the layout set them: runs of text
// drawn one after another down the same column make one.
struct SetColumn {
  double x = 0;
  double top = 0;
  double size = 0;
  bool vertical = true;
  QString text;
};

inline std::vector<SetColumn> ColumnsOf(const book::BookFont& font, const book::DrawnPage& page) {
  using Kind = book::DrawnItem::Kind;
  std::vector<SetColumn> columns;
  double end = 0;
  for (const book::DrawnItem& item : page.items) {
    if (item.kind == Kind::kHorizontal) {
      columns.push_back({item.at.x(), item.at.y(), item.size, false, item.text});
      continue;
    }
    if (item.kind != Kind::kVertical && item.kind != Kind::kTurned) continue;
    if (!columns.empty() && columns.back().vertical &&
        std::abs(columns.back().x - item.at.x()) < 0.01 && columns.back().size == item.size &&
        std::abs(end - item.at.y()) < 0.01) {
      columns.back().text += item.text;
    } else {
      columns.push_back({item.at.x(), item.at.y(), item.size, true, item.text});
    }
    end = item.at.y() + DrawnLength(font, item);
  }
  return columns;
}

// The text as the book shows it: no joiners, and in columns digits as
// Chinese numerals where they stand apart from Latin letters.
inline QString Shown(const QString& text, bool vertical) {
  QString out;
  for (qsizetype i = 0; i < text.size();) {
    if (text[i].unicode() == book::kNameJoiner) {
      ++i;
      continue;
    }
    if (text[i].unicode() > 0x20 && text[i].unicode() < 0x7f) {
      qsizetype end = i;
      bool digits = true;
      while (end < text.size() && text[end].unicode() > 0x20 && text[end].unicode() < 0x7f)
        digits = text[end++].isDigit() && digits;
      out += vertical && digits ? book::ChineseDigits(text.mid(i, end - i)) : text.mid(i, end - i);
      i = end;
      continue;
    }
    out += text[i++];
  }
  return out;
}

}  // namespace booktest
