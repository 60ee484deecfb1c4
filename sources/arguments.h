// What a command-line or forwarded argument names: a file, a folder, a web address, a switch,
// or a path that names none of these (missing, or not a regular file).
#pragma once

#include <string>
#include <string_view>

namespace yomira {

enum class ArgumentKind { File, Folder, Url, Switch, Missing };

struct ClassifiedArgument {
  ArgumentKind kind = ArgumentKind::Switch;
  // File, folder, missing: the local path ("file://" locations decoded). Url, switch: the text.
  std::string path;
};

// A text of more than 7 bytes that starts with "file://" (case-sensitive) is a local
// location, percent-decoded; any other text is a path. Then: a regular file (after links),
// a folder, more than 4 bytes beginning with "http", a switch when it begins with "-" after
// blanks (or is blank), or else a missing path: every switch begins with "-", so a name with a
// typo, a FIFO or a device is told about rather than dropped silently.
ClassifiedArgument ClassifyArgument(std::string_view text);

// "file", "folder", "url", "switch" or "missing".
const char* ArgumentKindName(ArgumentKind kind);

}  // namespace yomira
