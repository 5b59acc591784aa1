// The typesetting every part of the book shares: the sizes, the page and
// its 版心, and setting a run of text in a column (upright Chinese, turned
// Latin and digits) or on a line, with the rules that keep punctuation off
// the head of a column and names whole.
#pragma once

#include "book/BookFont.h"
#include "book/BookOptions.h"
#include "book/PageSink.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

namespace book {

// The size of body text, of table text and of headings, in points.
struct TypeSizes {
  double body = 12;
  double table = 9;
  double heading = 18;
};

// The page of one half-leaf, in points, for the paper (A3-folded: a half of
// A3, which is A4's size turned).
QSizeF PageSizeOf(Paper paper);

// One page's frame: the border, the 版心 with the book's name, the part's
// name and the page's number in Chinese numerals, and the body it leaves.
// `pageNumber` counts from 1; odd pages are right-hand pages.
class PageFrame {
public:
  PageFrame(const BookFont& font, const BookOptions& options, const QString& bookTitle);
  QSizeF PageSize() const;
  // The body of page `pageNumber`, where the part puts its text.
  QRectF Body(int pageNumber) const;
  // Begins page `pageNumber` on `sink` and draws its frame.
  void Begin(PageSink& sink, int pageNumber, const QString& partName) const;
  // Begins a page with the border alone (the cover): no 版心, no number.
  void BeginBare(PageSink& sink, int pageNumber) const;

private:
  const BookFont& m_font;
  BookOptions m_options;
  QString m_title;
};

// Sets `text` upright down a column from `topCentre`, runs of Latin letters
// and digits turned; returns the length it took, in points.
double SetVertical(PageSink& sink, const BookFont& font, const QString& text, QPointF topCentre,
                   double size);
// The length SetVertical would take.
double VerticalLength(const BookFont& font, const QString& text, double size);
// The width `text` takes on a horizontal line.
double HorizontalLength(const BookFont& font, const QString& text, double size);

}  // namespace book
