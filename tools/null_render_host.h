// The renderer's host for programs without a window (tools, benchmarks): no pictures, no
// data folder, nothing shown. A tool overrides what it serves or records.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <string>

#include "engine/render/RenderHost.h"

namespace yomira::tools {

class NullRenderHost : public RenderHost {
 public:
  QImage loadPicture(const std::string&) override { return QImage(); }
  QImage loadResourcePicture(const std::string&, const std::string&) override { return QImage(); }
  std::string dataFolder() override { return std::string(); }
  void setBottomBars(const QImage&, const QImage&, const QImage&) override {}
  void setPageLabelColour(QRgb) override {}
  void applyPanelLayout(const PanelLayout&) override {}
  bool isFullScreen() override { return false; }
  // No screen: an empty size.
  QSize screenSize() override { return QSize(); }
  QPoint mapToScreen(QPoint imagePoint) override { return imagePoint; }
  QSize hintSize(const std::string&, int32_t) override { return QSize(); }
  QSize cursorSize() override { return QSize(32, 32); }
  void showHint(const std::string&, const QRect&) override {}
  void hideHint() override {}
  void updateSliderPosition(int32_t, int32_t) override {}
  void showPageLabel(int32_t, int32_t) override {}
  void setHistoryPosition(int32_t) override {}
  std::string currentFileName() override { return std::string(); }
};

}  // namespace yomira::tools
