#include "sources/document_sources.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QSettings>
#include <QString>
#include <QUrl>
#include <algorithm>
#include <climits>
#include <string>
#include <utility>

#include "platform/datafolder.h"
#include "platform/file/regular_file.h"
#include "platform/text/cp932.h"
#include "sources/flag_guard.h"
#include "sources/history.h"
#include "platform/path/path_parts.h"

namespace yomira {
namespace {

const char kNoFile[] = " ]\nファイルがありません。";
const char kNotRead[] = " ]\nファイルが読み込めませんでした。";

// A ".desktop" link is a small text file; anything larger is not one.
constexpr uint64_t kMaxDesktopFileBytes = 64 * 1024;

// The "URL=" of a ".desktop" file's [Desktop Entry] when its Type is Link; "" otherwise.
std::string DesktopLinkTarget(const std::string& path) {
  std::string text;
  if (ReadRegularFile(path, kMaxDesktopFileBytes, text) != ReadFileStatus::Ok) return "";
  bool inEntry = false;
  bool isLink = false;
  std::string url;
  for (const std::string& raw : SplitLines(text)) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = Trim(std::string_view(line).substr(0, eq));
    const std::string value = Trim(std::string_view(line).substr(eq + 1));
    if (key == "Type") isLink = value == "Link";
    if (key == "URL") url = value;
  }
  if (!isLink || url.rfind("file://", 0) != 0) return "";
  const QUrl u(QString::fromStdString(url));
  if (!u.isValid() || !u.isLocalFile()) return "";
  return u.toLocalFile().toStdString();
}

}  // namespace

std::string AbsoluteCleanPath(std::string_view path) {
  if (path.empty()) return "";
  std::string full;
  if (path[0] != '/') {
    // The working folder by bytes: a path is never converted.
    std::string cwd(PATH_MAX, '\0');
    if (::getcwd(cwd.data(), cwd.size()) == nullptr) return std::string(path);
    cwd.resize(std::char_traits<char>::length(cwd.c_str()));
    full = cwd + "/";
  }
  full += path;
  std::vector<std::string_view> parts;
  const std::string_view all(full);
  size_t pos = 0;
  while (pos <= all.size()) {
    size_t end = all.find('/', pos);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view part = all.substr(pos, end - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = end + 1;
  }
  std::string out;
  for (const auto& part : parts) {
    out += '/';
    out += part;
  }
  return out.empty() ? "/" : out;
}

DocumentSources::DocumentSources(const SourcesFields& f, SourcesHost& host)
    : SourceLines(f.SourceLines),
      RecentFiles(f.RecentFiles),
      Filters(f.Filters),
      ActiveFilter(f.ActiveFilter),
      PendingRate(f.PendingRate),
      DocumentCodePage(f.DocumentCodePage),
      HtmlImported(f.HtmlImported),
      LaidOut(f.LaidOut),
      DocumentLoaded(f.DocumentLoaded),
      Loading(f.Loading),
      StartParams(f.StartParams),
      Option(f.Option),
      host_(host) {}

TDocumentKind DocumentSources::FileKindFromExt(std::string_view extension) {
  const std::string ext = AsciiLower(extension);
  if (ext == ".bmp" || ext == ".jpg" || ext == ".jpeg" || ext == ".gif" || ext == ".png") return dkImage;
  if (ext == ".wav") return dkSound;
  if (ext == ".html" || ext == ".htm") return dkHtml;
  return dkText;
}

std::string DocumentSources::ResolveShortcut(const std::string& path) {
  // Linux has no shell shortcut files: a symbolic link or a ".desktop" link stands for one.
  struct stat st;
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) return "";
  if (S_ISLNK(st.st_mode)) {
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return "";
    target.resize(static_cast<size_t>(n));
    // A relative target counts from the link's folder, an absolute link path first.
    if (target[0] != '/') target = ExtractFilePath(AbsoluteCleanPath(path)) + target;
    return AbsoluteCleanPath(target);
  }
  if (S_ISREG(st.st_mode) && AsciiLower(ExtractFileExt(path)) == ".desktop") return DesktopLinkTarget(path);
  return "";
}

void DocumentSources::OpenFileItem(const TFileItem& item, bool force, int filter, int charCode, bool keepBookSel,
                                   bool rebuild) {
  // A nested call (from inside a message box of this open) is dropped.
  if (Loading) return;
  {
    FlagGuard guard(Loading);
    OpenFileItemLocked(item, force, filter, charCode, keepBookSel, rebuild);
  }
  DrainForwarded();
}

void DocumentSources::ReadFailed(const std::string& path) {
  LaidOut = false;
  DocumentLoaded = false;
  host_.ClearDisplayLines();
  SourceLines.clear();
  host_.ShowMessage("[ " + path + kNotRead);
}

