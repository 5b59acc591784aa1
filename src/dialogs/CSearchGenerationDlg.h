// Asks for the number of the generation to list (the root is generation 1).
#pragma once

#include "platform/CDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class SearchGenerationDlg;
}

class CSearchGenerationDlg : public CDialog {
  Q_OBJECT
public:
  explicit CSearchGenerationDlg(QWidget* parent = nullptr);
  ~CSearchGenerationDlg() override;

  int m_generation = 0;

protected:
  void DoDataExchange(DataExchange& dx) override;

private:
  std::unique_ptr<Ui::SearchGenerationDlg> ui;
};
