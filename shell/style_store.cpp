#include "shell/style_store.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>

#include "platform/color.h"
#include "platform/ini.h"
#include "platform/text/utf8.h"

namespace yomira {

namespace {

constexpr std::string_view kSection = "Style";

struct BoolKey {
  const char* key;
  uint8_t TYomiraOption::*field;
};
struct IntKey {
  const char* key;
  int32_t TYomiraOption::*field;
};
struct ColourKey {
  const char* key;
  TColor TYomiraOption::*field;
};

// In the order they are read.
constexpr BoolKey kBools[] = {
    {"BGImage", &TYomiraOption::bg_image},   {"Strict", &TYomiraOption::strict},
    {"AutIndent", &TYomiraOption::aut_indent}, {"Animate", &TYomiraOption::page_ani},
    {"LoadImage", &TYomiraOption::images},   {"Ruby", &TYomiraOption::ruby_tag},
    {"UseCover", &TYomiraOption::UseCover},  {"ParseHTML", &TYomiraOption::ParseHTML},
    {"Sound", &TYomiraOption::UseSound},     {"ToRuby", &TYomiraOption::toRuby},
    {"AAText", &TYomiraOption::text_aa},     {"AARuby", &TYomiraOption::ruby_aa},
    {"FontBold", &TYomiraOption::bold},      {"MSS", &TYomiraOption::MSS},
    {"UseShadow", &TYomiraOption::UseShadow}, {"ReWrapText", &TYomiraOption::re_wrap},
};
constexpr IntKey kInts[] = {
    {"FontSize", &TYomiraOption::f_size},  {"RubySize", &TYomiraOption::ruby_size},
    {"LineSpace", &TYomiraOption::s_size}, {"FontSpace", &TYomiraOption::m_size},
    {"TextCols", &TYomiraOption::c_size},  {"TextRow", &TYomiraOption::v_size},
    {"YohakuW", &TYomiraOption::yohaku_w}, {"YohakuH", &TYomiraOption::yohaku_h},
    {"Colum", &TYomiraOption::Colum},      {"YohakuC", &TYomiraOption::yohaku_c},
    {"Page", &TYomiraOption::Page},        {"YohakuP", &TYomiraOption::PageMargin},
};
constexpr ColourKey kColours[] = {
    {"TextColor", &TYomiraOption::text_color}, {"RubyColor", &TYomiraOption::ruby_color},
    {"BGColor", &TYomiraOption::back_color},   {"MSSColor", &TYomiraOption::mss_color},
    {"ShadowColor", &TYomiraOption::ShadowColor},
};

const IntKey& Int(std::string_view key) {
  return *std::find_if(std::begin(kInts), std::end(kInts), [&](const IntKey& k) { return key == k.key; });
}
const BoolKey& Bool(std::string_view key) {
  return *std::find_if(std::begin(kBools), std::end(kBools), [&](const BoolKey& k) { return key == k.key; });
}

bool EndsWithIni(std::string_view name) {
  return name.size() > 4 && EqualsAsciiNoCase(name.substr(name.size() - 4), ".ini");
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

bool IsValidStyleName(std::string_view name) {
  if (name.empty() || name.front() == '.') return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  return IsValidUtf8(name);
}

std::vector<StyleEntry> ScanStyleFolder(const std::string& folder) {
  std::vector<StyleEntry> out;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return out;
  while (const dirent* e = readdir(dir)) {
    const std::string file = e->d_name;
    if (!EndsWithIni(file)) continue;
    struct stat st {};
    // Links are followed: a link to a style file is a style.
    if (stat((folder + "/" + file).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const std::string name = file.substr(0, file.size() - 4);
    if (!IsValidStyleName(name)) continue;
    out.push_back({name, file});
  }
  closedir(dir);
  std::sort(out.begin(), out.end(), [](const StyleEntry& a, const StyleEntry& b) {
    const std::string la = Lower(a.name), lb = Lower(b.name);
    return la != lb ? la < lb : a.name < b.name;
  });
  return out;
}

int FindStyle(const std::vector<StyleEntry>& styles, std::string_view name) {
  for (size_t i = 0; i < styles.size(); ++i)
    if (styles[i].name == name) return static_cast<int>(i);
  for (size_t i = 0; i < styles.size(); ++i)
    if (EqualsAsciiNoCase(styles[i].name, name)) return static_cast<int>(i);
  return -1;
}

bool ReadStyleFile(const std::string& path, const TYomiraOption& live, TYomiraOption& record) {
  IniDoc ini;
  ini.SetStripQuotes(true);
  if (ini.LoadFile(path) != IniDoc::LoadResult::Loaded) return false;
  TYomiraOption r = live;
  for (const BoolKey& k : kBools) {
    const bool def = std::string_view(k.key) == "UseShadow" ? false : live.*k.field != 0;
    r.*k.field = ini.ReadBool(kSection, k.key, def) ? 1 : 0;
  }
  for (const IntKey& k : kInts) {
    const std::string_view key = k.key;
    if (key == "TextRow") {
      r.v_size = static_cast<int32_t>(std::clamp<int64_t>(
          int64_t{2} * ini.ReadInteger(kSection, key, live.v_size / 2), INT32_MIN, INT32_MAX));
    } else {
      r.*k.field = ini.ReadInteger(kSection, key, key == "Page" ? 1 : live.*k.field);
    }
  }
  r.font_family = ini.ReadString(kSection, "JpaFont", live.font_family);
  r.font2family = ini.ReadString(kSection, "EngFont", live.font2family);
  r.bg_image_str = ini.ReadString(kSection, "BGImageSRC", live.bg_image_str);
  r.SoundPath = ini.ReadString(kSection, "WavSRC", live.SoundPath);
  bool coloursOk = true;
  for (const ColourKey& k : kColours) {
    // An absent key reads the live colour as a signed number, as colours are stored.
    const auto c = TryStrToColor(ini.ReadString(kSection, k.key, std::to_string(static_cast<int32_t>(live.*k.field))));
    if (c) r.*k.field = *c;
    else coloursOk = false;
  }
  if (!coloursOk)
    for (const ColourKey& k : kColours) r.*k.field = live.*k.field;
  r.Validate();
  record = r;
  return true;
}

std::string WriteStyleFile(const std::string& path, const TYomiraOption& record) {
  IniDoc ini;
  std::string err;
  if (ini.LoadFile(path, &err) == IniDoc::LoadResult::Unreadable) return err.empty() ? path : err;
  for (const char* key : {"FontSize", "FontSpace", "RubySize", "LineSpace"})
    ini.WriteInteger(kSection, key, record.*Int(key).field);
  ini.WriteInteger(kSection, "TextRow", record.v_size / 2);
  for (const char* key : {"TextCols", "Colum", "YohakuH", "YohakuW", "YohakuC", "Page", "YohakuP"})
    ini.WriteInteger(kSection, key, record.*Int(key).field);
  for (const ColourKey& k : kColours) ini.WriteString(kSection, k.key, ColorToString(record.*k.field));
  ini.WriteString(kSection, "JpaFont", record.font_family);
  ini.WriteString(kSection, "EngFont", record.font2family);
  ini.WriteString(kSection, "BGImageSRC", record.bg_image_str);
  ini.WriteString(kSection, "WavSRC", record.SoundPath);
  for (const char* key : {"BGImage", "Strict", "AutIndent", "ReWrapText", "Animate", "LoadImage", "Ruby",
                          "UseCover", "ParseHTML", "Sound", "ToRuby", "AAText", "AARuby", "FontBold", "MSS",
                          "UseShadow"})
    ini.WriteBool(kSection, key, record.*Bool(key).field != 0);
  return ini.UpdateFile(path);
}

}  // namespace yomira
