// The 世系图 of the book: tables of five generations each, in the 欧式 (each
// 世 a band, read right to left, a short record by each name), the 苏式
// (垂珠体: sons straight under their father, joined by vertical lines only)
// or the 吊线图. A member of a table's last band whose line goes on is marked
// with the page of the table his line continues on (接第N页), which that table
// is headed by.
//
// The pages are counted and the members placed from the tree alone, before
// any page is drawn, so that the book's 目录 and the 接第N页 marks can name
// pages still to come; a page's drawing is made when it is drawn.
#pragma once

#include "book/BookFont.h"
#include "book/BookOptions.h"
#include "book/LifeRecord.h"
#include "book/PageSink.h"
#include "book/Typeset.h"

#include <QRectF>

#include <functional>
#include <memory>
#include <vector>

struct MemberNode;

namespace book {

// What the tables write and how they set a column: in a book, the short
// record of LifeRecord, NumberText and SetVertical over the book's face;
// the tests give simpler ones.
struct TableWords {
  std::function<QString(const MemberNode&)> shortRecord;  // none: names only
  std::function<QString(int number)> number;              // 世 and page numbers
  // The length a column of `text` takes at `size`, and setting it.
  std::function<double(const QString& text, double size)> length;
  std::function<void(PageSink& sink, const QString& text, QPointF topCentre, double size)> set;
};

// How the tables stand on the pages. Tables of one 世 follow one another
// from right to left, as many whole on a page as fit, a rule between two;
// the tables of the next 世 begin on a new page. A table wider than a page
// begins on a page of its own and its columns go on, still right to left,
// over the pages after it: each of those carries 续 at the foot of its
// first band's 世, and the lines of a family cut by the page run out to the
// table's edge and in again from the next page's. The page 接第N页 names is
// the page the member's table begins on, his name in its first band.
//
// In every layout a member has a slot in the band of his 世, his eldest son
// the slot under him and each younger son the next free slot to the left.
// The 欧式 sets the short record in two columns left of the name, cut at the
// band's foot between words and never inside a name, and joins a father to
// his sons by his line down, a bar over them and a line down to each; the
// 苏式 sets names alone, each son hanging by a line of his own from under his
// father's name, no line across; the 吊线图 sets names alone with the 欧式's
// lines, each father over the middle of his sons (a table's head kept on its
// first page).
//
// How they are read, for ForEachOnPage and the book's 世系录 that follows
// it: band after band from the top, and each band from right to left across
// the page's tables. A member whose line goes on stands twice in the tables,
// in the last band of one and heading another; he is visited in the first
// place only.
class GenerationTables {
public:
  // The tables of `start` and every member below him, on bodies of `body`'s
  // size. `firstGeneration` is the start member's 世. The tables keep
  // `font` and `context`, which outlive them.
  GenerationTables(const MemberNode& start, int firstGeneration, const BookFont& font,
                   const BookContext& context, QSizeF body, const TypeSizes& sizes);
  // The same with the layout and the words given.
  GenerationTables(const MemberNode& start, int firstGeneration, TableLayout layout,
                   TableWords words, QSizeF body, const TypeSizes& sizes);
  ~GenerationTables();

  int PageCount() const;
  // Draws table page `index` (from 0) into `body` of a page already begun;
  // `firstPageNumber` is the book's number of table page 0, for 接第N页.
  void DrawPage(int index, PageSink& sink, const QRectF& body, int firstPageNumber) const;
  // The members placed on table page `index`, in the order the tables are
  // read, each once in the whole book (see above). Drawing and visiting keep
  // the last tables they placed: not for two threads at once.
  void ForEachOnPage(
      int index, const std::function<void(const MemberNode& member, int generation)>& visit) const;

  struct Data;

private:
  std::unique_ptr<Data> m_data;
};

}  // namespace book
