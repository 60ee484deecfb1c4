// The book window's stand-in: never shown, but it keeps the folder's file list and finds
// the neighbouring file, so opening the next or previous file of a folder works without it.
#pragma once

#include <functional>
#include <string>

#include "engine/core/option.h"
#include "shell/book_port.h"
#include "sources/file_item.h"

namespace yomira {

class BookPlaceholder : public BookWindowPort {
 public:
  // The main window's lists and option record, and the file-list order it keeps.
  BookPlaceholder(FileItemList& fileList, const FileItemList& recentFiles, const TYomiraOption& option,
                  std::function<FileListOrder()> order);

  // Hidden: only a forced scan fills the list.
  void scanFileList(const std::string& folder, bool force) override;
  // Paths are compared exactly: Linux file names are case-sensitive.
  int findNeighbourFile(const std::string& path, int direction) override;

 private:
  FileItemList& fileList_;
  const FileItemList& recentFiles_;
  const TYomiraOption& option_;
  std::function<FileListOrder()> order_;
};

}  // namespace yomira
