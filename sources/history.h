// The history of recent documents: at most 8 entries, newest first; entry 0 is the current
// document. Local entries are keyed by path, web entries by location, both case-sensitive.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "sources/file_item.h"

namespace yomira {

constexpr int kHistoryMax = 8;

// Puts a new entry built from the values at the top, drops an older entry with the same
// key, and keeps at most 8. Entries of kinds other than local and web are not added.
// The arguments may refer to fields of an entry this call removes.
void AddHistory(FileItemList& list, int kind, double time, const std::string& title, const std::string& ext,
                const std::string& baseUrl, const std::string& href, const std::string& path, int rate);

// Index of the first entry whose key equals key exactly; -1 when none.
int FindHistory(const FileItemList& list, std::string_view key);

// The saved reading position for an entry about to be opened: -1 for the clipboard
// document (always read from its start), the first same-kind match's Rate, else 0.
int FindHistoryPosition(const FileItemList& list, const TFileItem& entry, std::string_view clipboardPath);
// The same with the clipboard document of the data folder.
int FindHistoryPosition(const FileItemList& list, const TFileItem& entry);

// Rate of entry 0, or -1 for an empty list.
int GetHistoryPosition(const FileItemList& list);

// Path of entry 0, or "".
std::string GetCurrentFileName(const FileItemList& list);

// Rate of entry index := rate, when the index is in 0..count-1.
void SetHistoryPosition(FileItemList& list, int index, int rate);

// The locations of the web entries, in list order (replaces strings).
void ListHistoryURLs(const FileItemList& list, std::vector<std::string>& strings);

// The recent-file menu caption of entry n, "&" in the name doubled so it shows as itself.
std::string RecentCaption(const TFileItem& entry, int n);

struct RecentMenuItem {
  std::string caption;
  bool visible = false;
};

// Captions and visibility of the eight recent-file menu items.
std::array<RecentMenuItem, kHistoryMax> RecentMenuItems(const FileItemList& list);

}  // namespace yomira
