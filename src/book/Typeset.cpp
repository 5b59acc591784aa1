#include "book/Typeset.h"

#include "book/Flow.h"
#include "book/LifeRecord.h"

#include <algorithm>

namespace book {

namespace {

// The page's margins and the 版心, in points. The 版心 is as wide as two
// columns of its own words; the body keeps clear of the border by a little.
constexpr double kSide = 36;
// On the fold's side the 版心 keeps close to the edge, so that on a folded
// sheet the two 版心 stand together in the middle.
constexpr double kFoldSide = 12;
constexpr double kTop = 48;
constexpr double kBottom = 48;
constexpr double kBanxin = 28;
constexpr double kInset = 8;
constexpr double kFrameText = 10;
constexpr double kBorder = 1.5;
constexpr double kRule = 0.6;

// The border: in 竖排 the fold's side keeps a narrow margin (the 版心 stands
// there), the outer side a wide one.
QRectF BorderOf(QSizeF page, int pageNumber, bool vertical) {
  const double left = !vertical ? kSide : pageNumber % 2 ? kFoldSide : 2 * kSide - kFoldSide;
  return QRectF(left, kTop, page.width() - 2 * kSide, page.height() - kTop - kBottom);
}

// The 版心 lies at the fold: a right-hand (odd) page is folded at its left
// edge, a left-hand page at its right, so that two facing pages' 版心 meet.
QRectF BanxinOf(QSizeF page, int pageNumber) {
  const QRectF border = BorderOf(page, pageNumber, true);
  const double left = pageNumber % 2 ? border.left() : border.right() - kBanxin;
  return QRectF(left, border.top(), kBanxin, border.height());
}

// A 鱼尾: a black band across the 版心 with a notch cut up into its lower
// edge, drawn with rules so that every sink can draw it.
void FishTail(PageSink& sink, const QRectF& banxin, double top) {
  const double left = banxin.left() + 1;
  const double right = banxin.right() - 1;
  const double centre = banxin.center().x();
  constexpr double kBand = 6;
  constexpr double kNotch = 6;
  for (double y = top + 0.5; y < top + kBand; y += 1) sink.Line({left, y}, {right, y}, 1);
  for (int k = 0; k < kNotch; ++k) {
    const double y = top + kBand + k + 0.5;
    const double gap = (k + 1) * (right - left) / (2 * (kNotch + 1));
    sink.Line({left, y}, {centre - gap, y}, 1);
    sink.Line({centre + gap, y}, {right, y}, 1);
  }
}

}  // namespace

QSizeF PageSizeOf(Paper paper) {
  switch (paper) {
    case Paper::kA3:
      return {841.89, 1190.55};
    case Paper::kA4:
    case Paper::kA3Folded:
      break;
  }
  return {595.28, 841.89};
}

PageFrame::PageFrame(const BookFont& font, const BookOptions& options, const QString& bookTitle)
    : m_font(font), m_options(options), m_title(bookTitle) {}

QSizeF PageFrame::PageSize() const {
  return PageSizeOf(m_options.paper);
}

QRectF PageFrame::Body(int pageNumber) const {
  const QSizeF page = PageSize();
  const QRectF border = BorderOf(page, pageNumber, !m_options.horizontal);
  if (!m_options.horizontal) {
    const QRectF banxin = BanxinOf(page, pageNumber);
    QRectF body = border;
    if (pageNumber % 2)
      body.setLeft(banxin.right());
    else
      body.setRight(banxin.left());
    return body.adjusted(kInset, kInset, -kInset, -kInset);
  }
  return border.adjusted(0, kInset, 0, 0);
}

void PageFrame::BeginBare(PageSink& sink, int pageNumber) const {
  sink.BeginPage(PageSize());
  if (!m_options.horizontal) sink.Box(BorderOf(PageSize(), pageNumber, true), kBorder);
}

void PageFrame::Begin(PageSink& sink, int pageNumber, const QString& partName) const {
  const QSizeF page = PageSize();
  const QRectF border = BorderOf(page, pageNumber, !m_options.horizontal);
  sink.BeginPage(page);
  const QString number = flow::Number(pageNumber, !m_options.horizontal);
  if (m_options.horizontal) {
    // A running head: the book on the left, the part on the right, a rule
    // under them; the number at the foot.
    const double baseline = border.top() - 10;
    sink.HorizontalText(m_title, {border.left(), baseline}, kFrameText);
    const double partWidth = HorizontalLength(m_font, partName, kFrameText);
    sink.HorizontalText(partName, {border.right() - partWidth, baseline}, kFrameText);
    sink.Line({border.left(), border.top() - 5}, {border.right(), border.top() - 5}, kRule);
    const double numberWidth = HorizontalLength(m_font, number, kFrameText);
    sink.HorizontalText(number, {border.center().x() - numberWidth / 2, page.height() - 24},
                        kFrameText);
    return;
  }
  sink.Box(border, kBorder);
  const QRectF banxin = BanxinOf(page, pageNumber);
  const double inner = pageNumber % 2 ? banxin.right() : banxin.left();
  sink.Line({inner, border.top()}, {inner, border.bottom()}, kRule);
  const double x = banxin.center().x();
  const double h = border.height();
  // The book's name from the top, smaller when it would reach the part's
  // name; the 鱼尾 under it; the part's name below the middle's top; the
  // number lower down.
  double titleSize = kFrameText;
  const double room = 0.38 * h;
  const double titleLength = VerticalLength(m_font, m_title, titleSize);
  if (titleLength > room) titleSize *= room / titleLength;
  const double titleEnd =
      border.top() + 8 + SetVertical(sink, m_font, m_title, {x, border.top() + 8}, titleSize);
  FishTail(sink, banxin, titleEnd + 6);
  SetVertical(sink, m_font, partName, {x, border.top() + 0.45 * h}, kFrameText);
  SetVertical(sink, m_font, number, {x, border.top() + 0.72 * h}, kFrameText);
}

double SetVertical(PageSink& sink, const BookFont& font, const QString& text, QPointF topCentre,
                   double size) {
  flow::Cut cut;
  flow::CutText(font, text, size, true, cut);
  return flow::DrawPieces(sink, cut, 0, static_cast<int>(cut.pieces.size()), topCentre, size, true);
}

namespace {
double LengthOf(const BookFont& font, const QString& text, double size, bool vertical) {
  flow::Cut cut;
  flow::CutText(font, text, size, vertical, cut);
  double length = 0;
  for (const flow::Piece& piece : cut.pieces) length += piece.length;
  return length;
}
}  // namespace

double VerticalLength(const BookFont& font, const QString& text, double size) {
  return LengthOf(font, text, size, true);
}

double HorizontalLength(const BookFont& font, const QString& text, double size) {
  return LengthOf(font, text, size, false);
}

}  // namespace book
