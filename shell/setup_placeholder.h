// The settings dialog's place until the dialog exists: never visible.
#pragma once

#include "shell/setup_dialog_port.h"

namespace yomira {

class SetupPlaceholder : public SetupDialogPort {
 public:
  bool isVisible() const override { return false; }
};

}  // namespace yomira
