// The typesetting every part shares, measured on a recorder: the paper, the
// frame with its 版心 at the fold, Latin turned and digits made numerals in
// columns, punctuation kept off the head and foot of a column, names never
// split by a column or a page, and two pages folded onto one A3 sheet.
#include "BookTestBooks.h"
#include "book/Flow.h"
#include "book/Folded.h"
#include "book/LifeRecord.h"
#include "book/PageRecorder.h"
#include "book/Typeset.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace book;
using booktest::ColumnsOf;
using booktest::SetColumn;
using Kind = DrawnItem::Kind;

namespace {

class TypesetTest : public ::testing::Test {
protected:
  void SetUp() override {
    font = booktest::TestFont();
    if (!font) GTEST_SKIP() << "no CJK face installed (fonts-arphic-uming)";
  }
  std::shared_ptr<const BookFont> font;
};

const QString kJoiner = QString(QChar(kNameJoiner));

QString Join(const QString& name) {
  QString out;
  for (qsizetype i = 0; i < name.size(); ++i) out += (i ? kJoiner : QString()) + name[i];
  return out;
}

// `count` plain characters that none of the rules touch.
QString Filler(int count) {
  return QString(count, QChar(u'田'));
}

TEST(PageSize, PaperGivesTheHalfLeaf) {
  const struct {
    Paper paper;
    QSizeF size;
  } rows[] = {{Paper::kA4, {595.28, 841.89}},
              {Paper::kA3, {841.89, 1190.55}},
              {Paper::kA3Folded, {595.28, 841.89}}};
  for (const auto& row : rows) {
    EXPECT_NEAR(PageSizeOf(row.paper).width(), row.size.width(), 0.01);
    EXPECT_NEAR(PageSizeOf(row.paper).height(), row.size.height(), 0.01);
  }
}

TEST_F(TypesetTest, BanxinStandsAtTheFoldWithTheNumberInNumerals) {
  BookOptions options;
  PageFrame frame(*font, options, QStringLiteral("李氏族谱"));
  PageRecorder recorder;
  for (int page : {1, 2, 123}) {
    frame.Begin(recorder, page, QStringLiteral("世系录"));
    recorder.EndPage();
  }
  const QSizeF size = frame.PageSize();
  for (int index = 0; index < 3; ++index) {
    const int number = index == 2 ? 123 : index + 1;
    const QRectF body = frame.Body(number);
    EXPECT_TRUE(QRectF(QPointF(0, 0), size).contains(body));
    QStringList texts;
    for (const DrawnItem& item : recorder.Pages()[index].items) {
      if (item.kind != Kind::kVertical) continue;
      texts << item.text;
      // Odd pages fold at the left edge, even pages at the right.
      if (number % 2)
        EXPECT_LT(item.at.x(), body.left()) << number;
      else
        EXPECT_GT(item.at.x(), body.right()) << number;
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("李氏族谱")));
    EXPECT_TRUE(texts.contains(QStringLiteral("世系录")));
    EXPECT_TRUE(texts.contains(NumberText(number))) << texts.join(u'|').toStdString();
  }
  // Facing pages' bodies are mirrored about the page's middle.
  EXPECT_NEAR(frame.Body(1).left(), size.width() - frame.Body(2).right(), 0.01);

  options.horizontal = true;
  PageFrame flat(*font, options, QStringLiteral("李氏族谱"));
  PageRecorder lines;
  flat.Begin(lines, 7, QStringLiteral("世系录"));
  bool numberAtFoot = false;
  for (const DrawnItem& item : lines.Pages()[0].items)
    if (item.kind == Kind::kHorizontal && item.text == QStringLiteral("7"))
      numberAtFoot = item.at.y() > flat.Body(7).bottom();
  EXPECT_TRUE(numberAtFoot);
}

