// The Chinese way into a date's three boxes (year, month, day): a text box
// beside them that reads "光绪十六年二月十五", "庚寅年二月十五" or "1890-3-5"
// and fills the boxes, and a label that reads the boxes back in Chinese as
// they change. A reign or 干支 date typed into the year box itself is read the
// same way at OK; whatever the year box accepted before (an integer) it
// accepts as before.
#pragma once

#include "calendar/ChineseDateParser.h"

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QWidget;

// No Q_OBJECT: moc cannot read the calendar's C++20 headers.
class ChineseDateEntry : public QObject {
  Q_DECLARE_TR_FUNCTIONS(ChineseDateEntry)
public:
  ChineseDateEntry(QLineEdit* text, QLabel* reading, QLineEdit* year, QLineEdit* month,
                   QLineEdit* day, QWidget* owner);

  // The Gregorian years a 干支 year alone may fall in; the whole table when unset.
  std::function<YearRange()> years;

  // At OK: a typed date that has not reached the boxes yet goes there now. A
  // 干支 year that fits more than one day within `years` is asked about;
  // false, with the reason said and the boxes untouched, when the date is
  // impossible or the user chose none.
  bool Apply();
  void SetEnabled(bool enabled);
  // The Chinese reading of the three boxes, or nothing when they make no day
  // the table reaches.
  void UpdateReading();

private:
  // The date `text` means, asking among candidates; none after a notice.
  std::optional<GregorianDate> Read(const QString& text);
  void Fill(const GregorianDate& date);
  void TryQuietly();

  QLineEdit* m_text;
  QLabel* m_reading;
  QLineEdit* m_year;
  QLineEdit* m_month;
  QLineEdit* m_day;
  QWidget* m_owner;
  bool m_pending = false;  // the text box holds what has not reached the boxes
};

// Which of several days a typed date means: the index into `choices`, or -1
// when the user gives up. Shown as a list to pick from.
int AskWhichDate(QWidget* owner, const QString& question, const QStringList& choices);
// While set, AskWhichDate answers through `answer` instead of a dialog; tests
// see the question and the choices.
void SetDateChoiceForTesting(
    std::function<int(const QString& question, const QStringList& choices)> answer);
