// The page background: panel sizes, the colour or tiled picture, manuscript-paper lines
// with fold marks, the page-edge shadow and the strips under the bottom bar.
#pragma once

#include <QImage>

#include <cstdint>

#include "engine/core/option.h"
#include "engine/render/PanelLayout.h"

namespace yomira {

PanelLayout ComputePanelSizes(const TYomiraOption& option);

int32_t ClampByte(int32_t value);
// ClampByte(delta * step / max(steps, 1) + base)
int32_t FadeChannel(int32_t base, int32_t delta, int32_t steps, int32_t step);

// The fill: back_color, then, when a picture is given (non-null, non-empty), the picture
// composited with its alpha over it and tiled from the top-left corner.
void FillBackground(QImage& back, const TYomiraOption& option, const QImage& picture);
void DrawManuscriptLines(QImage& back, const TYomiraOption& option);
void DrawShadow(QImage& back, const TYomiraOption& option);
void ShadeBitmap(QImage& bitmap, const TYomiraOption& option, bool two);

struct BottomBars {
  QImage slider;  // under the page slider (may be null when the panel is narrow)
  QImage text;    // under the page label
  QImage menu;    // under the menu buttons
};
BottomBars CopyBottomBars(const QImage& back, const PanelLayout& layout, const TYomiraOption& option);

}  // namespace yomira
