#include "dialogs/CRelationsDlg.h"

#include "ui_relationsdlg.h"

#include <QLineEdit>

CRelationsDlg::CRelationsDlg(QWidget* parent)
    : CDialog(parent), ui(std::make_unique<Ui::RelationsDlg>()) {
  ui->setupUi(this);
}

CRelationsDlg::~CRelationsDlg() = default;

void CRelationsDlg::DoDataExchange(DataExchange& dx) {
  dx.Text(ui->firstNameEdit, m_firstName);
  dx.Text(ui->secondNameEdit, m_secondName);
}
