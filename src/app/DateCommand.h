// `clanbook --date DATE [--years FROM-TO]`: a date in the Gregorian and the
// Chinese calendar on one line (docs/calendar.md). Listed in app/Conversions.cpp.
#pragma once

#include <QCommandLineParser>
#include <QStringList>

// Prints "1890-03-05 清光绪十六年 庚寅年 二月十五日" for values[0] and returns 0;
// 1 with a message when the date is impossible, outside the table or fits
// several days (they are listed); 2 for a mistaken --years.
int PrintChineseDate(const QStringList& values, const QCommandLineParser& parser);
