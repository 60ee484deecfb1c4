// Whole-file writes that either replace the file completely or leave it as it was.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace yomira {

// Writes bytes to path through a temporary file beside the target ("name.tmp-XXXXXX"),
// synced and renamed over it. A symbolic link is followed, so the link stays a link and its
// target gets the new bytes. An existing file keeps its mode; a new one is private (0600).
// On failure nothing is left behind, the old file is intact and the result is the reason
// ("path: text of errno"); on success the result is empty. Never throws.
std::string AtomicWriteFile(const std::string& path, std::string_view bytes);

// Whether a file name (without its folder) has the form of AtomicWriteFile's temporary
// files: a name, ".tmp-" and six letters or digits.
bool IsAtomicWriteTempName(std::string_view name);

// Removes from folder (not its subfolders) the temporary files that interrupted writes
// left: regular files of this user with such names, last modified more than minAgeSeconds
// ago. Nothing else is touched; a missing folder is no error. The number removed.
int RemoveStaleAtomicWriteTemps(const std::string& folder, int minAgeSeconds);

// The steps a write goes through, for tests that make one of them fail.
enum class AtomicWriteStep { Create, Write, Sync, Chmod, Rename };

// Test hook: when set, called before each step; returning true fails that step as if the
// system had refused it. Pass nullptr to clear.
void SetAtomicWriteFailHook(std::function<bool(AtomicWriteStep)> hook);

}  // namespace yomira
