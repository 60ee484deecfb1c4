// The settings file and the key file: what lasts from one run to the next, apart from
// styles, favourite colours and bookmarks. No Qt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/option.h"
#include "platform/ini.h"
#include "ui/key_table.h"
#include "sources/file_item.h"
#include "sources/tool_item.h"

namespace yomira {

struct IniPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const IniPoint&) const = default;
};

// Four numbers as the file keeps them; what w and h mean depends on the section.
struct IniRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t w = 0;
  int32_t h = 0;
  bool operator==(const IniRect&) const = default;
};

// The check states the settings file keeps, named by their keys.
struct SettingsChecks {
  bool restart = false;     // ActionOptionCreateFileOpen
  bool aut_open = false;    // ActionOptionCreateBook
  bool auto_file = false;   // ActionOptionBookAutoOpen
  bool topmost = false;     // ActionOptionBookStayOnTop
  bool aut_close = false;   // ActionOptionBookAutoClose
  bool list_text = false;   // ActionBookTextIndex
  bool OrderUp = false;     // ActionFileListOrderUp
  bool OrderDown = false;   // ActionFileListOrderDown
  bool OrderName = false;   // ActionFileListOrderName
  bool OrderExt = false;    // ActionFileListOrderExt
  bool OrderTime = false;   // ActionFileListOrderTime
  bool SameDomain = false;  // ActionLinkListSameDomain
  bool operator==(const SettingsChecks&) const = default;
};

struct SettingsModel {
  IniPoint mainPos;          // main window left, top (the position before full screen)
  std::string styleName;     // UTF-8
  IniRect bookRect;          // book window left, top, width, height
  bool bookRectSaved = false;  // the file held the book window's place
  IniRect dialogRect;        // open dialogs: left, top, right, bottom
  IniPoint optionWindowPos;  // settings dialog left, top
  SettingsChecks checks;
  FileItemList history;      // top (the current document) first
  TYomiraOption option;
  ShortcutMap shortcuts;     // by action name
  ToolItemList tools;
  ToolItemList filters;

  // The values before loading: the main window's designed place and the positions derived
  // from it, the first-start option record and the designed shortcuts.
  static SettingsModel Initial();
};

// Fills model from the settings and key files: the window places, the check states, the
// history, the option record (validated), the shortcuts and the tools. Keys that are
// missing give the defaults; the dialog and settings-dialog places and the shortcuts
// default to the model's current values.
void LoadSettings(const IniDoc& ini, const IniDoc& keys, SettingsModel& model);

// Writes model into the two documents, keeping what else they hold.
void SaveSettings(const SettingsModel& model, IniDoc& ini, IniDoc& keys);

// The two files of a folder: loads from one folder and saves to another (the same one in
// the program). A file that exists but cannot be read is never written over.
class SettingsStore {
 public:
  SettingsStore(std::string loadFolder, std::string saveFolder);

  struct Loaded {
    SettingsModel model;
    std::vector<std::string> messages;  // one per unreadable file, to show the user
  };
  Loaded load();
  Loaded load(SettingsModel initial);

  // Writes the settings file, then the key file, each on its own. One message per file
  // that could not be written.
  std::vector<std::string> save(const SettingsModel& model);

  std::string settingsPath(bool forSave) const;
  std::string keyPath(bool forSave) const;

 private:
  std::string loadFolder_, saveFolder_;
  IniDoc ini_, keys_;
  bool iniUnreadable_ = false, keysUnreadable_ = false;
};

constexpr const char* kSettingsFileName = "yomira.ini";
constexpr const char* kKeyFileName = "yomira_key.ini";

}  // namespace yomira
