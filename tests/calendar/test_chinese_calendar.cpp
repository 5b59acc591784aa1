// The Chinese calendar checked against published dates that do not come from
// its table: the Hong Kong Observatory's conversion tables (1901-2100) for the
// new years and leap months of the last century, and for earlier ones days
// that history gives in both calendars. Then every day of the table both ways.
#include "calendar/ChineseCalendar.h"
#include "model/COperationClanbook.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

namespace {

std::string Iso(const GregorianDate& d) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
  return text;
}

struct FixedPoint {
  GregorianDate gregorian;
  LunarDate lunar;
  const char* what;
};

TEST(ChineseCalendar, KnownDaysConvertBothWays) {
  const FixedPoint rows[] = {
      // New years (HKO, and the 光绪元年).
      {{1875, 2, 6}, {1875, 1, false, 1}, "光绪元年正月初一"},
      {{1901, 2, 19}, {1901, 1, false, 1}, "HKO 1901 new year"},
      {{1912, 2, 18}, {1912, 1, false, 1}, "HKO 1912 new year"},
      {{1923, 2, 16}, {1923, 1, false, 1}, "HKO 1923 new year"},
      {{1923, 3, 17}, {1923, 2, false, 1}, "HKO 1923 second month"},
      {{1923, 1, 17}, {1922, 12, false, 1}, "HKO 1922's twelfth month in January"},
      {{1949, 1, 29}, {1949, 1, false, 1}, "HKO 1949 new year"},
      {{1984, 2, 2}, {1984, 1, false, 1}, "HKO 1984 new year"},
      {{2000, 2, 5}, {2000, 1, false, 1}, "HKO 2000 new year"},
      {{2024, 2, 10}, {2024, 1, false, 1}, "HKO 2024 new year"},
      {{2033, 1, 31}, {2033, 1, false, 1}, "HKO 2033 new year"},
      {{2100, 2, 9}, {2100, 1, false, 1}, "HKO 2100 new year"},
      // Leap months (HKO).
      {{1890, 4, 4}, {1890, 2, true, 15}, "光绪十六年闰二月十五"},
      {{1890, 3, 5}, {1890, 2, false, 15}, "光绪十六年二月十五"},
      {{2001, 5, 23}, {2001, 4, true, 1}, "HKO 2001 闰四月"},
      {{2017, 7, 23}, {2017, 6, true, 1}, "HKO 2017 闰六月"},
      {{2020, 5, 23}, {2020, 4, true, 1}, "HKO 2020 闰四月"},
      {{2023, 3, 22}, {2023, 2, true, 1}, "HKO 2023 闰二月"},
      {{2033, 12, 22}, {2033, 11, true, 1}, "HKO 2033 闰十一月"},
      // Days of history given in both calendars.
      {{1644, 4, 25}, {1644, 3, false, 19}, "崇祯十七年三月十九, the fall of Beijing"},
      {{1911, 10, 10}, {1911, 8, false, 19}, "辛亥年八月十九, Wuchang"},
      {{1912, 2, 12}, {1911, 12, false, 25}, "宣统三年十二月廿五, the abdication"},
      {{1949, 10, 1}, {1949, 8, false, 10}, "己丑年八月初十"},
  };
  for (const FixedPoint& row : rows) {
    SCOPED_TRACE(row.what);
    const std::optional<LunarDate> lunar = FromGregorian(row.gregorian);
    ASSERT_TRUE(lunar.has_value());
    EXPECT_EQ(*lunar, row.lunar) << lunar->year << ' ' << lunar->month << (lunar->leap ? "L " : " ")
                                 << lunar->day;
    const std::optional<GregorianDate> back = ToGregorian(row.lunar);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(Iso(*back), Iso(row.gregorian));
  }
}

