// Pages kept as the list of what was drawn on them, to be drawn again on
// another sink: the preview typesets the book once and paints any page of it
// on demand, and the tests measure what the layout placed.
#pragma once

#include "book/PageSink.h"

#include <vector>

namespace book {

struct DrawnItem {
  enum class Kind { kVertical, kHorizontal, kTurned, kLine, kBox, kBookmark };
  Kind kind = Kind::kLine;
  QString text;     // text and bookmark title
  QPointF at;       // where the text starts, a line's start
  QPointF to;       // a line's end
  QRectF rect;      // a box
  double size = 0;  // the text's size, a line's or box's width, a bookmark's level
};

struct DrawnPage {
  QSizeF size;
  std::vector<DrawnItem> items;
};

class PageRecorder : public PageSink {
public:
  void BeginPage(QSizeF size) override;
  void VerticalText(const QString& text, QPointF topCentre, double size) override;
  void HorizontalText(const QString& text, QPointF origin, double size) override;
  void TurnedText(const QString& text, QPointF topCentre, double size) override;
  void Line(QPointF from, QPointF to, double width) override;
  void Box(const QRectF& rect, double width) override;
  void Bookmark(const QString& title, int level) override;
  void EndPage() override;

  const std::vector<DrawnPage>& Pages() const { return m_pages; }
  // Draws page `index` again on `sink`, BeginPage to EndPage.
  void Replay(int index, PageSink& sink) const;

private:
  void Add(DrawnItem item);
  std::vector<DrawnPage> m_pages;
};

}  // namespace book
