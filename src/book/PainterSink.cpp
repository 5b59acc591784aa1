#include "book/PainterSink.h"

#include "book/PdfGlyphs.h"

#include <QGlyphRun>
#include <QRawFont>

#include <map>

namespace book {

struct PainterSink::State {
  QPainter& painter;
  std::shared_ptr<const BookFont> font;
  // The face at each size drawn so far: loaded once from the face's bytes,
  // then only resized.
  std::map<double, QRawFont> faces;

  const QRawFont& Face(double size) {
    const auto it = faces.find(size);
    if (it != faces.end()) return it->second;
    QRawFont face;
    if (faces.empty()) {
      face.loadFromData(font->FaceBytes(), size, QFont::PreferNoHinting);
    } else {
      face = faces.begin()->second;
      face.setPixelSize(size);
    }
    return faces.emplace(size, face).first->second;
  }

  void Draw(const std::vector<quint32>& glyphs, const QList<QPointF>& positions, double size) {
    if (glyphs.empty()) return;
    const QRawFont& face = Face(size);
    if (!face.isValid()) return;
    QGlyphRun run;
    run.setRawFont(face);
    run.setGlyphIndexes(QList<quint32>(glyphs.begin(), glyphs.end()));
    run.setPositions(positions);
    painter.save();
    painter.setPen(Qt::black);
    painter.drawGlyphRun(QPointF(0, 0), run);
    painter.restore();
  }

  // Horizontal glyphs of `text` along a baseline from `origin`, as the PDF's
  // Identity-H font advances them.
  void Horizontal(const QString& text, QPointF origin, double size) {
    std::vector<quint32> glyphs;
    QList<QPointF> positions;
    double x = origin.x();
    ForEachDrawnCharacter(text, [&](char32_t c) {
      const std::uint16_t glyph = font->Glyph(c);
      glyphs.push_back(glyph);
      positions.append(QPointF(x, origin.y()));
      x += font->GlyphAdvance(glyph) * size;
    });
    Draw(glyphs, positions, size);
  }

  void Stroke(double width) {
    QPen pen(Qt::black, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(false);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
  }
};

PainterSink::PainterSink(QPainter& painter, std::shared_ptr<const BookFont> font)
    : m_state(std::make_unique<State>(State{painter, std::move(font), {}})) {}

PainterSink::~PainterSink() = default;

void PainterSink::BeginPage(QSizeF) {}

void PainterSink::EndPage() {}

void PainterSink::VerticalText(const QString& text, QPointF topCentre, double size) {
  // As in the PDF: each glyph centred across its cell, hanging from the top
  // of its em box at the top of the cell, one cell under another.
  const BookFont& font = *m_state->font;
  std::vector<quint32> glyphs;
  QList<QPointF> positions;
  double top = topCentre.y();
  ForEachDrawnCharacter(text, [&](char32_t c) {
    const std::uint16_t glyph = font.VerticalGlyph(c);
    glyphs.push_back(glyph);
    positions.append(
        QPointF(topCentre.x() - font.GlyphAdvance(glyph) * size / 2, top + font.Ascent() * size));
    top += size;
  });
  m_state->Draw(glyphs, positions, size);
}

void PainterSink::HorizontalText(const QString& text, QPointF origin, double size) {
  m_state->Horizontal(text, origin, size);
}

void PainterSink::TurnedText(const QString& text, QPointF topCentre, double size) {
  // A quarter turn clockwise about the run's start; the baseline stands
  // where the em box is centred across the column, as in the PDF.
  QPainter& painter = m_state->painter;
  painter.save();
  painter.translate(topCentre.x() - (m_state->font->Ascent() - 0.5) * size, topCentre.y());
  painter.rotate(90);
  m_state->Horizontal(text, QPointF(0, 0), size);
  painter.restore();
}

void PainterSink::Line(QPointF from, QPointF to, double width) {
  QPainter& painter = m_state->painter;
  painter.save();
  m_state->Stroke(width);
  painter.drawLine(from, to);
  painter.restore();
}

void PainterSink::Box(const QRectF& rect, double width) {
  QPainter& painter = m_state->painter;
  painter.save();
  m_state->Stroke(width);
  painter.drawRect(rect);
  painter.restore();
}

void PainterSink::Bookmark(const QString&, int) {}

}  // namespace book
