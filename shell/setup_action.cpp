// The settings command: fills the settings dialog from the live record and shows it beside
// the main window.
#include "shell/main_window.h"

namespace yomira {
void TForm1::ActionOptionSetupExecute(QObject*) {
  // favorite.dat is read once.
  if (!session_.favoriteColorsLoaded) {
    session_.favoriteColorsLoaded = true;
    LoadFavoriteColors();
  }
  BuildStyleMenu();
  ShowOptionInDialog(Option);
  setupDialog().show();
}

}  // namespace yomira
