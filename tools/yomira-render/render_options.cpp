#include "render_options.h"

#include <fstream>
#include <sstream>

#include "engine/core/option_keys.h"
#include "platform/text/utf8.h"

namespace yomira::tools {

namespace {

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int n = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (n < 0) return false;
    for (int k = 1; k <= n; ++k)
      if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += static_cast<size_t>(n) + 1;
  }
  return true;
}

std::string TrimBlanks(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
  return std::string(s.substr(a, b - a));
}

}  // namespace

std::string ApplySet(TYomiraOption& option, std::string_view assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string_view::npos || eq == 0) return "expected KEY=VALUE: " + std::string(assignment);
  return SetOptionByKey(option, assignment.substr(0, eq), assignment.substr(eq + 1));
}

std::string ApplyIniFile(TYomiraOption& option, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read " + path;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  if (!IsValidUtf8(text)) text = Cp932ToUtf8(text);
  std::string section;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const std::string t = TrimBlanks(line);
    if (t.empty() || t[0] == ';') continue;
    if (t.front() == '[' && t.back() == ']') {
      section = t.substr(1, t.size() - 2);
      continue;
    }
    if (section != "option" && section != "color") continue;
    const size_t eq = t.find('=');
    if (eq == std::string::npos) continue;
    const std::string error = SetOptionByKey(option, TrimBlanks(t.substr(0, eq)), t.substr(eq + 1));
    if (!error.empty()) return path + ": " + error;
  }
  return "";
}

}  // namespace yomira::tools
