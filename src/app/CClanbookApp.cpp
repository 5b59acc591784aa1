#include "app/CClanbookApp.h"

#include "app/CommandLine.h"
#include "app/Translation.h"
#include "document/GenealogyDocument.h"
#include "mainwindow/CClanbookDlg.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#ifndef CLANBOOK_VERSION
#define CLANBOOK_VERSION "0"
#endif

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

void PrepareProcess() {
  std::signal(SIGXFSZ, SIG_IGN);
#ifdef __GLIBC__
  // Books are read on a worker thread and kept by the window. glibc would give
  // that thread a heap of its own, grown in 64 MB pieces, into which a
  // two-million-member .cbk read a fifth slower than into the main heap
  // (bench_mainwindow --cbk). The program's threads take turns at long work,
  // so one heap costs them no waiting.
  mallopt(M_ARENA_MAX, 1);
#endif
}

namespace {
// The arguments as file names are held (FileNameOf): a name that is no UTF-8
// keeps its bytes, where QCoreApplication::arguments() would put U+FFFD in
// place of each stray byte and a conversion would write another file.
QStringList ArgumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << FileNameOf(QByteArray(argv[i]));
  return arguments;
}

void Print(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fflush(stream);
}
}  // namespace

int CClanbookApp::Run(int argc, char** argv) {
  PrepareProcess();
  // Read once before any application object exists: only the window needs a
  // display, so help, version, errors and conversions run on a bare console.
  const StartRequest first = CommandLine(Conversions()).Parse(ArgumentsOf(argc, argv));
  std::unique_ptr<QCoreApplication> application;
  if (first.kind == StartRequest::Kind::Window) {
    application = std::make_unique<QApplication>(argc, argv);
  } else if (first.kind == StartRequest::Kind::Conversion && first.conversion->needsGui) {
    // Fonts and text layout come with a QGuiApplication, which would abort on
    // a console without a display unless it draws off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    application = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    application = std::make_unique<QCoreApplication>(argc, argv);
  }
  QCoreApplication::setApplicationName(QStringLiteral("clanbook"));
  QCoreApplication::setApplicationVersion(QStringLiteral(CLANBOOK_VERSION));

  const Translation translation(first.language.value_or(DesktopLanguage()));
  // Again with the language installed, so that help and messages speak it;
  // the application object has taken its own options (-platform ...) out of
  // argv by now.
  CommandLine commandLine(Conversions());
  const StartRequest request = commandLine.Parse(ArgumentsOf(argc, argv));
  switch (request.kind) {
    case StartRequest::Kind::Print:
      Print(stdout, request.text);
      return 0;
    case StartRequest::Kind::Error:
      Print(stderr,
            QStringLiteral("%1: %2\n").arg(QCoreApplication::applicationName(), request.text));
      return 2;
    case StartRequest::Kind::Conversion:
      return request.conversion->run(request.values, commandLine.parser());
    case StartRequest::Kind::Window:
      break;
  }
  CClanbookApp app(request.fileToOpen);
  app.InitInstance();
  return 0;
}
