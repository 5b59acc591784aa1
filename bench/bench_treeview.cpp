// Timed run of the tree view's expand-all (the * key) on a generated clan book,
// offscreen:
//
//   QT_QPA_PLATFORM=offscreen bench_treeview [--qt] balanced MEMBERS GENERATIONS
//   QT_QPA_PLATFORM=offscreen bench_treeview [--qt] deep GENERATIONS
//   QT_QPA_PLATFORM=offscreen bench_treeview [--qt] wide CHILDREN
//
// It loads the book into a shown GenealogyTreeView, makes the root current,
// presses * and runs the event loop until the expansion has ended, then
// paints. It prints how long the key press took, the longest time the event
// loop waited between two turns, the whole time, the rows shown and the
// growth of resident memory. --qt runs QTreeView's own expandRecursively
// instead, for comparison.
#include "ClanGenerator.h"
#include "document/GenealogyDocument.h"
#include "views/GenealogyTreeModel.h"
#include "views/GenealogyTreeView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

double Seconds(const QElapsedTimer& timer) {
  return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int arg = 1;
  const bool qtOwn = argc > arg && std::strcmp(argv[arg], "--qt") == 0;
  if (qtOwn) ++arg;
  const std::string shape = argc > arg ? argv[arg] : "balanced";
  clanbench::ClanSpec spec;
  std::string label;
  if (shape == "wide") {
    const long long children = argc > arg + 1 ? std::atoll(argv[arg + 1]) : 100000;
    spec = clanbench::WideFamily(children);
    label = "wide-" + std::to_string(children);
  } else if (shape == "deep") {
    const long long generations = argc > arg + 1 ? std::atoll(argv[arg + 1]) : 1000000;
    spec = clanbench::DeepLine(generations);
    label = "deep-" + std::to_string(generations);
  } else {
    const long long members = argc > arg + 1 ? std::atoll(argv[arg + 1]) : 2000000;
    const int generations = argc > arg + 2 ? std::atoi(argv[arg + 2]) : 83;
    spec = clanbench::Balanced(members, generations);
    label = "balanced-" + std::to_string(members) + "-" + std::to_string(generations);
  }
  clanbench::ClanSummary summary;
  std::string error;
  const auto file = clanbench::BenchDir() / (label + ".ftf");
  if (!clanbench::WriteClan(spec, file, summary, error)) {
    std::fprintf(stderr, "bench_treeview: %s\n", error.c_str());
    return 1;
  }

  GenealogyDocument document;
  if (document.Load(QString::fromStdString(file.string())) != 1) return 1;
  GenealogyTreeModel model(document);
  GenealogyTreeView view;
  view.setModel(&model);
  view.resize(400, 700);
  view.show();
  document.NotifyReset();
  const QModelIndex root = model.index(0, 0);
  view.setCurrentIndex(root);
  (void)view.grab();
  const double before = ResidentMiB();

  // The longest wait of the event loop: the gap between two turns of a timer
  // that asks to run on every turn.
  QElapsedTimer turn;
  double longestGap = 0;
  QTimer ticker;
  ticker.setInterval(0);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, Seconds(turn));
    turn.restart();
  });

  QElapsedTimer whole;
  whole.start();
  double keyPress = 0;
  if (qtOwn) {
    static_cast<QTreeView&>(view).expandRecursively(root);
    view.doItemsLayout();
    keyPress = Seconds(whole);
  } else {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Asterisk, Qt::NoModifier, QStringLiteral("*"));
    QApplication::sendEvent(&view, &press);
    keyPress = Seconds(whole);
    turn.start();
    ticker.start();
    while (view.IsExpanding()) QCoreApplication::processEvents(QEventLoop::AllEvents);
    ticker.stop();
    longestGap = std::max(longestGap, Seconds(turn));
  }
  (void)view.grab();
  const double total = Seconds(whole);
  int rows = 0;
  for (QModelIndex i = root; i.isValid() && rows < 10000000; i = view.indexBelow(i)) ++rows;

  std::printf("%s%s, %lld members\n", label.c_str(), qtOwn ? " (QTreeView's own)" : "",
              static_cast<long long>(summary.members));
  std::printf("  key press returned after   %8.3f s\n", keyPress);
  std::printf("  longest event-loop wait    %8.3f s\n", std::max(longestGap, keyPress));
  std::printf("  expansion + paint, whole   %8.3f s\n", total);
  std::printf("  rows shown                 %8d\n", rows);
  std::printf("  column width               %8d px\n", view.columnWidth(0));
  std::printf("  resident memory            %+8.1f MiB\n", ResidentMiB() - before);
  return 0;
}
