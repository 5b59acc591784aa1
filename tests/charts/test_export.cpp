// Exported files read back with the tools a reader of them would use:
// pdftotext and pdfinfo for PDF, the image reader for PNG.
#include "ChartTestBooks.h"
#include "charts/ChartExport.h"
#include "charts/Statistics.h"

#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <malloc.h>

#include <limits>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <vector>

namespace {

QString RunTool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(60000)) return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

bool HavePoppler() {
  return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
         !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

class ExportTest : public ::testing::Test {
protected:
  void SetUp() override {
    charttest::RandomBook(book, 300, 12, 7);
    ASSERT_TRUE(dir.isValid());
  }
  QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
  COperationClanbook book;
  QTemporaryDir dir;
};

struct PdfRow {
  const char* label;
  ChartLayout layout;
  QPageSize::PageSizeId pageSize;
  int generations;
  bool fromGrandchild;
  const char* pageSizeText;  // as pdfinfo prints it
};

class PdfExportTest : public ExportTest, public ::testing::WithParamInterface<PdfRow> {};

TEST_P(PdfExportTest, HoldsEveryChartedNameOnTheAskedPages) {
  const PdfRow& row = GetParam();
  ChartOptions options;
  options.layout = row.layout;
  options.pageSize = row.pageSize;
  options.generations = row.generations;
  MemberNode* start = book.Root();
  if (row.fromGrandchild) {
    for (MemberNode* m : charttest::Charted(start, 3))
      if (book.GetGeneration(m) == 3 && m->firstChild) start = m;
    ASSERT_EQ(book.GetGeneration(start), 3);
    options.fromName = QString::fromStdU16String(start->name);
  }
  const QString path = Path("chart.pdf");
  QString error;
  ASSERT_TRUE(ExportChart(book, options, path, &error)) << error.toStdString();
  if (!HavePoppler()) GTEST_SKIP() << "pdftotext or pdfinfo is not installed";

  const std::unique_ptr<BuiltChart> chart = BuiltChart::Build(book, options, nullptr);
  const QString info = RunTool(QStringLiteral("pdfinfo"), {path});
  EXPECT_TRUE(info.contains(
      QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(chart->Pages().PageCount()))))
      << info.toStdString();
  EXPECT_TRUE(info.contains(QString::fromLatin1(row.pageSizeText))) << info.toStdString();

  const QString text = RunTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
  for (MemberNode* m : charttest::Charted(start, row.generations))
    EXPECT_TRUE(text.contains(QString::fromStdU16String(m->name)))
        << QString::fromStdU16String(m->name).toStdString() << " is missing";
  // The book's root names the chart in the header even when it starts lower.
  EXPECT_TRUE(text.contains(QString::fromStdU16String(book.Root()->name)));
  EXPECT_TRUE(
      text.contains(ChartText::Page(chart->Pages().PageCount(), chart->Pages().PageCount())));
  EXPECT_TRUE(text.contains(ChartText::Generation(book.GetGeneration(start))));
}

