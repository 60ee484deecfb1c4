// Glyph and mark drawing into a page bitmap (QImage::Format_RGB32). Target image first;
// positions are those of the layout grid.
#pragma once

#include <QImage>

#include <cstdint>
#include <string_view>

#include "engine/core/option.h"
#include "engine/render/TextMetrics.h"

namespace yomira {

// A 17-level coverage raster (values 0-16), rows top-down, pitch bytes per row.
struct Gray4Raster {
  int32_t w = 0;
  int32_t h = 0;
  int32_t pitch = 0;
  const uint8_t* data = nullptr;
};

// The canvas path's blend of one 256-level raster with its top-left at (x, y):
// c + cov * (k - c) / 255, truncating toward zero, inside the clip rectangle.
void BlendCoverage(QImage& page, int32_t x, int32_t y, const GlyphRaster& glyph, const TYomiraTextMetrics& metrics,
                   const Rect& clip);

// aa on: the outline path; off: the canvas path, reference point as the canvas takes it.
void DrawString(QImage& page, int32_t x, int32_t y, const TYomiraTextMetrics& metrics, bool aa,
                std::string_view text);
// A dash drawn as a rule: the stroke of ch's glyph (its columns with their ink, where
// DrawString would put them) runs over the rows of its own ink, stretched up to joinFrom and
// down to joinTo when these lie beyond it, so that dashes in a row touch across the spacing.
// A glyph that is no vertical stroke (not taller than wide) is drawn as DrawString draws it.
void DrawDashRule(QImage& page, int32_t x, int32_t y, const TYomiraTextMetrics& metrics, bool aa,
                  std::string_view ch, int32_t joinFrom, int32_t joinTo);
void DrawOutlineString(QImage& bitmap, int32_t x, const TYomiraTextMetrics* metrics, std::string_view text,
                       int32_t y);
void BlendGlyphGray4(QImage& bitmap, int32_t x, const TYomiraTextMetrics& metrics, const Gray4Raster& glyph,
                     int32_t y);
// Long repeat mark over two cells (split 0), or its upper (1) or lower (2) half.
void DrawRepeatMark(QImage& page, std::string_view glyph, TYomiraTextMetrics& metrics, int mode, bool aa,
                    int split, int32_t& cell, int32_t x, int32_t y);
// Side line right of n half-width cells, in the text colour.
void DrawSideLine(QImage& page, const TYomiraOption& option, int32_t n, int32_t side, int mode, int32_t x,
                  int32_t y);
// Annotation rule in the ruby colour.
void DrawSideRule(QImage& page, const TYomiraOption& option, int32_t x, int32_t y, int32_t n);
// One emphasis mark from the strip (8r x r), blended in the ruby colour of the metrics.
void BlendEmphasisMark(QImage& page, const QImage& strip, const TYomiraOption& option,
                       const TYomiraTextMetrics& ruby, int32_t n, int32_t type, int mode, int32_t x, int32_t y);

}  // namespace yomira
