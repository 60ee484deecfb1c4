#include "engine/render/GlyphDraw.h"

#include <algorithm>
#include <vector>

#include "platform/color.h"
#include "engine/render/Pixels.h"
#include "platform/text/cp932.h"

namespace yomira {

namespace {

uint16_t CodeAt(std::string_view text, int pos, int len) {
  const auto b0 = static_cast<unsigned char>(text[pos - 1]);
  if (len == 1) return b0;
  return static_cast<uint16_t>(b0 * 256 + static_cast<unsigned char>(text[pos]));
}

// c + v * (k - c) / 16 for every v and c, per channel, for the last few text colours
// (body and ruby alternate while a page is drawn).
struct Gray17Table {
  int32_t key = -1;
  uint8_t channel[3][17][256];
};

const Gray17Table& TableFor(int kr, int kg, int kb) {
  thread_local Gray17Table tables[4];
  thread_local int next = 0;
  const int32_t key = (kr << 16) | (kg << 8) | kb;
  for (const Gray17Table& t : tables)
    if (t.key == key) return t;
  Gray17Table& t = tables[next];
  next = (next + 1) % 4;
  const int k[3] = {kr, kg, kb};
  for (int ch = 0; ch < 3; ++ch)
    for (int v = 0; v <= 16; ++v)
      for (int c = 0; c < 256; ++c) t.channel[ch][v][c] = static_cast<uint8_t>(c + v * (k[ch] - c) / 16);
  t.key = key;
  return t;
}

}  // namespace

void BlendCoverage(QImage& page, int32_t x, int32_t y, const GlyphRaster& g, const TYomiraTextMetrics& m,
                   const Rect& clip) {
  if (page.isNull() || g.w <= 0 || g.h <= 0 || g.coverage.size() < static_cast<size_t>(g.w) * g.h) return;
  const int32_t top = std::max({y, clip.top, 0});
  const int32_t bottom = std::min({y + g.h, clip.bottom, static_cast<int32_t>(page.height())});
  const int32_t left = std::max({x, clip.left, 0});
  const int32_t right = std::min({x + g.w, clip.right, static_cast<int32_t>(page.width())});
  const int kr = m.Red, kg = m.Green, kb = m.Blue;
  const QRgb ink = qRgb(kr, kg, kb);
  uchar* bits = page.bits();
  const qsizetype bpl = page.bytesPerLine();
  for (int32_t py = top; py < bottom; ++py) {
    const uint8_t* cov = g.coverage.data() + static_cast<size_t>(py - y) * g.w;
    QRgb* row = reinterpret_cast<QRgb*>(bits + bpl * py);
    for (int32_t px = left; px < right; ++px) {
      const int c = cov[px - x];
      if (c == 0) continue;
      if (c == 255) {  // full cover: the text colour itself
        row[px] = ink;
        continue;
      }
      const QRgb p = row[px];
      const int r = qRed(p), gr = qGreen(p), b = qBlue(p);
      row[px] = qRgb(r + c * (kr - r) / 255, gr + c * (kg - gr) / 255, b + c * (kb - b) / 255);
    }
  }
}

namespace {

void DrawCanvasString(QImage& page, int32_t x, int32_t y, const TYomiraTextMetrics& m, std::string_view text) {
  const int32_t f = m.LogFont.lfHeight;
  Rect clip{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  if (m.Orientation == goLongRepeatFirst || m.Orientation == goLongRepeatSecond) {
    clip = {x - f, y, x, y + f};
    if (m.Orientation == goLongRepeatSecond) y -= f;
  }
  const int n = static_cast<int>(text.size());
  for (int pos = 1; pos <= n;) {
    const int len = CharLen(text, pos);
    const GlyphRaster* g = m.Glyph(CodeAt(text, pos, len));
    GlyphMetrics gm;
    if (g) {
      // The reference point of a turned font is the cell's top-right (bottom-right for 180).
      int32_t cx = x, cy = y;
      const int mode = m.FontMode();
      if (mode != goHorizontal) cx -= f;
      if (mode == goRotated) cy -= f;
      if (g->w > 0 && g->h > 0) BlendCoverage(page, cx + g->bx, cy + g->by, *g, m, clip);
      gm = MetricsOf(*g);
    } else {
      gm.gmCellIncX = len == 2 ? f : f / 2;
    }
    m.AdvanceGlyph(x, y, len, gm);
    pos += len;
  }
}

}  // namespace

void DrawString(QImage& page, int32_t x, int32_t y, const TYomiraTextMetrics& metrics, bool aa,
                std::string_view text) {
  if (page.isNull()) return;
  if (aa)
    DrawOutlineString(page, x, &metrics, text, y);
  else
    DrawCanvasString(page, x, y, metrics, text);
}

void DrawDashRule(QImage& page, int32_t x, int32_t y, const TYomiraTextMetrics& metrics, bool aa,
                  std::string_view ch, int32_t joinFrom, int32_t joinTo) {
  if (page.isNull()) return;
  const GlyphRaster* g = ch.empty() || !metrics.Font() ? nullptr : metrics.Glyph(CodeAt(ch, 1, CharLen(ch, 1)));
  if (!g || g->w <= 0 || g->h <= g->w) {
    DrawString(page, x, y, metrics, aa, ch);
    return;
  }
  // Where the raster lands, as each drawing path places it, and its ink in that path's levels.
  int32_t left = x, top = y;
  if (aa) {
    metrics.AdjustGlyphOrigin(left, top, false, MetricsOf(*g));
  } else {
    const int32_t f = metrics.LogFont.lfHeight;
    if (metrics.FontMode() != goHorizontal) left -= f;
    if (metrics.FontMode() == goRotated) top -= f;
    left += g->bx;
    top += g->by;
  }
  const int32_t pitch = aa ? g->gray17Pitch : g->w;
  const uint8_t* data = aa ? g->gray17.data() : g->coverage.data();
  if (static_cast<size_t>(pitch) * g->h > (aa ? g->gray17.size() : g->coverage.size())) return;
  std::vector<uint8_t> stroke(static_cast<size_t>(g->w), 0);
  int32_t inkTop = -1, inkBottom = -1;
  for (int32_t i = 0; i < g->h; ++i) {
    bool ink = false;
    for (int32_t j = 0; j < g->w; ++j) {
      const uint8_t v = data[static_cast<size_t>(pitch) * i + j];
      stroke[static_cast<size_t>(j)] = std::max(stroke[static_cast<size_t>(j)], v);
      ink = ink || v > 0;
    }
    if (ink) {
      if (inkTop < 0) inkTop = i;
      inkBottom = i + 1;
    }
  }
  if (inkTop < 0) return;
  const int32_t from = std::max(std::min(top + inkTop, joinFrom), 0);
  const int32_t to = std::min(std::max(top + inkBottom, joinTo), static_cast<int32_t>(page.height()));
  const int32_t j0 = std::max(0, -left), j1 = std::min(g->w, static_cast<int32_t>(page.width()) - left);
  const int kr = metrics.Red & 0xFF, kg = metrics.Green & 0xFF, kb = metrics.Blue & 0xFF;
  const Gray17Table& table = TableFor(kr, kg, kb);
  for (int32_t row = from; row < to; ++row) {
    QRgb* out = reinterpret_cast<QRgb*>(page.bits() + page.bytesPerLine() * row);
    for (int32_t j = j0; j < j1; ++j) {
      const int v = stroke[static_cast<size_t>(j)];
      if (v == 0) continue;
      QRgb& p = out[left + j];
      if (aa)
        p = qRgb(table.channel[0][v][qRed(p)], table.channel[1][v][qGreen(p)], table.channel[2][v][qBlue(p)]);
      else
        p = qRgb(qRed(p) + v * (kr - qRed(p)) / 255, qGreen(p) + v * (kg - qGreen(p)) / 255,
                 qBlue(p) + v * (kb - qBlue(p)) / 255);
    }
  }
}

void DrawOutlineString(QImage& bitmap, int32_t x, const TYomiraTextMetrics* metrics, std::string_view text,
                       int32_t y) {
  if (!metrics || bitmap.isNull() || !metrics->Font()) return;
  const bool flipped = false;  // our bitmaps are always top-down
  const int n = static_cast<int>(text.size());
  for (int pos = 1; pos <= n;) {
    const int len = CharLen(text, pos);
    const GlyphRaster* g = metrics->Glyph(CodeAt(text, pos, len));
    GlyphMetrics gm;
    if (g) {
      gm = MetricsOf(*g);
      // An empty raster (a blank) is advanced over; the string goes on.
      if (g->w > 0 && g->h > 0) {
        int32_t px = x, py = y;
        metrics->AdjustGlyphOrigin(px, py, flipped, gm);
        BlendGlyphGray4(bitmap, px, *metrics, {g->w, g->h, g->gray17Pitch, g->gray17.data()}, py);
      }
    } else {
      gm.gmCellIncX = len == 2 ? metrics->LogFont.lfHeight : metrics->LogFont.lfHeight / 2;
    }
    metrics->AdvanceGlyph(x, y, len, gm);
    pos += len;
  }
}

void BlendGlyphGray4(QImage& bitmap, int32_t x, const TYomiraTextMetrics& metrics, const Gray4Raster& glyph,
                     int32_t y) {
  if (bitmap.isNull() || !glyph.data || glyph.w <= 0 || glyph.h <= 0) return;
  const int32_t h = glyph.h;
  int32_t first = 0, count = h;
  if (metrics.Orientation == goLongRepeatFirst) {
    count = h / 2;
  } else if (metrics.Orientation == goLongRepeatSecond) {
    first = h / 2;
    count = h / 2;  // an odd height loses its last row
  }
  const Gray17Table& table = TableFor(metrics.Red & 0xFF, metrics.Green & 0xFF, metrics.Blue & 0xFF);
  const int32_t width = bitmap.width(), height = bitmap.height();
  uchar* bits = bitmap.bits();
  const qsizetype bpl = bitmap.bytesPerLine();
  const int32_t j0 = std::max(0, -x), j1 = std::min(glyph.w, width - x);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t row = y + i;
    if (row >= height) break;
    if (row < 0) continue;
    const uint8_t* src = glyph.data + static_cast<ptrdiff_t>(glyph.pitch) * (first + i);
    QRgb* out = reinterpret_cast<QRgb*>(bits + bpl * row);
    for (int32_t j = j0; j < j1; ++j) {
      const int v = src[j];
      if (v == 0) continue;
      const QRgb p = out[x + j];
      out[x + j] = qRgb(table.channel[0][v][qRed(p)], table.channel[1][v][qGreen(p)], table.channel[2][v][qBlue(p)]);
    }
  }
}

void DrawRepeatMark(QImage& page, std::string_view glyph, TYomiraTextMetrics& metrics, int mode, bool aa,
                    int split, int32_t& cell, int32_t x, int32_t y) {
  if (mode != 1 && mode != 2) return;
  if (split == 1) {
    metrics.SetOrientation(goLongRepeatFirst);
    cell += 2;
  } else if (split == 2) {
    metrics.SetOrientation(goLongRepeatSecond);
    cell += 2;
  } else {
    metrics.SetOrientation(goLongRepeat);
    cell += 4;
  }
  DrawString(page, x, y, metrics, aa, glyph);
  metrics.SetOrientation(goVertical);
}

void DrawSideLine(QImage& page, const TYomiraOption& option, int32_t n, int32_t side, int mode, int32_t x,
                  int32_t y) {
  if (n <= 0 || side <= 0 || mode == 0 || mode == 3) return;
  const int32_t f = option.f_size, m = option.m_size;
  const int32_t e = m / 2;
  int32_t end = y;
  if (n == 1)
    end = e + f / 2 + y + 1;
  else if (n == 2)
    end = e + f + y + 1;
  else if (n == 4)
    end = m + 2 * f + y + 1;
  LineTo(page, x + f, y - e - 1, x + f, end, BgrToQRgb(ColorToRgb(option.text_color)));
}

void DrawSideRule(QImage& page, const TYomiraOption& option, int32_t x, int32_t y, int32_t n) {
  if (n == 0) n = 1;
  const int32_t f = option.f_size;
  LineTo(page, f + x - 1, y, f + x - 1, y + (n * f) / 2, BgrToQRgb(ColorToRgb(option.ruby_color)));
}

void BlendEmphasisMark(QImage& page, const QImage& strip, const TYomiraOption& option,
                       const TYomiraTextMetrics& ruby, int32_t n, int32_t type, int mode, int32_t x, int32_t y) {
  const int32_t r = option.ruby_size, f = option.f_size;
  if (n <= 0 || type <= 0 || mode == 0 || mode == 3 || r < 5) return;
  // A type the strip has no square for, or a strip smaller than 8r x r, draws nothing.
  if (type > 8 || page.isNull() || strip.isNull() || strip.width() < 8 * r || strip.height() < r) return;
  const QImage source = strip.format() == QImage::Format_RGB32 ? strip : strip.convertToFormat(QImage::Format_RGB32);
  y += ((n * f) / 2 - r) / 2;
  const int kr = ruby.Red, kg = ruby.Green, kb = ruby.Blue;
  const int32_t width = page.width(), height = page.height();
  for (int32_t i = 0; i < r; ++i) {
    const int32_t row = y + i;
    if (row >= height) break;
    if (row < 0) continue;
    const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(i)) + (type - 1) * r;
    QRgb* out = reinterpret_cast<QRgb*>(page.scanLine(row));
    for (int32_t j = 0; j < r && x + f + j < width; ++j) {
      const int32_t col = x + f + j;
      if (col < 0) continue;
      const int q = qBlue(in[j]);
      if (q >= 255) continue;
      const QRgb p = out[col];
      const int c = 255 - q;
      const int pr = qRed(p), pg = qGreen(p), pb = qBlue(p);
      out[col] = qRgb(pr + c * (kr - pr) / 255, pg + c * (kg - pg) / 255, pb + c * (kb - pb) / 255);
    }
  }
}

}  // namespace yomira
