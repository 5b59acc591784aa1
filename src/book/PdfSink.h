// The book as a PDF: pages go out to the device as they are finished, so a
// book of any length is written in memory that does not grow with it. The
// face is embedded once, at the end, as a subset of the glyphs the pages
// used: upright columns with vertical writing (Identity-V), so that a
// viewer's search and copy read a column top to bottom as one word, and
// everything else with the same glyphs written horizontally (Identity-H).
// A column's runs (upright, and turned ones that go on down the same column)
// are marked as one span whose /ActualText is their text, and every glyph
// maps back to its character, so copy gives the book's own text.
#pragma once

#include "book/BookFont.h"
#include "book/PageSink.h"

#include <QIODevice>
#include <QString>

#include <memory>

namespace book {

class PdfSink : public PageSink {
public:
  // `title` becomes the document's title.
  PdfSink(QIODevice& out, std::shared_ptr<const BookFont> font, const QString& title);
  ~PdfSink() override;

  void BeginPage(QSizeF size) override;
  void VerticalText(const QString& text, QPointF topCentre, double size) override;
  void HorizontalText(const QString& text, QPointF origin, double size) override;
  void TurnedText(const QString& text, QPointF topCentre, double size) override;
  void Line(QPointF from, QPointF to, double width) override;
  void Box(const QRectF& rect, double width) override;
  void Bookmark(const QString& title, int level) override;
  void EndPage() override;

  // Writes the font, the outline, the page tree and the cross-reference
  // table. False, with a sentence for the user, when the device refused a
  // write at any point.
  bool Finish(QString* error);

  struct State;

private:
  std::unique_ptr<State> m_state;
};

}  // namespace book
