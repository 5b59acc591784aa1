// The book's face as our own sfnt reader sees it: which faces load and which
// are refused with a sentence, the metrics the layout measures with, the
// vertical forms of punctuation, and the subset the PDF embeds.
#include "book/BookFont.h"

#include <QFile>
#include <QFileInfo>
#include <QPainterPath>
#include <QRawFont>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

using book::BookFont;

namespace {

const QString kUming = QStringLiteral("/usr/share/fonts/truetype/arphic/uming.ttc");
const QString kNotoSerif =
    QStringLiteral("/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc");

std::uint16_t BE16(const QByteArray& bytes, qsizetype at) {
  return std::uint16_t((std::uint8_t(bytes[at]) << 8) | std::uint8_t(bytes[at + 1]));
}
std::uint32_t BE32(const QByteArray& bytes, qsizetype at) {
  return (std::uint32_t(BE16(bytes, at)) << 16) | BE16(bytes, at + 2);
}

// A table of a standalone sfnt, found through its directory.
QByteArray TableOf(const QByteArray& sfnt, const char* tag) {
  const int count = BE16(sfnt, 4);
  for (int i = 0; i < count; ++i) {
    const qsizetype entry = 12 + qsizetype(i) * 16;
    if (sfnt.mid(entry, 4) == QByteArray(tag))
      return sfnt.mid(BE32(sfnt, entry + 8), BE32(sfnt, entry + 12));
  }
  return {};
}

// The outline bytes of glyph `g` in a standalone sfnt.
QByteArray OutlineOf(const QByteArray& sfnt, std::uint16_t g) {
  const QByteArray head = TableOf(sfnt, "head"), loca = TableOf(sfnt, "loca"),
                   glyf = TableOf(sfnt, "glyf");
  const bool shortLoca = BE16(head, 50) == 0;
  const std::uint32_t start = shortLoca ? BE16(loca, g * 2) * 2u : BE32(loca, g * 4);
  const std::uint32_t end = shortLoca ? BE16(loca, g * 2 + 2) * 2u : BE32(loca, g * 4 + 4);
  return glyf.mid(start, end - start);
}

std::uint32_t SfntChecksum(const QByteArray& bytes) {
  std::uint32_t sum = 0;
  QByteArray padded = bytes;
  while (padded.size() % 4) padded.append('\0');
  for (qsizetype i = 0; i < padded.size(); i += 4) sum += BE32(padded, i);
  return sum;
}

class FontTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!QFileInfo::exists(kUming)) return;
    QString error;
    s_font = BookFont::Load(kUming, BookFont::DefaultFamily(), &error);
  }
  static void TearDownTestSuite() { s_font.reset(); }
  void SetUp() override {
    if (!s_font) GTEST_SKIP() << "fonts-arphic-uming is not installed";
  }
  static std::shared_ptr<const BookFont> s_font;
};
std::shared_ptr<const BookFont> FontTest::s_font;

}  // namespace

