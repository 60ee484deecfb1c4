// The main window as the document sources see it. The main window implements it; tests use
// a recording fake and srcprobe a tracing one. No Qt types here.
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

// A host that does nothing and has no book window, for tools and benchmarks; the link
// list is held when linkListHeld says so, the file list sorted by order.
class NullSourcesHost : public SourcesHost {
 public:
  void ShowMessage(const std::string&) override {}
  void Relayout(bool, bool) override {}
  void ClearDisplayLines() override {}
  void ForceForeground() override {}
  bool IsFullScreen() override { return false; }
  void ExecuteFullScreen() override {}
  void CheckReOpenCharset() override {}
  void UpdateRecentMenu() override {}
  void SetMomentaryToggles(bool, bool, bool) override {}
  void BuildFilterActions() override {}
  void LoadTurnSound() override {}
  FileListOrder GetFileListOrder() override { return order; }
  void ApplyStyleIndex(int) override {}
  void ApplyStyleName(const std::string&) override {}
  bool BookExists() override { return false; }
  bool BookVisible() override { return false; }
  int BookTabIndex() override { return 0; }
  void ScanFileList(const std::string&) override {}
  bool LinkListHeld() override { return linkListHeld; }
  void BuildLinkList() override {}
  void RefreshBookTab() override {}

  FileListOrder order;
  bool linkListHeld = false;
};

}  // namespace yomira
