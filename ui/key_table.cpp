#include "ui/key_table.h"

#include <set>

#include "platform/ini.h"

namespace yomira {
namespace {

constexpr const char* kMain = "MainHotKey";
constexpr const char* kBook = "BookHotKey";

// Codes: Shift 0x2000 (8192), Ctrl 0x4000 (16384), Alt 0x8000 (32768) + the virtual key.
constexpr KeyTableRow kRows[] = {
    // The ten text-revise actions share tag 0 and so one key.
    {kMain, 0, "ActionStyleTextReviseUseAozora", 0},
    {kMain, 0, "ActionStyleTextReviseParseHTML", 0},
    {kMain, 0, "ActionStyleTextReviseUseCover", 0},
    {kMain, 0, "ActionStyleTextReviseUseAutoIndent", 0},
    {kMain, 0, "ActionStyleTextReviseUseYomiraTag", 0},
    {kMain, 0, "ActionStyleTextReviseUseStrict", 0},
    {kMain, 0, "ActionStyleTextReviseUseReWrap", 0},
    {kMain, 0, "ActionStyleTextReviseUseToRuby", 0},
    {kMain, 0, "ActionStyleTextReviseReWrapFixed", 0},
    {kMain, 0, "ActionStyleTextReviseReWrapCompel", 0},
    {kMain, 1, "ActionWindowPopUp", 16461},            // Ctrl+M
    {kMain, 2, "ActionWindowRowUp", 24616},            // Ctrl+Shift+Down
    {kMain, 3, "ActionWindowRowDown", 24614},          // Ctrl+Shift+Up
    {kMain, 4, "ActionWindowColUp", 24615},            // Ctrl+Shift+Right
    {kMain, 5, "ActionWindowColDown", 24613},          // Ctrl+Shift+Left
    {kMain, 6, "ActionWindowAnnotate", 112},           // F1
    {kMain, 7, "ActionFileOpen", 16463},               // Ctrl+O
    {kMain, 8, "ActionPageNext", 37},                  // Left
    {kMain, 9, "ActionPageNext2", 40},                 // Down
    {kMain, 10, "ActionPageNext3", 34},                // Page Down
    {kMain, 11, "ActionPageNext4", 32},                // Space
    {kMain, 12, "ActionPageNext5", 13},                // Enter
    {kMain, 13, "ActionPageBack", 39},                 // Right
    {kMain, 14, "ActionPageBack2", 38},                // Up
    {kMain, 15, "ActionPageBack3", 33},                // Page Up
    {kMain, 16, "ActionPageBack4", 8224},              // Shift+Space
    {kMain, 17, "ActionPageBack5", 8205},              // Shift+Enter
    {kMain, 18, "ActionFileRecent0", 116},             // F5
    {kMain, 19, "ActionFileClipboardOpen", 16470},     // Ctrl+V
    {kMain, 20, "ActionFileClipboardAdd", 24662},      // Ctrl+Shift+V
    {kMain, 21, "ActionFileToolEditor", 16453},        // Ctrl+E
    {kMain, 22, "ActionFileToolDirectory", 16454},     // Ctrl+F
    {kMain, 23, "ActionBook", 16450},                  // Ctrl+B
    {kMain, 24, "ActionMomentaryAutoIndent", 16457},   // Ctrl+I
    {kMain, 25, "ActionMomentaryReWrap", 16466},       // Ctrl+R
    {kMain, 26, "ActionMomentaryToRuby", 16449},       // Ctrl+A
    {kMain, 27, "ActionPageHome", 36},                 // Home
    {kMain, 28, "ActionPageEnd", 35},                  // End
    {kMain, 29, "ActionPageFileNext", 16421},          // Ctrl+Left
    {kMain, 30, "ActionPageFileBack", 16423},          // Ctrl+Right
    {kMain, 31, "ActionOptionSetup", 120},             // F9
    {kMain, 32, "ActionOptionCreateFileOpen", 0},
    {kMain, 36, "ActionOptionCreateBook", 0},
    {kMain, 38, "ActionHelpReadme", 0},
    {kMain, 39, "ActionHelpOnlineHelp", 16496},        // Ctrl+F1
    {kMain, 40, "ActionExit", 27},                     // Esc
    {kMain, 41, "ActionOptionFullScreen", 70},         // F
    {kMain, 42, "ActionWindowFontUp", 0},
    {kMain, 43, "ActionWindowFontDown", 0},
    {kMain, 44, "ActionWindowRubyUp", 0},
    {kMain, 45, "ActionWindowRubyDown", 0},
    {kMain, 46, "ActionPageGotoPage", 24656},          // Ctrl+Shift+P
    {kMain, 47, "ActionPageGotoLine", 24652},          // Ctrl+Shift+L
    {kMain, 48, "ActionOptionTools", 0},
    {kMain, 49, "ActionURLOpen", 24655},               // Ctrl+Shift+O
    {kMain, 50, "ActionOptionRecentClear", 0},
    {kBook, 33, "ActionOptionBookAutoOpen", 0},
    {kBook, 35, "ActionOptionBookStayOnTop", 0},
    {kBook, 37, "ActionOptionBookAutoClose", 0},
    {kBook, 60, "ActionBookMarkAdd", 16449},           // Ctrl+A
    {kBook, 61, "ActionBookMarkDelete", 16452},        // Ctrl+D
    {kBook, 62, "ActionBookMarkUp", 16422},            // Ctrl+Up
    {kBook, 63, "ActionBookMarkDown", 16424},          // Ctrl+Down
    {kBook, 64, "ActionMainNextPage", 37},             // Left
    {kBook, 65, "ActionMainBackPage", 39},             // Right
    {kBook, 66, "ActionBookOpen", 16463},              // Ctrl+O
    {kBook, 67, "ActionBookOpen2", 13},                // Enter
    {kBook, 68, "ActionBookMenuPopup", 16461},         // Ctrl+M
    {kBook, 69, "ActionBookTabNext", 32807},           // Alt+Right
    {kBook, 70, "ActionBookTabBack", 32805},           // Alt+Left
    {kBook, 71, "ActionBookClose", 16450},             // Ctrl+B
    {kBook, 77, "ActionBookTextIndex", 16460},         // Ctrl+L
    {kBook, 80, "ActionFileListOrderUp", 0},
    {kBook, 81, "ActionFileListOrderDown", 0},
    {kBook, 82, "ActionFileListOrderName", 0},
    {kBook, 84, "ActionFileListOrderExt", 0},
    {kBook, 85, "ActionFileListOrderTime", 0},
    {kBook, 90, "ActionLinkListHold", 16456},          // Ctrl+H
    {kBook, 91, "ActionLinkListSameDomain", 0},
    {kBook, 100, "ActionBookEdit", 16453},             // Ctrl+E
    {kBook, 101, "ActionSystemMenuPopup", 0},
};

std::string KeyName(const KeyTableRow& row) { return "Key" + std::to_string(row.tag); }

}  // namespace

std::span<const KeyTableRow> KeyTable() { return kRows; }

const KeyTableRow* FindKeyRow(std::string_view action) {
  for (const KeyTableRow& r : kRows)
    if (action == r.action) return &r;
  return nullptr;
}

ShortcutMap DefaultShortcuts() {
  ShortcutMap m;
  for (const KeyTableRow& r : kRows) m.emplace(r.action, r.defaultCode);
  return m;
}

void LoadKeys(const IniDoc& keys, ShortcutMap& shortcuts) {
  for (const KeyTableRow& r : kRows) {
    const auto it = shortcuts.find(r.action);
    const uint16_t current = it != shortcuts.end() ? it->second : r.defaultCode;
    shortcuts[r.action] = static_cast<uint16_t>(keys.ReadInteger(r.section, KeyName(r), current));
  }
}

void SaveKeys(const ShortcutMap& shortcuts, IniDoc& keys) {
  // Actions that share a tag share a key; the first of them speaks for all.
  std::set<std::pair<std::string_view, int>> written;
  for (const KeyTableRow& r : kRows) {
    if (!written.emplace(r.section, r.tag).second) continue;
    const auto it = shortcuts.find(r.action);
    const uint16_t code = it != shortcuts.end() ? it->second : r.defaultCode;
    keys.WriteInteger(r.section, KeyName(r), code);
  }
}

}  // namespace yomira
