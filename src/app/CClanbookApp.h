// The application: runs the main window modally; when it closes, the program ends.
#pragma once

#include <QString>

class CClanbookApp {
public:
  // `fileToOpen`: a genealogy file named on the command line, opened once the
  // window is initialised; empty for none.
  explicit CClanbookApp(QString fileToOpen = QString());

  // Runs the main window until it closes. Always false: nothing follows the window.
  bool InitInstance();

private:
  QString m_fileToOpen;
};
