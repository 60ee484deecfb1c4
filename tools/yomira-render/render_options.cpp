#include "render_options.h"

#include "engine/core/option_keys.h"
#include "platform/color.h"
#include "platform/ini.h"

namespace yomira::tools {

std::string ApplySet(TYomiraOption& option, std::string_view assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string_view::npos || eq == 0) return "expected KEY=VALUE: " + std::string(assignment);
  return SetOptionByKey(option, assignment.substr(0, eq), assignment.substr(eq + 1));
}

std::string ApplyIniFile(TYomiraOption& option, const std::string& path) {
  IniDoc doc;
  std::string err;
  if (doc.LoadFile(path, &err) != IniDoc::LoadResult::Loaded)
    return "cannot read " + path + (err.empty() ? "" : ": " + err);
  for (const OptionKey& key : OptionKeys()) {
    const char* section = key.kind == OptionKeyKind::Colour ? "color" : "option";
    if (!doc.ValueExists(section, key.key)) continue;
    const std::string value = doc.ReadString(section, key.key, "");
    std::string error = SetOptionByKey(option, key.key, value);
    if (!error.empty() && key.kind == OptionKeyKind::Colour) {
      // The settings file also names colours ("clWindowText").
      constexpr uint32_t kNone = 0xFFFFFFFFu;
      const uint32_t colour = StrToColorDef(value, kNone);
      if (colour != kNone) {
        option.*(key.colour) = colour;
        error.clear();
      }
    }
    if (!error.empty()) return path + ": " + error;
  }
  return "";
}

}  // namespace yomira::tools
