// 筒子页: two pages of the book on one A3 sheet laid landscape, the odd
// (right-hand) page on the right half and the even page on the left, so that
// their 版心 stand together at the middle where the sheet is folded.
#pragma once

#include "book/PageSink.h"

namespace book {

class FoldedSink : public PageSink {
public:
  explicit FoldedSink(PageSink& out) : m_out(out) {}

  void BeginPage(QSizeF size) override;
  void VerticalText(const QString& text, QPointF topCentre, double size) override;
  void HorizontalText(const QString& text, QPointF origin, double size) override;
  void TurnedText(const QString& text, QPointF topCentre, double size) override;
  void Line(QPointF from, QPointF to, double width) override;
  void Box(const QRectF& rect, double width) override;
  void Bookmark(const QString& title, int level) override;
  void EndPage() override;
  // Ends a sheet that holds an odd page alone (the book's last).
  void Finish();

  int Sheets() const { return m_sheets; }

private:
  PageSink& m_out;
  QPointF m_offset;
  bool m_sheetOpen = false;
  bool m_secondHalf = false;
  int m_sheets = 0;
};

}  // namespace book
