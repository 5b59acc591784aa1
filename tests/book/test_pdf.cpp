// The PDF writer and the painter sink, judged by what poppler reads back from
// the file (pdftotext, pdffonts, pdfinfo, pdftohtml's outline) and where the
// painter puts ink: never by comparing bytes or pixels with stored files.
#include "book/BookFont.h"
#include "book/PainterSink.h"
#include "book/PdfSink.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

using book::BookFont;
using book::PageSink;
using book::PdfSink;

namespace {

// One thing drawn on a page, as the layout would hand it on.
struct Item {
  enum Kind { kPage, kVertical, kTurned, kHorizontal, kLine, kBox, kMark } kind;
  QString text;
  QPointF at;
  double size = 0;  // text size, line width, bookmark level
  QPointF to;       // a line's end, a box's far corner, a page's size
};

// A spread of a vertical book: columns right to left, a turned Latin run, a
// horizontal footer, rules and a box, two parts with a 世 under each, and a
// second page of another size. Drawing order is reading order.
// "1990" turned at 20 pt: four half-width digits of AR PL UMing.
constexpr double kDigitsLength = 40;

const std::vector<Item>& SampleBook() {
  static const std::vector<Item> items = {
      {Item::kPage, {}, {}, 0, {595.276, 841.89}},
      {Item::kMark, QStringLiteral("谱序"), {}, 0, {}},
      {Item::kVertical, QStringLiteral("传枝，字茂林，号松亭，行二。"), {520, 80}, 20, {}},
      {Item::kVertical, QStringLiteral("光绪十六年「庚寅」二月（十五日）生"), {490, 80}, 20, {}},
      {Item::kVertical, QStringLiteral("著有《家训》一卷—…"), {460, 80}, 20, {}},
      {Item::kTurned, QStringLiteral("Smith"), {430, 80}, 14, {}},
      {Item::kVertical, QStringLiteral("配王\u2060氏"), {400, 80}, 20, {}},
      // One column of three runs, digits turned between them, reads as one.
      {Item::kVertical, QStringLiteral("生于"), {370, 80}, 20, {}},
      {Item::kTurned, QStringLiteral("1990"), {370, 120}, 20, {}},
      {Item::kVertical, QStringLiteral("年"), {370, 120 + kDigitsLength}, 20, {}},
      // A second character the face lacks, on a horizontal line: copied
      // through the ToUnicode map alone.
      {Item::kHorizontal, QStringLiteral("第一页\U000F0001"), {72, 800}, 10, {}},
      {Item::kLine, {}, {60, 60}, 1, {535, 60}},
      {Item::kBox, {}, {60, 70}, 0.5, {535, 780}},
      {Item::kMark, QStringLiteral("第一世"), {}, 1, {}},
      {Item::kMark, QStringLiteral("第二世"), {}, 1, {}},
      {Item::kPage, {}, {}, 0, {841.89, 1190.55}},
      {Item::kMark, QStringLiteral("世系录"), {}, 0, {}},
      {Item::kMark, QStringLiteral("第三世"), {}, 1, {}},
      // U+F0000 is in no face: drawn as the missing glyph, copied as itself.
      {Item::kVertical, QStringLiteral("缺\U000F0000字"), {700, 100}, 24, {}},
      {Item::kVertical, QStringLiteral("完"), {660, 100}, 24, {}},
  };
  return items;
}

void Draw(const std::vector<Item>& items, PageSink& sink) {
  bool open = false;
  for (const Item& item : items) {
    switch (item.kind) {
      case Item::kPage:
        if (open) sink.EndPage();
        sink.BeginPage(QSizeF(item.to.x(), item.to.y()));
        open = true;
        break;
      case Item::kVertical:
        sink.VerticalText(item.text, item.at, item.size);
        break;
      case Item::kTurned:
        sink.TurnedText(item.text, item.at, item.size);
        break;
      case Item::kHorizontal:
        sink.HorizontalText(item.text, item.at, item.size);
        break;
      case Item::kLine:
        sink.Line(item.at, item.to, item.size);
        break;
      case Item::kBox:
        sink.Box(QRectF(item.at, item.to), item.size);
        break;
      case Item::kMark:
        sink.Bookmark(item.text, int(item.size));
        break;
    }
  }
  if (open) sink.EndPage();
}

// A device that takes `room` bytes and refuses every write after.
class FullDevice : public QIODevice {
public:
  explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char*, qint64 length) override {
    if (length > m_room) {
      setErrorString(QStringLiteral("disk full"));
      return -1;
    }
    m_room -= length;
    return length;
  }

private:
  qint64 m_room;
};

class PdfTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    // The sample is measured for AR PL UMing, the face the book is set in.
    const QString file = QStringLiteral("/usr/share/fonts/truetype/arphic/uming.ttc");
    if (!QFileInfo::exists(file)) return;
    QString error;
    s_font = BookFont::Load(file, BookFont::DefaultFamily(), &error);
  }
  static void TearDownTestSuite() { s_font.reset(); }
  void SetUp() override {
    if (!s_font) GTEST_SKIP() << "fonts-arphic-uming is not installed";
    ASSERT_TRUE(m_dir.isValid());
  }

  QString WriteSample() {
    const QString path = m_dir.filePath(QStringLiteral("book.pdf"));
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    PdfSink sink(out, s_font, QStringLiteral("李氏族谱"));
    Draw(SampleBook(), sink);
    QString error;
    EXPECT_TRUE(sink.Finish(&error)) << error.toStdString();
    return path;
  }

  // The standard output of a poppler tool; the test skips when it is missing.
  QString Run(const QString& tool, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
      m_missing = tool;
      return {};
    }
    QProcess process;
    process.start(tool, arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
  }

  static std::shared_ptr<const BookFont> s_font;
  QTemporaryDir m_dir;
  QString m_missing;
};
std::shared_ptr<const BookFont> PdfTest::s_font;

#define SKIP_IF_MISSING()   \
  if (!m_missing.isEmpty()) \
  GTEST_SKIP() << m_missing.toStdString() << " (poppler-utils) is not installed"

}  // namespace

