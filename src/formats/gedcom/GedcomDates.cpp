// GEDCOM dates of every version and calendar, read and written.
#include <array>
#include <limits>
#include <string>

#include "formats/gedcom/GedcomDetail.h"

namespace gedcom::detail {

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

}  // namespace gedcom::detail
