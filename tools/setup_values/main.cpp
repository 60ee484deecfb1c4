// Prints, control by control, what the settings dialog shows for DATA_DIR's settings and
// favorite.dat; applies --set edits as a user would, --apply reads the dialog back as Apply
// does and fills it again, --out writes the settings and key files into OUT_DIR as the
// program does at close. Exit 0; 1 when a settings file could not be read or written; 2 on
// a usage error, an unknown control or a value the control cannot take.
#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell_env.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "shell/settings.h"
#include "shell/setup_mapping.h"
#include "shell/turn_sound.h"
#include "tools/tool_help.h"

namespace {

using namespace yomira;


// No window and no font: the path captions are fitted at a fixed width a character into
// labels of a fixed width.
constexpr int kCharWidth = 7;
constexpr int kLabelWidth = 150;

void FitCaptions(SetupValues& v) {
  FillPathCaptions(v, {kLabelWidth, kLabelWidth}, [](const std::string& s) { return Utf8CharCount(s) * kCharWidth; });
}

// What the dialog shows for record; colours it does not list join list.
SetupValues Show(const TYomiraOption& record, const std::string& styleName, FavoriteColorList& list) {
  SetupValues v = ShowValues(record, styleName, list);
  FitCaptions(v);
  return v;
}

constexpr char kUsage[] = "usage: setup_values DATA_DIR [--set NAME=VALUE]... [--apply] [--out OUT_DIR]\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (const char c : s) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

// One user edit; an error text when the control does not exist or cannot take the value.
std::string Edit(SetupValues& v, const FavoriteColorList& list, const std::string& name, const std::string& value) {
  if (name == "ComboBoxStyle") {
    v.styleText = value;
  } else if (bool* check = v.check(name)) {
    if (value != "0" && value != "1") return name + ": a check box takes 0 or 1, not \"" + value + "\"";
    *check = value == "1";
  } else if (int32_t* spin = v.spin(name)) {
    const auto n = TryStrToIntDecimal(value);
    if (!n) return name + ": not a decimal number: \"" + value + "\"";
    const SetupSpinEdit& range = kSetupSpinEdits[static_cast<size_t>(SetupSpinIndex(name))];
    *spin = std::clamp(*n, range.min, range.max);
  } else if (SetupPathValue* path = v.path(name)) {
    path->filePath = value;
    FitCaptions(v);
  } else if (name == "ComboBoxFont2ByteName") {
    v.font2ByteName = value;
  } else if (name == "ComboBoxFont1ByteName") {
    v.font1ByteName = value;
  } else if (SetupColourValue* colour = v.colour(name)) {
    const int index = list.IndexOf(value);
    if (index < 0) return name + ": \"" + value + "\" is not an entry of the colour list";
    colour->selected = index;
    colour->tag = index;
    colour->text = list.entries()[static_cast<size_t>(index)].text;
  } else if (std::string* item = v.item(name)) {
    const std::vector<std::string>& pick = PickList(name);
    if (!pick.empty() && std::find(pick.begin(), pick.end(), value) == pick.end())
      return name + ": \"" + value + "\" is not an entry of its pick list";
    *item = value;
  } else {
    return "unknown control: " + name;
  }
  return "";
}

void Print(const SetupValues& v, const FavoriteColorList& list, const std::vector<std::string>& messages) {
  auto line = [](const std::string& s) { std::printf("%s\n", s.c_str()); };
  line("ComboBoxStyle\t" + Escape(v.styleText));
  for (size_t i = 0; i < v.checks.size(); ++i) line(std::string(kSetupCheckBoxes[i]) + "\t" + (v.checks[i] ? "1" : "0"));
  for (size_t i = 0; i < v.spins.size(); ++i)
    line(std::string(kSetupSpinEdits[i].name) + "\t" + std::to_string(v.spins[i]));
  for (size_t i = 0; i < v.paths.size(); ++i) line(std::string(kSetupPathLabels[i]) + "\t" + Escape(v.paths[i].filePath));
  line("ComboBoxFont2ByteName\t" + Escape(v.font2ByteName));
  line("ComboBoxFont1ByteName\t" + Escape(v.font1ByteName));
  for (size_t i = 0; i < v.colours.size(); ++i)
    line(std::string(kSetupColourCombos[i]) + "\t" + Escape(v.colours[i].text) + "\t" +
         std::to_string(v.colours[i].selected));
  for (size_t i = 0; i < v.items.size(); ++i) line(std::string(kSetupGridItems[i].name) + "\t" + Escape(v.items[i]));
  for (const auto& [name, on] : DependentStates(v)) line("enabled\t" + name + "\t" + (on ? "1" : "0"));
  for (size_t i = 0; i < list.entries().size(); ++i)
    line("colour\t" + std::to_string(i) + "\t" + Escape(list.entries()[i].text) + "\t" +
         Escape(list.entries()[i].name));
  for (const std::string& m : messages) line("message\t" + Escape(m));
}

}  // namespace

int main(int argc, char** argv) {
  if (yomira::tools::PrintHelpIfAsked(argc, argv, kUsage)) return 0;
  std::string dataDir, outDir;
  std::vector<std::pair<std::string, std::string>> edits;
  bool apply = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--set" || a == "--out") {
      if (i + 1 >= argc) return Usage();
      const std::string v = argv[++i];
      if (a == "--out") {
        outDir = v;
        continue;
      }
      const size_t eq = v.find('=');
      if (eq == std::string::npos || eq == 0) return Usage();
      edits.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    } else if (a == "--apply") {
      apply = true;
    } else if (!a.empty() && a[0] != '-' && dataDir.empty()) {
      dataDir = a;
    } else {
      return Usage();
    }
  }
  if (dataDir.empty()) return Usage();

  SettingsStore store(dataDir, outDir.empty() ? dataDir : outDir);
  SettingsStore::Loaded loaded = store.load();
  for (const std::string& m : loaded.messages) std::fprintf(stderr, "setup_values: %s\n", m.c_str());
  if (!loaded.messages.empty()) return 1;
  TYomiraOption& live = loaded.model.option;
  std::string& styleName = loaded.model.styleName;

  FavoriteColorList colours;
  std::vector<std::string> messages;
  const std::string favourite = colours.LoadFavoriteFile(dataDir + "/" + FavoriteColorList::kFileName);
  if (!favourite.empty()) messages.push_back(favourite);

  SetupValues shown = Show(live, styleName, colours);
  SetupValues values = shown;
  for (const auto& [name, value] : edits) {
    const std::string err = Edit(values, colours, name, value);
    if (!err.empty()) {
      std::fprintf(stderr, "setup_values: %s\n", err.c_str());
      return 2;
    }
  }

  if (apply) {
    styleName = values.styleText;
    const std::vector<std::string> read = ReadValues(values, shown, live);
    live.Validate();
    NullShellEnv env;
    std::string sound;
    LoadTurnSound(live, sound, env);
    // One message box for all that the read-back reported.
    std::string text;
    for (const std::string& m : read) text += (text.empty() ? "" : "\n") + m;
    if (!text.empty()) messages.push_back(text);
    shown = Show(live, styleName, colours);
    values = shown;
  }

  if (!outDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    const std::vector<std::string> saved = store.save(loaded.model);
    for (const std::string& m : saved) std::fprintf(stderr, "setup_values: %s\n", m.c_str());
    if (!saved.empty()) return 1;
  }
  Print(values, colours, messages);
  return 0;
}
