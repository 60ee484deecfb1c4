// Test main for suites with widgets (offscreen platform).
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // Test discovery runs the program without the suite's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
