// What the main window asks of the book window. Until the book window is built a hidden
// placeholder stands in, doing nothing.
#pragma once

#include <string>

namespace yomira {

class BookWindowPort {
 public:
  virtual ~BookWindowPort() = default;
  virtual void show() {}
  virtual void close() {}
  virtual bool isVisible() const { return false; }
  virtual bool everShown() const { return false; }
  virtual void scanFileList(const std::string& /*folder*/, bool /*force*/) {}
  virtual std::string findNeighbourFile(int /*direction*/) { return {}; }
  virtual void makeTextIndex() {}
  virtual void tabControlBookChange() {}
};

}  // namespace yomira
