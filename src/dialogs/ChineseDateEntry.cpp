#include "dialogs/ChineseDateEntry.h"

#include "document/DateWords.h"
#include "platform/DataExchange.h"
#include "platform/MessageBoxes.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace {

std::function<int(const QString&, const QStringList&)> g_choice;

std::optional<GregorianDate> BoxesDate(const QLineEdit* year, const QLineEdit* month,
                                       const QLineEdit* day) {
  int y = 0, m = 0, d = 0;
  if (!ScanInteger(year->text(), y) || !ScanInteger(month->text(), m) ||
      !ScanInteger(day->text(), d))
    return std::nullopt;
  return GregorianDate{y, m, d};
}

}  // namespace

int AskWhichDate(QWidget* owner, const QString& question, const QStringList& choices) {
  if (g_choice) return g_choice(question, choices);
  bool ok = false;
  const QString chosen =
      QInputDialog::getItem(owner, ApplicationTitle(), question, choices, 0, false, &ok);
  return ok ? static_cast<int>(choices.indexOf(chosen)) : -1;
}

void SetDateChoiceForTesting(std::function<int(const QString&, const QStringList&)> answer) {
  g_choice = std::move(answer);
}

ChineseDateEntry::ChineseDateEntry(QLineEdit* text, QLabel* reading, QLineEdit* year,
                                   QLineEdit* month, QLineEdit* day, QWidget* owner)
    : QObject(owner),
      m_text(text),
      m_reading(reading),
      m_year(year),
      m_month(month),
      m_day(day),
      m_owner(owner) {
  m_text->setPlaceholderText(tr("如 光绪十六年二月十五"));
  // Room for the longest reading, so that the dialog does not clip it when
  // the boxes change after it was laid out.
  int width = 0;
  for (const GregorianDate& date :
       {GregorianDate{1900, 1, 30}, GregorianDate{1890, 4, 4}, GregorianDate{2034, 1, 14}})
    width = std::max(width, m_reading->fontMetrics().horizontalAdvance(ChineseDateReading(date)));
  m_reading->setMinimumWidth(width + m_reading->fontMetrics().averageCharWidth());
  for (QLineEdit* box : {m_year, m_month, m_day}) {
    connect(box, &QLineEdit::textChanged, this, &ChineseDateEntry::UpdateReading);
    // A box changed by hand makes the typed date stale: it goes, so that OK
    // does not put it back over the user's correction.
    connect(box, &QLineEdit::textEdited, this, [this] {
      m_text->clear();
      m_pending = false;
    });
  }
  connect(m_text, &QLineEdit::textEdited, this, [this] { m_pending = true; });
  connect(m_text, &QLineEdit::editingFinished, this, &ChineseDateEntry::TryQuietly);
}

void ChineseDateEntry::SetEnabled(bool enabled) {
  m_text->setEnabled(enabled);
  m_reading->setEnabled(enabled);
}

void ChineseDateEntry::UpdateReading() {
  const std::optional<GregorianDate> date = BoxesDate(m_year, m_month, m_day);
  m_reading->setText(date ? ChineseDateReading(*date) : QString());
}

void ChineseDateEntry::TryQuietly() {
  // Leaving the box fills the boxes when the date is plain; a doubtful or
  // impossible one is said beside it and settled at OK.
  const QString text = m_text->text().trimmed();
  if (!m_pending || text.isEmpty()) return;
  const ParsedDate parsed = ParseDate(text.toStdU16String(), years ? years() : AnyYear());
  if (parsed.problem == DateProblem::None) {
    Fill(parsed.candidates.front());
    m_pending = false;
  } else {
    m_reading->setText(DateProblemText(parsed.problem, text));
  }
}

bool ChineseDateEntry::Apply() {
  if (!m_text->isEnabled()) return true;
  QString text = m_text->text().trimmed();
  if (!m_pending || text.isEmpty()) {
    // A reign or 干支 date in the year box; an integer there stays the seed's.
    int ignored = 0;
    text = m_year->text().trimmed();
    if (text.isEmpty() || ScanInteger(text, ignored)) return true;
    if (ParseDate(text.toStdU16String(), AnyYear()).problem == DateProblem::Unreadable)
      return true;  // the year box's own message follows
  }
  const std::optional<GregorianDate> date = Read(text);
  if (!date) return false;
  Fill(*date);
  m_pending = false;
  return true;
}

std::optional<GregorianDate> ChineseDateEntry::Read(const QString& text) {
  const ParsedDate parsed = ParseDate(text.toStdU16String(), years ? years() : AnyYear());
  if (parsed.problem == DateProblem::None) return parsed.candidates.front();
  if (parsed.problem != DateProblem::Ambiguous) {
    ShowNotice(DateProblemText(parsed.problem, text));
    m_text->setFocus();
    return std::nullopt;
  }
  QStringList choices;
  for (const GregorianDate& day : parsed.candidates) choices << FullDateLine(day);
  const int chosen = AskWhichDate(m_owner, tr("“%1”是哪一天？").arg(text), choices);
  if (chosen < 0 || static_cast<std::size_t>(chosen) >= parsed.candidates.size())
    return std::nullopt;
  return parsed.candidates[static_cast<std::size_t>(chosen)];
}

void ChineseDateEntry::Fill(const GregorianDate& date) {
  m_year->setText(QString::number(date.year));
  m_month->setText(QString::number(date.month));
  m_day->setText(QString::number(date.day));
}
