// The system colours the property grid draws with, as Qt colours.
#pragma once

#include <QColor>

#include <cstdint>

#include "platform/color.h"

namespace yomira {

constexpr uint32_t kWindow = kSystemColorFlag | 5;
constexpr uint32_t kHighlight = kSystemColorFlag | 13;
constexpr uint32_t kHighlightText = kSystemColorFlag | 14;
constexpr uint32_t kBtnFace = kSystemColorFlag | 15;
constexpr uint32_t kBtnShadow = kSystemColorFlag | 16;
constexpr uint32_t kGrayText = kSystemColorFlag | 17;
constexpr uint32_t kBtnText = kSystemColorFlag | 18;

// A colour value (0x00BBGGRR, or a system colour) to draw with.
inline QColor GridColor(uint32_t color) {
  const uint32_t c = ColorToRgb(color);
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace yomira
