#include "engine/render/EmphasisStrip.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "engine/render/Pixels.h"

namespace yomira {

QImage ReadImageBounded(const QString& path, const char* format) {
  // A reader of a missing file would still load every image-format plugin to ask them.
  if (!QFileInfo::exists(path)) return QImage();
  QImageReader reader(path, format);
  // A known format is read by its own handler; the plugins are not asked.
  if (format) reader.setAutoDetectImageFormat(false);
  const QSize size = reader.size();
  if (!size.isValid() || size.width() <= 0 || size.height() <= 0 || size.width() > 16384 || size.height() > 16384)
    return QImage();
  QImage image = reader.read();
  return image;
}

bool IsEmphasisStripShape(const QImage& picture) {
  return !picture.isNull() && picture.width() > 0 && picture.width() == 8 * picture.height();
}

QImage BuildEmphasisStrip(int r, const QImage& replacement, const QImage& builtin) {
  if (r <= 0 || r > 16384 / 8) return QImage();
  const QImage source = IsEmphasisStripShape(replacement) ? replacement : builtin;
  QImage strip = MakeBitmap(8 * r, r);
  strip.fill(qRgb(255, 255, 255));
  if (source.isNull()) return strip;  // no marks: white, nothing to stretch
  // Transparent parts of a strip count as white.
  QImage flat = MakeBitmap(source.width(), source.height());
  flat.fill(qRgb(255, 255, 255));
  Composite(flat, 0, 0, source);
  return flat.scaled(8 * r, r, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
      .convertToFormat(QImage::Format_RGB32);
}

QImage MakeEmphasisMaster() {
  constexpr int kSide = 64;
  QImage image(8 * kSide, kSide, QImage::Format_RGB32);
  image.fill(qRgb(255, 255, 255));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor ink(0, 0, 0);
  const QColor paper(255, 255, 255);
  auto sesame = [&](double cx, double cy, bool filled) {
    // A tilted teardrop, as the sesame mark is written, its ink centred on the square.
    cx -= 2;
    cy -= 2;
    QPainterPath path;
    path.moveTo(cx - 10, cy - 14);
    path.cubicTo(cx + 8, cy - 14, cx + 16, cy + 2, cx + 8, cy + 12);
    path.cubicTo(cx + 2, cy + 18, cx - 10, cy + 14, cx - 10, cy + 4);
    path.cubicTo(cx - 10, cy - 4, cx - 12, cy - 10, cx - 10, cy - 14);
    path.closeSubpath();
    if (filled) {
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
    } else {
      p.setPen(QPen(ink, 5));
      p.setBrush(paper);
    }
    p.drawPath(path);
  };
  auto triangle = [&](double cx, double cy, bool filled) {
    QPolygonF tri;
    tri << QPointF(cx, cy - 20) << QPointF(cx + 20, cy + 16) << QPointF(cx - 20, cy + 16);
    if (filled) {
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
    } else {
      p.setPen(QPen(ink, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(paper);
    }
    p.drawPolygon(tri);
  };
  auto ring = [&](double cx, double cy, double radius, double width) {
    p.setPen(QPen(ink, width));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(cx, cy), radius, radius);
  };
  auto disc = [&](double cx, double cy, double radius) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(cx, cy), radius, radius);
  };
  for (int type = 1; type <= 8; ++type) {
    const double cx = (type - 1) * kSide + kSide / 2.0, cy = kSide / 2.0;
    switch (type) {
      case 1: sesame(cx, cy, true); break;
      case 2: sesame(cx, cy, false); break;
      case 3: triangle(cx, cy, true); break;
      case 4: triangle(cx, cy, false); break;
      case 5: ring(cx, cy, 20, 5); ring(cx, cy, 10, 4); break;
      case 6: ring(cx, cy, 20, 5); disc(cx, cy, 10); break;
      case 7: ring(cx, cy, 19, 5); break;
      case 8: disc(cx, cy, 22); break;
    }
  }
  p.end();
  return image;
}

}  // namespace yomira
