#include "dialogs/CAddInfoDlg.h"

#include "dialogs/StorableText.h"
#include "platform/Today.h"
#include "ui_addinfodlg.h"

#include <QCheckBox>
#include <QLineEdit>

CAddInfoDlg::CAddInfoDlg(IMemberAdder* owner, QWidget* parent)
    : CDialog(parent), m_owner(owner), ui(std::make_unique<Ui::AddInfoDlg>()) {
  ui->setupUi(this);
  // Whatever changes the alive box (a click, the keyboard, a screen reader's
  // toggle, the exchange), the death date follows it.
  connect(ui->idc_1014, &QCheckBox::toggled, this, &CAddInfoDlg::OnToggleAlive);
}

CAddInfoDlg::~CAddInfoDlg() = default;

void CAddInfoDlg::DoDataExchange(DataExchange& dx) {
  dx.Check(ui->idc_1014, m_data.alive);
  dx.Check(ui->idc_1012, m_data.married);
  dx.Text(ui->idc_1013, m_data.address);
  dx.Int(ui->idc_1010, m_data.birthDay);
  dx.Int(ui->idc_1009, m_data.birthMonth);
  dx.Int(ui->idc_1015, m_data.deathYear);
  dx.Int(ui->idc_1008, m_data.birthYear);
  dx.Int(ui->idc_1017, m_data.deathDay);
  dx.Int(ui->idc_1016, m_data.deathMonth);
  dx.Text(ui->idc_1011, m_data.name);
  dx.Text(ui->idc_1018, m_fatherName);
}

bool CAddInfoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // The death date matters only for the deceased: its boxes follow the alive box.
  EnableDeathDate(!ui->idc_1014->isChecked());
  const LocalDate today = Today();
  m_data.birthYear = today.year;
  m_data.birthMonth = today.month;
  m_data.birthDay = today.day;
  UpdateData(false);
  return true;
}

void CAddInfoDlg::OnToggleAlive() {
  // Follows the box rather than flipping blindly, so the boxes can never end
  // up enabled for a living member whatever state the dialog was opened in.
  EnableDeathDate(!ui->idc_1014->isChecked());
}

void CAddInfoDlg::EnableDeathDate(bool enable) {
  ui->idc_1017->setEnabled(enable);
  ui->idc_1016->setEnabled(enable);
  ui->idc_1015->setEnabled(enable);
  m_deathDateEnabled = enable;
}

void CAddInfoDlg::OnOK() {
  if (!CheckStorable(ui->idc_1011, StoredText::Name) ||
      !CheckStorable(ui->idc_1013, StoredText::Address))
    return;
  if (!UpdateData(true)) return;
  // A refused member keeps the dialog open with everything the user typed.
  if (m_owner->AddMember(*this) != 1) return;
  CDialog::OnOK();
}
