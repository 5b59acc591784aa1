#include "platform/Shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace {
std::function<bool(const QString&)> g_urlOpener;
std::function<void()> g_beep;
std::function<QString(const FileDialogRequest&)> g_fileDialog;
}  // namespace

bool OpenUrl(const QString& url) {
  if (g_urlOpener) return g_urlOpener(url);
  return QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

void SetUrlOpenerForTesting(std::function<bool(const QString&)> opener) {
  g_urlOpener = std::move(opener);
}

void Beep() {
  if (g_beep) {
    g_beep();
    return;
  }
  QApplication::beep();
}

void SetBeepForTesting(std::function<void()> beep) {
  g_beep = std::move(beep);
}

QString RunFileDialog(QWidget* owner, const FileDialogRequest& request) {
  if (g_fileDialog) return g_fileDialog(request);
  if (!owner) owner = QApplication::activeModalWidget();
  if (!owner) owner = QApplication::activeWindow();
  // The save dialog asks before replacing a file: that is QFileDialog's default.
  if (request.open)
    return QFileDialog::getOpenFileName(owner, QString(), QString(), request.filter,
                                        request.selectedFilter);
  return QFileDialog::getSaveFileName(owner, QString(), QString(), request.filter,
                                      request.selectedFilter);
}

void SetFileDialogForTesting(std::function<QString(const FileDialogRequest&)> dialog) {
  g_fileDialog = std::move(dialog);
}
