// A recording SourcesHost for the tests of the opening roads and of later callers. Every
// call appends one line to calls ("Relayout(0,1)", "ScanFileList(/d/)"); the book window
// and full screen answer from fields; ShowMessage and Relayout can run a callback, so that
// events arrive during a message box or the relayout driver can be imitated.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/core/option_defaults.h"
#include "sources/document_sources.h"
#include "sources/history.h"
#include "sources/sources_host.h"

namespace yomira::test {

class FakeSourcesHost : public SourcesHost {
 public:
  void ShowMessage(const std::string& text) override {
    messages.push_back(text);
    Record("ShowMessage(" + text + ")");
    if (onShowMessage) onShowMessage(text);
  }
  void Relayout(bool force, bool rebuild) override {
    Record(std::string("Relayout(") + B(force) + "," + B(rebuild) + ")");
    if (onRelayout) onRelayout(force, rebuild);
  }
  void ClearDisplayLines() override { Record("ClearDisplayLines"); }
  void ForceForeground() override { Record("ForceForeground"); }
  bool IsFullScreen() override { return fullScreen; }
  void ExecuteFullScreen() override {
    Record("ExecuteFullScreen");
    fullScreen = !fullScreen;
  }
  void CheckReOpenCharset() override { Record("CheckReOpenCharset"); }
  void UpdateRecentMenu() override { Record("UpdateRecentMenu"); }
  void SetMomentaryToggles(bool autIndent, bool reWrap, bool toRuby) override {
    Record(std::string("SetMomentaryToggles(") + B(autIndent) + "," + B(reWrap) + "," + B(toRuby) + ")");
  }
  void BuildFilterActions() override { Record("BuildFilterActions"); }
  void LoadTurnSound() override { Record("LoadTurnSound"); }
  FileListOrder GetFileListOrder() override { return order; }
  void ApplyStyleIndex(int index) override { Record("ApplyStyleIndex(" + std::to_string(index) + ")"); }
  void ApplyStyleName(const std::string& name) override { Record("ApplyStyleName(" + name + ")"); }
  bool BookExists() override { return bookExists; }
  bool BookVisible() override { return bookExists && bookVisible; }
  int BookTabIndex() override { return bookTab; }
  void ScanFileList(const std::string& folder) override { Record("ScanFileList(" + folder + ")"); }
  bool LinkListHeld() override { return linkListHeld; }
  void BuildLinkList() override { Record("BuildLinkList"); }
  void RefreshBookTab() override { Record("RefreshBookTab"); }

  // Calls whose line starts with prefix.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }
  void Clear() {
    calls.clear();
    messages.clear();
  }

  std::vector<std::string> calls;
  std::vector<std::string> messages;
  std::function<void(const std::string&)> onShowMessage;
  std::function<void(bool force, bool rebuild)> onRelayout;
  bool fullScreen = false;
  bool bookExists = false;
  bool bookVisible = false;
  int bookTab = 0;
  bool linkListHeld = false;
  FileListOrder order;

 private:
  static const char* B(bool b) { return b ? "1" : "0"; }
  void Record(std::string call) { calls.push_back(std::move(call)); }
};

// What the relayout driver does with the opening state: a loaded document is laid out,
// the pending position consumed and the start parameters reset.
inline void ImitateRelayout(OwnedSourcesFields& f) {
  if (!f.DocumentLoaded) return;
  f.LaidOut = true;
  f.PendingRate = -1;
  f.StartParams.Reset();
}

}  // namespace yomira::test

namespace yomira::test {

// The fields, the fake host and the opening roads over them, with the first-start options.
struct SourcesWorld {
  SourcesWorld() : sources(fields.Fields(), host) {
    fields.Option = DefaultOptions();
    host.onRelayout = [this](bool, bool) {
      pendingAtRelayout.push_back(fields.PendingRate);
      ImitateRelayout(fields);
    };
  }
  SourcesWorld(const SourcesWorld&) = delete;
  SourcesWorld& operator=(const SourcesWorld&) = delete;

  static TFileItem Local(const std::string& path) {
    TFileItem item;
    item.Kind = fkLocalFile;
    item.Path = path;
    return item;
  }
  void AddFilter(const std::string& caption, const std::string& masks) {
    TToolItem t;
    t.Caption = caption;
    t.Filter = masks;
    fields.Filters.push_back(t);
  }
  // A filter runner that records the index it is given and yields one line in cp932.
  void StubFilter() {
    sources.RunFilter = [this](TFileItem&, std::vector<std::string>& lines, int& codePage, bool, bool showErrors,
                               int index) {
      EXPECT_TRUE(showErrors);  // the open lets the filter show its own errors
      filterRuns.push_back(index);
      lines = {"filtered"};
      codePage = 932;
      return true;
    };
  }
  std::vector<std::string> HistoryLocations() const {
    std::vector<std::string> out;
    for (const auto& e : fields.RecentFiles) out.push_back(e->GetLocation());
    return out;
  }

  OwnedSourcesFields fields;
  FakeSourcesHost host;
  DocumentSources sources;
  std::vector<int> pendingAtRelayout;  // PendingRate as each relayout found it
  std::vector<int> filterRuns;
};

}  // namespace yomira::test
