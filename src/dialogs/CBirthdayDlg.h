// Asks for the month and day of the birthdays to look for.
#pragma once

#include "platform/CDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class BirthdayDlg;
}

class CBirthdayDlg : public CDialog {
  Q_OBJECT
public:
  explicit CBirthdayDlg(QWidget* parent = nullptr);
  ~CBirthdayDlg() override;

  int m_day = 0;
  int m_month = 0;

protected:
  void DoDataExchange(DataExchange& dx) override;

private:
  std::unique_ptr<Ui::BirthdayDlg> ui;
};
