#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace {
struct PendingHandler {
  std::function<bool(QWidget*)> handler;
  QString expected;
  int remainingMs;
};
std::deque<PendingHandler>& Queue() {
  static std::deque<PendingHandler> queue;
  return queue;
}
bool g_polling = false;

void Poll() {
  auto& queue = Queue();
  if (queue.empty()) {
    g_polling = false;
    return;
  }
  QWidget* modal = QApplication::activeModalWidget();
  PendingHandler& front = queue.front();
  // The window under test is itself modal only when run by DoModal; the
  // handler is for a dialog opened on top of it, so skip windows it rejects.
  if (modal && modal->isVisible()) {
    PendingHandler current = front;
    if (current.handler(modal)) {
      queue.pop_front();
    } else if (current.remainingMs <= 0) {
      ADD_FAILURE() << "expected modal " << current.expected.toStdString() << ", got "
                    << modal->metaObject()->className();
      queue.pop_front();
      if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    } else {
      front.remainingMs -= 10;
    }
  } else if ((front.remainingMs -= 10) <= 0) {
    ADD_FAILURE() << "no modal " << front.expected.toStdString() << " came up";
    queue.pop_front();
  }
  QTimer::singleShot(10, Poll);
}
}  // namespace

void OnNextModal(std::function<bool(QWidget*)> handler, const char* expected, int timeoutMs) {
  Queue().push_back({std::move(handler), QString::fromLatin1(expected), timeoutMs});
  if (!g_polling) {
    g_polling = true;
    QTimer::singleShot(10, Poll);
  }
}

int PendingModalHandlers() {
  return static_cast<int>(Queue().size());
}

void TypeInto(QWidget* parent, const char* objectName, const QString& text) {
  auto* edit = parent->findChild<QLineEdit*>(QString::fromLatin1(objectName));
  ASSERT_NE(edit, nullptr) << objectName;
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  TypeKeys(edit, text);
}

void TypeKeys(QWidget* widget, const QString& text) {
  // QTest::keyClicks knows only Latin-1; Chinese text arrives as key events that
  // carry the character, one per code point (a surrogate pair stays together).
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString character = text.mid(i, length);
    const QChar first = character.at(0);
    if (length == 1 && first.unicode() >= 0x20 && first.unicode() < 0x7f) {
      QTest::keyClick(widget, first.toLatin1());
    } else {
      QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, character, Qt::NoModifier);
      QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, character, Qt::NoModifier);
    }
    i += length;
  }
}

void ClickButton(QWidget* parent, const char* objectName) {
  auto* button = parent->findChild<QAbstractButton*>(QString::fromLatin1(objectName));
  ASSERT_NE(button, nullptr) << objectName;
  QTest::mouseClick(button, Qt::LeftButton);
}