TEST_F(TypesetTest, LatinTurnsAndDigitsBecomeNumeralsInAColumn) {
  const struct {
    QString text;
    bool vertical;
    QStringList runs;  // kind letter and text: V upright, T turned, H line
  } rows[] = {
      {QStringLiteral("1925年赴Boston经商"),
       true,
       {QStringLiteral("V一九二五年赴"), QStringLiteral("TBoston"), QStringLiteral("V经商")}},
      {QStringLiteral("用MP3听"),
       true,
       {QStringLiteral("V用"), QStringLiteral("TMP3"), QStringLiteral("V听")}},
      {QStringLiteral("1925年赴Boston经商"), false, {QStringLiteral("H1925年赴Boston经商")}},
      {Join(QStringLiteral("李传枝")) + QStringLiteral("，字茂林"),
       true,
       {QStringLiteral("V李传枝，字茂林")}},
  };
  for (const auto& row : rows) {
    PageRecorder recorder;
    recorder.BeginPage({600, 800});
    const double length = row.vertical ? SetVertical(recorder, *font, row.text, {100, 50}, 12) : 0;
    if (!row.vertical) {
      flow::Cut cut;
      flow::CutText(*font, row.text, 12, false, cut);
      flow::DrawPieces(recorder, cut, 0, static_cast<int>(cut.pieces.size()), {50, 50}, 12, false);
    }
    QStringList runs;
    double y = 50;
    for (const DrawnItem& item : recorder.Pages()[0].items) {
      runs << QString(item.kind == Kind::kVertical ? u'V'
                      : item.kind == Kind::kTurned ? u'T'
                                                   : u'H') +
                  item.text;
      if (row.vertical) {
        // Each run starts where the one before it ends.
        EXPECT_NEAR(item.at.y(), y, 0.01) << row.text.toStdString();
        y += booktest::DrawnLength(*font, item);
      }
    }
    EXPECT_EQ(runs, row.runs) << row.text.toStdString();
    if (row.vertical) {
      EXPECT_NEAR(length, y - 50, 0.01);
      EXPECT_NEAR(VerticalLength(*font, row.text, 12), length, 0.01);
    }
  }
}

// A flow of paragraphs on A4 in 竖排 or lines, recorded.
struct Flowed {
  PageRecorder recorder;
  std::vector<SetColumn> columns;  // every page's, in order
  std::vector<int> pageOf;         // of each column, from 0
};

Flowed FlowParagraphs(const BookFont& font, const QStringList& paragraphs, bool vertical,
                      double firstIndent = 0, double restIndent = 2) {
  Flowed out;
  BookOptions options;
  options.horizontal = !vertical;
  PageFrame frame(font, options, QStringLiteral("谱"));
  flow::Flow flow(out.recorder, frame, font, vertical, {});
  flow.StartPart(QStringLiteral("世系录"));
  for (const QString& p : paragraphs) flow.Paragraph(p, 12, firstIndent, restIndent);
  flow.Finish();
  for (std::size_t page = 0; page < out.recorder.Pages().size(); ++page)
    for (const SetColumn& column : ColumnsOf(font, out.recorder.Pages()[page]))
      if (column.size == 12) {
        out.columns.push_back(column);
        out.pageOf.push_back(static_cast<int>(page));
      }
  return out;
}

// How many cells the first column of a paragraph holds.
int CellsPerColumn(const BookFont& font) {
  BookOptions options;
  PageFrame frame(font, options, QStringLiteral("谱"));
  return static_cast<int>(std::floor(frame.Body(1).height() / 12 + 1e-6));
}

TEST_F(TypesetTest, PunctuationNeverHeadsOrEndsAColumn) {
  const int cells = CellsPerColumn(*font);
  const QString closing = QStringLiteral("。，、；：？！）」』》");
  const struct {
    const char* what;
    QString text;
    QString secondColumnStarts;
  } rows[] = {
      {"a stop where the column is full", Filler(cells - 1) + u'甲' + u'。' + Filler(5),
       QStringLiteral("甲。")},
      {"two closings at the break", Filler(cells - 1) + u'甲' + QStringLiteral("。」") + Filler(5),
       QStringLiteral("甲。」")},
      {"an opening in the last cell", Filler(cells - 1) + QStringLiteral("「乙」") + Filler(5),
       QStringLiteral("「乙」")},
      {"a comma after a name at the break",
       Filler(cells - 2) + Join(QStringLiteral("李传")) + u'，' + Filler(3),
       QStringLiteral("李传，")},
  };
  for (const auto& row : rows) {
    const Flowed flowed = FlowParagraphs(*font, {row.text}, true, 0, 0);
    ASSERT_GE(flowed.columns.size(), 2u) << row.what;
    EXPECT_TRUE(flowed.columns[1].text.startsWith(row.secondColumnStarts))
        << row.what << ": " << flowed.columns[1].text.toStdString();
    for (const SetColumn& column : flowed.columns) {
      EXPECT_FALSE(closing.contains(column.text.front())) << row.what;
      EXPECT_FALSE(QStringLiteral("（「『《").contains(column.text.back())) << row.what;
      EXPECT_LE(column.text.size(), cells) << row.what;
    }
    QString all;
    for (const SetColumn& column : flowed.columns) all += column.text;
    EXPECT_EQ(all, booktest::Shown(row.text, true)) << row.what;
  }
}

