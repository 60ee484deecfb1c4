#include "engine/render/Pixels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace yomira {

namespace {

// The rectangle cut to the image; false when nothing is left.
bool ClipRect(const QImage& image, Rect& r) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, image.width());
  r.bottom = std::min(r.bottom, image.height());
  return r.left < r.right && r.top < r.bottom;
}

}  // namespace

QImage MakeBitmap(int width, int height) {
  if (width <= 0 || height <= 0) return QImage();
  return QImage(width, height, QImage::Format_RGB32);
}

void ResizeBitmap(QImage& image, int width, int height) {
  if (image.width() == width && image.height() == height && image.format() == QImage::Format_RGB32 &&
      image.isDetached())
    return;
  image = MakeBitmap(width, height);
}

void LineTo(QImage& image, int x0, int y0, int x1, int y1, QRgb color, bool dotted) {
  if (image.isNull()) return;
  const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  const int steps = std::max(dx, dy);
  // Bresenham along the major axis; the last point (the end) is never drawn.
  uchar* bits = image.bits();
  const qsizetype pitch = image.bytesPerLine();
  const int w = image.width(), h = image.height();
  int x = x0, y = y0;
  int err = 0;
  for (int i = 0; i < steps; ++i) {
    if ((!dotted || (i % 6) < 3) && x >= 0 && y >= 0 && x < w && y < h)
      reinterpret_cast<QRgb*>(bits + pitch * y)[x] = color;
    if (dx >= dy) {
      x += sx;
      err += dy;
      if (2 * err >= dx) {
        y += sy;
        err -= dx;
      }
    } else {
      y += sy;
      err += dx;
      if (2 * err >= dy) {
        x += sx;
        err -= dy;
      }
    }
  }
}

void FillRect(QImage& image, const Rect& rect, QRgb color) {
  if (image.isNull()) return;
  Rect r = rect;
  if (!ClipRect(image, r)) return;
  for (int y = r.top; y < r.bottom; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::fill(row + r.left, row + r.right, color);
  }
}

void FrameRect(QImage& image, const Rect& r, QRgb color) {
  if (image.isNull() || r.left >= r.right || r.top >= r.bottom) return;
  FillRect(image, {r.left, r.top, r.right, r.top + 1}, color);
  FillRect(image, {r.left, r.bottom - 1, r.right, r.bottom}, color);
  FillRect(image, {r.left, r.top, r.left + 1, r.bottom}, color);
  FillRect(image, {r.right - 1, r.top, r.right, r.bottom}, color);
}

void Blit(QImage& dst, int dx, int dy, const QImage& src, const Rect& from) {
  if (dst.isNull() || src.isNull()) return;
  Rect s = from;
  if (!ClipRect(src, s)) return;
  // Shift so that the destination is clipped too.
  int left = dx + (s.left - from.left), top = dy + (s.top - from.top);
  if (left < 0) { s.left -= left; left = 0; }
  if (top < 0) { s.top -= top; top = 0; }
  s.right = std::min(s.right, s.left + (dst.width() - left));
  s.bottom = std::min(s.bottom, s.top + (dst.height() - top));
  if (s.left >= s.right || s.top >= s.bottom) return;
  const QImage source = src.format() == QImage::Format_RGB32 || src.format() == QImage::Format_ARGB32
                            ? src
                            : src.convertToFormat(QImage::Format_RGB32);
  const size_t bytes = static_cast<size_t>(s.right - s.left) * 4;
  for (int y = s.top; y < s.bottom; ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y)) + s.left;
    QRgb* out = reinterpret_cast<QRgb*>(dst.scanLine(top + y - s.top)) + left;
    std::memcpy(out, in, bytes);
    if (source.format() == QImage::Format_ARGB32)
      for (int i = 0; i < s.right - s.left; ++i) out[i] |= 0xff000000u;
  }
}

void Tile(QImage& dst, const QImage& tile) {
  if (dst.isNull() || tile.isNull()) return;
  const QImage t = tile.convertToFormat(QImage::Format_RGB32);
  const int w = dst.width(), tw = t.width(), th = t.height();
  // Build each tile row once across the width, then copy whole rows down.
  for (int y = 0; y < std::min(th, dst.height()); ++y) {
    QRgb* out = reinterpret_cast<QRgb*>(dst.scanLine(y));
    const QRgb* in = reinterpret_cast<const QRgb*>(t.constScanLine(y));
    for (int x = 0; x < w; x += tw) std::memcpy(out + x, in, static_cast<size_t>(std::min(tw, w - x)) * 4);
  }
  for (int y = th; y < dst.height(); ++y)
    std::memcpy(dst.scanLine(y), dst.constScanLine(y - th), static_cast<size_t>(w) * 4);
}

void Composite(QImage& dst, int dx, int dy, const QImage& src) {
  if (dst.isNull() || src.isNull()) return;
  const QImage s = src.convertToFormat(QImage::Format_ARGB32);
  const int x0 = std::max(0, dx), y0 = std::max(0, dy);
  const int x1 = std::min(dst.width(), dx + s.width()), y1 = std::min(dst.height(), dy + s.height());
  for (int y = y0; y < y1; ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(s.constScanLine(y - dy));
    QRgb* out = reinterpret_cast<QRgb*>(dst.scanLine(y));
    for (int x = x0; x < x1; ++x) {
      const QRgb p = in[x - dx];
      const int a = qAlpha(p);
      if (a == 255) {
        out[x] = p;
      } else if (a > 0) {
        const QRgb q = out[x];
        auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
        out[x] = qRgb(mix(qRed(p), qRed(q)), mix(qGreen(p), qGreen(q)), mix(qBlue(p), qBlue(q)));
      }
    }
  }
}

}  // namespace yomira
