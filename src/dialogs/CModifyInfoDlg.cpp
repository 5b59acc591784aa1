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
  connect(ui->idc_1024, &QCheckBox::toggled, this, &CModifyInfoDlg::OnToggleAlive);
  m_birthEntry = new ChineseDateEntry(ui->idc_1040, ui->idc_1041, ui->idc_1008, ui->idc_1009,
                                      ui->idc_1010, this);
  m_deathEntry = new ChineseDateEntry(ui->idc_1042, ui->idc_1043, ui->idc_1015, ui->idc_1016,
                                      ui->idc_1017, this);
  m_birthEntry->years = [this] {
    return LikelyBirthYears(m_fatherBirthYear, m_firstChildBirthYear);
  };
  m_deathEntry->years = [this] {
    int born = 0;
    if (!ScanInteger(ui->idc_1008->text(), born)) return AnyYear();
    return YearRange{born, born + 119};
  };
}

CModifyInfoDlg::~CModifyInfoDlg() = default;

void CModifyInfoDlg::DoDataExchange(DataExchange& dx) {
  dx.Check(ui->idc_1023, m_married);
  dx.Check(ui->idc_1024, m_alive);
  dx.Text(ui->idc_1021, m_name);
  dx.Text(ui->idc_1022, m_address);
  dx.Int(ui->idc_1010, m_birthDay);
  dx.Int(ui->idc_1009, m_birthMonth);
  dx.Int(ui->idc_1008, m_birthYear);
  dx.Int(ui->idc_1017, m_deathDay);
  dx.Int(ui->idc_1016, m_deathMonth);
  dx.Int(ui->idc_1015, m_deathYear);
}

bool CModifyInfoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // A caller that opens the dialog for a deceased member gets the death date
  // ready for editing; for the living the boxes stay off.
  EnableDeathDate(!ui->idc_1024->isChecked());
  return true;
}

void CModifyInfoDlg::OnOK() {
  if (!CheckStorable(ui->idc_1021, StoredText::Name) ||
      !CheckStorable(ui->idc_1022, StoredText::Address))
    return;
  // A typed Chinese date reaches the three boxes first; an impossible one is
  // refused with its reason and the member keeps his data.
  if (!m_birthEntry->Apply() || !m_deathEntry->Apply()) return;
  CDialog::OnOK();
}

void CModifyInfoDlg::OnToggleAlive() {
  EnableDeathDate(!ui->idc_1024->isChecked());
}

void CModifyInfoDlg::EnableDeathDate(bool enable) {
  ui->idc_1017->setEnabled(enable);
  ui->idc_1016->setEnabled(enable);
  ui->idc_1015->setEnabled(enable);
  m_deathEntry->SetEnabled(enable);
  m_deathDateEnabled = enable;
}
