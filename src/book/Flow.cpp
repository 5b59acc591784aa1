#include "book/Flow.h"

#include "book/LifeRecord.h"
#include "book/LifeRecordText.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace book::flow {

namespace {

bool IsClosing(char16_t c) {
  static constexpr char16_t kClosing[] = u"。，、；：？！）」』》〉】〕’”…．,.;:?!)";
  for (char16_t k : kClosing)
    if (k && k == c) return true;
  return false;
}

bool IsOpening(char16_t c) {
  static constexpr char16_t kOpening[] = u"（「『《〈【〔‘“(";
  for (char16_t k : kOpening)
    if (k && k == c) return true;
  return false;
}

// A word of Latin letters, digits and their punctuation.
bool IsLatin(char16_t c) {
  return c > 0x20 && c < 0x7f;
}

double AdvanceOf(const BookFont& font, char32_t c, double size) {
  const double advance = font.Advance(c);
  if (advance > 0) return advance * size;
  return (c >= 0x2e80 ? 1.0 : 0.5) * size;
}

}  // namespace

QString Number(int number, bool vertical) {
  return vertical ? NumberText(number) : QString::number(number);
}

void CutText(const BookFont& font, const QString& text, double size, bool vertical, Cut& cut,
             const std::vector<int>* marks) {
  cut.shown.clear();
  cut.pieces.clear();
  cut.atoms.clear();
  cut.markAtoms.assign(marks ? marks->size() : 0, -1);
  const int n = static_cast<int>(text.size());
  bool glue = false;
  std::size_t pendingMarks = marks ? marks->size() : 0;
  // Adds a piece of the shown text, to the atom in hand when glued to it.
  const auto add = [&](int start, bool turned, double length) {
    Piece piece{start, static_cast<int>(cut.shown.size()), turned, length};
    const int index = static_cast<int>(cut.pieces.size());
    cut.pieces.push_back(piece);
    if (glue && !cut.atoms.empty()) {
      Atom& atom = cut.atoms.back();
      atom.end = index + 1;
      atom.length += length;
    } else {
      cut.atoms.push_back(Atom{index, index + 1, length, false, false});
    }
    glue = false;
  };
  for (int i = 0; i < n;) {
    const char16_t c = text[i].unicode();
    if (c == kNameJoiner) {
      glue = true;
      ++i;
      continue;
    }
    if (pendingMarks) {
      // A mark falls in the atom its position's character starts or joins.
      const int atom = glue && !cut.atoms.empty() ? static_cast<int>(cut.atoms.size()) - 1
                                                  : static_cast<int>(cut.atoms.size());
      for (std::size_t m = 0; m < marks->size(); ++m)
        if (cut.markAtoms[m] < 0 && (*marks)[m] <= i) {
          cut.markAtoms[m] = atom;
          --pendingMarks;
        }
    }
    if (c < 0x20) {
      ++i;
      continue;
    }
    if (IsLatin(c)) {
      int end = i;
      bool digits = true;
      while (end < n && IsLatin(text[end].unicode())) {
        digits = digits && text[end].isDigit();
        ++end;
      }
      int spaced = end;
      while (spaced < n && text[spaced] == u' ') ++spaced;
      if (vertical && digits && InChinese()) {
        // Digits are Chinese numerals in a Chinese column, upright and kept
        // together; another language's book keeps its own digits, turned.
        const QString numerals = ChineseDigits(text.mid(i, end - i));
        for (QChar numeral : numerals) {
          const int start = static_cast<int>(cut.shown.size());
          cut.shown.append(numeral);
          add(start, false, size);
          glue = true;
        }
        glue = false;
        i = end;
        continue;
      }
      const int start = static_cast<int>(cut.shown.size());
      double length = 0;
      for (int k = i; k < spaced; ++k) length += AdvanceOf(font, text[k].unicode(), size);
      cut.shown.append(QStringView(text).mid(i, spaced - i));
      add(start, vertical, length);
      i = spaced;
      continue;
    }
    const int start = static_cast<int>(cut.shown.size());
    char32_t code = c;
    if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
      code = QChar::surrogateToUcs4(c, text[i + 1].unicode());
      cut.shown.append(text[i]);
      cut.shown.append(text[i + 1]);
      i += 2;
    } else {
      cut.shown.append(text[i]);
      ++i;
    }
    add(start, false, vertical ? size : AdvanceOf(font, code, size));
  }
  for (int& atom : cut.markAtoms)
    if (atom < 0) atom = std::max(0, static_cast<int>(cut.atoms.size()) - 1);
  for (Atom& atom : cut.atoms) {
    atom.closing = IsClosing(cut.shown[cut.pieces[atom.first].start].unicode());
    atom.opening = IsOpening(cut.shown[cut.pieces[atom.end - 1].end - 1].unicode());
  }
}

