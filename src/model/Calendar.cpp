// The calendar rules: plain functions of their arguments, valid for every
// signed 32-bit year (the proleptic Gregorian calendar, year 0 included).
#include "model/COperationClanbook.h"

bool IsLeapYear(std::int32_t year) {
  // The remainder's sign does not matter for a divisibility test.
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int COperationClanbook::CompareDates(std::int32_t year1, std::int32_t month1, std::int32_t day1,
                                     std::int32_t year2, std::int32_t month2, std::int32_t day2) {
  if (year1 != year2) return year1 > year2 ? 1 : -1;
  if (month1 != month2) return month1 > month2 ? 1 : -1;
  if (day1 != day2) return day1 > day2 ? 1 : -1;
  return 0;
}

bool COperationClanbook::IsValidDate(std::int32_t year, std::int32_t month, std::int32_t day) {
  if (month < 1 || month > 12) return false;
  static constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::int32_t last = kDays[month - 1];
  if (month == 2 && IsLeapYear(year)) last = 29;
  return day >= 1 && day <= last;
}
