// Small questions and steps on paths that never throw.
#pragma once

#include <string>

namespace yomira {

// Whether path (UTF-8) names a directory, following symbolic links.
bool IsExistingDirectory(const std::string& path);

// Deletes the file at path; false when there is none, it is a directory, or the deletion fails.
bool DeleteFileIfExists(const std::string& path);

}  // namespace yomira
