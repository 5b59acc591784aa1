// The 世系图's tables measured, not looked at: every member once in the
// band of his 世, every 接第N页 leading to the table its member heads, text
// inside the body and clear of other text and of every line, and each layout
// joining sons to their fathers in its own way.
#include "book/GenerationTables.h"
#include "book/PageRecorder.h"
#include "model/COperationClanbook.h"

#include <gtest/gtest.h>

#include <QLineF>
#include <QRegularExpression>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <numeric>
#include <set>

namespace {

using book::DrawnItem;
using book::DrawnPage;
using book::GenerationTables;
using book::TableLayout;

constexpr int kFirstPageNumber = 7;
const QRectF kBody(40, 50, 480, 700);

// A clan built by hand, with names no two members share.
class Clan {
public:
  MemberNode* Add(MemberNode* father) {
    MemberNode& m = m_members.emplace_back();
    m.name = Name(m_members.size() - 1).toStdU16String();
    m.parent = father;
    if (father) {
      MemberNode** link = &father->firstChild;
      while (*link) link = &(*link)->nextSibling;
      *link = &m;
    }
    return &m;
  }
  MemberNode* Root() { return &m_members.front(); }
  std::deque<MemberNode>& Members() { return m_members; }

  static QString Name(std::size_t i) {
    static const QString kChars = QStringLiteral(
        "甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天地玄黄宇宙洪荒日月盈昃宿列张寒来暑往秋收冬"
        "藏");
    const auto n = static_cast<std::size_t>(kChars.size());
    return QStringLiteral("林") + kChars[(i / n) % n] + kChars[i % n];
  }

private:
  std::deque<MemberNode> m_members;
};

int Depth(const MemberNode& m) {
  int depth = 0;
  for (const MemberNode* p = m.parent; p; p = p->parent) ++depth;
  return depth;
}

// Heads a table of his own: his line goes on below the last band of one.
bool HeadsTable(const MemberNode& m) {
  return Depth(m) > 0 && Depth(m) % 4 == 0 && m.firstChild;
}

QString Joined(const QString& name) {
  QString out;
  for (QChar c : name) out += out.isEmpty() ? QString(c) : QString(book::kNameJoiner) + c;
  return out;
}

// Short records whose names carry the joiner, some far longer than a band.
QString ShortRecord(const MemberNode& m) {
  const QString name = Joined(QString::fromStdU16String(m.name));
  QString text = QStringLiteral("字") + name + QStringLiteral("，配王氏");
  if (m.name.back() % 3 == 0)
    for (int i = 0; i < 12; ++i) text += QStringLiteral("，") + name + QStringLiteral("之子");
  return text;
}

book::TableWords Words(bool records) {
  book::TableWords words;
  if (records) words.shortRecord = ShortRecord;
  words.number = [](int n) { return QString::number(n); };
  words.length = [](const QString& text, double size) {
    return static_cast<double>(text.toUcs4().size()) * size;
  };
  words.set = [](book::PageSink& sink, const QString& text, QPointF topCentre, double size) {
    sink.VerticalText(text, topCentre, size);
  };
  return words;
}

// A clan of some hundreds: three branches of uneven breadth and depth, a
// father of forty sons and a line thirty generations deep.
void Grow(Clan& clan) {
  MemberNode* root = clan.Add(nullptr);
  unsigned seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  std::vector<std::pair<MemberNode*, int>> open{{root, 0}};
  while (!open.empty() && clan.Members().size() < 500) {
    auto [father, depth] = open.front();
    open.erase(open.begin());
    const int sons = depth == 0 ? 3 : static_cast<int>(next() % 4);
    for (int i = 0; i < sons && depth < 12; ++i) open.emplace_back(clan.Add(father), depth + 1);
  }
  MemberNode* wide = root->firstChild->nextSibling;
  for (int i = 0; i < 40; ++i) clan.Add(wide);
  MemberNode* deep = root->firstChild->nextSibling->nextSibling;
  for (int depth = 2; depth <= 30; ++depth) {
    if (depth % 5 == 0) clan.Add(deep->parent);  // a younger brother now and then
    deep = clan.Add(deep);
    // A name longer than a band, where his line goes on to a table he heads.
    if (depth == 12) deep->name = u"欧阳" + std::u16string(20, u'贤') + u"之";
    if (depth == 9) {
      // A table whose head's sons spread over more than two pages.
      for (int son = 0; son < 3; ++son) {
        MemberNode* father = clan.Add(deep->parent);
        for (int i = 0; i < 30; ++i) clan.Add(father);
      }
    }
  }
}

struct Cell {
  QRectF rect;
  QString text;
};

Cell CellOf(const DrawnItem& item) {
  const double length = static_cast<double>(item.text.toUcs4().size()) * item.size;
  return {QRectF(item.at.x() - item.size / 2, item.at.y(), item.size, length), item.text};
}

bool IsLabel(const QString& text) {
  return text.startsWith(QStringLiteral("第")) && text.endsWith(QStringLiteral("世"));
}

struct Drawn {
  std::vector<DrawnPage> pages;
  std::vector<std::vector<std::pair<const MemberNode*, int>>> visited;
};

class Tables : public ::testing::TestWithParam<TableLayout> {
protected:
  void SetUp() override {
    Grow(m_clan);
    for (const MemberNode& m : m_clan.Members()) m_byName[QString::fromStdU16String(m.name)] = &m;
  }

