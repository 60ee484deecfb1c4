// SIGTERM, SIGHUP and SIGINT (a logout, kill, Ctrl+C in the terminal) end the reader the way
// its close button does, so the settings and the reading position are written. The handler
// only writes a byte to a pipe; the event loop reads it and runs the quit there.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace yomira {

class QuitSignals : public QObject {
 public:
  // Installs the handlers (one instance at a time). quit runs once, on the event loop, at
  // the first signal; any further signal ends the process at once (exit 128 + signal), so a
  // reader that hangs while closing can still be stopped.
  explicit QuitSignals(std::function<void()> quit, QObject* parent = nullptr);
  // Puts the previous handlers back.
  ~QuitSignals() override;

  // False when the pipe or the handlers could not be set up (the signals then keep their
  // default action).
  bool installed() const { return installed_; }

 private:
  void readPipe();

  std::function<void()> quit_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool installed_ = false;
  bool fired_ = false;
};

}  // namespace yomira
