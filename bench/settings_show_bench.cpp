// Settings dialog: one showing (the font lists enumerated through fontconfig, the style
// list) and one fill from an option record. Run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QComboBox>

#include <chrono>
#include <cstdio>

#include "windows/settings/settings_dialog.h"
#include "tools/still_setup_host.h"

namespace {

using namespace yomira;

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  tools::StillSetupHost host;
  host.filling = false;
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
