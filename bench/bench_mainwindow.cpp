// Timed run of the real main window on a generated clan book, offscreen:
//
//   QT_QPA_PLATFORM=offscreen bench_mainwindow [--cbk] [MEMBERS [GENERATIONS [CHILDREN]]]
//   QT_QPA_PLATFORM=offscreen bench_mainwindow --screenshot docs/screenshot-main.png
//
// (defaults 2000000 83 100000). It opens a CClanbookDlg, loads the balanced
// book, times the tree view's rebuild and the window's first paint, fills the
// list with every member through AddMemberRow, runs the query commands through
// their menu items with their dialogs answered as a user would (boxes filled, OK
// clicked), then loads a father with CHILDREN children and times expanding
// him. Message boxes go to a MessageBoxRecorder, so nothing waits for a click.
// With --cbk the balanced book is opened as a .cbk (converted first, not
// timed), and the subtree's deletion is also saved into it.
// Each figure is printed as "name seconds [detail]".
#include "ClanGenerator.h"
#include "app/CClanbookApp.h"
#include "formats/CbkFormat.h"
#include "mainwindow/CClanbookDlg.h"
#include "views/GenealogyTreeModel.h"
#include "views/MemberListModel.h"
#include "views/MemberSearchBar.h"

#include <QAction>
#include <QUndoStack>
#include "platform/MessageBoxes.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path Generate(const clanbench::ClanSpec& spec, const std::string& label,
                  clanbench::ClanSummary& summary) {
  const fs::path file = clanbench::BenchDir() / (label + ".ftf");
  std::string error;
  if (!clanbench::WriteClan(spec, file, summary, error)) {
    std::fprintf(stderr, "bench_mainwindow: %s\n", error.c_str());
    std::exit(1);
  }
  return file;
}

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Wall time, and the processor time of the process, which other programs on a
// busy machine do not inflate.
class Stopwatch {
public:
  void start() {
    m_wall.start();
    m_cpu = CpuSeconds();
  }
  double Wall() const { return static_cast<double>(m_wall.nsecsElapsed()) / 1e9; }
  double Cpu() const { return CpuSeconds() - m_cpu; }

private:
  QElapsedTimer m_wall;
  double m_cpu = 0;
};

double Seconds(const Stopwatch& timer) {
  return timer.Wall();
}

void Report(const char* name, const Stopwatch& timer, const std::string& detail = {}) {
  std::printf("%-34s %8.3f s  (cpu %6.3f s)  %s\n", name, timer.Wall(), timer.Cpu(),
              detail.c_str());
  std::fflush(stdout);
}

// Lets the window handle what the last step queued (layout, updates) and then
// paints it whole, as the first frame on screen would.
void Paint(CClanbookDlg& window) {
  QCoreApplication::processEvents();
  const QPixmap frame = window.grab();
  (void)frame;
}

// Answers the next modal dialog as a user would: fills its boxes by control name
// and clicks OK. Polls until the dialog's modal loop is running.
void AnswerNextDialog(std::vector<std::pair<const char*, QString>> boxes) {
  auto* timer = new QTimer;
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, [timer, boxes] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    timer->stop();
    timer->deleteLater();
    for (const auto& [name, text] : boxes) {
      if (auto* box = dialog->findChild<QLineEdit*>(name)) {
        box->setText(text);
      } else {
        std::fprintf(stderr, "bench_mainwindow: no box %s in %s\n", name,
                     qPrintable(dialog->objectName()));
      }
    }
    if (auto* ok = dialog->findChild<QAbstractButton*>(ControlName(1))) ok->click();
  });
  timer->start();
}

// Pre-order over the genealogy with an explicit stack.
template <class Visit>
void ForEachMember(const COperationClanbook& genealogy, Visit&& visit) {
  std::vector<std::pair<const MemberNode*, int>> stack;
  if (genealogy.Root()) stack.emplace_back(genealogy.Root(), 1);
  while (!stack.empty()) {
    auto [member, generation] = stack.back();
    stack.pop_back();
    visit(member, generation);
    std::vector<const MemberNode*> children;
    for (const MemberNode* c = member->firstChild; c; c = c->nextSibling) children.push_back(c);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
      stack.emplace_back(*it, generation + 1);
  }
}

std::string LastBox(const MessageBoxRecorder& recorder) {
  if (recorder.Boxes().empty()) return "no message";
  QString text = recorder.Boxes().back().text;
  if (text.size() > 40) text = text.left(40) + QStringLiteral("…");
  return "message \"" + text.replace(QLatin1Char('\n'), QStringLiteral("⏎")).toStdString() + "\"";
}

