#include "platform/DataExchange.h"

#include "platform/MessageBoxes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QValidator>

#include <cstdint>

namespace {
// The box's text is read into a buffer of 64 characters before it is scanned.
constexpr int kIntegerTextLimit = 63;

// A line edit cuts an insertion at its length limit by code units, so the last
// character to fit can lose the second half of a surrogate pair: the box would
// then hold half a character that no file can store. Every insertion that hits
// the limit passes here; a first half cut from its second is dropped, so a
// character is kept whole or left out. The box's own limit stays in force,
// which keeps typing and pasting from ever exceeding it.
class WholeCharacterLimit : public QValidator {
public:
  explicit WholeCharacterLimit(QLineEdit* box) : QValidator(box), m_box(box) {}

  State validate(QString& input, int& pos) const override {
    if (input.size() < m_box->maxLength() || pos <= 0 || pos > input.size()) return Acceptable;
    const bool cutPair = input.at(pos - 1).isHighSurrogate() &&
                         (pos == input.size() || !input.at(pos).isLowSurrogate());
    if (cutPair) {
      input.remove(pos - 1, 1);
      --pos;
    }
    return Acceptable;
  }

private:
  QLineEdit* m_box;
};
}  // namespace

void LimitTextBox(QLineEdit* box, int limit) {
  if (!dynamic_cast<const WholeCharacterLimit*>(box->validator()))
    box->setValidator(new WholeCharacterLimit(box));
  box->setMaxLength(limit);
}

bool ScanInteger(const QString& text, int& value) {
  const QString scanned = text.left(kIntegerTextLimit);
  qsizetype i = 0;
  const qsizetype n = scanned.size();
  while (i < n && scanned[i].isSpace()) ++i;
  bool negative = false;
  if (i < n && (scanned[i] == u'+' || scanned[i] == u'-')) {
    negative = scanned[i] == u'-';
    ++i;
  }
  const qsizetype firstDigit = i;
  std::int64_t magnitude = 0;
  // One past the largest magnitude (2^31 for INT_MIN): anything beyond it is
  // out of range whatever digits follow, so accumulation stops there.
  constexpr std::int64_t kLimit = std::int64_t{1} << 31;
  while (i < n && scanned[i] >= u'0' && scanned[i] <= u'9') {
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (scanned[i].unicode() - u'0');
    ++i;
  }
  if (i == firstDigit) return false;
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue < INT32_MIN || signedValue > INT32_MAX) return false;
  value = static_cast<int>(signedValue);
  return true;
}

void DataExchange::Int(QLineEdit* box, int& value) {
  if (m_failed) return;
  if (!m_save) {
    box->setText(QString::number(value));
    return;
  }
  int scanned = 0;
  if (!ScanInteger(box->text(), scanned)) {
    Fail(box, tr("请输入一个整数。"));
    return;
  }
  value = scanned;
}

void DataExchange::Text(QLineEdit* box, QString& value, int limit) {
  if (m_failed) return;
  if (!m_save) {
    LimitTextBox(box, limit);
    box->setText(value);
    return;
  }
  const QString text = box->text();
  if (text.size() > limit) {
    // The member keeps its value: a refused text must not slip through when
    // the user gives up with Cancel afterwards.
    Fail(box, tr("请输入不多于 %1 个的字符。").arg(limit));
    return;
  }
  value = text;
}

void DataExchange::Text(QLineEdit* box, std::u16string& value, int limit) {
  QString text = QString::fromStdU16String(value);
  const bool failedBefore = m_failed;
  Text(box, text, limit);
  if (m_save && !failedBefore && !m_failed) value = text.toStdU16String();
}

void DataExchange::Check(QAbstractButton* box, int& value) {
  if (m_failed) return;
  if (!m_save) {
    if (value < 0 || value > 2) value = 0;
    auto* checkBox = qobject_cast<QCheckBox*>(box);
    if (value == 2 && checkBox && checkBox->isTristate()) {
      checkBox->setCheckState(Qt::PartiallyChecked);
    } else {
      box->setChecked(value == 1);
    }
    return;
  }
  value = box->isChecked() ? 1 : 0;
}

void DataExchange::Fail(QLineEdit* box, const QString& message) {
  m_failed = true;
  ShowNotice(message);
  box->setFocus(Qt::OtherFocusReason);
  box->selectAll();
}