TEST(BookFontLoad, FacesAndRefusals) {
  if (!QFileInfo::exists(kUming)) GTEST_SKIP() << "fonts-arphic-uming is not installed";
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile whole(kUming);
  ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
  const QByteArray bytes = whole.read(4 << 20);  // the header and the first tables only
  const QString truncated = dir.filePath(QStringLiteral("uming-cut.ttc"));
  QFile cut(truncated);
  ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
  cut.write(bytes);
  cut.close();
  const QString notFont = dir.filePath(QStringLiteral("notes.ttf"));
  QFile notes(notFont);
  ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
  notes.write("not a font at all, only words in a file with a font's name");
  notes.close();

  struct Row {
    QString file, family;
    bool loads;
    QString expectFamily;  // when it loads; else a word the error must hold
  };
  const Row rows[] = {
      {kUming, QStringLiteral("AR PL UMing CN"), true, QStringLiteral("AR PL UMing CN")},
      {kUming, QStringLiteral("AR PL UMing HK"), true, QStringLiteral("AR PL UMing HK")},
      {kUming, QStringLiteral("AR PL UMing TW"), true, QStringLiteral("AR PL UMing TW")},
      {kUming, QStringLiteral("ar pl uming tw mbe"), true, QStringLiteral("AR PL UMing TW MBE")},
      {kUming, QString(), true, QStringLiteral("AR PL UMing CN")},
      {kUming, QStringLiteral("No Such Face"), false, QStringLiteral("No Such Face")},
      {dir.filePath(QStringLiteral("missing.ttc")), QString(), false,
       QStringLiteral("missing.ttc")},
      {truncated, QStringLiteral("AR PL UMing CN"), false, QStringLiteral("uming-cut.ttc")},
      {notFont, QString(), false, QStringLiteral("notes.ttf")},
      {kNotoSerif, QString(), false, QStringLiteral("CFF")},
      {kNotoSerif, QStringLiteral("Noto Serif CJK SC"), false, QStringLiteral("CFF")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE((row.file + " / " + row.family).toStdString());
    if (!QFileInfo::exists(row.file) && row.file == kNotoSerif) continue;  // fonts-noto-cjk absent
    QString error;
    const auto font = BookFont::Load(row.file, row.family, &error);
    if (row.loads) {
      ASSERT_TRUE(font) << error.toStdString();
      EXPECT_EQ(font->Family(), row.expectFamily);
      EXPECT_TRUE(font->Has(U'中'));
    } else {
      EXPECT_FALSE(font);
      EXPECT_TRUE(error.contains(row.expectFamily)) << error.toStdString();
    }
  }
}

TEST(BookFontLoad, DefaultFileIsTheMingFace) {
  const QString file = BookFont::DefaultFile();
  if (file.isEmpty()) GTEST_SKIP() << "no CJK TrueType face installed";
  QString error;
  const auto font = BookFont::Load(file, BookFont::DefaultFamily(), &error);
  ASSERT_TRUE(font) << error.toStdString();
  EXPECT_TRUE(font->Has(U'譜'));
  if (file == kUming) {
    EXPECT_EQ(font->Family(), QStringLiteral("AR PL UMing CN"));
  }
}

TEST_F(FontTest, Metrics) {
  const BookFont& font = *s_font;
  EXPECT_EQ(font.UnitsPerEm(), 1024);
  struct Row {
    char32_t c;
    double low, high;  // the advance, in em
  };
  const Row rows[] = {
      {U'中', 1.0, 1.0}, {U'傳', 1.0, 1.0}, {U'。', 1.0, 1.0},     {U'A', 0.3, 0.8},
      {U'i', 0.1, 0.6},  {U'1', 0.3, 0.7},  {U'\U000F0000', 0, 0},  // private use plane: absent
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.c));
    EXPECT_GE(font.Advance(row.c), row.low);
    EXPECT_LE(font.Advance(row.c), row.high);
    EXPECT_EQ(font.Has(row.c), row.high > 0);
  }
  EXPECT_NE(font.Glyph(U'中'), font.Glyph(U'国'));
  EXPECT_GT(font.Ascent(), 0.7);
  EXPECT_LT(font.Ascent(), 1.0);
}

TEST_F(FontTest, VerticalFormsOfPunctuation) {
  const BookFont& font = *s_font;
  for (const char32_t c :
       {U'。', U'，', U'、', U'「', U'」', U'（', U'）', U'《', U'》', U'—', U'…'}) {
    SCOPED_TRACE(std::to_string(c));
    ASSERT_TRUE(font.Has(c));
    EXPECT_NE(font.VerticalGlyph(c), font.Glyph(c));
    EXPECT_NE(font.VerticalGlyph(c), 0);
  }
  for (const char32_t c : {U'中', U'傳', U'A'}) EXPECT_EQ(font.VerticalGlyph(c), font.Glyph(c));
  EXPECT_EQ(font.VerticalGlyph(U'\U000F0000'), 0);
}

TEST_F(FontTest, SubsetKeepsTheAskedGlyphsOnly) {
  const BookFont& font = *s_font;
  const QByteArray face = font.FaceBytes();
  const std::vector<std::uint16_t> asked = {font.Glyph(U'中'), font.Glyph(U'华'),
                                            font.VerticalGlyph(U'。'), font.Glyph(U'A')};
  const QByteArray subset = font.Subset(asked);
  EXPECT_LT(subset.size(), face.size() / 20);
  EXPECT_EQ(SfntChecksum(subset), 0xB1B0AFBAu);  // head's checkSumAdjustment fits the file
  EXPECT_EQ(BE16(TableOf(subset, "maxp"), 4), BE16(TableOf(face, "maxp"), 4));  // ids kept
  for (const std::uint16_t g : asked) {
    SCOPED_TRACE(g);
    EXPECT_FALSE(OutlineOf(subset, g).isEmpty());
    // Glyphs are padded to four bytes in the subset.
    EXPECT_EQ(OutlineOf(subset, g).left(OutlineOf(face, g).size()), OutlineOf(face, g));
  }
  EXPECT_TRUE(OutlineOf(subset, font.Glyph(U'国')).isEmpty());
  EXPECT_TRUE(TableOf(subset, "cmap").isEmpty());
  for (const char* tag : {"head", "hhea", "maxp", "hmtx", "loca", "glyf"})
    EXPECT_FALSE(TableOf(subset, tag).isEmpty()) << tag;

  // FreeType (through Qt) takes both files as fonts of the same glyphs.
  QRawFont whole(face, 48), part(subset, 48);
  ASSERT_TRUE(whole.isValid());
  ASSERT_TRUE(part.isValid());
  const quint32 g = font.Glyph(U'中');
  EXPECT_EQ(whole.pathForGlyph(g).boundingRect(), part.pathForGlyph(g).boundingRect());
  EXPECT_FALSE(part.pathForGlyph(g).isEmpty());
  EXPECT_TRUE(part.pathForGlyph(font.Glyph(U'国')).isEmpty());
}

