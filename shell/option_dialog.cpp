// The main window's side of the settings dialog: filling it from an option record, reading
// it back, the controls that follow a check box, the colour lists, and the text-revise
// entries of the style menu.
#include <string>

#include "platform/shell_env.h"
#include "ui/menu_proxy.h"
#include "shell/main_window.h"
#include "shell/setup_mapping.h"
#include "shell/setup_dialog.h"
#include "sources/flag_guard.h"

namespace yomira {
SetupDialogPort& TForm1::setupDialog() {
  // The port keeps what it is given until its window is built.
  if (!setup_) setup_ = MakeSetupDialog(*this);
  return *setup_;
}

void TForm1::attachSetupDialog(std::unique_ptr<SetupDialogPort> dialog) {
  if (dialog) setup_ = std::move(dialog);
}

void TForm1::ShowOptionInDialog(const TYomiraOption& record, const std::string* styleName) {
  SetupDialogPort& port = setupDialog();
  // Set for the whole fill and cleared however it ends.
  FlagGuard filling(FillingDialog);
  SetupValues v = ShowValuesInPort(record, styleName ? *styleName : StyleName, port);
  port.setValues(v);
  UpdateSetupDependentControls();
  setupShown_ = std::move(v);
  setupFilled_ = true;
}

void TForm1::ApplySetupDialog(TYomiraOption& record) {
  // Nothing was ever shown: there is nothing to read back.
  if (!setupFilled_) return;
  const SetupValues values = setupDialog().values();
  StyleName = values.styleText;
  BuildStyleMenu();
  const std::vector<std::string> messages = ReadValues(values, setupShown_, record);
  record.Validate();
  Option.Assign(record);
  SyncTextReviseMenu(Option);
  LoadTurnSound(record);
  if (messages.empty()) return;
  std::string text;
  for (const std::string& m : messages) text += (text.empty() ? "" : "\n") + m;
  ShowMessage(text);
}

void TForm1::UpdateSetupDependentControls() {
  SetupDialogPort& port = setupDialog();
  for (const auto& [name, on] : DependentStates(port.values())) port.setControlEnabled(name, on);
}

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
  // By the live method; another value leaves both as they are.
  if (Option.ReWrapType == 0 || Option.ReWrapType == 1) {
    check("ActionStyleTextReviseReWrapFixed", Option.ReWrapType == 0);
    check("ActionStyleTextReviseReWrapCompel", Option.ReWrapType == 1);
  }
  // Greyed on the menu entry only: the action keeps its shortcut.
  auto enable = [this](const char* action, bool on) {
    if (MenuProxy* p = menu_.proxy(action)) p->setEnabled(on);
  };
  enable("ActionStyleTextReviseUseToRuby", record.ruby_tag);
  enable("ActionStyleTextReviseReWrapFixed", record.re_wrap);
  enable("ActionStyleTextReviseReWrapCompel", record.re_wrap);
  menu_.mirrorAll();
}

void TForm1::LoadFavoriteColors() {
  SetupDialogPort& port = setupDialog();
  const std::string path = (dataFolder_.empty() ? std::string() : dataFolder_ + "/") + FavoriteColorList::kFileName;
  const std::string message = port.colourLists().LoadFavoriteFile(path);
  port.colourListsChanged();
  if (!message.empty()) ShowMessage(message);
}

void TForm1::AddFavoriteColor(const std::string& combo, TColor colour, const std::string& name) {
  SetupDialogPort& port = setupDialog();
  const int index = SetupColourIndex(combo);
  if (index < 0) return;
  SetupValues v = port.values();
  std::array<uint32_t, 5> shown{};
  for (size_t i = 0; i < shown.size(); ++i) shown[i] = v.colours[i].filledFrom;
  FavoriteColorList& list = port.colourLists();
  const int listed = list.size();
  yomira::AddFavoriteColor(list, v, index, colour, name, shown);
  if (list.size() == listed) return;
  port.colourListsChanged();
  FlagGuard filling(FillingDialog);
  port.setValues(v);
}

std::string TForm1::FitParenText(const std::string& text, int maxWidth) {
  SetupDialogPort& port = setupDialog();
  return yomira::FitParenText(text, maxWidth, [&port](const std::string& s) { return port.textWidth(s); });
}

// The style files' menu entries are built with the style files.

}  // namespace yomira