TEST(ChineseCalendar, LeapMonthsOfKnownYears) {
  // 1645 is a year where the Qing almanac placed the leap month otherwise than
  // a modern computation does (Emacs's calendar has 闰五月): the siege of
  // Jiangyin is dated in 顺治二年闰六月.
  const std::pair<std::int32_t, std::int32_t> rows[] = {
      {1645, 6}, {1875, 0},  {1890, 2}, {1900, 8}, {1911, 6},  {1912, 0},
      {1949, 7}, {1984, 10}, {2020, 4}, {2023, 2}, {2033, 11}, {2100, 0}};
  for (const auto& [year, leap] : rows) EXPECT_EQ(LeapMonthOf(year), leap) << year;
  EXPECT_EQ(LeapMonthOf(FirstChineseYear() - 1), -1);
  EXPECT_EQ(LeapMonthOf(LastChineseYear() + 1), -1);
}

TEST(ChineseCalendar, EveryDayOfTheTableGoesThereAndBack) {
  const GregorianDate first = FirstConvertibleDay();
  const GregorianDate last = LastConvertibleDay();
  EXPECT_EQ(Iso(first), "1368-01-28");  // 洪武元年正月初一, proleptic Gregorian
  EXPECT_FALSE(FromGregorian({1368, 1, 27}).has_value());
  EXPECT_FALSE(FromGregorian({last.year, last.month, last.day + 1}).has_value());

  GregorianDate day = first;
  std::optional<LunarDate> previous;
  int monthsThisYear = 0;
  bool leapThisYear = false;
  while (day <= last) {
    const std::optional<LunarDate> lunar = FromGregorian(day);
    ASSERT_TRUE(lunar.has_value()) << Iso(day);
    const std::optional<GregorianDate> back = ToGregorian(*lunar);
    ASSERT_TRUE(back.has_value()) << Iso(day);
    ASSERT_EQ(Iso(*back), Iso(day));
    if (previous) {
      // One day later is the next day of the month, or 初一 of the next
      // month after a month of 29 or 30 days, or 正月初一 after a year of
      // 12 months without a leap or 13 with one.
      if (lunar->day != 1) {
        ASSERT_EQ(lunar->day, previous->day + 1) << Iso(day);
        ASSERT_EQ(lunar->month, previous->month) << Iso(day);
      } else {
        ASSERT_TRUE(previous->day == 29 || previous->day == 30) << Iso(day);
        ASSERT_EQ(MonthLength(previous->year, previous->month, previous->leap), previous->day);
        if (lunar->year != previous->year) {
          ASSERT_EQ(lunar->year, previous->year + 1) << Iso(day);
          ASSERT_EQ(lunar->month, 1);
          ASSERT_FALSE(lunar->leap);
          ASSERT_EQ(monthsThisYear, leapThisYear ? 13 : 12) << previous->year;
          monthsThisYear = 0;
          leapThisYear = false;
        } else if (lunar->leap) {
          ASSERT_EQ(lunar->month, previous->month) << Iso(day);
          ASSERT_EQ(LeapMonthOf(lunar->year), lunar->month);
        } else {
          ASSERT_EQ(lunar->month, previous->month + 1) << Iso(day);
        }
      }
    }
    if (lunar->day == 1) {
      ++monthsThisYear;
      leapThisYear = leapThisYear || lunar->leap;
    }
    previous = lunar;
    if (!COperationClanbook::IsValidDate(day.year, day.month, ++day.day)) {
      day.day = 1;
      if (++day.month > 12) {
        day.month = 1;
        ++day.year;
      }
    }
  }
  // The walk ends on the last day of the table's last year, a 十二月.
  ASSERT_TRUE(previous.has_value());
  EXPECT_EQ(previous->year, LastChineseYear());
  EXPECT_EQ(previous->month, 12);
  EXPECT_EQ(previous->day, MonthLength(previous->year, 12, false));
}

struct ReignRow {
  GregorianDate date;
  const char16_t* text;  // ReignYearText
};

