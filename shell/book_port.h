// What the main window asks of the book window (shell/book_window.cpp); tests hand the main
// window recording stand-ins (tests/support/null_book_window.h).
#pragma once

#include <memory>
#include <string>

class QWidget;

namespace yomira {

class TForm1;

class BookWindowPort {
 public:
  virtual ~BookWindowPort() = default;
  virtual void show() = 0;
  virtual void close() = 0;
  virtual bool isVisible() const = 0;
  virtual bool everShown() const = 0;
  // Refills the main window's file list from folder (ending in "/"); unless force, only
  // while the window is visible. Previews are made while it is visible, or when
  // indexEvenIfHidden.
  virtual void scanFileList(const std::string& folder, bool force, bool indexEvenIfHidden = false) = 0;
  // The row of the file list next to path in direction (+1 or -1), or -1 for none.
  virtual int findNeighbourFile(const std::string& path, int direction) = 0;
  // Previews of the bookmarks, then of the file list.
  virtual void makeTextIndex() = 0;
  virtual void tabControlBookChange() = 0;
  // Refills the link list from the page's links.
  virtual void buildLinkList() = 0;
  virtual int tabIndex() const = 0;
  // The key codes changed: the window's keys and menus follow.
  virtual void rebuildKeys() = 0;
  // The window itself, for the stay-on-top band; null while there is none.
  virtual QWidget* widget() = 0;
};

// The real book window of a main window.
std::unique_ptr<BookWindowPort> MakeBookWindow(TForm1& form);

}  // namespace yomira
