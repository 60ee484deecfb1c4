#include "sources/tool_template.h"

#include "platform/text/cp932.h"

namespace yomira {

std::vector<std::string> SplitTemplate(std::string_view param) {
  std::vector<std::string> out;
  std::string token;
  bool inToken = false;
  bool quoted = false;
  for (const char c : param) {
    if (c == '"') {
      quoted = !quoted;
      inToken = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inToken) out.push_back(std::move(token));
      token.clear();
      inToken = false;
    } else {
      token += c;
      inToken = true;
    }
  }
  if (inToken) out.push_back(std::move(token));
  return out;
}

std::string ExpandPlaceholders(std::string_view token, const PlaceholderValues& values) {
  std::string out;
  out.reserve(token.size());
  for (size_t i = 0; i < token.size(); ++i) {
    if (token[i] == '%' && i + 1 < token.size()) {
      const char letter = token[i + 1];
      const bool known = letter == 'F' || letter == 'D' || letter == 'U' || letter == 'L' || letter == 'C' || letter == 'N';
      const auto it = known ? values.find(letter) : values.end();
      if (it != values.end()) {
        out += it->second;
        ++i;
        continue;
      }
    }
    out += token[i];
  }
  return out;
}

std::vector<std::string> ExpandTemplate(std::string_view param, const PlaceholderValues& values) {
  std::vector<std::string> args = SplitTemplate(param);
  for (std::string& a : args) a = ExpandPlaceholders(a, values);
  return args;
}

int CharacterPosition(std::string_view cp932Line, int column) {
  int chars = 0;
  const int size = static_cast<int>(cp932Line.size());
  for (int pos = 1; pos < column && pos <= size; pos = NextChar(cp932Line, pos)) ++chars;
  return chars + 1;
}

}  // namespace yomira
