#include "dialogs/CMemberNameDlg.h"

#include <QLineEdit>

CMemberNameDlg::CMemberNameDlg(QWidget* parent) : CDialog(parent) {}

void CMemberNameDlg::DoDataExchange(DataExchange& dx) {
  dx.Text(findChild<QLineEdit*>(QStringLiteral("nameEdit")), m_name);
}
