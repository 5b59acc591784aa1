// Asks for the name of the member to look up.
#pragma once

#include "dialogs/CMemberNameDlg.h"

class CPersonalInfoDlg : public CMemberNameDlg {
  Q_OBJECT
public:
  explicit CPersonalInfoDlg(QWidget* parent = nullptr);
};
