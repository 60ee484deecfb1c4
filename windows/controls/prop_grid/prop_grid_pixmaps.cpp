#include "windows/controls/prop_grid/prop_grid_pixmaps.h"

#include "windows/controls/prop_grid/prop_grid_colors.h"

namespace yomira {

namespace {

QImage Box(bool plus) {
  QImage img(9, 9, QImage::Format_RGB32);
  img.fill(Qt::white);
  const QRgb black = qRgb(0, 0, 0);
  for (int i = 0; i < 9; ++i) {
    img.setPixel(i, 0, black);
    img.setPixel(i, 8, black);
    img.setPixel(0, i, black);
    img.setPixel(8, i, black);
  }
  for (int i = 2; i <= 6; ++i) {
    img.setPixel(i, 4, black);
    if (plus) img.setPixel(4, i, black);
  }
  return img;
}

QImage Glyph() {
  QImage img(10, 10, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  return img;
}

void Span(QImage& img, int x0, int x1, int y0, int y1) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) img.setPixel(x, y, qRgba(0, 0, 0, 255));
}

}  // namespace

QImage PropGridDottedSeparator(int width) {
  QImage img(std::max(width, 1), 1, QImage::Format_RGB32);
  const QRgb face = GridColor(kBtnFace).rgb();
  const QRgb shadow = GridColor(kBtnShadow).rgb();
  for (int x = 0; x < img.width(); ++x) img.setPixel(x, 0, (x & 1) ? shadow : face);
  return img;
}

QImage PropGridPlusBox() { return Box(true); }
QImage PropGridMinusBox() { return Box(false); }

QImage PropGridDropDownGlyph() {
  QImage img = Glyph();
  Span(img, 1, 7, 3, 3);
  Span(img, 2, 6, 4, 4);
  Span(img, 3, 5, 5, 5);
  Span(img, 4, 4, 6, 6);
  return img;
}

QImage PropGridShortcutGlyph() {
  QImage img = Glyph();
  Span(img, 1, 1, 4, 4);
  Span(img, 2, 2, 3, 5);
  Span(img, 3, 3, 2, 6);
  Span(img, 6, 6, 2, 6);
  Span(img, 7, 7, 3, 5);
  Span(img, 8, 8, 4, 4);
  return img;
}

QImage PropGridEllipsisGlyph() {
  QImage img = Glyph();
  for (int x : {1, 4, 7}) Span(img, x, x + 1, 4, 5);
  return img;
}

}  // namespace yomira
