#include "charts/Chart.h"

#include <QFontMetricsF>
#include <QPageLayout>

#include <algorithm>
#include <optional>

QString ChartText::Year(std::int32_t year) {
  if (year > 0) return QString::number(year);
  return tr("前%1").arg(1 - static_cast<qint64>(year));
}

QString ChartText::Life(const MemberNode& member) {
  if (member.alive) return Year(member.birthYear);
  return tr("%1–%2").arg(Year(member.birthYear), Year(member.deathYear));
}

QString ChartText::Visible(const QString& text) {
  const auto replaced = [&](qsizetype i) -> std::optional<char16_t> {
    const char16_t c = text[i].unicode();
    if (c < 0x20) return static_cast<char16_t>(0x2400 + c);
    if (c == 0x7F) return u'\u2421';
    if ((c >= 0x80 && c <= 0x9F) || c == 0xFFFE || c == 0xFFFF) return u'\uFFFD';
    if (QChar::isHighSurrogate(c))
      return i + 1 < text.size() && text[i + 1].isLowSurrogate() ? std::nullopt
                                                                 : std::optional(u'\uFFFD');
    if (QChar::isLowSurrogate(c))
      return i > 0 && text[i - 1].isHighSurrogate() ? std::nullopt : std::optional(u'\uFFFD');
    return std::nullopt;
  };
  // Nearly every name is clean: it is then returned without a copy.
  qsizetype first = 0;
  while (first < text.size() && !replaced(first)) ++first;
  if (first == text.size()) return text;
  QString shown = text;
  for (qsizetype i = first; i < text.size(); ++i)
    if (const std::optional<char16_t> c = replaced(i)) shown[i] = QChar(*c);
  return shown;
}

QFont ChartFont(double pixelSize, bool bold) {
  QFont font;
  // A CJK face first, so names never fall back glyph by glyph.
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Source Han Sans SC"), QStringLiteral("sans-serif")});
  font.setPixelSize(static_cast<int>(pixelSize));
  font.setBold(bold);
  // Metrics must not depend on the device: the same layout is printed, exported
  // and shown on screen.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

void DrawMemberBox(QPainter& painter, const QRectF& box, const MemberNode& member, int seePage) {
  painter.setPen(QPen(QColor(0x55, 0x3b, 0x1e), 1));
  painter.setBrush(seePage ? QColor(0xfd, 0xf1, 0xdc) : QColor(0xff, 0xfb, 0xf2));
  painter.drawRect(box);
  const double lines = seePage ? 3 : 2;
  // Text keeps one size however tall the box: a taller box only gets margins.
  const double lineHeight = std::min((box.height() - 4) / lines, 18.0);
  QRectF line(box.left() + 2, box.top() + (box.height() - lines * lineHeight) / 2, box.width() - 4,
              lineHeight);

  // Fonts and metrics are made once per line height, not once per box: a
  // screenful holds a thousand boxes. Charts are painted on the GUI thread
  // only; the cache is never destroyed, so no font outlives the application.
  struct Fonts {
    double lineHeight = -1;
    QFont name, life;
    std::optional<QFontMetricsF> nameMetrics;
  };
  static Fonts& fonts = *new Fonts;
  if (fonts.lineHeight != lineHeight) {
    fonts.lineHeight = lineHeight;
    fonts.name = ChartFont(lineHeight * 0.8, true);
    fonts.life = ChartFont(lineHeight * 0.68);
    fonts.nameMetrics.emplace(fonts.name);
  }
  painter.setFont(fonts.name);
  painter.setPen(Qt::black);
  const QString name = fonts.nameMetrics->elidedText(ChartText::Visible(ChartText::Name(member)),
                                                     Qt::ElideRight, line.width());
  painter.drawText(line, Qt::AlignCenter, name);

  line.translate(0, lineHeight);
  painter.setFont(fonts.life);
  painter.setPen(QColor(0x40, 0x40, 0x40));
  painter.drawText(line, Qt::AlignCenter, ChartText::Life(member));
  if (seePage) {
    line.translate(0, lineHeight);
    painter.setPen(QColor(0xa0, 0x1c, 0x1c));
    painter.drawText(line, Qt::AlignCenter, ChartText::SeePage(seePage));
  }
}

QSizeF PageSizeInUnits(QPageSize::PageSizeId id, QPageLayout::Orientation orientation) {
  QSizeF size = QPageSize(id).size(QPageSize::Inch) * kChartUnitsPerInch;
  if (orientation == QPageLayout::Landscape) size.transpose();
  return size;
}

void DrawPageFrame(QPainter& painter, const QSizeF& page, const QString& title, int index,
                   int count) {
  painter.setPen(Qt::black);
  painter.setFont(ChartFont(14, true));
  const QRectF header(kPageMargin, kPageMargin, page.width() - 2 * kPageMargin, kPageHeader);
  painter.drawText(header, Qt::AlignHCenter | Qt::AlignTop, title);
  painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 0.5));
  painter.drawLine(QPointF(header.left(), header.bottom() - 4),
                   QPointF(header.right(), header.bottom() - 4));
  painter.setPen(Qt::black);
  painter.setFont(ChartFont(10));
  const QRectF footer(kPageMargin, page.height() - kPageMargin - kPageFooter,
                      page.width() - 2 * kPageMargin, kPageFooter);
  painter.drawText(footer, Qt::AlignHCenter | Qt::AlignBottom, ChartText::Page(index + 1, count));
}

std::vector<ChartPiece> ChartScene::Pieces(int /*boxes*/) const {
  return {ChartPiece{Bounds()}};
}

void ChartScene::PaintPiece(QPainter& painter, const ChartPiece& piece) const {
  Paint(painter, piece.exposed, 1);
}
