// External tools and filters as the settings file keeps them: the entry type, loading and
// saving their sections, and finding a filter by extension or caption.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yomira {

class IniDoc;

class TToolItem {
 public:
  TToolItem() { Clear(); }
  void Clear();
  bool operator==(const TToolItem&) const = default;

  std::string Caption;   // menu text (UTF-8, like all the strings here)
  std::string FilePath;  // program to run; may be empty for a tool
  std::string Filter;    // filters only: masks such as "*.html,*.htm"
  std::string Param;     // parameter template
  uint16_t ShortCut = 0; // key code: virtual key | 0x2000 Shift | 0x4000 Ctrl | 0x8000 Alt
};

using ToolItemList = std::vector<TToolItem>;

// At most this many tools and as many filters are read and written.
constexpr int kMaxToolItems = 128;

// Sections "Tools"+n and "Filter"+n from n = 0 up to the first that holds no key.
void LoadTools(const IniDoc& ini, ToolItemList& tools, ToolItemList& filters);

// Writes the lists renumbered from 0 and erases the stale sections behind them, up to the
// first number that has no section.
void SaveTools(IniDoc& ini, const ToolItemList& tools, const ToolItemList& filters);

// Index of the first filter whose masks list the extension (with its dot, any ASCII case),
// else -1. The mask "*" lists only the empty extension.
int FindFilterForFile(const ToolItemList& filters, std::string_view extension);

// Index of the first filter whose caption equals the given one without its surrounding
// blanks and control characters (case-sensitive), else -1.
int FindFilterByCaption(const ToolItemList& filters, std::string_view caption);

}  // namespace yomira
