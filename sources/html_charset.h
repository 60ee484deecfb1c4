// Charset names as servers and pages declare them.
#pragma once

#include <string_view>

namespace yomira {

// 932, 51932, 50220 or 65001 for the charset names we read (ASCII case-insensitive);
// 0 for any other name.
int CodePageFromCharsetName(std::string_view name);

}  // namespace yomira
