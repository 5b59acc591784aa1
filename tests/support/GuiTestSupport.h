// Helpers for tests that drive the real window: answering modal dialogs that a
// command opens, with a check that the expected dialog is the one that came up.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QString>
#include <QWidget>

#include <functional>
#include <ostream>

// Readable QString values in GoogleTest's failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

// Queues a handler for the next modal dialog. It runs once that dialog is the
// active modal widget; it must close the dialog (accept, reject or a click).
// If the dialog that comes up is not a `T`, or none comes within the timeout,
// the test fails and any open modal dialog is rejected so the test cannot hang.
void OnNextModal(std::function<bool(QWidget*)> handler, const char* expected, int timeoutMs = 5000);

template <class T>
void OnNextDialog(std::function<void(T*)> handler, int timeoutMs = 5000) {
  OnNextModal(
      [handler](QWidget* w) {
        auto* dialog = qobject_cast<T*>(w);
        if (!dialog) return false;
        handler(dialog);
        return true;
      },
      T::staticMetaObject.className(), timeoutMs);
}

// Number of queued modal handlers that have not run yet.
int PendingModalHandlers();

// Types `text` into the child QLineEdit named `objectName` of `parent`, replacing
// what it held, through real key events.
void TypeInto(QWidget* parent, const char* objectName, const QString& text);
// Types `text` into `widget` through real key events, Chinese text included.
void TypeKeys(QWidget* widget, const QString& text);
// Clicks the child button named `objectName`.
void ClickButton(QWidget* parent, const char* objectName);
