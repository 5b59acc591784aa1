// Reading or writing a large genealogy takes seconds. The work runs on a
// worker thread while the window goes on painting; when it takes more than
// half a second a modal dialog shows that it moves, and lets the user stop
// work that can stop. The user cannot touch the genealogy meanwhile.
#pragma once

#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>

class QWidget;

class FileWork {
public:
  // For a reader's progress callback: notes how far it got; false once the
  // user asked to stop.
  bool Report(std::size_t done, std::size_t total) {
    m_done.store(done, std::memory_order_relaxed);
    m_total.store(total, std::memory_order_relaxed);
    return !Cancelled();
  }
  bool Cancelled() const { return m_cancelled.load(); }
  void Cancel() { m_cancelled.store(true); }
  std::size_t Done() const { return m_done.load(std::memory_order_relaxed); }
  std::size_t Total() const { return m_total.load(std::memory_order_relaxed); }

private:
  std::atomic<std::size_t> m_done{0};
  std::atomic<std::size_t> m_total{0};
  std::atomic<bool> m_cancelled{false};
};

// Runs `work` on a worker thread and returns when it has finished. An
// exception ends the work silently: its result must say failure until the
// work has set it. `label`
// is the dialog's text; with `cancellable` it has a Cancel button. False when
// the user cancelled (the work has finished all the same; what it made is to
// be dropped).
bool RunFileWork(QWidget* owner, const QString& label, bool cancellable,
                 const std::function<void(FileWork&)>& work);

// True while RunFileWork runs: the window must not close under it.
bool FileWorkRunning();

// For tests: the dialog shows after `ms` instead of half a second (negative:
// the usual delay), and `hook` runs on the worker before the work, e.g. to
// hold it until the test has cancelled.
void SetFileWorkDelayForTesting(int ms);
void SetFileWorkHookForTesting(std::function<void(FileWork&)> hook);
