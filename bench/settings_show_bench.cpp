// Settings dialog: one showing (the font lists enumerated through fontconfig, the style
// list) and one fill from an option record. Run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QComboBox>

#include <chrono>
#include <cstdio>

#include "engine/core/option_defaults.h"
#include "platform/shell_env.h"
#include "windows/settings/settings_dialog.h"
#include "windows/settings/settings_dialog_host.h"

namespace {

using namespace yomira;

// A main window that holds the default options and styles of its own.
class BenchHost : public SetupDialogHost {
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
  std::vector<std::string> styleNames() const override { return {"day", "Night"}; }
  bool styleExists(const std::string&) const override { return false; }
  bool loadStyle(const std::string&, TYomiraOption&) override { return false; }
  bool saveStyle(const std::string&, const SetupValues&) override { return false; }
  QPoint& optionWindowPos() override { return pos; }
  void restoreDialogRect(QWidget*) override {}
  void saveDialogRect(QWidget*) override {}
  ShellEnv& env() override { return desktop; }

  bool filling = false;
  TYomiraOption live = DefaultOptions();
  QPoint pos{0, 0};
  NullShellEnv desktop;
};

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  BenchHost host;
  TForm2 dialog(host, nullptr);
  SetupValues values = dialog.values();
  values.styleText = "day";
  for (int& s : values.spins) s = 16;

  auto t = std::chrono::steady_clock::now();
  dialog.show();
  const double show = Ms(t);
  dialog.hide();
  t = std::chrono::steady_clock::now();
  dialog.show();
  const double again = Ms(t);

  host.filling = true;
  t = std::chrono::steady_clock::now();
  dialog.setValues(values);
  const double fill = Ms(t);

  std::printf("settings first-show-ms=%.2f show-ms=%.2f fill-ms=%.3f fonts=%d\n", show, again, fill,
              dialog.ComboBoxFont1ByteName->count());
  return 0;
}
