// What the renderer asks of the program around it. Every member is the host's to
// implement; the main window implements it, tests use a recording fake.
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
  virtual QImage loadPicture(const std::string& pathUtf8) = 0;
  // A picture built into the program (("IMG_EMPHASIS", "GIF"): the emphasis-mark strip);
  // null when there is none.
  virtual QImage loadResourcePicture(const std::string& name, const std::string& type) = 0;
  // The data folder (UTF-8), or empty when there is none.
  virtual std::string dataFolder() = 0;
  // The background under the bottom bar: slider skin, page-label and menu panels.
  virtual void setBottomBars(const QImage& slider, const QImage& text, const QImage& menu) = 0;
  virtual void setPageLabelColour(QRgb colour) = 0;

  // The window fitting: size and place the panels and the client area as the layout says.
  virtual void applyPanelLayout(const PanelLayout& layout) = 0;
  virtual bool isFullScreen() = 0;
  // The size of the screen the window is on.
  virtual QSize screenSize() = 0;
  // A point of the page image in screen coordinates.
  virtual QPoint mapToScreen(QPoint imagePoint) = 0;
  // The annotation hint: the size the hint window needs for a text no wider than maxWidth,
  // the mouse cursor's size, and showing and hiding the hint window.
  virtual QSize hintSize(const std::string& textUtf8, int32_t maxWidth) = 0;
  virtual QSize cursorSize() = 0;
  virtual void showHint(const std::string& textUtf8, const QRect& rect) = 0;
  virtual void hideHint() = 0;

  // The spread drawing: slider position and page label for the view shown (page 0 of 0
  // views without a document), the reading position of the view in 1/10000 of the
  // document for history entry 0, and that entry's path (UTF-8; "" for none).
  virtual void updateSliderPosition(int32_t page, int32_t views) = 0;
  virtual void showPageLabel(int32_t page, int32_t views) = 0;
  virtual void setHistoryPosition(int32_t rate) = 0;
  virtual std::string currentFileName() = 0;
};

}  // namespace yomira
