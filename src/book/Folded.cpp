#include "book/Folded.h"

#include "book/Typeset.h"

namespace book {

void FoldedSink::BeginPage(QSizeF size) {
  if (!m_sheetOpen) {
    // A3 landscape; the halves are the pages' own size.
    const QSizeF a3 = PageSizeOf(Paper::kA3);
    m_out.BeginPage(QSizeF(a3.height(), a3.width()));
    m_sheetOpen = true;
    m_secondHalf = false;
    ++m_sheets;
    m_offset = QPointF(a3.height() - size.width(), 0);
  } else {
    m_secondHalf = true;
    m_offset = QPointF(0, 0);
  }
}

void FoldedSink::VerticalText(const QString& text, QPointF topCentre, double size) {
  m_out.VerticalText(text, topCentre + m_offset, size);
}

void FoldedSink::HorizontalText(const QString& text, QPointF origin, double size) {
  m_out.HorizontalText(text, origin + m_offset, size);
}

void FoldedSink::TurnedText(const QString& text, QPointF topCentre, double size) {
  m_out.TurnedText(text, topCentre + m_offset, size);
}

void FoldedSink::Line(QPointF from, QPointF to, double width) {
  m_out.Line(from + m_offset, to + m_offset, width);
}

void FoldedSink::Box(const QRectF& rect, double width) {
  m_out.Box(rect.translated(m_offset), width);
}

void FoldedSink::Bookmark(const QString& title, int level) {
  m_out.Bookmark(title, level);
}

void FoldedSink::EndPage() {
  if (m_secondHalf) {
    m_out.EndPage();
    m_sheetOpen = false;
    m_secondHalf = false;
  }
}

void FoldedSink::Finish() {
  if (m_sheetOpen) m_out.EndPage();
  m_sheetOpen = false;
  m_secondHalf = false;
}

}  // namespace book
