// What the main window asks of the settings dialog.
#pragma once

namespace yomira {

class SetupDialogPort {
 public:
  virtual ~SetupDialogPort() = default;
  virtual bool isVisible() const = 0;
};

}  // namespace yomira
