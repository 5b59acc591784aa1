// The book set twice through one code: a first run into a sink that draws
// nothing learns on which page each part begins and where each member and
// wife falls (a few numbers a member, never a page), so that the 目录 and the
// index can name pages; the second run sets the pages for real, one after
// another, into the caller's sink.
#include "book/BookExport.h"

#include "book/BookFont.h"
#include "book/Flow.h"
#include "book/Folded.h"
#include "book/GenerationTables.h"
#include "book/LifeRecord.h"
#include "book/Typeset.h"
#include "model/COperationClanbook.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <unordered_map>
#include <vector>

namespace book {

namespace {

// Thrown from a page turn when the caller said stop.
struct Stopped {};

// The first run of the book goes here: it counts nothing but what the layout
// counts itself (the pages), so that the book is set twice with one code.
class NoSink : public PageSink {
public:
  void BeginPage(QSizeF) override {}
  void VerticalText(const QString&, QPointF, double) override {}
  void HorizontalText(const QString&, QPointF, double) override {}
  void TurnedText(const QString&, QPointF, double) override {}
  void Line(QPointF, QPointF, double) override {}
  void Box(const QRectF&, double) override {}
  void Bookmark(const QString&, int) override {}
  void EndPage() override {}
};

enum class PartKind { kCover, kText, kContents, kTables, kRecords, kIndex };

struct Part {
  PartKind kind;
  QString name;
  QString text;  // of a text part
  int page = 0;  // where it begins, from the first run
};

// Where a member stands in the book: the page his 行传 begins on, the pages
// of the tables that show him (his own and the one his line goes on in), and
// his wives' pages (the pages their names fall on) in `wifePages`.
struct MemberPages {
  int record = 0;
  int table[2] = {0, 0};
  int wifeFirst = 0;
  int wives = 0;
};

struct IndexEntry {
  QString name;
  int slot = 0;
  int wife = -1;  // -1: the member himself
};

QString Joined(const QString& name) {
  QString joined;
  joined.reserve(name.size() * 2);
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (i && !name[i].isLowSurrogate()) joined.append(QChar(kNameJoiner));
    joined.append(name[i]);
  }
  return joined;
}

// Where each wife's name first stands in the paragraph, the joiners read
// through: her mark for the page she is indexed to.
std::vector<int> WifeMarks(const QString& paragraph, const std::vector<Spouse>& wives) {
  QString plain;
  std::vector<int> at;
  plain.reserve(paragraph.size());
  at.reserve(paragraph.size());
  for (qsizetype i = 0; i < paragraph.size(); ++i) {
    if (paragraph[i].unicode() == kNameJoiner) continue;
    plain.append(paragraph[i]);
    at.push_back(static_cast<int>(i));
  }
  std::vector<int> marks;
  qsizetype from = 0;
  for (const Spouse& wife : wives) {
    QString name = LifeRecord::WifeName(wife);
    // Her given name in brackets is the index's; the record names her 某氏.
    for (qsizetype k = 1; k < name.size(); ++k)
      if (name[k] == u'（' || name[k] == u'(') {
        name.truncate(k);
        break;
      }
    const qsizetype found = name.isEmpty() ? -1 : plain.indexOf(name, from);
    if (found >= 0) {
      marks.push_back(at[static_cast<std::size_t>(found)]);
      from = found + 1;
    } else {
      marks.push_back(0);
    }
  }
  return marks;
}

class BookSetter {
public:
  BookSetter(const COperationClanbook& genealogy, const BookOptions& options, const BookFont& font,
             const MemberNode& start, const QString& title)
      : m_genealogy(genealogy),
        m_options(options),
        m_font(font),
        m_vertical(!options.horizontal),
        m_start(start),
        m_firstGeneration(genealogy.GetGeneration(&start)),
        m_frame(font, options, title),
        m_title(title),
        m_context(genealogy, options),
        m_tables(start, m_firstGeneration, font, m_context, m_frame.Body(1).size(), m_sizes) {
    Plan();
  }

  // Sets the book into `sink`; the first run (`counting`) learns the pages.
  int Set(PageSink& sink, bool counting, const std::function<bool(int)>& keepGoing);

private:
  void Plan();
  void Order();
  void Cover(flow::Flow& flow);
  void Contents(flow::Flow& flow);
  void Records(flow::Flow& flow, bool counting);
  void BuildIndex();
  void Index(flow::Flow& flow);
  QString PageText(int page) const { return flow::Number(page, m_vertical); }
  QString GenerationName(int index) const;

