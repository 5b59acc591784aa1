#include "platform/Today.h"

#include <QCoreApplication>
#include <QDate>

namespace {
std::optional<LocalDate> g_fixedToday;
}

LocalDate Today() {
  if (g_fixedToday) return *g_fixedToday;
  // The local calendar date; QDate reports an invalid date (and so 0 for the
  // month and the day, which no member matches) if the clock cannot be read.
  const QDate today = QDate::currentDate();
  if (!today.isValid()) return {0, 0, 0};
  return {today.year(), today.month(), today.day()};
}

void SetTodayForTesting(std::optional<LocalDate> date) {
  g_fixedToday = date;
}

QString DateText(int year, int month, int day) {
  // Translated where the member list first wrote it.
  return QCoreApplication::translate("MemberListModel", "%1--%2--%3").arg(year).arg(month).arg(day);
}
