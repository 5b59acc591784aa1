// 增加配偶… and 修改配偶… of the member window: one wife of a man, her 称,
// 姓, 名, 籍贯, father, dates, 葬地 and 备注. A date is typed as the date boxes
// of the member dialogs take it ("1890-3-5", "光绪十六年二月十五") or left empty.
#pragma once

#include "document/SpouseWords.h"
#include "model/MemberRecord.h"
#include "platform/CDialog.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;

class SpouseDialog : public CDialog {
  Q_OBJECT
public:
  // Shows `spouse` to be changed; a new wife starts as Spouse().
  explicit SpouseDialog(const Spouse& spouse, QWidget* parent = nullptr);
  ~SpouseDialog() override;

  // The wife as entered, once OK has been accepted.
  const Spouse& Entered() const { return m_spouse; }

protected:
  void OnOK() override;

private:
  QLineEdit* AddLine(const QString& label, const char* name, const std::u16string& text);
  // The date in `box`: true with 0 0 0 for an empty box; false after saying
  // why the text is no date.
  bool ReadDate(QLineEdit* box, std::int32_t& year, std::int32_t& month, std::int32_t& day);

  Spouse m_spouse;
  QComboBox* m_title = nullptr;
  QLineEdit* m_surname = nullptr;
  QLineEdit* m_givenName = nullptr;
  QLineEdit* m_origin = nullptr;
  QLineEdit* m_father = nullptr;
  QLineEdit* m_birth = nullptr;
  QCheckBox* m_alive = nullptr;
  QLineEdit* m_death = nullptr;
  QLineEdit* m_burial = nullptr;
  QLineEdit* m_note = nullptr;
  QFormLayout* m_form = nullptr;
};