double DrawPieces(PageSink& sink, const Cut& cut, int first, int end, QPointF at, double size,
                  bool vertical) {
  if (first >= end) return 0;
  if (!vertical) {
    // One line is one run; spaces at its end take no place.
    const int from = cut.pieces[first].start;
    const QString line = cut.shown.mid(from, cut.pieces[end - 1].end - from);
    double length = 0;
    for (int p = first; p < end; ++p) length += cut.pieces[p].length;
    sink.HorizontalText(line, at, size);
    return length;
  }
  // Upright characters go out as one run up to a turned word, so that a
  // viewer reads the column as one word.
  double y = at.y();
  for (int p = first; p < end;) {
    const bool turned = cut.pieces[p].turned;
    int q = p;
    double length = 0;
    while (q < end && cut.pieces[q].turned == turned) length += cut.pieces[q++].length;
    const int from = cut.pieces[p].start;
    QString run = cut.shown.mid(from, cut.pieces[q - 1].end - from);
    if (turned) {
      sink.TurnedText(run, {at.x(), y}, size);
    } else {
      sink.VerticalText(run, {at.x(), y}, size);
    }
    y += length;
    p = q;
  }
  return y - at.y();
}

int BreakAfter(const Cut& cut, int first, double length) {
  const int n = static_cast<int>(cut.atoms.size());
  int j = first;
  double used = 0;
  while (j < n && used + cut.atoms[j].length <= length + 1e-6) used += cut.atoms[j++].length;
  if (j == first) return first + 1;  // an atom longer than a column stands alone
  if (j < n) {
    int k = j;
    while (k > first + 1 && cut.atoms[k].closing) --k;
    while (k > first + 1 && cut.atoms[k - 1].opening) --k;
    j = k;
  }
  return j;
}

Flow::Flow(PageSink& sink, const PageFrame& frame, const BookFont& font, bool vertical,
           std::function<void(int)> pageTurned)
    : m_sink(sink),
      m_frame(frame),
      m_font(font),
      m_vertical(vertical),
      m_pageTurned(std::move(pageTurned)) {}

void Flow::Begin() {
  if (m_bare)
    m_frame.BeginBare(m_sink, m_page);
  else
    m_frame.Begin(m_sink, m_page, m_part);
  m_open = true;
}

void Flow::NewPage() {
  if (m_open) {
    m_sink.EndPage();
    m_open = false;
  }
  ++m_page;
  if (m_pageTurned) m_pageTurned(m_page);
  Begin();
  m_tier = 0;
  m_used = 0;
}

void Flow::StartPart(const QString& name, int tiers) {
  m_part = name;
  m_bare = false;
  m_tiers = std::max(1, tiers);
  NewPage();
  m_sink.Bookmark(name, 0);
}

void Flow::StartCover() {
  m_part = BookWords::Cover();
  m_bare = true;
  m_tiers = 1;
  NewPage();
  m_sink.Bookmark(m_part, 0);
}

void Flow::SetTiers(int tiers) {
  m_tiers = std::max(1, tiers);
  m_tier = 0;
}

void Flow::Finish() {
  if (m_open) m_sink.EndPage();
  m_open = false;
}

