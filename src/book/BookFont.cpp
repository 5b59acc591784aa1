#include "book/BookFont.h"

#include "book/SfntData.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace book {

using sfnt::SfntMalformed;
using sfnt::Span;
using sfnt::Tag;

namespace {

struct FontText {
  Q_DECLARE_TR_FUNCTIONS(BookFont)
};

struct TableEntry {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

// One face's table directory, at `offset` in the file.
std::unordered_map<std::uint32_t, TableEntry> ReadDirectory(const Span& file,
                                                            std::uint64_t offset) {
  const Span header = file.From(offset);
  const std::uint32_t version = header.U32(0);
  if (version != 0x00010000 && version != Tag("true") && version != Tag("OTTO"))
    throw SfntMalformed{"sfnt"};
  const std::uint16_t count = header.U16(4);
  std::unordered_map<std::uint32_t, TableEntry> tables;
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::uint64_t entry = 12 + std::uint64_t(i) * 16;
    const std::uint32_t tag = header.U32(entry);
    const TableEntry table{header.U32(entry + 8), header.U32(entry + 12)};
    if (std::uint64_t(table.offset) + table.length >
        file.Size()) {  // every table lies inside the file
      const char name[] = {char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag), '\0'};
      throw SfntMalformed{QByteArray(name).trimmed().toStdString()};
    }
    tables.emplace(tag, table);
  }
  return tables;
}

QString DecodeName(std::uint16_t platform, std::uint16_t encoding, const Span& bytes) {
  if (platform == 0 || platform == 3) {
    QString text;
    for (std::uint64_t i = 0; i + 1 < bytes.Size(); i += 2) text.append(QChar(bytes.U16(i)));
    return text;
  }
  if (platform == 1 && encoding == 0)  // Mac Roman: near enough to Latin-1 for family names
    return QString::fromLatin1(bytes.Data(), qsizetype(bytes.Size()));
  return {};
}

struct FaceNames {
  QStringList families;  // every family name (IDs 1 and 16), any platform and language
  QString english;       // the family a reader sees: Windows English, typographic first
  QString postscript;
};

FaceNames ReadNames(const Span& name) {
  FaceNames names;
  const std::uint16_t count = name.U16(2);
  const Span strings = name.From(name.U16(4));
  QString englishFamily, englishTypographic, anyFamily;
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::uint64_t record = 6 + std::uint64_t(i) * 12;
    const std::uint16_t platform = name.U16(record), encoding = name.U16(record + 2),
                        language = name.U16(record + 4), id = name.U16(record + 6);
    if (id != 1 && id != 16 && id != 6) continue;
    const QString text =
        DecodeName(platform, encoding, strings.Sub(name.U16(record + 10), name.U16(record + 8)));
    if (text.isEmpty()) continue;
    if (id == 6) {
      if (names.postscript.isEmpty()) names.postscript = text;
      continue;
    }
    names.families.append(text);
    const bool english = platform == 3 && language == 0x409;
    if (english && id == 16) englishTypographic = text;
    if (english && id == 1) englishFamily = text;
    if (anyFamily.isEmpty() && id == 1) anyFamily = text;
  }
  names.english = !englishTypographic.isEmpty() ? englishTypographic
                  : !englishFamily.isEmpty()    ? englishFamily
                  : !anyFamily.isEmpty()        ? anyFamily
                                                : names.families.value(0);
  return names;
}

}  // namespace

struct BookFont::Data {
  QByteArray file;
  std::unordered_map<std::uint32_t, TableEntry> tables;
  FaceNames names;
  int unitsPerEm = 1000;
  int locFormat = 0;
  int glyphCount = 0;
  double ascent = 0.88;
  std::vector<std::uint16_t> bmp;  // glyph of each BMP character
  std::unordered_map<char32_t, std::uint16_t> astral;
  std::vector<std::uint16_t> advances;  // font units, by glyph
  std::unordered_map<std::uint16_t, std::uint16_t> vertical;
  std::once_flag faceOnce;
  QByteArray face;

  Span FileSpan() const { return Span(file.constData(), std::uint64_t(file.size()), "sfnt"); }
  bool HasTable(const char (&tag)[5]) const { return tables.count(Tag(tag)) != 0; }
  Span Table(const char (&tag)[5]) const {
    const auto it = tables.find(Tag(tag));
    if (it == tables.end()) throw SfntMalformed{tag};
    return Span(file.constData() + it->second.offset, it->second.length, tag);
  }
  QByteArray TableBytes(std::uint32_t tag) const {
    const auto it = tables.find(tag);
    if (it == tables.end()) return {};
    return file.mid(it->second.offset, it->second.length);
  }

