#include "engine/render/TextMetrics.h"

#include "platform/color.h"

namespace yomira {

GlyphMetrics MetricsOf(const GlyphRaster& g) {
  GlyphMetrics gm;
  gm.gmBlackBoxX = static_cast<uint32_t>(g.w);
  gm.gmBlackBoxY = static_cast<uint32_t>(g.h);
  gm.gmptGlyphOrigin = {g.ox, g.oy};
  gm.gmCellIncX = g.cellIncX;
  return gm;
}

void TYomiraTextMetrics::Build() {
  font_ = LogFont.lfHeight > 0 ? FontEngine::Instance().Resolve(LogFont.lfFaceName, LogFont.lfWeight >= 700)
                               : nullptr;
}

void TYomiraTextMetrics::SetFont(std::string_view face, bool bold, int32_t height) {
  LogFont.lfHeight = height;
  LogFont.lfWidth = 0;
  LogFont.lfEscapement = 0;
  LogFont.lfWeight = bold ? 700 : 400;
  LogFont.lfFaceName = std::string(face);
  // Escapement 0 is the upright horizontal form; Orientation is left as it was and the
  // callers switch before drawing.
  fontMode_ = goHorizontal;
  Build();
  ReadMetrics();
}

void TYomiraTextMetrics::ReadMetrics() {
  Metrics = font_ ? FontEngine::Instance().Metrics(font_, LogFont.lfHeight) : FontMetrics{};
  const uint32_t c = ColorToRgb(TextColor);
  Red = static_cast<int32_t>(c & 0xFF);
  Green = static_cast<int32_t>((c >> 8) & 0xFF);
  Blue = static_cast<int32_t>((c >> 16) & 0xFF);
}

void TYomiraTextMetrics::SetOrientation(int mode) {
  Orientation = mode;
  if (mode < 0 || mode > 5) return;  // stored, font unchanged
  static constexpr int kEscapement[6] = {2700, 0, 1800, 2700, 2700, 2700};
  LogFont.lfEscapement = kEscapement[mode];
  // The long repeat mark is exactly twice as long as the natural glyph, whatever font
  // was in force before the switch.
  LogFont.lfWidth = mode >= 3 ? 2 : 0;
  fontMode_ = mode;
  Build();
  ReadMetrics();
}

void TYomiraTextMetrics::SetFaceName(std::string_view face) {
  LogFont.lfFaceName = std::string(face);
  Build();
  Metrics = font_ ? FontEngine::Instance().Metrics(font_, LogFont.lfHeight) : FontMetrics{};
}

void TYomiraTextMetrics::AdjustGlyphOrigin(int32_t& x, int32_t& y, bool flipped, const GlyphMetrics& gm) const {
  const int32_t ox = gm.gmptGlyphOrigin.x, oy = gm.gmptGlyphOrigin.y;
  const int32_t A = Metrics.tmAscent, D = Metrics.tmDescent, IL = Metrics.tmInternalLeading;
  const int32_t Hf = LogFont.lfHeight;
  if (Orientation == goHorizontal) {
    x += ox;
    if (!flipped)
      y += A - oy;
    else
      y -= A + oy;
  } else if (Orientation == goRotated) {
    x += Hf + ox;
    y -= A + oy - Hf;
  } else {
    x += D + ox - IL;
    y -= oy;
  }
}

void TYomiraTextMetrics::AdvanceGlyph(int32_t& x, int32_t& y, int bytes, const GlyphMetrics& gm) const {
  if (Orientation == goHorizontal) {
    x += static_cast<int16_t>(gm.gmCellIncX);
  } else if (bytes == 1) {
    y += LogFont.lfHeight / 2 + ExtraAdvance;
  } else {
    y += LogFont.lfHeight + ExtraAdvance;
  }
}

const GlyphRaster* TYomiraTextMetrics::Glyph(uint16_t code) const {
  if (!font_) return nullptr;
  return FontEngine::Instance().Glyph(font_, LogFont.lfHeight, code, fontMode_);
}

}  // namespace yomira
