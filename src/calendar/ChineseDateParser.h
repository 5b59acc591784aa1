// Reads a date as people type it into a clan book and gives the Gregorian
// day it means:
//   1890-3-5 (also 1890/3/5, 1890.3.5)   the Gregorian day itself
//   光绪十六年二月十五, 清光绪十六年闰二月十五日   a reign year and a Chinese month and day
//   庚寅年二月十五                        a 干支 year: placed within a range of years
//   民国十年二月十五, 公元1950年正月初一   the Gregorian year of 民国 or 公元 with a
//                                         Chinese month and day (as the dates print)
// Numbers in Chinese (十六, 廿五, 初三, 元年, 一九五〇) or in digits; 正月, 冬月 and
// 腊月 are months 1, 11 and 12; 农历 and blanks are skipped.
#pragma once

#include "calendar/ChineseCalendar.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The Gregorian years a 干支 year may fall in (both ends included). Any 60
// consecutive years hold each 干支 exactly once.
struct YearRange {
  std::int32_t first = 0;
  std::int32_t last = 0;
};
// The whole table: a 干支 year then fits about twelve Chinese years.
YearRange AnyYear();
// The years in which a man may have been born, from his father's birth and his
// eldest child's (either may be unknown): from 12 to 71 years after the father
// and before the child, a window of 60 years that places a 干支 year alone.
YearRange LikelyBirthYears(std::optional<std::int32_t> fatherBirthYear,
                           std::optional<std::int32_t> firstChildBirthYear);

struct ParsedDate {
  DateProblem problem = DateProblem::None;
  // Every day that fits, earliest first: exactly one when problem is None,
  // two or more when Ambiguous, none otherwise.
  std::vector<GregorianDate> candidates;
};

// `years` limits a 干支 year only; the other forms name their year.
ParsedDate ParseDate(std::u16string_view text, YearRange years = AnyYear());
