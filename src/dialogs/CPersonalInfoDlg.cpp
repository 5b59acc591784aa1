#include "dialogs/CPersonalInfoDlg.h"

#include "ui_personalinfodlg.h"

#include <QLineEdit>

CPersonalInfoDlg::CPersonalInfoDlg(QWidget* parent)
    : CDialog(parent), ui(std::make_unique<Ui::PersonalInfoDlg>()) {
  ui->setupUi(this);
}

CPersonalInfoDlg::~CPersonalInfoDlg() = default;

void CPersonalInfoDlg::DoDataExchange(DataExchange& dx) {
  dx.Text(ui->idc_1011, m_name);
}
