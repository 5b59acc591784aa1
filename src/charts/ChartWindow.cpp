#include "charts/ChartWindow.h"

#include "document/AtomicSaveFile.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

namespace {

// A label and its control, the control named for screen readers by the
// label's own text.
template <class Control>
Control* AddLabelled(QHBoxLayout* row, const QString& text, Control* control) {
  auto* label = new QLabel(text);
  label->setBuddy(control);
  control->setAccessibleName(text);
  row->addWidget(label);
  row->addWidget(control);
  return control;
}

}  // namespace

ChartWindow::ChartWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("chartWindow"));
  setWindowTitle(tr("世系图"));
  m_view = new ChartView;
  m_view->setAccessibleName(tr("世系图"));
  setCentralWidget(m_view);
  connect(m_view, &ChartView::memberActivated, this, &ChartWindow::memberActivated);
  BuildControls();
  BuildMenu();
  m_status = new QLabel;
  statusBar()->addWidget(m_status, 1);
  resize(1100, 760);
}

ChartWindow::~ChartWindow() {
  // The view must not paint a chart that is already gone.
  m_view->SetScene(nullptr);
}

void ChartWindow::BuildControls() {
  auto* bar = new QToolBar(tr("图表选项"));
  bar->setObjectName(QStringLiteral("chartOptionsBar"));
  bar->setMovable(false);
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(4, 2, 4, 2);

  m_start = AddLabelled(row, tr("起始成员："), new QLineEdit);
  m_start->setObjectName(QStringLiteral("chartStart"));
  m_start->setPlaceholderText(tr("始祖"));
  m_start->setMaxLength(static_cast<int>(kMaxTextLength));
  m_generations = AddLabelled(row, tr("世数："), new QSpinBox);
  m_generations->setObjectName(QStringLiteral("chartGenerations"));
  m_generations->setRange(0, 100000);
  m_generations->setSpecialValueText(tr("全部"));
  m_generations->setValue(5);
  m_layout = AddLabelled(row, tr("样式："), new QComboBox);
  m_layout->setObjectName(QStringLiteral("chartLayout"));
  m_layout->addItem(tr("吊线图（宝塔式）"), static_cast<int>(ChartLayout::Pagoda));
  m_layout->addItem(tr("欧式（五世一页）"), static_cast<int>(ChartLayout::Ouyang));
  m_pageSize = AddLabelled(row, tr("纸张："), new QComboBox);
  m_pageSize->setObjectName(QStringLiteral("chartPageSize"));
  m_pageSize->addItem(QStringLiteral("A4"), static_cast<int>(QPageSize::A4));
  m_pageSize->addItem(QStringLiteral("A3"), static_cast<int>(QPageSize::A3));
  m_dpi = AddLabelled(row, tr("PNG 分辨率："), new QSpinBox);
  m_dpi->setObjectName(QStringLiteral("chartDpi"));
  m_dpi->setRange(24, 1200);
  m_dpi->setValue(150);
  m_dpi->setSuffix(tr(" dpi"));
  row->addStretch(1);
  bar->addWidget(box);
  addToolBar(Qt::TopToolBarArea, bar);

  connect(m_start, &QLineEdit::editingFinished, this, [this] {
    // Another name typed: the member given before is no longer the start.
    if (m_from && ChartText::Name(*m_from) != m_start->text().trimmed()) m_from = nullptr;
    refresh();
  });
  connect(m_generations, &QSpinBox::valueChanged, this, &ChartWindow::refresh);
  connect(m_layout, &QComboBox::currentIndexChanged, this, &ChartWindow::refresh);
  // The chart on screen is the one printed and exported, on the paper chosen.
  connect(m_pageSize, &QComboBox::currentIndexChanged, this, &ChartWindow::refresh);
}

void ChartWindow::BuildMenu() {
  QMenu* menu = menuBar()->addMenu(tr("图表(&C)"));
  auto add = [&](const QString& text, const char* name, QKeySequence key, auto slot) {
    QAction* action = menu->addAction(text, this, slot);
    action->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) action->setShortcut(key);
    return action;
  };
  add(tr("导出图表…"), "actionExportChart", QKeySequence::SaveAs, [this] { ExportToFile(); });
  add(tr("打印…"), "actionPrintChart", QKeySequence::Print, [this] { Print(); });
  add(tr("打印预览…"), "actionPrintPreviewChart", QKeySequence(), [this] { PrintPreview(); });
  menu->addSeparator();
  add(tr("刷新"), "actionRefreshChart", QKeySequence::Refresh, [this] { refresh(); });
  menu->addSeparator();
  add(tr("关闭"), "actionCloseChart", QKeySequence::Close, [this] { close(); });

  QMenu* viewMenu = menuBar()->addMenu(tr("查看(&V)"));
  menu = viewMenu;
  add(tr("放大"), "actionZoomIn", QKeySequence::ZoomIn, [this] { m_view->ZoomIn(); });
  add(tr("缩小"), "actionZoomOut", QKeySequence::ZoomOut, [this] { m_view->ZoomOut(); });
  add(tr("实际大小"), "actionZoomReset", QKeySequence(Qt::CTRL | Qt::Key_0),
      [this] { m_view->SetZoom(1); });
}

void ChartWindow::setSource(const COperationClanbook* book, MemberNode* start) {
  m_book = book;
  m_updating = true;
  m_from = start;
  m_start->setText(start ? ChartText::Name(*start) : QString());
  m_updating = false;
  refresh();
}

