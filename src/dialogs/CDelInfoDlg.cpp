#include "dialogs/CDelInfoDlg.h"

#include "ui_delinfodlg.h"

#include <QLineEdit>

CDelInfoDlg::CDelInfoDlg(QWidget* parent)
    : CDialog(parent), ui(std::make_unique<Ui::DelInfoDlg>()) {
  ui->setupUi(this);
}

CDelInfoDlg::~CDelInfoDlg() = default;

void CDelInfoDlg::DoDataExchange(DataExchange& dx) {
  dx.Text(ui->idc_1011, m_name);
}