INSTANTIATE_TEST_SUITE_P(Layouts, PdfExportTest,
                         ::testing::Values(PdfRow{"pagoda_a4", ChartLayout::Pagoda, QPageSize::A4,
                                                  5, false, "842 x 595 pts (A4)"},
                                           PdfRow{"pagoda_a3_all", ChartLayout::Pagoda,
                                                  QPageSize::A3, 0, true, "1191 x 842 pts (A3)"},
                                           PdfRow{"ouyang_a4_all", ChartLayout::Ouyang,
                                                  QPageSize::A4, 0, false, "595 x 842 pts (A4)"},
                                           PdfRow{"ouyang_a3_eight", ChartLayout::Ouyang,
                                                  QPageSize::A3, 8, true, "842 x 1191 pts (A3)"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ExportTest, PngFollowsTheResolutionAndRefusesGiants) {
  ChartOptions options;
  options.pngDpi = 192;
  QString error;
  ASSERT_TRUE(ExportChart(book, options, Path("chart.png"), &error)) << error.toStdString();
  const std::unique_ptr<BuiltChart> chart = BuiltChart::Build(book, options, nullptr);
  const QSize size = QImageReader(Path("chart.png")).size();
  EXPECT_EQ(size.width(), static_cast<int>(std::ceil(chart->Scene().Bounds().width() * 2)));
  EXPECT_EQ(size.height(), static_cast<int>(std::ceil(chart->Scene().Bounds().height() * 2)));

  COperationClanbook wide;
  charttest::WideBook(wide, 20000);
  options.generations = 0;
  options.pngDpi = 300;
  error.clear();
  EXPECT_FALSE(ExportChart(wide, options, Path("wide.png"), &error));
  EXPECT_TRUE(error.contains(QString::number(kMaxPngPixels))) << error.toStdString();
  EXPECT_FALSE(QFile::exists(Path("wide.png")));
}

TEST_F(ExportTest, SvgIsOneDrawingWithTheNames) {
  ChartOptions options;
  options.layout = ChartLayout::Ouyang;
  options.generations = 7;
  QString error;
  ASSERT_TRUE(ExportChart(book, options, Path("chart.svg"), &error)) << error.toStdString();
  QFile file(Path("chart.svg"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString svg = QString::fromUtf8(file.readAll());
  EXPECT_EQ(svg.count(QStringLiteral("<svg")), 1);
  for (MemberNode* m : charttest::Charted(book.Root(), 7))
    EXPECT_TRUE(svg.contains(QString::fromStdU16String(m->name)));
}

// ---- SVG written a piece at a time -----------------------------------

// What an SVG draws, read back with an XML reader: the texts in order of
// their words, the number of rectangles; empty when it does not parse.
struct SvgContent {
  QStringList texts;
  int rects = 0;
  int documents = 0;
  bool wellFormed = false;
};

SvgContent ReadSvg(const QByteArray& bytes) {
  SvgContent content;
  QXmlStreamReader xml(bytes);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("svg")) ++content.documents;
    if (xml.name() == QLatin1String("rect")) ++content.rects;
    if (xml.name() == QLatin1String("text"))
      content.texts.push_back(xml.readElementText(QXmlStreamReader::IncludeChildElements));
  }
  content.wellFormed = !xml.hasError();
  content.texts.sort();
  return content;
}

struct SvgRow {
  const char* label;
  ChartLayout layout;
  int shape;  // 0: random, 1: one wide family, 2: one long line
  int members;
};

class SvgPiecesTest : public ExportTest, public ::testing::WithParamInterface<SvgRow> {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    const SvgRow& row = GetParam();
    if (row.shape == 0) charttest::RandomBook(big, row.members, 30, 11);
    if (row.shape == 1) charttest::WideBook(big, row.members - 1);
    if (row.shape == 2) charttest::DeepBook(big, row.members);
  }
  static QByteArray Write(const BuiltChart& chart, int boxes, std::size_t* largest = nullptr,
                          std::int64_t* heapGrowth = nullptr) {
    QByteArray out;
    const std::int64_t before = HeapInUse();
    std::int64_t most = 0;
    std::size_t biggest = 0;
    const bool ok = WriteChartSvg(
        chart,
        [&](std::string_view piece) {
          most = std::max(most, HeapInUse() - before - static_cast<std::int64_t>(out.capacity()));
          biggest = std::max(biggest, piece.size());
          out.append(piece.data(), static_cast<qsizetype>(piece.size()));
          return true;
        },
        boxes);
    EXPECT_TRUE(ok);
    if (largest) *largest = biggest;
    if (heapGrowth) *heapGrowth = most;
    return out;
  }
  // Bytes the allocator has handed out; 0 where it does not say (sanitizers).
  static std::int64_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
  }
  COperationClanbook big;
};

