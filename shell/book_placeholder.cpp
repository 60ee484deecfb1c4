#include "shell/book_placeholder.h"

#include "sources/document_sources.h"

namespace yomira {

BookPlaceholder::BookPlaceholder(FileItemList& fileList, const FileItemList& recentFiles,
                                 const TYomiraOption& option, std::function<FileListOrder()> order)
    : fileList_(fileList), recentFiles_(recentFiles), option_(option), order_(std::move(order)) {}

void BookPlaceholder::scanFileList(const std::string& folder, bool force) {
  if (!force && !isVisible()) return;
  fileList_ = ListFolderFiles(folder, option_);
  if (!fileList_.empty()) SortFileItems(fileList_, order_ ? order_() : FileListOrder{});
}

int BookPlaceholder::findNeighbourFile(const std::string& path, int direction) {
  if (recentFiles_.empty() || !recentFiles_.front()) return -1;
  // A web document has no folder neighbours (the real window shows its link list).
  if (recentFiles_.front()->Kind != fkLocalFile) return -1;
  const int count = static_cast<int>(fileList_.size());
  for (int r = 0; r < count; ++r) {
    if (!fileList_[r] || fileList_[r]->Path != path) continue;
    if (direction == -1) return r > 0 ? r - 1 : -1;
    if (direction == 1) return r + 1 < count ? r + 1 : -1;
    return -1;
  }
  return -1;
}

}  // namespace yomira
