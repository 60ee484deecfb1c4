// The actions whose shortcuts the key file keeps: section, tag, action name and designed
// shortcut, in the order the key file lists them. The action catalogue takes its tags and
// default codes from here. No Qt.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace yomira {

class IniDoc;

struct KeyTableRow {
  const char* section;  // "MainHotKey" (main list, tag 1) or "BookHotKey" (book list, tag 3)
  int tag;              // the key is "Key" + tag
  const char* action;
  uint16_t defaultCode; // virtual key | 0x2000 Shift | 0x4000 Ctrl | 0x8000 Alt; 0 none
};

std::span<const KeyTableRow> KeyTable();
const KeyTableRow* FindKeyRow(std::string_view action);

// Shortcut codes by action name.
using ShortcutMap = std::map<std::string, uint16_t, std::less<>>;

// Every action of the table with its designed shortcut.
ShortcutMap DefaultShortcuts();

// Each row reads "Key" + tag into 16 bits; a missing or unreadable key keeps the current
// code. Actions that share a tag all read the same key.
void LoadKeys(const IniDoc& keys, ShortcutMap& shortcuts);

// Each key is written once, from the first row with its tag, as an unsigned 16-bit value.
void SaveKeys(const ShortcutMap& shortcuts, IniDoc& keys);

}  // namespace yomira
