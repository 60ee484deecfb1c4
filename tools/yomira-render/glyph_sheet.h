#pragma once

#include <string>

namespace yomira::tools {

// Draws the check groups of a face (name in UTF-8) at size f into a PNG and prints one
// line per check. Returns the exit code: 0 all OK, 1 a check failed, 2 an input error.
int RunGlyphSheet(const std::string& faceUtf8, int size, const std::string& out);

}  // namespace yomira::tools
