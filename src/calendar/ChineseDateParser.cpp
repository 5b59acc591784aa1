#include "calendar/ChineseDateParser.h"

#include "model/COperationClanbook.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::u16string_view kDigits = u"〇一二三四五六七八九";

// Reads the text from left to right; every read either takes what it wants
// and moves on, or takes nothing.
class Reader {
public:
  explicit Reader(std::u16string text) : m_text(std::move(text)) {}

  bool AtEnd() const { return m_at == m_text.size(); }
  bool Take(std::u16string_view word) {
    if (std::u16string_view(m_text).substr(m_at, word.size()) != word) return false;
    m_at += word.size();
    return true;
  }
  std::u16string_view Peek(std::size_t count) const {
    return std::u16string_view(m_text).substr(m_at, count);
  }
  void Skip(std::size_t count) { m_at = std::min(m_text.size(), m_at + count); }

  // Digits 0-9, at most `most` of them; -1 when there are none.
  std::int32_t Arabic(std::size_t most) {
    std::int32_t value = -1;
    for (std::size_t n = 0; n < most && !AtEnd() && m_text[m_at] >= u'0' && m_text[m_at] <= u'9';
         ++n, ++m_at)
      value = (value < 0 ? 0 : value * 10) + (m_text[m_at] - u'0');
    return value;
  }
  // A Chinese digit 1-9 (〇 is no number of its own), or -1.
  std::int32_t Digit() {
    if (AtEnd()) return -1;
    const auto found = kDigits.find(m_text[m_at]);
    if (found == std::u16string_view::npos || found == 0) return -1;
    ++m_at;
    return static_cast<std::int32_t>(found);
  }
  // 1 to 99 in Chinese words (三, 十六, 二十一, 廿五, 卅) or digits; -1 when
  // nothing here is a number.
  std::int32_t Number() {
    if (const std::int32_t arabic = Arabic(2); arabic >= 0) return arabic;
    std::int32_t tens = -1;
    if (Take(u"廿"))
      tens = 2;
    else if (Take(u"卅"))
      tens = 3;
    if (tens < 0) {
      const std::int32_t first = Digit();
      if (!Take(u"十")) return first;
      tens = first < 0 ? 1 : first;
    }
    const std::int32_t units = Digit();
    return tens * 10 + std::max(units, 0);
  }
  // A year written digit by digit: 1950 or 一九五〇; -1 when there is none.
  std::int32_t YearDigits() {
    if (const std::int32_t arabic = Arabic(4); arabic >= 0) return arabic;
    std::int32_t value = 0;
    std::size_t count = 0;
    for (; !AtEnd(); ++m_at, ++count) {
      auto found = kDigits.find(m_text[m_at]);
      if (m_text[m_at] == u'零') found = 0;
      if (found == std::u16string_view::npos) break;
      value = value * 10 + static_cast<std::int32_t>(found);
    }
    return count >= 3 ? value : -1;
  }

private:
  std::u16string m_text;
  std::size_t m_at = 0;
};

// Blanks and the words that only say "Chinese calendar" carry nothing.
std::u16string Cleaned(std::u16string_view text) {
  std::u16string out;
  for (const char16_t c : text)
    if (c != u' ' && c != u'\t' && c != u'\u3000') out += c;
  for (const std::u16string_view word : {u"农历", u"阴历", u"旧历"})
    for (auto at = out.find(word); at != std::u16string::npos; at = out.find(word))
      out.erase(at, word.size());
  return out;
}

ParsedDate Problem(DateProblem problem) {
  return {problem, {}};
}

ParsedDate Gregorian(std::u16string_view text) {
  Reader reader{std::u16string(text)};
  const std::int32_t year = reader.Arabic(4);
  std::int32_t month = -1;
  std::int32_t day = -1;
  for (const char16_t separator : {u'-', u'/', u'.'}) {
    const std::u16string mark(1, separator);
    if (year >= 0 && reader.Take(mark)) {
      month = reader.Arabic(2);
      if (reader.Take(mark)) day = reader.Arabic(2);
      break;
    }
  }
  if (day < 0 || !reader.AtEnd()) return Problem(DateProblem::Unreadable);
  if (!COperationClanbook::IsValidDate(year, month, day)) return Problem(DateProblem::NoSuchDay);
  return {DateProblem::None, {{year, month, day}}};
}

// How the year of a Chinese date was given.
struct YearPart {
  enum class Kind { Chinese, Ganzhi, Gregorian } kind = Kind::Chinese;
  std::int32_t year = 0;  // Chinese: the Chinese year; Ganzhi: its index; Gregorian: the year
};

