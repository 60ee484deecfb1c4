// What the renderer asks of the program around it. Every member defaults to nothing, so
// a host overrides only what it serves; the main window implements it, tests use a
// recording fake.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <cstdint>
#include <string>

#include "engine/render/PanelLayout.h"

namespace yomira {

class RenderHost {
 public:
  virtual ~RenderHost() = default;
  // A picture file decoded into an image; null on any failure.
  virtual QImage loadPicture(const std::string& pathUtf8) {
    (void)pathUtf8;
    return QImage();
  }
  // A picture built into the program (("IMG_EMPHASIS", "GIF"): the emphasis-mark strip);
  // null when there is none.
  virtual QImage loadResourcePicture(const std::string& name, const std::string& type) {
    (void)name;
    (void)type;
    return QImage();
  }
  // The data folder (UTF-8), or empty when there is none.
  virtual std::string dataFolder() { return std::string(); }
  // The background under the bottom bar: slider skin, page-label and menu panels.
  virtual void setBottomBars(const QImage& slider, const QImage& text, const QImage& menu) {
    (void)slider;
    (void)text;
    (void)menu;
  }
  virtual void setPageLabelColour(QRgb colour) { (void)colour; }

  // The window fitting: size and place the panels and the client area as the layout says.
  virtual void applyPanelLayout(const PanelLayout& layout) { (void)layout; }
  virtual bool isFullScreen() { return false; }
  // The size of the screen the window is on.
  virtual QSize screenSize() { return QSize(); }
  // A point of the page image in screen coordinates.
  virtual QPoint mapToScreen(QPoint imagePoint) { return imagePoint; }
  // The annotation hint: the size the hint window needs for a text no wider than maxWidth,
  // the mouse cursor's size, and showing and hiding the hint window.
  virtual QSize hintSize(const std::string& textUtf8, int32_t maxWidth) {
    (void)textUtf8;
    (void)maxWidth;
    return QSize();
  }
  virtual QSize cursorSize() { return QSize(32, 32); }
  virtual void showHint(const std::string& textUtf8, const QRect& rect) {
    (void)textUtf8;
    (void)rect;
  }
  virtual void hideHint() {}

  // The spread drawing: slider position and page label for the view shown (page 0 of 0
  // views without a document), the reading position of the view in 1/10000 of the
  // document for history entry 0, and that entry's path (UTF-8; "" for none).
  virtual void updateSliderPosition(int32_t page, int32_t views) {
    (void)page;
    (void)views;
  }
  virtual void showPageLabel(int32_t page, int32_t views) {
    (void)page;
    (void)views;
  }
  virtual void setHistoryPosition(int32_t rate) { (void)rate; }
  virtual std::string currentFileName() { return std::string(); }
};

}  // namespace yomira