TEST(ChineseCalendar, ReignsChangeAtTheirNewYearsAndTheAbdication) {
  const ReignRow rows[] = {
      {{1368, 1, 28}, u"明洪武元年"},    {{1398, 12, 31}, u"明洪武三十一年"},
      {{1399, 6, 1}, u"明建文元年"},  // 建文 restored, not 洪武三十二年
      {{1402, 12, 31}, u"明建文四年"},   {{1620, 8, 1}, u"明万历四十八年"},  // 七月初四
      {{1620, 10, 1}, u"明泰昌元年"},  // 九月初六: 泰昌 counts from 八月
      {{1621, 3, 1}, u"明天启元年"},     {{1644, 1, 1}, u"明崇祯十六年"},  // 癸未年十二月
      {{1644, 4, 25}, u"清顺治元年"},  // 顺治元年 from 1644's new year
      {{1662, 2, 17}, u"清顺治十八年"},  {{1662, 2, 18}, u"清康熙元年"},
      {{1875, 2, 5}, u"清同治十三年"},   {{1875, 2, 6}, u"清光绪元年"},
      {{1890, 3, 5}, u"清光绪十六年"},   {{1909, 1, 22}, u"清宣统元年"},
      {{1912, 2, 12}, u"清宣统三年"},    {{1912, 2, 13}, u"民国元年"},
      {{1912, 2, 18}, u"民国元年"},      {{1931, 9, 18}, u"民国二十年"},
      {{1949, 9, 30}, u"民国三十八年"},  {{1949, 10, 1}, u"公元一九四九年"},
      {{2000, 2, 5}, u"公元二〇〇〇年"},
  };
  for (const ReignRow& row : rows) {
    SCOPED_TRACE(Iso(row.date));
    const std::optional<ReignYear> reign = ReignOf(row.date);
    ASSERT_TRUE(reign.has_value());
    EXPECT_EQ(ReignYearText(*reign), row.text);
  }
  EXPECT_FALSE(ReignOf({1368, 1, 27}).has_value());
  EXPECT_FALSE(ReignOf({1890, 2, 30}).has_value());
}

TEST(ChineseCalendar, ReignYearsAsTheDatesOfTheTimeCountedThem) {
  EXPECT_EQ(ChineseYearOfReign(u"", u"光绪", 16), 1890);
  EXPECT_EQ(ChineseYearOfReign(u"清", u"光绪", 1), 1875);
  EXPECT_EQ(ChineseYearOfReign(u"大清", u"宣统", 3), 1911);
  EXPECT_EQ(ChineseYearOfReign(u"", u"洪武", 35), 1402);  // Yongle's count over 建文
  EXPECT_EQ(ChineseYearOfReign(u"", u"崇祯", 17), 1644);
  EXPECT_EQ(ChineseYearOfReign(u"", u"泰昌", 1), 1620);
  EXPECT_FALSE(ChineseYearOfReign(u"", u"光绪", 35));
  EXPECT_FALSE(ChineseYearOfReign(u"", u"宣统", 4));
  EXPECT_FALSE(ChineseYearOfReign(u"", u"光绪", 0));
  EXPECT_FALSE(ChineseYearOfReign(u"明", u"光绪", 16));
  EXPECT_FALSE(ChineseYearOfReign(u"", u"民国", 1));
}

TEST(ChineseCalendar, GanzhiOfYears) {
  const std::pair<std::int32_t, const char16_t*> rows[] = {
      {1368, u"戊申"}, {1644, u"甲申"}, {1890, u"庚寅"}, {1911, u"辛亥"},
      {1984, u"甲子"}, {2023, u"癸卯"}, {2100, u"庚申"}, {4, u"甲子"}};
  for (const auto& [year, name] : rows) {
    EXPECT_EQ(GanzhiOfYear(year), name) << year;
    EXPECT_EQ(GanzhiYearText(year), std::u16string(name) + u"年") << year;
  }
  // The sixty names are distinct and read back to their place.
  for (std::int32_t year = 1984; year < 2044; ++year)
    EXPECT_EQ(GanzhiIndex(GanzhiOfYear(year)), year - 1984) << year;
  for (const char16_t* wrong : {u"甲丑", u"子甲", u"甲", u"庚寅年", u""})
    EXPECT_EQ(GanzhiIndex(wrong), -1);
}

