#include "shell/setup_placeholder.h"

namespace yomira {

int SetupPlaceholder::textWidth(const std::string& utf8) const {
  int chars = 0;
  for (const char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;  // lead bytes and ASCII
  return chars * kCharWidth;
}

bool SetupPlaceholder::controlEnabled(const std::string& name) const {
  const auto it = enabled_.find(name);
  return it == enabled_.end() || it->second;
}

}  // namespace yomira
