#include "book/PdfSink.h"

#include "book/PdfGlyphs.h"
#include "book/PdfSyntax.h"
#include "book/SfntData.h"

#include <QCoreApplication>
#include <QFileDevice>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>

namespace book {

using namespace pdfsyntax;

namespace {

struct PdfText {
  Q_DECLARE_TR_FUNCTIONS(PdfSink)
};

// Font resource names of the two Type0 fonts every page shares.
constexpr char kVerticalFont[] = "/FV";
constexpr char kHorizontalFont[] = "/FH";

}  // namespace

struct PdfSink::State {
  State(QIODevice& device, std::shared_ptr<const BookFont> face, const QString& name)
      : out(device), font(std::move(face)), title(name) {
    firstChar.assign(std::size_t(font->GlyphCount()), kUnused);
    offsets.assign(5, -1);  // 0 unused; the catalog, page tree and two fonts come at the end
  }

  static constexpr char32_t kUnused = 0xFFFFFFFF;
  static constexpr int kCatalog = 1, kPages = 2, kFontV = 3, kFontH = 4;

  QIODevice& out;
  std::shared_ptr<const BookFont> font;
  QString title;
  qint64 written = 0;
  QString failure;  // the first write that failed
  bool finished = false;

  std::vector<qint64> offsets;  // by object number
  struct PageRef {
    int object;
    QSizeF size;
  };
  std::vector<PageRef> pages;
  struct Mark {
    QString title;
    int level;
    std::size_t page;
  };
  std::vector<Mark> marks;

  bool inPage = false;
  QSizeF pageSize{595.276, 841.89};
  QByteArray content;
  double lineWidth = -1;

  // Each glyph's code in the fonts is its glyph id, and the glyph tells the
  // character it was drawn for (ToUnicode). A glyph drawn for a second
  // character (glyph 0 for every character the face lacks, a form two
  // characters share) gets a code of its own past the face's glyphs, mapped
  // back to the glyph by the CIDToGIDMap, so copy still gives each
  // character.
  std::vector<char32_t> firstChar;  // by glyph
  std::unordered_map<std::uint64_t, std::uint16_t> moreCodes;
  std::vector<std::pair<std::uint16_t, char32_t>> extraCodes;  // code - GlyphCount()

  int NewObject() {
    offsets.push_back(-1);
    return int(offsets.size()) - 1;
  }
  void Write(const QByteArray& bytes) {
    if (!failure.isEmpty()) return;
    const qint64 done = out.write(bytes);
    if (done != bytes.size()) {
      failure = out.errorString();
      if (failure.isEmpty()) failure = PdfText::tr("设备拒绝写入");
      return;
    }
    written += done;
  }
  void BeginObject(int object) {
    offsets[std::size_t(object)] = written;
    Write(QByteArray::number(object) + " 0 obj\n");
  }
  void WriteObject(int object, const QByteArray& body) {
    BeginObject(object);
    Write(body + "\nendobj\n");
  }
  void WriteStream(int object, const QByteArray& data, const QByteArray& extra = {}) {
    const QByteArray packed = Deflate(data);
    BeginObject(object);
    Write("<< /Length " + QByteArray::number(packed.size()) + " /Filter /FlateDecode" + extra +
          " >>\nstream\n");
    Write(packed);
    Write("\nendstream\nendobj\n");
  }

  std::uint16_t Code(std::uint16_t glyph, char32_t c) {
    if (glyph >= firstChar.size()) glyph = 0;
    char32_t& first = firstChar[glyph];
    if (first == kUnused) first = c;
    if (first == c) return glyph;
    const std::uint64_t key = (std::uint64_t(glyph) << 32) | c;
    const auto it = moreCodes.find(key);
    if (it != moreCodes.end()) return it->second;
    const std::size_t code = firstChar.size() + extraCodes.size();
    if (code > 0xFFFF) return glyph;  // no codes left: copies as the first character
    extraCodes.emplace_back(glyph, c);
    moreCodes.emplace(key, std::uint16_t(code));
    return std::uint16_t(code);
  }

  // The run's glyphs as a hex string of codes. A character the face lacks is
  // drawn as glyph 0 (the face's "missing" box) but keeps its own code, so
  // the reader still copies the character.
  QByteArray Codes(const QString& text, bool vertical) {
    QByteArray hex("<");
    ForEachDrawnCharacter(text, [&](char32_t c) {
      AppendHex4(hex, Code(vertical ? font->VerticalGlyph(c) : font->Glyph(c), c));
    });
    hex.append('>');
    return hex;
  }

