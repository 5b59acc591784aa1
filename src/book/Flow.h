// Text flowing through the pages of a part: columns top to bottom and right
// to left in 竖排, lines left to right and top to bottom otherwise, each page
// begun in its frame as the text reaches it and ended as it leaves it.
//
// A text is cut into pieces (an upright character, a Latin word turned on its
// side, digits already made Chinese numerals) and the pieces into atoms, the
// least a column may hold: a piece alone, or a whole name whose characters the
// book's texts join with kNameJoiner. A column is broken only between atoms,
// so neither a column nor a page ever splits a name; and the break moves back
// when it would put closing punctuation at the head of the next column or
// leave opening punctuation at the foot of this one (the character before
// goes over with the punctuation).
#pragma once

#include "book/BookFont.h"
#include "book/PageSink.h"
#include "book/Typeset.h"

#include <QCoreApplication>
#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

class COperationClanbook;

namespace book {

// The book's own words: the parts' names and the few phrases of the cover,
// the 目录 and the index.
class BookWords {
  Q_DECLARE_TR_FUNCTIONS(BookWords)
public:
  static QString Cover() { return tr("封面"); }
  static QString Preface() { return tr("谱序"); }
  static QString Rules() { return tr("凡例"); }
  static QString Precepts() { return tr("家训"); }
  static QString Poem() { return tr("字辈"); }
  static QString Contents() { return tr("目录"); }
  static QString Tables() { return tr("世系图"); }
  static QString Records() { return tr("世系录"); }
  static QString Index() { return tr("人名索引"); }
  static QString Generation(const QString& number) { return tr("第%1世").arg(number); }
  static QString Edition(const QString& year) { return tr("%1年修").arg(year); }
  static QString Editors(const QString& names) { return tr("编修：%1").arg(names); }
  static QString ClanSeat(const QString& seat) { return tr("郡望：%1").arg(seat); }
  static QString Strokes(const QString& count) { return tr("%1画").arg(count); }
  static QString ClanBook(const QString& surname) { return tr("%1氏族谱").arg(surname); }
  static QString NoMember(const QString& name) { return tr("谱中没有名为“%1”的人。").arg(name); }
  static QString EmptyBook() { return tr("谱中还没有人，无从成书。"); }
  static QString Stopped() { return tr("谱书的导出已停止，原有文件未改动。"); }
  static QString NoFont(const QString& file) {
    return tr("找不到排印谱书的字体%1。请安装 Debian 软件包 fonts-arphic-uming，"
              "或选择另一个 TrueType 字体。")
        .arg(file);
  }
  static QString CannotWrite(const QString& file, const QString& reason) {
    return reason.isEmpty() ? tr("无法写入文件“%1”。").arg(file)
                            : tr("无法写入文件“%1”：%2。").arg(file, reason);
  }
};

// The book's name: its 谱名, else the root's surname's 族谱.
QString BookTitle(const COperationClanbook& genealogy);

namespace flow {

// A page number or a count as the book prints it: Chinese numerals in 竖排.
QString Number(int number, bool vertical);

// One piece of a text as it is set: [start, end) of the shown text.
struct Piece {
  int start = 0;
  int end = 0;
  bool turned = false;  // a Latin word on its side (in 竖排)
  double length = 0;    // along the column or the line, in points
};

// The least a column may hold: pieces [first, end).
struct Atom {
  int first = 0;
  int end = 0;
  double length = 0;
  bool closing = false;  // begins with punctuation that may not head a column
  bool opening = false;  // ends with punctuation that may not end one
};

// A text cut for setting: the text shown (joiners out, digits Chinese in
// 竖排), its pieces and its atoms. Reused from text to text.
struct Cut {
  QString shown;
  std::vector<Piece> pieces;
  std::vector<Atom> atoms;
  // For each position of `marks` given to CutText, the atom it fell in.
  std::vector<int> markAtoms;
};

void CutText(const BookFont& font, const QString& text, double size, bool vertical, Cut& cut,
             const std::vector<int>* marks = nullptr);

// Draws the pieces [first, end) of `cut` down a column from `top` (centred
// on x) or along a line from the baseline's start; returns the length taken.
double DrawPieces(PageSink& sink, const Cut& cut, int first, int end, QPointF at, double size,
                  bool vertical);

// The last atom (exclusive) a column of `length` starting at atom `first`
// takes, the rules of punctuation and names kept; at least one atom.
int BreakAfter(const Cut& cut, int first, double length);

// Where a text goes: the pages of one part after another.
class Flow {
public:
  // `pageTurned(pageNumber)` is called before each page is begun; it may
  // throw to stop the book.
  Flow(PageSink& sink, const PageFrame& frame, const BookFont& font, bool vertical,
       std::function<void(int)> pageTurned);

  // Ends the page in hand and begins part `name` on a new page, its outline
  // entry at level 0; the body is cut into `tiers` (bands across a 竖排
  // page, strips side by side otherwise).
  void StartPart(const QString& name, int tiers = 1);
  // The cover: a page with the border only.
  void StartCover();
  void SetTiers(int tiers);
  void Finish();

  int Page() const { return m_page; }
  bool Vertical() const { return m_vertical; }
  const BookFont& Font() const { return m_font; }
  PageSink& Sink() { return m_sink; }
  QRectF Body() const { return m_frame.Body(m_page); }

  // The next column (or line) `pitch` wide, turning to the next tier or
  // page when this one is full: its whole rect.
  QRectF NextColumn(double pitch);
  // Whether `pitch` more fits in the tier in hand.
  bool Fits(double pitch) const;
  void NewPage();

  // Sets a paragraph; the first column (line) indented `firstIndent` cells,
  // the rest `restIndent`. The page of each of `marks` (positions in `text`)
  // goes to `markPages`. Returns the page the paragraph began on.
  int Paragraph(const QString& text, double size, double firstIndent, double restIndent,
                const std::vector<int>* marks = nullptr, std::vector<int>* markPages = nullptr);
  // A heading in a column (line) of its own, kept with the column after it;
  // an outline entry at `level` unless it is negative.
  void Heading(const QString& text, double size, int level);

  static double Pitch(double size, bool vertical) { return size * (vertical ? 1.5 : 1.6); }

private:
  void Begin();
  QRectF Tier(int index) const;

  PageSink& m_sink;
  const PageFrame& m_frame;
  const BookFont& m_font;
  bool m_vertical;
  std::function<void(int)> m_pageTurned;
  QString m_part;
  bool m_bare = false;
  bool m_open = false;
  int m_page = 0;
  int m_tiers = 1;
  int m_tier = 0;
  double m_used = 0;  // across the tier in hand
  Cut m_cut;
};

}  // namespace flow
}  // namespace book
