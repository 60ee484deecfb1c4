// Folders, drops and the arguments a second start forwards.
#include "sources/arguments.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <memory>

#include "platform/text/cp932.h"
#include "sources/document_sources.h"
#include "sources/flag_guard.h"
#include "platform/path/path_parts.h"

namespace yomira {
namespace {

enum class PathType { None, File, Folder };

// Links followed: a link to a file is a file.
PathType TypeOf(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return PathType::None;
  if (S_ISREG(st.st_mode)) return PathType::File;
  if (S_ISDIR(st.st_mode)) return PathType::Folder;
  return PathType::None;
}

}  // namespace

ClassifiedArgument ClassifyArgument(std::string_view text) {
  std::string path(text);
  if (text.size() > 7 && text.substr(0, 7) == "file://") {
    // Percent-decoded, and "file:///home/..." keeps its leading "/".
    path = QUrl(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))).toLocalFile().toStdString();
  }
  switch (TypeOf(path)) {
    case PathType::File: return {ArgumentKind::File, path};
    case PathType::Folder: return {ArgumentKind::Folder, path};
    case PathType::None: break;
  }
  if (text.size() > 4 && text.substr(0, 4) == "http") return {ArgumentKind::Url, std::string(text)};
  const std::string trimmed = Trim(text);
  if (trimmed.empty() || trimmed[0] == '-') return {ArgumentKind::Switch, std::string(text)};
  return {ArgumentKind::Missing, path};
}

const char* ArgumentKindName(ArgumentKind kind) {
  switch (kind) {
    case ArgumentKind::File: return "file";
    case ArgumentKind::Folder: return "folder";
    case ArgumentKind::Url: return "url";
    case ArgumentKind::Missing: return "missing";
    case ArgumentKind::Switch: break;
  }
  return "switch";
}

FileItemList ListFolderFiles(const std::string& folder, const TYomiraOption& option) {
  FileItemList items;
  if (folder.empty()) return items;
  const std::string prefix = folder.back() == '/' ? folder : folder + "/";
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return items;
  while (const dirent* e = ::readdir(dir.get())) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string ext = AsciiLower(ExtractFileExt(name));
    if (!option.IsListedExtension(ext)) continue;
    const std::string path = prefix + name;
    // Only regular files, after links: a FIFO would block the read.
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    auto item = std::make_unique<TFileItem>();
    item->Kind = fkLocalFile;
    item->Rate = -1;
    item->Path = path;
    item->Ext = ext;
    const qint64 ms = qint64{st.st_mtim.tv_sec} * 1000 + st.st_mtim.tv_nsec / 1000000;
    item->Time = FileTimeToDateTime(QDateTime::fromMSecsSinceEpoch(ms).toLocalTime());
    items.push_back(std::move(item));
  }
  return items;
}

void DocumentSources::OpenDirectory(const std::string& folder, int charCode, int filter) {
  if (TypeOf(folder) != PathType::Folder) return;
  FileItemList items = ListFolderFiles(folder, Option);
  if (items.empty()) return;
  SortFileItems(items, host_.GetFileListOrder());
  OpenFileItem(*items[0], false, filter, charCode, false, true);
}

void DocumentSources::WMCopyData(const std::string& text) {
  forwarded_.push_back(text);
  DrainForwarded();
}

void DocumentSources::DrainForwarded() {
  // One argument at a time, in order: an argument that arrives while one is handled (from
  // a message box of its open) waits for it.
  if (Loading || draining_) return;
  FlagGuard guard(draining_);
  while (!forwarded_.empty() && !Loading) {
    const std::string text = std::move(forwarded_.front());
    forwarded_.pop_front();
    HandleForwarded(text);
  }
}

void DocumentSources::HandleForwarded(const std::string& text) {
  const ClassifiedArgument arg = ClassifyArgument(text);
  switch (arg.kind) {
    case ArgumentKind::File:
    case ArgumentKind::Missing: {
      // A missing path takes the open road too, which says the file is not there.
      TFileItem entry;
      entry.Kind = fkLocalFile;
      entry.Path = arg.path;
      OpenFileItem(entry, true, StartParams.StartFilter, StartParams.StartCharCode, false, true);
      break;
    }
    case ArgumentKind::Folder:
      OpenDirectory(arg.path, StartParams.StartCharCode, StartParams.StartFilter);
      break;
    case ArgumentKind::Url:
      if (OpenUrl) OpenUrl(text, 0);
      break;
    case ArgumentKind::Switch:
      ParseParam(text);
      return;
  }
  host_.ForceForeground();
}

void DocumentSources::WMDropFiles(const std::vector<std::string>& paths) {
  if (Loading || paths.empty()) return;
  const std::string& path = paths.front();
  switch (TypeOf(path)) {
    case PathType::File: {
      TFileItem entry;
      entry.Kind = fkLocalFile;
      entry.Path = path;
      OpenFileItem(entry, false, -1, 0, false, true);
      break;
    }
    case PathType::Folder:
      OpenDirectory(path, 0, -1);
      break;
    case PathType::None:
      break;
  }
}

}  // namespace yomira