  void EnsurePage() {
    if (!inPage) BeginPage(pageSize);
  }
  void BeginPage(QSizeF size) {
    if (inPage) EndPage();
    pageSize = size;
    pages.push_back({NewObject(), size});
    inPage = true;
    content.clear();
    lineWidth = -1;
  }
  void EndPage();
  // The operators that draw `text`, empty when nothing of it is drawn.
  QByteArray Text(const char* fontName, const QString& text, double size, const QByteArray& matrix,
                  bool vertical);
  // Text of a column: upright runs and turned runs that continue one
  // another down the same column make one span whose /ActualText is their
  // text. Viewers take the span as one word; without it poppler's raw
  // order reads each upright character as a word and a line of its own.
  void ColumnText(const QByteArray& operators, const QString& text, QPointF topCentre,
                  double length, double size);
  void CloseSpan();
  void Draw(const QByteArray& operators) {
    EnsurePage();
    CloseSpan();
    content.append(operators);
  }
  QByteArray span;  // the operators of the open span
  QString spanText;
  QPointF spanNext;  // where the open span's column goes on
  double spanSize = 0;
  // The operator setting the line width, when it changes.
  QByteArray LineWidth(double width) {
    QByteArray set;
    if (!inPage || width != lineWidth) {
      AppendNumber(set, width);
      set.append(" w\n");
    }
    lineWidth = width;
    return set;
  }
  double Y(double y) const { return pageSize.height() - y; }

