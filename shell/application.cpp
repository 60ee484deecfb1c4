#include "shell/application.h"

#include <exception>

#include "shell/guard.h"

namespace yomira {

YomiraApplication::YomiraApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("yomira"));
  setApplicationDisplayName(QString());
  setQuitOnLastWindowClosed(false);
}

bool YomiraApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ReportException(e.what());
  } catch (...) {
    ReportException(kUnknownErrorMessage);
  }
  return false;
}

}  // namespace yomira
