// Asks for the name of the member to delete.
#pragma once

#include "dialogs/CMemberNameDlg.h"

class CDelInfoDlg : public CMemberNameDlg {
  Q_OBJECT
public:
  explicit CDelInfoDlg(QWidget* parent = nullptr);
};