  void WriteFont();
  int WriteOutline();
};

void PdfSink::State::EndPage() {
  if (!inPage) return;
  CloseSpan();
  inPage = false;
  const int contents = NewObject();
  WriteStream(contents, content);
  content.clear();
  QByteArray page("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ");
  AppendNumbers(page, {pageSize.width(), pageSize.height()});
  page.append("] /Resources << /Font << /FV 3 0 R /FH 4 0 R >> >> /Contents ");
  page.append(QByteArray::number(contents) + " 0 R >>");
  WriteObject(pages.back().object, page);
}

QByteArray PdfSink::State::Text(const char* fontName, const QString& text, double size,
                                const QByteArray& matrix, bool vertical) {
  const QByteArray codes = Codes(text, vertical);
  if (codes.size() <= 2) return {};
  QByteArray operators("BT ");
  operators.append(fontName);
  operators.append(' ');
  AppendNumber(operators, size);
  operators.append(" Tf ");
  operators.append(matrix);
  operators.append(" Tm ");
  operators.append(codes);
  operators.append(" Tj ET\n");
  return operators;
}

void PdfSink::State::ColumnText(const QByteArray& operators, const QString& text, QPointF topCentre,
                                double length, double size) {
  EnsurePage();
  if (operators.isEmpty()) return;
  const double slack = 0.25 * std::max(size, spanSize);
  const bool continues = !span.isEmpty() && std::abs(topCentre.x() - spanNext.x()) < 0.01 &&
                         topCentre.y() > spanNext.y() - slack &&
                         topCentre.y() < spanNext.y() + slack;
  if (!continues) CloseSpan();
  span.append(operators);
  ForEachDrawnCharacter(text, [&](char32_t c) {
    if (c >= 0x10000) {
      spanText.append(QChar(QChar::highSurrogate(c)));
      spanText.append(QChar(QChar::lowSurrogate(c)));
    } else {
      spanText.append(QChar(char16_t(c)));
    }
  });
  spanNext = QPointF(topCentre.x(), topCentre.y() + length);
  spanSize = size;
}

void PdfSink::State::CloseSpan() {
  if (span.isEmpty()) return;
  content.append("/Span << /ActualText " + TextString(spanText) + " >> BDC\n");
  content.append(span);
  content.append("EMC\n");
  span.clear();
  spanText.clear();
}

PdfSink::PdfSink(QIODevice& out, std::shared_ptr<const BookFont> font, const QString& title)
    : m_state(std::make_unique<State>(out, std::move(font), title)) {
  // The binary comment tells transfer programs the file is not text.
  m_state->Write("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
}

PdfSink::~PdfSink() = default;

void PdfSink::BeginPage(QSizeF size) {
  m_state->BeginPage(size);
}

void PdfSink::EndPage() {
  m_state->EndPage();
}

void PdfSink::VerticalText(const QString& text, QPointF topCentre, double size) {
  // Identity-V hangs each glyph from its vertical origin on the pen: the
  // middle of its advance across, and (/DW2) the bottom of its em box. The
  // pen starts at the first cell's bottom and goes down a cell a glyph, so
  // every cell is size by size, one under another. The origin at the
  // bottom rather than the top of the em box draws the same; it is where
  // poppler, which ignores the origin, boxes each character for search
  // highlights and selection, so they fall on the characters' own cells.
  QByteArray matrix;
  AppendNumbers(matrix, {1, 0, 0, 1, topCentre.x(), m_state->Y(topCentre.y() + size)});
  int cells = 0;
  ForEachDrawnCharacter(text, [&](char32_t) { ++cells; });
  m_state->ColumnText(m_state->Text(kVerticalFont, text, size, matrix, true), text, topCentre,
                      cells * size, size);
}

void PdfSink::HorizontalText(const QString& text, QPointF origin, double size) {
  QByteArray matrix;
  AppendNumbers(matrix, {1, 0, 0, 1, origin.x(), m_state->Y(origin.y())});
  m_state->Draw(m_state->Text(kHorizontalFont, text, size, matrix, false));
}

void PdfSink::TurnedText(const QString& text, QPointF topCentre, double size) {
  // A quarter turn clockwise: the baseline runs down the page and the tops
  // of the letters face right. The baseline stands where the em box is
  // centred across the column.
  const BookFont& font = *m_state->font;
  QByteArray matrix;
  AppendNumbers(matrix, {0, -1, 1, 0, topCentre.x() - (font.Ascent() - 0.5) * size,
                         m_state->Y(topCentre.y())});
  double length = 0;
  ForEachDrawnCharacter(text,
                        [&](char32_t c) { length += font.GlyphAdvance(font.Glyph(c)) * size; });
  m_state->ColumnText(m_state->Text(kHorizontalFont, text, size, matrix, false), text, topCentre,
                      length, size);
}

void PdfSink::Line(QPointF from, QPointF to, double width) {
  State& s = *m_state;
  QByteArray path = s.LineWidth(width);
  AppendNumbers(path, {from.x(), s.Y(from.y())});
  path.append(" m ");
  AppendNumbers(path, {to.x(), s.Y(to.y())});
  path.append(" l S\n");
  s.Draw(path);
}

void PdfSink::Box(const QRectF& rect, double width) {
  State& s = *m_state;
  QByteArray path = s.LineWidth(width);
  AppendNumbers(path, {rect.left(), s.Y(rect.bottom()), rect.width(), rect.height()});
  path.append(" re S\n");
  s.Draw(path);
}

void PdfSink::Bookmark(const QString& title, int level) {
  State& s = *m_state;
  s.EnsurePage();
  s.marks.push_back({title, level, s.pages.size() - 1});
}

void PdfSink::State::WriteFont() {
  const BookFont& face = *font;
  const int glyphCount = face.GlyphCount();
  std::vector<std::uint16_t> used;
  for (int g = 0; g < glyphCount; ++g)
    if (firstChar[std::size_t(g)] != kUnused) used.push_back(std::uint16_t(g));
  for (const auto& [glyph, c] : extraCodes) used.push_back(glyph);
  const QByteArray subset = face.Subset(used);

  // The subset's tag names the glyphs it holds, so two books' subsets differ.
  std::uint64_t hash = 1469598103934665603ull;
  for (const std::uint16_t g : used) hash = (hash ^ g) * 1099511628211ull;
  QByteArray baseFont;
  for (int i = 0; i < 6; ++i, hash /= 26) baseFont.append(char('A' + hash % 26));
  baseFont += "+" + NameOf(face.PostScriptName().isEmpty() ? face.Family() : face.PostScriptName());

  // The descriptor's numbers, from the subset's own head and hhea.
  const double unit = 1000.0 / face.UnitsPerEm();
  int xMin = 0, yMin = -200, xMax = 1000, yMax = 900, ascender = 880, descender = -120;
  try {
    const sfnt::Span file(subset.constData(), std::uint64_t(subset.size()), "sfnt");
    for (std::uint16_t i = 0, n = file.U16(4); i < n; ++i) {
      const std::uint32_t tag = file.U32(12 + i * 16u), at = file.U32(12 + i * 16u + 8);
      if (tag == sfnt::Tag("head")) {
        xMin = int(file.S16(at + 36) * unit), yMin = int(file.S16(at + 38) * unit);
        xMax = int(file.S16(at + 40) * unit), yMax = int(file.S16(at + 42) * unit);
      } else if (tag == sfnt::Tag("hhea")) {
        ascender = int(file.S16(at + 4) * unit), descender = int(file.S16(at + 6) * unit);
      }
    }
  } catch (const sfnt::SfntMalformed&) {
  }

  const int fontFile = NewObject();
  WriteStream(fontFile, subset, " /Length1 " + QByteArray::number(subset.size()));
  const int descriptor = NewObject();
  WriteObject(descriptor,
              "<< /Type /FontDescriptor /FontName /" + baseFont + " /Flags 6 /FontBBox [" +
                  QByteArray::number(xMin) + ' ' + QByteArray::number(yMin) + ' ' +
                  QByteArray::number(xMax) + ' ' + QByteArray::number(yMax) +
                  "] /ItalicAngle 0 /Ascent " + QByteArray::number(ascender) + " /Descent " +
                  QByteArray::number(descender) + " /CapHeight " + QByteArray::number(ascender) +
                  " /StemV 80 /FontFile2 " + QByteArray::number(fontFile) + " 0 R >>");

  // Widths of every code whose glyph is not one em across (the default).
  const std::size_t codeCount = firstChar.size() + extraCodes.size();
  auto glyphOf = [&](std::size_t code) {
    return code < firstChar.size() ? std::uint16_t(code)
                                   : extraCodes[code - firstChar.size()].first;
  };
  auto isUsed = [&](std::size_t code) {
    return code >= firstChar.size() || firstChar[code] != kUnused;
  };
  QByteArray widths("[");
  for (std::size_t code = 0; code < codeCount;) {
    auto widthOf = [&](std::size_t c) {
      return int(std::lround(face.GlyphAdvance(glyphOf(c)) * 1000));
    };
    if (!isUsed(code) || widthOf(code) == 1000) {
      ++code;
      continue;
    }
    widths.append(QByteArray::number(qulonglong(code)) + " [");
    for (; code < codeCount && isUsed(code) && widthOf(code) != 1000; ++code)
      widths.append(QByteArray::number(widthOf(code)) + ' ');
    widths.append("] ");
  }
  widths.append(']');

  QByteArray cidToGid("/Identity");
  if (!extraCodes.empty()) {
    QByteArray map;
    map.reserve(qsizetype(codeCount) * 2);
    for (std::size_t code = 0; code < codeCount; ++code) sfnt::PutU16(map, glyphOf(code));
    const int mapObject = NewObject();
    WriteStream(mapObject, map);
    cidToGid = QByteArray::number(mapObject) + " 0 R";
  }

  const int descendant = NewObject();
  QByteArray cidFont = "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + baseFont +
                       " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                       " /FontDescriptor " +
                       QByteArray::number(descriptor) + " 0 R /DW 1000 /W " + widths + " /DW2 [";
  AppendNumber(cidFont, (face.Ascent() - 1) * 1000);
  cidFont.append(" -1000] /CIDToGIDMap " + cidToGid + " >>");
  WriteObject(descendant, cidFont);

  QByteArray cmap(
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n");
  std::vector<std::pair<std::size_t, char32_t>> entries;
  for (std::size_t code = 0; code < codeCount; ++code) {
    if (!isUsed(code)) continue;
    entries.emplace_back(code, code < firstChar.size()
                                   ? firstChar[code]
                                   : extraCodes[code - firstChar.size()].second);
  }
  for (std::size_t i = 0; i < entries.size(); i += 100) {
    const std::size_t n = std::min<std::size_t>(100, entries.size() - i);
    cmap.append(QByteArray::number(qulonglong(n)) + " beginbfchar\n");
    for (std::size_t k = i; k < i + n; ++k) {
      cmap.append('<');
      AppendHex4(cmap, std::uint16_t(entries[k].first));
      cmap.append("> <");
      AppendUtf16Hex(cmap, entries[k].second);
      cmap.append(">\n");
    }
    cmap.append("endbfchar\n");
  }
  cmap.append("endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n");
  const int toUnicode = NewObject();
  WriteStream(toUnicode, cmap);

  for (const auto& [object, encoding] :
       {std::pair{kFontV, QByteArray("Identity-V")}, std::pair{kFontH, QByteArray("Identity-H")}}) {
    WriteObject(object, "<< /Type /Font /Subtype /Type0 /BaseFont /" + baseFont + '-' + encoding +
                            " /Encoding /" + encoding + " /DescendantFonts [" +
                            QByteArray::number(descendant) + " 0 R] /ToUnicode " +
                            QByteArray::number(toUnicode) + " 0 R >>");
  }
}

int PdfSink::State::WriteOutline() {
  if (marks.empty()) return 0;
  // Level 1 entries hang under the level 0 entry before them; one with no
  // part before it stands at the top.
  struct Entry {
    int object = 0;
    int parent = -1;  // index into entries, -1 for the outline itself
    std::vector<int> children;
  };
  std::vector<Entry> entries(marks.size());
  std::vector<int> top;
  int lastPart = -1;
  for (std::size_t i = 0; i < marks.size(); ++i) {
    entries[i].object = NewObject();
    if (marks[i].level > 0 && lastPart >= 0) {
      entries[i].parent = lastPart;
      entries[std::size_t(lastPart)].children.push_back(int(i));
    } else {
      top.push_back(int(i));
      lastPart = int(i);
    }
  }
  const int root = NewObject();
  auto ref = [](int object) { return QByteArray::number(object) + " 0 R"; };
  auto siblings = [&](const std::vector<int>& list, std::size_t at) {
    QByteArray links;
    if (at > 0) links += " /Prev " + ref(entries[std::size_t(list[at - 1])].object);
    if (at + 1 < list.size()) links += " /Next " + ref(entries[std::size_t(list[at + 1])].object);
    return links;
  };
  // Every entry is open: its count is of the entries shown under it.
  auto firstLast = [&](const std::vector<int>& list, std::size_t shown) {
    if (list.empty()) return QByteArray();
    return " /First " + ref(entries[std::size_t(list.front())].object) + " /Last " +
           ref(entries[std::size_t(list.back())].object) + " /Count " +
           QByteArray::number(qulonglong(shown));
  };
  auto write = [&](const std::vector<int>& list) {
    for (std::size_t at = 0; at < list.size(); ++at) {
      const Entry& entry = entries[std::size_t(list[at])];
      const Mark& mark = marks[std::size_t(list[at])];
      const PageRef& page = pages[mark.page];
      QByteArray body = "<< /Title " + TextString(mark.title) + " /Parent " +
                        ref(entry.parent < 0 ? root : entries[std::size_t(entry.parent)].object) +
                        siblings(list, at) + firstLast(entry.children, entry.children.size()) +
                        " /Dest [" + ref(page.object) + " /XYZ 0 ";
      AppendNumber(body, page.size.height());
      body.append(" null] >>");
      WriteObject(entry.object, body);
    }
  };
  write(top);
  for (const int part : top) write(entries[std::size_t(part)].children);
  WriteObject(root, "<< /Type /Outlines" + firstLast(top, marks.size()) + " >>");
  return root;
}

bool PdfSink::Finish(QString* error) {
  State& s = *m_state;
  if (s.finished) {  // once only: a second trailer would spoil the file
    if (error && !s.failure.isEmpty()) *error = PdfText::tr("无法写入 PDF：%1。").arg(s.failure);
    return s.failure.isEmpty();
  }
  s.finished = true;
  s.EndPage();
  if (s.pages.empty()) {  // a PDF holds at least one page
    s.BeginPage(s.pageSize);
    s.EndPage();
  }
  s.WriteFont();
  const int outline = s.WriteOutline();

  QByteArray kids;
  for (const State::PageRef& page : s.pages) kids += QByteArray::number(page.object) + " 0 R ";
  s.WriteObject(State::kPages, "<< /Type /Pages /Kids [" + kids + "] /Count " +
                                   QByteArray::number(qulonglong(s.pages.size())) + " >>");
  const int info = s.NewObject();
  s.WriteObject(info, "<< /Title " + TextString(s.title) + " /Producer (Clanbook) >>");
  QByteArray catalog("<< /Type /Catalog /Pages 2 0 R");
  if (outline)
    catalog += " /Outlines " + QByteArray::number(outline) + " 0 R /PageMode /UseOutlines";
  s.WriteObject(State::kCatalog, catalog + " >>");

  const qint64 xref = s.written;
  QByteArray table =
      "xref\n0 " + QByteArray::number(qulonglong(s.offsets.size())) + "\n0000000000 65535 f \n";
  for (std::size_t object = 1; object < s.offsets.size(); ++object)
    table += QByteArray::number(s.offsets[object]).rightJustified(10, '0') + " 00000 n \n";
  table += "trailer\n<< /Size " + QByteArray::number(qulonglong(s.offsets.size())) +
           " /Root 1 0 R /Info " + QByteArray::number(info) + " 0 R >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
  s.Write(table);
  if (auto* file = qobject_cast<QFileDevice*>(&s.out);
      file && s.failure.isEmpty() && !file->flush())
    s.failure = file->errorString();
  if (!s.failure.isEmpty()) {
    if (error) *error = PdfText::tr("无法写入 PDF：%1。").arg(s.failure);
    return false;
  }
  return true;
}

}  // namespace book
