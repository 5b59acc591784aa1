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
  connect(ui->aliveCheck, &QCheckBox::toggled, this, &CAddInfoDlg::OnToggleAlive);
  m_birthEntry = new ChineseDateEntry(ui->birthDateEdit, ui->birthDateReading, ui->birthYearEdit,
                                      ui->birthMonthEdit, ui->birthDayEdit, this);
  m_deathEntry = new ChineseDateEntry(ui->deathDateEdit, ui->deathDateReading, ui->deathYearEdit,
                                      ui->deathMonthEdit, ui->deathDayEdit, this);
  // A 干支 year alone is placed by the father the child is added to (while
  // the father box still names him); the death by the birth.
  m_birthEntry->years = [this] {
    const MemberNode* father = m_selectedFather;
    if (!father || ui->fatherNameEdit->text() != QString::fromStdU16String(father->name))
      return AnyYear();
    return LikelyBirthYears(father->birthYear, std::nullopt);
  };
  m_deathEntry->years = [this] {
    int born = 0;
    if (!ScanInteger(ui->birthYearEdit->text(), born)) return AnyYear();
    return YearRange{born, born + 119};
  };
}

CAddInfoDlg::~CAddInfoDlg() = default;

void CAddInfoDlg::DoDataExchange(DataExchange& dx) {
  dx.Check(ui->aliveCheck, m_data.alive);
  dx.Check(ui->marriedCheck, m_data.married);
  dx.Text(ui->addressEdit, m_data.address);
  dx.Int(ui->birthDayEdit, m_data.birthDay);
  dx.Int(ui->birthMonthEdit, m_data.birthMonth);
  dx.Int(ui->deathYearEdit, m_data.deathYear);
  dx.Int(ui->birthYearEdit, m_data.birthYear);
  dx.Int(ui->deathDayEdit, m_data.deathDay);
  dx.Int(ui->deathMonthEdit, m_data.deathMonth);
  dx.Text(ui->nameEdit, m_data.name);
  dx.Text(ui->fatherNameEdit, m_fatherName);
}

bool CAddInfoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // The death date matters only for the deceased: its boxes follow the alive box.
  EnableDeathDate(!ui->aliveCheck->isChecked());
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
  EnableDeathDate(!ui->aliveCheck->isChecked());
}

void CAddInfoDlg::EnableDeathDate(bool enable) {
  ui->deathDayEdit->setEnabled(enable);
  ui->deathMonthEdit->setEnabled(enable);
  ui->deathYearEdit->setEnabled(enable);
  m_deathEntry->SetEnabled(enable);
  m_deathDateEnabled = enable;
}

void CAddInfoDlg::OnOK() {
  if (!CheckStorable(ui->nameEdit, StoredText::Name) ||
      !CheckStorable(ui->addressEdit, StoredText::Address))
    return;
  // A typed Chinese date reaches the three boxes first; an impossible one is
  // refused with its reason and nothing is added.
  if (!m_birthEntry->Apply() || !m_deathEntry->Apply()) return;
  if (!UpdateData(true)) return;
  // A refused member keeps the dialog open with everything the user typed.
  if (m_owner->AddMember(*this) != 1) return;
  CDialog::OnOK();
}