TEST(ChineseCalendar, ChineseWordsForNumbersMonthsAndDays) {
  const char16_t* days[] = {u"初一", u"初二", u"初三", u"初四", u"初五", u"初六", u"初七", u"初八",
                            u"初九", u"初十", u"十一", u"十二", u"十三", u"十四", u"十五", u"十六",
                            u"十七", u"十八", u"十九", u"二十", u"廿一", u"廿二", u"廿三", u"廿四",
                            u"廿五", u"廿六", u"廿七", u"廿八", u"廿九", u"三十"};
  for (int day = 1; day <= 30; ++day) EXPECT_EQ(DayText(day), days[day - 1]) << day;
  EXPECT_EQ(DayText(0), u"");
  EXPECT_EQ(DayText(31), u"");
  EXPECT_EQ(ChineseNumber(10), u"十");
  EXPECT_EQ(ChineseNumber(16), u"十六");
  EXPECT_EQ(ChineseNumber(20), u"二十");
  EXPECT_EQ(ChineseNumber(61), u"六十一");
  EXPECT_EQ(MonthText(1, false), u"正月");
  EXPECT_EQ(MonthText(2, true), u"闰二月");
  EXPECT_EQ(MonthText(11, false), u"十一月");
  EXPECT_EQ(MonthText(12, false), u"十二月");
  EXPECT_EQ(MonthDayText({1890, 2, true, 15}), u"闰二月十五日");
  EXPECT_EQ(ChineseDateText({1890, 3, 5}), u"清光绪十六年 庚寅年 二月十五日");
  EXPECT_EQ(ChineseDateText({1890, 4, 4}), u"清光绪十六年 庚寅年 闰二月十五日");
  EXPECT_EQ(ChineseDateText({1912, 2, 13}), u"民国元年 辛亥年 十二月廿六日");
  EXPECT_EQ(ChineseDateText({1368, 1, 27}), u"");
}

struct AgeRow {
  GregorianDate birth;
  GregorianDate at;
  std::int32_t full;
  std::int32_t nominal;
  const char* what;
};

TEST(ChineseCalendar, AgeInFullYearsAndInXusui) {
  const AgeRow rows[] = {
      {{1890, 3, 5}, {1890, 3, 5}, 0, 1, "1 on the day of birth"},
      {{1890, 3, 5}, {1891, 2, 8}, 0, 1, "庚寅年's last day"},
      {{1890, 3, 5}, {1891, 2, 9}, 0, 2, "辛卯年's new year"},
      {{1890, 1, 20}, {1890, 1, 21}, 0, 2, "born on 己丑年's last day: 2 the next day"},
      {{1890, 3, 5}, {1950, 3, 4}, 59, 61, "the day before his 60th birthday"},
      {{1890, 3, 5}, {1950, 3, 5}, 60, 61, "his 60th birthday"},
      {{1892, 2, 29}, {1893, 2, 28}, 0, 2, "born on a 29 February"},
  };
  for (const AgeRow& row : rows) {
    SCOPED_TRACE(row.what);
    const std::optional<Age> age = AgeAt(row.birth, row.at);
    ASSERT_TRUE(age.has_value());
    EXPECT_EQ(age->fullYears, row.full);
    EXPECT_EQ(age->nominalYears, row.nominal);
  }
  EXPECT_FALSE(AgeAt({1890, 3, 5}, {1890, 3, 4}).has_value());
  EXPECT_FALSE(AgeAt({1300, 3, 5}, {1390, 3, 4}).has_value());
}

}  // namespace
