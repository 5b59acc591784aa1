// Asks for the name of the member to look up.
#pragma once

#include "platform/CDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class PersonalInfoDlg;
}

class CPersonalInfoDlg : public CDialog {
  Q_OBJECT
public:
  explicit CPersonalInfoDlg(QWidget* parent = nullptr);
  ~CPersonalInfoDlg() override;

  QString m_name;

protected:
  void DoDataExchange(DataExchange& dx) override;

private:
  std::unique_ptr<Ui::PersonalInfoDlg> ui;
};
