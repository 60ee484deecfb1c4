// Drops the user's input to every object of the application while it lives, so that events
// can be processed while a page comes in. Events of the window system go on: a close
// request among them, which QEventLoop::ExcludeUserInputEvents would hold back until the
// download ended. Needs a QCoreApplication; main thread only.
#pragma once

#include <QObject>

namespace yomira {

class InputRefusal : public QObject {
 public:
  InputRefusal();
  ~InputRefusal() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
};

}  // namespace yomira
