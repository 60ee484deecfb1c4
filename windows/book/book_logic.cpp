#include "windows/book/book_logic.h"

#include <algorithm>

#include "platform/file/file_ops.h"
#include "platform/file/regular_file.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "sources/codepage.h"
#include "sources/document_sources.h"
#include "platform/path/path_parts.h"

namespace yomira {

FileItemList ScanFolderFiles(const std::string& folder, const TYomiraOption& option, const FileListOrder& order) {
  if (folder.empty() || !IsExistingDirectory(folder)) return {};
  FileItemList list = ListFolderFiles(folder, option);
  if (!list.empty()) SortFileItems(list, order);
  return list;
}

std::vector<int> BuildLinkList(const FileItemList& pageLinks, bool sameDomain,
                               const std::function<std::string(const std::string&)>& hostOfUrl) {
  std::vector<int> out;
  for (int i = 0; i < static_cast<int>(pageLinks.size()); ++i) {
    const TFileItem* e = pageLinks[i].get();
    if (!e) continue;
    bool pass = false;
    if (e->Kind == fkLocalFile) {
      pass = true;
    } else if (e->Kind == fkWeb) {
      pass = !sameDomain || e->Href.size() < 5 || e->Href.compare(0, 4, "http") != 0 ||
             (hostOfUrl && hostOfUrl(e->BaseUrl) == hostOfUrl(e->Href));
    }
    if (pass) out.push_back(i);
  }
  return out;
}

std::string PreviewFromLines(const std::vector<std::string>& cp932Lines) {
  std::string joined;
  int taken = 0;
  for (const std::string& raw : cp932Lines) {
    const std::string line = Trim(raw);
    if (line.empty()) continue;
    if (line.size() >= 50) {
      if (taken > 0) break;
      continue;
    }
    if (taken > 0) joined += " / ";
    joined += line;
    if (++taken == 3) break;
  }
  return Cp932ToUtf8(joined);
}

std::string GetTextIndex(TFileItem& entry, const PreviewSource& source) {
  // A missing file, a folder, a FIFO or a device: nothing to read (and never block on it).
  if (!IsRegularFile(entry.Path)) return "";
  if (AsciiLower(ExtractFileExt(entry.Path)) == ".desktop") {
    const std::string target = DocumentSources::ResolveShortcut(entry.Path);
    if (target.empty()) return "";  // keeps its own path: a bookmark never loses its file
    entry.Path = target;
    if (!IsRegularFile(entry.Path)) return "";
  }
  std::vector<std::string> lines;
  const std::string ext = AsciiLower(ExtractFileExt(entry.Path));
  const int filter = source.filters ? FindFilterForFile(*source.filters, ext) : -1;
  try {
    if (filter >= 0) {
      if (!source.runFilter) return "";
      TFileItem copy = entry;
      int codePage = 0;
      if (!source.runFilter(copy, lines, codePage, false, false, filter)) return "";
    } else {
      std::string bytes;
      bool cut = false;
      if (ReadRegularFilePrefix(entry.Path, kPreviewReadBytes, bytes, cut) != ReadFileStatus::Ok) return "";
      DecodeText(lines, bytes, static_cast<TCharCode>(ccAuto));
      // The last line of a cut read is incomplete.
      if (cut && !lines.empty()) lines.pop_back();
    }
  } catch (const std::exception&) {
    return "";
  }
  return PreviewFromLines(lines);
}

void MakeTextIndex(FileItemList& list, const PreviewSource& source) {
  for (auto& e : list)
    if (e && e->Kind == fkLocalFile) e->Title = GetTextIndex(*e, source);
}

int FindNeighbourFile(const FileItemList& fileList, const std::string& path, int direction) {
  const int count = static_cast<int>(fileList.size());
  for (int r = 0; r < count; ++r) {
    if (!fileList[r] || fileList[r]->Path != path) continue;
    if (direction == -1) return r > 0 ? r - 1 : -1;
    if (direction == 1) return r + 1 < count ? r + 1 : -1;
    return -1;
  }
  return -1;
}

bool IsCurrentDocument(const TFileItem& entry, const TFileItem* current) {
  if (!current || current->Kind != entry.Kind) return false;
  if (entry.Kind == fkLocalFile) return entry.Path == current->Path;
  if (entry.Kind == fkWeb) return entry.GetLocation() == current->GetLocation();
  return false;
}

std::string RowCaption(const TFileItem& entry, int tab, bool textIndex) {
  const bool title = !entry.Title.empty() && (tab == kTabLinkList || textIndex);
  if (title) return entry.Title;
  if (entry.Kind == fkLocalFile) return FileNamePart(entry.Path);
  return entry.GetLocation();
}

std::string HintTime(double time) {
  const std::string k = TimeKey(time);  // yyyymmddhhnnss
  if (k.size() < 12) return k;
  return k.substr(0, 4) + "/" + k.substr(4, 2) + "/" + k.substr(6, 2) + " " + k.substr(8, 2) + ":" + k.substr(10, 2);
}

std::string RowHintText(const TFileItem& entry, int tab) {
  static const std::string kIndent = "\xE3\x80\x80";  // U+3000
  std::string text = entry.Kind == fkLocalFile ? entry.Path : entry.GetLocation();
  if (!entry.Title.empty()) text += "\n" + kIndent + entry.Title;
  if (tab == kTabBookMark) text += "\n" + kIndent + std::to_string(entry.Rate / 100) + "%";
  if (tab == kTabFileList) text += "\n" + kIndent + HintTime(entry.Time);
  return text;
}

RowBar RowBarGeometry(int w, int top, int h, int p) {
  p = std::clamp(p, 0, 10000);
  if (p <= 0 || w <= 0) return {};
  const int x = static_cast<int>(static_cast<int64_t>(w) * p / 10000);
  const int barH = h - 1 - h / 2;
  if (barH <= 0) return {};
  RowBar b;
  b.bar = QRect(0, top + h / 2, x, barH);
  b.ellipse = QRect(x - barH, top + h / 2, 2 * barH, barH);
  return b;
}

}  // namespace yomira
