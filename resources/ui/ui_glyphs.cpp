#include "resources/ui/ui_glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace yomira {

QImage AppIconImage(int side) {
  QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(side / 32.0, side / 32.0);  // drawn on a 32 x 32 grid
  // Cover.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x80, 0x00, 0x00));
  p.drawRoundedRect(QRectF(1, 4, 30, 25), 2, 2);
  // Two pages.
  p.setBrush(QColor(0xFF, 0xFA, 0xF0));
  p.drawRect(QRectF(3, 5, 12.5, 22));
  p.drawRect(QRectF(16.5, 5, 12.5, 22));
  // Lines of vertical text on both pages, right to left.
  p.setBrush(QColor(0x20, 0x20, 0x20));
  for (int i = 0; i < 3; ++i) {
    p.drawRect(QRectF(25 - i * 3.5, 8, 1.6, i == 2 ? 10 : 16));
    p.drawRect(QRectF(11.5 - i * 3.5, 8, 1.6, i == 0 ? 16 : 12));
  }
  // Ruby beside the first line.
  p.setBrush(QColor(0x80, 0x00, 0x00));
  p.drawRect(QRectF(27.3, 9, 0.9, 4));
  // Spine.
  p.setBrush(QColor(0x50, 0x00, 0x00));
  p.drawRect(QRectF(15.5, 4, 1, 25));
  return img;
}

QImage ButtonGlyphImage(ButtonGlyph glyph, bool enabled) {
  QImage img(12, 12, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor ink = enabled ? QColor(0, 0, 0) : QColor(0xA0, 0xA0, 0xA0);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  switch (glyph) {
    case ButtonGlyph::Menu:
      for (int i = 0; i < 3; ++i) p.drawRect(QRectF(2, 2.5 + i * 3, 8, 1.5));
      break;
    case ButtonGlyph::Next: {
      QPainterPath path;
      path.moveTo(2, 6);
      path.lineTo(8, 1);
      path.lineTo(8, 11);
      path.closeSubpath();
      p.drawPath(path);
      break;
    }
    case ButtonGlyph::Back: {
      QPainterPath path;
      path.moveTo(10, 6);
      path.lineTo(4, 1);
      path.lineTo(4, 11);
      path.closeSubpath();
      p.drawPath(path);
      break;
    }
  }
  return img;
}

}  // namespace yomira
