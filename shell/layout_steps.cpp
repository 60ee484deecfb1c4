// The layout steps: characters per line, lines per block, font and ruby size; each keeps
// the text the view began with in view. Each stays inside the range the record is validated to.
#include "shell/main_window.h"
#include "shell/setup_dialog_port.h"
#include "sources/history.h"

#include <algorithm>

namespace yomira {

void TForm1::bindLayoutSteps() {
  bindAction("ActionWindowRowUp", &TForm1::ActionWindowRowUpExecute);
  bindAction("ActionWindowRowDown", &TForm1::ActionWindowRowDownExecute);
  bindAction("ActionWindowColUp", &TForm1::ActionWindowColUpExecute);
  bindAction("ActionWindowColDown", &TForm1::ActionWindowColDownExecute);
  bindAction("ActionWindowFontUp", &TForm1::ActionWindowFontUpExecute);
  bindAction("ActionWindowFontDown", &TForm1::ActionWindowFontDownExecute);
  bindAction("ActionWindowRubyUp", &TForm1::ActionWindowRubyUpExecute);
  bindAction("ActionWindowRubyDown", &TForm1::ActionWindowRubyDownExecute);
}

void TForm1::StepLayout(int32_t TYomiraOption::*field, int delta, int limit, bool grid) {
  if (!IsLaidOut()) return;
  int32_t& value = Option.*field;
  if (delta > 0 ? value >= limit : value <= limit) return;
  // An odd cell count from the file would step past the limit.
  value = delta > 0 ? std::min(value + delta, limit) : std::max(value + delta, limit);
  // Where the view holds no text, grid steps keep the saved reading position.
  if (grid) PendingRate = GetHistoryPosition(RecentFiles);
  RelayoutKeepingPlace(true, grid);
  if (setupDialog().isVisible()) ShowOptionInDialog(Option);
}

void TForm1::ActionWindowRowUpExecute(QObject*) { StepLayout(&TYomiraOption::v_size, 2, 512, true); }
void TForm1::ActionWindowRowDownExecute(QObject*) { StepLayout(&TYomiraOption::v_size, -2, 10, true); }
void TForm1::ActionWindowColUpExecute(QObject*) { StepLayout(&TYomiraOption::c_size, 1, 256, true); }
void TForm1::ActionWindowColDownExecute(QObject*) { StepLayout(&TYomiraOption::c_size, -1, 5, true); }
void TForm1::ActionWindowFontUpExecute(QObject*) { StepLayout(&TYomiraOption::f_size, 1, 256, false); }
void TForm1::ActionWindowFontDownExecute(QObject*) { StepLayout(&TYomiraOption::f_size, -1, 6, false); }
void TForm1::ActionWindowRubyUpExecute(QObject*) { StepLayout(&TYomiraOption::ruby_size, 1, 256, false); }
void TForm1::ActionWindowRubyDownExecute(QObject*) { StepLayout(&TYomiraOption::ruby_size, -1, 0, false); }

}  // namespace yomira