TEST_F(TypesetTest, NamesStayWholeAcrossColumnsAndPages) {
  const int cells = CellsPerColumn(*font);
  // Names of six characters, one after another, so that every column and
  // every page break falls where a name would be split by a plain setter.
  QStringList names;
  QString text;
  for (int i = 0; i < 800; ++i) {
    const QString name =
        QStringLiteral("欧阳") + QString::fromStdU16String(booktest::GivenName(i, 4));
    names << name;
    text += Join(name) + u'、';
  }
  for (bool vertical : {true, false}) {
    const Flowed flowed = FlowParagraphs(*font, {text}, vertical, 0, 2);
    ASSERT_GT(flowed.pageOf.back(), 1) << "the names reach a third page";
    QString all;
    for (const SetColumn& column : flowed.columns) all += column.text;
    EXPECT_EQ(all, booktest::Shown(text, vertical));
    int whole = 0;
    for (const QString& name : names)
      for (const SetColumn& column : flowed.columns) whole += column.text.count(name);
    EXPECT_EQ(whole, names.size()) << "vertical " << vertical;
    if (vertical) {
      for (const SetColumn& column : flowed.columns) EXPECT_LE(column.text.size(), cells);
    }
    for (std::size_t c = 0; c < flowed.columns.size(); ++c)
      EXPECT_FALSE(flowed.columns[c].text.startsWith(u'、'));
  }
}

TEST_F(TypesetTest, ContinuationColumnsAreIndentedAndCellsStayApart) {
  QStringList paragraphs;
  for (int i = 0; i < 30; ++i)
    paragraphs << Join(QStringLiteral("李") + QString::fromStdU16String(booktest::GivenName(i))) +
                      QStringLiteral("，") + QString::fromStdU16String(booktest::Biography(i, 150));
  for (bool vertical : {true, false}) {
    const Flowed flowed = FlowParagraphs(*font, paragraphs, vertical, 0, 2);
    BookOptions options;
    options.horizontal = !vertical;
    PageFrame frame(*font, options, QStringLiteral("谱"));
    int starts = 0;
    for (std::size_t c = 0; c < flowed.columns.size(); ++c) {
      const SetColumn& column = flowed.columns[c];
      const QRectF body = frame.Body(flowed.pageOf[c] + 1);
      const double offset = vertical ? column.top - body.top() : column.x - body.left();
      // A paragraph starts at the head; its other columns two cells in.
      EXPECT_TRUE(std::abs(offset) < 0.01 || std::abs(offset - 24) < 0.01) << offset;
      starts += std::abs(offset) < 0.01;
    }
    EXPECT_EQ(starts, paragraphs.size());
    for (const DrawnPage& page : flowed.recorder.Pages()) {
      std::vector<QRectF> cells;
      for (const DrawnItem& item : page.items)
        for (const QRectF& cell : booktest::CellsOf(*font, item)) cells.push_back(cell);
      for (std::size_t a = 0; a < cells.size(); ++a) {
        EXPECT_TRUE(QRectF(QPointF(0, 0), page.size).contains(cells[a]));
        for (std::size_t b = a + 1; b < cells.size(); ++b)
          ASSERT_FALSE(cells[a].adjusted(0.01, 0.01, -0.01, -0.01).intersects(cells[b]))
              << "vertical " << vertical;
      }
    }
  }
}

TEST(Folded, TwoPagesOnAnA3SheetWithTheirFoldsInTheMiddle) {
  PageRecorder sheets;
  FoldedSink folded(sheets);
  const QSizeF page = PageSizeOf(Paper::kA3Folded);
  for (int p = 1; p <= 3; ++p) {
    folded.BeginPage(page);
    folded.Box(QRectF(QPointF(0, 0), page), 1);
    folded.VerticalText(QString::number(p), {10, 20}, 12);
    folded.Bookmark(QString::number(p), 0);
    folded.EndPage();
  }
  folded.Finish();
  ASSERT_EQ(sheets.Pages().size(), 2u);
  const QSizeF a3 = PageSizeOf(Paper::kA3);
  const double half = a3.height() / 2;
  const struct {
    int sheet;
    int item;
    double dx;
  } rows[] = {{0, 0, a3.height() - page.width()}, {0, 3, 0}, {1, 0, a3.height() - page.width()}};
  for (const auto& row : rows) {
    const DrawnPage& sheet = sheets.Pages()[row.sheet];
    EXPECT_NEAR(sheet.size.width(), a3.height(), 0.01);
    EXPECT_NEAR(sheet.size.height(), a3.width(), 0.01);
    const DrawnItem& box = sheet.items[row.item];
    ASSERT_EQ(box.kind, Kind::kBox);
    EXPECT_NEAR(box.rect.left(), row.dx, 0.01);
    EXPECT_NEAR(sheet.items[row.item + 1].at.x(), 10 + row.dx, 0.01);
    // The odd page's left edge and the even page's right edge meet at the fold.
    EXPECT_NEAR(row.dx ? box.rect.left() : box.rect.right(), half, 0.01);
  }
  EXPECT_EQ(sheets.Pages()[0].items.size(), 6u);
  EXPECT_EQ(sheets.Pages()[1].items.size(), 3u);
}

}  // namespace
