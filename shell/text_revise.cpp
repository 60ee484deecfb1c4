// The text-revise toggles: the momentary ones act on the open document only, the style
// ones change the option record (saved at exit) and the document with it; the re-wrap
// method; the style submenu's checks as it opens.
#include <QMenu>

#include "ui/menu_proxy.h"
#include "ui/guard.h"
#include "shell/main_window.h"

namespace yomira {

void TForm1::bindTextReviseActions() {
  bindAction("ActionMomentaryAutoIndent", &TForm1::ActionMomentaryAutoIndentExecute);
  bindAction("ActionMomentaryReWrap", &TForm1::ActionMomentaryReWrapExecute);
  bindAction("ActionMomentaryToRuby", &TForm1::ActionMomentaryToRubyExecute);
  bindAction("ActionStyleTextReviseUseAozora", &TForm1::ActionStyleTextReviseUseAozoraExecute);
  bindAction("ActionStyleTextReviseParseHTML", &TForm1::ActionStyleTextReviseParseHTMLExecute);
  bindAction("ActionStyleTextReviseUseCover", &TForm1::ActionStyleTextReviseUseCoverExecute);
  bindAction("ActionStyleTextReviseUseAutoIndent", &TForm1::ActionStyleTextReviseUseAutoIndentExecute);
  bindAction("ActionStyleTextReviseUseYomiraTag", &TForm1::ActionStyleTextReviseUseYomiraTagExecute);
  bindAction("ActionStyleTextReviseUseStrict", &TForm1::ActionStyleTextReviseUseStrictExecute);
  bindAction("ActionStyleTextReviseUseReWrap", &TForm1::ActionStyleTextReviseUseReWrapExecute);
  bindAction("ActionStyleTextReviseUseToRuby", &TForm1::ActionStyleTextReviseUseToRubyExecute);
  bindAction("ActionStyleTextReviseReWrapFixed", &TForm1::ActionStyleTextReviseReWrapFixedExecute);
  bindAction("ActionStyleTextReviseReWrapCompel", &TForm1::ActionStyleTextReviseReWrapCompelExecute);
  QMenu* style = menu_.submenus.at("MenuStyle");
  connect(style, &QMenu::aboutToShow, this, [this] { guarded([this] { MenuStyleClick(); }); });
}

void TForm1::MenuStyleClick() { SyncTextReviseMenu(Option); }

void TForm1::ToggleMomentary(const char* actionName, bool ConvertSwitches::*field) {
  if (!IsLaidOut()) return;
  bool& on = Engine_.switches.*field;
  on = !on;
  actions_.at(actionName).checked = on;
  // A key reaches no menu entry: show the new state there too.
  menu_.mirrorAll();
  RelayoutKeepingPlace(false, true);
}

void TForm1::ToggleStyle(const char* actionName, uint8_t TYomiraOption::*field, bool geometry) {
  // The field decides, not the check: a style applied meanwhile may have left the check
  // stale.
  Option.*field = Option.*field ? 0 : 1;
  actions_.at(actionName).checked = Option.*field != 0;
  menu_.mirrorAll();
  if (IsLaidOut()) RelayoutKeepingPlace(geometry, true);
}

void TForm1::SetReWrapType(int type, bool geometry) {
  if (!Option.re_wrap) return;
  Option.ReWrapType = type;
  if (IsLaidOut()) RelayoutKeepingPlace(geometry, true);
}

void TForm1::ActionMomentaryAutoIndentExecute(QObject*) {
  ToggleMomentary("ActionMomentaryAutoIndent", &ConvertSwitches::autoIndent);
}
void TForm1::ActionMomentaryReWrapExecute(QObject*) { ToggleMomentary("ActionMomentaryReWrap", &ConvertSwitches::reWrap); }
void TForm1::ActionMomentaryToRubyExecute(QObject*) { ToggleMomentary("ActionMomentaryToRuby", &ConvertSwitches::toRuby); }

void TForm1::ActionStyleTextReviseUseAozoraExecute(QObject*) {
  ToggleStyle("ActionStyleTextReviseUseAozora", &TYomiraOption::ruby_tag, false);
}
void TForm1::ActionStyleTextReviseParseHTMLExecute(QObject*) {
  ToggleStyle("ActionStyleTextReviseParseHTML", &TYomiraOption::ParseHTML, false);
}
void TForm1::ActionStyleTextReviseUseCoverExecute(QObject*) {
  ToggleStyle("ActionStyleTextReviseUseCover", &TYomiraOption::UseCover, true);
}
void TForm1::ActionStyleTextReviseUseAutoIndentExecute(QObject*) {
  ToggleStyle("ActionStyleTextReviseUseAutoIndent", &TYomiraOption::aut_indent, false);
}
void TForm1::ActionStyleTextReviseUseYomiraTagExecute(QObject*) {
  ToggleStyle("ActionStyleTextReviseUseYomiraTag", &TYomiraOption::images, false);
}
void TForm1::ActionStyleTextReviseUseStrictExecute(QObject*) {
  ToggleStyle("ActionStyleTextReviseUseStrict", &TYomiraOption::strict, false);
}
void TForm1::ActionStyleTextReviseUseReWrapExecute(QObject*) {
  ToggleStyle("ActionStyleTextReviseUseReWrap", &TYomiraOption::re_wrap, false);
}
void TForm1::ActionStyleTextReviseUseToRubyExecute(QObject*) {
  ToggleStyle("ActionStyleTextReviseUseToRuby", &TYomiraOption::toRuby, false);
}
void TForm1::ActionStyleTextReviseReWrapFixedExecute(QObject*) { SetReWrapType(0, true); }
void TForm1::ActionStyleTextReviseReWrapCompelExecute(QObject*) { SetReWrapType(1, false); }

}  // namespace yomira
