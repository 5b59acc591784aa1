// Asks for the name of the member to delete.
#pragma once

#include "platform/CDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class DelInfoDlg;
}

class CDelInfoDlg : public CDialog {
  Q_OBJECT
public:
  explicit CDelInfoDlg(QWidget* parent = nullptr);
  ~CDelInfoDlg() override;

  QString m_name;

protected:
  void DoDataExchange(DataExchange& dx) override;

private:
  std::unique_ptr<Ui::DelInfoDlg> ui;
};
