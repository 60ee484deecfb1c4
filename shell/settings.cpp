#include "shell/settings.h"

#include <algorithm>

#include "engine/core/option_defaults.h"
#include "engine/core/option_keys.h"
#include "platform/color.h"
#include "platform/datafolder.h"
#include "platform/text/utf8.h"
#include "sources/history.h"

namespace yomira {
namespace {

constexpr const char* kOption = "option";
constexpr const char* kBookmark = "bookmark";
constexpr const char* kDialog = "Dialog";
constexpr const char* kOptionWindow = "OptionWindow";
constexpr const char* kRecent = "RecentFiles";
constexpr const char* kMouse = "mouse";
constexpr const char* kXButton = "XButton";
constexpr const char* kColor = "color";

constexpr const char* kDefaultStyleName = "未指定";

struct CheckKey {
  const char* section;
  const char* key;
  bool SettingsChecks::*field;
  bool def;
};

// In the order of reading and writing.
constexpr CheckKey kChecks[] = {
    {kOption, "restart", &SettingsChecks::restart, false},
    {kBookmark, "aut_open", &SettingsChecks::aut_open, false},
    {kOption, "auto_file", &SettingsChecks::auto_file, false},
    {kBookmark, "topmost", &SettingsChecks::topmost, false},
    {kBookmark, "aut_close", &SettingsChecks::aut_close, false},
    {kBookmark, "list_text", &SettingsChecks::list_text, false},
    {kBookmark, "OrderUp", &SettingsChecks::OrderUp, true},
    {kBookmark, "OrderDown", &SettingsChecks::OrderDown, false},
    {kBookmark, "OrderName", &SettingsChecks::OrderName, true},
    {kBookmark, "OrderExt", &SettingsChecks::OrderExt, false},
    {kBookmark, "OrderTime", &SettingsChecks::OrderTime, false},
    {kBookmark, "SameDomain", &SettingsChecks::SameDomain, false},
};

// The click bindings (button + 3 * modifier), the wheel and the extra buttons. Keys 20-22
// are the middle button.
constexpr const char* kClickKeys[9] = {"0", "1", "20", "2", "3", "21", "10", "11", "22"};
constexpr const char* kWheelKeys[6] = {"4", "5", "6", "7", "8", "9"};
constexpr const char* kSideKeys[2] = {"1", "2"};

// Reading positions outside this range would overflow the position arithmetic.
constexpr int32_t kRateMin = -1;
constexpr int32_t kRateMax = 10000;

// Window places and sizes: far beyond any screen, yet a sum or difference of two of them
// still fits an int, as the window arithmetic needs.
int32_t ReadCoordinate(const IniDoc& ini, const char* section, const char* key, int32_t def) {
  constexpr int32_t kLimit = 1 << 24;
  return std::clamp<int32_t>(ini.ReadInteger(section, key, def), -kLimit, kLimit);
}

void ReadRect(const IniDoc& ini, const char* section, IniRect& r, const IniRect& def) {
  r.x = ReadCoordinate(ini, section, "x", def.x);
  r.y = ReadCoordinate(ini, section, "y", def.y);
  r.w = ReadCoordinate(ini, section, "w", def.w);
  r.h = ReadCoordinate(ini, section, "h", def.h);
}

void WriteRect(IniDoc& ini, const char* section, const IniRect& r) {
  ini.WriteInteger(section, "x", r.x);
  ini.WriteInteger(section, "y", r.y);
  ini.WriteInteger(section, "w", r.w);
  ini.WriteInteger(section, "h", r.h);
}

void ReadBindings(const IniDoc& ini, TYomiraOption& o, const TYomiraOption& def) {
  for (int i = 0; i < 9; ++i) o.click[i] = ini.ReadInteger(kMouse, kClickKeys[i], def.click[i]);
  for (int i = 0; i < 6; ++i) o.wheel[i] = ini.ReadInteger(kMouse, kWheelKeys[i], def.wheel[i]);
  for (int i = 0; i < 2; ++i) o.side[i] = ini.ReadInteger(kXButton, kSideKeys[i], def.side[i]);
}

void WriteBindings(IniDoc& ini, const TYomiraOption& o) {
  for (int i = 0; i < 9; ++i) ini.WriteInteger(kMouse, kClickKeys[i], o.click[i]);
  for (int i = 0; i < 6; ++i) ini.WriteInteger(kMouse, kWheelKeys[i], o.wheel[i]);
  for (int i = 0; i < 2; ++i) ini.WriteInteger(kXButton, kSideKeys[i], o.side[i]);
}

const char* SectionOf(const OptionKey& k) { return k.kind == OptionKeyKind::Colour ? kColor : kOption; }

// The option record in file order; the mouse and extra-button sections come just before
// "Resize".
void ReadOption(const IniDoc& ini, TYomiraOption& o) {
  const TYomiraOption def = DefaultOptions();
  for (const OptionKey& k : OptionKeys()) {
    const std::string_view key = k.key;
    if (key == "Resize") ReadBindings(ini, o, def);
    switch (k.kind) {
      case OptionKeyKind::Flag: {
        // UseCover follows the notation switch just read unless it has its own key.
        const bool d = key == "UseCover" ? o.ruby_tag != 0 : def.*(k.flag) != 0;
        o.*(k.flag) = ini.ReadBool(kOption, key, d) ? 1 : 0;
        break;
      }
      case OptionKeyKind::Integer:
        o.*(k.integer) = ini.ReadInteger(kOption, key, def.*(k.integer));
        break;
      case OptionKeyKind::Characters: {
        // The file counts characters, the record half-width cells.
        const int64_t v = int64_t{2} * ini.ReadInteger(kOption, key, def.*(k.integer) / 2);
        o.*(k.integer) = static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
        break;
      }
      case OptionKeyKind::Colour: {
        const TColor d = def.*(k.colour);
        o.*(k.colour) = StrToColorDef(ini.ReadString(kColor, key, ColorToString(d)), d);
        break;
      }
      case OptionKeyKind::String: {
        const bool cp932 = IsCp932OptionKey(key);
        const std::string& d = def.*(k.string);
        const std::string v = ini.ReadString(kOption, key, cp932 ? Cp932ToUtf8(d) : d);
        o.*(k.string) = cp932 ? Utf8ToCp932(v) : v;
        break;
      }
    }
  }
}

void WriteOption(IniDoc& ini, const TYomiraOption& o) {
  for (const OptionKey& k : OptionKeys()) {
    const std::string_view key = k.key;
    if (key == "Resize") WriteBindings(ini, o);
    const char* section = SectionOf(k);
    switch (k.kind) {
      case OptionKeyKind::Flag:
        ini.WriteBool(section, key, o.*(k.flag) != 0);
        break;
      case OptionKeyKind::Integer:
        ini.WriteInteger(section, key, o.*(k.integer));
        break;
      case OptionKeyKind::Characters:
        ini.WriteInteger(section, key, o.*(k.integer) / 2);
        break;
      case OptionKeyKind::Colour:
        ini.WriteString(section, key, ColorToString(o.*(k.colour)));
        break;
      case OptionKeyKind::String: {
        const std::string& v = o.*(k.string);
        ini.WriteString(section, key, IsCp932OptionKey(key) ? Cp932ToUtf8(v) : v);
        break;
      }
    }
  }
}

void ReadHistory(const IniDoc& ini, FileItemList& history) {
  history.clear();
  // From the bottom up: each entry goes to the top, so the saved order comes back.
  for (int n = kHistoryMax - 1; n >= 0; --n) {
    const std::string num = std::to_string(n);
    if (ini.ReadString(kRecent, "file" + num, "").empty()) continue;
    int32_t rate = ini.ReadInteger(kRecent, "rate" + num, 0);
    if (rate < kRateMin || rate > kRateMax) rate = 0;
    const std::string file = ini.ReadString(kRecent, "file" + num, "");
    const std::string url = ini.ReadString(kRecent, "url" + num, "");
    const std::string title = ini.ReadString(kRecent, "index" + num, "");
    const int16_t kind = static_cast<int16_t>(ini.ReadInteger(kRecent, "type" + num, 0));
    AddHistory(history, kind, 0, title, "", "", url, file, rate);
  }
}

void WriteHistory(IniDoc& ini, const FileItemList& history) {
  // Erased and written anew, so no stale entry survives.
  ini.EraseSection(kRecent);
  for (size_t i = 0; i < history.size(); ++i) {
    if (!history[i]) continue;
    const TFileItem& e = *history[i];
    const std::string num = std::to_string(i);
    ini.WriteInteger(kRecent, "type" + num, e.Kind);
    ini.WriteInteger(kRecent, "rate" + num, e.Rate);
    ini.WriteString(kRecent, "file" + num, e.Path);
    ini.WriteString(kRecent, "url" + num, e.Href);
    ini.WriteString(kRecent, "index" + num, e.Title);
  }
}

std::string JoinPath(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string UnreadableMessage(const std::string& path) {
  return "[ " + path + " ]\nファイルが読み込めませんでした。";
}

std::string UnwritableMessage(const std::string& path) {
  return "[ " + path + " ]\n設定を保存できませんでした。";
}

}  // namespace

SettingsModel SettingsModel::Initial() {
  SettingsModel m;
  // The main window's designed place; the dialogs start 20 pixels inside it.
  m.mainPos = {189, 132};
  m.dialogRect = {m.mainPos.x + 20, m.mainPos.y + 20, 0, 0};
  m.optionWindowPos = {m.mainPos.x + 20, m.mainPos.y + 20};
  m.option = DefaultOptions();
  m.shortcuts = DefaultShortcuts();
  return m;
}

void LoadSettings(const IniDoc& ini, const IniDoc& keys, SettingsModel& model) {
  model.mainPos.y = ReadCoordinate(ini, kOption, "y", 128);
  model.mainPos.x = ReadCoordinate(ini, kOption, "x", 128);
  model.styleName = ini.ReadString(kOption, "PageStyleName", kDefaultStyleName);
  ReadRect(ini, kBookmark, model.bookRect, {192, 192, 200, 300});
  // The default place is written back by every run that never showed the window: only
  // another place is one the user gave it.
  model.bookRectSaved = ini.ValueExists(kBookmark, "x") && ini.ValueExists(kBookmark, "y") &&
                        !(model.bookRect.x == 192 && model.bookRect.y == 192);
  ReadRect(ini, kDialog, model.dialogRect, model.dialogRect);
  model.optionWindowPos.x = ReadCoordinate(ini, kOptionWindow, "x", model.optionWindowPos.x);
  model.optionWindowPos.y = ReadCoordinate(ini, kOptionWindow, "y", model.optionWindowPos.y);
  for (const CheckKey& c : kChecks) model.checks.*(c.field) = ini.ReadBool(c.section, c.key, c.def);

  // The file list needs a direction and a sort key.
  SettingsChecks& ch = model.checks;
  if (!ch.OrderUp && !ch.OrderDown) ch.OrderUp = true;
  if (!ch.OrderName && !ch.OrderExt && !ch.OrderTime) ch.OrderName = true;

  ReadHistory(ini, model.history);
  ReadOption(ini, model.option);
  model.option.Validate();
  LoadKeys(keys, model.shortcuts);
  LoadTools(ini, model.tools, model.filters);
}

void SaveSettings(const SettingsModel& model, IniDoc& ini, IniDoc& keys) {
  ini.WriteInteger(kOption, "x", model.mainPos.x);
  ini.WriteInteger(kOption, "y", model.mainPos.y);
  ini.WriteString(kOption, "PageStyleName", model.styleName);
  WriteRect(ini, kBookmark, model.bookRect);
  WriteRect(ini, kDialog, model.dialogRect);
  ini.WriteInteger(kOptionWindow, "x", model.optionWindowPos.x);
  ini.WriteInteger(kOptionWindow, "y", model.optionWindowPos.y);
  for (const CheckKey& c : kChecks) ini.WriteBool(c.section, c.key, model.checks.*(c.field));
  WriteHistory(ini, model.history);
  WriteOption(ini, model.option);
  SaveKeys(model.shortcuts, keys);
  SaveTools(ini, model.tools, model.filters);
}

SettingsStore::SettingsStore(std::string loadFolder, std::string saveFolder)
    : loadFolder_(std::move(loadFolder)), saveFolder_(std::move(saveFolder)) {}

std::string SettingsStore::settingsPath(bool forSave) const {
  return JoinPath(forSave ? saveFolder_ : loadFolder_, kSettingsFileName);
}

std::string SettingsStore::keyPath(bool forSave) const {
  return JoinPath(forSave ? saveFolder_ : loadFolder_, kKeyFileName);
}

SettingsStore::Loaded SettingsStore::load() { return load(SettingsModel::Initial()); }

SettingsStore::Loaded SettingsStore::load(SettingsModel initial) {
  Loaded out{std::move(initial), {}};
  iniUnreadable_ = ini_.LoadFile(settingsPath(false)) == IniDoc::LoadResult::Unreadable;
  if (iniUnreadable_) out.messages.push_back(UnreadableMessage(settingsPath(false)));
  keysUnreadable_ = keys_.LoadFile(keyPath(false)) == IniDoc::LoadResult::Unreadable;
  if (keysUnreadable_) out.messages.push_back(UnreadableMessage(keyPath(false)));
  LoadSettings(ini_, keys_, out.model);
  return out;
}

std::vector<std::string> SettingsStore::save(const SettingsModel& model) {
  std::vector<std::string> messages;
  try {
    SaveSettings(model, ini_, keys_);
  } catch (const std::exception&) {
    // Out of memory while building the documents: nothing is written, both are reported.
    return {UnwritableMessage(settingsPath(true)), UnwritableMessage(keyPath(true))};
  }
  std::string err;
  const bool folderOk = EnsureFolder(saveFolder_.empty() ? "." : saveFolder_, &err);
  // A file that could not be read keeps its content: writing defaults over it would lose it.
  if (!iniUnreadable_ && (!folderOk || !ini_.UpdateFile(settingsPath(true)).empty()))
    messages.push_back(UnwritableMessage(settingsPath(true)));
  if (!keysUnreadable_ && (!folderOk || !keys_.UpdateFile(keyPath(true)).empty()))
    messages.push_back(UnwritableMessage(keyPath(true)));
  return messages;
}

}  // namespace yomira
