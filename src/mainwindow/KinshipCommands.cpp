// 家谱 → 称谓…: what two members call each other. The dialog reads the
// genealogy and changes nothing.
#include "dialogs/CKinshipDlg.h"
#include "mainwindow/CClanbookDlg.h"

void CClanbookDlg::InstallKinshipCommands() {
  AddMenuCommand(
      m_bookMenu, tr("称谓…"), QStringLiteral("kinshipCommand"), [this] { OnKinship(); }, {},
      MenuAction(ID_ADD_MEMBER));
}

void CClanbookDlg::OnKinship() {
  CKinshipDlg dialog(m_genealogy, SelectedLabel(), this);
  dialog.DoModal();
}
