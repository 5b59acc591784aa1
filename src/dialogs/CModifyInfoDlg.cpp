#include "dialogs/CModifyInfoDlg.h"

#include "dialogs/StorableText.h"
#include "ui_modifyinfodlg.h"

#include <QCheckBox>
#include <QLineEdit>

CModifyInfoDlg::CModifyInfoDlg(QWidget* parent)
    : CDialog(parent), ui(std::make_unique<Ui::ModifyInfoDlg>()) {
  ui->setupUi(this);
  // Whatever changes the alive box (a click, the keyboard, a screen reader's
  // toggle, the exchange), the death date follows it.
  connect(ui->idc_1024, &QCheckBox::toggled, this, &CModifyInfoDlg::OnToggleAlive);
}

CModifyInfoDlg::~CModifyInfoDlg() = default;

void CModifyInfoDlg::DoDataExchange(DataExchange& dx) {
  dx.Check(ui->idc_1023, m_data.married);
  dx.Check(ui->idc_1024, m_data.alive);
  dx.Text(ui->idc_1021, m_data.name);
  dx.Text(ui->idc_1022, m_data.address);
  dx.Int(ui->idc_1010, m_data.birthDay);
  dx.Int(ui->idc_1009, m_data.birthMonth);
  dx.Int(ui->idc_1008, m_data.birthYear);
  dx.Int(ui->idc_1017, m_data.deathDay);
  dx.Int(ui->idc_1016, m_data.deathMonth);
  dx.Int(ui->idc_1015, m_data.deathYear);
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
  CDialog::OnOK();
}

void CModifyInfoDlg::OnToggleAlive() {
  EnableDeathDate(!ui->idc_1024->isChecked());
}

void CModifyInfoDlg::EnableDeathDate(bool enable) {
  ui->idc_1017->setEnabled(enable);
  ui->idc_1016->setEnabled(enable);
  ui->idc_1015->setEnabled(enable);
  m_deathDateEnabled = enable;
}