  const COperationClanbook& m_genealogy;
  const BookOptions& m_options;
  const BookFont& m_font;
  bool m_vertical;
  const MemberNode& m_start;
  int m_firstGeneration;
  TypeSizes m_sizes;
  PageFrame m_frame;
  QString m_title;
  BookContext m_context;
  GenerationTables m_tables;
  std::vector<Part> m_parts;
  // Every member of the book by his slot (the order of a walk by 世), the
  // slots of each 世 in the order of the tables, and where each stands.
  std::vector<const MemberNode*> m_members;
  std::vector<std::vector<int>> m_generations;
  std::vector<int> m_generationPages;  // where each 世 is headed
  std::unordered_map<const MemberNode*, int> m_slotOf;
  std::vector<MemberPages> m_pages;
  std::vector<int> m_wifePages;
  std::vector<IndexEntry> m_index;
};

void BookSetter::Plan() {
  const BookData& data = m_genealogy.Book();
  m_parts.push_back({PartKind::kCover, BookWords::Cover(), {}});
  const auto text = [&](const std::u16string& value, const QString& name) {
    if (!QString::fromStdU16String(value).trimmed().isEmpty())
      m_parts.push_back({PartKind::kText, name, QString::fromStdU16String(value)});
  };
  text(data.preface, BookWords::Preface());
  text(data.rules, BookWords::Rules());
  text(data.precepts, BookWords::Precepts());
  text(data.generationPoem, BookWords::Poem());
  m_parts.push_back({PartKind::kContents, BookWords::Contents(), {}});
  if (m_tables.PageCount() > 0) m_parts.push_back({PartKind::kTables, BookWords::Tables(), {}});
  m_parts.push_back({PartKind::kRecords, BookWords::Records(), {}});
  m_parts.push_back({PartKind::kIndex, BookWords::Index(), {}});
  Order();
}

void BookSetter::Order() {
  // A walk by 世 finds every member once with his 世; the tables then give
  // the order within each 世.
  std::vector<int> depth;
  m_members.push_back(&m_start);
  depth.push_back(0);
  for (std::size_t k = 0; k < m_members.size(); ++k)
    for (const MemberNode* c = m_members[k]->firstChild; c; c = c->nextSibling) {
      m_members.push_back(c);
      depth.push_back(depth[k] + 1);
    }
  const int n = static_cast<int>(m_members.size());
  m_slotOf.reserve(static_cast<std::size_t>(n));
  for (int slot = 0; slot < n; ++slot) m_slotOf.emplace(m_members[slot], slot);
  m_pages.assign(static_cast<std::size_t>(n), {});
  std::vector<int> rank(static_cast<std::size_t>(n), INT_MAX);
  int next = 0;
  for (int page = 0; page < m_tables.PageCount(); ++page)
    m_tables.ForEachOnPage(page, [&](const MemberNode& member, int) {
      const auto found = m_slotOf.find(&member);
      if (found == m_slotOf.end()) return;
      if (rank[found->second] == INT_MAX) rank[found->second] = next++;
    });
  m_generations.assign(static_cast<std::size_t>(depth.back() + 1), {});
  m_generationPages.assign(m_generations.size(), 0);
  for (int slot = 0; slot < n; ++slot) m_generations[depth[slot]].push_back(slot);
  for (std::vector<int>& bucket : m_generations)
    std::stable_sort(bucket.begin(), bucket.end(), [&](int a, int b) { return rank[a] < rank[b]; });
}

int BookSetter::Set(PageSink& sink, bool counting, const std::function<bool(int)>& keepGoing) {
  flow::Flow flow(sink, m_frame, m_font, m_vertical, [&](int page) {
    if (keepGoing && !keepGoing(counting ? 0 : page - 1)) throw Stopped{};
  });
  for (Part& part : m_parts) {
    if (counting) part.page = flow.Page() + 1;
    switch (part.kind) {
      case PartKind::kCover:
        flow.StartCover();
        Cover(flow);
        break;
      case PartKind::kText:
        flow.StartPart(part.name);
        flow.Heading(part.name, m_sizes.heading, -1);
        for (const QString& line : part.text.split(u'\n', Qt::SkipEmptyParts))
          if (!line.trimmed().isEmpty()) flow.Paragraph(line.trimmed(), m_sizes.body, 2, 0);
        break;
      case PartKind::kContents:
        flow.StartPart(part.name);
        flow.Heading(part.name, m_sizes.heading, -1);
        Contents(flow);
        break;
      case PartKind::kTables:
        for (int i = 0; i < m_tables.PageCount(); ++i) {
          if (i == 0)
            flow.StartPart(part.name);
          else
            flow.NewPage();
          if (counting) {
            const int page = flow.Page();
            m_tables.ForEachOnPage(i, [&](const MemberNode& member, int) {
              const auto found = m_slotOf.find(&member);
              if (found == m_slotOf.end()) return;
              int* table = m_pages[found->second].table;
              if (!table[0])
                table[0] = page;
              else if (!table[1] && table[0] != page)
                table[1] = page;
            });
          } else {
            m_tables.DrawPage(i, sink, flow.Body(), part.page);
          }
        }
        break;
      case PartKind::kRecords:
        flow.StartPart(part.name);
        Records(flow, counting);
        break;
      case PartKind::kIndex:
        // Last of the book: the first run needs only where it begins.
        if (counting) break;
        flow.StartPart(part.name, m_vertical ? 3 : 2);
        flow.Heading(part.name, m_sizes.heading, -1);
        Index(flow);
        break;
    }
  }
  flow.Finish();
  if (counting) BuildIndex();
  return flow.Page();
}

void BookSetter::Cover(flow::Flow& flow) {
  const BookData& data = m_genealogy.Book();
  PageSink& sink = flow.Sink();
  const QRectF body = flow.Body();
  const QString hall = QString::fromStdU16String(data.hallName);
  const QString seat = data.clanSeat.empty()
                           ? QString()
                           : BookWords::ClanSeat(QString::fromStdU16String(data.clanSeat));
  const QString year =
      data.editionYear ? BookWords::Edition(flow::Number(data.editionYear, false)) : QString();
  const QString editors = data.editors.empty()
                              ? QString()
                              : BookWords::Editors(QString::fromStdU16String(data.editors));
  double titleSize = m_sizes.heading * 2.5;
  if (m_vertical) {
    const double length = VerticalLength(m_font, m_title, titleSize);
    if (length > body.height() * 0.8) titleSize *= body.height() * 0.8 / length;
    const double titleLength = VerticalLength(m_font, m_title, titleSize);
    const double x = body.center().x();
    const double top = body.top() + (body.height() - titleLength) * 0.3;
    // The title in its label, the seat to its right, the hall to its left,
    // the edition and the editors at the foot of the left side.
    sink.Box(QRectF(x - titleSize * 0.8, top - titleSize * 0.5, titleSize * 1.6,
                    titleLength + titleSize),
             1);
    SetVertical(sink, m_font, m_title, {x, top}, titleSize);
    const double side = m_sizes.heading;
    if (!seat.isEmpty()) SetVertical(sink, m_font, seat, {x + titleSize * 2.2, top}, side);
    if (!hall.isEmpty()) SetVertical(sink, m_font, hall, {x - titleSize * 2.2, top}, side);
    const double small = m_sizes.body;
    double left = body.left() + small * 2;
    for (const QString& line : {editors, year}) {
      if (line.isEmpty()) continue;
      const double length = VerticalLength(m_font, line, small);
      SetVertical(sink, m_font, line, {left, body.bottom() - length}, small);
      left += small * 2;
    }
    return;
  }
  const double width = HorizontalLength(m_font, m_title, titleSize);
  if (width > body.width()) titleSize *= body.width() / width;
  double y = body.top() + body.height() * 0.3;
  const auto centred = [&](const QString& line, double size) {
    if (line.isEmpty()) return;
    const double w = HorizontalLength(m_font, line, size);
    sink.HorizontalText(line, {body.center().x() - w / 2, y}, size);
    y += size * 2;
  };
  centred(m_title, titleSize);
  y += titleSize;
  centred(hall, m_sizes.heading);
  centred(seat, m_sizes.heading);
  y = body.bottom() - m_sizes.body * 6;
  centred(year, m_sizes.body);
  centred(editors, m_sizes.body);
}

void BookSetter::Contents(flow::Flow& flow) {
  const double size = m_sizes.body;
  // An entry a column (a line), whatever its number: the 目录 takes as many
  // pages in the first run, before the numbers are known, as in the second.
  const auto entry = [&](const QString& name, int page, double indent) {
    const QRectF column = flow.NextColumn(flow::Flow::Pitch(size, m_vertical) * 1.5);
    const QString number = PageText(page);
    if (m_vertical) {
      const double x = column.center().x();
      SetVertical(flow.Sink(), m_font, name, {x, column.top() + size * indent}, size);
      const double length = VerticalLength(m_font, number, size);
      SetVertical(flow.Sink(), m_font, number, {x, column.bottom() - length}, size);
    } else {
      const double baseline = column.top() + column.height() / 2 + size * 0.4;
      flow.Sink().HorizontalText(name, {column.left() + size * indent, baseline}, size);
      const double width = HorizontalLength(m_font, number, size);
      flow.Sink().HorizontalText(number, {column.right() - width, baseline}, size);
    }
  };
  for (const Part& part : m_parts) {
    if (part.kind == PartKind::kCover || part.kind == PartKind::kContents) continue;
    entry(part.name, part.page, 2);
    if (part.kind != PartKind::kRecords) continue;
    for (std::size_t g = 0; g < m_generationPages.size(); ++g)
      entry(GenerationName(static_cast<int>(g)), m_generationPages[g], 4);
  }
}

QString BookSetter::GenerationName(int index) const {
  return BookWords::Generation(flow::Number(m_firstGeneration + index, m_vertical));
}

void BookSetter::Records(flow::Flow& flow, bool counting) {
  std::vector<int> marks;
  std::vector<int> markPages;
  for (std::size_t g = 0; g < m_generations.size(); ++g) {
    flow.Heading(GenerationName(static_cast<int>(g)), m_sizes.heading, 1);
    if (counting) m_generationPages[g] = flow.Page();
    for (int slot : m_generations[g]) {
      const MemberNode& member = *m_members[slot];
      const QString paragraph = LifeRecord::Paragraph(member, m_context);
      // The name at the column's head; the columns after it two cells down,
      // so that each 行传 stands out from the one before.
      if (!counting) {
        flow.Paragraph(paragraph, m_sizes.body, 0, 2);
        continue;
      }
      MemberPages& pages = m_pages[slot];
      const std::vector<Spouse>& wives = member.extra.Record().spouses;
      marks = WifeMarks(paragraph, wives);
      pages.record = flow.Paragraph(paragraph, m_sizes.body, 0, 2, &marks, &markPages);
      pages.wifeFirst = static_cast<int>(m_wifePages.size());
      pages.wives = static_cast<int>(wives.size());
      m_wifePages.insert(m_wifePages.end(), markPages.begin(), markPages.end());
    }
  }
}

void BookSetter::BuildIndex() {
  m_index.clear();
  for (std::size_t slot = 0; slot < m_members.size(); ++slot) {
    const MemberNode& member = *m_members[slot];
    m_index.push_back({QString::fromStdU16String(member.name), static_cast<int>(slot), -1});
    const std::vector<Spouse>& wives = member.extra.Record().spouses;
    for (std::size_t w = 0; w < wives.size(); ++w)
      m_index.push_back(
          {LifeRecord::WifeName(wives[w]), static_cast<int>(slot), static_cast<int>(w)});
  }
  std::sort(m_index.begin(), m_index.end(), [](const IndexEntry& a, const IndexEntry& b) {
    if (IndexBefore(a.name, b.name)) return true;
    if (IndexBefore(b.name, a.name)) return false;
    return a.slot != b.slot ? a.slot < b.slot : a.wife < b.wife;
  });
}

void BookSetter::Index(flow::Flow& flow) {
  const QString gap = m_vertical ? QStringLiteral("\u3000") : QStringLiteral(" ");
  std::vector<int> pages;
  for (const IndexEntry& entry : m_index) {
    const MemberPages& where = m_pages[entry.slot];
    pages.clear();
    if (entry.wife < 0) {
      for (int page : {where.table[0], where.table[1], where.record})
        if (page) pages.push_back(page);
    } else {
      const int page = m_wifePages[static_cast<std::size_t>(where.wifeFirst + entry.wife)];
      pages.push_back(page ? page : where.record);
    }
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    QString line = Joined(entry.name);
    line += gap;
    line += BookWords::Strokes(flow::Number(NameStrokes(entry.name), m_vertical));
    line += gap;
    for (std::size_t i = 0; i < pages.size(); ++i) {
      if (i) line += m_vertical ? QStringLiteral("、") : QStringLiteral(", ");
      line += PageText(pages[i]);
    }
    flow.Paragraph(line, m_sizes.body, 0, 1);
  }
}

}  // namespace

