// The busy cursor while a command works through a large book, put back
// however the work ends. A command that then shows a message ends the guard's
// scope first: the user answers a box with his own cursor.
#pragma once

#include <QApplication>
#include <QCursor>

class BusyCursor {
public:
  BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};
