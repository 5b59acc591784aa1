// New values for an existing member. The caller fills the members before the
// dialog opens and reads them back after OK.
#pragma once

#include "platform/CDialog.h"

#include <QString>

#include <memory>
#include <optional>

class ChineseDateEntry;

namespace Ui {
class ModifyInfoDlg;
}

class CModifyInfoDlg : public CDialog {
  Q_OBJECT
public:
  explicit CModifyInfoDlg(QWidget* parent = nullptr);
  ~CModifyInfoDlg() override;

  int m_married = 0;
  int m_alive = 1;
  // A slot for the caller; never shown or changed by the dialog.
  QString m_oldName;
  QString m_name;
  QString m_address;
  int m_birthDay = 0;
  int m_birthMonth = 0;
  int m_birthYear = 0;
  int m_deathDay = 0;
  int m_deathMonth = 0;
  int m_deathYear = 0;
  bool m_deathDateEnabled = false;
  // What places a 干支 birth year typed alone; the caller fills them.
  std::optional<int> m_fatherBirthYear;
  std::optional<int> m_firstChildBirthYear;

  // Switches the three death-date boxes on and off with the alive box.
  void OnToggleAlive();

protected:
  void DoDataExchange(DataExchange& dx) override;
  bool OnInitDialog() override;
  // Refuses a text the file cannot carry before anything is read.
  void OnOK() override;

private:
  void EnableDeathDate(bool enable);
  std::unique_ptr<Ui::ModifyInfoDlg> ui;
  ChineseDateEntry* m_birthEntry = nullptr;
  ChineseDateEntry* m_deathEntry = nullptr;
};