std::string Rows(CClanbookDlg& window) {
  return std::to_string(window.listModel()->rowCount()) + " rows";
}

// Runs a command (with its dialog answered, when it has one) and paints the
// window; the time covers everything the user waits for.
void TimeCommand(CClanbookDlg& window, MessageBoxRecorder& recorder, const std::string& name,
                 int id, std::vector<std::pair<const char*, QString>> boxes) {
  recorder.Clear();
  if (!boxes.empty()) AnswerNextDialog(std::move(boxes));
  Stopwatch timer;
  timer.start();
  // 按照生日查找 is a button without a menu item.
  if (QAction* action = window.MenuAction(id))
    action->trigger();
  else
    window.button(id)->click();
  Paint(window);
  Report(name.c_str(), timer, Rows(window) + ", " + LastBox(recorder));
}

// One keystroke into `box` as the keyboard delivers it, then the window's
// answer painted: the search, the selection of the first match and his line
// of fathers opened.
void TypeKey(CClanbookDlg& window, QLineEdit* box, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(box, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(box, &release);
  Paint(window);
}

// Types each query one keystroke at a time into the search box above the
// tree, timing each keystroke, then empties the box with Backspace.
void TimeTyping(CClanbookDlg& window, const std::vector<QString>& queries) {
  auto* box = window.searchBar()->findChild<QLineEdit*>(QStringLiteral("searchBox"));
  box->setFocus();
  Stopwatch timer;
  for (const QString& query : queries) {
    for (qsizetype i = 0; i < query.size(); ++i) {
      const QChar c = query.at(i);
      const int key =
          c.unicode() < 0x80 ? QChar(c).toUpper().unicode() : static_cast<int>(Qt::Key_unknown);
      timer.start();
      TypeKey(window, box, key, QString(c));
      const std::string name = "search box types \"" + query.left(i + 1).toStdString() + "\"";
      Report(name.c_str(), timer, std::to_string(window.searchBar()->matchCount()) + " matches");
    }
    timer.start();
    while (!box->text().isEmpty()) TypeKey(window, box, Qt::Key_Backspace, {});
    Report("search box emptied by Backspace", timer);
  }
}

long PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace

// The picture of the README: a small family, 王明 typed into the search box.
int Screenshot(const char* pngFile, const char* menuFile) {
  const fs::path book = clanbench::BenchDir() / "screenshot.ftf";
  {
    std::FILE* out = std::fopen(book.c_str(), "wb");
    if (!out) return 1;
    std::fputs(
        "王德厚 1898 4 12 1 北京 0 1968 9 3 -1\r\n"
        "王守仁 1921 3 7 1 天津 0 1990 11 20 王德厚\r\n"
        "王明远 1948 6 18 1 上海 1 王守仁\r\n"
        "王晓梅 1975 2 14 0 上海 1 王明远\r\n"
        "王晓东 1978 10 1 1 杭州 1 王明远\r\n"
        "王明芳 1952 8 30 1 南京 1 王守仁\r\n"
        "王守义 1926 12 5 1 天津 0 2001 5 16 王德厚\r\n"
        "王明德 1955 1 23 1 广州 1 王守义\r\n"
        "王子涵 1983 7 9 0 深圳 1 王明德\r\n"
        "王守礼 1930 9 28 0 end 0 1944 3 2 王德厚\r\n"
        "end 1999 12 2 1 end 1 end\r\n",
        out);
    std::fclose(out);
  }
  MessageBoxRecorder recorder;
  CClanbookDlg window;
  window.Create();
  window.OpenAtStart(QString::fromStdString(book.string()));
  auto* box = window.searchBar()->findChild<QLineEdit*>(QStringLiteral("searchBox"));
  box->setFocus();
  box->setText(QStringLiteral("王明"));
  Paint(window);
  bool saved = window.grab().save(QString::fromLocal8Bit(pngFile));
  // And the 家谱 menu, with the keys of its commands, beside it.
  if (menuFile) {
    QMenu* menu = window.menuBar()->actions().at(2)->menu();
    menu->popup(window.mapToGlobal(QPoint(0, 0)));
    Paint(window);
    saved = menu->grab().save(QString::fromLocal8Bit(menuFile)) && saved;
    menu->hide();
  }
  window.document().SetModified(false);
  return saved ? 0 : 1;
}

int main(int argc, char** argv) {
  PrepareProcess();  // as the program starts
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if ((argc == 3 || argc == 4) && std::string(argv[1]) == "--screenshot")
    return Screenshot(argv[2], argc == 4 ? argv[3] : nullptr);
  const bool cbk = argc > 1 && std::string(argv[1]) == "--cbk";
  if (cbk) {
    --argc;
    ++argv;
  }
  const long long members = argc > 1 ? std::atoll(argv[1]) : 2000000;
  const int generations = argc > 2 ? std::atoi(argv[2]) : 83;
  const long long children = argc > 3 ? std::atoll(argv[3]) : 100000;

  clanbench::ClanSummary book;
  fs::path bookFile =
      Generate(clanbench::Balanced(members, generations),
               "balanced-" + std::to_string(members) + "-" + std::to_string(generations), book);
  if (cbk) {
    COperationClanbook converted;
    fs::path cbkFile = bookFile;
    cbkFile.replace_extension(".cbk");
    fs::remove(cbkFile);
    if (!formats::ReadBookFile(bookFile, converted).Ok() ||
        !formats::WriteBookFile(cbkFile, converted).Ok()) {
      std::fprintf(stderr, "bench_mainwindow: cannot write %s\n", cbkFile.c_str());
      return 1;
    }
    bookFile = cbkFile;
    // The new file's pages go to the disk now, not while it is read.
    ::sync();
  }
  clanbench::ClanSummary wide;
  const fs::path wideFile =
      Generate(clanbench::WideFamily(children), "wide-" + std::to_string(children), wide);

  MessageBoxRecorder recorder;
  CClanbookDlg window;
  window.Create();
  Paint(window);

  Stopwatch timer;
  {
    timer.start();
    COperationClanbook fresh;
    const int result = formats::ReadBookFile(bookFile, fresh).code;
    Report("Load alone", timer, "result " + std::to_string(result));
    timer.start();
    fresh.Clear();
    Report("Clear alone", timer);
  }

  // Opening as the Open command does once it has the file name: load into a
  // fresh genealogy, put it in place, rebuild, name today's birthdays.
  timer.start();
  window.OpenAtStart(QString::fromStdString(bookFile.string()));
  Paint(window);
  int loaded = window.document().Genealogy().CountMembers();
  Report("OpenAtStart + paint", timer, std::to_string(loaded) + " members, " + LastBox(recorder));
  if (loaded != members) return 1;
  for (int round = 1; round <= 3; ++round) {
    timer.start();
    window.RebuildTreeView();
    const double rebuild = Seconds(timer);
    Paint(window);
    Report(round == 1 ? "RebuildTreeView + first paint" : "RebuildTreeView + paint again", timer,
           "rebuild alone " + std::to_string(rebuild) + " s");
  }

  // Find as you type through the window: the index was built when the book
  // was opened; each keystroke searches it and shows the first match.
  {
    // The last member in pre-order is the one found last.
    const QString lastName = QString::fromStdU16String(book.lastName);
    TimeTyping(window, {QStringLiteral("wang"), QStringLiteral("zhj"), lastName});
  }

  // Expand the root and scroll through its family, as a user reading the book.
  timer.start();
  const QModelIndex rootIndex = window.treeModel()->index(0, 0);
  window.treeView()->expand(rootIndex);
  Paint(window);
  Report("expand root + paint", timer,
         std::to_string(window.treeModel()->rowCount(rootIndex)) + " children");

  // Fill the list with every member, in pre-order.
  std::vector<const MemberNode*> order;
  order.reserve(static_cast<std::size_t>(members));
  std::map<int, int> perGeneration;
  ForEachMember(window.document().Genealogy(), [&](const MemberNode* m, int generation) {
    order.push_back(m);
    ++perGeneration[generation];
  });
  window.ClearList();
  Paint(window);
  timer.start();
  for (const MemberNode* m : order) window.AddMemberRow(m);
  const double appended = Seconds(timer);
  Paint(window);
  Report("AddMemberRow x all + paint", timer,
         Rows(window) + ", appending alone " + std::to_string(appended) + " s");
  timer.start();
  window.listView()->scrollToBottom();
  Paint(window);
  Report("list scroll to bottom + paint", timer);
  timer.start();
  window.ClearList();
  Paint(window);
  Report("ClearList + paint", timer);

  // The query commands, through the window as the buttons run them.
  int broadest = 1;
  for (const auto& [generation, count] : perGeneration)
    if (count > perGeneration.at(broadest)) broadest = generation;
  const QString last = QString::fromStdU16String(book.lastName);
  const QString middle = QString::fromStdU16String(order[order.size() / 2]->name);
  TimeCommand(window, recorder, "ID_SORT_BY_BIRTH", ID_SORT_BY_BIRTH, {});
  TimeCommand(window, recorder, "ID_GENERATION " + std::to_string(broadest) + " (broadest)",
              ID_GENERATION, {{"generationEdit", QString::number(broadest)}});
  TimeCommand(window, recorder, "ID_GENERATION " + std::to_string(generations) + " (deepest)",
              ID_GENERATION, {{"generationEdit", QString::number(generations)}});
  TimeCommand(window, recorder, "ID_GENERATION " + std::to_string(generations + 1) + " (none)",
              ID_GENERATION, {{"generationEdit", QString::number(generations + 1)}});
  TimeCommand(window, recorder, "ID_FIND_BIRTHDAY", ID_FIND_BIRTHDAY,
              {{"birthMonthEdit", QString::number(book.lastBirthMonth)},
               {"birthDayEdit", QString::number(book.lastBirthDay)}});
  TimeCommand(window, recorder, "ID_RELATIONS", ID_RELATIONS,
              {{"firstNameEdit", last}, {"secondNameEdit", middle}});
  TimeCommand(window, recorder, "ID_PERSONAL_INFO", ID_PERSONAL_INFO, {{"nameEdit", last}});

  // Deleting the largest family below the root, then undoing and redoing it,
  // each followed by the views' update and a paint, the root's family shown.
  {
    MemberNode* root = window.document().Genealogy().Root();
    MemberNode* largest = nullptr;
    int largestCount = 0;
    for (MemberNode* child = root->firstChild; child; child = child->nextSibling) {
      int count = 1;
      count += window.document().Genealogy().CountMembers(child->firstChild);
      if (count > largestCount) {
        largest = child;
        largestCount = count;
      }
    }
    const std::string detail = std::to_string(largestCount) + " members";
    timer.start();
    window.document().DeleteMember(largest);
    Paint(window);
    Report("delete subtree + paint", timer, detail);
    timer.start();
    window.document().UndoStack()->undo();
    Paint(window);
    Report("undo delete subtree + paint", timer, detail);
    timer.start();
    window.document().UndoStack()->redo();
    Paint(window);
    Report("redo delete subtree + paint", timer, detail);
    if (cbk) {
      // Only the rows that left are written: the .cbk's save of an edit.
      timer.start();
      const int saved = window.document().Save(QString::fromStdString(bookFile.string()));
      Report("save the deletion (.cbk)", timer, detail + ", result " + std::to_string(saved));
    }
    window.document().UndoStack()->undo();
  }

  // A father of CHILDREN children.
  recorder.Clear();
  timer.start();
  window.OpenAtStart(QString::fromStdString(wideFile.string()));
  Paint(window);
  Report("OpenAtStart + paint (wide family)", timer, LastBox(recorder));
  timer.start();
  window.treeView()->expand(window.treeModel()->index(0, 0));
  Paint(window);
  Report(
      "expand father + paint", timer,
      std::to_string(window.treeModel()->rowCount(window.treeModel()->index(0, 0))) + " children");
  timer.start();
  window.treeView()->scrollToBottom();
  Paint(window);
  Report("tree scroll to bottom + paint", timer);
  timer.start();
  QScrollBar* bar = window.treeView()->verticalScrollBar();
  for (int step = 0; step < 20; ++step) {
    bar->setValue(bar->maximum() / 20 * step);
    Paint(window);
  }
  Report("tree 20 scroll steps + paints", timer);
  // A child added to the expanded family, last by birth as most are, and one
  // born first: the view is told of one row, never reset.
  {
    MemberNode* father = window.document().Genealogy().Root();
    for (const int year : {9999, father->birthYear + 1}) {
      MemberData data;
      data.name = u"新生" + std::u16string(year == 9999 ? u"末" : u"长");
      data.birthYear = year;
      data.birthMonth = 1;
      data.birthDay = 1;
      timer.start();
      window.document().AddMember(father, data);
      Paint(window);
      Report(year == 9999 ? "add youngest child to the wide family + paint"
                          : "add eldest child to the wide family + paint",
             timer,
             std::to_string(window.treeModel()->rowCount(window.treeModel()->index(0, 0))) +
                 " children");
    }
  }
  timer.start();
  window.treeView()->collapse(window.treeModel()->index(0, 0));
  Paint(window);
  Report("collapse father + paint", timer);

  std::printf("peak resident memory %ld MiB\n", PeakMiB());
  // The recorder must outlive the window's last box; nothing is saved.
  window.document().SetModified(false);
  return 0;
}
