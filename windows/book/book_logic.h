// What the book window computes without widgets: the folder scan, the link filter, the text
// previews, the neighbour file and the pieces of a row (caption, hint, bar).
#pragma once

#include <QRect>

#include <functional>
#include <string>
#include <vector>

#include "engine/core/option.h"
#include "sources/file_item.h"
#include "sources/tool_item.h"

namespace yomira {

// The book window's tabs.
enum BookTab { kTabBookMark = 0, kTabFileList = 1, kTabLinkList = 2, kBookTabCount = 3 };

// The listed files of folder (entries of kind 0, Rate -1, sorted by order); nothing when
// the folder is empty or not a directory.
FileItemList ScanFolderFiles(const std::string& folder, const TYomiraOption& option, const FileListOrder& order);

// Positions in pageLinks of the links shown: local links always; web links unless
// sameDomain, their href is not absolute "http..." or its host equals their page's.
std::vector<int> BuildLinkList(const FileItemList& pageLinks, bool sameDomain,
                               const std::function<std::string(const std::string&)>& hostOfUrl);

// How previews read files that have an external filter.
struct PreviewSource {
  const ToolItemList* filters = nullptr;
  // The filter hook of the sources; empty: previews of filtered files are "".
  std::function<bool(TFileItem& item, std::vector<std::string>& lines, int& codePage, bool isHtml, bool showErrors,
                     int index)>
      runFilter;
};

constexpr uint64_t kPreviewReadBytes = 64 * 1024;

// Up to three short lines (under 50 cp932 bytes after trimming) joined by " / ", in UTF-8.
std::string PreviewFromLines(const std::vector<std::string>& cp932Lines);
// The preview of a local entry's file; a ".desktop" link is replaced by its target in the
// entry first (kept when it does not resolve). "" when the file cannot be read.
std::string GetTextIndex(TFileItem& entry, const PreviewSource& source);
// Sets the title of every local entry to its preview; web entries keep theirs.
void MakeTextIndex(FileItemList& list, const PreviewSource& source);

// The row of fileList beside path (paths compared exactly), or -1.
int FindNeighbourFile(const FileItemList& fileList, const std::string& path, int direction);

// The row's entry on a tab and whether it is the current document.
bool IsCurrentDocument(const TFileItem& entry, const TFileItem* current);
std::string RowCaption(const TFileItem& entry, int tab, bool textIndex);
// The hint: location, an indented title, then the position (tab 0) or the time (tab 1).
std::string RowHintText(const TFileItem& entry, int tab);
// "yyyy/mm/dd hh:nn".
std::string HintTime(double time);

// The reading-position bar of a row of width w at top with height h, p clamped to 0..10000;
// empty rectangles for p 0.
struct RowBar {
  QRect bar;
  QRect ellipse;
};
RowBar RowBarGeometry(int w, int top, int h, int p);

}  // namespace yomira
