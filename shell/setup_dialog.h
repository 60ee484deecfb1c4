// The settings dialog behind the main window's port: it owns the dialog window and answers
// the dialog's questions from the main window.
#pragma once

#include <memory>

#include "shell/setup_dialog_port.h"

namespace yomira {

class TForm1;
class TForm2;

std::unique_ptr<SetupDialogPort> MakeSetupDialog(TForm1& form);

// The dialog window of a port made by MakeSetupDialog (tests, pictures); null for another.
TForm2* SetupDialogWindow(SetupDialogPort& port);

}  // namespace yomira
