#include "mainwindow/FileProgress.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <thread>

namespace {

constexpr int kDefaultDelayMs = 500;
constexpr int kTickMs = 50;
constexpr int kSteps = 1000;

int g_delayMs = -1;
std::function<void(FileWork&)> g_hook;
bool g_running = false;

// Stays up until the work has finished, even after Cancel: closing it earlier
// would hand the window back to the user while the worker still runs.
class FileProgressDialog : public QDialog {
public:
  FileProgressDialog(QWidget* owner, const QString& label, FileWork& work, bool cancellable)
      : QDialog(owner), m_work(work) {
    setObjectName(QStringLiteral("fileProgress"));
    setWindowTitle(tr("家谱管理系统"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(label, this);
    layout->addWidget(text);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("fileProgressBar"));
    m_bar->setAccessibleName(label);
    m_bar->setMinimumWidth(300);
    m_bar->setTextVisible(false);
    text->setBuddy(m_bar);
    layout->addWidget(m_bar);
    if (cancellable) {
      m_cancel = new QPushButton(tr("取消"), this);
      m_cancel->setObjectName(QStringLiteral("fileProgressCancel"));
      m_cancel->setAccessibleName(m_cancel->text());
      connect(m_cancel, &QPushButton::clicked, this, [this] { reject(); });
      layout->addWidget(m_cancel, 0, Qt::AlignRight);
    }
    Update();
  }

  void Update() {
    const std::size_t total = m_work.Total();
    if (total == 0) {
      m_bar->setRange(0, 0);  // moves without telling how far
      return;
    }
    m_bar->setRange(0, kSteps);
    const std::size_t done = std::min(m_work.Done(), total);
    m_bar->setValue(
        static_cast<int>(static_cast<double>(done) / static_cast<double>(total) * kSteps));
  }

  void reject() override {
    // Esc and the close box stop what can stop, and nothing else.
    if (!m_cancel || m_work.Cancelled()) return;
    m_work.Cancel();
    m_cancel->setEnabled(false);
  }

private:
  FileWork& m_work;
  QProgressBar* m_bar = nullptr;
  QPushButton* m_cancel = nullptr;
};

}  // namespace

bool FileWorkRunning() {
  return g_running;
}

void SetFileWorkDelayForTesting(int ms) {
  g_delayMs = ms;
}

void SetFileWorkHookForTesting(std::function<void(FileWork&)> hook) {
  g_hook = std::move(hook);
}

bool RunFileWork(QWidget* owner, const QString& label, bool cancellable,
                 const std::function<void(FileWork&)>& work) {
  FileWork state;
  std::atomic<bool> finished{false};
  QEventLoop loop;
  const std::function<void(FileWork&)> hook = g_hook;
  g_running = true;
  std::thread worker([&] {
    // Whatever goes wrong in there must not end the program: the work
    // starts from a result that says it failed and is left with it.
    try {
      if (hook) hook(state);
      work(state);
    } catch (...) {
    }
    finished.store(true);
  });

  FileProgressDialog dialog(owner, label, state, cancellable);
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
    if (finished.load()) loop.quit();
    if (dialog.isVisible()) dialog.Update();
  });
  ticker.start(kTickMs);

  // First the window repaints but takes no input; only once the dialog is
  // up, which then holds the input, do the events of the user come through.
  QTimer::singleShot(g_delayMs < 0 ? kDefaultDelayMs : g_delayMs, &loop, [&] { loop.quit(); });
  if (!finished.load()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (!finished.load()) {
    dialog.show();
    loop.exec();
    dialog.hide();
  }
  worker.join();
  g_running = false;
  return !state.Cancelled();
}
