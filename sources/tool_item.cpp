#include "sources/tool_item.h"

#include "platform/ini.h"
#include "platform/text/cp932.h"

namespace yomira {
namespace {

// A-Z only: the text is UTF-8, where the cp932 walker would take bytes 0x81-0x9F for lead
// bytes.
std::string FoldAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

void LoadList(const IniDoc& ini, const std::string& prefix, bool withFilter, ToolItemList& list) {
  list.clear();
  for (int n = 0; n < kMaxToolItems; ++n) {
    const std::string section = prefix + std::to_string(n);
    if (!ini.SectionExists(section)) break;
    TToolItem item;
    item.Caption = ini.ReadString(section, "Caption", "");
    item.FilePath = ini.ReadString(section, "FilePath", "");
    item.Param = ini.ReadString(section, "Param", "");
    item.ShortCut = static_cast<uint16_t>(ini.ReadInteger(section, "ShortCut", 0));
    if (withFilter) item.Filter = ini.ReadString(section, "Filter", "");
    list.push_back(std::move(item));
  }
}

void SaveList(IniDoc& ini, const std::string& prefix, bool withFilter, const ToolItemList& list) {
  const int count = static_cast<int>(list.size());
  for (int n = 0; n < kMaxToolItems; ++n) {
    const std::string section = prefix + std::to_string(n);
    if (n >= count && !ini.SectionExists(section)) break;
    if (n >= count) {
      ini.EraseSection(section);
      continue;
    }
    const TToolItem& item = list[static_cast<size_t>(n)];
    ini.WriteString(section, "Caption", item.Caption);
    ini.WriteString(section, "FilePath", item.FilePath);
    ini.WriteString(section, "Param", item.Param);
    ini.WriteInteger(section, "ShortCut", item.ShortCut);
    if (withFilter) ini.WriteString(section, "Filter", item.Filter);
  }
}

}  // namespace

void TToolItem::Clear() {
  Caption.clear();
  FilePath.clear();
  Filter.clear();
  Param.clear();
  ShortCut = 0;
}

void LoadTools(const IniDoc& ini, ToolItemList& tools, ToolItemList& filters) {
  LoadList(ini, "Tools", false, tools);
  LoadList(ini, "Filter", true, filters);
}

void SaveTools(IniDoc& ini, const ToolItemList& tools, const ToolItemList& filters) {
  SaveList(ini, "Tools", false, tools);
  SaveList(ini, "Filter", true, filters);
}

int FindFilterForFile(const ToolItemList& filters, std::string_view extension) {
  const std::string key = "*" + FoldAscii(extension) + ",";
  for (size_t i = 0; i < filters.size(); ++i) {
    // UTF-8 cannot match inside a character, so a plain substring search is aligned.
    if ((FoldAscii(filters[i].Filter) + ",").find(key) != std::string::npos) return static_cast<int>(i);
  }
  return -1;
}

int FindFilterByCaption(const ToolItemList& filters, std::string_view caption) {
  const std::string c = Trim(caption);
  for (size_t i = 0; i < filters.size(); ++i)
    if (filters[i].Caption == c) return static_cast<int>(i);
  return -1;
}

}  // namespace yomira
