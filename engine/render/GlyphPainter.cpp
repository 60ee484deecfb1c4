#include "engine/render/GlyphPainter.h"

#include <Qt>

#include "engine/render/GlyphDraw.h"
#include "engine/render/PanelLayout.h"
#include "engine/render/Pixels.h"
#include "platform/text/cp932.h"

namespace yomira {

void UseGlyphForm(TYomiraTextMetrics& metrics, int mode, std::string_view face) {
  bool changed = false;
  if (metrics.LogFont.lfFaceName != face) {
    metrics.LogFont.lfFaceName = std::string(face);
    changed = true;
  }
  if (changed || metrics.Orientation != mode || metrics.FontMode() != mode) metrics.SetOrientation(mode);
}

void BitmapPainter::DrawString(int32_t x, int32_t y, const TYomiraTextMetrics& metrics, bool aa,
                               std::string_view text) {
  yomira::DrawString(page_, x, y, metrics, aa, text);
}

int32_t BitmapPainter::PairWidth(const TYomiraTextMetrics& metrics, std::string_view pair) {
  int32_t width = 0;
  const int n = static_cast<int>(pair.size());
  for (int pos = 1; pos <= n; pos = NextChar(pair, pos)) {
    const int len = CharLen(pair, pos);
    const auto b0 = static_cast<unsigned char>(pair[pos - 1]);
    const uint16_t code =
        len == 2 ? static_cast<uint16_t>(b0 * 256 + static_cast<unsigned char>(pair[pos])) : b0;
    const GlyphRaster* g = metrics.Glyph(code);
    width += g ? g->cellIncX : metrics.LogFont.lfHeight / 2;
  }
  return width;
}

void BitmapPainter::DrawDashRule(int32_t x, int32_t y, const TYomiraTextMetrics& metrics, bool aa,
                                 std::string_view ch, int32_t joinFrom, int32_t joinTo) {
  yomira::DrawDashRule(page_, x, y, metrics, aa, ch, joinFrom, joinTo);
}

void BitmapPainter::DrawRepeatMark(std::string_view glyph, TYomiraTextMetrics& metrics, int mode, bool aa,
                                   int split, int32_t cell, int32_t x, int32_t y) {
  // The caller keeps the cell count; the primitive's advance lands on this copy.
  yomira::DrawRepeatMark(page_, glyph, metrics, mode, aa, split, cell, x, y);
}

void BitmapPainter::DrawSideLine(int32_t n, int32_t side, int mode, int32_t x, int32_t y) {
  yomira::DrawSideLine(page_, option_, n, side, mode, x, y);
}

void BitmapPainter::DrawSideRule(int32_t x, int32_t y, int32_t n) { yomira::DrawSideRule(page_, option_, x, y, n); }

void BitmapPainter::BlendEmphasisMark(int32_t n, int32_t type, int mode, int32_t x, int32_t y) {
  yomira::BlendEmphasisMark(page_, strip_, option_, ruby_, n, type, mode, x, y);
}

void BitmapPainter::DrawPicture(const QImage& picture, const Rect& rect) {
  const int64_t w = int64_t{rect.right} - rect.left, h = int64_t{rect.bottom} - rect.top;
  if (page_.isNull() || picture.isNull() || w <= 0 || h <= 0) return;
  // A rectangle no bitmap could hold (a picture thousands of times taller than wide) is
  // not scaled at all.
  if (w > PanelLayout::kMaxBitmapSide || h > PanelLayout::kMaxBitmapSide) return;
  const QImage scaled =
      picture.scaled(static_cast<int>(w), static_cast<int>(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  Composite(page_, rect.left, rect.top, scaled);
}

}  // namespace yomira
