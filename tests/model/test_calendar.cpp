// The calendar rules that order siblings and decide which files load.
#include <gtest/gtest.h>

#include "model/COperationClanbook.h"

namespace {

TEST(Calendar, LeapYearsFollowTheGregorianRuleForEverySign) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2004));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2003));
  EXPECT_TRUE(IsLeapYear(0));
  EXPECT_TRUE(IsLeapYear(-4));
  EXPECT_TRUE(IsLeapYear(-400));
  EXPECT_FALSE(IsLeapYear(-100));
  EXPECT_FALSE(IsLeapYear(-1));
  EXPECT_TRUE(IsLeapYear(INT32_MIN));  // divisible by 4, not by 100
  EXPECT_FALSE(IsLeapYear(INT32_MAX));
}

TEST(Calendar, TwentyNinthOfFebruaryOnlyInLeapYears) {
  EXPECT_TRUE(COperationClanbook::IsValidDate(2000, 2, 29));
  EXPECT_TRUE(COperationClanbook::IsValidDate(2004, 2, 29));
  EXPECT_FALSE(COperationClanbook::IsValidDate(1900, 2, 29));
  EXPECT_FALSE(COperationClanbook::IsValidDate(2003, 2, 29));
  EXPECT_TRUE(COperationClanbook::IsValidDate(2003, 2, 28));
  EXPECT_TRUE(COperationClanbook::IsValidDate(0, 2, 29));
  EXPECT_TRUE(COperationClanbook::IsValidDate(-4, 2, 29));
  EXPECT_TRUE(COperationClanbook::IsValidDate(-5, 1, 1));
  EXPECT_FALSE(COperationClanbook::IsValidDate(-100, 2, 29));
}

TEST(Calendar, MonthAndDayBounds) {
  EXPECT_FALSE(COperationClanbook::IsValidDate(2000, 0, 1));
  EXPECT_FALSE(COperationClanbook::IsValidDate(2000, 13, 1));
  EXPECT_FALSE(COperationClanbook::IsValidDate(2000, -1, 1));
  EXPECT_FALSE(COperationClanbook::IsValidDate(2000, 1, 0));
  EXPECT_FALSE(COperationClanbook::IsValidDate(2000, 1, -3));
  EXPECT_FALSE(COperationClanbook::IsValidDate(2000, 4, 31));
  EXPECT_FALSE(COperationClanbook::IsValidDate(2000, 1, 32));
  EXPECT_FALSE(COperationClanbook::IsValidDate(2000, INT32_MIN, 1));
  EXPECT_FALSE(COperationClanbook::IsValidDate(2000, 1, INT32_MAX));
  const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int month = 1; month <= 12; ++month) {
    EXPECT_TRUE(COperationClanbook::IsValidDate(2001, month, lengths[month - 1])) << month;
    EXPECT_FALSE(COperationClanbook::IsValidDate(2001, month, lengths[month - 1] + 1)) << month;
  }
  EXPECT_TRUE(COperationClanbook::IsValidDate(INT32_MIN, 12, 31));
  EXPECT_TRUE(COperationClanbook::IsValidDate(INT32_MAX, 1, 1));
}

TEST(Calendar, CompareDatesOrdersYearThenMonthThenDayWithoutValidating) {
  EXPECT_EQ(COperationClanbook::CompareDates(1990, 5, 1, 1990, 5, 1), 0);
  EXPECT_EQ(COperationClanbook::CompareDates(1990, 12, 31, 1991, 1, 1), -1);
  EXPECT_EQ(COperationClanbook::CompareDates(1991, 1, 1, 1990, 12, 31), 1);
  EXPECT_EQ(COperationClanbook::CompareDates(2000, 13, 40, 2000, 12, 1), 1);
  EXPECT_EQ(COperationClanbook::CompareDates(2000, 5, 2, 2000, 5, 3), -1);
  EXPECT_EQ(COperationClanbook::CompareDates(-5, 1, 1, 5, 1, 1), -1);
  // Signed comparison: no overflow at the ends of the range.
  EXPECT_EQ(COperationClanbook::CompareDates(INT32_MIN, 1, 1, INT32_MAX, 1, 1), -1);
  EXPECT_EQ(COperationClanbook::CompareDates(1, INT32_MAX, 1, 1, INT32_MIN, 1), 1);
}

TEST(Calendar, NameFieldHoldsExactly127CodeUnits) {
  EXPECT_EQ(kMaxTextLength, 127u);
  EXPECT_TRUE(COperationClanbook::IsStorableName(std::u16string(127, u'张')));
  EXPECT_FALSE(COperationClanbook::IsStorableName(std::u16string(128, u'张')));
  EXPECT_FALSE(COperationClanbook::IsStorableName(u""));
  EXPECT_TRUE(COperationClanbook::IsStorableAddress(u""));
  EXPECT_FALSE(COperationClanbook::IsStorableName(u"张 三"));
  EXPECT_FALSE(COperationClanbook::IsStorableAddress(u"北京\t东城"));
  // Only the separators of the file count as white space; an ideographic
  // space is an ordinary character of a word.
  EXPECT_TRUE(COperationClanbook::IsStorableName(u"张\u3000三"));
}

}  // namespace