TEST_F(PdfTest, TextReadsColumnByColumnInDrawingOrder) {
  const QString pdf = WriteSample();
  const QString text =
      Run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), QStringLiteral("-enc"),
                                        QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
  SKIP_IF_MISSING();
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) line.remove(QLatin1Char('\f'));
  lines.removeAll(QString());
  // Each column is one line, in drawing order; the vertical forms of the
  // punctuation copy as the punctuation; the joiner is not drawn; a
  // character the face lacks still copies.
  const QStringList expected = {
      QStringLiteral("传枝，字茂林，号松亭，行二。"),
      QStringLiteral("光绪十六年「庚寅」二月（十五日）生"),
      QStringLiteral("著有《家训》一卷—…"),
      QStringLiteral("Smith"),
      QStringLiteral("配王氏"),
      QStringLiteral("生于1990年"),
      QStringLiteral("第一页\U000F0001"),
      QStringLiteral("缺\U000F0000字"),
      QStringLiteral("完"),
  };
  EXPECT_EQ(lines, expected) << text.toStdString();

  // Where poppler boxes a column (search highlights, selection): down its
  // own cells, from the top of the first to the bottom of the last.
  const QString boxes = Run(QStringLiteral("pdftotext"),
                            {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                             QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
  static const QRegularExpression word(
      QStringLiteral("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">([^<]+)</word>"));
  int columns = 0;
  for (auto it = word.globalMatch(boxes); it.hasNext();) {
    const auto match = it.next();
    for (const Item& item : SampleBook()) {
      if (item.kind != Item::kVertical || item.text != match.captured(3)) continue;
      SCOPED_TRACE(item.text.toStdString());
      EXPECT_NEAR(match.captured(1).toDouble(), item.at.y(), 0.5);
      EXPECT_NEAR(match.captured(2).toDouble(), item.at.y() + item.text.size() * item.size, 0.5);
      ++columns;
    }
  }
  EXPECT_EQ(columns, 3) << boxes.toStdString();
}

TEST_F(PdfTest, FontsEmbeddedAsSubsets) {
  const QString pdf = WriteSample();
  const QString fonts = Run(QStringLiteral("pdffonts"), {pdf});
  SKIP_IF_MISSING();
  QStringList rows = fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
  ASSERT_EQ(rows.size(), 2) << fonts.toStdString();
  QStringList encodings;
  for (const QString& row : rows) {
    SCOPED_TRACE(row.toStdString());
    // name type encoding emb sub uni object ID
    const QStringList fields = row.simplified().split(QLatin1Char(' '));
    ASSERT_GE(fields.size(), 8);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{6}\\+")).match(fields[0]).hasMatch());
    EXPECT_TRUE(row.contains(QStringLiteral("CID TrueType")));
    encodings << fields[fields.size() - 6];
    EXPECT_EQ(fields[fields.size() - 5], QStringLiteral("yes"));  // embedded
    EXPECT_EQ(fields[fields.size() - 4], QStringLiteral("yes"));  // a subset
    EXPECT_EQ(fields[fields.size() - 3], QStringLiteral("yes"));  // ToUnicode
  }
  encodings.sort();
  EXPECT_EQ(encodings, QStringList({QStringLiteral("Identity-H"), QStringLiteral("Identity-V")}));
  EXPECT_LT(QFileInfo(pdf).size(), 100 * 1024);  // the face is 20 MB
}

TEST_F(PdfTest, InfoPagesAndOutline) {
  const QString pdf = WriteSample();
  const QString info = Run(
      QStringLiteral("pdfinfo"),
      {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("2"), pdf});
  SKIP_IF_MISSING();
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title: +李氏族谱\n"))));
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Producer: +Clanbook\n"))));
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages: +2\n"))));
  EXPECT_TRUE(
      info.contains(QRegularExpression(QStringLiteral("Page +1 size: +595\\.2\\d* x 841\\.89"))));
  EXPECT_TRUE(
      info.contains(QRegularExpression(QStringLiteral("Page +2 size: +841\\.89 x 1190\\.55"))))
      << info.toStdString();

  const QString xml =
      Run(QStringLiteral("pdftohtml"), {QStringLiteral("-xml"), QStringLiteral("-i"),
                                        QStringLiteral("-stdout"), QStringLiteral("-q"), pdf});
  SKIP_IF_MISSING();
  QString outline = xml.mid(xml.indexOf(QStringLiteral("<outline>")));
  outline = outline.left(outline.lastIndexOf(QStringLiteral("</outline>")) + 10);
  outline.remove(QLatin1Char('\n'));
  const QString expected = QStringLiteral(
      "<outline>"
      "<item page=\"1\">谱序</item>"
      "<outline><item page=\"1\">第一世</item><item page=\"1\">第二世</item></outline>"
      "<item page=\"2\">世系录</item>"
      "<outline><item page=\"2\">第三世</item></outline>"
      "</outline>");
  EXPECT_EQ(outline, expected) << xml.toStdString();
}

TEST_F(PdfTest, RefusedWritesNeverEndAsSuccess) {
  QBuffer whole;
  whole.open(QIODevice::WriteOnly);
  {
    PdfSink sink(whole, s_font, QStringLiteral("谱"));
    Draw(SampleBook(), sink);
    QString error;
    ASSERT_TRUE(sink.Finish(&error));
  }
  const qint64 size = whole.data().size();
  // Full before the header, within the first page, within the font, at the
  // very last line.
  for (const qint64 room : {qint64(0), qint64(200), size / 2, size - 8}) {
    SCOPED_TRACE(room);
    FullDevice device(room);
    PdfSink sink(device, s_font, QStringLiteral("谱"));
    Draw(SampleBook(), sink);
    QString error;
    EXPECT_FALSE(sink.Finish(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("disk full"))) << error.toStdString();
  }
}

namespace {

// A place where an item may put ink; `inked` when it must hold some.
struct Area {
  QRectF rect;
  bool inked;
  QString what;
};

// Where the items of one page may ink the page: each upright character's
// cell, a turned or horizontal run's em boxes, a rule's and a box's strokes.
std::vector<Area> AreasOf(const std::vector<Item>& items, const BookFont& font) {
  std::vector<Area> areas;
  auto length = [&](const QString& text, double size) {
    double sum = 0;
    for (const char32_t c : text.toUcs4()) sum += font.GlyphAdvance(font.Glyph(c)) * size;
    return sum;
  };
  for (const Item& item : items) {
    const double s = item.size;
    switch (item.kind) {
      case Item::kVertical: {
        int cell = 0;
        for (const char32_t c : item.text.toUcs4()) {
          if (c == 0x2060) continue;  // the joiner takes no cell
          areas.push_back({QRectF(item.at.x() - s / 2, item.at.y() + cell * s, s, s), true,
                           item.text + QStringLiteral(" cell %1").arg(cell)});
          ++cell;
        }
        break;
      }
      case Item::kTurned:
        areas.push_back(
            {QRectF(item.at.x() - s / 2, item.at.y(), s, length(item.text, s)), true, item.text});
        break;
      case Item::kHorizontal:
        areas.push_back(
            {QRectF(item.at.x(), item.at.y() - font.Ascent() * s, length(item.text, s), s), true,
             item.text});
        break;
      case Item::kLine:
        areas.push_back(
            {QRectF(item.at, item.to).normalized().adjusted(-s / 2, -s / 2, s / 2, s / 2), true,
             QStringLiteral("line")});
        break;
      case Item::kBox: {
        const QRectF box(item.at, item.to);
        for (const QLineF& edge :
             {QLineF(box.topLeft(), box.topRight()), QLineF(box.topRight(), box.bottomRight()),
              QLineF(box.bottomLeft(), box.bottomRight()), QLineF(box.topLeft(), box.bottomLeft())})
          areas.push_back({QRectF(edge.p1(), edge.p2()).normalized().adjusted(-s, -s, s, s), true,
                           QStringLiteral("box")});
        break;
      }
      default:
        break;
    }
  }
  return areas;
}

// Every dark pixel of `image` (drawn at `scale` pixels a point) lies within a
// pixel of some area, and every area that must be inked holds ink.
void ExpectInkInAreas(const QImage& image, double scale, const std::vector<Area>& areas) {
  const double slack = 1.0;
  int outside = 0;
  QPoint firstOutside;
  std::vector<int> inkIn(areas.size(), 0);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) > 160) continue;
      const QPointF at((x + 0.5) / scale, (y + 0.5) / scale);
      bool placed = false;
      for (std::size_t i = 0; i < areas.size(); ++i) {
        if (areas[i].rect.contains(at)) ++inkIn[i], placed = true;
        if (!placed && areas[i].rect.adjusted(-slack, -slack, slack, slack).contains(at))
          placed = true;
      }
      if (!placed && outside++ == 0) firstOutside = QPoint(x, y);
    }
  }
  EXPECT_EQ(outside, 0) << "first at " << firstOutside.x() / scale << ","
                        << firstOutside.y() / scale << " pt";
  for (std::size_t i = 0; i < areas.size(); ++i)
    EXPECT_GT(inkIn[i], 0) << areas[i].what.toStdString();
}

