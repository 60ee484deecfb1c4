// The tools dialog command: shows the dialog of external tools, filters and shortcuts.
#include "shell/main_window.h"
#include "windows/tools_dialog/tools_dialog.h"

namespace yomira {

void TForm1::ActionOptionToolsExecute(QObject*) {
  ToolsDialogSetup setup{Tools, Filters, actions(), env()};
  setup.owner = this;
  setup.restoreDialogRect = [this](QWidget* w) { RestoreDialogRect(w); };
  setup.saveDialogRect = [this](QWidget* w) { SaveDialogRect(w); };
  setup.buildToolActions = [this] { BuildToolActions(); };
  setup.buildFilterActions = [this] { BuildFilterActions(); };
  TForm4 dialog(std::move(setup));
  dialog.exec();
}

}  // namespace yomira
