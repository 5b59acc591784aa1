// Numbers as a Chinese book prints them: years digit by digit (一九四九),
// page numbers and counts in words (一百〇五).
#include "book/LifeRecord.h"

#include <climits>

namespace book {

namespace {

constexpr char16_t kDigits[] = u"〇一二三四五六七八九";

// 0 to 9999 in words; a zero between digits is said once, as 〇 (一千〇五,
// 一千〇五十). `whole` keeps a leading 一 before 十 (一十五 inside a larger number).
QString Section(int number, bool whole) {
  static constexpr char16_t kUnits[] = {u'千', u'百', u'十', 0};
  static constexpr int kPowers[] = {1000, 100, 10, 1};
  QString text;
  bool zero = false;
  for (int i = 0; i < 4; ++i) {
    const int digit = number / kPowers[i] % 10;
    if (digit == 0) {
      zero = !text.isEmpty();
      continue;
    }
    if (zero) text += kDigits[0];
    zero = false;
    if (!(i == 2 && digit == 1 && text.isEmpty() && !whole)) text += kDigits[digit];
    if (kUnits[i]) text += kUnits[i];
  }
  return text;
}

}  // namespace

QString ChineseDigits(const QString& text) {
  QString out = text;
  for (QChar& c : out) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
      c = QChar(kDigits[u - u'0']);
    else if (u >= u'０' && u <= u'９')
      c = QChar(kDigits[u - u'０']);
  }
  return out;
}

// Sections of four digits joined by 万 and 亿; a section under a thousand
// after a larger one is led by 〇 (一万〇五百), and only the number's own
// start drops the 一 of 一十 (十万, 一百一十).
QString NumberText(int number) {
  if (number == 0) return QString(kDigits[0]);
  if (number < 0) return QStringLiteral("负") + NumberText(number == INT_MIN ? INT_MAX : -number);
  static constexpr char16_t kGroups[] = {u'亿', u'万', 0};
  static constexpr int kGroupSizes[] = {100000000, 10000, 1};
  QString text;
  bool zero = false;
  for (int i = 0; i < 3; ++i) {
    const int section = number / kGroupSizes[i] % 10000;
    if (section == 0) {
      zero = !text.isEmpty();
      continue;
    }
    if (!text.isEmpty() && (zero || section < 1000)) text += kDigits[0];
    zero = false;
    text += Section(section, !text.isEmpty());
    if (kGroups[i]) text += kGroups[i];
  }
  return text;
}

}  // namespace book
