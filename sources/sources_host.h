// The main window as the document sources see it. The main window implements it; tests use
// a recording fake, srcprobe a tracing one, other tools a null one (tools/). No Qt types here.
#pragma once

#include <string>

#include "sources/file_item.h"

namespace yomira {

class SourcesHost {
 public:
  virtual ~SourcesHost() = default;

  // A modal message box (UTF-8): events, forwarded arguments among them, may arrive during it.
  virtual void ShowMessage(const std::string& text) = 0;

  // The relayout driver: force refits the geometry, rebuild converts the source lines again.
  virtual void Relayout(bool force, bool rebuild) = 0;
  // Frees every display line.
  virtual void ClearDisplayLines() = 0;

  virtual void ForceForeground() = 0;
  virtual bool IsFullScreen() = 0;
  // The full-screen action, as if the user chose it.
  virtual void ExecuteFullScreen() = 0;

  // The re-open menu checks the item of the current DocumentCodePage.
  virtual void CheckReOpenCharset() = 0;
  virtual void UpdateRecentMenu() = 0;
  virtual void SetMomentaryToggles(bool autIndent, bool reWrap, bool toRuby) = 0;
  // The filter actions and menu, the active filter checked.
  virtual void BuildFilterActions() = 0;

  // Loads the page-turn sound from the option's SoundPath.
  virtual void LoadTurnSound() = 0;
  // The book window's current file-list order.
  virtual FileListOrder GetFileListOrder() = 0;
  virtual void ApplyStyleIndex(int index) = 0;
  virtual void ApplyStyleName(const std::string& name) = 0;

  // The book window. A host without one answers false.
  virtual bool BookExists() = 0;
  virtual bool BookVisible() = 0;
  virtual int BookTabIndex() = 0;
  // Rescans folder (ending in "/"), not forced: the list is refilled only while visible.
  virtual void ScanFileList(const std::string& folder) = 0;
  virtual bool LinkListHeld() = 0;
  virtual void BuildLinkList() = 0;
  virtual void RefreshBookTab() = 0;
};

}  // namespace yomira
