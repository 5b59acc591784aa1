// Timed runs of the charts on generated clan books, offscreen:
//
//   QT_QPA_PLATFORM=offscreen bench_charts [MEMBERS [GENERATIONS [PAGES]]]
//   QT_QPA_PLATFORM=offscreen bench_charts --screenshots DIR
//   QT_QPA_PLATFORM=offscreen bench_charts --shapes
//   QT_QPA_PLATFORM=offscreen bench_charts --svg MEMBERS OUT.svg
//
// (defaults 2000000 83 3000). It lays out the whole book as a pagoda chart
// (time and the growth of resident memory), paints a 1920×1080 view at a few
// scroll positions, exports a chart of a 20,000-member book as PDF, and
// streams PAGES 欧式 pages of the whole book into a PDF, printing the
// resident memory as the pages go by. Each figure is "name value [detail]".
// With --screenshots it writes the pictures of docs/ instead.
#include "BenchTimer.h"
#include "ClanGenerator.h"
#include "charts/ChartExport.h"
#include "charts/ChartView.h"
#include "charts/ChartWindow.h"
#include "charts/OuyangChart.h"
#include "charts/PagodaChart.h"
#include "charts/Statistics.h"
#include "formats/FtfFormat.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPdfWriter>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

fs::path Generate(const clanbench::ClanSpec& spec, const std::string& label) {
  const fs::path file = clanbench::BenchDir() / (label + ".ftf");
  if (fs::exists(file)) return file;
  clanbench::ClanSummary summary;
  std::string error;
  if (!clanbench::WriteClan(spec, file, summary, error)) {
    std::fprintf(stderr, "bench_charts: %s\n", error.c_str());
    std::exit(1);
  }
  return file;
}

void Load(COperationClanbook& book, const fs::path& file) {
  if (formats::LoadFtf(file, book).code != kFileOk) {
    std::fprintf(stderr, "bench_charts: cannot load %s\n", file.c_str());
    std::exit(1);
  }
}

using clanbench::PeakMiB;
using clanbench::ResidentMiB;

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

int Screenshots(const QString& dir) {
  COperationClanbook book;
  Load(book, Generate(clanbench::Balanced(400, 12), "charts-shot"));
  ChartWindow window;
  window.setSource(&book);
  window.resize(1280, 800);
  window.show();
  QApplication::processEvents();
  window.grab().save(dir + QStringLiteral("/chart-pagoda.png"));
  ChartOptions options = window.options();
  options.layout = ChartLayout::Ouyang;
  options.generations = 0;
  window.setOptions(options);
  window.resize(1000, 1000);
  window.view()->SetZoom(0.85);
  QApplication::processEvents();
  window.grab().save(dir + QStringLiteral("/chart-ouyang.png"));
  StatisticsWindow stats;
  stats.setSource(&book);
  stats.resize(760, 900);
  stats.show();
  QApplication::processEvents();
  stats.grab().save(dir + QStringLiteral("/statistics.png"));
  // Sample PDFs beside the pictures, to look at with pdffonts and pdftotext.
  for (const ChartLayout kind : {ChartLayout::Pagoda, ChartLayout::Ouyang}) {
    options.layout = kind;
    options.generations = 8;
    QString error;
    const QString name = kind == ChartLayout::Pagoda ? QStringLiteral("/chart-pagoda.pdf")
                                                     : QStringLiteral("/chart-ouyang.pdf");
    if (!ExportChart(book, options, dir + name, &error))
      std::fprintf(stderr, "bench_charts: %s\n", error.toLocal8Bit().constData());
  }
  return 0;
}

// The extreme shapes: a father of a million children, a line of a million
// generations. Neither may overflow the stack.
int Shapes() {
  for (const bool deep : {false, true}) {
    COperationClanbook book;
    Load(book, deep ? Generate(clanbench::DeepLine(1000000), "d1m")
                    : Generate(clanbench::WideFamily(1000000), "w1m"));
    QElapsedTimer timer;
    timer.start();
    const PagodaChart chart(book.Root(), 0, 1, QStringLiteral("bench"));
    std::printf("%s pagoda_layout_all %.3f s, %zu boxes, %d rows\n", deep ? "deep" : "wide",
                timer.nsecsElapsed() / 1e9, chart.Layout().Nodes().size(),
                chart.Layout().LevelCount());
    timer.restart();
    const OuyangChart pages(book.Root(), 0, 1, QStringLiteral("bench"), QPageSize::A4);
    std::printf("%s ouyang_blocks_all %.3f s, %d pages\n", deep ? "deep" : "wide",
                timer.nsecsElapsed() / 1e9, pages.PageCount());
  }
  return 0;
}

