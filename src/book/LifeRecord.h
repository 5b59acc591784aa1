// The words of the book about each person: the 行传 paragraph made from a
// member's record by the template (then his own 行传 text), the few words
// beside his name in a 欧式 table, the dates in the chosen calendar, and
// the order of the name index (pinyin, then strokes).
#pragma once

#include "book/BookOptions.h"

#include <QCoreApplication>
#include <QString>

#include <memory>
#include <vector>

class COperationClanbook;
struct MemberNode;
struct Spouse;

namespace book {

// What the template needs to know of the whole book: which members were
// given out to continue another's line (出继), found by their 生父, so that a
// birth father's 行传 can name them. Built once per book, in one pass.
class BookContext {
public:
  BookContext(const COperationClanbook& genealogy, const BookOptions& options);
  ~BookContext();
  // The members whose 生父 is `member`, in the order of the tree.
  std::vector<const MemberNode*> GivenOut(const MemberNode& member) const;
  const BookOptions& Options() const;

  struct Data;

private:
  std::unique_ptr<Data> m_data;
};

// Every name in a text made here (the member's, his wives', his sons' and
// daughters') has its characters joined by U+2060 WORD JOINER: the
// typesetting never breaks a column or a page inside a name, and never draws
// the joiner.
inline constexpr char16_t kNameJoiner = u'\u2060';

class LifeRecord {
  Q_DECLARE_TR_FUNCTIONS(LifeRecord)
public:
  // The member's 行传: "传枝，字茂林，号松亭，行二。光绪十六年庚寅二月十五日生，……"
  // in the interface's language, then his own 行传 text. Nothing of a
  // living member's dates and places when the options keep the living private.
  static QString Paragraph(const MemberNode& member, const BookContext& context);
  // The short record beside a name in a 欧式 table: 字, 生卒, 配.
  static QString Short(const MemberNode& member, const BookContext& context);
  // A wife as the index names her: 王氏, or 王氏（某某） with her given name.
  static QString WifeName(const Spouse& spouse);
  // A date in the book's calendar; empty when the year is 0.
  static QString Date(int year, int month, int day, DateStyle style);
};

// Digits as Chinese numerals: 1949 as 一九四九 (each digit), page numbers
// and counts as 一百二十三 (NumberText).
QString ChineseDigits(const QString& text);
QString NumberText(int number);

// The index's order: by the names' pinyin, syllable after syllable, then by
// the strokes of their characters, then by the names themselves.
int StrokeCount(char32_t c);  // 0 when not known
int NameStrokes(const QString& name);
bool IndexBefore(const QString& a, const QString& b);

}  // namespace book
