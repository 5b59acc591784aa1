#include "book/PageRecorder.h"

#include <utility>

namespace book {

void PageRecorder::BeginPage(QSizeF size) {
  m_pages.push_back(DrawnPage{size, {}});
}

void PageRecorder::Add(DrawnItem item) {
  // A drawing outside BeginPage/EndPage is the layout's fault; keeping it on
  // a page of its own shows the fault in a test instead of losing it.
  if (m_pages.empty()) m_pages.push_back(DrawnPage{});
  m_pages.back().items.push_back(std::move(item));
}

void PageRecorder::VerticalText(const QString& text, QPointF topCentre, double size) {
  Add({DrawnItem::Kind::kVertical, text, topCentre, {}, {}, size});
}

void PageRecorder::HorizontalText(const QString& text, QPointF origin, double size) {
  Add({DrawnItem::Kind::kHorizontal, text, origin, {}, {}, size});
}

void PageRecorder::TurnedText(const QString& text, QPointF topCentre, double size) {
  Add({DrawnItem::Kind::kTurned, text, topCentre, {}, {}, size});
}

void PageRecorder::Line(QPointF from, QPointF to, double width) {
  Add({DrawnItem::Kind::kLine, {}, from, to, {}, width});
}

void PageRecorder::Box(const QRectF& rect, double width) {
  Add({DrawnItem::Kind::kBox, {}, {}, {}, rect, width});
}

void PageRecorder::Bookmark(const QString& title, int level) {
  Add({DrawnItem::Kind::kBookmark, title, {}, {}, {}, static_cast<double>(level)});
}

void PageRecorder::EndPage() {}

void PageRecorder::Replay(int index, PageSink& sink) const {
  const DrawnPage& page = m_pages.at(static_cast<std::size_t>(index));
  sink.BeginPage(page.size);
  for (const DrawnItem& item : page.items) {
    switch (item.kind) {
      case DrawnItem::Kind::kVertical:
        sink.VerticalText(item.text, item.at, item.size);
        break;
      case DrawnItem::Kind::kHorizontal:
        sink.HorizontalText(item.text, item.at, item.size);
        break;
      case DrawnItem::Kind::kTurned:
        sink.TurnedText(item.text, item.at, item.size);
        break;
      case DrawnItem::Kind::kLine:
        sink.Line(item.at, item.to, item.size);
        break;
      case DrawnItem::Kind::kBox:
        sink.Box(item.rect, item.size);
        break;
      case DrawnItem::Kind::kBookmark:
        sink.Bookmark(item.text, static_cast<int>(item.size));
        break;
    }
  }
  sink.EndPage();
}

}  // namespace book
