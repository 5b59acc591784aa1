#include "mainwindow/LongWork.h"

#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QException>
#include <QFutureWatcher>
#include <QLabel>
#include <QProgressBar>
#include <QPromise>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <exception>
#include <new>

namespace {

constexpr int kDefaultDelayMs = 500;
constexpr int kSteps = 1000;

int g_delayMs = -1;
std::function<void(WorkProgress&)> g_hook;
bool g_running = false;

// Holds the input from the moment the work starts. Until the delay has passed
// it is there but cannot be seen, so that quick work does not flash a dialog.
// It stays up until the work has finished, even after Cancel: closing it
// earlier would hand the window back to the user while the worker still runs.
class WorkDialog : public QDialog {
public:
  WorkDialog(QWidget* owner, const QString& label, const QFuture<void>& future, bool cancellable)
      : QDialog(owner) {
    setObjectName(QStringLiteral("fileProgress"));
    setWindowTitle(QApplication::translate("LongWork", "家谱管理系统"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(label, this);
    layout->addWidget(text);
    auto* bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("fileProgressBar"));
    bar->setAccessibleName(label);
    bar->setMinimumWidth(300);
    bar->setTextVisible(false);
    bar->setRange(0, 0);  // moves without telling how far until the work knows
    text->setBuddy(bar);
    layout->addWidget(bar);
    if (cancellable) {
      m_cancel = new QPushButton(QApplication::translate("LongWork", "取消"), this);
      m_cancel->setObjectName(QStringLiteral("fileProgressCancel"));
      m_cancel->setAccessibleName(m_cancel->text());
      connect(m_cancel, &QPushButton::clicked, this, [this] { reject(); });
      layout->addWidget(m_cancel, 0, Qt::AlignRight);
    }
    connect(&m_watcher, &QFutureWatcher<void>::progressRangeChanged, bar, &QProgressBar::setRange);
    connect(&m_watcher, &QFutureWatcher<void>::progressValueChanged, bar, &QProgressBar::setValue);
    connect(&m_watcher, &QFutureWatcher<void>::finished, this, [this] { done(Accepted); });
    m_watcher.setFuture(future);
    setWindowOpacity(0.0);
    QTimer::singleShot(g_delayMs < 0 ? kDefaultDelayMs : g_delayMs, this,
                       [this] { setWindowOpacity(1.0); });
  }

  void reject() override {
    // Esc and the close box stop what can stop, and nothing else.
    if (!m_cancel || m_watcher.isCanceled()) return;
    m_watcher.cancel();
    m_cancel->setEnabled(false);
  }

private:
  QFutureWatcher<void> m_watcher;
  QPushButton* m_cancel = nullptr;
};

QString FailureText(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    return QApplication::translate("LongWork", "内存不足");
  } catch (const std::exception& e) {
    return QApplication::translate("LongWork", "工作未能完成：%1")
        .arg(QString::fromLocal8Bit(e.what()));
  } catch (...) {
  }
  return QApplication::translate("LongWork", "工作未能完成：%1")
      .arg(QApplication::translate("LongWork", "未知错误"));
}

}  // namespace

bool WorkProgress::Report(std::size_t done, std::size_t total) {
  if (total > 0) {
    if (!m_ranged) {
      m_promise.setProgressRange(0, kSteps);
      m_ranged = true;
    }
    const double share = static_cast<double>(std::min(done, total)) / static_cast<double>(total);
    m_promise.setProgressValue(static_cast<int>(share * kSteps));
  }
  return !Cancelled();
}

bool WorkProgress::Cancelled() const {
  return m_promise.isCanceled();
}

bool LongWorkRunning() {
  return g_running;
}

void SetLongWorkDelayForTesting(int ms) {
  g_delayMs = ms;
}

void SetLongWorkHookForTesting(std::function<void(WorkProgress&)> hook) {
  g_hook = std::move(hook);
}

WorkOutcome RunLongWork(QWidget* owner, const QString& label, bool cancellable,
                        std::function<void(WorkProgress&)> work) {
  struct Running {
    Running() { g_running = true; }
    ~Running() { g_running = false; }
  } running;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QFuture<void> future =
      QtConcurrent::run([hook = g_hook, work = std::move(work)](QPromise<void>& promise) {
        WorkProgress progress(promise);
        if (hook) hook(progress);
        work(progress);
      });
  {
    WorkDialog dialog(owner, label, future, cancellable);
    dialog.exec();
  }
  QApplication::restoreOverrideCursor();
  try {
    future.waitForFinished();
  } catch (const QUnhandledException& e) {
    ShowNotice(FailureText(e.exception()));
    return WorkOutcome::Failed;
  } catch (...) {
    ShowNotice(FailureText(std::current_exception()));
    return WorkOutcome::Failed;
  }
  return future.isCanceled() ? WorkOutcome::Cancelled : WorkOutcome::Finished;
}
