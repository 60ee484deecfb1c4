// Changes a main window's state as a settings file would give it: edit gets the model the
// window would save, and the window takes the edited model back the way the start-up does.
#pragma once

#include "shell/main_window.h"
#include "shell/settings.h"

namespace yomira::test {

template <class Edit>
void EditSettings(TForm1& form, Edit edit) {
  SettingsModel m = form.CollectSettings();
  edit(m);
  form.ApplySettings(m);
}

}  // namespace yomira::test
