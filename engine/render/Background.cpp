#include "engine/render/Background.h"

#include <algorithm>

#include "platform/color.h"
#include "engine/render/Pixels.h"

namespace yomira {

namespace {

// Caps a bitmap so that it can always be allocated; drawing clips to it.
void CapSize(int64_t width, int64_t height, int32_t& outWidth, int32_t& outHeight) {
  int64_t w = std::clamp<int64_t>(width, 0, PanelLayout::kMaxBitmapSide);
  int64_t h = std::clamp<int64_t>(height, 0, PanelLayout::kMaxBitmapSide);
  if (w > 0 && w * h > PanelLayout::kMaxBitmapPixels) h = PanelLayout::kMaxBitmapPixels / w;
  outWidth = static_cast<int32_t>(w);
  outHeight = static_cast<int32_t>(h);
}

}  // namespace

PanelLayout ComputePanelSizes(const TYomiraOption& o) {
  PanelLayout p;
  const int64_t f = o.f_size, r = o.ruby_size, s = o.s_size, m = o.m_size;
  const int64_t L = o.c_size, V = o.v_size, W = o.yohaku_w, H = o.yohaku_h, T = o.Colum, G = o.yohaku_c;
  const int64_t P = o.Page, PM = o.PageMargin;
  const int64_t lw = f + r + s;
  const int64_t B = PanelLayout::kBottomBarHeight;
  p.baseWidth = 2 * W + PM * (P - 1) + P * (L * lw - s);
  p.baseHeight = (T * (V + 3) * (f + m)) / 2 + 2 * H + (T - 1) * G + B - m * T;
  p.viewWidth = p.baseWidth;
  p.viewHeight = p.baseHeight - B;
  // A panel under 140 px leaves no room for the slider: clamp at 0.
  p.bottomCenterWidth = std::max<int64_t>(0, p.baseWidth - p.bottomTextWidth - p.bottomMenuWidth);
  CapSize(p.baseWidth, p.baseHeight, p.backWidth, p.backHeight);
  CapSize(std::min<int64_t>(p.viewWidth, p.backWidth), std::min<int64_t>(p.viewHeight, p.backHeight),
          p.pageWidth, p.pageHeight);
  return p;
}

int32_t ClampByte(int32_t value) { return std::clamp(value, 0, 255); }

int32_t FadeChannel(int32_t base, int32_t delta, int32_t steps, int32_t step) {
  return ClampByte(delta * step / std::max(steps, 1) + base);
}

void FillBackground(QImage& back, const TYomiraOption& option, const QImage& picture) {
  if (back.isNull()) return;
  const QRgb backColour = BgrToQRgb(ColorToRgb(option.back_color));
  back.fill(backColour);
  if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0) return;
  // A transparent pixel shows back_color; the tile is made once and repeated by rows.
  QImage tile = MakeBitmap(picture.width(), picture.height());
  tile.fill(backColour);
  Composite(tile, 0, 0, picture);
  Tile(back, tile);
}

