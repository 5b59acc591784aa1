#include "app/CClanbookApp.h"

#include "mainwindow/CClanbookDlg.h"

#include <QFile>
#include <QIcon>
#include <QTimer>

CClanbookApp::CClanbookApp(QString fileToOpen) : m_fileToOpen(std::move(fileToOpen)) {}

bool CClanbookApp::InitInstance() {
  // The Windows build's skin library and hidden browser host have no
  // counterpart here and nothing uses them: start-up goes straight to the window.
  CClanbookDlg dialog;
  // The icon lives in the application's resources, which the main window's
  // library does not carry, so the application sets it here. The resources sit
  // in a static library, whose registration the linker would otherwise drop.
  Q_INIT_RESOURCE(clanbook);
  const QString iconFile = QStringLiteral(":/icons/clanbook.png");
  if (QFile::exists(iconFile)) dialog.setWindowIcon(QIcon(iconFile));
  if (!m_fileToOpen.isEmpty()) {
    // Opened once the modal loop runs, so that a message about a failed open
    // has the visible main window as its owner.
    const QString fileName = m_fileToOpen;
    QTimer::singleShot(0, &dialog, [&dialog, fileName] { dialog.OpenAtStart(fileName); });
  }
  dialog.DoModal();
  return false;
}
