// The entry of a new member. Its OK asks the owner to add the member while the
// dialog is still open, so a refused entry stays here to be corrected.
#pragma once

#include "dialogs/IMemberAdder.h"
#include "platform/CDialog.h"

#include <QString>

#include <memory>

class ChineseDateEntry;
struct MemberNode;

namespace Ui {
class AddInfoDlg;
}

class CAddInfoDlg : public CDialog {
  Q_OBJECT
public:
  // `owner` adds the member; it is the dialog's parent window too when it is one.
  explicit CAddInfoDlg(IMemberAdder* owner, QWidget* parent = nullptr);
  ~CAddInfoDlg() override;

  int m_alive = 1;
  int m_married = 0;
  QString m_address;
  int m_birthDay = 0;
  int m_birthMonth = 0;
  int m_deathYear = 0;
  int m_birthYear = 0;
  int m_deathDay = 0;
  int m_deathMonth = 0;
  QString m_name;
  QString m_fatherName;
  bool m_deathDateEnabled = false;
  IMemberAdder* m_owner = nullptr;
  // The member whose tree item was selected when the dialog was opened for
  // its child; none otherwise. The owner adds to it while m_fatherName still
  // names it, whoever else bears that name.
  MemberNode* m_selectedFather = nullptr;

  // Switches the three death-date boxes on and off with the alive box.
  void OnToggleAlive();

protected:
  void DoDataExchange(DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;

private:
  void EnableDeathDate(bool enable);
  std::unique_ptr<Ui::AddInfoDlg> ui;
  ChineseDateEntry* m_birthEntry = nullptr;
  ChineseDateEntry* m_deathEntry = nullptr;
};
