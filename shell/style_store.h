// Style files: named sets of page settings in Style/ of the data folder, one ".ini" file
// each with a section "Style". No Qt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/core/option.h"

namespace yomira {

// A name that can be a file in the style folder: not empty, no "/" or "\\", no leading ".",
// no control characters, valid UTF-8.
bool IsValidStyleName(std::string_view name);

struct StyleEntry {
  std::string name;      // the file name without its extension
  std::string fileName;  // as found in the folder ("Night.INI")
};

// The ".ini" files (any ASCII case; links followed; folders and invalid names skipped) of
// folder, sorted by name ignoring ASCII case, then by bytes. A missing folder gives none.
std::vector<StyleEntry> ScanStyleFolder(const std::string& folder);

// The listed entry for name: the exact match, else the first ignoring ASCII case; -1 if none.
int FindStyle(const std::vector<StyleEntry>& styles, std::string_view name);

// Reads the style file at path over a copy of live into record: absent keys keep the live
// values, but "Page" gives 1 and "UseShadow" 0; "TextRow" is doubled; one colour that does
// not convert makes all five live. Validated. False (record untouched) when the file cannot
// be read.
bool ReadStyleFile(const std::string& path, const TYomiraOption& live, TYomiraOption& record);

// Writes the 37 keys of record into the file at path, keeping its other keys, sections and
// comments, in one atomic write. Returns the reason of a failure, "" on success. A file
// that exists but cannot be read is not written over.
std::string WriteStyleFile(const std::string& path, const TYomiraOption& record);

}  // namespace yomira
