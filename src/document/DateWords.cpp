#include "document/DateWords.h"

#include <QCoreApplication>

#include <atomic>

namespace {

std::atomic<DateDisplay> g_display{DateDisplay::Gregorian};

QString Tr(const char* text) {
  return QCoreApplication::translate("DateWords", text);
}

std::optional<GregorianDate> Convertible(int year, int month, int day) {
  const GregorianDate date{year, month, day};
  if (!FromGregorian(date)) return std::nullopt;
  return date;
}

// The seed's "1950--3--12", in the list's words as platform/Today.h writes it
// (the document layer sits below the platform).
QString SeedDate(int year, int month, int day) {
  return QCoreApplication::translate("MemberListModel", "%1--%2--%3").arg(year).arg(month).arg(day);
}

// %1 the Gregorian date, %2 the Chinese one, in either order.
QString Fill(QString pattern, const QString& gregorian, const QString& chinese) {
  return pattern.replace(QLatin1String("%2"), chinese).replace(QLatin1String("%1"), gregorian);
}

}  // namespace

DateDisplay CurrentDateDisplay() {
  return g_display.load();
}

void SetDateDisplay(DateDisplay display) {
  g_display.store(display);
}

QString IsoDate(const GregorianDate& date) {
  return QStringLiteral("%1-%2-%3")
      .arg(date.year, 4, 10, QLatin1Char('0'))
      .arg(date.month, 2, 10, QLatin1Char('0'))
      .arg(date.day, 2, 10, QLatin1Char('0'));
}

QString ChineseDateWords(const GregorianDate& date) {
  const std::optional<LunarDate> lunar = FromGregorian(date);
  const std::optional<ReignYear> reign = ReignOf(date);
  if (!lunar || !reign) return {};
  // The dynasty is plain from the reign's name; a column of dates reads
  // better without it.
  QString year = QString::fromStdU16String(ReignYearText(*reign));
  if (!reign->dynasty.empty() && year.startsWith(QStringView(reign->dynasty)))
    year.remove(0, static_cast<qsizetype>(reign->dynasty.size()));
  return year + QString::fromStdU16String(MonthText(lunar->month, lunar->leap)) +
         QString::fromStdU16String(DayText(lunar->day));
}

QString FullDateLine(const GregorianDate& date) {
  const std::u16string chinese = ChineseDateText(date);
  if (chinese.empty()) return {};
  return IsoDate(date) + QLatin1Char(' ') + QString::fromStdU16String(chinese);
}

QString ShownDate(int year, int month, int day) {
  const DateDisplay display = CurrentDateDisplay();
  if (display == DateDisplay::Gregorian) return SeedDate(year, month, day);
  const std::optional<GregorianDate> date = Convertible(year, month, day);
  if (!date) return SeedDate(year, month, day);
  if (display == DateDisplay::Both) return BothDates(year, month, day);
  // An English reader needs the Gregorian date first; the catalogue says so.
  return Fill(Tr("%2"), IsoDate(*date), ChineseDateWords(*date));
}

QString BothDates(int year, int month, int day) {
  const std::optional<GregorianDate> date = Convertible(year, month, day);
  if (!date) return SeedDate(year, month, day);
  return Fill(Tr("%1（%2）"), IsoDate(*date), ChineseDateWords(*date));
}

QString AgeAtDeathText(const GregorianDate& birth, const GregorianDate& death) {
  const std::optional<Age> age = AgeAt(birth, death);
  if (!age) return {};
  return Tr("享年%1岁（虚岁），足%2岁").arg(age->nominalYears).arg(age->fullYears);
}

QString DateProblemText(DateProblem problem, const QString& text) {
  switch (problem) {
    case DateProblem::NoSuchDay:
      return Tr("“%1”：公历没有这一天。").arg(text);
    case DateProblem::OutOfRange:
      return Tr("“%1”超出了农历换算的范围（%2 至 %3）。")
          .arg(text, IsoDate(FirstConvertibleDay()), IsoDate(LastConvertibleDay()));
    case DateProblem::NoSuchReignYear:
      return Tr("“%1”：这个年号没有这一年。").arg(text);
    case DateProblem::NoLeapMonth:
      return Tr("“%1”：那一年没有这个闰月。").arg(text);
    case DateProblem::ShortMonth:
      return Tr("“%1”：那个月只有二十九天。").arg(text);
    case DateProblem::Ambiguous:
      return Tr("“%1”可以是不止一天。").arg(text);
    default:
      return Tr("读不懂日期“%1”：请写成 1890-3-5、光绪十六年二月十五或庚寅年二月十五。").arg(text);
  }
}
