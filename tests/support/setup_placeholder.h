// A settings dialog for the main window's tests: never shown, it keeps what it is given
// (values, enabled states, colour lists, style names) and measures text at a fixed width a
// character. Tests derive fakes from it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/text/utf8.h"
#include "shell/setup_dialog_port.h"

namespace yomira::test {

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
  int textWidth(const std::string& utf8) const override { return Utf8CharCount(utf8) * kCharWidth; }
  int controlWidth(const std::string&) const override { return kControlWidth; }
  void setStyleNames(const std::vector<std::string>& names) override { styleNames = names; }

  // The values as the user would leave them: edits go here.
  SetupValues& editableValues() { return values_; }
  // True unless setControlEnabled turned the control off.
  bool controlEnabled(const std::string& name) const {
    const auto it = enabled_.find(name);
    return it == enabled_.end() || it->second;
  }
  std::vector<std::string> styleNames;

 private:
  SetupValues values_;
  std::map<std::string, bool> enabled_;
  FavoriteColorList colours_;
};

}  // namespace yomira::test