// Exports every generation of a generated book of `members` members over 83
// generations as one SVG drawing, as --export-chart does; run it under
// /usr/bin/time -v for the peak resident memory.
int Svg(std::int64_t members, const QString& out) {
  COperationClanbook book;
  // The book main() uses; built piece by piece for the reason given there.
  std::string label = std::to_string(members);
  label.insert(0, 1, 'b');
  label += "x83";
  Load(book, Generate(clanbench::Balanced(members, 83), label));
  ChartOptions options;
  options.generations = 0;
  QElapsedTimer timer;
  timer.start();
  QString error;
  if (!ExportChart(book, options, out, &error)) {
    std::fprintf(stderr, "bench_charts: %s\n", error.toLocal8Bit().constData());
    return 1;
  }
  std::printf("svg_export %.3f s, %lld bytes, peak %.0f MiB\n", timer.nsecsElapsed() / 1e9,
              static_cast<long long>(fs::file_size(out.toStdString())), PeakMiB());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc == 4 && std::string(argv[1]) == "--svg")
    return Svg(std::atoll(argv[2]), QString::fromLocal8Bit(argv[3]));
  if (argc == 3 && std::string(argv[1]) == "--screenshots")
    return Screenshots(QString::fromLocal8Bit(argv[2]));
  if (argc == 2 && std::string(argv[1]) == "--shapes") return Shapes();
  const std::int64_t members = argc > 1 ? std::atoll(argv[1]) : 2000000;
  const int generations = argc > 2 ? std::atoi(argv[2]) : 83;
  const int streamPages = argc > 3 ? std::atoi(argv[3]) : 3000;

  COperationClanbook book;
  // Built piece by piece: GCC 12 warns falsely about "b" + std::to_string(...).
  std::string label = std::to_string(members);
  label.insert(0, 1, 'b');
  label += 'x';
  label += std::to_string(generations);
  Load(book, Generate(clanbench::Balanced(members, generations), label));
  std::printf("book %lld members, resident %.0f MiB after loading\n",
              static_cast<long long>(members), ResidentMiB());
  {
    // What the statistics window pays after each edit while it is open.
    QElapsedTimer counting;
    counting.start();
    const ClanStatistics stats = ComputeStatistics(book);
    std::printf("statistics_count_all %.3f s, %zu generations\n", counting.nsecsElapsed() / 1e9,
                stats.perGeneration.size());
  }

  // Whole-book layout.
  const double before = ResidentMiB();
  QElapsedTimer timer;
  double cpu = CpuSeconds();
  timer.start();
  auto chart = std::make_unique<PagodaChart>(book.Root(), 0, 1, QStringLiteral("bench"));
  std::printf("pagoda_layout_all %.3f s (cpu %.3f s), %zu boxes, %.0f x %.0f units\n",
              timer.nsecsElapsed() / 1e9, CpuSeconds() - cpu, chart->Layout().Nodes().size(),
              chart->Bounds().width(), chart->Bounds().height());
  std::printf("pagoda_layout_memory %.0f MiB more resident, peak %.0f MiB (before %.0f MiB)\n",
              ResidentMiB() - before, PeakMiB() - before, before);

  // One screen of the view at a few scroll positions.
  ChartView view;
  view.resize(1920 + view.frameWidth() * 2, 1080 + view.frameWidth() * 2);
  view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view.SetScene(chart.get());
  view.show();
  QApplication::processEvents();
  QImage screen(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  const auto& layout = chart->Layout();
  for (const double zoom : {1.0, 0.5, 0.1}) {
    view.SetZoom(zoom);
    for (const double fx : {0.0, 0.25, 0.5, 0.75}) {
      const int level = std::min(layout.LevelCount() - 1, 50);
      const int index =
          layout.LevelBegin(level) +
          static_cast<int>(fx * (layout.LevelEnd(level) - layout.LevelBegin(level) - 1));
      view.ScrollTo(layout.BoxRect(index).topLeft() - QPointF(200, 300));
      double best = 1e9;
      for (int run = 0; run < 5; ++run) {
        timer.restart();
        view.viewport()->render(&screen);
        best = std::min(best, timer.nsecsElapsed() / 1e6);
      }
      std::printf("view_paint_1920x1080 %.2f ms (zoom %.2f, row %d, %.0f%% across)\n", best, zoom,
                  level + 1, fx * 100);
    }
  }
  view.SetScene(nullptr);
  chart.reset();

  // PDF of a 20,000-member chart, both layouts.
  {
    COperationClanbook small;
    Load(small, Generate(clanbench::Balanced(20000, 83), "b20000x83"));
    for (const ChartLayout kind : {ChartLayout::Pagoda, ChartLayout::Ouyang}) {
      ChartOptions options;
      options.generations = 0;
      options.layout = kind;
      QString error;
      cpu = CpuSeconds();
      timer.restart();
      const auto built = BuiltChart::Build(small, options, &error);
      const bool ok =
          built && ExportChart(*built, QStringLiteral("/dev/shm/bench-chart-20k.pdf"), &error);
      std::printf("pdf_20000_%s %.3f s (cpu %.3f s), %d pages, %s\n",
                  kind == ChartLayout::Pagoda ? "pagoda" : "ouyang", timer.nsecsElapsed() / 1e9,
                  CpuSeconds() - cpu, built ? built->Pages().PageCount() : 0,
                  ok ? "ok" : error.toLocal8Bit().constData());
    }
    std::remove("/dev/shm/bench-chart-20k.pdf");
  }

  // 欧式 pages of the whole book, streamed.
  {
    timer.restart();
    const double beforePages = ResidentMiB();
    OuyangChart pages(book.Root(), 0, 1, QStringLiteral("bench"), QPageSize::A4);
    std::printf("ouyang_blocks_all %.3f s, %d pages in all, +%.0f MiB\n",
                timer.nsecsElapsed() / 1e9, pages.PageCount(), ResidentMiB() - beforePages);
    QPdfWriter writer(QStringLiteral("/dev/shm/bench-chart-ouyang.pdf"));
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    cpu = CpuSeconds();
    timer.restart();
    const int last = std::min(streamPages, pages.PageCount()) - 1;
    PaintChartPages(pages, writer, 0, last, [&](int page) {
      if ((page + 1) % 500 == 0)
        std::printf("  page %d: %.2f s, resident %.0f MiB\n", page + 1, timer.nsecsElapsed() / 1e9,
                    ResidentMiB());
    });
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("ouyang_pdf_stream %d pages in %.2f s (cpu %.2f s): %.0f pages/s\n", last + 1,
                seconds, CpuSeconds() - cpu, (last + 1) / seconds);
    std::remove("/dev/shm/bench-chart-ouyang.pdf");
  }
  std::printf("peak resident %.0f MiB\n", PeakMiB());
  return 0;
}
