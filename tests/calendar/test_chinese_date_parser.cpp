// Dates typed as clan books write them, read back to the Gregorian day; the
// refusals say why; and every day of the table, written in Chinese words,
// reads back to itself.
#include "calendar/ChineseCalendar.h"
#include "calendar/ChineseDateParser.h"
#include "model/COperationClanbook.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Iso(const GregorianDate& d) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
  return text;
}

std::string Days(const ParsedDate& parsed) {
  std::string text;
  for (const GregorianDate& day : parsed.candidates) text += (text.empty() ? "" : " ") + Iso(day);
  return text;
}

struct Row {
  const char16_t* text;
  DateProblem problem;
  const char* days;  // the candidates, blank-separated
  YearRange years = AnyYear();
};

TEST(ChineseDateParser, ReadsEachFormOrSaysWhyNot) {
  const Row rows[] = {
      {u"1890-3-5", DateProblem::None, "1890-03-05"},
      {u"1890/03/05", DateProblem::None, "1890-03-05"},
      {u"光绪十六年二月十五", DateProblem::None, "1890-03-05"},
      {u"清光绪十六年二月十五日", DateProblem::None, "1890-03-05"},
      {u"大清光绪十六年 农历二月十五", DateProblem::None, "1890-03-05"},
      {u"光绪16年2月15日", DateProblem::None, "1890-03-05"},
      {u"庚寅年二月十五", DateProblem::None, "1890-03-05", {1850, 1909}},
      {u"庚寅二月十五", DateProblem::None, "1890-03-05", LikelyBirthYears(1850, std::nullopt)},
      {u"庚寅年二月十五", DateProblem::None, "1890-03-05", LikelyBirthYears(std::nullopt, 1915)},
      {u"庚寅年二月十五", DateProblem::Ambiguous, "1830-03-09 1890-03-05", {1800, 1900}},
      {u"光绪十六年闰二月十五", DateProblem::None, "1890-04-04"},
      {u"庚寅年闰二月十五", DateProblem::None, "1890-04-04", {1800, 1920}},  // one 庚寅 with 闰二月
      {u"光绪元年正月初一", DateProblem::None, "1875-02-06"},
      {u"宣统三年腊月廿五", DateProblem::None, "1912-02-12"},
      {u"宣统三年十二月二十五日", DateProblem::None, "1912-02-12"},
      {u"崇祯十七年三月十九", DateProblem::None, "1644-04-25"},
      {u"顺治元年三月十九", DateProblem::None, "1644-04-25"},
      // Julian 1402-07-30; 洪武三十五年 is the Yongle count of 建文四年.
      {u"洪武三十五年七月初一", DateProblem::None, "1402-08-08"},
      {u"建文四年七月初一", DateProblem::None, "1402-08-08"},
      {u"明洪武元年正月初一", DateProblem::None, "1368-01-28"},
      {u"辛亥年冬月初十", DateProblem::None, "1911-12-29", {1900, 1920}},
      {u"民国元年正月初一", DateProblem::None, "1912-02-18"},
      {u"民国二十年八月初八", DateProblem::None, "1931-09-19"},
      {u"公元1950年正月初一", DateProblem::None, "1950-02-17"},
      {u"一九五〇年腊月初一", DateProblem::None, "1950-01-18"},
      // 十一月 of 癸巳 and of 甲午 both reach into 1954 (January and December).
      {u"一九五四年十一月廿九", DateProblem::Ambiguous, "1954-01-03 1954-12-23"},
      // Refusals.
      {u"光绪十六年正月三十", DateProblem::ShortMonth, ""},  // 正月 of 庚寅 has 29 days
      {u"光绪十五年闰二月十五", DateProblem::NoLeapMonth, ""},
      {u"庚寅年闰三月初一", DateProblem::NoLeapMonth, "", {1850, 1909}},
      {u"光绪三十五年正月初一", DateProblem::NoSuchReignYear, ""},
      {u"宣统四年正月初一", DateProblem::NoSuchReignYear, ""},
      {u"民国三十九年正月初一", DateProblem::NoSuchReignYear, ""},
      {u"明光绪十六年二月十五", DateProblem::NoSuchReignYear, ""},
      {u"1890-2-30", DateProblem::NoSuchDay, ""},
      // 闰十一月 of 癸丑 runs from 2033-12-22 into January 2034.
      {u"公元2033年闰十一月廿五", DateProblem::OtherGregorianYear, ""},
      {u"公元2034年闰十一月廿五", DateProblem::None, "2034-01-15"},
      {u"公元2033年闰十一月初一", DateProblem::None, "2033-12-22"},
      {u"庚寅年二月十五", DateProblem::OutOfRange, "", {1891, 1940}},
      {u"2101年十二月初一", DateProblem::OutOfRange, ""},
      {u"二月十五", DateProblem::Unreadable, ""},
      {u"光绪十六年十三月初一", DateProblem::Unreadable, ""},
      {u"光绪十六年二月初十一", DateProblem::Unreadable, ""},
      {u"光绪十六年二月十五 晚", DateProblem::Unreadable, ""},
      {u"开元十六年二月十五", DateProblem::Unreadable, ""},
      {u"1890-3", DateProblem::Unreadable, ""},
      {u"", DateProblem::Unreadable, ""},
  };
  for (const Row& row : rows) {
    const ParsedDate parsed = ParseDate(row.text, row.years);
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    EXPECT_EQ(static_cast<int>(parsed.problem), static_cast<int>(row.problem));
    EXPECT_EQ(Days(parsed), row.days);
  }
}

