#include "sources/history.h"

#include <memory>

#include "platform/datafolder.h"
#include "platform/path/path_parts.h"

namespace yomira {
namespace {

bool HasKey(const TFileItem& item, std::string_view key) {
  if (item.Kind == fkLocalFile) return item.Path == key;
  if (item.Kind == fkWeb) return item.GetLocation() == key;
  return false;
}

std::string DoubleAmpersands(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

}  // namespace

void AddHistory(FileItemList& list, int kind, double time, const std::string& title, const std::string& ext,
                const std::string& baseUrl, const std::string& href, const std::string& path, int rate) {
  // Built first: the arguments may be fields of the entry removed below.
  auto item = std::make_unique<TFileItem>();
  item->Kind = static_cast<int16_t>(kind);
  item->Time = time;
  item->Title = title;
  item->Ext = ext;
  item->BaseUrl = baseUrl;
  item->Href = href;
  item->Path = path;
  item->Rate = rate;
  if (kind != fkLocalFile && kind != fkWeb) return;

  const int d = FindHistory(list, kind == fkLocalFile ? item->Path : item->GetLocation());
  list.insert(list.begin(), std::move(item));
  if (d >= 0) list.erase(list.begin() + d + 1);
  while (list.size() > static_cast<size_t>(kHistoryMax)) list.pop_back();
}

int FindHistory(const FileItemList& list, std::string_view key) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i] && HasKey(*list[i], key)) return static_cast<int>(i);
  return -1;
}

int FindHistoryPosition(const FileItemList& list, const TFileItem& entry, std::string_view clipboardPath) {
  if (entry.Path == clipboardPath) return -1;
  for (const auto& item : list) {
    if (!item || item->Kind != entry.Kind) continue;
    if (entry.Kind == fkLocalFile && item->Path == entry.Path) return item->Rate;
    if (entry.Kind == fkWeb && item->GetLocation() == entry.GetLocation()) return item->Rate;
  }
  return 0;
}

int FindHistoryPosition(const FileItemList& list, const TFileItem& entry) {
  return FindHistoryPosition(list, entry, DataPath("ClipBord.txt"));
}

int GetHistoryPosition(const FileItemList& list) {
  return list.empty() || !list[0] ? -1 : list[0]->Rate;
}

std::string GetCurrentFileName(const FileItemList& list) {
  return list.empty() || !list[0] ? std::string() : list[0]->Path;
}

void SetHistoryPosition(FileItemList& list, int index, int rate) {
  if (index < 0 || index >= static_cast<int>(list.size()) || !list[index]) return;
  list[index]->Rate = rate;
}

void ListHistoryURLs(const FileItemList& list, std::vector<std::string>& strings) {
  strings.clear();
  for (const auto& item : list)
    if (item && item->Kind == fkWeb) strings.push_back(item->GetLocation());
}

std::string RecentCaption(const TFileItem& entry, int n) {
  std::string name;
  if (entry.Kind == fkLocalFile) {
    name = FileNamePart(entry.Path);
  } else if (entry.Kind == fkWeb) {
    name = entry.Href;
  }
  // Appended piece by piece: GCC 12 warns falsely on "literal" + std::string&&.
  std::string caption = "&";
  caption += std::to_string(n);
  caption += ' ';
  caption += DoubleAmpersands(name);
  if (n > 0) {
    caption += '\t';
    caption += std::to_string(entry.Rate / 100);
    caption += '%';
  }
  return caption;
}

std::array<RecentMenuItem, kHistoryMax> RecentMenuItems(const FileItemList& list) {
  std::array<RecentMenuItem, kHistoryMax> items;
  for (int n = 0; n < kHistoryMax; ++n) {
    if (n < static_cast<int>(list.size()) && list[n]) items[n] = {RecentCaption(*list[n], n), true};
  }
  return items;
}

}  // namespace yomira
