// The data folder: where the settings, the key file, the styles, the bookmarks and the
// other files that once lived beside the program are kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace yomira {

// What the choice depends on, so that it can be made without touching the real process.
struct DataFolderInputs {
  std::string exePath;                       // absolute path of the running program
  std::optional<std::string> yomiraHome;     // $YOMIRA_HOME
  std::optional<std::string> xdgConfigHome;  // $XDG_CONFIG_HOME
  std::optional<std::string> home;           // $HOME
};

// The inputs of the running process (/proc/self/exe and the environment).
DataFolderInputs CurrentDataFolderInputs();

// $YOMIRA_HOME when set and not empty; else the program's folder when it holds yomira.ini
// and is writable (portable use); else $XDG_CONFIG_HOME/yomira, with an empty or relative
// $XDG_CONFIG_HOME ignored in favour of $HOME/.config/yomira. Creates nothing.
std::string ResolveDataFolder(const DataFolderInputs& in);

// Creates the folder (and missing parents) with mode 0700. True when it exists afterwards
// as a folder; otherwise err gets the reason.
bool EnsureFolder(const std::string& path, std::string* err = nullptr);

// The data folder of the running process, created on first use; cached afterwards.
const std::string& DataFolder();

// name inside the data folder ("yomira.ini", "Style/...").
std::string DataPath(std::string_view name);

}  // namespace yomira
