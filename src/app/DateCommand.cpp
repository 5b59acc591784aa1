#include "app/DateCommand.h"

#include "calendar/ChineseCalendar.h"
#include "calendar/ChineseDateParser.h"
#include "document/DateWords.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cstdio>

namespace {

void Write(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fflush(stream);
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
    for (const GregorianDate& day : parsed.candidates) message += u'\n' + FullDateLine(day);
    return Fail(1, message);
  }
  if (parsed.problem != DateProblem::None) return Fail(1, DateProblemText(parsed.problem, text));
  const QString line = FullDateLine(parsed.candidates.front());
  if (line.isEmpty()) return Fail(1, DateProblemText(DateProblem::OutOfRange, text));
  Write(stdout, line + u'\n');
  return 0;
}
