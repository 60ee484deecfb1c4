// What the line and ruby drawing draw through. BitmapPainter puts pixels into the page
// bitmap; tests put a recording painter in its place, so positions are checked exactly
// without a font.
#pragma once

#include <QImage>

#include <cstdint>
#include <string_view>

#include "engine/core/option.h"
#include "engine/render/TextMetrics.h"

namespace yomira {

class GlyphPainter {
 public:
  virtual ~GlyphPainter() = default;
  // Text at (x, y) in the font and orientation in force in the metrics.
  virtual void DrawString(int32_t x, int32_t y, const TYomiraTextMetrics& metrics, bool aa,
                          std::string_view text) = 0;
  // A dash whose neighbour in the line is a dash too, drawn as a rule that reaches joinFrom
  // and joinTo (DrawDashRule); by default as plain text.
  virtual void DrawDashRule(int32_t x, int32_t y, const TYomiraTextMetrics& metrics, bool aa, std::string_view ch,
                            int32_t /*joinFrom*/, int32_t /*joinTo*/) {
    DrawString(x, y, metrics, aa, ch);
  }
  // Width of two single-byte characters set upright side by side: the sum of their
  // integer advances.
  virtual int32_t PairWidth(const TYomiraTextMetrics& metrics, std::string_view pair) = 0;
  // A long repeat mark whose first cell is cell + 1; split 1 or 2 draws one half.
  virtual void DrawRepeatMark(std::string_view glyph, TYomiraTextMetrics& metrics, int mode, bool aa, int split,
                              int32_t cell, int32_t x, int32_t y) = 0;
  virtual void DrawSideLine(int32_t n, int32_t side, int mode, int32_t x, int32_t y) = 0;
  virtual void DrawSideRule(int32_t x, int32_t y, int32_t n) = 0;
  virtual void BlendEmphasisMark(int32_t n, int32_t type, int mode, int32_t x, int32_t y) = 0;
  // The picture scaled into rect (right and bottom exclusive), composited with its alpha.
  virtual void DrawPicture(const QImage& picture, const Rect& rect) = 0;
};

// Draws into a page bitmap with the primitives of GlyphDraw.
class BitmapPainter : public GlyphPainter {
 public:
  BitmapPainter(QImage& page, const QImage& emphasisStrip, const TYomiraOption& option,
                const TYomiraTextMetrics& ruby)
      : page_(page), strip_(emphasisStrip), option_(option), ruby_(ruby) {}

  void DrawString(int32_t x, int32_t y, const TYomiraTextMetrics& metrics, bool aa, std::string_view text) override;
  void DrawDashRule(int32_t x, int32_t y, const TYomiraTextMetrics& metrics, bool aa, std::string_view ch,
                    int32_t joinFrom, int32_t joinTo) override;
  int32_t PairWidth(const TYomiraTextMetrics& metrics, std::string_view pair) override;
  void DrawRepeatMark(std::string_view glyph, TYomiraTextMetrics& metrics, int mode, bool aa, int split,
                      int32_t cell, int32_t x, int32_t y) override;
  void DrawSideLine(int32_t n, int32_t side, int mode, int32_t x, int32_t y) override;
  void DrawSideRule(int32_t x, int32_t y, int32_t n) override;
  void BlendEmphasisMark(int32_t n, int32_t type, int mode, int32_t x, int32_t y) override;
  void DrawPicture(const QImage& picture, const Rect& rect) override;

 private:
  QImage& page_;
  const QImage& strip_;
  const TYomiraOption& option_;
  const TYomiraTextMetrics& ruby_;
};

// Switches a layer to an orientation mode and face, rebuilding its font only when one of
// them changes (the line drawing switches per character).
void UseGlyphForm(TYomiraTextMetrics& metrics, int mode, std::string_view face);

}  // namespace yomira
