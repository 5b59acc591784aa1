#include "charts/Statistics.h"

#include "charts/Chart.h"
#include "document/AtomicSaveFile.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QAction>
#include <QFileInfo>
#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QSvgGenerator>

#include <algorithm>
#include <map>

namespace {

class StatText {
  Q_DECLARE_TR_FUNCTIONS(StatisticsWindow)
public:
  static QString Title() { return tr("统计信息"); }
  static QString Members(qint64 n) { return tr("成员：%1 人").arg(n); }
  static QString LifeCounts(qint64 living, qint64 deceased) {
    return tr("在世：%1 人　　已故：%2 人").arg(living).arg(deceased);
  }
  static QString Married(qint64 n, double share) {
    return tr("已婚：%1 人（%2%）").arg(n).arg(share, 0, 'f', 1);
  }
  static QString PerGeneration() { return tr("各世人数"); }
  static QString PerDecade() { return tr("每十年出生人数"); }
  static QString Decade(std::int32_t first) {
    if (first > 0) return tr("%1年代").arg(first);
    return tr("%1–%2").arg(ChartText::Year(first), ChartText::Year(first + 9));
  }
  static QString Largest() { return tr("（最多）"); }
  static QString CannotWrite(const QString& path) { return tr("无法写入文件“%1”。").arg(path); }
  static QString UnknownFormat(const QString& path) {
    return tr("无法识别“%1”的格式：文件名应以 .png 或 .svg 结尾。").arg(path);
  }
  static QString Filter() { return tr("PNG 图片 (*.png);;SVG 图形 (*.svg)"); }
  static QString Menu() { return tr("统计(&S)"); }
  static QString Export() { return tr("导出图片…"); }
  static QString Refresh() { return tr("刷新"); }
  static QString Close() { return tr("关闭"); }
};

constexpr double kWidth = 720;
constexpr double kMargin = 24;
constexpr double kLine = 22;    // a summary line
constexpr double kBarRow = 20;  // a bar and its gap
constexpr double kLabelWidth = 110;
constexpr double kNumberWidth = 130;
constexpr double kSectionGap = 18;

const QColor kBar(0x8c, 0x6d, 0x46);
const QColor kHighlight(0xc0, 0x39, 0x2b);

std::int32_t DecadeOf(std::int32_t year) {
  const std::int64_t y = year;
  return static_cast<std::int32_t>((y >= 0 ? y / 10 : (y - 9) / 10) * 10);
}

// One labelled bar per row, numbers beside the bars, the largest row marked.
double PaintBars(QPainter& painter, double top, const QString& heading,
                 const std::vector<std::pair<QString, std::int64_t>>& rows) {
  painter.setPen(Qt::black);
  painter.setFont(ChartFont(15, true));
  painter.drawText(QRectF(kMargin, top, kWidth - 2 * kMargin, kLine), Qt::AlignLeft, heading);
  top += kLine + 4;
  std::int64_t largest = 0;
  for (const auto& row : rows) largest = std::max(largest, row.second);
  const double barSpace = kWidth - 2 * kMargin - kLabelWidth - kNumberWidth;
  for (const auto& [label, count] : rows) {
    const bool top1 = count == largest && largest > 0;
    painter.setPen(Qt::black);
    painter.setFont(ChartFont(12, top1));
    painter.drawText(QRectF(kMargin, top, kLabelWidth - 8, kBarRow),
                     Qt::AlignRight | Qt::AlignVCenter, label);
    const double width = largest ? barSpace * static_cast<double>(count) / largest : 0;
    painter.fillRect(
        QRectF(kMargin + kLabelWidth, top + 3, std::max(width, count ? 1.0 : 0.0), kBarRow - 6),
        top1 ? kHighlight : kBar);
    painter.setPen(top1 ? kHighlight : Qt::black);
    const QString number =
        top1 ? QString::number(count) + StatText::Largest() : QString::number(count);
    painter.drawText(
        QRectF(kMargin + kLabelWidth + width + 6, top, kNumberWidth + barSpace - width, kBarRow),
        Qt::AlignLeft | Qt::AlignVCenter, number);
    top += kBarRow;
  }
  return top + kSectionGap;
}

}  // namespace

ClanStatistics ComputeStatistics(const COperationClanbook& book) {
  ClanStatistics stats;
  std::map<std::int32_t, std::int64_t> decades;
  // Later siblings wait with their generation while the children are counted.
  std::vector<std::pair<const MemberNode*, std::size_t>> later;
  const MemberNode* member = book.Root();
  std::size_t generation = 0;
  for (;;) {
    while (member) {
      if (member->nextSibling) later.emplace_back(member->nextSibling, generation);
      if (stats.perGeneration.size() <= generation) stats.perGeneration.push_back(0);
      ++stats.perGeneration[generation];
      ++stats.members;
      ++(member->alive ? stats.living : stats.deceased);
      if (member->married) ++stats.married;
      ++decades[DecadeOf(member->birthYear)];
      member = member->firstChild;
      ++generation;
    }
    if (later.empty()) break;
    std::tie(member, generation) = later.back();
    later.pop_back();
  }
  // A decade without births shows as an empty bar, so the gaps of a book stay
  // visible; only books whose years spread over more than 20,000 years (dates
  // typed in error) show their decades with births alone.
  const std::int64_t span =
      decades.empty()
          ? 0
          : (static_cast<std::int64_t>(decades.rbegin()->first) - decades.begin()->first) / 10;
  if (span < kMaxDecadeRows) {
    for (std::int64_t d = 0; d <= span && !decades.empty(); ++d)
      decades.try_emplace(static_cast<std::int32_t>(decades.begin()->first + d * 10), 0);
  }
  stats.birthsPerDecade.assign(decades.begin(), decades.end());
  return stats;
}

