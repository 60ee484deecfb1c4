// Test main for the dialog controls: offscreen, and like the reader's application object
// an exception thrown by a handler stops at notify() (recorded for the test to read).
#include <QApplication>

#include <gtest/gtest.h>

#include <exception>

#include "controls_fixture.h"

namespace yomira::test {

QStringList& CaughtFaults() {
  static QStringList faults;
  return faults;
}

namespace {

class GuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      CaughtFaults() << QString::fromUtf8(e.what());
    }
    return false;
  }
};

}  // namespace
}  // namespace yomira::test

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  yomira::test::GuardedApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
