// What the main window asks of the book window (shell/book_window.cpp); tests hand the main
// window recording stand-ins.
#pragma once

#include <memory>
#include <string>

class QWidget;

namespace yomira {

class TForm1;

class BookWindowPort {
 public:
  virtual ~BookWindowPort() = default;
  virtual void show() {}
  virtual void close() {}
  virtual bool isVisible() const { return false; }
  virtual bool everShown() const { return false; }
  // Refills the main window's file list from folder (ending in "/"); unless force, only
  // while the window is visible. Previews are made while it is visible, or when
  // indexEvenIfHidden.
  virtual void scanFileList(const std::string& /*folder*/, bool /*force*/, bool /*indexEvenIfHidden*/ = false) {}
  // The row of the file list next to path in direction (+1 or -1), or -1 for none.
  virtual int findNeighbourFile(const std::string& /*path*/, int /*direction*/) { return -1; }
  // Previews of the bookmarks, then of the file list.
  virtual void makeTextIndex() {}
  virtual void tabControlBookChange() {}
  // Refills the link list from the page's links.
  virtual void buildLinkList() {}
  virtual int tabIndex() const { return 0; }
  // The key codes changed: the window's keys and menus follow.
  virtual void rebuildKeys() {}
  // The window itself, for the stay-on-top band; null while there is none.
  virtual QWidget* widget() { return nullptr; }
};

// The real book window of a main window.
std::unique_ptr<BookWindowPort> MakeBookWindow(TForm1& form);

}  // namespace yomira