void DocumentSources::OpenFileItemLocked(const TFileItem& item, bool force, int filter, int charCode,
                                         bool /*keepBookSel*/, bool rebuild) {
  // A copy: the caller's entry may be one of RecentFiles, which AddHistory replaces.
  TFileItem entry(item);

  if (entry.Kind == fkLocalFile) {
    // A dangling link is still a shortcut: its target names the missing file.
    const std::string ext = AsciiLower(ExtractFileExt(entry.Path));
    struct stat st;
    if ((ext == ".lnk" || ext == ".desktop") && !entry.Path.empty() && ::lstat(entry.Path.c_str(), &st) == 0) {
      const std::string original = entry.Path;
      entry.Path = ResolveShortcut(entry.Path);
      if (entry.Path.empty()) {
        host_.ShowMessage("[ " + original + kNoFile);
        return;
      }
    }
    // Absolute and clean, so history keys and reopening do not depend on the working folder.
    entry.Path = AbsoluteCleanPath(entry.Path);
  }

  // Only a regular file: a FIFO or a device would block the window.
  if (!IsRegularFile(entry.Path)) {
    host_.ShowMessage("[ " + entry.Path + kNoFile);
    return;
  }

  const std::string ext = AsciiLower(ExtractFileExt(entry.Path));
  const TDocumentKind kind = FileKindFromExt(ext);

  if (kind == dkImage) {
    Option.bg_image = 1;
    Option.bg_image_str = entry.Path;
    if (!DocumentLoaded) return;
    force = true;
    rebuild = false;
  } else if (kind == dkSound) {
    Option.UseSound = 1;
    Option.SoundPath = entry.Path;
    host_.LoadTurnSound();
    if (!DocumentLoaded) return;
    rebuild = false;
  } else {
    const bool isHtml = kind == dkHtml;
    const bool parse = Option.ParseHTML != 0 && isHtml;
    // Clamped with parse too: an index kept from before the filters were edited must not
    // reach past the list.
    filter = std::min(filter, static_cast<int>(Filters.size()) - 1);
    if (!parse && filter == -1) filter = FindFilterForFile(Filters, ext);

    // Read into temporaries: nothing of the old document changes until the read succeeds.
    std::vector<std::string> lines;
    int codePage = 0;
    bool ok = false;
    try {
      if (filter < 0)
        ok = LoadTextFile(entry, lines, charCode, isHtml, parse, codePage, ImportHtml);
      else
        ok = RunFilter ? RunFilter(entry, lines, codePage, isHtml, true, filter) : false;
    } catch (const ConvertError& e) {
      host_.ShowMessage(e.what());
      ok = false;
    } catch (...) {
      ok = false;
    }
    if (!ok) {
      ReadFailed(entry.Path);
      return;
    }

    SourceLines.swap(lines);
    DocumentCodePage = codePage;
    HtmlImported = filter < 0 && parse;
    if (!parse) ActiveFilter = filter;

    host_.CheckReOpenCharset();
    if (host_.BookExists()) {
      host_.ScanFileList(entry.Kind == fkWeb ? DataFolder() + "/" : ExtractFilePath(entry.Path));
      if (!host_.LinkListHeld() && isHtml) {
        host_.BuildLinkList();
        if (host_.BookVisible() && host_.BookTabIndex() == 2) host_.RefreshBookTab();
      }
    }
    // Looked up before AddHistory moves this document to the top with the entry's Rate.
    if (PendingRate == -1) PendingRate = FindHistoryPosition(RecentFiles, entry);
    AddHistory(RecentFiles, entry.Kind, entry.Time, entry.Title, entry.Ext, entry.BaseUrl, entry.Href, entry.Path,
               entry.Rate);
    host_.UpdateRecentMenu();
    host_.SetMomentaryToggles(Option.aut_indent != 0, Option.re_wrap != 0, Option.toRuby != 0);
    host_.BuildFilterActions();
    if (host_.BookVisible()) host_.RefreshBookTab();
    DocumentLoaded = true;
  }

  host_.Relayout(force, rebuild);
  host_.ForceForeground();
}

bool DocumentSources::ReopenCurrent(bool force, int filter) {
  if (!DocumentLoaded || !LaidOut || RecentFiles.empty() || !RecentFiles[0]) return false;
  if (!IsRegularFile(RecentFiles[0]->Path)) return false;
  // A copy, so the entry's Rate and fields are those of the moment of the call.
  const TFileItem current(*RecentFiles[0]);
  OpenFileItem(current, force, filter, CharCodeFromCodePage(DocumentCodePage), true, true);
  return true;
}

void DocumentSources::RecentMenuClick(int tag) {
  if (RecentFiles.empty() || !RecentFiles[0] || RecentFiles[0]->Path.empty()) return;
  if (tag < 0 || tag >= static_cast<int>(RecentFiles.size()) || !RecentFiles[tag]) return;
  const TFileItem entry(*RecentFiles[tag]);
  if (entry.Kind == fkLocalFile) {
    PendingRate = entry.Rate;
    OpenFileItem(entry, false, -1, 0, true, true);
  } else if (entry.Kind == fkWeb) {
    if (OpenUrl) OpenUrl(entry.GetLocation(), entry.Rate);
  }
}

}  // namespace yomira
