#include "dialogs/CDelInfoDlg.h"

#include "ui_delinfodlg.h"

CDelInfoDlg::CDelInfoDlg(QWidget* parent) : CMemberNameDlg(parent) {
  Ui::DelInfoDlg().setupUi(this);
}
