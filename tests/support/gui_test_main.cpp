// Runs GoogleTest inside a QApplication on the offscreen platform, so GUI tests
// drive real widgets without a display.
#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The window keeps settings between runs; tests keep theirs apart from
  // the user's (~/.qttest).
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
