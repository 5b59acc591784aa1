#include "calendar/ChineseCalendar.h"

#include "calendar/ChineseTable.h"
#include "model/COperationClanbook.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// Days from 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's
// algorithm; exact for every year the table holds).
std::int32_t DaysFromCivil(std::int32_t y, std::int32_t m, std::int32_t d) {
  y -= m <= 2 ? 1 : 0;
  const std::int32_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int32_t yoe = y - era * 400;
  const std::int32_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int32_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

GregorianDate CivilFromDays(std::int32_t z) {
  z += 719468;
  const std::int32_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int32_t doe = z - era * 146097;
  const std::int32_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int32_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int32_t mp = (5 * doy + 2) / 153;
  const std::int32_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int32_t month = mp < 10 ? mp + 3 : mp - 9;
  return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

bool InTable(std::int32_t year) {
  return year >= kChineseTableFirstYear && year <= kChineseTableLastYear;
}

// The table's word of a year that InTable accepts, and what it holds.
std::uint32_t Word(std::int32_t year) {
  return kChineseTable[year - kChineseTableFirstYear];
}
std::int32_t LeapOf(std::uint32_t word) {
  return static_cast<std::int32_t>((word >> 13) & 0xF);
}
std::int32_t MonthCount(std::uint32_t word) {
  return LeapOf(word) ? 13 : 12;
}
std::int32_t LengthAt(std::uint32_t word, std::int32_t index) {
  return (word >> index) & 1 ? 30 : 29;
}
// The day number of the year's 正月初一.
std::int32_t NewYearDay(std::int32_t year) {
  return DaysFromCivil(year, 1, 1) + static_cast<std::int32_t>(Word(year) >> 17);
}

// The place of a month among the year's 12 or 13, or -1 when it has none.
std::int32_t MonthIndex(std::uint32_t word, std::int32_t month, bool leap) {
  if (month < 1 || month > 12) return -1;
  const std::int32_t leapMonth = LeapOf(word);
  if (leap) return leapMonth == month ? month : -1;
  return month - 1 + (leapMonth != 0 && month > leapMonth ? 1 : 0);
}

constexpr std::u16string_view kStems = u"甲乙丙丁戊己庚辛壬癸";
constexpr std::u16string_view kBranches = u"子丑寅卯辰巳午未申酉戌亥";
constexpr std::u16string_view kDigits = u"〇一二三四五六七八九";

// The reigns in order. A reign starts at 正月初一 of `firstYear` unless
// `firstMonth` says otherwise (泰昌, from 万历四十八年八月). `years` is the
// last year number the dates of the time used, which may run past the next
// reign's start (洪武三十五年 for 1402, 崇祯十七年 for 1644): the reader
// accepts it, while ReignOf names the later reign.
struct Reign {
  ReignYear::Era era;
  std::u16string_view name;
  std::int32_t firstYear;
  std::int32_t years;
  std::int32_t firstMonth = 1;
};
constexpr ReignYear::Era kMing = ReignYear::Era::Ming;
constexpr ReignYear::Era kQing = ReignYear::Era::Qing;
constexpr std::array<Reign, 27> kReigns = {{
    {kMing, u"洪武", 1368, 35}, {kMing, u"建文", 1399, 4},  {kMing, u"永乐", 1403, 22},
    {kMing, u"洪熙", 1425, 1},  {kMing, u"宣德", 1426, 10}, {kMing, u"正统", 1436, 14},
    {kMing, u"景泰", 1450, 8},  {kMing, u"天顺", 1457, 8},  {kMing, u"成化", 1465, 23},
    {kMing, u"弘治", 1488, 18}, {kMing, u"正德", 1506, 16}, {kMing, u"嘉靖", 1522, 45},
    {kMing, u"隆庆", 1567, 6},  {kMing, u"万历", 1573, 48}, {kMing, u"泰昌", 1620, 1, 8},
    {kMing, u"天启", 1621, 7},  {kMing, u"崇祯", 1628, 17}, {kQing, u"顺治", 1644, 18},
    {kQing, u"康熙", 1662, 61}, {kQing, u"雍正", 1723, 13}, {kQing, u"乾隆", 1736, 60},
    {kQing, u"嘉庆", 1796, 25}, {kQing, u"道光", 1821, 30}, {kQing, u"咸丰", 1851, 11},
    {kQing, u"同治", 1862, 13}, {kQing, u"光绪", 1875, 34}, {kQing, u"宣统", 1909, 3},
}};

// The first day of the Republic's count (the day after the abdication) and of
// the common era's.
constexpr GregorianDate kRepublicStart{1912, 2, 13};
constexpr GregorianDate kCommonEraStart{1949, 10, 1};

std::u16string_view DynastyOf(ReignYear::Era era) {
  switch (era) {
    case ReignYear::Era::Ming:
      return u"明";
    case ReignYear::Era::Qing:
      return u"清";
    default:
      return {};
  }
}

}  // namespace

std::int32_t FirstChineseYear() {
  return kChineseTableFirstYear;
}
std::int32_t LastChineseYear() {
  return kChineseTableLastYear;
}

GregorianDate FirstConvertibleDay() {
  return CivilFromDays(NewYearDay(kChineseTableFirstYear));
}

GregorianDate LastConvertibleDay() {
  const std::uint32_t word = Word(kChineseTableLastYear);
  std::int32_t day = NewYearDay(kChineseTableLastYear);
  for (std::int32_t i = 0; i < MonthCount(word); ++i) day += LengthAt(word, i);
  return CivilFromDays(day - 1);
}

std::optional<LunarDate> FromGregorian(const GregorianDate& date) {
  if (!COperationClanbook::IsValidDate(date.year, date.month, date.day)) return std::nullopt;
  // Years far outside the table would overflow the day count.
  if (date.year < kChineseTableFirstYear || date.year > kChineseTableLastYear + 1)
    return std::nullopt;
  const std::int32_t day = DaysFromCivil(date.year, date.month, date.day);
  std::int32_t year = std::min(date.year, kChineseTableLastYear);
  if (day < NewYearDay(year)) --year;
  if (!InTable(year)) return std::nullopt;
  const std::uint32_t word = Word(year);
  std::int32_t offset = day - NewYearDay(year);
  const std::int32_t leapMonth = LeapOf(word);
  for (std::int32_t index = 0; index < MonthCount(word); ++index) {
    const std::int32_t length = LengthAt(word, index);
    if (offset < length) {
      LunarDate lunar{year, index + 1, false, offset + 1};
      if (leapMonth != 0 && index >= leapMonth) {
        lunar.month = index;
        lunar.leap = index == leapMonth;
      }
      return lunar;
    }
    offset -= length;
  }
  return std::nullopt;  // after the table's last year
}

DateProblem CheckLunarDate(const LunarDate& date) {
  if (!InTable(date.year)) return DateProblem::OutOfRange;
  const std::uint32_t word = Word(date.year);
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 30)
    return DateProblem::Unreadable;
  const std::int32_t index = MonthIndex(word, date.month, date.leap);
  if (index < 0) return DateProblem::NoLeapMonth;
  if (date.day > LengthAt(word, index)) return DateProblem::ShortMonth;
  return DateProblem::None;
}

