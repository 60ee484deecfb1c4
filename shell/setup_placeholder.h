// The settings dialog's stand-in: never shown, it keeps what it is given (values, enabled
// states, colour lists), so the main window's fill and apply work without the dialog.
// Tests derive fakes from it.
#pragma once

#include <map>
#include <string>

#include "shell/setup_dialog_port.h"

namespace yomira {

class SetupPlaceholder : public SetupDialogPort {
 public:
  static constexpr int kCharWidth = 7;       // textWidth: per character
  static constexpr int kControlWidth = 150;  // every control

  bool isVisible() const override { return false; }
  void show() override {}
  void setValues(const SetupValues& values) override { values_ = values; }
  SetupValues values() const override { return values_; }
  void setControlEnabled(const std::string& name, bool on) override { enabled_[name] = on; }
  FavoriteColorList& colourLists() override { return colours_; }
  void colourListsChanged() override {}
  int textWidth(const std::string& utf8) const override;
  int controlWidth(const std::string&) const override { return kControlWidth; }

  // The values as the user would leave them: edits go here.
  SetupValues& editableValues() { return values_; }
  // True unless setControlEnabled turned the control off.
  bool controlEnabled(const std::string& name) const;

 private:
  SetupValues values_;
  std::map<std::string, bool> enabled_;
  FavoriteColorList colours_;
};

}  // namespace yomira
