#include "book/GenerationTables.h"

#include "model/COperationClanbook.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <utility>

namespace book {

namespace {

constexpr int kBands = 5;
// Slack for lengths summed from sizes: a column that fits exactly fits.
constexpr double kSlack = 1e-6;

// Visits a block in pre-order down to `depthLimit` below its head, climbing
// back by the fathers' links: no stack, whatever the breadth. `eldest` says
// whether the member is his father's first child.
template <class Visit>
void WalkBlock(const MemberNode& head, int depthLimit, Visit&& visit) {
  const MemberNode* member = &head;
  int depth = 0;
  bool eldest = true;
  for (;;) {
    visit(*member, depth, eldest);
    if (depth < depthLimit && member->firstChild) {
      member = member->firstChild;
      ++depth;
      eldest = true;
      continue;
    }
    while (depth > 0 && !member->nextSibling) {
      member = member->parent;
      --depth;
    }
    if (depth == 0) return;
    member = member->nextSibling;
    eldest = false;
  }
}

QString Tr(const char* text) {
  return QCoreApplication::translate("GenerationTables", text);
}

QString Drawn(QString text) {
  return text.remove(kNameJoiner);
}

// The pieces a column may break between: a name, its characters joined,
// stays one piece.
std::vector<QString> Pieces(const QString& text) {
  std::vector<QString> pieces;
  bool joined = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == kNameJoiner) {
      joined = !pieces.empty();
      continue;
    }
    const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    if (joined)
      pieces.back() += text.mid(i, n);
    else
      pieces.push_back(text.mid(i, n));
    joined = false;
    i += n - 1;
  }
  return pieces;
}

// A block is a member and the four generations below him, the table he
// heads. Only this table of blocks is kept for the whole book; a block's
// slots are placed again when one of its pages is drawn or visited.
struct Block {
  const MemberNode* head = nullptr;
  std::int32_t level = 0;       // his 世 less the start member's
  std::int32_t columns = 0;     // slots across the table
  std::int32_t firstChild = 0;  // the blocks its last band leads to follow one another
  std::int32_t firstPage = 0;
  std::int32_t firstSlot = 0;  // on its first page, from the right
};

struct Entry {
  const MemberNode* member = nullptr;
  std::int32_t column = 0;
  std::int32_t firstSon = -1;  // index in the band below
  std::int32_t sons = 0;
  std::int32_t seePage = -1;  // the table page his line goes on at
};

struct PlacedBlock {
  int block = -1;
  // Each band in the order it is read, so its columns grow along it.
  std::vector<Entry> bands[kBands];
};

}  // namespace

struct GenerationTables::Data {
  TableLayout layout = TableLayout::kOuyang;
  TableWords words;
  int firstGeneration = 1;

  // The measures of every table, in points. A band: the gap over its text
  // (where the bar over a family runs), the text, a gap under it. A slot,
  // from the right: a margin, the name, and in the 欧式 the two columns of
  // the short record, a margin.
  double size = 9;  // labels and short records
  double nameSize = 11;
  double markSize = 7;
  double margin = 3;
  double columnGap = 2;
  double labelWidth = 15;
  double slotWidth = 30;
  double bandHeight = 100;
  double lineGap = 9;
  double bottomGap = 4;
  int recordColumns = 0;
  int slotsPerPage = 1;

  std::vector<Block> blocks;
  int pageCount = 0;
  // The blocks placed last, enough for any page and the page after it: a
  // page is drawn and then visited, and a block wider than a page placed
  // once for all its pages.
  mutable std::vector<PlacedBlock> placed;
  mutable std::size_t nextPlaced = 0;

  int LastPage(const Block& block) const {
    return block.firstPage + (block.firstSlot + block.columns - 1) / slotsPerPage;
  }
  // The column of `block` that stands in the first slot of `page`: below 0
  // when the block begins further left on it.
  int FirstColumn(const Block& block, int page) const {
    return (page - block.firstPage) * slotsPerPage - block.firstSlot;
  }
  // The blocks that stand on `page`, right to left, placed.
  std::vector<const PlacedBlock*> PlacePage(int page) const;
  void Place(int block, PlacedBlock& p) const;

