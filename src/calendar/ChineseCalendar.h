// The Chinese lunisolar calendar beside the Gregorian dates the book stores:
// conversion both ways, the 干支 of a year, the 年号 (Ming and Qing reigns,
// 民国, 公元), Chinese words for a date, and the 虚岁 counted in clan books.
//
// Table-driven (calendar/ChineseTable.cpp, one word a year; docs/calendar.md
// says where the table comes from): every conversion costs a look-up by year
// and a walk over at most 13 months, so it may run for every date on screen.
// Standard C++ over the model only.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A date as the model stores it (MemberData's birthYear, birthMonth,
// birthDay): the proleptic Gregorian calendar, also before 1582.
struct GregorianDate {
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  friend auto operator<=>(const GregorianDate&, const GregorianDate&) = default;
};

// A day of the Chinese calendar. `year` is the Gregorian year in which the
// Chinese year's 正月初一 falls (光绪十六年, 庚寅, is 1890, although its
// 十二月 ends in January 1891).
struct LunarDate {
  std::int32_t year = 0;
  std::int32_t month = 0;  // 1 (正月) to 12
  bool leap = false;       // 闰: the month after the month of the same number
  std::int32_t day = 0;    // 1 (初一) to 29 or 30
  friend bool operator==(const LunarDate&, const LunarDate&) = default;
};

// Why a date cannot be had. The calendar layer only names the reason; the
// caller words it (through tr()).
enum class DateProblem {
  None,
  Unreadable,       // the text is no date this reader knows
  NoSuchDay,        // not a day of the Gregorian calendar (1890-02-30)
  OutOfRange,       // outside the table (before 洪武元年 or after the Chinese year 2100)
  NoSuchReignYear,  // a reign that had no such year (光绪三十五年)
  NoLeapMonth,      // a 闰 month the year lacks (光绪十五年闰二月)
  ShortMonth,       // 三十 of a month of 29 days
  Ambiguous,        // more than one day fits: the candidates are given
  // a Chinese day of a year counted by Gregorian years (公元, 民国) that falls
  // in the Gregorian year beside it (公元2033年闰十一月廿五 is 2034-01-15)
  OtherGregorianYear,
};

// The Chinese years the table holds: from 洪武元年 (1368) to 2100; the
// Gregorian days they cover run from 1368-01-28 to 2101-01-28.
std::int32_t FirstChineseYear();
std::int32_t LastChineseYear();
GregorianDate FirstConvertibleDay();
GregorianDate LastConvertibleDay();

// The Chinese date of a day; none outside the table or for an invalid date.
std::optional<LunarDate> FromGregorian(const GregorianDate& date);
// The Gregorian day of a Chinese date, or the reason there is none.
DateProblem CheckLunarDate(const LunarDate& date);
std::optional<GregorianDate> ToGregorian(const LunarDate& date);

// The year's leap month (0: none); -1 outside the table.
std::int32_t LeapMonthOf(std::int32_t chineseYear);
// 29 or 30; 0 when the year has no such month.
std::int32_t MonthLength(std::int32_t chineseYear, std::int32_t month, bool leap);

// "庚寅" for 1890: the sexagenary name of a Chinese year, any year.
std::u16string GanzhiOfYear(std::int32_t chineseYear);
// 0 for 甲子 up to 59 for 癸亥, or -1 when `text` names no 干支.
int GanzhiIndex(std::u16string_view text);

// The year as the day was dated: a Ming or Qing reign until the abdication
// (1912-02-12 is still 宣统三年), 民国 from 1912-02-13 (Gregorian years) and
// 公元 from 1949-10-01.
struct ReignYear {
  enum class Era { Ming, Qing, Republic, CommonEra };
  Era era = Era::CommonEra;
  std::u16string_view dynasty;  // "明", "清" or empty
  std::u16string_view name;     // "光绪", "民国" or "公元"
  std::int32_t year = 0;        // 16 for 光绪十六年; the Gregorian year for 公元
};
std::optional<ReignYear> ReignOf(const GregorianDate& date);
// Whether `name` is a Ming or Qing reign ("光绪").
bool IsReignName(std::u16string_view name);
// The Chinese year of year `year` of reign `name` (光绪, 16: 1890), or none
// when the reign had no such year or `dynasty` ("明", "大清"; may be empty) is
// not its own. The years the dates of the time used are accepted, also where
// ReignOf names the next reign: 洪武三十二 to 三十五年 (1399-1402, Yongle's
// count over 建文), 景泰八年 (1457), 万历四十八年 (1620), 崇祯十七年 (1644).
std::optional<std::int32_t> ChineseYearOfReign(std::u16string_view dynasty,
                                               std::u16string_view name, std::int32_t year);

// Chinese words. ChineseNumber covers 1 to 99 (十六, 二十一).
std::u16string ChineseNumber(std::int32_t number);
std::u16string ReignYearText(const ReignYear& reign);  // 清光绪十六年, 民国元年, 公元一九五〇年
std::u16string GanzhiYearText(std::int32_t chineseYear);  // 庚寅年
std::u16string MonthText(std::int32_t month, bool leap);  // 正月, 闰二月, 十二月
std::u16string DayText(std::int32_t day);                 // 初三, 十五, 廿五, 三十
std::u16string MonthDayText(const LunarDate& date);       // 闰二月十五日
// "清光绪十六年 庚寅年 二月十五日"; empty outside the table.
std::u16string ChineseDateText(const GregorianDate& date);

// Age on a day counted both ways: full years as the Gregorian calendar
// counts them, and the 虚岁 of clan books (1 at birth, one more at each 正月初一).
struct Age {
  std::int32_t fullYears = 0;
  std::int32_t nominalYears = 0;  // 虚岁
};
// None when a date is invalid, outside the table or `at` comes before `birth`.
std::optional<Age> AgeAt(const GregorianDate& birth, const GregorianDate& at);