  Drawn Draw(const GenerationTables& tables) {
    book::PageRecorder recorder;
    Drawn drawn;
    for (int i = 0; i < tables.PageCount(); ++i) {
      recorder.BeginPage(QSizeF(595, 842));
      tables.DrawPage(i, recorder, kBody, kFirstPageNumber);
      recorder.EndPage();
      auto& visited = drawn.visited.emplace_back();
      tables.ForEachOnPage(
          i, [&](const MemberNode& m, int generation) { visited.emplace_back(&m, generation); });
    }
    drawn.pages = recorder.Pages();
    return drawn;
  }

  static int Band(double y) { return static_cast<int>((y - kBody.top()) / (kBody.height() / 5)); }

  Clan m_clan;
  std::map<QString, const MemberNode*> m_byName;
};

TEST_P(Tables, PlaceEveryMemberOnceInTheBandOfHisGeneration) {
  const GenerationTables tables(*m_clan.Root(), 1, GetParam(), Words(true), kBody.size(), {});
  const Drawn drawn = Draw(tables);
  std::map<const MemberNode*, int> visits, names;
  for (std::size_t p = 0; p < drawn.pages.size(); ++p) {
    std::map<int, QString> labels;
    std::map<QString, QPointF> placed;
    for (const DrawnItem& item : drawn.pages[p].items) {
      if (item.kind != DrawnItem::Kind::kVertical) continue;
      if (IsLabel(item.text)) labels[Band(item.at.y())] = item.text;
      if (m_byName.count(item.text)) placed[item.text] = item.at;
    }
    for (const auto& [name, at] : placed) {
      ++names[m_byName[name]];
      EXPECT_EQ(labels[Band(at.y())], QStringLiteral("第%1世").arg(Depth(*m_byName[name]) + 1))
          << name.toStdString() << " on page " << p;
    }
    // Read band after band, each from the right; every one visited is drawn here.
    int lastGeneration = 0;
    double lastX = 0;
    for (const auto& [member, generation] : drawn.visited[p]) {
      ++visits[member];
      EXPECT_EQ(generation, Depth(*member) + 1);
      const QString name = QString::fromStdU16String(member->name);
      ASSERT_TRUE(placed.count(name)) << name.toStdString() << " visited, not drawn, page " << p;
      if (generation == lastGeneration) {
        EXPECT_LT(placed[name].x(), lastX) << name.toStdString();
      } else {
        EXPECT_GT(generation, lastGeneration) << name.toStdString();
      }
      lastGeneration = generation;
      lastX = placed[name].x();
    }
  }
  for (const MemberNode& m : m_clan.Members()) {
    EXPECT_EQ(visits[&m], 1) << QString::fromStdU16String(m.name).toStdString();
    EXPECT_EQ(names[&m], HeadsTable(m) ? 2 : 1) << QString::fromStdU16String(m.name).toStdString();
  }
  // Every page counted holds someone, and none is drawn past the count.
  for (const DrawnPage& page : drawn.pages)
    EXPECT_TRUE(std::any_of(page.items.begin(), page.items.end(),
                            [&](const DrawnItem& i) { return m_byName.count(i.text) > 0; }));
  book::PageRecorder past;
  tables.DrawPage(tables.PageCount(), past, kBody, kFirstPageNumber);
  EXPECT_TRUE(past.Pages().empty());
}

TEST_P(Tables, LeadEveryContinuedLineToTheTableItsMemberHeads) {
  const GenerationTables tables(*m_clan.Root(), 1, GetParam(), Words(true), kBody.size(), {});
  const Drawn drawn = Draw(tables);
  const QRegularExpression mark(QStringLiteral("^接第(\\d+)页$"));
  auto namesInBand = [&](const DrawnPage& page, int band) {
    std::vector<QString> names;
    for (const DrawnItem& item : page.items)
      if (m_byName.count(item.text) && Band(item.at.y()) == band) names.push_back(item.text);
    return names;
  };
  int marks = 0, continuedPages = 0, sharedPages = 0;
  for (const DrawnPage& page : drawn.pages) {
    for (const DrawnItem& item : page.items) {
      const auto match = mark.match(item.text);
      if (!match.hasMatch()) continue;
      ++marks;
      // The mark stands under its member's name, in his column.
      const auto member = std::find_if(page.items.begin(), page.items.end(), [&](auto& i) {
        return m_byName.count(i.text) && std::abs(i.at.x() - item.at.x()) < 1e-6 &&
               Band(i.at.y()) == Band(item.at.y()) && i.at.y() < item.at.y();
      });
      ASSERT_NE(member, page.items.end());
      const int target = match.captured(1).toInt() - kFirstPageNumber;
      ASSERT_GE(target, 0);
      ASSERT_LT(target, static_cast<int>(drawn.pages.size()));
      const auto heads = namesInBand(drawn.pages[target], 0);
      EXPECT_NE(std::find(heads.begin(), heads.end(), member->text), heads.end());
    }
    // A page whose first table has no head on it goes on with the table of
    // the page before. Tables side by side stand apart by full-height rules.
    const bool continued = std::any_of(page.items.begin(), page.items.end(),
                                       [](auto& i) { return i.text == QStringLiteral("续"); });
    std::vector<double> rules;
    for (const DrawnItem& item : page.items)
      if (item.kind == DrawnItem::Kind::kLine && item.at.x() == item.to.x() &&
          std::abs(item.to.y() - item.at.y()) >= kBody.height() - 1e-6)
        rules.push_back(item.at.x());
    std::sort(rules.rbegin(), rules.rend());  // the 世's rule, then between tables
    ASSERT_FALSE(rules.empty());
    const double firstTableLeft = rules.size() > 1 ? rules[1] : 0;
    sharedPages += rules.size() > 1;
    bool headFirst = false;
    for (const DrawnItem& item : page.items)
      headFirst |= m_byName.count(item.text) && Band(item.at.y()) == 0 &&
                   item.at.x() > firstTableLeft && item.at.x() < rules[0];
    EXPECT_EQ(continued, !headFirst);
    continuedPages += continued;
  }
  EXPECT_GT(continuedPages, 0);  // the forty brothers fill more than a page
  EXPECT_GT(sharedPages, 0);     // small tables of one 世 share a page
  EXPECT_EQ(marks, std::count_if(m_clan.Members().begin(), m_clan.Members().end(), HeadsTable));
}

// Text cells inside the body, each within one band, apart from one another,
// and crossed by no line nor a box's edge.
TEST_P(Tables, KeepTextInsideItsBandClearOfTextAndLines) {
  const GenerationTables tables(*m_clan.Root(), 1, GetParam(), Words(true), kBody.size(), {});
  const Drawn drawn = Draw(tables);
  constexpr double e = 1e-6;
  for (std::size_t p = 0; p < drawn.pages.size(); ++p) {
    std::vector<Cell> cells;
    std::vector<std::pair<QPointF, QPointF>> lines;
    for (const DrawnItem& item : drawn.pages[p].items) {
      if (item.kind == DrawnItem::Kind::kVertical) cells.push_back(CellOf(item));
      if (item.kind == DrawnItem::Kind::kLine) lines.emplace_back(item.at, item.to);
      if (item.kind == DrawnItem::Kind::kBox) {
        const QRectF& r = item.rect;
        lines.insert(lines.end(), {{r.topLeft(), r.topRight()},
                                   {r.topRight(), r.bottomRight()},
                                   {r.bottomRight(), r.bottomLeft()},
                                   {r.bottomLeft(), r.topLeft()}});
      }
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const Cell& c = cells[i];
      EXPECT_FALSE(c.text.contains(book::kNameJoiner));
      EXPECT_TRUE(kBody.adjusted(-e, -e, e, e).contains(c.rect)) << c.text.toStdString();
      EXPECT_EQ(Band(c.rect.top()), Band(c.rect.bottom() - e)) << c.text.toStdString();
      const QRectF inner = c.rect.adjusted(e, e, -e, -e);
      for (std::size_t j = i + 1; j < cells.size(); ++j)
        EXPECT_FALSE(inner.intersects(cells[j].rect))
            << c.text.toStdString() << " / " << cells[j].text.toStdString() << " page " << p;
      for (const auto& [a, b] : lines) {
        const QRectF span = QRectF(a, b).normalized().adjusted(-e / 2, -e / 2, e / 2, e / 2);
        EXPECT_FALSE(inner.intersects(span)) << c.text.toStdString() << " crossed, page " << p;
      }
      // A name stays whole in a short record, which is cut, never a name.
      for (qsizetype at = c.text.indexOf(QStringLiteral("林")); at >= 0;
           at = c.text.indexOf(QStringLiteral("林"), at + 1))
        EXPECT_TRUE(m_byName.count(c.text.mid(at, 3))) << c.text.toStdString();
    }
  }
}

// Every son is joined to his father: in the 欧式 and the 吊线图 through his
// father's drop and the bar over the brothers, run out to the table's edge
// when the father stands on another page; in the 苏式 by a line of his own
// hanging from under his father's name, and no line across.
TEST_P(Tables, JoinEverySonToHisFather) {
  const TableLayout layout = GetParam();
  const GenerationTables tables(*m_clan.Root(), 1, layout, Words(false), kBody.size(), {});
  const Drawn drawn = Draw(tables);
  constexpr double e = 1e-6;
  for (const DrawnPage& page : drawn.pages) {
    std::vector<std::pair<QPointF, QPointF>> lines;
    std::map<const MemberNode*, Cell> cells;
    double divider = 0, tableLeft = 0;
    for (const DrawnItem& item : page.items) {
      if (item.kind == DrawnItem::Kind::kBox) tableLeft = item.rect.left();
      if (item.kind == DrawnItem::Kind::kLine) {
        lines.emplace_back(item.at, item.to);
        if (std::abs(item.to.y() - item.at.y()) >= kBody.height() - e) divider = item.at.x();
        if (layout == TableLayout::kSu) {
          EXPECT_NEAR(item.at.x(), item.to.x(), e);
        }
      }
      if (layout == TableLayout::kSu) {
        EXPECT_NE(item.kind, DrawnItem::Kind::kBox);
      }
      if (m_byName.count(item.text)) cells[m_byName[item.text]] = CellOf(item);
    }
    // Lines that meet are one piece.
    std::vector<std::size_t> piece(lines.size());
    std::iota(piece.begin(), piece.end(), 0);
    std::function<std::size_t(std::size_t)> find = [&](std::size_t i) {
      return piece[i] == i ? i : piece[i] = find(piece[i]);
    };
    for (std::size_t i = 0; i < lines.size(); ++i)
      for (std::size_t j = i + 1; j < lines.size(); ++j) {
        const QRectF a = QRectF(lines[i].first, lines[i].second).normalized();
        const QRectF b = QRectF(lines[j].first, lines[j].second).normalized();
        if (a.left() <= b.right() + e && b.left() <= a.right() + e && a.top() <= b.bottom() + e &&
            b.top() <= a.bottom() + e)
          piece[find(i)] = find(j);
      }
    for (const auto& [son, cell] : cells) {
      if (Band(cell.rect.top()) == 0) continue;
      const QString& name = cell.text;
      const QPointF top(cell.rect.center().x(), cell.rect.top());
      const auto hang = std::find_if(lines.begin(), lines.end(), [&](auto& l) {
        return QLineF(l.second, top).length() < e && std::abs(l.first.x() - top.x()) < e;
      });
      ASSERT_NE(hang, lines.end()) << name.toStdString() << " hangs from nothing";
      const auto father = cells.find(son->parent);
      if (layout == TableLayout::kSu) {
        // From under the father's name, within his band.
        const double fatherBottom =
            father != cells.end() ? father->second.rect.bottom() : hang->first.y();
        EXPECT_GE(hang->first.y(), fatherBottom) << name.toStdString();
        EXPECT_EQ(Band(hang->first.y()), Band(top.y()) - 1) << name.toStdString();
        continue;
      }
      const std::size_t mine = find(static_cast<std::size_t>(hang - lines.begin()));
      bool joined = false;
      for (std::size_t i = 0; i < lines.size() && !joined; ++i) {
        if (find(i) != mine) continue;
        const auto& [a, b] = lines[i];
        if (father == cells.end()) {
          // Out to the table's edge, towards the page the father stands on.
          joined = a.y() == b.y() && (std::abs(std::max(a.x(), b.x()) - divider) < e ||
                                      std::abs(std::min(a.x(), b.x()) - tableLeft) < e);
        } else {
          const QRectF& f = father->second.rect;
          joined = std::abs(a.x() - f.center().x()) < e && a.y() >= f.bottom() &&
                   a.y() < f.bottom() + 9 && a.x() == b.x();
        }
      }
      EXPECT_TRUE(joined) << name.toStdString() << " not joined to his father";
    }
  }
}

// A preview turns to any page in any order: each page gives the same
// members and the same drawing whatever was drawn before it.
TEST_P(Tables, GiveEachPageTheSameInAnyOrder) {
  // A narrow body too, where few tables keep their places at once.
  for (const QRectF body : {kBody, QRectF(kBody.topLeft(), QSizeF(140, kBody.height()))}) {
    const GenerationTables tables(*m_clan.Root(), 1, GetParam(), Words(true), body.size(), {});
    const int count = tables.PageCount();
    std::vector<std::vector<std::pair<const MemberNode*, int>>> inOrder(count);
    std::vector<std::size_t> items(count);
    for (int i = 0; i < count; ++i) {
      tables.ForEachOnPage(i, [&](const MemberNode& m, int g) { inOrder[i].emplace_back(&m, g); });
      book::PageRecorder recorder;
      tables.DrawPage(i, recorder, body, kFirstPageNumber);
      items[i] = recorder.Pages().at(0).items.size();
    }
    // Each page after the page before it and each number of pages before
    // that, from fresh tables, so that a table it keeps from the page
    // before stands anywhere among those kept when its others are placed.
    for (int i = 1; i < count; ++i) {
      for (int since = 0; since < std::min(count, 40); ++since) {
        const GenerationTables fresh(*m_clan.Root(), 1, GetParam(), Words(true), body.size(), {});
        for (int j = 1; j <= since + 1; ++j)
          fresh.ForEachOnPage(((i - j) % count + count) % count, [](auto&, int) {});
        std::vector<std::pair<const MemberNode*, int>> visited;
        fresh.ForEachOnPage(i, [&](const MemberNode& m, int g) { visited.emplace_back(&m, g); });
        ASSERT_EQ(visited, inOrder[i]) << "page " << i << " after " << since;
      }
    }
    for (int stride : {3, 7, count - 1}) {
      for (int k = 0; k < count; ++k) {
        const int i = static_cast<int>((static_cast<long>(k) * stride + k / 2) % count);
        std::vector<std::pair<const MemberNode*, int>> visited;
        tables.ForEachOnPage(i, [&](const MemberNode& m, int g) { visited.emplace_back(&m, g); });
        EXPECT_EQ(visited, inOrder[i]) << "page " << i;
        book::PageRecorder again;
        tables.DrawPage(i, again, body, kFirstPageNumber);
        EXPECT_EQ(again.Pages().at(0).items.size(), items[i]) << "page " << i;
      }
    }
  }
}

// From a member below the root (--from): his line alone, in the 世 he has,
// and not his brothers'; a lone member is a table of his own.
TEST_P(Tables, TakeTheLineOfTheStartMemberOnly) {
  const MemberNode& start = *m_clan.Root()->firstChild->nextSibling;
  const GenerationTables tables(start, 2, GetParam(), Words(true), kBody.size(), {});
  std::set<const MemberNode*> line;
  for (const MemberNode& m : m_clan.Members())
    for (const MemberNode* a = &m; a; a = a->parent)
      if (a == &start) line.insert(&m);
  std::set<const MemberNode*> visited;
  for (int i = 0; i < tables.PageCount(); ++i)
    tables.ForEachOnPage(i, [&](const MemberNode& m, int generation) {
      EXPECT_TRUE(visited.insert(&m).second);
      EXPECT_EQ(generation, Depth(m) + 1);
    });
  EXPECT_EQ(visited, line);

  const MemberNode& lone = m_clan.Members().back();
  const GenerationTables one(lone, 31, GetParam(), Words(true), kBody.size(), {});
  EXPECT_EQ(one.PageCount(), 1);
  const Drawn drawn = Draw(one);
  EXPECT_EQ(drawn.visited.at(0).size(), 1u);
  EXPECT_TRUE(std::any_of(drawn.pages[0].items.begin(), drawn.pages[0].items.end(),
                          [&](auto& i) { return i.text == QStringLiteral("第31世"); }));
}

// The bar of the 吊线图 stands over the middle of the brothers; the 欧式
// sets the eldest straight under his father.
TEST_P(Tables, StandEachFatherWhereHisLayoutPutsHim) {
  const TableLayout layout = GetParam();
  const GenerationTables tables(*m_clan.Root(), 1, layout, Words(true), kBody.size(), {});
  const Drawn drawn = Draw(tables);
  for (const DrawnPage& page : drawn.pages) {
    std::map<const MemberNode*, double> x;
    for (const DrawnItem& item : page.items)
      if (m_byName.count(item.text) && !x.count(m_byName[item.text]))
        x[m_byName[item.text]] = item.at.x();
    for (const auto& [father, fatherX] : x) {
      if (!father->firstChild || !x.count(father->firstChild)) continue;
      const MemberNode* youngest = father->firstChild;
      while (youngest->nextSibling) youngest = youngest->nextSibling;
      if (!x.count(youngest)) continue;
      if (layout == TableLayout::kPagoda && father->parent && !HeadsTable(*father)) {
        EXPECT_LE(fatherX, x[father->firstChild] + 1e-6);
        EXPECT_GE(fatherX, x[youngest] - 1e-6);
        // Over the middle slot of his sons: above the eldest of two.
        if (youngest != father->firstChild && youngest != father->firstChild->nextSibling) {
          EXPECT_LT(fatherX, x[father->firstChild]);
        }
      } else if (layout != TableLayout::kPagoda) {
        EXPECT_DOUBLE_EQ(fatherX, x[father->firstChild]);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, Tables,
                         ::testing::Values(TableLayout::kOuyang, TableLayout::kSu,
                                           TableLayout::kPagoda),
                         [](const auto& info) {
                           switch (info.param) {
                             case TableLayout::kOuyang:
                               return "Ouyang";
                             case TableLayout::kSu:
                               return "Su";
                             default:
                               return "Pagoda";
                           }
                         });

}  // namespace
