// What the program asks of the desktop: opening web and mail addresses, the
// warning beep and the platform's file dialog, each with a seam for tests.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// Opens a web or mailto: address with the desktop's handler. True on success.
bool OpenUrl(const QString& url);
void SetUrlOpenerForTesting(std::function<bool(const QString&)> opener);

// The exclamation beep.
void Beep();
void SetBeepForTesting(std::function<void()> beep);

struct FileDialogRequest {
  bool open = true;  // true: open dialog; false: save dialog (asks before replacing)
  QString filter;    // Qt filter string, e.g. "Family Tree Files (*.ftf);;All Files (*)"
  // When given: the filter shown first, and afterwards the one the user chose
  // (a choice of file version rides on it).
  QString* selectedFilter = nullptr;
};
// The chosen full path, or an empty string when the user cancelled.
QString RunFileDialog(QWidget* owner, const FileDialogRequest& request);
void SetFileDialogForTesting(std::function<QString(const FileDialogRequest&)> dialog);
