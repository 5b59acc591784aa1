// The whole book set into a recorder, measured: every member's 行传 once, in
// 世 order; every text inside its page and apart from every other; the 目录
// naming the pages the parts begin on; every index entry's pages holding the
// name; folded sheets holding two pages each; the first member by name.
#include "BookTestBooks.h"
#include "book/BookExport.h"
#include "book/Flow.h"
#include "book/LifeRecord.h"
#include "book/PageRecorder.h"
#include "book/Typeset.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace book;
using booktest::ColumnsOf;
using booktest::SetColumn;
using Kind = DrawnItem::Kind;

namespace {

class BookTest : public ::testing::Test {
protected:
  void SetUp() override {
    font = booktest::TestFont();
    if (!font) GTEST_SKIP() << "no CJK face installed (fonts-arphic-uming)";
    small = booktest::MakeSmallBook(genealogy);
  }
  // Sets the book into `recorder`; fails the test when it cannot.
  int Set(const BookOptions& options, PageRecorder& recorder) {
    QString error;
    const int pages = TypesetBook(genealogy, options, *font, recorder, &error);
    EXPECT_GT(pages, 0) << error.toStdString();
    return pages;
  }
  std::shared_ptr<const BookFont> font;
  COperationClanbook genealogy;
  booktest::SmallBook small;
};

// The first page (from 0) of each part, by its outline entry.
std::map<QString, int> PartsOf(const PageRecorder& recorder) {
  std::map<QString, int> parts;
  for (std::size_t p = 0; p < recorder.Pages().size(); ++p)
    for (const DrawnItem& item : recorder.Pages()[p].items)
      if (item.kind == Kind::kBookmark && item.size == 0) parts[item.text] = static_cast<int>(p);
  return parts;
}

// The body text of pages [from, to): the columns of body size, in order.
std::vector<std::pair<int, SetColumn>> BodyColumns(const BookFont& font,
                                                   const PageRecorder& recorder, int from, int to,
                                                   double size = TypeSizes().body) {
  std::vector<std::pair<int, SetColumn>> out;
  for (int p = from; p < to; ++p)
    for (const SetColumn& column : ColumnsOf(font, recorder.Pages()[p]))
      if (column.size == size) out.push_back({p, column});
  return out;
}

// The 行传 as they were set: a paragraph starts at the head of the body, its
// later columns two cells in.
std::vector<std::pair<int, QString>> Paragraphs(const BookFont& font, const BookOptions& options,
                                                const PageRecorder& recorder, int from, int to) {
  PageFrame frame(font, options, {});
  std::vector<std::pair<int, QString>> out;
  for (const auto& [page, column] : BodyColumns(font, recorder, from, to)) {
    const QRectF body = frame.Body(page + 1);
    const double offset = column.vertical ? column.top - body.top() : column.x - body.left();
    if (std::abs(offset) < 0.01 || out.empty())
      out.push_back({page, column.text});
    else
      out.back().second += column.text;
  }
  return out;
}

std::vector<const MemberNode*> ByGeneration(const MemberNode* start) {
  std::vector<const MemberNode*> all{start};
  for (std::size_t k = 0; k < all.size(); ++k)
    for (const MemberNode* c = all[k]->firstChild; c; c = c->nextSibling) all.push_back(c);
  return all;
}

TEST_F(BookTest, EveryMemberHasOneRecordInGenerationOrder) {
  COperationClanbook large;
  booktest::MakeLargeBook(large, 600);
  const struct {
    const char* what;
    COperationClanbook* book;
    bool horizontal;
    Paper paper;
    TableLayout layout;
  } rows[] = {
      {"small, 竖排", &genealogy, false, Paper::kA4, TableLayout::kOuyang},
      {"small, lines", &genealogy, true, Paper::kA4, TableLayout::kSu},
      {"large, 竖排, A3", &large, false, Paper::kA3, TableLayout::kPagoda},
      {"large, lines", &large, true, Paper::kA4, TableLayout::kOuyang},
  };
  for (const auto& row : rows) {
    BookOptions options;
    options.horizontal = row.horizontal;
    options.paper = row.paper;
    options.layout = row.layout;
    PageRecorder recorder;
    QString error;
    ASSERT_GT(TypesetBook(*row.book, options, *font, recorder, &error), 0) << error.toStdString();
    const std::map<QString, int> parts = PartsOf(recorder);
    const int from = parts.at(BookWords::Records());
    const int to = parts.at(BookWords::Index());
    const auto set = Paragraphs(*font, options, recorder, from, to);
    BookContext context(*row.book, options);
    const std::vector<const MemberNode*> members = ByGeneration(row.book->Root());
    std::map<QString, int> seen;
    for (const auto& [page, text] : set) ++seen[text];
    std::vector<std::size_t> order;
    for (const MemberNode* m : members) {
      const QString expected =
          booktest::Shown(LifeRecord::Paragraph(*m, context), !options.horizontal);
      EXPECT_EQ(seen[expected], 1) << row.what << ": " << expected.toStdString();
      for (std::size_t i = 0; i < set.size(); ++i)
        if (set[i].second == expected) order.push_back(i);
    }
    EXPECT_EQ(set.size(), members.size()) << row.what;
    // 世 after 世: the walk by 世 is in the book's order, up to the order
    // within a 世 (the tables').
    ASSERT_EQ(order.size(), members.size());
    std::vector<int> depthOf(set.size());
    for (std::size_t k = 0; k < members.size(); ++k)
      depthOf[order[k]] = row.book->GetGeneration(members[k]);
    for (std::size_t i = 1; i < set.size(); ++i) EXPECT_LE(depthOf[i - 1], depthOf[i]) << row.what;
  }
}

TEST_F(BookTest, TextsStayInsideTheirPageAndApart) {
  const struct {
    bool horizontal;
    Paper paper;
  } rows[] = {{false, Paper::kA4}, {true, Paper::kA4}, {false, Paper::kA3}};
  for (const auto& row : rows) {
    BookOptions options;
    options.horizontal = row.horizontal;
    options.paper = row.paper;
    PageRecorder recorder;
    Set(options, recorder);
    for (std::size_t p = 0; p < recorder.Pages().size(); ++p) {
      const DrawnPage& page = recorder.Pages()[p];
      EXPECT_NEAR(page.size.width(), PageSizeOf(row.paper).width(), 0.01);
      std::vector<QRectF> cells;
      for (const DrawnItem& item : page.items) {
        EXPECT_EQ(item.text.indexOf(QChar(kNameJoiner)), -1);
        for (const QRectF& cell : booktest::CellsOf(*font, item)) cells.push_back(cell);
      }
      for (std::size_t a = 0; a < cells.size(); ++a) {
        EXPECT_TRUE(QRectF(QPointF(0, 0), page.size).contains(cells[a])) << "page " << p + 1;
        for (std::size_t b = a + 1; b < cells.size(); ++b)
          EXPECT_FALSE(cells[a].adjusted(0.01, 0.01, -0.01, -0.01).intersects(cells[b]))
              << "page " << p + 1 << " horizontal " << row.horizontal;
      }
    }
  }
}

TEST_F(BookTest, PartsComeInOrderAndTheContentsNameTheirPages) {
  for (bool horizontal : {false, true}) {
    BookOptions options;
    options.horizontal = horizontal;
    PageRecorder recorder;
    Set(options, recorder);
    const std::map<QString, int> parts = PartsOf(recorder);
    const QStringList order = {BookWords::Cover(),    BookWords::Preface(), BookWords::Rules(),
                               BookWords::Precepts(), BookWords::Poem(),    BookWords::Contents(),
                               BookWords::Tables(),   BookWords::Records(), BookWords::Index()};
    for (qsizetype i = 0; i < order.size(); ++i) {
      ASSERT_TRUE(parts.count(order[i])) << order[i].toStdString();
      if (i) {
        EXPECT_LT(parts.at(order[i - 1]), parts.at(order[i]));
      }
    }
    // Each entry of the 目录 is a part's name and, in the same column (on
    // the same line), the number of its first page.
    const DrawnPage& contents = recorder.Pages()[parts.at(BookWords::Contents())];
    int entries = 0;
    for (const DrawnItem& name : contents.items) {
      if (!parts.count(name.text) || name.size != TypeSizes().body) continue;
      QString number;
      for (const DrawnItem& item : contents.items)
        if (&item != &name && item.size == name.size &&
            (horizontal ? std::abs(item.at.y() - name.at.y()) < 0.01
                        : std::abs(item.at.x() - name.at.x()) < 0.01))
          number = item.text;
      EXPECT_EQ(number, flow::Number(parts.at(name.text) + 1, !horizontal))
          << name.text.toStdString();
      ++entries;
    }
    EXPECT_EQ(entries, order.size() - 2);
    // 世 by 世 in the outline, under the 世系录.
    QStringList generations;
    for (const DrawnPage& page : recorder.Pages())
      for (const DrawnItem& item : page.items)
        if (item.kind == Kind::kBookmark && item.size == 1) generations << item.text;
    QStringList expected;
    for (int g = 1; g <= 4; ++g) expected << BookWords::Generation(flow::Number(g, !horizontal));
    EXPECT_EQ(generations, expected);
  }
}

TEST_F(BookTest, EveryIndexEntryLeadsToPagesThatHoldTheName) {
  COperationClanbook large;
  booktest::MakeLargeBook(large, 300);
  for (COperationClanbook* book : {&genealogy, &large}) {
    for (bool horizontal : {false, true}) {
      BookOptions options;
      options.horizontal = horizontal;
      PageRecorder recorder;
      QString error;
      const int pages = TypesetBook(*book, options, *font, recorder, &error);
      ASSERT_GT(pages, 0) << error.toStdString();
      std::map<QString, int> number;
      for (int p = 1; p <= pages; ++p) number[flow::Number(p, !horizontal)] = p;
      const auto textOf = [&](int page) {
        QString all;
        for (const DrawnItem& item : recorder.Pages()[page - 1].items) all += item.text;
        return all;
      };
      const std::map<QString, int> parts = PartsOf(recorder);
      const auto columns = BodyColumns(*font, recorder, parts.at(BookWords::Index()), pages);
      const QString gap = horizontal ? QStringLiteral(" ") : QStringLiteral("\u3000");
      QStringList names;
      for (const auto& [page, column] : columns) {
        const QStringList fields = {column.text.section(gap, 0, 0), column.text.section(gap, 1, 1),
                                    column.text.section(gap, 2)};
        ASSERT_FALSE(fields[2].isEmpty()) << column.text.toStdString();
        const QString& name = fields[0];
        names << name;
        EXPECT_EQ(fields[1], BookWords::Strokes(flow::Number(NameStrokes(name), !horizontal)));
        // A wife's given name in brackets is the index's, not the record's.
        const QString shown =
            name.left(name.indexOf(u'（') < 0 ? name.size() : name.indexOf(u'（'));
        const QStringList numbers =
            fields[2].split(horizontal ? QStringLiteral(", ") : QStringLiteral("、"));
        ASSERT_FALSE(numbers.isEmpty());
        for (const QString& n : numbers) {
          ASSERT_TRUE(number.count(n)) << n.toStdString();
          EXPECT_TRUE(textOf(number[n]).contains(shown))
              << name.toStdString() << " on page " << number[n];
        }
      }
      // Every member and every wife, in the index's order.
      qsizetype expected = 0;
      for (const MemberNode* m : ByGeneration(book->Root()))
        expected += 1 + static_cast<qsizetype>(m->extra.Record().spouses.size());
      EXPECT_EQ(names.size(), expected);
      for (qsizetype i = 1; i < names.size(); ++i)
        EXPECT_FALSE(IndexBefore(names[i], names[i - 1])) << names[i].toStdString();
    }
  }
}

TEST_F(BookTest, FoldedSheetsHoldTwoPagesWithTheBanxinAtTheFold) {
  BookOptions flat;
  PageRecorder pages;
  const int count = Set(flat, pages);
  BookOptions options;
  options.paper = Paper::kA3Folded;
  PageRecorder sheets;
  EXPECT_EQ(Set(options, sheets), count);
  ASSERT_EQ(sheets.Pages().size(), static_cast<std::size_t>((count + 1) / 2));
  const QSizeF a3 = PageSizeOf(Paper::kA3);
  const double right = a3.height() - PageSizeOf(Paper::kA3Folded).width();
  for (int p = 0; p < count; ++p) {
    const DrawnPage& sheet = sheets.Pages()[p / 2];
    EXPECT_NEAR(sheet.size.width(), a3.height(), 0.01);
    const QPointF offset(p % 2 ? 0 : right, 0);
    // The page's items, moved to its half, in order.
    const std::vector<DrawnItem>& items = pages.Pages()[p].items;
    const std::size_t first = p % 2 ? pages.Pages()[p - 1].items.size() : 0;
    ASSERT_GE(sheet.items.size(), first + items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
      const DrawnItem& moved = sheet.items[first + i];
      EXPECT_EQ(moved.text, items[i].text);
      if (items[i].kind != Kind::kBookmark && items[i].kind != Kind::kBox) {
        EXPECT_NEAR(moved.at.x(), items[i].at.x() + offset.x(), 0.01);
        EXPECT_NEAR(moved.at.y(), items[i].at.y(), 0.01);
      }
    }
    // The 版心's words (the frame's size) stand by the middle of the sheet.
    if (p == 0) continue;
    for (const DrawnItem& item : items)
      if (item.kind == Kind::kVertical && item.size == 10) {
        EXPECT_LT(std::abs(item.at.x() + offset.x() - a3.height() / 2), 40) << p;
      }
  }
}

TEST_F(BookTest, TheFirstMemberIsChosenByNameAndCountedFromTheRoot) {
  BookOptions options;
  options.fromName = QStringLiteral("李传枝");
  PageRecorder recorder;
  Set(options, recorder);
  QStringList generations;
  for (const DrawnPage& page : recorder.Pages())
    for (const DrawnItem& item : page.items)
      if (item.kind == Kind::kBookmark && item.size == 1) generations << item.text;
  EXPECT_EQ(generations,
            (QStringList{BookWords::Generation(NumberText(2)), BookWords::Generation(NumberText(3)),
                         BookWords::Generation(NumberText(4))}));

  options.fromName = QStringLiteral("无此人");
  PageRecorder none;
  QString error;
  EXPECT_EQ(TypesetBook(genealogy, options, *font, none, &error), -1);
  EXPECT_TRUE(error.contains(QStringLiteral("无此人"))) << error.toStdString();
  EXPECT_TRUE(none.Pages().empty());

  COperationClanbook empty;
  EXPECT_EQ(TypesetBook(empty, BookOptions(), *font, none, &error), -1);
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(BookTest, StoppingSaysSoAndAsksBetweenPages) {
  PageRecorder recorder;
  QString error;
  std::vector<int> asked;
  const auto keepGoing = [&](int done) {
    if (done > 0) asked.push_back(done);
    return done < 3;
  };
  EXPECT_EQ(TypesetBook(genealogy, BookOptions(), *font, recorder, &error, keepGoing), -1);
  EXPECT_EQ(error, BookWords::Stopped());
  EXPECT_EQ(asked, (std::vector<int>{1, 2, 3}));
}

}  // namespace