void DrawManuscriptLines(QImage& back, const TYomiraOption& o) {
  if (back.isNull()) return;
  const QRgb mss = BgrToQRgb(ColorToRgb(o.mss_color));
  const int32_t f = o.f_size, r = o.ruby_size, m = o.m_size, L = o.c_size, V = o.v_size;
  const int32_t T = o.Colum, G = o.yohaku_c, P = o.Page, PM = o.PageMargin;
  auto X = [&](int32_t line, int32_t page) { return o.GetLineX(line, page); };
  auto Y = [&](int32_t cell, int32_t block) { return o.GetCharY(cell, block); };
  for (int32_t i = 1; i <= P; ++i) {
    const int32_t rx = X(0, i) + f + r;
    const int32_t lx = X(L - 1, i) - 1;
    for (int32_t j = 1; j <= T; ++j) {
      const int32_t top = Y(1, j), bottom = Y(V - 1, j) + f;
      for (int32_t l = 0; l < L; ++l) {
        const int32_t x = X(l, i);
        for (int32_t c = 1; c <= V; c += 2) {
          const int32_t y = Y(c, j);
          LineTo(back, x - 1, y - 1, x + f, y - 1, mss, true);
          if (m > 2 || c == V) LineTo(back, x, y + f, x + f, y + f, mss, true);
        }
        LineTo(back, x - 1, top, x - 1, bottom + 1, mss, true);
        LineTo(back, x + f, top, x + f, bottom + 1, mss, true);
      }
      LineTo(back, lx, top, lx, bottom + 1, mss);
      LineTo(back, rx, top, rx, bottom, mss);
      LineTo(back, rx, top - 1, lx, top - 1, mss);
      LineTo(back, rx, bottom, lx, bottom, mss);
      if (j > 1) {
        const int32_t from = Y(-2, j) - G - m;
        LineTo(back, rx, from, rx, top, mss);
        LineTo(back, lx, from, lx, top, mss);
      }
    }
    if (i > 1 && PM > 2) {
      const Rect rect{X(0, i) + f + r + 1, Y(1, 1) - 1, X(L - 1, i - 1) - 1, Y(V - 1, T) + f + 1};
      const int32_t d = rect.right - rect.left;
      const int32_t cx = rect.left + d / 2;
      const int32_t cx2 = d % 2 != 0 ? cx + 1 : cx;
      const int32_t height = rect.bottom - rect.top;
      const int32_t y1 = (height * 34) / 171 + rect.top;
      for (int32_t dy : {0, 2, 3}) LineTo(back, rect.left, y1 + dy, rect.right, y1 + dy, mss);
      for (int32_t k = 0; k < 3; ++k) {
        LineTo(back, rect.left, y1 + k + 4, cx2, y1 + 3, mss);
        LineTo(back, rect.right, y1 + k + 4, cx, y1 + 3, mss);
      }
      LineTo(back, rect.left, y1 + 8, cx2, y1 + 5, mss);
      LineTo(back, rect.right, y1 + 8, cx, y1 + 5, mss);
      const int32_t y2 = (height * 114) / 171 + rect.top;
      for (int32_t dy : {0, 1, 3}) LineTo(back, rect.left, y2 + dy, rect.right, y2 + dy, mss);
    }
  }
  Rect frame{X(L - 1, P) - 1, Y(1, 1) - 1, X(0, 1) + f + r, Y(V - 1, T) + f + 1};
  FrameRect(back, frame, mss);
  frame = {frame.left - 1, frame.top - 1, frame.right + 1, frame.bottom + 1};
  FrameRect(back, frame, mss);
}

void DrawShadow(QImage& back, const TYomiraOption& o) {
  const bool wide = o.yohaku_w >= 10;
  const bool drawn = o.Page == 2 ? (wide || o.PageMargin >= 10) : wide;
  if (drawn) ShadeBitmap(back, o, o.Page == 2);
}