TEST(ChineseDateParser, LikelyBirthYearsPlaceEveryGanzhiOnce) {
  const YearRange years = LikelyBirthYears(1850, 1920);
  EXPECT_EQ(years.first, 1862);
  EXPECT_EQ(years.last, 1908);
  const YearRange fatherOnly = LikelyBirthYears(1850, std::nullopt);
  EXPECT_EQ(fatherOnly.last - fatherOnly.first + 1, 60);
  const YearRange childOnly = LikelyBirthYears(std::nullopt, 1920);
  EXPECT_EQ(childOnly.last - childOnly.first + 1, 60);
  EXPECT_EQ(childOnly.last, 1908);
  EXPECT_EQ(LikelyBirthYears(std::nullopt, std::nullopt).first, AnyYear().first);
}

// What the command line and the book print reads back to the same day: the
// reign form alone up to the abdication, and among the candidates after it.
TEST(ChineseDateParser, EveryDayWrittenInChineseReadsBack) {
  GregorianDate day = FirstConvertibleDay();
  const GregorianDate last = LastConvertibleDay();
  int ambiguous = 0;
  while (day <= last) {
    const std::optional<LunarDate> lunar = FromGregorian(day);
    const std::optional<ReignYear> reign = ReignOf(day);
    ASSERT_TRUE(lunar && reign) << Iso(day);
    const std::u16string text = ReignYearText(*reign) + MonthDayText(*lunar);
    const ParsedDate parsed = ParseDate(text);
    bool found = false;
    for (const GregorianDate& candidate : parsed.candidates) found = found || candidate == day;
    ASSERT_TRUE(found) << Iso(day) << " read back as " << Days(parsed);
    if (reign->era == ReignYear::Era::Ming || reign->era == ReignYear::Era::Qing) {
      ASSERT_EQ(parsed.problem, DateProblem::None) << Iso(day);
    }
    if (parsed.problem == DateProblem::Ambiguous) {
      // Only a 十一月 or 十二月 falls in one Gregorian year twice.
      ASSERT_GE(lunar->month, 11) << Iso(day);
      ++ambiguous;
    }
    if (!COperationClanbook::IsValidDate(day.year, day.month, ++day.day)) {
      day.day = 1;
      if (++day.month > 12) {
        day.month = 1;
        ++day.year;
      }
    }
  }
  EXPECT_GT(ambiguous, 0);
}

}  // namespace
