// What the main window asks of the settings dialog.
#pragma once

namespace yomira {

class SetupDialogPort {
 public:
  virtual ~SetupDialogPort() = default;
  virtual bool isVisible() const = 0;
  // Shows the dialog without blocking.
  virtual void show() = 0;
};

// Stands for the settings dialog until the real one is attached: hidden, it only keeps
// whether it was asked to show.
class SetupPlaceholder : public SetupDialogPort {
 public:
  bool isVisible() const override { return shown_; }
  void show() override { shown_ = true; }

 private:
  bool shown_ = false;
};

}  // namespace yomira
