#include "document/SpouseWords.h"

#include "document/DateWords.h"

#include <QCoreApplication>

// The catalogue keeps these words under the window that first showed them.
namespace spouse_text {

QString Title(SpouseTitle title) {
  switch (title) {
    case SpouseTitle::kPei:
      return QCoreApplication::translate("SpouseDialog", "配");
    case SpouseTitle::kJiPei:
      return QCoreApplication::translate("SpouseDialog", "继配");
    case SpouseTitle::kQu:
      return QCoreApplication::translate("SpouseDialog", "娶");
    case SpouseTitle::kCeShi:
      return QCoreApplication::translate("SpouseDialog", "侧室");
  }
  return {};
}

QString Clan(const Spouse& spouse) {
  if (spouse.surname.empty()) return {};
  return QCoreApplication::translate("SpouseDialog", "%1氏")
      .arg(QString::fromStdU16String(spouse.surname));
}

QString Name(const Spouse& spouse) {
  QString name = Clan(spouse);
  if (!spouse.givenName.empty()) {
    if (!name.isEmpty()) name += QLatin1Char(' ');
    name += QString::fromStdU16String(spouse.givenName);
  }
  // A wife the book knows nothing of but that she was married.
  if (name.isEmpty()) name = QCoreApplication::translate("SpouseDialog", "某氏");
  return name;
}

QString Date(std::int32_t year, std::int32_t month, std::int32_t day) {
  if (year == 0 && month == 0 && day == 0) return {};
  return BothDates(year, month, day);
}

}  // namespace spouse_text
