// Runs the program's settings load from IN_DIR and its save to OUT_DIR, keeping the loaded
// window position. Exit 0 when both files were written, 1 when a file could not be read or
// written, 2 on a usage error.
#include <cstdio>

#include "shell/settings.h"
#include "tools/tool_help.h"

namespace {
constexpr char kUsage[] = "usage: settings_roundtrip IN_DIR OUT_DIR\n";
}  // namespace

int main(int argc, char** argv) {
  if (yomira::tools::PrintHelpIfAsked(argc, argv, kUsage)) return 0;
  if (argc != 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  yomira::SettingsStore store(argv[1], argv[2]);
  auto loaded = store.load();
  const auto saved = store.save(loaded.model);
  for (const auto& m : loaded.messages) std::fprintf(stderr, "%s\n", m.c_str());
  for (const auto& m : saved) std::fprintf(stderr, "%s\n", m.c_str());
  return loaded.messages.empty() && saved.empty() ? 0 : 1;
}