  double TableRight(const QRectF& body) const { return body.right() - labelWidth; }
  double TableLeft(const QRectF& body) const { return TableRight(body) - slotsPerPage * slotWidth; }
  double NameX(const QRectF& body, int slot) const {
    return TableRight(body) - slot * slotWidth - margin - nameSize / 2;
  }
  double RecordX(const QRectF& body, int slot, int column) const {
    return NameX(body, slot) - nameSize / 2 - columnGap - size / 2 - column * (size + columnGap);
  }
  double BandTop(const QRectF& body, int band) const { return body.top() + band * bandHeight; }
  double TextTop(const QRectF& body, int band) const { return BandTop(body, band) + lineGap; }
  double TextHeight() const { return std::max(0.0, bandHeight - lineGap - bottomGap); }
  double TextBottom(const QRectF& body, int band) const {
    return TextTop(body, band) + TextHeight();
  }
  // The size `text` is set at, at most `size` and no longer than `room`.
  double Fitted(const QString& text, double size, double room) const;
  double NameLength(const Entry& entry) const;

  void DrawFrame(PageSink& sink, const QRectF& body, int bands) const;
  void DrawLines(const PlacedBlock& placed, int firstColumn, PageSink& sink,
                 const QRectF& body) const;
  void DrawSlot(const Entry& entry, int band, int slot, PageSink& sink, const QRectF& body,
                int firstPageNumber) const;
};

GenerationTables::GenerationTables(const MemberNode& start, int firstGeneration, TableLayout layout,
                                   TableWords words, QSizeF body, const TypeSizes& sizes)
    : m_data(std::make_unique<Data>()) {
  Data& d = *m_data;
  d.layout = layout;
  d.words = std::move(words);
  d.firstGeneration = firstGeneration;

  d.size = sizes.table;
  d.nameSize = sizes.table * 1.25;
  d.markSize = sizes.table * 0.8;
  d.margin = sizes.table * 0.35;
  d.columnGap = sizes.table * 0.25;
  d.labelWidth = sizes.table + 2 * d.margin;
  d.recordColumns = layout == TableLayout::kOuyang && d.words.shortRecord ? 2 : 0;
  d.slotWidth = 2 * d.margin + d.nameSize;
  if (d.recordColumns) d.slotWidth += d.recordColumns * (d.size + d.columnGap);
  d.slotsPerPage =
      std::max(1, static_cast<int>(std::floor((body.width() - d.labelWidth) / d.slotWidth)));
  d.bandHeight = body.height() / kBands;
  d.lineGap = sizes.table;
  d.bottomGap = sizes.table * 0.4;

  // Blocks breadth-first: the blocks one block leads to follow one another in
  // the order their heads stand in its last band, so the 世 of their heads
  // never falls from one block to the next. Blocks of one 世 share a page,
  // side by side, as far as they fit whole; a block wider than a page begins
  // on a page of its own and goes on over the pages after it.
  const std::int64_t perPage = d.slotsPerPage;
  d.blocks.push_back(Block{&start, 0, 0, 0, 0, 0});
  std::int64_t page = 0, slot = 0;
  for (std::size_t b = 0; b < d.blocks.size(); ++b) {
    const Block block = d.blocks[b];
    std::int32_t lastColumn = -1;
    d.blocks[b].firstChild = static_cast<std::int32_t>(d.blocks.size());
    WalkBlock(*block.head, kBands - 1, [&](const MemberNode& member, int depth, bool eldest) {
      // An eldest son stands under his father; every other member opens a slot.
      if (depth == 0 || !eldest) ++lastColumn;
      if (depth == kBands - 1 && member.firstChild)
        d.blocks.push_back(Block{&member, block.level + kBands - 1, 0, 0, 0, 0});
    });
    const std::int64_t columns = lastColumn + 1;
    if (slot > 0 && (block.level != d.blocks[b - 1].level || slot + columns > perPage)) {
      ++page;
      slot = 0;
    }
    d.blocks[b].columns = static_cast<std::int32_t>(columns);
    d.blocks[b].firstPage = static_cast<std::int32_t>(std::min<std::int64_t>(page, INT32_MAX));
    d.blocks[b].firstSlot = static_cast<std::int32_t>(slot);
    page += (slot + columns - 1) / perPage;
    slot = (slot + columns - 1) % perPage + 1;
  }
  d.blocks.shrink_to_fit();
  d.pageCount = static_cast<int>(std::min<std::int64_t>(page + 1, INT32_MAX));
  d.placed.resize(static_cast<std::size_t>(d.slotsPerPage) + 2);
}

GenerationTables::~GenerationTables() = default;

