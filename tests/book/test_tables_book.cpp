// The tables as the book sets them, in its face, with each member's own
// short record and the page numbers in Chinese numerals: a generated clan of
// some thousands, every layout.
#include "BookTestBooks.h"
#include "book/GenerationTables.h"
#include "book/LifeRecord.h"
#include "book/PageRecorder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using book::DrawnItem;
using book::TableLayout;

constexpr int kFirstPageNumber = 12;
const QRectF kBody(36, 48, 470, 720);

class BookTables : public ::testing::TestWithParam<TableLayout> {
protected:
  void SetUp() override {
    m_font = booktest::TestFont();
    if (!m_font) GTEST_SKIP() << "no CJK face installed (fonts-arphic-uming)";
    m_options.layout = GetParam();
  }
  void Check();

  COperationClanbook m_book;
  MemberNode* m_root = nullptr;
  std::shared_ptr<const book::BookFont> m_font;
  book::BookOptions m_options;
};

TEST_P(BookTables, SetAGeneratedClanWholeApartAndInsideTheBody) {
  m_root = booktest::MakeLargeBook(m_book, 1500, 6);
  Check();
}

// The small book's records, wives and all, and below its living member a
// line that goes on past a table, a foreign name among it, turned.
TEST_P(BookTables, SetTheSmallBookWithAForeignNameWhole) {
  const booktest::SmallBook small = booktest::MakeSmallBook(m_book);
  m_root = small.root;
  MemberNode* fifth = booktest::Add(m_book, small.living, u"李永年", 1990);
  booktest::Add(m_book, fifth, u"李Anna", 2015);
  booktest::Add(m_book, booktest::Add(m_book, fifth, u"李长安", 2018), u"李思远", 2040);
  Check();
}

void BookTables::Check() {
  const book::BookContext context(m_book, m_options);
  const book::GenerationTables tables(*m_root, 1, *m_font, context, kBody.size(), {});
  ASSERT_GT(tables.PageCount(), 1);

  std::map<QString, const MemberNode*> byName;
  std::map<const MemberNode*, int> visits, depth;
  std::vector<const MemberNode*> walk{m_root};
  depth[m_root] = 0;
  while (!walk.empty()) {
    const MemberNode* m = walk.back();
    walk.pop_back();
    byName[QString::fromStdU16String(m->name)] = m;
    for (const MemberNode* c = m->firstChild; c; c = c->nextSibling) {
      depth[c] = depth[m] + 1;
      walk.push_back(c);
    }
  }
  std::map<QString, int> pageOfNumber;
  for (int i = 0; i < tables.PageCount(); ++i)
    pageOfNumber[QStringLiteral("接第%1页").arg(book::NumberText(kFirstPageNumber + i))] = i;

  book::PageRecorder recorder;
  for (int i = 0; i < tables.PageCount(); ++i) {
    recorder.BeginPage(QSizeF(595, 842));
    tables.DrawPage(i, recorder, kBody, kFirstPageNumber);
    recorder.EndPage();
    tables.ForEachOnPage(i, [&](const MemberNode& m, int generation) {
      ++visits[&m];
      EXPECT_EQ(generation, depth[&m] + 1);
    });
  }
  for (const auto& [member, d] : depth) EXPECT_EQ(visits[member], 1);
  const bool latin = byName.count(QStringLiteral("李Anna")) > 0;
  int turned = 0;

  constexpr double e = 1e-6;
  const double band = kBody.height() / 5;
  std::map<const MemberNode*, int> names;
  int marks = 0;
  for (std::size_t p = 0; p < recorder.Pages().size(); ++p) {
    const book::DrawnPage& page = recorder.Pages()[p];
    std::vector<std::pair<QRectF, std::size_t>> cells;
    std::vector<QRectF> lines;
    for (std::size_t k = 0; k < page.items.size(); ++k) {
      const DrawnItem& item = page.items[k];
      EXPECT_FALSE(item.text.contains(book::kNameJoiner));
      if (item.kind == DrawnItem::Kind::kTurned) {
        EXPECT_EQ(item.text, QStringLiteral("Anna"));
        ++turned;
      }
      if (item.kind == DrawnItem::Kind::kLine)
        lines.push_back(QRectF(item.at, item.to).normalized().adjusted(-e, -e, e, e));
      for (const QRectF& cell : booktest::CellsOf(*m_font, item)) cells.emplace_back(cell, k);
    }
    for (const booktest::SetColumn& column : booktest::ColumnsOf(*m_font, page)) {
      if (byName.count(column.text)) ++names[byName[column.text]];
    }
    for (const booktest::SetColumn& column : booktest::ColumnsOf(*m_font, page)) {
      const auto mark = pageOfNumber.find(column.text);
      if (mark == pageOfNumber.end()) continue;
      ++marks;
      // Whose mark it is: the name over it in its column, who heads a table on that page.
      QString member;
      for (const auto& c : booktest::ColumnsOf(*m_font, page))
        if (byName.count(c.text) && std::abs(c.x - column.x) < e && c.top < column.top &&
            c.top > column.top - band)
          member = c.text;
      ASSERT_FALSE(member.isEmpty());
      QStringList heads;
      for (const auto& c : booktest::ColumnsOf(*m_font, recorder.Pages()[mark->second]))
        if (byName.count(c.text) && c.top < kBody.top() + band) heads << c.text;
      EXPECT_TRUE(heads.contains(member));
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const QRectF inner = cells[i].first.adjusted(e, e, -e, -e);
      EXPECT_TRUE(kBody.adjusted(-e, -e, e, e).contains(cells[i].first));
      EXPECT_EQ(std::floor((inner.top() - kBody.top()) / band),
                std::floor((inner.bottom() - kBody.top()) / band));
      for (std::size_t j = i + 1; j < cells.size(); ++j)
        if (cells[j].second != cells[i].second) {
          EXPECT_FALSE(inner.intersects(cells[j].first));
        }
      for (const QRectF& line : lines) EXPECT_FALSE(inner.intersects(line)) << "page " << p;
    }
  }
  int heads = 0;
  for (const auto& [member, d] : depth) {
    const bool head = d > 0 && d % 4 == 0 && member->firstChild;
    heads += head;
    EXPECT_EQ(names[member], head ? 2 : 1) << QString::fromStdU16String(member->name).toStdString();
  }
  EXPECT_EQ(marks, heads);
  EXPECT_EQ(turned, latin ? 1 : 0);
  EXPECT_GT(heads, 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, BookTables,
                         ::testing::Values(TableLayout::kOuyang, TableLayout::kSu,
                                           TableLayout::kPagoda));

}  // namespace
