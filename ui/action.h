// The program's commands. Every command is an Action in one of three lists (main 1, book 3,
// tools 4); keys reach it through a window's KeyDispatcher and menus through MenuProxy
// entries, so neither owns its enabled state nor its shortcut.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/key_table.h"

class QObject;

namespace yomira {

constexpr int kListMain = 1;
constexpr int kListBook = 3;
constexpr int kListTool = 4;

struct Action {
  std::string name;      // "ActionPageNext"
  int listTag = kListMain;
  int tag = 0;           // the key in the key file ("Key" + tag)
  std::string category;  // UTF-8
  std::string caption;   // UTF-8, with its "&" accelerator
  uint16_t code = 0;     // shortcut: virtual key | 0x2000 Shift | 0x4000 Ctrl | 0x8000 Alt
  bool checkable = false;
  bool checked = false;
  int radioGroup = 0;    // 0 none; menus show members of a group as radio items
  bool enabled = true;
  bool visible = true;   // menus show the entry only while set
  // Handlers set check states themselves. Empty: the command is not built yet.
  std::function<void(QObject* sender)> handler;

  void run(QObject* sender) const {
    if (handler) handler(sender);
  }
};

// All actions of the program in component order: the main list, the book list, then the
// tool and filter actions added at run time.
class ActionCatalogue {
 public:
  ActionCatalogue();  // the main and book lists with their designed shortcuts

  Action* find(std::string_view name);
  const Action* find(std::string_view name) const;
  Action& at(std::string_view name);  // throws std::out_of_range for an unknown name

  const std::vector<std::unique_ptr<Action>>& all() const { return actions_; }
  std::vector<Action*> list(int listTag) const;

  // Tool and filter actions come and go at run time (list tag 4). A caller that adds
  // several calls onCodesChanged once afterwards.
  Action& addTool(std::string name, std::string caption, uint16_t code);
  void removeTools();

  // Which lists the keyboard reaches: activating a window opens its lists, deactivating
  // closes them. Only a flag; no action is greyed by it.
  void EnableActions(bool main, bool book);
  bool inScope(int listTag) const;

  // The first action in component order that a key code reaches: its list in scope, itself
  // enabled, its code equal. Among lists, only those in lists are considered.
  Action* match(uint16_t code, const std::vector<int>& lists) const;

  // Codes by action name, as the settings model keeps them.
  ShortcutMap shortcuts() const;
  void applyShortcuts(const ShortcutMap& codes);
  // One action's code, with the windows' dispatchers and menus told at once.
  void setCode(Action& action, uint16_t code);

  // Called after any code changes; the owner rebuilds its windows' key dispatchers.
  std::function<void()> onCodesChanged;

 private:
  std::vector<std::unique_ptr<Action>> actions_;
  bool mainScope_ = false;
  bool bookScope_ = false;
};

}  // namespace yomira
