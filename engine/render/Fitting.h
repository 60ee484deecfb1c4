// Layout numbers against the window: the inverse fits used while the user drags the window
// border (which font, or which grid, fills a client size), the hit test that turns a point
// of the page image into a cell of the annotation map, and the placing of the hint window.
// All divisions truncate toward zero in the order written; products are taken in 64 bits.
#pragma once

#include <cstdint>
#include <optional>

#include <QPoint>
#include <QRect>
#include <QSize>

#include "engine/core/option.h"
#include "engine/render/PanelLayout.h"

namespace yomira {

// The panel sizes of the layout, placed for the window: in full screen centred on a screen
// of screenSize with the client area left alone, otherwise at (0, 0) with the client area
// sized to the panel. HintWidth = lw * L.
PanelLayout FitWindowToLayout(const TYomiraOption& option, bool fullScreen, QSize screenSize);

struct FontFit {
  int32_t f_size = 0;
  int32_t ruby_size = 0;
  bool operator==(const FontFit&) const = default;
};

struct GridFit {
  int32_t c_size = 0;  // lines per block
  int32_t v_size = 0;  // half-width cells per line, always even
  bool operator==(const GridFit&) const = default;
};

// The font and ruby size that fill a client area of height h and width w at the record's
// grid. The ruby size is taken with the new font size, so the size a resize preview
// announces is the one applied. Not clamped: the callers clamp and validate. A record that
// would divide by zero keeps its own values.
FontFit FontForWindow(const TYomiraOption& option, int32_t h, int32_t w);

// Lines per block and half-width cells per line that fill the client area at the record's
// font. An odd cell count is raised by one (negative ones too). Not clamped.
GridFit GridForWindow(const TYomiraOption& option, int32_t h, int32_t w);

// A cell of the annotation map; every index 0-based, pages and lines counted from the right.
struct AnnotationCell {
  int32_t cell = 0;
  int32_t line = 0;
  int32_t page = 0;
  int32_t block = 0;
  bool operator==(const AnnotationCell&) const = default;
};

// The cell under (x, y) of the page image whose panel is panelWidth wide; none in the
// margins, the gaps between pages and blocks, or past the last cell of a line.
std::optional<AnnotationCell> HitTestAnnotation(const TYomiraOption& option, int32_t panelWidth, int32_t x,
                                                int32_t y);

// Where the hint window goes for the mouse at screenPoint: 16 px to its right, one cursor
// height lower when it would reach past the right edge of the screen.
QRect PlaceHint(QPoint screenPoint, QSize hintSize, int32_t screenWidth, QSize cursorSize);

}  // namespace yomira
