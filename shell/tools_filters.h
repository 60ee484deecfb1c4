// Tools and filters in the main window: the values a tool's template is expanded with, and
// what a tool without a program may open.
#pragma once

#include <string>

#include "engine/core/display_line.h"
#include "sources/tool_template.h"

namespace yomira {

// The placeholders of a shown document: %F path, %D its folder with "/", %U location; from
// display line firstLine: %L its source line + 1, %C the source line of its first element
// + 1, %N that element's character position in its source line. %C and %N are 1 without
// elements, all three 1 when firstLine is not a display line.
PlaceholderValues ToolPlaceholderValues(const std::string& path, const std::string& location,
                                        const DisplayLines& lines, const SourceLines& sources, int firstLine);

// An http, https, ftp, mailto or file URL (the scheme in any case, something after it).
bool IsOpenableUrl(const std::string& text);

}  // namespace yomira