  void ReadMetrics();
  void ReadCmap();
  void MapGlyph(char32_t c, std::uint32_t glyph) {
    if (glyph == 0 || glyph >= std::uint32_t(glyphCount) || c > 0x10FFFF) return;
    if (c < 0x10000)
      bmp[c] = std::uint16_t(glyph);
    else
      astral.emplace(c, std::uint16_t(glyph));
  }
  void ReadVerticalForms();
  // Where glyph `glyph`'s outline lies in 'glyf' (empty when it has none).
  std::pair<std::uint32_t, std::uint32_t> GlyphRange(const Span& loca, std::uint32_t glyph) const {
    std::uint32_t start, end;
    if (locFormat == 0) {
      start = std::uint32_t(loca.U16(std::uint64_t(glyph) * 2)) * 2;
      end = std::uint32_t(loca.U16(std::uint64_t(glyph) * 2 + 2)) * 2;
    } else {
      start = loca.U32(std::uint64_t(glyph) * 4);
      end = loca.U32(std::uint64_t(glyph) * 4 + 4);
    }
    if (end < start) throw SfntMalformed{"loca"};
    return {start, end - start};
  }
};

void BookFont::Data::ReadMetrics() {
  const Span head = Table("head");
  if (head.U32(12) != 0x5F0F3CF5) throw SfntMalformed{"head"};  // magic number
  unitsPerEm = head.U16(18);
  if (unitsPerEm < 16 || unitsPerEm > 16384) throw SfntMalformed{"head"};
  locFormat = head.S16(50);
  if (locFormat != 0 && locFormat != 1) throw SfntMalformed{"head"};

  glyphCount = Table("maxp").U16(4);
  if (glyphCount == 0) throw SfntMalformed{"maxp"};
  // Every outline lies inside 'glyf', so a subset never reads past it.
  const Span loca = Table("loca");
  loca.Need(0, std::uint64_t(glyphCount + 1) * (locFormat == 0 ? 2 : 4));
  const std::uint64_t glyfLength = Table("glyf").Size();
  for (int g = 0; g < glyphCount; ++g) {
    const auto [start, length] = GlyphRange(loca, std::uint32_t(g));
    if (std::uint64_t(start) + length > glyfLength) throw SfntMalformed{"loca"};
  }

  const Span hhea = Table("hhea");
  const int metrics = hhea.U16(34);
  if (metrics == 0 || metrics > glyphCount) throw SfntMalformed{"hhea"};
  const Span hmtx = Table("hmtx");
  hmtx.Need(0, std::uint64_t(metrics) * 4);
  advances.resize(std::size_t(glyphCount));
  for (int g = 0; g < glyphCount; ++g)
    advances[std::size_t(g)] = hmtx.U16(std::uint64_t(std::min(g, metrics - 1)) * 4);

  // The top of the em box above the baseline: the vertical origin every
  // glyph of an upright column hangs from, so the em box fills its cell.
  if (HasTable("VORG")) {
    ascent = double(Table("VORG").S16(4)) / unitsPerEm;
  } else if (HasTable("OS/2") && Table("OS/2").Size() >= 72 &&
             Table("OS/2").S16(68) - Table("OS/2").S16(70) == unitsPerEm) {
    ascent = double(Table("OS/2").S16(68)) / unitsPerEm;
  } else {
    const int above = hhea.S16(4), below = hhea.S16(6);
    if (above > 0 && above - below > 0) ascent = double(above) / (above - below);
  }
}

