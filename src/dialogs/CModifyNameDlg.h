// Asks for the name of the member whose data the user wants to change.
#pragma once

#include "dialogs/CMemberNameDlg.h"

class CModifyNameDlg : public CMemberNameDlg {
  Q_OBJECT
public:
  explicit CModifyNameDlg(QWidget* parent = nullptr);
};
