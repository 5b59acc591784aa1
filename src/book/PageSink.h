// What a typeset page is made of as the layout hands it on: upright columns
// of Chinese, horizontal lines, Latin turned on its side, rules and boxes.
// One layout feeds the PDF writer, the print preview, the printer and the
// tests' recorder, so that none of them can show another book.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace book {

// Coordinates in points (1/72 inch) from the page's top-left corner, y down.
class PageSink {
public:
  virtual ~PageSink() = default;

  virtual void BeginPage(QSizeF size) = 0;
  // Characters upright, one under another in cells `size` tall and wide; the
  // first cell's top edge is centred on `topCentre`. Punctuation takes its
  // vertical form. One run reads as one word to a viewer's search and copy,
  // so a column goes out as one run.
  virtual void VerticalText(const QString& text, QPointF topCentre, double size) = 0;
  // Left to right on the baseline that starts at `origin`.
  virtual void HorizontalText(const QString& text, QPointF origin, double size) = 0;
  // Turned a quarter clockwise and reading downward, as Latin letters and
  // Arabic digits stand in a vertical column: the run starts at `topCentre`,
  // centred across the column.
  virtual void TurnedText(const QString& text, QPointF topCentre, double size) = 0;
  virtual void Line(QPointF from, QPointF to, double width) = 0;
  virtual void Box(const QRectF& rect, double width) = 0;
  // An entry of the document's outline that leads to the page begun last:
  // level 0 for a part of the book, 1 for a 世 within it.
  virtual void Bookmark(const QString& title, int level) = 0;
  virtual void EndPage() = 0;
};

}  // namespace book
