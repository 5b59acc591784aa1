#include "document/DateWords.h"

#include <QCoreApplication>

#include <atomic>

namespace {

std::atomic<DateDisplay> g_display{DateDisplay::Gregorian};

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

// Whether the interface's language writes a Chinese date in Chinese words
// (光绪十六年二月十五); otherwise the reign in pinyin and digits, after the
// Gregorian date. Each catalogue answers for its language.
bool InChineseWords() {
  return QCoreApplication::translate(
             "DateWords", "汉字",
             "How this language writes a Chinese date: 汉字 for Chinese words; anything "
             "else for the reign in pinyin and digits, after the Gregorian date") ==
         QStringView(u"汉字");
}

// The reigns' names as an English reader says them.
const char* const kReignNames[] = {
    QT_TRANSLATE_NOOP("DateWords", "洪武"), QT_TRANSLATE_NOOP("DateWords", "建文"),
    QT_TRANSLATE_NOOP("DateWords", "永乐"), QT_TRANSLATE_NOOP("DateWords", "洪熙"),
    QT_TRANSLATE_NOOP("DateWords", "宣德"), QT_TRANSLATE_NOOP("DateWords", "正统"),
    QT_TRANSLATE_NOOP("DateWords", "景泰"), QT_TRANSLATE_NOOP("DateWords", "天顺"),
    QT_TRANSLATE_NOOP("DateWords", "成化"), QT_TRANSLATE_NOOP("DateWords", "弘治"),
    QT_TRANSLATE_NOOP("DateWords", "正德"), QT_TRANSLATE_NOOP("DateWords", "嘉靖"),
    QT_TRANSLATE_NOOP("DateWords", "隆庆"), QT_TRANSLATE_NOOP("DateWords", "万历"),
    QT_TRANSLATE_NOOP("DateWords", "泰昌"), QT_TRANSLATE_NOOP("DateWords", "天启"),
    QT_TRANSLATE_NOOP("DateWords", "崇祯"), QT_TRANSLATE_NOOP("DateWords", "顺治"),
    QT_TRANSLATE_NOOP("DateWords", "康熙"), QT_TRANSLATE_NOOP("DateWords", "雍正"),
    QT_TRANSLATE_NOOP("DateWords", "乾隆"), QT_TRANSLATE_NOOP("DateWords", "嘉庆"),
    QT_TRANSLATE_NOOP("DateWords", "道光"), QT_TRANSLATE_NOOP("DateWords", "咸丰"),
    QT_TRANSLATE_NOOP("DateWords", "同治"), QT_TRANSLATE_NOOP("DateWords", "光绪"),
    QT_TRANSLATE_NOOP("DateWords", "宣统"), QT_TRANSLATE_NOOP("DateWords", "民国"),
    QT_TRANSLATE_NOOP("DateWords", "公元")};

QString ReignNameWords(const QString& name) {
  for (const char* reign : kReignNames)
    if (name == QString::fromUtf8(reign)) return QCoreApplication::translate("DateWords", reign);
  return name;
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
  const QString name = QString::fromStdU16String(std::u16string(reign->name));
  // The year's words without the dynasty (plain from the reign's name; a
  // column of dates reads better without it), the name and 年: 十六, 元, 一九五〇.
  QString yearWords = QString::fromStdU16String(ReignYearText(*reign));
  yearWords.remove(0, static_cast<qsizetype>(reign->dynasty.size() + reign->name.size()));
  yearWords.chop(1);
  if (InChineseWords())
    return name + yearWords + u'年' +
           QString::fromStdU16String(MonthText(lunar->month, lunar->leap)) +
           QString::fromStdU16String(DayText(lunar->day));
  const QString month = QString::number(lunar->month);
  return QCoreApplication::translate("DateWords", "%1%2年%3月%4日")
      .arg(ReignNameWords(name), QString::number(reign->year),
           lunar->leap ? QCoreApplication::translate("DateWords", "闰%1").arg(month) : month,
           QString::number(lunar->day));
}

QString ChineseDateReading(const GregorianDate& date) {
  if (!InChineseWords()) return ChineseDateWords(date);
  return QString::fromStdU16String(ChineseDateText(date));
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
  // A reader of pinyin and digits needs the Gregorian date first.
  if (!InChineseWords()) return BothDates(year, month, day);
  return ChineseDateWords(*date);
}

QString BothDates(int year, int month, int day) {
  const std::optional<GregorianDate> date = Convertible(year, month, day);
  if (!date) return SeedDate(year, month, day);
  return Fill(QCoreApplication::translate("DateWords", "%1（%2）"), IsoDate(*date),
              ChineseDateWords(*date));
}

QString AgeAtDeathText(const GregorianDate& birth, const GregorianDate& death) {
  const std::optional<Age> age = AgeAt(birth, death);
  if (!age) return {};
  return QCoreApplication::translate("DateWords", "享年%1岁（虚岁），足%2岁")
      .arg(age->nominalYears)
      .arg(age->fullYears);
}

QString DateProblemText(DateProblem problem, const QString& text) {
  switch (problem) {
    case DateProblem::NoSuchDay:
      return QCoreApplication::translate("DateWords", "“%1”：公历没有这一天。").arg(text);
    case DateProblem::OutOfRange:
      return QCoreApplication::translate("DateWords", "“%1”超出了农历换算的范围（%2 至 %3）。")
          .arg(text, IsoDate(FirstConvertibleDay()), IsoDate(LastConvertibleDay()));
    case DateProblem::NoSuchReignYear:
      return QCoreApplication::translate("DateWords", "“%1”：这个年号没有这一年。").arg(text);
    case DateProblem::NoLeapMonth:
      return QCoreApplication::translate("DateWords", "“%1”：那一年没有这个闰月。").arg(text);
    case DateProblem::ShortMonth:
      return QCoreApplication::translate("DateWords", "“%1”：那个月只有二十九天。").arg(text);
    case DateProblem::OtherGregorianYear:
      return QCoreApplication::translate(
                 "DateWords", "“%1”：按公历纪年，那一年没有这个农历日子（它落在相邻的一年）。")
          .arg(text);
    case DateProblem::Ambiguous:
      return QCoreApplication::translate("DateWords", "“%1”可以是不止一天。").arg(text);
    default:
      return QCoreApplication::translate(
                 "DateWords",
                 "读不懂日期“%1”：请写成 1890-3-5、光绪十六年二月十五或庚寅年二月十五。")
          .arg(text);
  }
}