namespace {

// Where table `tag`'s directory entry starts in a standalone sfnt.
qsizetype EntryOf(const QByteArray& sfnt, const char* tag) {
  for (int i = 0; i < BE16(sfnt, 4); ++i)
    if (sfnt.mid(12 + qsizetype(i) * 16, 4) == QByteArray(tag)) return 12 + qsizetype(i) * 16;
  return -1;
}

void Put16(QByteArray& bytes, qsizetype at, std::uint16_t value) {
  bytes[at] = char(value >> 8);
  bytes[at + 1] = char(value);
}

void Put32(QByteArray& bytes, qsizetype at, std::uint32_t value) {
  Put16(bytes, at, std::uint16_t(value >> 16));
  Put16(bytes, at + 2, std::uint16_t(value));
}

}  // namespace

// The font file is input: an offset, a count or a length that points past
// what the file holds is refused with the table named, never read.
TEST_F(FontTest, DamagedTablesAreRefused) {
  const QByteArray face = s_font->FaceBytes();
  auto tableAt = [&](const char* tag) { return qsizetype(BE32(face, EntryOf(face, tag) + 8)); };
  struct Row {
    const char* table;  // named in the error
    std::function<void(QByteArray&)> damage;
  };
  const Row rows[] = {
      {"cmap", [&](QByteArray& f) { Put32(f, EntryOf(f, "cmap") + 8, 0x7FFFFFF0); }},
      {"glyf", [&](QByteArray& f) { Put32(f, EntryOf(f, "glyf") + 12, 0x7FFFFFF0); }},
      {"head", [&](QByteArray& f) { Put32(f, tableAt("head") + 12, 0); }},      // magic number
      {"hhea", [&](QByteArray& f) { Put16(f, tableAt("hhea") + 34, 0); }},      // no metrics
      {"loca", [&](QByteArray& f) { Put16(f, tableAt("maxp") + 4, 0xFFFF); }},  // more glyphs
      {"cmap",  // every subtable's offset past the table
       [&](QByteArray& f) {
         for (int i = 0; i < BE16(f, tableAt("cmap") + 2); ++i)
           Put32(f, tableAt("cmap") + 4 + i * 8 + 4, 0x00FFFFFF);
       }},
      {"GSUB", [&](QByteArray& f) { Put16(f, tableAt("GSUB") + 8, 0xFFF0); }},  // lookup list
      {"loca",  // the last outline ends past 'glyf' (a long loca, as AR PL UMing's)
       [&](QByteArray& f) {
         Put32(f, tableAt("loca") + 4 * qsizetype(BE16(f, tableAt("maxp") + 4)), 0x7FFFFFF0);
       }},
      {"sfnt", [&](QByteArray& f) { Put32(f, 0, 0x12345678); }},  // not an sfnt
  };
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.table);
    QByteArray damaged = face;
    row.damage(damaged);
    const QString path = dir.filePath(QStringLiteral("damaged.ttf"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(damaged);
    out.close();
    QString error;
    EXPECT_FALSE(BookFont::Load(path, QString(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("damaged.ttf")) &&
                error.contains(QString::fromLatin1(row.table)))
        << error.toStdString();
  }
  // The undamaged face, written the same way, loads.
  const QString path = dir.filePath(QStringLiteral("whole.ttf"));
  QFile out(path);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(face);
  out.close();
  QString error;
  const auto whole = BookFont::Load(path, QString(), &error);
  ASSERT_TRUE(whole) << error.toStdString();
  EXPECT_EQ(whole->Glyph(U'中'), s_font->Glyph(U'中'));
  EXPECT_EQ(whole->VerticalGlyph(U'。'), s_font->VerticalGlyph(U'。'));
}
