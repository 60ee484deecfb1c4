#include "platform/path/resolve_path.h"

#include <filesystem>
#include <system_error>

#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace yomira {

std::string ResolveRelativePath(const std::string& folder, std::string_view pathCp932) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (folder.empty() || !fs::is_directory(fs::path(folder), ec)) return {};
  // Only a single-byte 0x5C is a separator: as a trail byte it belongs to a character (ソ).
  std::string text(pathCp932);
  const int n = static_cast<int>(text.size());
  for (int pos = 1; pos <= n; pos = NextChar(text, pos))
    if (CharLen(text, pos) == 1 && text[static_cast<size_t>(pos - 1)] == '\\') text[static_cast<size_t>(pos - 1)] = '/';
  const fs::path path(Cp932ToUtf8(text));
  if (path.is_absolute()) return path.lexically_normal().string();
  return (fs::path(folder) / path).lexically_normal().string();
}

}  // namespace yomira
