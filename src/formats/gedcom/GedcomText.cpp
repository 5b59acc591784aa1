// Encodings, dates and surnames of the GEDCOM import and export.
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "formats/gedcom/GedcomDetail.h"
#include "model/TextCodec.h"

namespace gedcom::detail {

namespace {

void AppendCodePoint(std::string& out, std::uint32_t cp) {
  char buffer[4];
  char* end = buffer;
  if (cp < 0x80) {
    *end++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *end++ = static_cast<char>(0xC0 | (cp >> 6));
    *end++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *end++ = static_cast<char>(0xE0 | (cp >> 12));
    *end++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *end++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *end++ = static_cast<char>(0xF0 | (cp >> 18));
    *end++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *end++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *end++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  for (const char* b = buffer; b != end; ++b) out.push_back(*b);
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// One line of the header, read from bytes in any ASCII-compatible encoding.
struct RawLine {
  int level = -1;
  std::string_view tag, value;
};

RawLine ParseRawLine(std::string_view line) {
  RawLine r;
  line = Trim(line);
  std::size_t i = 0;
  int level = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9' && i < 3)
    level = level * 10 + (line[i++] - '0');
  if (i == 0 || i >= line.size() || line[i] != ' ') return r;
  while (i < line.size() && line[i] == ' ') ++i;
  if (i < line.size() && line[i] == '@') {
    const std::size_t close = line.find("@ ", i + 1);
    if (close == std::string_view::npos) return r;
    i = close + 2;
  }
  const std::size_t space = line.find(' ', i);
  r.tag = line.substr(i, space == std::string_view::npos ? std::string_view::npos : space - i);
  r.value = space == std::string_view::npos ? std::string_view() : Trim(line.substr(space + 1));
  r.level = level;
  return r;
}

// The declared character set and version, from the header of a file in an
// ASCII-compatible encoding.
void ReadHeader(std::string_view bytes, std::string& charset, std::string& version) {
  bytes = bytes.substr(0, std::min<std::size_t>(bytes.size(), 1 << 20));
  std::string_view level1;
  bool first = true;
  while (!bytes.empty()) {
    std::size_t end = bytes.find_first_of("\r\n");
    if (end == std::string_view::npos) end = bytes.size();
    const RawLine line = ParseRawLine(bytes.substr(0, end));
    bytes.remove_prefix(std::min(bytes.size(), end + 1));
    if (line.level < 0) continue;
    if (line.level == 0 && !first) return;
    first = false;
    if (line.level == 1) {
      level1 = line.tag;
      if (line.tag == "CHAR") charset = std::string(line.value);
    } else if (line.level == 2 && level1 == "GEDC" && line.tag == "VERS") {
      version = std::string(line.value);
    }
  }
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
  static constexpr std::uint16_t kHigh[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (unsigned char c : bytes) {
    if (c < 0x80)
      out.push_back(static_cast<char>(c));
    else if (c < 0xA0)
      AppendCodePoint(out, kHigh[c - 0x80]);
    else
      AppendCodePoint(out, c);
  }
  return out;
}

std::string AnselToUtf8(std::string_view bytes) {
  // Special letters and signs 0xA1-0xCF; 0 marks an unassigned byte.
  static constexpr std::uint16_t kSpecial[0x2F] = {
      0x0141, 0x00D8, 0x0110, 0x00DE, 0x00C6, 0x0152, 0x02B9, 0x00B7, 0x266D, 0x00AE,  // A1-AA
      0x00B1, 0x01A0, 0x01AF, 0x02BC, 0,      0x02BB, 0x0142, 0x00F8, 0x0111, 0x00FE,  // AB-B4
      0x00E6, 0x0153, 0x02BA, 0x0131, 0x00A3, 0x00F0, 0,      0x01A1, 0x01B0, 0x25A1,  // B5-BE
      0x25A0, 0x00B0, 0x2113, 0x2117, 0x00A9, 0x266F, 0x00BF, 0x00A1, 0x00DF, 0x20AC,  // BF-C8
      0,      0,      0,      0,      0x0065, 0x006F, 0x00DF};                         // C9-CF
  // Combining marks 0xE0-0xFE.
  static constexpr std::uint16_t kCombining[0x1F] = {
      0x0309, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0306, 0x0307, 0x0308, 0x030C, 0x030A,
      0xFE20, 0xFE21, 0x0315, 0x030B, 0x0310, 0x0327, 0x0328, 0x0323, 0x0324, 0x0325, 0x0333,
      0x0332, 0x0326, 0x031C, 0x032E, 0xFE22, 0xFE23, 0,      0,      0x0313};
  struct Compose {
    std::uint16_t mark;
    std::uint16_t letter;
    std::uint16_t composed;
  };
  static constexpr Compose kCompose[] = {
#include "formats/gedcom/AnselCompose.inc"
  };
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  std::uint16_t marks[8];
  int pending = 0;
  for (unsigned char c : bytes) {
    if (c >= 0xE0 && c <= 0xFE && kCombining[c - 0xE0] != 0) {
      if (pending < 8) marks[pending++] = kCombining[c - 0xE0];
      continue;
    }
    std::uint32_t base;
    if (c < 0x80)
      base = c;
    else if (c >= 0xA1 && c <= 0xCF && kSpecial[c - 0xA1] != 0)
      base = kSpecial[c - 0xA1];
    else
      base = 0xFFFD;
    // A mark before a line break has nothing to sit on: it stands alone.
    if (pending > 0 && (c == '\r' || c == '\n')) {
      for (int i = 0; i < pending; ++i) AppendCodePoint(out, marks[i]);
      pending = 0;
    }
    int used = 0;
    if (pending > 0 && base < 0x80) {
      const Compose key{marks[0], static_cast<std::uint16_t>(base), 0};
      const auto* found = std::lower_bound(
          std::begin(kCompose), std::end(kCompose), key, [](const Compose& a, const Compose& b) {
            return a.mark != b.mark ? a.mark < b.mark : a.letter < b.letter;
          });
      if (found != std::end(kCompose) && found->mark == key.mark && found->letter == key.letter) {
        base = found->composed;
        used = 1;
      }
    }
    AppendCodePoint(out, base);
    for (int i = used; i < pending; ++i) AppendCodePoint(out, marks[i]);
    pending = 0;
  }
  for (int i = 0; i < pending; ++i) AppendCodePoint(out, marks[i]);
  return out;
}

GedcomResult Decode(std::string_view bytes, DecodedText& out) {
  out = DecodedText{};
  auto fail = [](std::string detail) {
    return GedcomResult{GedcomError::kNotText, 0, std::move(detail)};
  };
  std::string charset;
  const auto u = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  bool utf16 = false, bigEndian = false;
  std::string_view body = bytes;
  if (bytes.size() >= 3 && u(0) == 0xEF && u(1) == 0xBB && u(2) == 0xBF) {
    body.remove_prefix(3);
    out.encoding = "UTF-8";
  } else if (bytes.size() >= 2 &&
             ((u(0) == 0xFF && u(1) == 0xFE) || (u(0) == 0xFE && u(1) == 0xFF))) {
    utf16 = true;
    bigEndian = u(0) == 0xFE;
    body.remove_prefix(2);
  } else if (bytes.size() >= 2 && ((u(0) == '0' && u(1) == 0) || (u(0) == 0 && u(1) == '0'))) {
    // UTF-16 without its mark still starts with "0 HEAD".
    utf16 = true;
    bigEndian = u(0) == 0;
  }
  if (utf16) {
    out.encoding = bigEndian ? "UTF-16BE" : "UTF-16LE";
    if (!textcodec::Utf16ToUtf8(body, bigEndian, out.storage))
      return fail("the file is no well-formed " + out.encoding + " text");
    std::string_view text = out.storage;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    out.text = text;
    ReadHeader(out.text, charset, out.version);
    return {};
  }
  ReadHeader(body, charset, out.version);
  std::string upper;
  for (char c : charset) upper.push_back(Upper(c));
  const bool isUtf8 = textcodec::IsUtf8(body);
  if (!out.encoding.empty() || upper == "UTF-8" || upper == "UTF8" || upper == "UNICODE" ||
      out.version.rfind("7.", 0) == 0) {
    // A byte-order mark, a declaration or version 7 (always UTF-8) settle it.
    if (!isUtf8) return fail("the file declares UTF-8 but holds bytes that are no UTF-8");
    out.encoding = "UTF-8";
    out.text = body;
    return {};
  }
  if (upper == "GB2312" || upper == "GBK" || upper == "GB18030" || upper == "CP936") {
    if (!textcodec::Gb18030ToUtf8(body, out.storage))
      return fail("the file declares " + charset + " but holds bytes that are no GB18030");
    out.encoding = "GB18030";
    out.text = out.storage;
    return {};
  }
  if (upper == "ANSEL" || (upper.empty() && !isUtf8)) {
    // ANSEL is the default of GEDCOM 5.5; but a file without a declaration
    // whose bytes are all UTF-8 is far more likely UTF-8.
    out.storage = AnselToUtf8(body);
    out.encoding = "ANSEL";
    out.text = out.storage;
    return {};
  }
  if (isUtf8) {
    // ASCII is UTF-8; so is a file that says ANSI but holds only UTF-8.
    out.encoding = "UTF-8";
    out.text = body;
    return {};
  }
  out.storage = Windows1252ToUtf8(body);
  out.encoding = "Windows-1252";
  out.text = out.storage;
  return {};
}

std::u16string ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    std::uint32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : c & 0x1F;
    bool ok = extra > 0 && c <= 0xF4;
    for (int k = 1; ok && k <= extra; ++k) {
      if (i + static_cast<std::size_t>(k) >= n) {
        ok = false;
        break;
      }
      const unsigned char t = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((t & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (t & 0x3F);
    }
    static constexpr std::uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (ok && (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

// ---- Dates ----------------------------------------------------------------

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr std::array<std::string_view, 13> kHebrewMonths = {
    "TSH", "CSH", "KSL", "TVT", "SHV", "ADR", "ADS", "NSN", "IYR", "SVN", "TMZ", "AAV", "ELL"};
constexpr std::array<std::string_view, 13> kFrenchMonths = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV",
                                                            "VENT", "GERM", "FLOR", "PRAI", "MESS",
                                                            "THER", "FRUC", "COMP"};

enum class Calendar { kGregorian, kJulian, kHebrew, kFrench, kOther };

void CivilFromDays(std::int64_t z, std::int64_t& y, std::int64_t& m, std::int64_t& d) {
  z += 719468;  // days from 0000-03-01, the start of the 400-year cycle
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp + (mp < 10 ? 3 : -9);
  y = yoe + era * 400 + (m <= 2);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Days of a Julian date counted like DaysFromCivil counts Gregorian ones
// (through the Julian day number; day 0 is 1970-01-01, JDN 2440588).
std::int64_t DaysFromJulian(std::int64_t y, std::int64_t m, std::int64_t d) {
  const std::int64_t a = (14 - m) / 12;
  const std::int64_t yy = y + 4800 - a;
  const std::int64_t mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + FloorDiv(yy, 4) - 32083 - 2440588;
}

struct OneDate {
  bool ok = false;
  Calendar calendar = Calendar::kGregorian;
  std::int64_t year = 0;
  int month = 0, day = 0;
  bool dual = false;
  bool trailing = false;  // words left that were no part of a date
};

// The words of a date value; a value of more words than any date has keeps
// its first ones and counts as having trailing words.
struct WordList {
  std::array<std::string_view, 16> word;
  std::size_t size = 0;
  bool overflow = false;
  std::string_view operator[](std::size_t i) const { return word[i]; }
};

WordList Words(std::string_view s) {
  WordList words;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    std::size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\t') ++j;
    if (j > i) {
      if (words.size == words.word.size()) {
        words.overflow = true;
        break;
      }
      words.word[words.size++] = s.substr(i, j - i);
    }
    i = j;
  }
  return words;
}

// A word in capitals, without allocating: keywords are short.
struct Caps {
  char buffer[16];
  std::string_view text;
  explicit Caps(std::string_view w) {
    if (w.size() > sizeof buffer) {
      text = "?";
      return;
    }
    for (std::size_t i = 0; i < w.size(); ++i) buffer[i] = Upper(w[i]);
    text = std::string_view(buffer, w.size());
  }
  bool operator==(std::string_view other) const { return text == other; }
  Caps(const Caps&) = delete;
};

bool ParseNumber(std::string_view w, std::int64_t& value) {
  if (w.empty() || w.size() > 10) return false;
  value = 0;
  for (char c : w) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

OneDate ParseOne(const WordList& words, std::size_t begin, std::size_t end) {
  OneDate r;
  std::size_t i = begin;
  if (i < end) {
    const Caps caps(words[i]);
    const std::string_view upper = caps.text;
    bool known = true;
    if (upper == "@#DGREGORIAN@" || upper == "GREGORIAN")
      r.calendar = Calendar::kGregorian;
    else if (upper == "@#DJULIAN@" || upper == "JULIAN")
      r.calendar = Calendar::kJulian;
    else if (upper == "@#DHEBREW@" || upper == "HEBREW")
      r.calendar = Calendar::kHebrew;
    else if (upper == "FRENCH_R" || (upper == "@#DFRENCH" && i + 1 < end))
      r.calendar = Calendar::kFrench;
    else if (upper.rfind("@#D", 0) == 0 || (upper.size() > 1 && upper[0] == '_'))
      r.calendar = Calendar::kOther;
    else
      known = false;
    if (known) {
      ++i;
      // "@#DFRENCH R@" and other escapes that contain a blank.
      if (upper.rfind("@#D", 0) == 0 && upper.back() != '@') {
        while (i < end && words[i].back() != '@') ++i;
        if (i < end) ++i;
      }
    }
  }
  // Epoch at the end.
  std::size_t last = end;
  bool bc = false;
  if (last > i) {
    const Caps upper(words[last - 1]);
    if (upper == "B.C." || upper == "BC" || upper == "BCE" || upper == "B.C.E." ||
        upper == "(B.C.)" || upper == "B.C") {
      bc = true;
      --last;
    }
  }
  if (last <= i) return r;
  // The year is the last word.
  std::string_view yearWord = words[last - 1];
  const std::size_t slash = yearWord.find('/');
  if (slash != std::string_view::npos) {
    std::int64_t later = 0;
    std::string_view tail = yearWord.substr(slash + 1);
    if (!ParseNumber(yearWord.substr(0, slash), r.year) || !ParseNumber(tail, later)) return r;
    // "1699/00": the later of the two years of a dual date.
    std::int64_t scale = 1;
    for (std::size_t k = 0; k < tail.size(); ++k) scale *= 10;
    std::int64_t candidate = r.year - r.year % scale + later;
    if (candidate <= r.year) candidate += scale;
    r.year = candidate;
    r.dual = true;
  } else if (!ParseNumber(yearWord, r.year)) {
    return r;
  }
  if (bc) r.year = 1 - r.year;
  --last;
  if (last > i) {
    const Caps upper(words[last - 1]);
    int month = 0;
    const auto find = [&](auto& table) {
      for (std::size_t k = 0; k < table.size(); ++k)
        if (upper == table[k]) return static_cast<int>(k) + 1;
      return 0;
    };
    month = r.calendar == Calendar::kHebrew   ? find(kHebrewMonths)
            : r.calendar == Calendar::kFrench ? find(kFrenchMonths)
                                              : find(kMonths);
    if (month == 0) {
      r.trailing = true;
      return r.ok = true, r;
    }
    r.month = month;
    --last;
    if (last > i) {
      std::int64_t day = 0;
      if (ParseNumber(words[last - 1], day) && day >= 1 && day <= 31) {
        r.day = static_cast<int>(day);
        --last;
      }
    }
  }
  r.trailing = last > i;
  r.ok = true;
  return r;
}

}  // namespace

ParsedDate ParseDate(std::string_view value) {
  ParsedDate out;
  WordList words = Words(value);
  // A phrase in parentheses is no part of the date.
  for (std::size_t k = 0; k < words.size; ++k) {
    if (!words[k].empty() && words[k].front() == '(') {
      words.size = k;
      words.overflow = false;
      break;
    }
  }
  if (words.size == 0) return out;
  const Caps first(words[0]);
  std::size_t begin = 0, end = words.size;
  bool modified = false;
  if (first == "ABT" || first == "CAL" || first == "EST" || first == "BEF" || first == "AFT" ||
      first == "INT" || first == "FROM" || first == "TO" || first == "BET" || first == "ABOUT" ||
      first == "BEFORE" || first == "AFTER" || first == "CIRCA" || first == "C.") {
    modified = true;
    begin = 1;
    // Of a range or period, the first date.
    for (std::size_t k = 1; k < words.size; ++k) {
      const Caps upper(words[k]);
      if (upper == "AND" || upper == "TO") {
        end = k;
        break;
      }
    }
  }
  const OneDate d = ParseOne(words, begin, end);
  if (!d.ok) return out;
  std::int64_t y = d.year, m = d.month ? d.month : 1, day = d.day ? d.day : 1;
  bool exact = !modified && !d.dual && !d.trailing && !words.overflow && d.month && d.day;
  switch (d.calendar) {
    case Calendar::kGregorian:
      break;
    case Calendar::kJulian:
      if (d.month && d.day) {
        CivilFromDays(DaysFromJulian(y, m, day), y, m, day);
      }
      exact = false;
      break;
    case Calendar::kHebrew:
      // Tishri begins the year in autumn: the Gregorian year of most of it.
      y = y - 3761;
      m = day = 1;
      exact = false;
      break;
    case Calendar::kFrench:
      y = y + 1791;
      m = day = 1;
      exact = false;
      break;
    case Calendar::kOther:
      m = day = 1;
      exact = false;
      break;
  }
  if (y < std::numeric_limits<std::int32_t>::min() || y > std::numeric_limits<std::int32_t>::max())
    return out;
  out.year = static_cast<std::int32_t>(y);
  out.month = static_cast<std::int32_t>(m);
  out.day = static_cast<std::int32_t>(day);
  if (!COperationClanbook::IsValidDate(out.year, out.month, out.day)) {
    // 30 FEB and the like: keep the month, take its first day.
    out.day = 1;
    exact = false;
  }
  out.kind = exact ? ParsedDate::kExact : ParsedDate::kEstimated;
  return out;
}

std::string FormatDate(std::int32_t year, std::int32_t month, std::int32_t day,
                       GedcomVersion version) {
  std::string out;
  if (month >= 1 && month <= 12) {
    if (day >= 1 && day <= 31) {
      out += std::to_string(day);
      out += ' ';
    }
    out += kMonths[static_cast<std::size_t>(month - 1)];
    out += ' ';
  }
  if (year <= 0) {
    // Astronomical year 0 is 1 BC: there is no year 0 in the epoch notation.
    out += std::to_string(1 - static_cast<std::int64_t>(year));
    out += version == GedcomVersion::v7_0 ? " BCE" : " B.C.";
  } else {
    out += std::to_string(year);
  }
  return out;
}

// ---- Names ----------------------------------------------------------------

namespace {

bool IsChineseCodePoint(std::uint32_t cp) {
  return (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) ||
         (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x3FFFF) || cp == 0x3007;
}

// The code point at `i` and the number of code units it takes.
std::uint32_t CodePointAt(std::u16string_view s, std::size_t i, std::size_t& units) {
  const std::uint32_t u = s[i];
  if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
    units = 2;
    return 0x10000 + ((u - 0xD800) << 10) + (static_cast<std::uint32_t>(s[i + 1]) - 0xDC00);
  }
  units = 1;
  return u;
}

// Two-character surnames, simplified and traditional forms.
constexpr std::u16string_view kCompoundSurnames[] = {
    u"欧阳", u"歐陽", u"司马", u"司馬", u"诸葛", u"諸葛",     u"上官",    u"东方", u"東方", u"皇甫",
    u"尉迟", u"尉遲", u"公孙", u"公孫", u"慕容", u"长孙",     u"長孫",    u"夏侯", u"轩辕", u"軒轅",
    u"令狐", u"宇文", u"司徒", u"司空", u"端木", u"独孤",     u"獨孤",    u"南宫", u"南宮", u"西门",
    u"西門", u"百里", u"呼延", u"钟离", u"鍾離", u"鐘離",     u"万俟",    u"萬俟", u"澹台", u"澹臺",
    u"公冶", u"太史", u"申屠", u"闻人", u"聞人", u"赫连",     u"赫連",    u"濮阳", u"濮陽", u"淳于",
    u"单于", u"單于", u"仲孙", u"仲孫", u"宗政", u"公羊",     u"羊舌",    u"微生", u"梁丘", u"左丘",
    u"东郭", u"東郭", u"拓跋", u"第五", u"谷梁", u"穀梁",     u"乐正",    u"樂正", u"巫马", u"巫馬",
    u"亓官", u"司寇", u"子车", u"子車", u"颛孙", u"顓孫",     u"壤驷",    u"壤駟", u"公良", u"漆雕",
    u"宰父", u"段干", u"东门", u"東門", u"公西", u"夹谷",     u"夾谷",    u"鲜于", u"鮮于", u"闾丘",
    u"閭丘", u"锺离", u"公户", u"公戶", u"公玉", u"公仪",     u"公儀",    u"梁丘", u"公仲", u"公上",
    u"公门", u"公門", u"公山", u"公坚", u"公堅", u"左人",     u"第一",    u"叱干", u"叱乾", u"贺兰",
    u"賀蘭", u"长孙", u"呼延", u"纳兰", u"納蘭", u"爱新觉罗", u"愛新覺羅"};

}  // namespace

bool IsChineseName(std::u16string_view name) {
  if (name.empty()) return false;
  for (std::size_t i = 0; i < name.size();) {
    std::size_t units = 0;
    if (!IsChineseCodePoint(CodePointAt(name, i, units))) return false;
    i += units;
  }
  return true;
}

std::size_t SurnameLength(std::u16string_view name, std::u16string_view clanSurname) {
  if (!IsChineseName(name)) return 0;
  std::size_t firstUnits = 0;
  CodePointAt(name, 0, firstUnits);
  if (firstUnits >= name.size()) return 0;  // one character: a given name alone
  if (!clanSurname.empty() && clanSurname.size() < name.size() &&
      name.substr(0, clanSurname.size()) == clanSurname)
    return clanSurname.size();
  for (std::u16string_view compound : kCompoundSurnames)
    if (compound.size() < name.size() && name.substr(0, compound.size()) == compound)
      return compound.size();
  return firstUnits;
}

}  // namespace gedcom::detail