std::vector<Item> FirstPage() {
  std::vector<Item> page;
  for (const Item& item : SampleBook()) {
    if (item.kind == Item::kPage && !page.empty()) break;
    page.push_back(item);
  }
  return page;
}

}  // namespace

// The preview and the PDF (as poppler draws it) put ink where the items say
// their cells are, and nowhere else.
TEST_F(PdfTest, InkStaysInTheDeclaredCells) {
  const double scale = 2;  // 144 dpi
  const std::vector<Item> page = FirstPage();
  const std::vector<Area> areas = AreasOf(page, *s_font);

  QImage painted(QSize(int(595.276 * scale), int(841.89 * scale)),
                 QImage::Format_ARGB32_Premultiplied);
  painted.fill(Qt::white);
  {
    QPainter painter(&painted);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    book::PainterSink sink(painter, s_font);
    Draw(page, sink);
  }
  {
    SCOPED_TRACE("PainterSink");
    ExpectInkInAreas(painted, scale, areas);
  }

  const QString pdf = WriteSample();
  const QString prefix = m_dir.filePath(QStringLiteral("page"));
  Run(QStringLiteral("pdftoppm"),
      {QStringLiteral("-r"), QStringLiteral("144"), QStringLiteral("-f"), QStringLiteral("1"),
       QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-singlefile"),
       QStringLiteral("-png"), pdf, prefix});
  SKIP_IF_MISSING();
  const QImage rendered(prefix + QStringLiteral(".png"));
  ASSERT_FALSE(rendered.isNull());
  SCOPED_TRACE("pdftoppm");
  ExpectInkInAreas(rendered, scale, areas);
}

