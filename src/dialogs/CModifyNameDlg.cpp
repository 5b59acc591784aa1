#include "dialogs/CModifyNameDlg.h"

#include "ui_modifynamedlg.h"

CModifyNameDlg::CModifyNameDlg(QWidget* parent) : CMemberNameDlg(parent) {
  Ui::ModifyNameDlg().setupUi(this);
}
