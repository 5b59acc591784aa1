#include "dialogs/CModifyInfoDlg.h"

#include "dialogs/ChineseDateEntry.h"
#include "dialogs/StorableText.h"
#include "platform/DataExchange.h"
#include "ui_modifyinfodlg.h"

#include <QCheckBox>
#include <QLineEdit>

CModifyInfoDlg::CModifyInfoDlg(QWidget* parent)
    : CDialog(parent), ui(std::make_unique<Ui::ModifyInfoDlg>()) {
  ui->setupUi(this);
  // Whatever changes the alive box (a click, the keyboard, a screen reader's
  // toggle, the exchange), the death date follows it.
  connect(ui->aliveCheck, &QCheckBox::toggled, this, &CModifyInfoDlg::OnToggleAlive);
  m_birthEntry = new ChineseDateEntry(ui->birthDateEdit, ui->birthDateReading, ui->birthYearEdit,
                                      ui->birthMonthEdit, ui->birthDayEdit, this);
  m_deathEntry = new ChineseDateEntry(ui->deathDateEdit, ui->deathDateReading, ui->deathYearEdit,
                                      ui->deathMonthEdit, ui->deathDayEdit, this);
  m_birthEntry->years = [this] {
    return LikelyBirthYears(m_fatherBirthYear, m_firstChildBirthYear);
  };
  m_deathEntry->years = [this] {
    int born = 0;
    if (!ScanInteger(ui->birthYearEdit->text(), born)) return AnyYear();
    return YearRange{born, born + 119};
  };
}

CModifyInfoDlg::~CModifyInfoDlg() = default;

void CModifyInfoDlg::DoDataExchange(DataExchange& dx) {
  dx.Check(ui->marriedCheck, m_data.married);
  dx.Check(ui->aliveCheck, m_data.alive);
  dx.Text(ui->nameEdit, m_data.name);
  dx.Text(ui->addressEdit, m_data.address);
  dx.Int(ui->birthDayEdit, m_data.birthDay);
  dx.Int(ui->birthMonthEdit, m_data.birthMonth);
  dx.Int(ui->birthYearEdit, m_data.birthYear);
  dx.Int(ui->deathDayEdit, m_data.deathDay);
  dx.Int(ui->deathMonthEdit, m_data.deathMonth);
  dx.Int(ui->deathYearEdit, m_data.deathYear);
}

bool CModifyInfoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // A caller that opens the dialog for a deceased member gets the death date
  // ready for editing; for the living the boxes stay off.
  EnableDeathDate(!ui->aliveCheck->isChecked());
  return true;
}

void CModifyInfoDlg::OnOK() {
  if (!CheckStorable(ui->nameEdit, StoredText::Name) ||
      !CheckStorable(ui->addressEdit, StoredText::Address))
    return;
  // A typed Chinese date reaches the three boxes first; an impossible one is
  // refused with its reason and the member keeps his data.
  if (!m_birthEntry->Apply() || !m_deathEntry->Apply()) return;
  CDialog::OnOK();
}

void CModifyInfoDlg::OnToggleAlive() {
  EnableDeathDate(!ui->aliveCheck->isChecked());
}

void CModifyInfoDlg::EnableDeathDate(bool enable) {
  ui->deathDayEdit->setEnabled(enable);
  ui->deathMonthEdit->setEnabled(enable);
  ui->deathYearEdit->setEnabled(enable);
  m_deathEntry->SetEnabled(enable);
  m_deathDateEnabled = enable;
}
