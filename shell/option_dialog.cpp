// The option record against the settings dialog and the style menu.
#include "shell/actions/menu_proxy.h"
#include "shell/main_window.h"
#include "shell/setup_dialog_port.h"

namespace yomira {

void TForm1::SyncTextReviseMenu(const TYomiraOption& record) {
  auto check = [this](const char* name, bool on) { actions_.at(name).checked = on; };
  check("ActionStyleTextReviseUseAozora", record.ruby_tag);
  check("ActionStyleTextReviseParseHTML", record.ParseHTML);
  check("ActionStyleTextReviseUseCover", record.UseCover);
  check("ActionStyleTextReviseUseAutoIndent", record.aut_indent);
  check("ActionStyleTextReviseUseYomiraTag", record.images);
  check("ActionStyleTextReviseUseStrict", record.strict);
  check("ActionStyleTextReviseUseReWrap", record.re_wrap);
  check("ActionStyleTextReviseUseToRuby", record.toRuby);
  // The method of the live record; another value changes neither.
  if (Option.ReWrapType == 0 || Option.ReWrapType == 1) {
    check("ActionStyleTextReviseReWrapFixed", Option.ReWrapType == 0);
    check("ActionStyleTextReviseReWrapCompel", Option.ReWrapType == 1);
  }
  // Greying the entries leaves their actions, and so their keys, working.
  auto enable = [this](const char* item, bool on) {
    if (QAction* a = menu_.items.count(item) ? menu_.items.at(item) : nullptr) a->setEnabled(on);
  };
  enable("MenuStyleTextReviseUseToRuby", record.ruby_tag);
  enable("MenuStyleTextReviseReWrapFixed", record.re_wrap);
  enable("MenuStyleTextReviseReWrapCompel", record.re_wrap);
  menu_.mirrorAll();
}

// The dialog is filled when it exists.
void TForm1::ShowOptionInDialog(const TYomiraOption&, const std::string*) {}

void TForm1::attachSetupDialog(std::unique_ptr<SetupDialogPort> port) {
  if (port) setup_ = std::move(port);
}

}  // namespace yomira
