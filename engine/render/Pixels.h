// Pixel work on QImage::Format_RGB32 bitmaps with the drawing rules of the system the
// layout was designed on: lines leave out their end pixel, frames lie inside their
// rectangle, dotted pens run 3 on and 3 off. Every routine clips, and does nothing on a
// null image.
#pragma once

#include <QImage>
#include <QRgb>

#include <cstdint>

#include "engine/core/option.h"

namespace yomira {

// 0x00BBGGRR (the record's colours) <-> QRgb 0xffRRGGBB.
inline QRgb BgrToQRgb(uint32_t bgr) {
  return 0xff000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}
inline uint32_t QRgbToBgr(QRgb rgb) {
  return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

// A fresh RGB32 image, or a null one when a side is not positive.
QImage MakeBitmap(int width, int height);
// Makes the image an RGB32 bitmap of that size, keeping its buffer when it already is one
// (contents are then left as they were); null when a side is not positive.
void ResizeBitmap(QImage& image, int width, int height);

// The line from (x0, y0) toward (x1, y1), end pixel left out. A dotted pen draws 3 pixels,
// skips 3, starting with a drawn run at (x0, y0).
void LineTo(QImage& image, int x0, int y0, int x1, int y1, QRgb color, bool dotted = false);
// One pixel inside [left, right) x [top, bottom).
void FrameRect(QImage& image, const Rect& r, QRgb color);
void FillRect(QImage& image, const Rect& r, QRgb color);
// Copies the source rectangle of src to (dx, dy) of dst.
void Blit(QImage& dst, int dx, int dy, const QImage& src, const Rect& from);
// Repeats an opaque tile over the whole image from the top-left corner.
void Tile(QImage& dst, const QImage& tile);
// Source-over of an image with alpha at (dx, dy).
void Composite(QImage& dst, int dx, int dy, const QImage& src);

}  // namespace yomira
