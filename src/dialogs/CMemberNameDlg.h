// What the dialogs that ask for one member's name share: the name box
// (nameEdit) and its exchange. Each asking dialog is this class with its own
// template, so that the commands and tests tell them apart by class.
#pragma once

#include "platform/CDialog.h"

#include <QString>

class QLineEdit;

class CMemberNameDlg : public CDialog {
  Q_OBJECT
public:
  QString m_name;

protected:
  // The derived dialog sets up its template on this dialog.
  explicit CMemberNameDlg(QWidget* parent);
  void DoDataExchange(DataExchange& dx) override;
};
