// The font, metrics, orientation mode and colours of one text layer (body or ruby).
// There is no canvas: the metrics object keeps the font in force, and the drawing calls
// take the metrics they draw with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/core/option.h"
#include "engine/render/FontEngine.h"
#include "platform/color.h"

namespace yomira {

enum TGlyphOrientation : int {
  goVertical = 0,
  goHorizontal = 1,
  goRotated = 2,
  goLongRepeat = 3,
  goLongRepeatFirst = 4,
  goLongRepeatSecond = 5,
};

// clWindowText comes with the colour codec; the window colour is its system index 5.
constexpr TColor clWindow = kSystemColorFlag | 5;

// Black box, origin and advance of one glyph, named after the platform's glyph metrics.
struct GlyphMetrics {
  uint32_t gmBlackBoxX = 0;
  uint32_t gmBlackBoxY = 0;
  Point gmptGlyphOrigin;
  int32_t gmCellIncX = 0;  // read as a 16-bit signed value by AdvanceGlyph
};

// The description of the font being built.
struct LogFontDesc {
  int32_t lfHeight = 0;
  int32_t lfWidth = 0;  // 0 natural; 2 for the doubled long repeat mark
  int32_t lfEscapement = 0;
  int32_t lfWeight = 400;
  std::string lfFaceName;  // UTF-8, whole
};

class TYomiraTextMetrics {
 public:
  int32_t ExtraAdvance = 0;
  int32_t Blue = 0, Green = 0, Red = 0;
  // The stored mode; any value. The font in force keeps its own mode (FontMode()).
  int Orientation = goVertical;
  TColor TextColor = clWindowText;
  TColor BackColor = clWindow;  // kept for the layer description; never read when drawing
  FontMetrics Metrics;
  LogFontDesc LogFont;

  void SetFont(std::string_view face, bool bold, int32_t height);
  void ReadMetrics();
  void SetOrientation(int mode);
  void SetFaceName(std::string_view face);

  void AdjustGlyphOrigin(int32_t& x, int32_t& y, bool flipped, const GlyphMetrics& gm) const;
  void AdvanceGlyph(int32_t& x, int32_t& y, int bytes, const GlyphMetrics& gm) const;

  // The font in force (null when none, or the height is not positive) and the
  // orientation it was built with.
  const ResolvedFont* Font() const { return font_; }
  int FontMode() const { return fontMode_; }
  // The glyph of a cp932 code in the font in force, or null.
  const GlyphRaster* Glyph(uint16_t code) const;

 private:
  void Build();
  const ResolvedFont* font_ = nullptr;
  int fontMode_ = goHorizontal;
};

GlyphMetrics MetricsOf(const GlyphRaster& g);

}  // namespace yomira