void BookFont::Data::ReadCmap() {
  const Span cmap = Table("cmap");
  const std::uint16_t count = cmap.U16(2);
  // The best subtable: full Unicode (3/10), then BMP (3/1), then Unicode platform.
  int bestRank = 0;
  std::uint32_t best = 0;
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::uint64_t record = 4 + std::uint64_t(i) * 8;
    const std::uint16_t platform = cmap.U16(record), encoding = cmap.U16(record + 2);
    const std::uint32_t offset = cmap.U32(record + 4);
    const std::uint16_t format = cmap.U16(offset);
    if (format != 4 && format != 12) continue;
    int rank = 0;
    if (platform == 3 && encoding == 10) rank = 4;
    if (platform == 3 && encoding == 1) rank = 3;
    if (platform == 0) rank = format == 12 ? 2 : 1;
    if (rank > bestRank) bestRank = rank, best = offset;
  }
  if (bestRank == 0) throw SfntMalformed{"cmap"};

  bmp.assign(0x10000, 0);
  const Span table = cmap.From(best);
  if (table.U16(0) == 4) {
    const Span sub = table.Sub(0, table.U16(2));
    const std::uint32_t segments = sub.U16(6) / 2;
    const std::uint64_t ends = 14, starts = ends + segments * 2 + 2, deltas = starts + segments * 2,
                        ranges = deltas + segments * 2;
    for (std::uint32_t s = 0; s < segments; ++s) {
      const std::uint32_t end = sub.U16(ends + s * 2), start = sub.U16(starts + s * 2);
      const std::uint16_t delta = sub.U16(deltas + s * 2);
      const std::uint16_t range = sub.U16(ranges + s * 2);
      for (std::uint32_t c = start; c <= end && c < 0xFFFF; ++c) {
        std::uint32_t glyph;
        if (range == 0) {
          glyph = (c + delta) & 0xFFFF;
        } else {
          glyph = sub.U16(ranges + s * 2 + range + (c - start) * 2);
          if (glyph != 0) glyph = (glyph + delta) & 0xFFFF;
        }
        MapGlyph(c, glyph);
      }
    }
  } else {
    const std::uint32_t groups = table.U32(12);
    table.Need(16, std::uint64_t(groups) * 12);
    for (std::uint32_t i = 0; i < groups; ++i) {
      const std::uint64_t group = 16 + std::uint64_t(i) * 12;
      const std::uint32_t start = table.U32(group), end = table.U32(group + 4),
                          glyph = table.U32(group + 8);
      if (end < start || end > 0x10FFFF) throw SfntMalformed{"cmap"};
      for (std::uint32_t c = start; c <= end; ++c) MapGlyph(c, glyph + (c - start));
    }
  }
}

namespace {

// Every glyph a coverage table names, in coverage order.
std::vector<std::uint16_t> CoverageGlyphs(const Span& coverage) {
  std::vector<std::uint16_t> glyphs;
  const std::uint16_t format = coverage.U16(0), count = coverage.U16(2);
  if (format == 1) {
    for (std::uint16_t i = 0; i < count; ++i) glyphs.push_back(coverage.U16(4 + i * 2u));
  } else if (format == 2) {
    for (std::uint16_t i = 0; i < count; ++i) {
      const std::uint64_t record = 4 + std::uint64_t(i) * 6;
      const std::uint16_t start = coverage.U16(record), end = coverage.U16(record + 2);
      if (end < start) throw SfntMalformed{"GSUB"};
      for (std::uint32_t g = start; g <= end; ++g) glyphs.push_back(std::uint16_t(g));
    }
  } else {
    throw SfntMalformed{"GSUB"};
  }
  return glyphs;
}

void ReadSingleSubstitution(const Span& sub,
                            std::unordered_map<std::uint16_t, std::uint16_t>& forms) {
  const std::uint16_t format = sub.U16(0);
  const std::vector<std::uint16_t> covered = CoverageGlyphs(sub.From(sub.U16(2)));
  for (std::size_t i = 0; i < covered.size(); ++i) {
    if (format == 1)
      forms[covered[i]] = std::uint16_t(covered[i] + sub.U16(4));
    else if (format == 2 && i < sub.U16(4))
      forms[covered[i]] = sub.U16(6 + i * 2);
  }
}

}  // namespace

void BookFont::Data::ReadVerticalForms() {
  if (!HasTable("GSUB")) return;
  const Span gsub = Table("GSUB");
  const Span features = gsub.From(gsub.U16(6));
  const Span lookups = gsub.From(gsub.U16(8));
  std::vector<std::uint16_t> vert, vrt2;
  for (std::uint16_t i = 0, n = features.U16(0); i < n; ++i) {
    const std::uint32_t tag = features.U32(2 + i * 6u);
    if (tag != Tag("vert") && tag != Tag("vrt2")) continue;
    const Span feature = features.From(features.U16(2 + i * 6u + 4));
    for (std::uint16_t k = 0, m = feature.U16(2); k < m; ++k)
      (tag == Tag("vert") ? vert : vrt2).push_back(feature.U16(4 + k * 2u));
  }
  // 'vrt2' is the fuller of the two where a face has both: read it last.
  vert.insert(vert.end(), vrt2.begin(), vrt2.end());
  for (const std::uint16_t index : vert) {
    if (index >= lookups.U16(0)) throw SfntMalformed{"GSUB"};
    const Span lookup = lookups.From(lookups.U16(2 + index * 2u));
    const std::uint16_t type = lookup.U16(0);
    for (std::uint16_t s = 0, n = lookup.U16(4); s < n; ++s) {
      Span sub = lookup.From(lookup.U16(6 + s * 2u));
      if (type == 7) {  // an extension: the real subtable is further on
        if (sub.U16(0) != 1 || sub.U16(2) != 1) continue;
        sub = sub.From(sub.U32(4));
      } else if (type != 1) {
        continue;
      }
      ReadSingleSubstitution(sub, vertical);
    }
  }
  for (auto it = vertical.begin(); it != vertical.end();) {
    if (it->second >= glyphCount)
      it = vertical.erase(it);
    else
      ++it;
  }
}

