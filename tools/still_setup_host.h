// A main window for the settings dialog that holds the default options and changes nothing:
// the gallery's pictures, the benchmark and the window-fit test show the dialog over it.
#pragma once

#include "engine/core/option_defaults.h"
#include "platform/shell_env.h"
#include "windows/settings/settings_dialog_host.h"

namespace yomira::tools {

class StillSetupHost : public SetupDialogHost {
 public:
  bool fillingDialog() const override { return filling; }
  const TYomiraOption& liveOption() const override { return live; }
  void applySetupDialog() override {}
  void showOptionInDialog(const TYomiraOption&, const std::string*) override {}
  void updateSetupDependentControls() override {}
  bool reopenCurrent(bool, int) override { return false; }
  void relayout(bool, bool) override {}
  void setMomentaryToggles(bool, bool, bool) override {}
  std::string currentFileName() const override { return {}; }
  void scanFileList(const std::string&) override {}
  std::vector<std::string> styleNames() const override { return styles; }
  bool styleExists(const std::string&) const override { return false; }
  bool loadStyle(const std::string&, TYomiraOption&) override { return false; }
  bool saveStyle(const std::string&, const SetupValues&) override { return false; }
  QPoint& optionWindowPos() override { return pos; }
  void restoreDialogRect(QWidget*) override {}
  void saveDialogRect(QWidget*) override {}
  ShellEnv& env() override { return desktop; }

  bool filling = true;
  TYomiraOption live = DefaultOptions();
  std::vector<std::string> styles{"day", "Night"};
  QPoint pos{0, 0};
  NullShellEnv desktop;
};

}  // namespace yomira::tools
