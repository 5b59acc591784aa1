#include "dialogs/CAddInfoDlg.h"

#include "dialogs/ChineseDateEntry.h"
#include "dialogs/StorableText.h"
#include "model/COperationClanbook.h"
#include "platform/DataExchange.h"
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
  m_birthEntry = new ChineseDateEntry(ui->idc_1040, ui->idc_1041, ui->idc_1008, ui->idc_1009,
                                      ui->idc_1010, this);
  m_deathEntry = new ChineseDateEntry(ui->idc_1042, ui->idc_1043, ui->idc_1015, ui->idc_1016,
                                      ui->idc_1017, this);
  // A 干支 year alone is placed by the father the child is added to (while
  // the father box still names him); the death by the birth.
  m_birthEntry->years = [this] {
    const MemberNode* father = m_selectedFather;
    if (!father || ui->idc_1018->text() != QString::fromStdU16String(father->name))
      return AnyYear();
    return LikelyBirthYears(father->birthYear, std::nullopt);
  };
  m_deathEntry->years = [this] {
    int born = 0;
    if (!ScanInteger(ui->idc_1008->text(), born)) return AnyYear();
    return YearRange{born, born + 119};
  };
}

CAddInfoDlg::~CAddInfoDlg() = default;

void CAddInfoDlg::DoDataExchange(DataExchange& dx) {
  dx.Check(ui->idc_1014, m_alive);
  dx.Check(ui->idc_1012, m_married);
  dx.Text(ui->idc_1013, m_address);
  dx.Int(ui->idc_1010, m_birthDay);
  dx.Int(ui->idc_1009, m_birthMonth);
  dx.Int(ui->idc_1015, m_deathYear);
  dx.Int(ui->idc_1008, m_birthYear);
  dx.Int(ui->idc_1017, m_deathDay);
  dx.Int(ui->idc_1016, m_deathMonth);
  dx.Text(ui->idc_1011, m_name);
  dx.Text(ui->idc_1018, m_fatherName);
}

bool CAddInfoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // The death date matters only for the deceased: its boxes follow the alive box.
  EnableDeathDate(!ui->idc_1014->isChecked());
  const LocalDate today = Today();
  m_birthYear = today.year;
  m_birthMonth = today.month;
  m_birthDay = today.day;
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
  m_deathEntry->SetEnabled(enable);
  m_deathDateEnabled = enable;
}

void CAddInfoDlg::OnOK() {
  if (!CheckStorable(ui->idc_1011, StoredText::Name) ||
      !CheckStorable(ui->idc_1013, StoredText::Address))
    return;
  // A typed Chinese date reaches the three boxes first; an impossible one is
  // refused with its reason and nothing is added.
  if (!m_birthEntry->Apply() || !m_deathEntry->Apply()) return;
  if (!UpdateData(true)) return;
  // A refused member keeps the dialog open with everything the user typed.
  if (m_owner->AddMember(*this) != 1) return;
  CDialog::OnOK();
}