BookFont::BookFont(std::unique_ptr<Data> data) : m_data(std::move(data)) {}
BookFont::~BookFont() = default;

std::shared_ptr<const BookFont> BookFont::Load(const QString& file, const QString& family,
                                               QString* error) {
  auto fail = [&](const QString& why) {
    if (error) *error = why;
    return std::shared_ptr<const BookFont>();
  };
  const QString shown = QFileInfo(file).fileName().isEmpty() ? file : QFileInfo(file).fileName();
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly))
    return fail(FontText::tr("无法读取字体文件 %1：%2。").arg(file, in.errorString()));
  auto data = std::make_unique<Data>();
  data->file = in.readAll();
  if (in.error() != QFileDevice::NoError)
    return fail(FontText::tr("无法读取字体文件 %1：%2。").arg(file, in.errorString()));

  try {
    const Span whole = data->FileSpan();
    std::vector<std::uint32_t> faces;
    if (whole.U32(0) == Tag("ttcf")) {
      const std::uint32_t count = whole.U32(8);
      whole.Need(12, std::uint64_t(count) * 4);
      for (std::uint32_t i = 0; i < count; ++i) faces.push_back(whole.U32(12 + i * 4));
    } else {
      faces.push_back(0);
    }
    bool found = false;
    for (const std::uint32_t face : faces) {
      data->tables = ReadDirectory(whole, face);
      data->names = data->HasTable("name") ? ReadNames(data->Table("name")) : FaceNames{};
      if (family.isEmpty() || data->names.families.contains(family, Qt::CaseInsensitive)) {
        found = true;
        break;
      }
    }
    if (!found) return fail(FontText::tr("字体文件 %1 中没有名为“%2”的字体。").arg(shown, family));
    if (!data->HasTable("glyf") && !data->HasTable("CFF ") && !data->HasTable("CFF2"))
      throw SfntMalformed{"glyf"};
    if (!data->HasTable("glyf")) {
      return fail(FontText::tr("字体“%1”的字形是 CFF 轮廓，无法嵌入子集；请选用 TrueType "
                               "字体（如 AR PL UMing）。")
                      .arg(data->names.english.isEmpty() ? shown : data->names.english));
    }
    data->ReadMetrics();
    data->ReadCmap();
    data->ReadVerticalForms();
  } catch (const SfntMalformed& bad) {
    return fail(FontText::tr("字体文件 %1 已损坏（%2 表）。")
                    .arg(shown, QString::fromStdString(bad.table)));
  }
  return std::shared_ptr<const BookFont>(new BookFont(std::move(data)));
}

namespace {

// The Ming faces of Debian, best first, each with the family to take from
// it (empty: the file's first face).
struct Place {
  const char* file;
  const char* family;
};
constexpr Place kPlaces[] = {
    {"/usr/share/fonts/truetype/arphic/uming.ttc", "AR PL UMing CN"},  // fonts-arphic-uming
    {"/usr/share/fonts/truetype/arphic-gbsn00lp/gbsn00lp.ttf", ""},    // fonts-arphic-gbsn00lp
    {"/usr/share/fonts/truetype/arphic-bsmi00lp/bsmi00lp.ttf", ""},    // fonts-arphic-bsmi00lp
    {"/usr/share/fonts/truetype/arphic/ukai.ttc", ""},                 // fonts-arphic-ukai
};

const Place* InstalledPlace() {
  for (const Place& place : kPlaces)
    if (QFileInfo(QString::fromLatin1(place.file)).isReadable()) return &place;
  return nullptr;
}

}  // namespace

