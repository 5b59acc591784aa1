// The one way the window runs work that takes seconds: reading or writing a
// book, a GEDCOM file, a chart, a branch. The work runs on Qt's thread pool
// while the window goes on painting; a modal dialog holds the user's input
// meanwhile (the genealogy must not change under the work), shows itself when
// the work takes more than half a second and lets the user stop work that can
// stop. Whatever the work throws comes back to the window as a message.
#pragma once

#include <QString>

#include <cstddef>
#include <functional>

class QWidget;
template <class T>
class QPromise;

// What the work sees of its caller.
class WorkProgress {
public:
  explicit WorkProgress(QPromise<void>& promise) : m_promise(promise) {}
  // For a reader's progress callback: notes how far it got; false once the
  // user asked to stop.
  bool Report(std::size_t done, std::size_t total);
  bool Cancelled() const;

private:
  QPromise<void>& m_promise;
  bool m_ranged = false;
};

enum class WorkOutcome {
  Finished,   // the work ran to its end
  Cancelled,  // the user stopped it; what it made is to be dropped
  Failed,     // it threw; the user has been told why
};

// Runs `work` and returns when it has finished. `label` is the dialog's text;
// with `cancellable` it has a Cancel button.
WorkOutcome RunLongWork(QWidget* owner, const QString& label, bool cancellable,
                        std::function<void(WorkProgress&)> work);

// True while RunLongWork runs: the window must not close under it.
bool LongWorkRunning();

// For tests: the dialog shows after `ms` instead of half a second (negative:
// the usual delay), and `hook` runs on the worker before the work, e.g. to
// hold it until the test has cancelled, or to throw.
void SetLongWorkDelayForTesting(int ms);
void SetLongWorkHookForTesting(std::function<void(WorkProgress&)> hook);
