// The application object: its title is "yomira", and no exception leaves an event handler.
#pragma once

#include <QApplication>

namespace yomira {

class YomiraApplication : public QApplication {
 public:
  YomiraApplication(int& argc, char** argv);
  // Shows the message of an exception thrown by a handler and carries on (false: the event
  // counts as not handled).
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace yomira
