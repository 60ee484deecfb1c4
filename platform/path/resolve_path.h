// Paths named inside documents (illustrations, imported HTML) made absolute against the
// document's folder. Pure: the process's current directory is never changed.
#pragma once

#include <string>
#include <string_view>

namespace yomira {

// folder: UTF-8; pathCp932: as the document writes it, where a single-byte "\" separates
// folders. The result is UTF-8 and lexically normal: an absolute path as given, else
// folder/path. "" when folder is not an existing directory.
std::string ResolveRelativePath(const std::string& folder, std::string_view pathCp932);

}  // namespace yomira
