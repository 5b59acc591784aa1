#include "dialogs/CBirthdayDlg.h"

#include "ui_birthdaydlg.h"

#include <QLineEdit>

CBirthdayDlg::CBirthdayDlg(QWidget* parent)
    : CDialog(parent), ui(std::make_unique<Ui::BirthdayDlg>()) {
  ui->setupUi(this);
}

CBirthdayDlg::~CBirthdayDlg() = default;

void CBirthdayDlg::DoDataExchange(DataExchange& dx) {
  dx.Int(ui->idc_1010, m_day);
  dx.Int(ui->idc_1009, m_month);
}
