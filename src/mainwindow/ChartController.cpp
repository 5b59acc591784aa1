#include "mainwindow/ChartController.h"

#include "charts/ChartExport.h"
#include "charts/ChartWindow.h"
#include "charts/Statistics.h"
#include "document/GenealogyDocument.h"
#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/LongWork.h"
#include "platform/MessageBoxes.h"

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

ChartController::ChartController(GenealogyDocument& document, QWidget& window,
                                 std::function<MemberNode*()> selected)
    : m_document(document), m_window(window), m_selected(std::move(selected)) {
  m_refresh.setSingleShot(true);
  m_refresh.setInterval(0);
  connect(&m_refresh, &QTimer::timeout, this, [this] { Refresh(); });

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
    m_startsOver = true;
    DropChartMembers(nullptr, false);
  });

  const auto changed = [this] { m_refresh.start(); };
  connect(&m_document, &GenealogyDocument::memberAdded, this, changed);
  connect(&m_document, &GenealogyDocument::memberRemoved, this, changed);
  connect(&m_document, &GenealogyDocument::rootReplaced, this, changed);
  connect(&m_document, &GenealogyDocument::memberChanged, this, changed);
  connect(&m_document, &GenealogyDocument::reset, this, changed);
}

ChartController::~ChartController() = default;

void ChartController::DropChartMembers(const MemberNode* leaving, bool alone) {
  m_refresh.start();
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

void ChartController::Refresh() {
  const bool startOver = std::exchange(m_startsOver, false);
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

MemberNode* ChartController::ChartStart() {
  if (!m_document.Root()) {
    ShowNotice(CClanbookDlg::tr("家谱是空的，没有可画的世系图。"));
    return nullptr;
  }
  MemberNode* selected = m_selected();
  return selected ? selected : m_document.Root();
}

void ChartController::ShowLineageChart() {
  MemberNode* start = ChartStart();
  if (!start) return;
  if (!m_chartWindow) {
    m_chartWindow = std::make_unique<ChartWindow>(&m_window);
    m_chartWindow->setBookFile([this] { return m_document.FileName(); });
    // Every box belongs to a chart laid out since the last change, so its
    // member is in the tree; selecting it shows it in the list as a click in
    // the tree does.
    connect(m_chartWindow.get(), &ChartWindow::memberActivated, this,
            &ChartController::memberActivated);
  }
  m_chartWindow->setSource(&m_document.Genealogy(), start);
  Raise(m_chartWindow.get());
}

void ChartController::ShowStatistics() {
  if (!m_document.Root()) {
    ShowNotice(CClanbookDlg::tr("家谱是空的，没有可统计的成员。"));
    return;
  }
  if (!m_statisticsWindow) {
    m_statisticsWindow = std::make_unique<StatisticsWindow>(&m_window);
    m_statisticsWindow->setBookFile([this] { return m_document.FileName(); });
  }
  m_statisticsWindow->setSource(&m_document.Genealogy());
  Raise(m_statisticsWindow.get());
}

void ChartController::ExportChart() {
  MemberNode* start = ChartStart();
  if (!start) return;
  const QString path = ChartWindow::AskExportPath(&m_window, m_document.FileName());
  if (path.isEmpty()) return;
  ChartOptions options;
  options.from = start;
  QString error;
  bool exported = false;
  if (RunLongWork(&m_window, CClanbookDlg::tr("正在导出图表…"), false, [&](WorkProgress&) {
        exported = ::ExportChart(m_document.Genealogy(), options, path, &error);
      }) != WorkOutcome::Finished)
    return;
  if (!exported) ShowNotice(error);
}

void ChartController::PrintChart() {
  if (MemberNode* start = ChartStart())
    if (const std::unique_ptr<BuiltChart> chart = BuildChart(m_document.Genealogy(), start))
      ::PrintChart(*chart, &m_window);
}

void ChartController::PreviewChart() {
  // The preview is modal: the book cannot change under the chart it pages.
  if (MemberNode* start = ChartStart())
    if (const std::unique_ptr<BuiltChart> chart = BuildChart(m_document.Genealogy(), start))
      ::PreviewChart(*chart, &m_window);
}
