// What the book window needs of the main window: its lists, state and a few operations.
#pragma once

#include <QRect>

#include <string>
#include <vector>

#include "engine/core/option.h"
#include "sources/file_item.h"
#include "sources/tool_item.h"

class QWidget;

namespace yomira {

class ActionCatalogue;
class ShellEnv;

class BookHost {
 public:
  virtual ~BookHost() = default;

  // The main window's lists, by reference; LinkList holds positions in PageLinks.
  virtual FileItemList& BookMarks() = 0;
  virtual FileItemList& FileList() = 0;
  virtual FileItemList& PageLinks() = 0;
  virtual std::vector<int>& LinkList() = 0;
  virtual const FileItemList& RecentFiles() = 0;
  virtual const ToolItemList& Filters() = 0;
  virtual const TYomiraOption& Option() = 0;
  virtual bool DocumentLoaded() = 0;
  virtual bool LaidOut() = 0;
  virtual int& PendingRate() = 0;
  virtual int ActiveFilter() = 0;
  virtual QRect& BookRect() = 0;
  // Whether BookRect came from the settings file (else it is the default, never shown).
  virtual bool BookRectSaved() = 0;
  // The main window: the book window is a tool window of it, opened beside it. Null: none.
  virtual QWidget* MainWindow() = 0;
  virtual std::string DataFolder() = 0;
  virtual ShellEnv& Env() = 0;
  virtual ActionCatalogue& Actions() = 0;
  // Whether the main window is the active window.
  virtual bool MainActive() = 0;

  virtual void OpenFileItem(const TFileItem& item, bool force, int filter, int charCode, bool keepBookSel,
                            bool rebuild) = 0;
  virtual bool OpenUrl(const std::string& url, int rate) = 0;
  virtual void ReopenCurrent(bool force, int filter) = 0;
  // The sources' filter hook; false when there is none.
  virtual bool RunFilter(TFileItem& item, std::vector<std::string>& lines, int& codePage, bool isHtml,
                         bool showErrors, int index) = 0;
  virtual bool HasFilterRunner() = 0;
  virtual std::string HostOfUrl(const std::string& url) = 0;
  virtual void EnableActions(bool main, bool book) = 0;
  virtual void SetStayOnTop(QWidget* window, bool on) = 0;
};

}  // namespace yomira