QSizeF StatisticsPictureSize(const ClanStatistics& stats) {
  const double rows =
      static_cast<double>(stats.perGeneration.size() + stats.birthsPerDecade.size());
  return QSizeF(kWidth, 2 * kMargin + kLine * 5 + 2 * (kLine + 4 + kSectionGap) + rows * kBarRow);
}

void PaintStatistics(QPainter& painter, const ClanStatistics& stats) {
  painter.fillRect(QRectF(QPointF(0, 0), StatisticsPictureSize(stats)), Qt::white);
  double top = kMargin;
  painter.setPen(Qt::black);
  painter.setFont(ChartFont(20, true));
  painter.drawText(QRectF(kMargin, top, kWidth - 2 * kMargin, kLine * 1.5), Qt::AlignLeft,
                   StatText::Title());
  top += kLine * 1.5 + 4;
  painter.setFont(ChartFont(13));
  const double share = stats.members ? 100.0 * stats.married / stats.members : 0;
  for (const QString& line :
       {StatText::Members(stats.members), StatText::LifeCounts(stats.living, stats.deceased),
        StatText::Married(stats.married, share)}) {
    painter.drawText(QRectF(kMargin, top, kWidth - 2 * kMargin, kLine), Qt::AlignLeft, line);
    top += kLine;
  }
  top += kSectionGap;
  std::vector<std::pair<QString, std::int64_t>> rows;
  rows.reserve(stats.perGeneration.size());
  for (std::size_t i = 0; i < stats.perGeneration.size(); ++i)
    rows.emplace_back(ChartText::Generation(static_cast<int>(i + 1)), stats.perGeneration[i]);
  top = PaintBars(painter, top, StatText::PerGeneration(), rows);
  rows.clear();
  for (const auto& [decade, count] : stats.birthsPerDecade)
    rows.emplace_back(StatText::Decade(decade), count);
  PaintBars(painter, top, StatText::PerDecade(), rows);
}

bool ExportStatistics(const ClanStatistics& stats, const QString& path, QString* error) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != QLatin1String("png") && suffix != QLatin1String("svg")) {
    if (error) *error = StatText::UnknownFormat(path);
    return false;
  }
  const QSizeF size = StatisticsPictureSize(stats);
  // Put in the target's place whole, as the charts are, by the same writer.
  AtomicSaveFile file(path);
  bool written = file.open(QIODevice::WriteOnly);
  if (written && suffix == QLatin1String("png")) {
    QImage image(size.toSize(), QImage::Format_RGB32);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      PaintStatistics(painter, stats);
    }
    written = image.save(&file, "png");
  } else if (written) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setTitle(StatText::Title());
    svg.setSize(size.toSize());
    svg.setViewBox(QRectF(QPointF(0, 0), size));
    QPainter painter;
    written = painter.begin(&svg);
    if (written) {
      PaintStatistics(painter, stats);
      written = painter.end();
    }
  }
  written = written && file.commit();
  if (!written && error)
    *error = file.problem() == FileProblem::kNone
                 ? StatText::CannotWrite(path)
                 : StatText::CannotWrite(path) + u'\n' + WriteProblemReason(file.problem());
  return written;
}

StatisticsView::StatisticsView(QWidget* parent) : QWidget(parent) {
  setAccessibleName(StatText::Title());
}

void StatisticsView::SetStatistics(ClanStatistics stats) {
  m_stats = std::move(stats);
  resize(sizeHint());
  updateGeometry();
  update();
}

QSize StatisticsView::sizeHint() const {
  return StatisticsPictureSize(m_stats).toSize();
}

void StatisticsView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintStatistics(painter, m_stats);
}

StatisticsWindow::StatisticsWindow(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(StatText::Title());
  setObjectName(QStringLiteral("statisticsWindow"));
  m_view = new StatisticsView;
  auto* scroll = new QScrollArea;
  scroll->setWidget(m_view);
  scroll->setAccessibleName(StatText::Title());
  scroll->setBackgroundRole(QPalette::Base);
  setCentralWidget(scroll);

  QMenu* menu = menuBar()->addMenu(StatText::Menu());
  QAction* exportAction = menu->addAction(StatText::Export(), this, [this] { ExportPicture(); });
  exportAction->setObjectName(QStringLiteral("actionExportStatistics"));
  QAction* refreshAction = menu->addAction(StatText::Refresh(), this, [this] { refresh(); });
  refreshAction->setObjectName(QStringLiteral("actionRefreshStatistics"));
  refreshAction->setShortcut(QKeySequence::Refresh);
  menu->addSeparator();
  QAction* closeAction = menu->addAction(StatText::Close(), this, &QWidget::close);
  closeAction->setObjectName(QStringLiteral("actionCloseStatistics"));
  resize(760, 720);
}

void StatisticsWindow::setSource(const COperationClanbook* book) {
  m_book = book;
  refresh();
}

void StatisticsWindow::refresh() {
  m_view->SetStatistics(m_book ? ComputeStatistics(*m_book) : ClanStatistics());
}

void StatisticsWindow::ExportPicture() {
  QString path = RunFileDialog(this, FileDialogRequest{false, StatText::Filter()});
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
  if (OutputIsInput(path, {m_bookFile ? m_bookFile() : QString()})) {
    ShowNotice(OutputIsBookText(path));
    return;
  }
  QString error;
  if (!ExportStatistics(m_view->Statistics(), path, &error)) ShowNotice(error);
}