std::optional<GregorianDate> ToGregorian(const LunarDate& date) {
  if (CheckLunarDate(date) != DateProblem::None) return std::nullopt;
  const std::uint32_t word = Word(date.year);
  std::int32_t day = NewYearDay(date.year) + date.day - 1;
  const std::int32_t index = MonthIndex(word, date.month, date.leap);
  for (std::int32_t i = 0; i < index; ++i) day += LengthAt(word, i);
  return CivilFromDays(day);
}

std::int32_t LeapMonthOf(std::int32_t chineseYear) {
  return InTable(chineseYear) ? LeapOf(Word(chineseYear)) : -1;
}

std::int32_t MonthLength(std::int32_t chineseYear, std::int32_t month, bool leap) {
  if (!InTable(chineseYear)) return 0;
  const std::uint32_t word = Word(chineseYear);
  const std::int32_t index = MonthIndex(word, month, leap);
  return index < 0 ? 0 : LengthAt(word, index);
}

std::u16string GanzhiOfYear(std::int32_t chineseYear) {
  // 4 AD (and every 60th year from it) is 甲子.
  const std::int32_t cycle = ((chineseYear - 4) % 60 + 60) % 60;
  return {kStems[cycle % 10], kBranches[cycle % 12]};
}

int GanzhiIndex(std::u16string_view text) {
  if (text.size() != 2) return -1;
  const auto stem = kStems.find(text[0]);
  const auto branch = kBranches.find(text[1]);
  if (stem == std::u16string_view::npos || branch == std::u16string_view::npos) return -1;
  // The cycle pairs a stem and a branch of the same parity: 甲子, 乙丑, ...
  for (int cycle = static_cast<int>(stem); cycle < 60; cycle += 10)
    if (cycle % 12 == static_cast<int>(branch)) return cycle;
  return -1;
}

