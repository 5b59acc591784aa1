// clanbook [FILE]: the genealogy program; FILE, a .ftf genealogy, is opened at start.
#include "app/CClanbookApp.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  CClanbookApp app(arguments.size() > 1 ? arguments.at(1) : QString());
  app.InitInstance();
  return 0;
}
