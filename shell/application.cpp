#include "shell/application.h"

#include "ui/guard.h"

namespace yomira {

YomiraApplication::YomiraApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("yomira"));
  setApplicationDisplayName(QString());
  setQuitOnLastWindowClosed(false);
}

bool YomiraApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  guarded([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace yomira