std::optional<ReignYear> ReignOf(const GregorianDate& date) {
  if (!COperationClanbook::IsValidDate(date.year, date.month, date.day)) return std::nullopt;
  if (date >= kCommonEraStart) return ReignYear{ReignYear::Era::CommonEra, {}, u"公元", date.year};
  if (date >= kRepublicStart)
    return ReignYear{ReignYear::Era::Republic, {}, u"民国", date.year - 1911};
  const std::optional<LunarDate> lunar = FromGregorian(date);
  if (!lunar) return std::nullopt;
  const Reign* current = nullptr;
  for (const Reign& reign : kReigns) {
    if (reign.firstYear > lunar->year ||
        (reign.firstYear == lunar->year && reign.firstMonth > lunar->month))
      break;
    current = &reign;
  }
  if (!current) return std::nullopt;
  return ReignYear{current->era, DynastyOf(current->era), current->name,
                   lunar->year - current->firstYear + 1};
}

bool IsReignName(std::u16string_view name) {
  return std::any_of(kReigns.begin(), kReigns.end(),
                     [name](const Reign& reign) { return reign.name == name; });
}

std::optional<std::int32_t> ChineseYearOfReign(std::u16string_view dynasty,
                                               std::u16string_view name, std::int32_t year) {
  if (dynasty.size() == 2 && dynasty[0] == u'大') dynasty.remove_prefix(1);
  for (const Reign& reign : kReigns) {
    if (reign.name != name) continue;
    if (!dynasty.empty() && dynasty != DynastyOf(reign.era)) return std::nullopt;
    if (year < 1 || year > reign.years) return std::nullopt;
    return reign.firstYear + year - 1;
  }
  return std::nullopt;
}

std::u16string ChineseNumber(std::int32_t number) {
  if (number < 1 || number > 99) return {};
  std::u16string text;
  const std::int32_t tens = number / 10;
  const std::int32_t units = number % 10;
  if (tens > 1) text += kDigits[tens];
  if (tens > 0) text += u'十';
  if (units > 0) text += kDigits[units];
  return text;
}

std::u16string ReignYearText(const ReignYear& reign) {
  std::u16string text(reign.dynasty);
  text += reign.name;
  if (reign.era == ReignYear::Era::CommonEra) {
    for (const char c : std::to_string(reign.year)) text += kDigits[c - '0'];
  } else {
    text += reign.year == 1 ? std::u16string(u"元") : ChineseNumber(reign.year);
  }
  return text + u'年';
}

std::u16string GanzhiYearText(std::int32_t chineseYear) {
  return GanzhiOfYear(chineseYear) + u'年';
}

std::u16string MonthText(std::int32_t month, bool leap) {
  if (month < 1 || month > 12) return {};
  std::u16string text = leap ? u"闰" : u"";
  text += month == 1 ? std::u16string(u"正") : ChineseNumber(month);
  return text + u'月';
}

std::u16string DayText(std::int32_t day) {
  if (day < 1 || day > 30) return {};
  if (day <= 10) return u"初" + ChineseNumber(day);
  if (day > 20 && day < 30) return u"廿" + ChineseNumber(day - 20);
  return ChineseNumber(day);
}

std::u16string MonthDayText(const LunarDate& date) {
  return MonthText(date.month, date.leap) + DayText(date.day) + u'日';
}

std::u16string ChineseDateText(const GregorianDate& date) {
  const std::optional<LunarDate> lunar = FromGregorian(date);
  const std::optional<ReignYear> reign = ReignOf(date);
  if (!lunar || !reign) return {};
  return ReignYearText(*reign) + u' ' + GanzhiYearText(lunar->year) + u' ' + MonthDayText(*lunar);
}

std::optional<Age> AgeAt(const GregorianDate& birth, const GregorianDate& at) {
  const std::optional<LunarDate> born = FromGregorian(birth);
  const std::optional<LunarDate> then = FromGregorian(at);
  if (!born || !then || at < birth) return std::nullopt;
  Age age;
  age.fullYears = at.year - birth.year -
                  (at.month < birth.month || (at.month == birth.month && at.day < birth.day));
  age.nominalYears = then->year - born->year + 1;
  return age;
}
