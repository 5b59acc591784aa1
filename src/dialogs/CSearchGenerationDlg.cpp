#include "dialogs/CSearchGenerationDlg.h"

#include "ui_searchgenerationdlg.h"

#include <QLineEdit>

CSearchGenerationDlg::CSearchGenerationDlg(QWidget* parent)
    : CDialog(parent), ui(std::make_unique<Ui::SearchGenerationDlg>()) {
  ui->setupUi(this);
}

CSearchGenerationDlg::~CSearchGenerationDlg() = default;

void CSearchGenerationDlg::DoDataExchange(DataExchange& dx) {
  dx.Int(ui->generationEdit, m_generation);
}
