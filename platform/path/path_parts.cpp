#include "platform/path/path_parts.h"

namespace yomira {
namespace {

// Where the file name starts.
size_t NameStart(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

// The file name's last dot, or npos.
size_t ExtensionStart(std::string_view path) {
  const size_t dot = path.rfind('.');
  return dot == std::string_view::npos || dot < NameStart(path) ? std::string_view::npos : dot;
}

}  // namespace

std::string FileNamePart(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }

std::string ParentFolder(std::string_view path) {
  const size_t start = NameStart(path);
  if (start == 0) return ".";
  if (start == 1) return "/";
  return std::string(path.substr(0, start - 1));
}

std::string ExtractFileExt(std::string_view path) {
  const size_t dot = ExtensionStart(path);
  return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  std::string out(path.substr(0, ExtensionStart(path)));
  out += ext;
  return out;
}

}  // namespace yomira
