#include "dialogs/CMemberNameDlg.h"

#include <QLineEdit>

CMemberNameDlg::CMemberNameDlg(QWidget* parent) : CDialog(parent) {}

void CMemberNameDlg::DoDataExchange(DataExchange& dx) {
  dx.Text(findChild<QLineEdit*>(ControlName(1011)), m_name);
}
