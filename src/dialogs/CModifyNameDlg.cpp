#include "dialogs/CModifyNameDlg.h"

#include "ui_modifynamedlg.h"

#include <QLineEdit>

CModifyNameDlg::CModifyNameDlg(QWidget* parent)
    : CDialog(parent), ui(std::make_unique<Ui::ModifyNameDlg>()) {
  ui->setupUi(this);
}

CModifyNameDlg::~CModifyNameDlg() = default;

void CModifyNameDlg::DoDataExchange(DataExchange& dx) {
  dx.Text(ui->idc_1011, m_name);
}