int GenerationTables::PageCount() const {
  return m_data->pageCount;
}

std::vector<const PlacedBlock*> GenerationTables::Data::PlacePage(int page) const {
  const auto end = std::upper_bound(blocks.begin(), blocks.end(), page,
                                    [](int p, const Block& b) { return p < b.firstPage; });
  auto begin = end;
  while (begin != blocks.begin() && std::prev(begin)->firstPage == page) --begin;
  if (begin != blocks.begin() && LastPage(*std::prev(begin)) >= page) --begin;
  const int first = static_cast<int>(begin - blocks.begin());
  const int last = static_cast<int>(end - blocks.begin());
  auto ofPage = [&](const PlacedBlock& p) { return p.block >= first && p.block < last; };
  std::vector<const PlacedBlock*> onPage(static_cast<std::size_t>(last - first));
  for (const PlacedBlock& p : placed)
    if (ofPage(p)) onPage[static_cast<std::size_t>(p.block - first)] = &p;
  // The others go where none of this page's blocks is kept. A page holds at
  // most one block from the page before and a block a slot, fewer than the
  // blocks kept.
  for (int b = first; b < last; ++b) {
    if (onPage[static_cast<std::size_t>(b - first)]) continue;
    while (ofPage(placed[nextPlaced])) nextPlaced = (nextPlaced + 1) % placed.size();
    Place(b, placed[nextPlaced]);
    onPage[static_cast<std::size_t>(b - first)] = &placed[nextPlaced];
    nextPlaced = (nextPlaced + 1) % placed.size();
  }
  return onPage;
}

void GenerationTables::Data::Place(int b, PlacedBlock& p) const {
  p.block = b;
  for (auto& band : p.bands) band.clear();
  const Block& block = blocks[b];
  std::int32_t lastColumn = -1;
  std::int32_t nextBlock = block.firstChild;
  WalkBlock(*block.head, kBands - 1, [&](const MemberNode& member, int depth, bool eldest) {
    if (depth == 0 || !eldest) ++lastColumn;
    Entry entry{&member, lastColumn, -1, 0, -1};
    if (depth > 0) {
      // Pre-order: his father is the last member placed in the band above.
      Entry& father = p.bands[depth - 1].back();
      if (father.sons++ == 0) father.firstSon = static_cast<std::int32_t>(p.bands[depth].size());
    }
    if (depth == kBands - 1 && member.firstChild) entry.seePage = blocks[nextBlock++].firstPage;
    p.bands[depth].push_back(entry);
  });
  if (layout == TableLayout::kPagoda) {
    // A father stands over the middle of his sons. His sons' slots lie among
    // the slots of his line, which no other member of his band shares, so
    // moving him there keeps his band in order and its slots apart. The
    // table's head stays on its first page, the page 接第N页 names.
    for (int band = kBands - 2; band >= 0; --band) {
      for (Entry& father : p.bands[band]) {
        if (father.sons == 0) continue;
        const auto& below = p.bands[band + 1];
        father.column =
            (below[father.firstSon].column + below[father.firstSon + father.sons - 1].column) / 2;
      }
    }
    Entry& head = p.bands[0].front();
    head.column = std::min(head.column, slotsPerPage - block.firstSlot - 1);
  }
}

double GenerationTables::Data::Fitted(const QString& text, double at, double room) const {
  const double length = words.length(text, at);
  return length > room && length > 0 ? at * room / length : at;
}

double GenerationTables::Data::NameLength(const Entry& entry) const {
  const QString name = Drawn(QString::fromStdU16String(entry.member->name));
  return std::min(words.length(name, nameSize), TextHeight());
}

void GenerationTables::Data::DrawFrame(PageSink& sink, const QRectF& body, int bands) const {
  const double right = body.right();
  const double tableRight = TableRight(body);
  const double tableLeft = TableLeft(body);
  const double bottom = BandTop(body, kBands);
  if (layout == TableLayout::kSu) {
    // Vertical lines only: the 世 stand apart from the table by one rule.
    sink.Line(QPointF(tableRight, body.top()), QPointF(tableRight, bottom), 0.5);
    return;
  }
  sink.Box(QRectF(QPointF(tableLeft, body.top()), QPointF(right, bottom)), 0.8);
  sink.Line(QPointF(tableRight, body.top()), QPointF(tableRight, bottom), 0.5);
  // The 欧式 parts its generations by rules across the table; the 吊线图
  // only the cells of their names.
  const double from = layout == TableLayout::kOuyang ? tableLeft : tableRight;
  for (int band = 1; band < std::max(bands, 1) && band < kBands; ++band)
    sink.Line(QPointF(from, BandTop(body, band)), QPointF(right, BandTop(body, band)), 0.5);
}

