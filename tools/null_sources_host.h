// The document sources' host for programs without a window (tools, benchmarks, the fuzz
// entry): no message box, no relayout, no book window.
#pragma once

#include <string>

#include "sources/file_item.h"
#include "sources/sources_host.h"

namespace yomira::tools {

// The link list is held when linkListHeld says so, the file list sorted by order.
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

}  // namespace yomira::tools