// Written in pieces of a few boxes, the drawing holds every text and box of
// the drawing made in one piece, once; and while it is written the memory
// in use grows by a small part of the text, not by the whole of it.
TEST_P(SvgPiecesTest, PiecesDrawTheWholeChartOnceInLittleMemory) {
  ChartOptions options;
  options.layout = GetParam().layout;
  options.generations = 0;
  const std::unique_ptr<BuiltChart> chart = BuiltChart::Build(big, options, nullptr);
  ASSERT_TRUE(chart);
  const SvgContent whole = ReadSvg(Write(*chart, std::numeric_limits<int>::max()));
  ASSERT_TRUE(whole.wellFormed);
  ASSERT_EQ(whole.documents, 1);

  std::int64_t growth = 0;
  const QByteArray text = Write(*chart, 100, nullptr, &growth);
  const SvgContent pieces = ReadSvg(text);
  ASSERT_TRUE(pieces.wellFormed);
  EXPECT_EQ(pieces.documents, 1);
  EXPECT_EQ(pieces.rects, whole.rects);
  EXPECT_EQ(pieces.texts, whole.texts);
  for (MemberNode* m : charttest::Charted(big.Root(), 0))
    ASSERT_TRUE(pieces.texts.contains(QString::fromStdU16String(m->name)));
  if (HeapInUse() == 0) GTEST_SKIP() << "the allocator does not tell its use";
  EXPECT_LT(growth, text.size() / 4) << "of " << text.size() << " bytes";
}

INSTANTIATE_TEST_SUITE_P(Charts, SvgPiecesTest,
                         ::testing::Values(SvgRow{"pagoda_random", ChartLayout::Pagoda, 0, 4000},
                                           SvgRow{"pagoda_wide_family", ChartLayout::Pagoda, 1,
                                                  3000},
                                           SvgRow{"pagoda_long_line", ChartLayout::Pagoda, 2, 1500},
                                           SvgRow{"ouyang_random", ChartLayout::Ouyang, 0, 3000}),
                         [](const auto& info) { return std::string(info.param.label); });

// A picture too large for PNG names the limit it breaks: the number of
// pixels, or the length of a side however few the pixels.
TEST_F(ExportTest, PngNamesTheLimitItBreaks) {
  const struct {
    const char* label;
    int children;
    int dpi;
    std::int64_t limit;
    std::int64_t notNamed;
  } rows[] = {{"too_many_pixels", 20000, 300, kMaxPngPixels, kMaxPngSide},
              {"too_wide", 40000, 1, kMaxPngSide, kMaxPngPixels}};
  for (const auto& row : rows) {
    COperationClanbook wide;
    charttest::WideBook(wide, row.children);
    ChartOptions options;
    options.generations = 0;
    options.pngDpi = row.dpi;
    QString error;
    EXPECT_FALSE(ExportChart(wide, options, Path("wide.png"), &error)) << row.label;
    EXPECT_TRUE(error.contains(QString::number(row.limit))) << error.toStdString();
    EXPECT_FALSE(error.contains(QString::number(row.notNamed))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(Path("wide.png")));
  }
}

TEST_F(ExportTest, RefusalsSayWhy) {
  struct Row {
    const char* label;
    QString fromName;
    QString file;
    bool emptyBook;
    QString expected;
  };
  const Row rows[] = {
      {"unknown member", QStringLiteral("无此人"), QStringLiteral("a.pdf"), false,
       QStringLiteral("无此人")},
      {"unknown suffix", QString(), QStringLiteral("a.doc"), false, QStringLiteral(".pdf")},
      {"empty book", QString(), QStringLiteral("a.pdf"), true, QStringLiteral("空")},
      {"unwritable", QString(), QStringLiteral("no/such/dir/a.pdf"), false,
       QStringLiteral("no/such/dir/a.pdf")},
  };
  for (const Row& row : rows) {
    COperationClanbook empty;
    ChartOptions options;
    options.fromName = row.fromName;
    QString error;
    EXPECT_FALSE(ExportChart(row.emptyBook ? empty : book, options, dir.filePath(row.file), &error))
        << row.label;
    EXPECT_TRUE(error.contains(row.expected)) << row.label << ": " << error.toStdString();
  }
}

