// Chart commands of the main window: the 世系图 and statistics windows, and
// exporting, printing and previewing the chart of the selected member.
//
// The chart window holds pointers to the members it has laid out, and the
// document may release members at any time it announces (Open, New, a
// history dropped). So the windows let go of the chart on every announcement
// that members are about to leave, in the signal itself, and lay it out again
// once the event that changed the book is over: an undo of ten edits, or an
// Open, costs one layout, and no paint ever sees a member that is gone.
#include "charts/ChartExport.h"
#include "charts/ChartWindow.h"
#include "charts/Statistics.h"
#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/LongWork.h"
#include "platform/MessageBoxes.h"
#include "views/GenealogyTreeModel.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTimer>
#include <QTreeView>

#include <memory>
#include <utility>

namespace {

void Raise(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

// The chart of `start` with the options a new chart window has; none after
// a notice saying why.
std::unique_ptr<BuiltChart> BuildChart(const COperationClanbook& book, MemberNode* start) {
  ChartOptions options;
  options.from = start;
  QString error;
  std::unique_ptr<BuiltChart> chart = BuiltChart::Build(book, options, &error);
  if (!chart) ShowNotice(error);
  return chart;
}

}  // namespace

void CClanbookDlg::InstallChartCommands() {
  m_bookMenu->addSeparator();
  AddMenuCommand(m_bookMenu, tr("世系图…"), QStringLiteral("idm_lineageChart"),
                 [this] { OnLineageChart(); });
  AddMenuCommand(m_bookMenu, tr("统计信息…"), QStringLiteral("idm_statistics"),
                 [this] { OnStatistics(); });

  QAction* exit = m_actions[ID_EXIT];
  AddMenuCommand(
      m_fileMenu, tr("导出图表…"), QStringLiteral("idm_exportChart"), [this] { OnExportChart(); },
      {}, exit);
  AddMenuCommand(
      m_fileMenu, tr("打印…"), QStringLiteral("idm_printChart"), [this] { OnPrintChart(); },
      {QKeySequence::Print}, exit);
  AddMenuCommand(
      m_fileMenu, tr("打印预览…"), QStringLiteral("idm_printPreviewChart"),
      [this] { OnPrintPreviewChart(); }, {}, exit);
  m_fileMenu->insertSeparator(exit);

  m_chartRefresh = new QTimer(this);
  m_chartRefresh->setSingleShot(true);
  m_chartRefresh->setInterval(0);
  connect(m_chartRefresh, &QTimer::timeout, this, [this] { RefreshCharts(); });

  // Adding moves no member out of the book: the chart laid out before stays
  // valid until the refresh.
  connect(&m_document, &GenealogyDocument::memberAboutToBeRemoved, this,
          [this](MemberNode* leaving) { DropChartMembers(leaving, false); });
  // The root above may be leaving, and no one below him.
  connect(&m_document, &GenealogyDocument::rootAboutToBeReplaced, this,
          [this] { DropChartMembers(m_document.Root(), true); });
  // A reset drops the history, which releases the members edits had taken out.
  connect(&m_document, &GenealogyDocument::aboutToReset, this,
          [this] { DropChartMembers(nullptr, false); });
  // Another book: the start member of the last one means nothing there.
  connect(&m_document, &GenealogyDocument::membersAboutToBeReleased, this, [this] {
    m_chartStartsOver = true;
    DropChartMembers(nullptr, false);
  });

  const auto changed = [this] { m_chartRefresh->start(); };
  connect(&m_document, &GenealogyDocument::memberAdded, this, changed);
  connect(&m_document, &GenealogyDocument::memberRemoved, this, changed);
  connect(&m_document, &GenealogyDocument::rootReplaced, this, changed);
  connect(&m_document, &GenealogyDocument::memberChanged, this, changed);
  connect(&m_document, &GenealogyDocument::reset, this, changed);
}

void CClanbookDlg::DropChartMembers(const MemberNode* leaving, bool alone) {
  m_chartRefresh->start();
  if (!m_chartWindow) return;
  m_chartWindow->dropChart();
  // The start member stays only when he is sure to stay in the book.
  const MemberNode* start = m_chartWindow->startMember();
  if (!start) return;
  bool goes = !leaving || start == leaving;
  for (const MemberNode* above = start->parent; above && !goes && !alone; above = above->parent)
    goes = above == leaving;
  if (goes) m_chartWindow->forgetStartMember();
}

void CClanbookDlg::RefreshCharts() {
  const bool startOver = std::exchange(m_chartStartsOver, false);
  if (m_chartWindow) {
    if (!m_chartWindow->isVisible())
      m_chartWindow->dropChart();  // laid out again when next opened
    else if (startOver)
      m_chartWindow->setSource(&m_document.Genealogy(), nullptr);
    else if (MemberNode* start = m_chartWindow->startMember();
             start && ChartText::Name(*start) != m_chartWindow->options().fromName)
      m_chartWindow->setSource(&m_document.Genealogy(), start);  // renamed: the chart stays his
    else
      m_chartWindow->refresh();
  }
  if (m_statisticsWindow && m_statisticsWindow->isVisible()) m_statisticsWindow->refresh();
}

MemberNode* CClanbookDlg::ChartStart() {
  if (!m_document.Root()) {
    ShowNotice(tr("家谱是空的，没有可画的世系图。"));
    return nullptr;
  }
  MemberNode* selected = SelectedMember();
  return selected ? selected : m_document.Root();
}

void CClanbookDlg::OnLineageChart() {
  MemberNode* start = ChartStart();
  if (!start) return;
  if (!m_chartWindow) {
    m_chartWindow = new ChartWindow(this);
    m_chartWindow->setBookFile([this] { return m_document.FileName(); });
    // Every box belongs to a chart laid out since the last change, so its
    // member is in the tree; selecting it shows it in the list as a click in
    // the tree does.
    connect(m_chartWindow, &ChartWindow::memberActivated, this, &CClanbookDlg::RevealMember);
  }
  m_chartWindow->setSource(&m_document.Genealogy(), start);
  Raise(m_chartWindow);
}

void CClanbookDlg::OnStatistics() {
  if (!m_document.Root()) {
    ShowNotice(tr("家谱是空的，没有可统计的成员。"));
    return;
  }
  if (!m_statisticsWindow) {
    m_statisticsWindow = new StatisticsWindow(this);
    m_statisticsWindow->setBookFile([this] { return m_document.FileName(); });
  }
  m_statisticsWindow->setSource(&m_document.Genealogy());
  Raise(m_statisticsWindow);
}

void CClanbookDlg::OnExportChart() {
  MemberNode* start = ChartStart();
  if (!start) return;
  const QString path = ChartWindow::AskExportPath(this, m_document.FileName());
  if (path.isEmpty()) return;
  ChartOptions options;
  options.from = start;
  QString error;
  bool exported = false;
  if (RunLongWork(this, tr("正在导出图表…"), false, [&](WorkProgress&) {
        exported = ExportChart(m_document.Genealogy(), options, path, &error);
      }) != WorkOutcome::Finished)
    return;
  if (!exported) ShowNotice(error);
}

void CClanbookDlg::OnPrintChart() {
  if (MemberNode* start = ChartStart())
    if (const std::unique_ptr<BuiltChart> chart = BuildChart(m_document.Genealogy(), start))
      PrintChart(*chart, this);
}

void CClanbookDlg::OnPrintPreviewChart() {
  // The preview is modal: the book cannot change under the chart it pages.
  if (MemberNode* start = ChartStart())
    if (const std::unique_ptr<BuiltChart> chart = BuildChart(m_document.Genealogy(), start))
      PreviewChart(*chart, this);
}