// Reads the year and its 年; Unreadable or NoSuchReignYear when that fails.
DateProblem ReadYear(Reader& reader, YearPart& part) {
  std::u16string_view dynasty;
  for (const std::u16string_view name : {u"大明", u"大清", u"明", u"清"})
    if (reader.Take(name)) {
      dynasty = name;
      break;
    }
  const std::u16string name(reader.Peek(2));
  if (dynasty.empty() && GanzhiIndex(name) >= 0) {
    reader.Skip(2);
    reader.Take(u"年");
    part = {YearPart::Kind::Ganzhi, GanzhiIndex(name)};
    return DateProblem::None;
  }
  if (dynasty.empty() && (name == u"民国" || name == u"公元" || name.empty() || name[0] < 0x3000 ||
                          kDigits.find(name[0]) != std::u16string_view::npos)) {
    const bool republic = name == u"民国";
    if (republic || name == u"公元") reader.Skip(2);
    std::int32_t year = republic && reader.Take(u"元") ? 1 : -1;
    if (year < 0) year = republic ? reader.Number() : reader.YearDigits();
    if (year < 0 || !reader.Take(u"年")) return DateProblem::Unreadable;
    // 民国 counted on the mainland until the common era replaced it in 1949.
    if (republic && (year < 1 || year > 38)) return DateProblem::NoSuchReignYear;
    part = {YearPart::Kind::Gregorian, republic ? year + 1911 : year};
    return DateProblem::None;
  }
  if (!IsReignName(name)) return DateProblem::Unreadable;
  reader.Skip(2);
  const std::int32_t number = reader.Take(u"元") ? 1 : reader.Number();
  if (number < 0 || !reader.Take(u"年")) return DateProblem::Unreadable;
  const std::optional<std::int32_t> year = ChineseYearOfReign(dynasty, name, number);
  if (!year) return DateProblem::NoSuchReignYear;
  part = {YearPart::Kind::Chinese, *year};
  return DateProblem::None;
}

// Reads [闰]month月 day[日]; false when that is not what follows.
bool ReadMonthDay(Reader& reader, LunarDate& date) {
  date.leap = reader.Take(u"闰");
  if (reader.Take(u"正"))
    date.month = 1;
  else if (reader.Take(u"冬"))
    date.month = 11;
  else if (reader.Take(u"腊"))
    date.month = 12;
  else
    date.month = reader.Number();
  if (date.month < 1 || date.month > 12 || !reader.Take(u"月")) return false;
  const bool early = reader.Take(u"初");
  date.day = reader.Number();
  if (date.day < 1 || date.day > 30 || (early && date.day > 10)) return false;
  if (!reader.Take(u"日")) reader.Take(u"号");
  return reader.AtEnd();
}

// The days among `years` (Chinese years) on which `date`'s month and day fall,
// and why there are none.
ParsedDate Place(LunarDate date, std::int32_t first, std::int32_t last, const auto& accept) {
  ParsedDate parsed;
  DateProblem why = DateProblem::OutOfRange;
  for (std::int32_t year = std::max(first, FirstChineseYear());
       year <= std::min(last, LastChineseYear()); ++year) {
    if (!accept(year)) continue;
    date.year = year;
    const DateProblem problem = CheckLunarDate(date);
    if (problem != DateProblem::None) {
      why = problem;
      continue;
    }
    parsed.candidates.push_back(*ToGregorian(date));
  }
  if (parsed.candidates.empty()) parsed.problem = why;
  return parsed;
}

}  // namespace

YearRange AnyYear() {
  return {FirstChineseYear(), LastChineseYear()};
}

YearRange LikelyBirthYears(std::optional<std::int32_t> fatherBirthYear,
                           std::optional<std::int32_t> firstChildBirthYear) {
  YearRange range = AnyYear();
  if (fatherBirthYear) range = {*fatherBirthYear + 12, *fatherBirthYear + 71};
  if (firstChildBirthYear) {
    range.first = std::max(range.first, *firstChildBirthYear - 71);
    range.last = fatherBirthYear ? std::min(range.last, *firstChildBirthYear - 12)
                                 : *firstChildBirthYear - 12;
  }
  return range;
}

ParsedDate ParseDate(std::u16string_view text, YearRange years) {
  const std::u16string cleaned = Cleaned(text);
  if (!cleaned.empty() && cleaned[0] >= u'0' && cleaned[0] <= u'9' &&
      cleaned.find(u'年') == std::u16string::npos)
    return Gregorian(cleaned);

  Reader reader(cleaned);
  YearPart year;
  if (const DateProblem problem = ReadYear(reader, year); problem != DateProblem::None)
    return Problem(problem);
  LunarDate date;
  if (!ReadMonthDay(reader, date)) return Problem(DateProblem::Unreadable);

  ParsedDate parsed;
  switch (year.kind) {
    case YearPart::Kind::Chinese:
      parsed = Place(date, year.year, year.year, [](std::int32_t) { return true; });
      break;
    case YearPart::Kind::Ganzhi:
      parsed = Place(date, years.first, years.last, [&year](std::int32_t chinese) {
        return GanzhiIndex(GanzhiOfYear(chinese)) == year.year;
      });
      break;
    case YearPart::Kind::Gregorian: {
      // A Chinese month of Gregorian year G belongs to the Chinese year G or,
      // in January and February, to G - 1.
      parsed = Place(date, year.year - 1, year.year, [](std::int32_t) { return true; });
      const bool placed = !parsed.candidates.empty();
      std::erase_if(parsed.candidates,
                    [&year](const GregorianDate& day) { return day.year != year.year; });
      if (parsed.problem == DateProblem::None && parsed.candidates.empty())
        parsed.problem = year.year > LastChineseYear() || year.year <= FirstChineseYear()
                             ? DateProblem::OutOfRange
                         : placed ? DateProblem::OtherGregorianYear
                                  : DateProblem::NoSuchDay;
      break;
    }
  }
  if (parsed.candidates.size() > 1) parsed.problem = DateProblem::Ambiguous;
  return parsed;
}
