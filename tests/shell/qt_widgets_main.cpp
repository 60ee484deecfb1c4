// Test main for suites with widgets (offscreen platform).
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
