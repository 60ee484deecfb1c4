// The open dialog's file types.
#pragma once

#include <string>

#include "sources/tool_item.h"

namespace yomira {

// "description|patterns|..." (UTF-8): the text files, one pair per filter with patterns,
// then pictures, sounds and all files.
std::string BuildOpenFilter(const ToolItemList& filters);

}  // namespace yomira