QString BookFont::DefaultFile() {
  const Place* place = InstalledPlace();
  return place ? QString::fromLatin1(place->file) : QString();
}

QString BookFont::DefaultFamily() {
  const Place* place = InstalledPlace();
  return QString::fromLatin1(place ? place->family : kPlaces[0].family);
}

QString BookFont::Family() const {
  return m_data->names.english;
}

QString BookFont::PostScriptName() const {
  return m_data->names.postscript;
}

std::uint16_t BookFont::Glyph(char32_t c) const {
  if (c < 0x10000) return m_data->bmp[c];
  const auto it = m_data->astral.find(c);
  return it == m_data->astral.end() ? 0 : it->second;
}

bool BookFont::Has(char32_t c) const {
  return Glyph(c) != 0;
}

double BookFont::Advance(char32_t c) const {
  const std::uint16_t glyph = Glyph(c);
  return glyph == 0 ? 0.0 : GlyphAdvance(glyph);
}

double BookFont::GlyphAdvance(std::uint16_t glyph) const {
  if (glyph >= m_data->advances.size()) return 0;
  return double(m_data->advances[glyph]) / m_data->unitsPerEm;
}

int BookFont::UnitsPerEm() const {
  return m_data->unitsPerEm;
}

int BookFont::GlyphCount() const {
  return m_data->glyphCount;
}

double BookFont::Ascent() const {
  return m_data->ascent;
}

namespace {

// Punctuation and its vertical presentation form, for faces whose 'vert'
// feature leaves brackets and dashes out (AR PL UMing's covers only 、。…)
// but whose cmap has the forms themselves. Sorted by the first.
constexpr std::pair<char32_t, char32_t> kPresentationForms[] = {
    {U'\u2013', U'\uFE32'}, {U'\u2014', U'\uFE31'}, {U'\u2025', U'\uFE30'}, {U'\u2026', U'\uFE19'},
    {U'\u3001', U'\uFE11'}, {U'\u3002', U'\uFE12'}, {U'\u3008', U'\uFE3F'}, {U'\u3009', U'\uFE40'},
    {U'\u300A', U'\uFE3D'}, {U'\u300B', U'\uFE3E'}, {U'\u300C', U'\uFE41'}, {U'\u300D', U'\uFE42'},
    {U'\u300E', U'\uFE43'}, {U'\u300F', U'\uFE44'}, {U'\u3010', U'\uFE3B'}, {U'\u3011', U'\uFE3C'},
    {U'\u3014', U'\uFE39'}, {U'\u3015', U'\uFE3A'}, {U'\u3016', U'\uFE17'}, {U'\u3017', U'\uFE18'},
    {U'\uFF01', U'\uFE15'}, {U'\uFF08', U'\uFE35'}, {U'\uFF09', U'\uFE36'}, {U'\uFF0C', U'\uFE10'},
    {U'\uFF1A', U'\uFE13'}, {U'\uFF1B', U'\uFE14'}, {U'\uFF1F', U'\uFE16'}, {U'\uFF3B', U'\uFE47'},
    {U'\uFF3D', U'\uFE48'}, {U'\uFF3F', U'\uFE33'}, {U'\uFF5B', U'\uFE37'}, {U'\uFF5D', U'\uFE38'},
};

}  // namespace

std::uint16_t BookFont::VerticalGlyph(char32_t c) const {
  const std::uint16_t glyph = Glyph(c);
  const auto it = m_data->vertical.find(glyph);
  if (it != m_data->vertical.end()) return it->second;
  const auto form = std::lower_bound(
      std::begin(kPresentationForms), std::end(kPresentationForms), c,
      [](const std::pair<char32_t, char32_t>& entry, char32_t key) { return entry.first < key; });
  if (glyph != 0 && form != std::end(kPresentationForms) && form->first == c) {
    const std::uint16_t vertical = Glyph(form->second);
    if (vertical != 0) return vertical;
  }
  return glyph;
}

