// Placeholders for the settings-dialog mapping until it is built.
#include "shell/main_window.h"

namespace yomira {

void TForm1::LoadFavoriteColors() {}
void TForm1::BuildStyleMenu() {}
void TForm1::ShowOptionInDialog(const TYomiraOption&, const std::string*) {}

}  // namespace yomira
