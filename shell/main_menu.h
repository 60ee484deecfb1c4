// The main popup menu, PopupMenuMain: its tree of proxies and the entries that are made at
// run time (recent files, styles, tools).
#pragma once

#include <QString>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "ui/action.h"

class QAction;
class QMenu;
class QWidget;

namespace yomira {

class MenuProxy;

constexpr int kRecentMenuCount = 8;

struct MainMenu {
  QMenu* menu = nullptr;                     // PopupMenuMain
  std::map<std::string, QMenu*> submenus;    // "MenuFileReOpen", "MenuFileRecent", ...
  std::vector<MenuProxy*> proxies;
  std::map<std::string, QAction*> items;     // "MenuFileOpen", "MenuHelpVersion", "MenuFileReOpen1", ...
  // MenuFileRecent0..7: entry 0 reloads with the text of the first recent item.
  std::array<QAction*, kRecentMenuCount> recent{};

  MenuProxy* proxy(const std::string& actionName) const;
  // Mirrors every proxy from its action.
  void mirrorAll();
};

// The version entry's caption: "Version 1.62", a tab and the Qt version.
QString VersionMenuCaption();

// Builds the tree in the designed order; entries run their actions through the guard.
MainMenu BuildMainMenu(ActionCatalogue& catalogue, QWidget* parent);

// What decides which entries of the main menu can run now.
struct MainMenuState {
  bool laidOut = false;
  bool clipboardHasText = false;
  size_t historyCount = 0;
  size_t styleCount = 0;
  bool rubyTag = false;
};

// Greys the entries that cannot run now. Only the menu's own entries change: the actions,
// and so their keys, stay as they are.
void ApplyMainMenuRules(MainMenu& menu, const MainMenuState& state);

}  // namespace yomira
