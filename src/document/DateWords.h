// Dates as the windows and the command line write them for people: the
// Gregorian date the book stores, its Chinese date in words, or both, as the
// user chose (查看 → 日期); the 享年 of the deceased; and the one wording of
// every reason a typed date is refused.
#pragma once

#include "calendar/ChineseCalendar.h"

#include <QString>
#include <QStringList>

#include <optional>

enum class DateDisplay { Gregorian, Chinese, Both };

// What every date on screen follows; 公历 until the window reads the user's
// choice, so that whatever shows dates without a window keeps the seed's text.
DateDisplay CurrentDateDisplay();
void SetDateDisplay(DateDisplay display);

// "1890-03-05".
QString IsoDate(const GregorianDate& date);
// "光绪十六年二月十五": the reign year without its dynasty, the Chinese month
// and day; in English "Guangxu 16, month 2, day 15". Empty outside the table
// or for no valid day.
QString ChineseDateWords(const GregorianDate& date);
// What the date boxes' reading says: "清光绪十六年 庚寅年 二月十五日" in
// Chinese, the short words in English; empty outside the table.
QString ChineseDateReading(const GregorianDate& date);
// "1890-03-05 清光绪十六年 庚寅年 二月十五日", the line of clanbook --date and
// of a choice between days; empty outside the table.
QString FullDateLine(const GregorianDate& date);

// A stored date as the current choice shows it. 公历 is the seed's
// "1890--3--5"; 农历 the Chinese words (in English, the Gregorian date with
// the Chinese one beside it); 两者 "1890-03-05（光绪十六年二月十五）". A date
// the table does not reach is shown in the Gregorian calendar alone.
QString ShownDate(int year, int month, int day);
// Both calendars whatever the choice, for the places that always show both.
QString BothDates(int year, int month, int day);

// "享年72岁（虚岁），足71岁"; empty when either date is not a day of the table
// or death comes before birth.
QString AgeAtDeathText(const GregorianDate& birth, const GregorianDate& death);

// Why `text` gives no date, in the program's language.
QString DateProblemText(DateProblem problem, const QString& text);
