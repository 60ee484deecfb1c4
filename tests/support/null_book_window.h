// A book window that is never shown and answers "nothing there": tests derive the stand-ins
// they hand the main window from it and override what they record.
#pragma once

#include <string>

#include "shell/book_port.h"

namespace yomira::test {

class NullBookWindow : public BookWindowPort {
 public:
  void show() override {}
  void close() override {}
  bool isVisible() const override { return false; }
  bool everShown() const override { return false; }
  void scanFileList(const std::string&, bool, bool) override {}
  int findNeighbourFile(const std::string&, int) override { return -1; }
  void makeTextIndex() override {}
  void tabControlBookChange() override {}
  void buildLinkList() override {}
  int tabIndex() const override { return 0; }
  void rebuildKeys() override {}
  QWidget* widget() override { return nullptr; }
};

}  // namespace yomira::test
