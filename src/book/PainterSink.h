// The book's pages on a QPainter (the preview and the printer), in the same
// face and the same places as in the PDF. The painter is set up by the
// caller so that one unit is one point from the page's top-left corner.
#pragma once

#include "book/BookFont.h"
#include "book/PageSink.h"

#include <QPainter>

#include <memory>

namespace book {

class PainterSink : public PageSink {
public:
  PainterSink(QPainter& painter, std::shared_ptr<const BookFont> font);
  ~PainterSink() override;

  void BeginPage(QSizeF size) override;
  void VerticalText(const QString& text, QPointF topCentre, double size) override;
  void HorizontalText(const QString& text, QPointF origin, double size) override;
  void TurnedText(const QString& text, QPointF topCentre, double size) override;
  void Line(QPointF from, QPointF to, double width) override;
  void Box(const QRectF& rect, double width) override;
  void Bookmark(const QString& title, int level) override;
  void EndPage() override;

  struct State;

private:
  std::unique_ptr<State> m_state;
};

}  // namespace book
