// 家谱 → 五服图…: the mourning-grade chart of the selected member (of the
// root when none is selected). The window is modal and reads the book only.
#include "charts/MourningChart.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/MessageBoxes.h"

#include <QMenu>

void CClanbookDlg::InstallMourningCommands() {
  // Right after 称谓…, whatever other commands stand after it.
  const QList<QAction*> items = m_bookMenu->actions();
  const auto kinship = std::find_if(items.begin(), items.end(), [](const QAction* a) {
    return a->objectName() == QLatin1String("kinshipCommand");
  });
  QAction* next = kinship != items.end() && kinship + 1 != items.end() ? *(kinship + 1) : nullptr;
  AddMenuCommand(
      m_bookMenu, tr("五服图…"), QStringLiteral("mourningChartCommand"),
      [this] {
        const MemberNode* member = SelectedMember();
        if (!member) member = m_document.Genealogy().Root();
        if (!member) {
          ShowNotice(MourningText::EmptyBook());
          return;
        }
        MourningChartDialog dialog(
            *member, [this] { return m_document.FileName(); }, this);
        dialog.exec();
      },
      {}, next);
}
