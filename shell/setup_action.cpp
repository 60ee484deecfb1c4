// The settings command: fills the settings dialog from the live record and shows it beside
// the main window.
#include "shell/main_window.h"

namespace yomira {
namespace {

bool& FavoriteColorsLoaded() {
  static bool loaded = false;  // favorite.dat is read once per run
  return loaded;
}

}  // namespace

void TForm1::ActionOptionSetupExecute(QObject*) {
  if (!FavoriteColorsLoaded()) {
    FavoriteColorsLoaded() = true;
    LoadFavoriteColors();
  }
  BuildStyleMenu();
  ShowOptionInDialog(Option);
  setupDialog().show();
}

}  // namespace yomira