// A thousand full pages of 世系录 text in some three thousand different
// characters: each page's stream compressed, the face subset to the
// characters used, so the file stays a few megabytes.
TEST_F(PdfTest, ThousandPagesStayCompact) {
  std::vector<char32_t> pool;
  for (char32_t c = 0x4E00; pool.size() < 3000 && c < 0x9FA5; c += 3)
    if (s_font->Has(c)) pool.push_back(c);
  ASSERT_EQ(pool.size(), 3000u);
  const QString path = m_dir.filePath(QStringLiteral("thousand.pdf"));
  QFile out(path);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  PdfSink sink(out, s_font, QStringLiteral("谱"));
  std::size_t next = 0;
  const int pages = 1000, columns = 20, cells = 30;
  for (int page = 0; page < pages; ++page) {
    sink.BeginPage(QSizeF(595.276, 841.89));
    if (page % 100 == 0) sink.Bookmark(QStringLiteral("第%1世").arg(page / 100 + 1), 0);
    sink.Box(QRectF(50, 60, 495, 720), 1);
    for (int column = 0; column < columns; ++column) {
      QString text;
      for (int cell = 0; cell < cells; ++cell) {
        text += QString::fromUcs4(&pool[next % pool.size()], 1);
        next = next * 7 + 13;  // wander over the pool, not in a loop of its own
        if (cell % 9 == 8) text += QStringLiteral("，");
      }
      sink.VerticalText(text, QPointF(530 - column * 24, 70), 12 + (column % 2));
    }
    sink.EndPage();
  }
  QString error;
  ASSERT_TRUE(sink.Finish(&error)) << error.toStdString();
  out.close();
  EXPECT_LT(QFileInfo(path).size(), 8 * 1024 * 1024);
  const QString info = Run(QStringLiteral("pdfinfo"), {path});
  SKIP_IF_MISSING();
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages: +1000\n"))));
}

namespace {

// The PDF's objects as text (Latin-1) by number, and its Flate streams
// inflated.
struct PdfObjects {
  std::map<int, QString> dictionaries;
  std::map<int, QByteArray> streams;
};

PdfObjects ReadObjects(const QByteArray& pdf) {
  PdfObjects objects;
  const QString text = QString::fromLatin1(pdf);
  static const QRegularExpression object(QStringLiteral("\n(\\d+) 0 obj\n(.*?)\n(stream\n|endobj)"),
                                         QRegularExpression::DotMatchesEverythingOption);
  for (auto it = object.globalMatch(text); it.hasNext();) {
    const auto match = it.next();
    const int number = match.captured(1).toInt();
    objects.dictionaries[number] = match.captured(2);
    if (match.captured(3) != QStringLiteral("stream\n")) continue;
    static const QRegularExpression lengthOf(QStringLiteral("/Length (\\d+)"));
    const qsizetype length = lengthOf.match(match.captured(2)).captured(1).toLongLong();
    QByteArray packed;
    const quint32 room = 16 * 1024 * 1024;  // qUncompress's size hint, big-endian
    packed.append(char(room >> 24))
        .append(char(room >> 16))
        .append(char(room >> 8))
        .append(char(room));
    packed.append(pdf.mid(match.capturedEnd(3), length));
    objects.streams[number] = qUncompress(packed);
  }
  return objects;
}

int Reference(const QString& dictionary, const QString& key) {
  return QRegularExpression(QStringLiteral("/%1 (\\d+) 0 R").arg(key))
      .match(dictionary)
      .captured(1)
      .toInt();
}

}  // namespace