// Charts and statistics pictures go through the writer every save uses: a
// pipe, a device or a link to one is refused with the reason and stays what
// it was, and another user's file keeps its owner or is left alone.
TEST_F(ExportTest, TargetsThatAreNoFileOrSomeoneElsesAreKept) {
  const QByteArray pipe = QFile::encodeName(Path("pipe.svg"));
  ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(Path("pipe.svg"), Path("to-pipe.pdf")));
  const bool device =
      ::mknod(QFile::encodeName(Path("null.png")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  const QString notRegular = QStringLiteral("不是普通文件");
  struct Row {
    const char* name;
    bool statistics;
  };
  std::vector<Row> rows = {{"pipe.svg", false}, {"to-pipe.pdf", false}, {"pipe.svg", true}};
  if (device) rows.push_back({"null.png", false});
  ChartOptions options;
  options.generations = 2;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name) + (row.statistics ? " statistics" : " chart"));
    QString error;
    EXPECT_FALSE(row.statistics ? ExportStatistics(ComputeStatistics(book), Path(row.name), &error)
                                : ExportChart(book, options, Path(row.name), &error));
    EXPECT_TRUE(error.contains(notRegular)) << error.toStdString();
  }
  struct stat info {};
  ASSERT_EQ(::lstat(pipe.constData(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  if (device) {
    ASSERT_EQ(::lstat(QFile::encodeName(Path("null.png")).constData(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
  }

  // Another user's file in a shared folder.
  const QByteArray theirs = QFile::encodeName(Path("theirs.svg"));
  {
    QFile file(Path("theirs.svg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("their chart");
  }
  ASSERT_EQ(::chmod(theirs.constData(), 0666), 0);
  const uid_t other = 54321;
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(theirs.constData(), other, other), 0);
    QString error;
    ASSERT_TRUE(ExportChart(book, options, Path("theirs.svg"), &error)) << error.toStdString();
    ASSERT_EQ(::stat(theirs.constData(), &info), 0);
    EXPECT_EQ(info.st_uid, other);
    EXPECT_EQ(info.st_gid, other);
  } else {
    GTEST_SKIP() << "giving a file to another user needs root";
  }
}

TEST(ParseChartLayout, ReadsBothNamesOfEachLayout) {
  struct Row {
    const char* text;
    bool ok;
    ChartLayout layout;
  };
  for (const Row& row :
       {Row{"pagoda", true, ChartLayout::Pagoda}, Row{"吊线图", true, ChartLayout::Pagoda},
        Row{" Ouyang ", true, ChartLayout::Ouyang}, Row{"欧式", true, ChartLayout::Ouyang},
        Row{"tree", false, ChartLayout::Pagoda}}) {
    ChartLayout layout = ChartLayout::Pagoda;
    EXPECT_EQ(ParseChartLayout(QString::fromUtf8(row.text), &layout), row.ok) << row.text;
    if (row.ok) {
      EXPECT_EQ(layout, row.layout) << row.text;
    }
  }
}

// A name from a GEDCOM file may hold control characters (a terminal's escape
// sequences) and code points XML forbids; the SVG must stay well-formed XML
// and show them, its <title> included.
TEST_F(ExportTest, SvgStaysXmlWhateverTheNamesHold) {
  COperationClanbook odd;
  const std::u16string root = u"\x1B[31mRED\x1B]0;pwned\x07 x";
  MemberNode* father = charttest::Add(odd, nullptr, root, 1900);
  charttest::Add(odd, father,
                 std::u16string(u"a\xFFFF"
                                u"b\x7F") +
                     char16_t(0xD800) + u"c\x85",
                 1930);
  for (const ChartLayout layout : {ChartLayout::Pagoda, ChartLayout::Ouyang}) {
    SCOPED_TRACE(static_cast<int>(layout));
    ChartOptions options;
    options.layout = layout;
    QString error;
    ASSERT_TRUE(ExportChart(odd, options, Path("odd.svg"), &error)) << error.toStdString();
    QFile file(Path("odd.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString title;
    while (!xml.atEnd()) {
      xml.readNext();
      if (xml.isStartElement() && xml.name() == QLatin1String("title"))
        title = xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    EXPECT_EQ(title, QStringLiteral("\u241B[31mRED\u241B]0;pwned\u2407 x"));
  }
}

}  // namespace