QRectF Flow::Tier(int index) const {
  const QRectF body = Body();
  if (m_tiers == 1) return body;
  // Tiers keep a cell's gap between them.
  constexpr double kGap = 12;
  if (m_vertical) {
    const double h = (body.height() - kGap * (m_tiers - 1)) / m_tiers;
    return QRectF(body.left(), body.top() + index * (h + kGap), body.width(), h);
  }
  const double w = (body.width() - kGap * (m_tiers - 1)) / m_tiers;
  return QRectF(body.left() + index * (w + kGap), body.top(), w, body.height());
}

bool Flow::Fits(double pitch) const {
  const QRectF tier = Tier(m_tier);
  return m_used + pitch <= (m_vertical ? tier.width() : tier.height()) + 1e-6;
}

QRectF Flow::NextColumn(double pitch) {
  if (!m_open) NewPage();
  if (!Fits(pitch)) {
    if (m_tier + 1 < m_tiers) {
      ++m_tier;
      m_used = 0;
    } else {
      NewPage();
    }
  }
  const QRectF tier = Tier(m_tier);
  QRectF column = m_vertical
                      ? QRectF(tier.right() - m_used - pitch, tier.top(), pitch, tier.height())
                      : QRectF(tier.left(), tier.top() + m_used, tier.width(), pitch);
  m_used += pitch;
  return column;
}

int Flow::Paragraph(const QString& text, double size, double firstIndent, double restIndent,
                    const std::vector<int>* marks, std::vector<int>* markPages) {
  CutText(m_font, text, size, m_vertical, m_cut, marks);
  if (markPages) markPages->assign(marks ? marks->size() : 0, 0);
  const double pitch = Pitch(size, m_vertical);
  const int n = static_cast<int>(m_cut.atoms.size());
  int firstPage = 0;
  bool broken = false;  // the atom in hand was begun in a column before
  for (int i = 0; i < n || (i == 0 && n == 0);) {
    const QRectF column = NextColumn(pitch);
    if (!firstPage) firstPage = m_page;
    if (n == 0) break;
    const double indent = (i == 0 && !broken ? firstIndent : restIndent) * size;
    const double length = (m_vertical ? column.height() : column.width()) - indent;
    // A line's baseline lies so that the line's glyphs sit in the middle of
    // its pitch; a column's cells start at its top.
    const QPointF at = m_vertical ? QPointF(column.center().x(), column.top() + indent)
                                  : QPointF(column.left() + indent,
                                            column.top() + (pitch - size) / 2 + 0.88 * size);
    Atom& atom = m_cut.atoms[i];
    int j = i + 1;
    if (atom.length > length + 1e-6 && atom.end - atom.first > 1) {
      // Only a name longer than a whole column is broken: as much of it as
      // the column holds, the rest set as if it were a name of its own.
      int to = atom.first;
      double used = 0;
      while (to < atom.end && (to == atom.first || used + m_cut.pieces[to].length <= length + 1e-6))
        used += m_cut.pieces[to++].length;
      if (to < atom.end) {
        DrawPieces(m_sink, m_cut, atom.first, to, at, size, m_vertical);
        MarkPages(i, i + 1, markPages);
        atom.first = to;
        atom.length -= used;
        broken = true;
        continue;
      }
    } else {
      j = BreakAfter(m_cut, i, length);
    }
    MarkPages(i, j, markPages);
    DrawPieces(m_sink, m_cut, m_cut.atoms[i].first, m_cut.atoms[j - 1].end, at, size, m_vertical);
    broken = false;
    i = j;
  }
  return firstPage;
}

void Flow::MarkPages(int first, int end, std::vector<int>* markPages) const {
  if (!markPages) return;
  for (std::size_t m = 0; m < m_cut.markAtoms.size(); ++m)
    if (m_cut.markAtoms[m] >= first && m_cut.markAtoms[m] < end && !(*markPages)[m])
      (*markPages)[m] = m_page;
}

void Flow::Heading(const QString& text, double size, int level) {
  // Kept with what follows: a heading never ends a tier alone.
  const double pitch = Pitch(size, m_vertical);
  if (m_open && m_used > 0 && !Fits(pitch * 2)) m_used = std::numeric_limits<double>::max() / 4;
  Paragraph(text, size, 1, 1);
  if (level >= 0) m_sink.Bookmark(text, level);
}

}  // namespace book::flow
