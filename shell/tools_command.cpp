// The tools dialog command: shows the dialog of external tools, filters and shortcuts.
#include "shell/main_window.h"

namespace yomira {

void TForm1::ActionOptionToolsExecute(QObject*) {}

}  // namespace yomira