void ShadeBitmap(QImage& bitmap, const TYomiraOption& o, bool two) {
  if (bitmap.isNull() || bitmap.width() <= 0 || bitmap.height() <= 0 || !o.UseShadow) return;
  const QRgb base = reinterpret_cast<const QRgb*>(bitmap.constScanLine(0))[0];
  const QRgb shade = BgrToQRgb(ColorToRgb(o.ShadowColor));
  const int32_t d[3] = {qRed(shade) - qRed(base), qGreen(shade) - qGreen(base), qBlue(shade) - qBlue(base)};
  const int32_t hd[3] = {d[0] / 2, d[1] / 2, d[2] / 2};
  const int32_t width = bitmap.width();
  const int32_t W = o.yohaku_w;
  const int32_t lw = o.f_size + o.ruby_size + o.s_size;
  // Per column: which delta, over how many steps, at which step; none when untouched.
  struct ColumnShade {
    const int32_t* delta = nullptr;
    int32_t steps = 0, step = 0;
  };
  std::vector<ColumnShade> columns(static_cast<size_t>(width));
  if (!two) {
    const int32_t g = std::min(W, lw);
    int32_t outer = W;
    // As written this holds for any width wider than g.
    if (width - g > (width - g) / 2) outer = (width - W) / 2;
    for (int32_t x = 0; x < width; ++x) {
      if (x <= g)
        columns[x] = {d, g, g - x};
      else if (x >= width - outer)
        columns[x] = {hd, outer, x + outer - width};
    }
  } else {
    const int32_t g = std::min(o.PageMargin, lw);
    const int32_t half = width / 2;
    int32_t outer = W;
    if (half - g > (half - g) / 2) outer = (half - W) / 2;
    for (int32_t x = 0; x < width; ++x) {
      if (x <= outer)
        columns[x] = {hd, outer, outer - x};
      else if ((width - g) / 2 <= x && x <= half)
        columns[x] = {d, g, x - (width - g) / 2};
      else if (half < x && x <= (width + g) / 2)
        columns[x] = {d, g, (width + g) / 2 - x};
      else if (x >= width - outer)
        columns[x] = {hd, outer, x + outer - width};
    }
  }
  // The offsets depend only on the column, so a picture is shaded like a plain colour.
  std::vector<int32_t> offset(static_cast<size_t>(width) * 3, 0);
  std::vector<uint8_t> touched(static_cast<size_t>(width), 0);
  for (int32_t x = 0; x < width; ++x) {
    const ColumnShade& c = columns[x];
    if (!c.delta) continue;
    touched[x] = 1;
    for (int k = 0; k < 3; ++k) offset[x * 3 + k] = c.delta[k] * c.step / std::max(c.steps, 1);
  }
  // Columns mostly repeat one colour down the page: remember the last pixel shaded in
  // each column and reuse its result.
  std::vector<QRgb> lastIn(static_cast<size_t>(width), 0), lastOut(static_cast<size_t>(width), 0);
  uchar* bits = bitmap.bits();
  const qsizetype pitch = bitmap.bytesPerLine();
  for (int32_t y = 0; y < bitmap.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(bits + pitch * y);
    for (int32_t x = 0; x < width; ++x) {
      if (!touched[x]) continue;
      const QRgb p = row[x];
      if (p == lastIn[x]) {
        row[x] = lastOut[x];
        continue;
      }
      lastIn[x] = p;
      row[x] = lastOut[x] = qRgb(ClampByte(qRed(p) + offset[x * 3]), ClampByte(qGreen(p) + offset[x * 3 + 1]),
                                 ClampByte(qBlue(p) + offset[x * 3 + 2]));
    }
  }
}

BottomBars CopyBottomBars(const QImage& back, const PanelLayout& layout, const TYomiraOption& option) {
  BottomBars bars;
  const QRgb backColour = BgrToQRgb(ColorToRgb(option.back_color));
  const int32_t y0 = static_cast<int32_t>(std::min<int64_t>(layout.viewHeight, int64_t{1} << 30));
  const int32_t h = PanelLayout::kBottomBarHeight;
  auto cut = [&](int64_t left, int64_t width) {
    QImage image = MakeBitmap(static_cast<int32_t>(std::min<int64_t>(width, PanelLayout::kMaxBitmapSide)), h);
    if (image.isNull()) return image;
    image.fill(backColour);
    if (left <= (int64_t{1} << 30)) {
      const auto l = static_cast<int32_t>(left);
      Blit(image, 0, 0, back, {l, y0, l + image.width(), y0 + h});
    }
    return image;
  };
  const int64_t wt = layout.bottomTextWidth, wc = layout.bottomCenterWidth, wm = layout.bottomMenuWidth;
  bars.slider = cut(wt, wc);
  bars.text = cut(0, wt);
  bars.menu = cut(wt + wc, wm);
  return bars;
}

}  // namespace yomira
