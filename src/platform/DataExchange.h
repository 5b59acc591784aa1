// Moves a dialog's public members to and from its boxes, with the rules and
// messages every entry dialog of the program shares.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <string>

class QAbstractButton;
class QLineEdit;
class QWidget;

// Every text box of the entry dialogs holds at most this many characters.
inline constexpr int kTextBoxLimit = 127;

// Scans `text` like C's "%d": leading white space, an optional sign, decimal
// digits, the rest ignored. False when no number is there or it does not fit
// 32 bits.
bool ScanInteger(const QString& text, int& value);

// Limits `box` to `limit` UTF-16 code units without ever splitting a character
// outside the Basic Multilingual Plane: at the limit a surrogate pair is kept
// whole or left out, whether typed, pasted or set.
void LimitTextBox(QLineEdit* box, int limit);

class DataExchange {
  Q_DECLARE_TR_FUNCTIONS(DataExchange)

public:
  // saveAndValidate: true reads the boxes into the members, false writes the
  // members into the boxes.
  explicit DataExchange(bool saveAndValidate) : m_save(saveAndValidate) {}

  bool saveAndValidate() const { return m_save; }
  // After the first failing box every later call does nothing.
  bool failed() const { return m_failed; }

  // Integer box: "%d" when writing; when reading, "请输入一个整数。" for no number.
  void Int(QLineEdit* box, int& value);
  // Text box limited to `limit` code units (LimitTextBox); reading a longer text gives
  // "请输入不多于 %1 个的字符。" with the limit.
  void Text(QLineEdit* box, QString& value, int limit = kTextBoxLimit);
  // The same for a text kept as UTF-16 code units (a member's name or address).
  void Text(QLineEdit* box, std::u16string& value, int limit = kTextBoxLimit);
  // Check box: 1 checked, 0 unchecked.
  void Check(QAbstractButton* box, int& value);

private:
  void Fail(QLineEdit* box, const QString& message);
  bool m_save;
  bool m_failed = false;
};
