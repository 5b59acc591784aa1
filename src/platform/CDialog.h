// Base of every dialog of the program: the framework behaviour the dialogs
// rely on (initialisation before the first show, data exchange, standard OK
// and Cancel) on top of QDialog.
#pragma once

#include "platform/DataExchange.h"

#include <QDialog>

class QHBoxLayout;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

class CDialog : public QDialog {
  Q_OBJECT
public:
  explicit CDialog(QWidget* parent = nullptr);

  // Runs OnInitDialog, then the dialog modally. IDOK or IDCANCEL.
  int DoModal();
  // Runs OnInitDialog once and shows the dialog without a modal loop (tests and
  // embedding use it; the result arrives through finished()).
  void Create();
  // true: read the boxes into the members; false: write the members into the boxes.
  bool UpdateData(bool saveAndValidate = true);

protected:
  virtual void DoDataExchange(DataExchange& dx);
  // Default: writes the members into the boxes.
  virtual bool OnInitDialog();
  // Default: UpdateData(true), then closes with IDOK when every box was read.
  virtual void OnOK();
  virtual void OnCancel();

  void accept() override;  // routes OK and Enter to OnOK
  void reject() override;  // routes Cancel, Esc and the close box to OnCancel
  void EndDialog(int result);
  // The row of OK and Cancel at the right of a dialog built in code: named
  // idc_1 and idc_2, each text its accessible name, OK the default button
  // running OnOK, Cancel running OnCancel.
  QHBoxLayout* OkCancelRow(const QString& okText, const QString& cancelText);
  // Enter clicks the focused push button, else the default button, else OK.
  void keyPressEvent(QKeyEvent* event) override;

private:
  bool m_initialised = false;
};

// OK and Cancel, and the main window's controls, carry the object name
// "idc_<id>" of their command id (OK is "idc_1", Cancel "idc_2"), so the
// framework and the tests find them alike; the other controls of a dialog
// are named for what they hold (nameEdit, birthYearEdit, ...).
QString ControlName(int id);
