// The application: runs the main window modally; when it closes, the program
// ends. Run() is the whole program: the command line, the language, then the
// window or a conversion without one.
#pragma once

#include <QString>

class CClanbookApp {
public:
  // `fileToOpen`: a genealogy file named on the command line, opened once the
  // window is initialised; empty for none.
  explicit CClanbookApp(QString fileToOpen = QString());

  // Runs the main window until it closes. Always false: nothing follows the window.
  bool InitInstance();

  // main(): returns the process's exit status.
  static int Run(int argc, char** argv);

private:
  QString m_fileToOpen;
};

// What the process needs before anything else runs: a save beyond a file-size
// limit (ulimit -f) must fail as a save ("文件无法保存!") and leave the old
// file, not kill the program with SIGXFSZ and the unsaved genealogy with it;
// and one heap for every thread, which books read on a worker thread fill.
void PrepareProcess();
