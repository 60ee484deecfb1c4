// The option record of a yomira-render run: defaults, then an ini file, then --set keys.
#pragma once

#include <string>
#include <string_view>

#include "engine/core/option.h"

namespace yomira::tools {

// Feeds the [option] and [color] keys of an ini file (read by the settings ini layer) to the key
// setter; colours may also be named. Returns "" on success, else a one-line reason.
std::string ApplyIniFile(TYomiraOption& option, const std::string& path);
// One KEY=VALUE; "" on success.
std::string ApplySet(TYomiraOption& option, std::string_view assignment);

}  // namespace yomira::tools
