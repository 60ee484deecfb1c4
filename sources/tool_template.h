// The parameter template of a tool or a filter, turned into an argument vector: the
// template is split into arguments first and the placeholders are expanded inside each,
// so a value (a path with blanks, quotes or ";") always stays within its one argument and
// no shell ever sees it. No Qt.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace yomira {

// Values by placeholder letter: 'F' file, 'D' its folder with "/", 'U' location, 'L' source
// line, 'C' element line, 'N' character position. A letter without a value stays as written.
using PlaceholderValues = std::map<char, std::string>;

// Blanks (space, tab) separate arguments. A double quote opens or closes a quoted stretch
// and is dropped, so a token that held quotes is kept even when it ends up empty. A
// backslash is an ordinary character; an unclosed quote runs to the end.
std::vector<std::string> SplitTemplate(std::string_view param);

// One left-to-right pass: "%F", "%D", "%U", "%L", "%C" and "%N" (case-sensitive) become
// their values; any other "%" is copied, and inserted text is never scanned again.
std::string ExpandPlaceholders(std::string_view token, const PlaceholderValues& values);

// SplitTemplate, then ExpandPlaceholders on each argument.
std::vector<std::string> ExpandTemplate(std::string_view param, const PlaceholderValues& values);

// The 1-based character position of the 1-based byte column in a cp932 line: the characters
// before it, plus 1. A column past the end counts the whole line.
int CharacterPosition(std::string_view cp932Line, int column);

}  // namespace yomira
