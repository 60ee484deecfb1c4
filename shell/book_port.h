// What the main window asks of the book window. Until the book window is built a hidden
// placeholder stands in (shell/book_placeholder.h).
#pragma once

#include <string>

class QWidget;

namespace yomira {

class BookWindowPort {
 public:
  virtual ~BookWindowPort() = default;
  virtual void show() {}
  virtual void close() {}
  virtual bool isVisible() const { return false; }
  virtual bool everShown() const { return false; }
  // Refills the main window's file list from folder (ending in "/"); unless force, only
  // while the window is visible.
  virtual void scanFileList(const std::string& /*folder*/, bool /*force*/) {}
  // The row of the file list next to path in direction (+1 or -1), or -1 for none.
  virtual int findNeighbourFile(const std::string& /*path*/, int /*direction*/) { return -1; }
  virtual void makeTextIndex() {}
  virtual void tabControlBookChange() {}
  // The window itself, for the stay-on-top band; null while there is none.
  virtual QWidget* widget() { return nullptr; }
};

}  // namespace yomira