void GenerationTables::Data::DrawLines(const PlacedBlock& p, int firstColumn, PageSink& sink,
                                       const QRectF& body) const {
  const int endColumn = firstColumn + slotsPerPage;
  auto onPage = [&](int column) { return column >= firstColumn && column < endColumn; };
  constexpr double kWidth = 0.6;
  for (int band = 0; band + 1 < kBands; ++band) {
    const auto& fathers = p.bands[band];
    const auto& sons = p.bands[band + 1];
    if (sons.empty()) break;
    // A father's line spans his own slot and his sons'; the spans of a band
    // follow one another, so those met by the page are found by halving.
    auto spanEnd = [&](const Entry& f) {
      return f.sons ? std::max(f.column, sons[f.firstSon + f.sons - 1].column) : f.column;
    };
    auto spanStart = [&](const Entry& f) {
      return f.sons ? std::min(f.column, sons[f.firstSon].column) : f.column;
    };
    const auto begin = std::partition_point(
        fathers.begin(), fathers.end(), [&](const Entry& f) { return spanEnd(f) < firstColumn; });
    const double barY = BandTop(body, band + 1) + lineGap / 2;
    const double sonTop = TextTop(body, band + 1);
    for (auto f = begin; f != fathers.end() && spanStart(*f) < endColumn; ++f) {
      if (f->sons == 0) continue;
      const double fatherBottom = TextTop(body, band) + NameLength(*f) + size * 0.2;
      const auto first = sons.begin() + f->firstSon;
      const auto last = first + f->sons;
      const auto sonsOnPage =
          std::partition_point(first, last, [&](const Entry& s) { return s.column < firstColumn; });
      if (layout == TableLayout::kSu) {
        // Each son hangs from his father's band by a line of his own.
        for (auto s = sonsOnPage; s != last && s->column < endColumn; ++s) {
          const double x = NameX(body, s->column - firstColumn);
          sink.Line(QPointF(x, fatherBottom), QPointF(x, sonTop), kWidth);
        }
        continue;
      }
      if (onPage(f->column)) {
        const double x = NameX(body, f->column - firstColumn);
        sink.Line(QPointF(x, fatherBottom), QPointF(x, barY), kWidth);
      }
      const int start = spanStart(*f), end = spanEnd(*f);
      if (start != end) {
        // Cut by the page, the bar runs out to the table's edge.
        const double from =
            start < firstColumn ? TableRight(body) : NameX(body, start - firstColumn);
        const double to = end >= endColumn ? TableLeft(body) : NameX(body, end - firstColumn);
        sink.Line(QPointF(from, barY), QPointF(to, barY), kWidth);
      }
      for (auto s = sonsOnPage; s != last && s->column < endColumn; ++s) {
        const double x = NameX(body, s->column - firstColumn);
        sink.Line(QPointF(x, barY), QPointF(x, sonTop), kWidth);
      }
    }
  }
}

void GenerationTables::Data::DrawSlot(const Entry& entry, int band, int slot, PageSink& sink,
                                      const QRectF& body, int firstPageNumber) const {
  const double room = TextHeight();
  const double top = TextTop(body, band);
  const double x = NameX(body, slot);
  const QString name = Drawn(QString::fromStdU16String(entry.member->name));
  double at = nameSize;
  double nameLength = words.length(name, at);
  if (entry.seePage >= 0) {
    // 接第N页 under the name: both shrink together when the band is short.
    const QString mark = Tr(QT_TRANSLATE_NOOP("GenerationTables", "接第%1页"))
                             .arg(words.number(firstPageNumber + entry.seePage));
    const double gap = size * 0.5;
    double markAt = markSize;
    double markLength = words.length(mark, markAt);
    const double total = nameLength + gap + markLength;
    if (total > room && total > gap) {
      const double scale = std::max(0.0, room - gap) / (nameLength + markLength);
      at *= scale;
      markAt *= scale;
      nameLength *= scale;
    }
    words.set(sink, mark, QPointF(x, top + nameLength + gap), markAt);
  } else if (nameLength > room) {
    at = Fitted(name, at, room);
  }
  words.set(sink, name, QPointF(x, top), at);

  if (recordColumns == 0) return;
  // The short record in columns to the left of the name, broken between
  // names and words, and cut where the band ends.
  const QString record = words.shortRecord(*entry.member);
  if (record.isEmpty()) return;
  int column = 0;
  QString text;
  for (const QString& piece : Pieces(record)) {
    if (words.length(text + piece, size) <= room + kSlack) {
      text += piece;
      continue;
    }
    if (!text.isEmpty()) words.set(sink, text, QPointF(RecordX(body, slot, column), top), size);
    text.clear();
    if (++column == recordColumns || words.length(piece, size) > room + kSlack) return;
    text = piece;
  }
  if (!text.isEmpty()) words.set(sink, text, QPointF(RecordX(body, slot, column), top), size);
}

