// app/test_main.cc: runs the app layer's tests inside one QApplication.
//
// The window tests drive the real MainWindow, offscreen unless the caller
// chose another platform.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
