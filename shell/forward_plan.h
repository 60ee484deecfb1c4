// What a second start hands over to the first.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace yomira {

// The messages for args given in folder cwd: each argument, files and folders as absolute
// paths ("file://" locations decoded) and the rest as given, up to and including the first
// file or URL, then "-null". nullopt when an argument (or its absolute path) is longer than
// one frame carries.
std::optional<std::vector<std::string>> planForward(const std::vector<std::string>& args, const std::string& cwd);

}  // namespace yomira
