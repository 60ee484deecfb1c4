// Ruby beside its base (centred, spread, or split over two lines), the upright pair test,
// and kanbun reading marks and okurigana drawn from annotations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/core/option.h"
#include "engine/render/GlyphPainter.h"
#include "engine/render/TextMetrics.h"

namespace yomira {

struct RubyContext {
  const TYomiraOption& option;
  TYomiraTextMetrics& ruby;
  GlyphPainter& painter;
};

// True when the two single-byte characters at the 1-based boundary p of text are both in
// tty_words and the character after them is not (a run of three stays vertical).
bool IsTateChuYoko(const TYomiraOption& option, std::string_view text, int p);

// Byte length with each "／″＼" counted as 4 (it is drawn in two units, like "／＼").
// Only texts over 5 bytes can hold one.
int32_t DisplayLength(std::string_view text);

// Splits a ruby of display length n in proportion to the base's extent on the first line
// (bb) and on the second (a). Never splits inside a character or a repeat mark.
void SplitRuby(std::string_view text, int32_t n, std::string& second, std::string& first, int32_t a, int32_t bb);

// Draws a ruby run downward from (x, y) when draw is on; pen ends below the run.
void DrawTextRun(const RubyContext& ctx, std::string_view text, Point& pen, bool draw, int32_t gap, int32_t x,
                 int32_t y);

// Places the ruby of the base from start to baseEnd. b: y of the line's first character,
// c: y below the last character of the previous line (the base's end there when split).
void PlaceRuby(const RubyContext& ctx, std::string_view text, Point& pen, int mode, int32_t b, int32_t c,
               Point start, Point baseEnd);

// Draws a reading mark or bracketed okurigana; false when the annotation is neither.
bool DrawKaeriten(const RubyContext& ctx, std::string_view text, int32_t x, int32_t y);

}  // namespace yomira