ChartOptions ChartWindow::options() const {
  ChartOptions options;
  options.fromName = m_start->text().trimmed();
  if (m_from && ChartText::Name(*m_from) == options.fromName) options.from = m_from;
  options.generations = m_generations->value();
  options.layout = static_cast<ChartLayout>(m_layout->currentData().toInt());
  options.pageSize = static_cast<QPageSize::PageSizeId>(m_pageSize->currentData().toInt());
  options.pngDpi = m_dpi->value();
  return options;
}

void ChartWindow::setOptions(const ChartOptions& options) {
  m_updating = true;
  m_from = options.from;
  m_start->setText(options.from ? ChartText::Name(*options.from) : options.fromName);
  m_generations->setValue(options.generations);
  m_layout->setCurrentIndex(m_layout->findData(static_cast<int>(options.layout)));
  m_pageSize->setCurrentIndex(
      std::max(0, m_pageSize->findData(static_cast<int>(options.pageSize))));
  m_dpi->setValue(options.pngDpi);
  m_updating = false;
  refresh();
}

void ChartWindow::refresh() {
  if (m_updating) return;
  // After an edit the same chart keeps its place on screen; another start
  // member or layout starts at the top left.
  const std::optional<std::pair<QString, ChartLayout>> shown =
      m_chart ? std::optional(std::pair(m_chart->Options().fromName, m_chart->Options().layout))
              : m_dropped;
  const bool same = shown && *shown == std::pair(options().fromName, options().layout);
  m_dropped.reset();
  m_view->SetScene(nullptr, same);
  m_chart.reset();
  if (!m_book) {
    m_status->clear();
    return;
  }
  ChartOptions wanted = options();
  QString error;
  m_chart = BuiltChart::Build(*m_book, wanted, &error);
  if (!m_chart && !wanted.fromName.isEmpty() && m_book->Root()) {
    // The start member is gone or misspelt: show the whole line from the root.
    wanted.fromName.clear();
    m_chart = BuiltChart::Build(*m_book, wanted, nullptr);
  }
  m_status->setText(error);
  if (m_chart) m_view->SetScene(&m_chart->Scene(), same);
}

void ChartWindow::dropChart() {
  if (!m_chart) return;
  m_dropped = std::pair(m_chart->Options().fromName, m_chart->Options().layout);
  m_view->SetScene(nullptr, true);
  m_chart.reset();
}

QString ChartWindow::AskExportPath(QWidget* owner, const QString& bookFile) {
  QString path = RunFileDialog(
      owner, FileDialogRequest{false, tr("PDF 文件 (*.pdf);;SVG 图形 (*.svg);;PNG 图片 (*.png)")});
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
  if (OutputIsInput(path, {bookFile})) {
    ShowNotice(OutputIsBookText(path));
    return {};
  }
  return path;
}

void ChartWindow::ExportToFile() {
  if (!m_chart) return;
  const QString path = AskExportPath(this, m_bookFile ? m_bookFile() : QString());
  if (path.isEmpty()) return;
  // The chart on screen, with the resolution the box holds now.
  QString error;
  std::unique_ptr<BuiltChart> chart;
  const BuiltChart* toWrite = m_chart.get();
  if (m_chart->Options().pngDpi != m_dpi->value()) {
    // The same chart, even when it fell back to the root for a start that
    // is gone.
    ChartOptions wanted = m_chart->Options();
    wanted.pngDpi = m_dpi->value();
    chart = BuiltChart::Build(*m_book, wanted, &error);
    toWrite = chart.get();
  }
  if (!toWrite || !ExportChart(*toWrite, path, &error)) ShowNotice(error);
}

void ChartWindow::Print() {
  if (m_chart) PrintChart(*m_chart, this);
}

void ChartWindow::PrintPreview() {
  if (m_chart) PreviewChart(*m_chart, this);
}

namespace {

// Pages as the PDF has them: the paper and orientation of the layout, no
// printer margins (the pages carry their own), every page offered.
void PreparePrinter(QPrinter& printer, const BuiltChart& chart) {
  const ChartPages& pages = chart.Pages();
  printer.setPageLayout(QPageLayout(QPageSize(chart.Options().pageSize), pages.PageOrientation(),
                                    QMarginsF(0, 0, 0, 0)));
  printer.setDocName(ChartText::Title(ChartText::Name(*chart.Start())));
  printer.setFromTo(1, std::max(1, pages.PageCount()));
}

}  // namespace

void PrintChart(const BuiltChart& chart, QWidget* owner) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer, chart);
  QPrintDialog dialog(&printer, owner);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange);
  if (dialog.exec() != QDialog::Accepted) return;
  const bool range = printer.printRange() == QPrinter::PageRange;
  if (!PaintChartPages(chart.Pages(), printer, range ? printer.fromPage() - 1 : 0,
                       range ? printer.toPage() - 1 : -1))
    ShowNotice(ChartWindow::tr("无法打印世系图。"));
}

void PreviewChart(const BuiltChart& chart, QWidget* owner) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer, chart);
  QPrintPreviewDialog preview(&printer, owner);
  preview.setObjectName(QStringLiteral("chartPrintPreview"));
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                   [&chart](QPrinter* target) { PaintChartPages(chart.Pages(), *target); });
  preview.exec();
}
