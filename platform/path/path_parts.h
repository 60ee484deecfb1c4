// The parts of a path, split at its last "/" by the bytes (no conversion, no file system).
#pragma once

#include <string>
#include <string_view>

namespace yomira {

// The file name: what follows the last "/" (the whole path when there is none).
std::string FileNamePart(std::string_view path);

// The folder part, ending in "/" ("" for a bare name).
std::string ExtractFilePath(std::string_view path);

// The folder a path lies in, for system calls: without the closing "/", "/" for a name at
// the root, "." for a bare name.
std::string ParentFolder(std::string_view path);

// The extension: from the file name's last dot, with the dot; "" without one. Dots in
// folder names do not count.
std::string ExtractFileExt(std::string_view path);

// The file name's extension replaced: the part from the file name's last dot is cut, then
// ext (with its dot) appended. A name without a dot gets ext appended.
std::string ChangeFileExt(std::string_view path, std::string_view ext);

}  // namespace yomira
