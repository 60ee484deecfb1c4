// What the renderer asks of the program around it. Every member defaults to nothing, so
// a host overrides only what it serves; the main window implements it, tests use a
// recording fake.
#pragma once

#include <QImage>
#include <QRgb>

#include <string>

namespace yomira {

class RenderHost {
 public:
  virtual ~RenderHost() = default;
  // A picture file decoded into an image; null on any failure.
  virtual QImage loadPicture(const std::string& pathUtf8) {
    (void)pathUtf8;
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
};

}  // namespace yomira
