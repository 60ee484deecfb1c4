// Sizes of the page panel and its parts, and of the bitmaps that stand for them.
#pragma once

#include <cstdint>

namespace yomira {

struct PanelLayout {
  static constexpr int32_t kBottomBarHeight = 20;  // B
  static constexpr int32_t kBottomTextWidth = 70;
  static constexpr int32_t kBottomMenuWidth = 70;
  static constexpr int32_t kMaxBitmapSide = 16384;
  static constexpr int64_t kMaxBitmapPixels = int64_t{1} << 25;  // 128 MiB at 4 bytes

  // The panel as the layout asks for it (64-bit: valid layouts pass 2^31).
  int64_t baseWidth = 0;
  int64_t baseHeight = 0;
  int64_t viewWidth = 0;   // = baseWidth
  int64_t viewHeight = 0;  // = baseHeight - B
  int64_t bottomTextWidth = kBottomTextWidth;
  int64_t bottomMenuWidth = kBottomMenuWidth;
  int64_t bottomCenterWidth = 0;  // max(0, baseWidth - 140)

  // The bitmaps after the caps; drawing clips to them.
  int32_t backWidth = 0;
  int32_t backHeight = 0;
  int32_t pageWidth = 0;
  int32_t pageHeight = 0;

  // Set by the window fitting. The shell clears the window's size constraints first
  // (maximum width, maximum height, minimum width, minimum height), places the panel at
  // (baseLeft, baseTop) and, when setClientSize, gives the client area the panel's size;
  // in full screen the client keeps the screen's size and the panel is centred on it.
  bool clearConstraints = false;
  int64_t baseLeft = 0;
  int64_t baseTop = 0;
  bool setClientSize = false;
  int64_t clientWidth = 0;
  int64_t clientHeight = 0;
  int32_t HintWidth = 0;  // width limit of the annotation hint: lw * L
};

}  // namespace yomira
