#include "dialogs/CPersonalInfoDlg.h"

#include "ui_personalinfodlg.h"

CPersonalInfoDlg::CPersonalInfoDlg(QWidget* parent) : CMemberNameDlg(parent) {
  Ui::PersonalInfoDlg().setupUi(this);
}
