// Where the help menu finds readme.txt and the online help page.
#pragma once

#include <string>

namespace yomira {

// The build's help address that means "the installed readme, found when the program runs".
inline constexpr char kHelpUrlAtRunTime[] = "auto";

// readme.txt: in an installed tree <bin>/../share/yomira/readme.txt (when that file exists and
// no folder is given); else in programFolder, or beside the program when that is empty.
std::string ReadmeLocation(const std::string& appDir, const std::string& programFolder);

// The online help address: the configured one, or for kHelpUrlAtRunTime the readme as a
// file URL. Empty stays empty (no help entry).
std::string OnlineHelpAddress(const std::string& configured, const std::string& readmePath);

}  // namespace yomira