// Viewers that read no /ActualText copy through the fonts' ToUnicode map:
// each code gives the character it was drawn for, a vertical form its
// punctuation, and each character the face lacks a code of its own on the
// missing glyph.
TEST_F(PdfTest, ToUnicodeGivesTheCharactersDrawn) {
  QFile file(WriteSample());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const PdfObjects objects = ReadObjects(file.readAll());
  QString vertical, descendant;
  for (const auto& [number, dictionary] : objects.dictionaries)
    if (dictionary.contains(QStringLiteral("/Encoding /Identity-V"))) vertical = dictionary;
  ASSERT_FALSE(vertical.isEmpty());
  const QByteArray cmap = objects.streams.at(Reference(vertical, QStringLiteral("ToUnicode")));
  std::map<int, QString> toUnicode;
  static const QRegularExpression entry(QStringLiteral("<([0-9A-F]{4})> <([0-9A-F]+)>"));
  for (auto it = entry.globalMatch(QString::fromLatin1(cmap)); it.hasNext();) {
    const auto match = it.next();
    QString text;
    for (int i = 0; i < match.captured(2).size(); i += 4)
      text.append(QChar(char16_t(match.captured(2).mid(i, 4).toUInt(nullptr, 16))));
    toUnicode[match.captured(1).toInt(nullptr, 16)] = text;
  }
  const BookFont& font = *s_font;
  EXPECT_EQ(toUnicode[font.VerticalGlyph(U'。')], QStringLiteral("。"));
  EXPECT_EQ(toUnicode[font.VerticalGlyph(U'「')], QStringLiteral("「"));
  EXPECT_EQ(toUnicode[font.Glyph(U'传')], QStringLiteral("传"));
  EXPECT_EQ(toUnicode[font.Glyph(U'S')], QStringLiteral("S"));
  auto codeOf = [&](const QString& text) {
    const auto it = std::find_if(toUnicode.begin(), toUnicode.end(),
                                 [&](const auto& code) { return code.second == text; });
    return it == toUnicode.end() ? -1 : it->first;
  };
  // The first drawn takes glyph 0's own code, the second a code of its own.
  EXPECT_EQ(codeOf(QStringLiteral("\U000F0001")), 0);
  const int extra = codeOf(QStringLiteral("\U000F0000"));
  ASSERT_GE(extra, font.GlyphCount());

  // That code is drawn with the missing glyph: the CIDToGIDMap says so.
  for (const auto& [number, dictionary] : objects.dictionaries)
    if (dictionary.contains(QStringLiteral("/CIDFontType2"))) descendant = dictionary;
  const QByteArray map = objects.streams.at(Reference(descendant, QStringLiteral("CIDToGIDMap")));
  ASSERT_GE(map.size(), extra * 2 + 2);
  EXPECT_EQ(map.mid(extra * 2, 2), QByteArray(2, '\0'));
  const int g = font.Glyph(U'传');
  EXPECT_EQ((std::uint8_t(map[g * 2]) << 8) | std::uint8_t(map[g * 2 + 1]), g);
}

// Every entry of the cross-reference table leads to its own object, so a
// viewer need not rebuild the table (which poppler does silently).
TEST_F(PdfTest, CrossReferenceLeadsToEveryObject) {
  QFile file(WriteSample());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray pdf = file.readAll();
  ASSERT_TRUE(pdf.startsWith("%PDF-1.7\n"));
  ASSERT_TRUE(pdf.endsWith("%%EOF\n"));
  const qsizetype startxref = pdf.lastIndexOf("startxref\n");
  ASSERT_GT(startxref, 0);
  const qsizetype xref = pdf.mid(startxref + 10).split('\n').value(0).toLongLong();
  ASSERT_EQ(pdf.mid(xref, 5), QByteArray("xref\n"));
  const QList<QByteArray> lines = pdf.mid(xref).split('\n');
  const int count = lines.value(1).split(' ').value(1).toInt();
  ASSERT_GT(count, 10);
  EXPECT_EQ(lines.value(2), QByteArray("0000000000 65535 f "));
  for (int object = 1; object < count; ++object) {
    const QByteArray entry = lines.value(2 + object);
    ASSERT_EQ(entry.size(), 19) << object;  // with its newline, 20 bytes
    ASSERT_TRUE(entry.endsWith(" 00000 n ")) << object;
    EXPECT_EQ(pdf.mid(entry.left(10).toLongLong(), 10).split('\n').value(0),
              QByteArray::number(object) + " 0 obj");
  }
  EXPECT_TRUE(lines.value(2 + count).startsWith("trailer"));
  EXPECT_TRUE(pdf.mid(xref).contains("/Size " + QByteArray::number(count) + " "));
}
