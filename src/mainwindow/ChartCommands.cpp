// Chart commands of the main window: the 世系图 and statistics windows, and
// exporting, printing and previewing the chart of the selected member; the
// ChartController does them.
#include "mainwindow/CClanbookDlg.h"

#include <QAction>
#include <QMenu>

void CClanbookDlg::InstallChartCommands() {
  m_bookMenu->addSeparator();
  AddMenuCommand(m_bookMenu, tr("世系图…"), QStringLiteral("idm_lineageChart"),
                 [this] { m_charts.ShowLineageChart(); });
  AddMenuCommand(m_bookMenu, tr("统计信息…"), QStringLiteral("idm_statistics"),
                 [this] { m_charts.ShowStatistics(); });

  QAction* exit = m_actions[ID_EXIT];
  AddMenuCommand(
      m_fileMenu, tr("导出图表…"), QStringLiteral("idm_exportChart"),
      [this] { m_charts.ExportChart(); }, {}, exit);
  AddMenuCommand(
      m_fileMenu, tr("打印…"), QStringLiteral("idm_printChart"), [this] { m_charts.PrintChart(); },
      {QKeySequence::Print}, exit);
  AddMenuCommand(
      m_fileMenu, tr("打印预览…"), QStringLiteral("idm_printPreviewChart"),
      [this] { m_charts.PreviewChart(); }, {}, exit);
  m_fileMenu->insertSeparator(exit);

  connect(&m_charts, &ChartController::memberActivated, this, &CClanbookDlg::RevealMember);
}