QByteArray BookFont::Subset(const std::vector<std::uint16_t>& glyphs) const {
  const Data& d = *m_data;
  const Span loca = d.Table("loca");
  const Span glyf = d.Table("glyf");
  const auto count = std::size_t(d.glyphCount);

  // The glyphs asked for, glyph 0 (drawn for what the face lacks), and the
  // parts composite glyphs are made of, to any depth.
  std::vector<bool> keep(count, false);
  std::vector<std::uint16_t> pending(glyphs.begin(), glyphs.end());
  pending.push_back(0);
  while (!pending.empty()) {
    const std::uint16_t glyph = pending.back();
    pending.pop_back();
    if (glyph >= count || keep[glyph]) continue;
    keep[glyph] = true;
    const auto [start, length] = d.GlyphRange(loca, glyph);
    if (length < 10) continue;
    const Span outline = glyf.Sub(start, length);
    if (outline.S16(0) >= 0) continue;  // a simple glyph
    std::uint64_t at = 10;
    // A composite that runs past its own bytes keeps the parts read so far.
    try {
      for (;;) {
        const std::uint16_t flags = outline.U16(at);
        pending.push_back(outline.U16(at + 2));
        at += 4 + ((flags & 0x0001) ? 4 : 2);
        if (flags & 0x0008)
          at += 2;  // one scale
        else if (flags & 0x0040)
          at += 4;  // x and y scales
        else if (flags & 0x0080)
          at += 8;                     // a 2x2 matrix
        if (!(flags & 0x0020)) break;  // no more components
      }
    } catch (const SfntMalformed&) {
    }
  }

  QByteArray newGlyf;
  std::vector<std::uint32_t> offsets(count + 1, 0);
  for (std::size_t g = 0; g < count; ++g) {
    offsets[g] = std::uint32_t(newGlyf.size());
    if (!keep[g]) continue;
    const auto [start, length] = d.GlyphRange(loca, std::uint32_t(g));
    newGlyf.append(glyf.Sub(start, length).Data(), qsizetype(length));
    while (newGlyf.size() % 4) newGlyf.append('\0');
  }
  offsets[count] = std::uint32_t(newGlyf.size());
  const bool shortLoca = newGlyf.size() < 0x20000;
  QByteArray newLoca;
  newLoca.reserve(qsizetype(count + 1) * (shortLoca ? 2 : 4));
  for (const std::uint32_t offset : offsets) {
    if (shortLoca)
      sfnt::PutU16(newLoca, std::uint16_t(offset / 2));
    else
      sfnt::PutU32(newLoca, offset);
  }

  // Advances stay for every glyph (the ids are kept); the side bearings of
  // the glyphs left out are zeroed so the table compresses to little.
  QByteArray hmtx = d.TableBytes(Tag("hmtx"));
  const int metrics = d.Table("hhea").U16(34);
  for (std::size_t g = 0; g < count; ++g) {
    if (keep[g]) continue;
    const qsizetype at = g < std::size_t(metrics)
                             ? qsizetype(g) * 4 + 2
                             : qsizetype(metrics) * 4 + qsizetype(g - metrics) * 2;
    if (at + 2 <= hmtx.size()) sfnt::SetU16(hmtx, int(at), 0);
  }

  QByteArray head = d.TableBytes(Tag("head"));
  sfnt::SetU16(head, 50, shortLoca ? 0 : 1);
  std::vector<std::pair<std::uint32_t, QByteArray>> tables = {
      {Tag("head"), head},
      {Tag("hhea"), d.TableBytes(Tag("hhea"))},
      {Tag("maxp"), d.TableBytes(Tag("maxp"))},
      {Tag("hmtx"), hmtx},
      {Tag("loca"), newLoca},
      {Tag("glyf"), newGlyf},
  };
  for (const std::uint32_t hinting : {Tag("cvt "), Tag("fpgm"), Tag("prep")})
    if (d.tables.count(hinting)) tables.emplace_back(hinting, d.TableBytes(hinting));
  return sfnt::AssembleSfnt(std::move(tables));
}

QByteArray BookFont::FaceBytes() const {
  Data& d = *m_data;
  std::call_once(d.faceOnce, [&d] {
    // Embedded bitmaps are left out so the preview draws the same outlines
    // at every size as the PDF does.
    static const std::uint32_t kBitmaps[] = {Tag("EBDT"), Tag("EBLC"), Tag("EBSC"),
                                             Tag("BDF "), Tag("bdat"), Tag("bloc")};
    std::vector<std::pair<std::uint32_t, QByteArray>> tables;
    for (const auto& [tag, entry] : d.tables) {
      if (std::find(std::begin(kBitmaps), std::end(kBitmaps), tag) != std::end(kBitmaps)) continue;
      tables.emplace_back(tag, d.file.mid(entry.offset, entry.length));
    }
    d.face = sfnt::AssembleSfnt(std::move(tables));
  });
  return d.face;
}

}  // namespace book
