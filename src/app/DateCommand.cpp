#include "app/DateCommand.h"

#include "calendar/ChineseCalendar.h"
#include "calendar/ChineseDateParser.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cstdio>

namespace {

void Write(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fflush(stream);
}

QString Iso(const GregorianDate& date) {
  return QStringLiteral("%1-%2-%3")
      .arg(date.year, 4, 10, QLatin1Char('0'))
      .arg(date.month, 2, 10, QLatin1Char('0'))
      .arg(date.day, 2, 10, QLatin1Char('0'));
}

// The line printed for a day; empty when the table does not reach it.
QString DateLine(const GregorianDate& date) {
  const std::u16string chinese = ChineseDateText(date);
  if (chinese.empty()) return {};
  return Iso(date) + QLatin1Char(' ') + QString::fromStdU16String(chinese);
}

QString ProblemText(DateProblem problem, const QString& text) {
  switch (problem) {
    case DateProblem::NoSuchDay:
      return QCoreApplication::translate("Conversions", "“%1”：公历没有这一天。").arg(text);
    case DateProblem::OutOfRange:
      return QCoreApplication::translate("Conversions", "“%1”超出了农历换算的范围（%2 至 %3）。")
          .arg(text, Iso(FirstConvertibleDay()), Iso(LastConvertibleDay()));
    case DateProblem::NoSuchReignYear:
      return QCoreApplication::translate("Conversions", "“%1”：这个年号没有这一年。").arg(text);
    case DateProblem::NoLeapMonth:
      return QCoreApplication::translate("Conversions", "“%1”：那一年没有这个闰月。").arg(text);
    case DateProblem::ShortMonth:
      return QCoreApplication::translate("Conversions", "“%1”：那个月只有二十九天。").arg(text);
    default:
      return QCoreApplication::translate(
                 "Conversions",
                 "读不懂日期“%1”：请写成 1890-3-5、光绪十六年二月十五或庚寅年二月十五。")
          .arg(text);
  }
}

int Fail(int status, const QString& message) {
  Write(stderr, QStringLiteral("%1: %2\n").arg(QCoreApplication::applicationName(), message));
  return status;
}

}  // namespace

int PrintChineseDate(const QStringList& values, const QCommandLineParser& parser) {
  const QString& text = values[0];
  YearRange years = AnyYear();
  if (parser.isSet(QStringLiteral("years"))) {
    const QString value = parser.value(QStringLiteral("years"));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^(\\d{1,4})-(\\d{1,4})$")).match(value);
    if (!match.hasMatch() || match.captured(1).toInt() > match.captured(2).toInt())
      return Fail(
          2, QCoreApplication::translate(
                 "Conversions", "--years 须为 FROM-TO 两个公历年份（如 1850-1920），而不是“%1”。")
                 .arg(value));
    years = {match.captured(1).toInt(), match.captured(2).toInt()};
  }
  const ParsedDate parsed = ParseDate(text.toStdU16String(), years);
  if (parsed.problem == DateProblem::Ambiguous) {
    QString message = QCoreApplication::translate(
                          "Conversions", "“%1”可以是以下任一日期；请用 --years FROM-TO 限定年份：")
                          .arg(text);
    for (const GregorianDate& day : parsed.candidates) message += u'\n' + DateLine(day);
    return Fail(1, message);
  }
  if (parsed.problem != DateProblem::None) return Fail(1, ProblemText(parsed.problem, text));
  const QString line = DateLine(parsed.candidates.front());
  if (line.isEmpty()) return Fail(1, ProblemText(DateProblem::OutOfRange, text));
  Write(stdout, line + u'\n');
  return 0;
}
