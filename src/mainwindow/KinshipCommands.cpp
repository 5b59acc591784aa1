// 家谱 → 称谓…: what two members call each other. The dialog reads the
// genealogy and changes nothing.
#include "dialogs/CKinshipDlg.h"
#include "mainwindow/CClanbookDlg.h"

#include <QMenu>

void CClanbookDlg::InstallKinshipCommands() {
  // Right after 确定两人关系, whatever other commands stand after it.
  const QList<QAction*> items = m_bookMenu->actions();
  const qsizetype relations = items.indexOf(MenuAction(ID_RELATIONS));
  QAction* next = relations >= 0 ? items.value(relations + 1) : nullptr;
  AddMenuCommand(
      m_bookMenu, tr("称谓…"), QStringLiteral("kinshipCommand"), [this] { OnKinship(); }, {}, next);
}

void CClanbookDlg::OnKinship() {
  CKinshipDlg dialog(m_document.Genealogy(), SelectedLabel(), this);
  dialog.DoModal();
}
