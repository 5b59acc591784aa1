#include "dialogs/CBirthdayDlg.h"

#include "ui_birthdaydlg.h"

#include <QLineEdit>

CBirthdayDlg::CBirthdayDlg(QWidget* parent)
    : CDialog(parent), ui(std::make_unique<Ui::BirthdayDlg>()) {
  ui->setupUi(this);
}

CBirthdayDlg::~CBirthdayDlg() = default;

void CBirthdayDlg::DoDataExchange(DataExchange& dx) {
  dx.Int(ui->birthDayEdit, m_day);
  dx.Int(ui->birthMonthEdit, m_month);
}