void GenerationTables::DrawPage(int index, PageSink& sink, const QRectF& body,
                                int firstPageNumber) const {
  const Data& d = *m_data;
  if (index < 0 || index >= d.pageCount) return;
  const std::vector<const PlacedBlock*> onPage = d.PlacePage(index);
  const Block& first = d.blocks[onPage.front()->block];

  int bands = 0;
  for (const PlacedBlock* p : onPage)
    while (bands < kBands && !p->bands[bands].empty()) ++bands;
  d.DrawFrame(sink, body, bands);
  const double labelX = body.right() - d.labelWidth / 2;
  double continuedRoom = 0;
  if (index > first.firstPage) {
    // The page goes on with the table of the page before: 续 at the foot of
    // the first band's cell.
    const QString more = Tr(QT_TRANSLATE_NOOP("GenerationTables", "续"));
    const double at = d.Fitted(more, d.size, d.TextHeight() / 2);
    const double length = d.words.length(more, at);
    d.words.set(sink, more, QPointF(labelX, d.TextBottom(body, 0) - length), at);
    continuedRoom = length + d.size * 0.5;
  }
  for (int band = 0; band < bands; ++band) {
    const QString label = Tr(QT_TRANSLATE_NOOP("GenerationTables", "第%1世"))
                              .arg(d.words.number(d.firstGeneration + first.level + band));
    const double room = d.TextHeight() - (band == 0 ? continuedRoom : 0);
    d.words.set(sink, label, QPointF(labelX, d.TextTop(body, band)), d.Fitted(label, d.size, room));
  }

  for (const PlacedBlock* p : onPage) {
    const Block& block = d.blocks[p->block];
    const int firstColumn = d.FirstColumn(block, index);
    if (block.firstPage == index && block.firstSlot > 0) {
      // Tables side by side stand apart by a rule.
      const double x = d.TableRight(body) - block.firstSlot * d.slotWidth;
      sink.Line(QPointF(x, body.top()), QPointF(x, d.BandTop(body, kBands)), 0.5);
    }
    d.DrawLines(*p, firstColumn, sink, body);
    for (int band = 0; band < kBands; ++band) {
      const auto& entries = p->bands[band];
      const auto begin =
          std::partition_point(entries.begin(), entries.end(),
                               [firstColumn](const Entry& e) { return e.column < firstColumn; });
      for (auto it = begin; it != entries.end() && it->column < firstColumn + d.slotsPerPage; ++it)
        d.DrawSlot(*it, band, it->column - firstColumn, sink, body, firstPageNumber);
    }
  }
}

void GenerationTables::ForEachOnPage(
    int index, const std::function<void(const MemberNode& member, int generation)>& visit) const {
  const Data& d = *m_data;
  if (index < 0 || index >= d.pageCount) return;
  const std::vector<const PlacedBlock*> onPage = d.PlacePage(index);
  for (int band = 0; band < kBands; ++band) {
    for (const PlacedBlock* p : onPage) {
      // The head of any table but the first was visited in the last band of
      // the table his line comes from.
      if (band == 0 && p->block > 0) continue;
      const Block& block = d.blocks[p->block];
      const int firstColumn = d.FirstColumn(block, index);
      const auto& entries = p->bands[band];
      const auto begin =
          std::partition_point(entries.begin(), entries.end(),
                               [firstColumn](const Entry& e) { return e.column < firstColumn; });
      for (auto it = begin; it != entries.end() && it->column < firstColumn + d.slotsPerPage; ++it)
        visit(*it->member, d.firstGeneration + block.level + band);
    }
  }
}

}  // namespace book
