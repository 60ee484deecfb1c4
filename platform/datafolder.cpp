#include "platform/datafolder.h"

#include "platform/path/path_parts.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace yomira {
namespace {

std::optional<std::string> Env(const char* name) {
  const char* v = std::getenv(name);
  if (!v) return std::nullopt;
  return std::string(v);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

DataFolderInputs CurrentDataFolderInputs() {
  DataFolderInputs in;
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) in.exePath = exe.string();
  in.yomiraHome = Env("YOMIRA_HOME");
  in.xdgConfigHome = Env("XDG_CONFIG_HOME");
  in.home = Env("HOME");
  if (!in.home || in.home->empty()) {
    // No $HOME (started by a service manager): the password entry knows it.
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) in.home = pw->pw_dir;
  }
  return in;
}

std::string ResolveDataFolder(const DataFolderInputs& in) {
  if (in.yomiraHome && !in.yomiraHome->empty()) return *in.yomiraHome;
  if (!in.exePath.empty()) {
    const std::string folder = ParentFolder(in.exePath);
    if (IsRegularFile(folder + "/yomira.ini") && ::access(folder.c_str(), W_OK) == 0) return folder;
  }
  if (in.xdgConfigHome && !in.xdgConfigHome->empty() && (*in.xdgConfigHome)[0] == '/')
    return *in.xdgConfigHome + "/yomira";
  const std::string home = in.home && !in.home->empty() ? *in.home : std::string("/tmp");
  return home + "/.config/yomira";
}

bool EnsureFolder(const std::string& path, std::string* err) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    if (err) *err = path + ": not a folder";
    return false;
  }
  // Parents first; each new level is private to the user.
  const std::string parent = ParentFolder(path);
  if (parent != path && parent != "." && parent != "/" && !EnsureFolder(parent, err)) return false;
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    if (err) *err = path + ": " + std::strerror(errno);
    return false;
  }
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  if (err) *err = path + ": not a folder";
  return false;
}

const std::string& DataFolder() {
  static const std::string folder = [] {
    std::string f = ResolveDataFolder(CurrentDataFolderInputs());
    // A folder that cannot be made shows up later as a failed read or write with its path.
    EnsureFolder(f);
    return f;
  }();
  return folder;
}

std::string DataPath(std::string_view name) {
  std::string p = DataFolder();
  if (p.empty() || p.back() != '/') p += '/';
  p += name;
  return p;
}

}  // namespace yomira
