// What a command-line or forwarded argument names: a file, a folder, a web address or a switch.
#pragma once

#include <string>
#include <string_view>

namespace yomira {

enum class ArgumentKind { File, Folder, Url, Switch };

struct ClassifiedArgument {
  ArgumentKind kind = ArgumentKind::Switch;
  // File, folder: the local path ("file://" locations decoded). Url, switch: the text.
  std::string path;
};

// A text of more than 7 bytes that starts with "file://" (case-sensitive) is a local
// location, percent-decoded; any other text is a path. Then: a regular file (after links),
// a folder, more than 4 bytes beginning with "http", or else a switch.
ClassifiedArgument ClassifyArgument(std::string_view text);

// "file", "folder", "url" or "switch".
const char* ArgumentKindName(ArgumentKind kind);

}  // namespace yomira
