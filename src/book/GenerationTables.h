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

// How a table is read, for ForEachOnPage and the book's 世系录 that follows
// it: band after band from the top, and in each band from right to left. A
// member whose line goes on stands twice in the tables, in the last band of
// one and heading another; he is visited in the first place only.
//
// A table wider than a page goes on over the pages that follow, its columns
// still read right to left; each of those pages carries 续 under the 世 of
// its first band, and the lines of a family cut by the page run out to the
// table's edge and in again from the next page's.
class GenerationTables {
public:
  // The tables of `start` and every member below him, on bodies of `body`'s
  // size. `firstGeneration` is the start member's 世.
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
