// Asks for the name of the member whose data the user wants to change.
#pragma once

#include "platform/CDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class ModifyNameDlg;
}

class CModifyNameDlg : public CDialog {
  Q_OBJECT
public:
  explicit CModifyNameDlg(QWidget* parent = nullptr);
  ~CModifyNameDlg() override;

  QString m_name;

protected:
  void DoDataExchange(DataExchange& dx) override;

private:
  std::unique_ptr<Ui::ModifyNameDlg> ui;
};
