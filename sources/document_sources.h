// Opening documents: every road (dialog, recent files, folders, drops, forwarded
// arguments, the web fetch, filters) ends in OpenFileItem. The fields are the main
// window's, held by reference; the main window is reached through SourcesHost.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/display_line.h"
#include "engine/core/option.h"
#include "sources/codepage.h"
#include "sources/file_item.h"
#include "sources/sources_host.h"
#include "sources/start_params.h"
#include "sources/tool_item.h"

namespace yomira {

// The document kind by extension.
enum TDocumentKind : int { dkText = 0, dkImage = 1, dkSound = 2, dkHtml = 3 };

// The main window's fields that the opening roads read and write. The program keeps one
// copy of each; where the relayout driver holds one, these refer to it.
struct SourcesFields {
  std::vector<std::string>& SourceLines;
  FileItemList& RecentFiles;
  ToolItemList& Filters;
  int& ActiveFilter;      // filter of the current document; -1 none, -2 explicitly none
  int& PendingRate;       // position for the next layout; -1 none, -2 keep the view
  int& DocumentCodePage;
  bool& HtmlImported;
  bool& LaidOut;
  bool& DocumentLoaded;
  bool& Loading;          // an open is in progress
  TParamOption& StartParams;
  TYomiraOption& Option;
};

// Storage for all the fields, for tools and tests that have no main window.
struct OwnedSourcesFields {
  std::vector<std::string> SourceLines;
  FileItemList RecentFiles;
  ToolItemList Filters;
  int ActiveFilter = -1;
  int PendingRate = -1;
  int DocumentCodePage = 0;
  bool HtmlImported = false;
  bool LaidOut = false;
  bool DocumentLoaded = false;
  bool Loading = false;
  TParamOption StartParams;
  TYomiraOption Option;

  SourcesFields Fields() {
    return {SourceLines, RecentFiles, Filters, ActiveFilter, PendingRate, DocumentCodePage,
            HtmlImported, LaidOut, DocumentLoaded, Loading, StartParams, Option};
  }
};

// path made absolute against the working folder and cleaned ("//", "." and ".." removed
// by the letters, links not followed). An empty path stays empty.
std::string AbsoluteCleanPath(std::string_view path);

// The regular files of a folder whose extension the option's file-list masks accept, as
// entries of kind 0 without a reading position (Rate -1), unsorted. Empty when the folder
// cannot be read.
FileItemList ListFolderFiles(const std::string& folder, const TYomiraOption& option);

class DocumentSources {
 public:
  DocumentSources(const SourcesFields& fields, SourcesHost& host);

  // Opens the entry (a copy of it; the caller's entry never changes). force: the relayout
  // refits the geometry. filter: index into Filters; -1 picks one by extension, other
  // negative values use none. charCode: the code-page choice 0..6. keepBookSel is
  // accepted and unused. rebuild: the relayout converts the source lines again.
  // Returns at once while another open is in progress; afterwards drains the forwarded
  // arguments queued meanwhile.
  void OpenFileItem(const TFileItem& item, bool force, int filter, int charCode, bool keepBookSel, bool rebuild);
  // The body of OpenFileItem without the guard, for a caller that holds Loading itself
  // (the web fetch opening its cache file).
  void OpenFileItemLocked(const TFileItem& item, bool force, int filter, int charCode, bool keepBookSel,
                          bool rebuild);
  // Opens the current document again in its own code page.
  // False when there was nothing to read again (no document, or its file is gone).
  bool ReopenCurrent(bool force, int filter);

  // The kind of an extension with its dot (any ASCII case), compared whole.
  static TDocumentKind FileKindFromExt(std::string_view extension);
  // The target of a symbolic link (absolute, cleaned, even when missing) or of a
  // ".desktop" link to a file:// URL; otherwise "".
  static std::string ResolveShortcut(const std::string& path);

  // The recent-file menu item with this tag.
  void RecentMenuClick(int tag);

  // Opens the first listed document of a folder in the book window's file-list order.
  // Note the argument order, unlike OpenFileItem's.
  void OpenDirectory(const std::string& folder, int charCode, int filter);
  // One argument forwarded by a second start. Queued while an open or a drain runs.
  void WMCopyData(const std::string& text);
  // Files dropped on the window: only the first counts. Ignored while an open runs.
  void WMDropFiles(const std::vector<std::string>& paths);
  // Handles the forwarded arguments queued during an open, in order. For callers that
  // hold Loading themselves, after they release it.
  void DrainForwarded();

  // One switch of the command line or of a second start.
  void ParseParam(std::string_view argument);
  // Applies the start position to page after a layout of displayLines. The relayout
  // driver resets StartParams afterwards.
  void ApplyParamPosition(int& page, const DisplayLines& displayLines);

  // Hooks; each empty by default.
  // Runs filter index on the entry into lines; false on failure (having shown its errors
  // when showErrors). Empty: false, with no message of its own.
  std::function<bool(TFileItem& item, std::vector<std::string>& lines, int& codePage, bool isHtml,
                     bool showErrors, int index)>
      RunFilter;
  // Fetches and opens a web page at a reading position. Empty: false.
  std::function<bool(const std::string& url, int rate)> OpenUrl;
  // The HTML import, passed to LoadTextFile.
  HtmlImportHook ImportHtml;

  // The fields, by reference.
  std::vector<std::string>& SourceLines;
  FileItemList& RecentFiles;
  ToolItemList& Filters;
  int& ActiveFilter;
  int& PendingRate;
  int& DocumentCodePage;
  bool& HtmlImported;
  bool& LaidOut;
  bool& DocumentLoaded;
  bool& Loading;
  TParamOption& StartParams;
  TYomiraOption& Option;

 private:
  void HandleForwarded(const std::string& text);
  void ReadFailed(const std::string& path);

  SourcesHost& host_;
  std::deque<std::string> forwarded_;
  bool draining_ = false;
};

}  // namespace yomira