QString BookTitle(const COperationClanbook& genealogy) {
  const BookData& data = genealogy.Book();
  if (!data.title.empty()) return QString::fromStdU16String(data.title);
  const QString root =
      genealogy.Root() ? QString::fromStdU16String(genealogy.Root()->name) : QString();
  return BookWords::ClanBook(root.left(root.size() && root[0].isHighSurrogate() ? 2 : 1));
}

int TypesetBook(const COperationClanbook& genealogy, const BookOptions& options,
                const BookFont& font, PageSink& sink, QString* error,
                const std::function<bool(int pagesDone)>& keepGoing) {
  const auto fail = [&](const QString& message) {
    if (error) *error = message;
    return -1;
  };
  if (!genealogy.Root()) return fail(BookWords::EmptyBook());
  const MemberNode* start = options.from;
  if (!start && !options.fromName.isEmpty()) {
    start = genealogy.FindByName(options.fromName.toStdU16String());
    if (!start) return fail(BookWords::NoMember(options.fromName));
  }
  if (!start) start = genealogy.Root();
  try {
    BookSetter book(genealogy, options, font, *start, BookTitle(genealogy));
    NoSink counter;
    book.Set(counter, true, keepGoing);
    if (options.paper == Paper::kA3Folded) {
      FoldedSink folded(sink);
      const int pages = book.Set(folded, false, keepGoing);
      folded.Finish();
      return pages;
    }
    return book.Set(sink, false, keepGoing);
  } catch (const Stopped&) {
    return fail(BookWords::Stopped());
  }
}

}  // namespace book
