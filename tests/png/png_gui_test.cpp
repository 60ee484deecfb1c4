// Drawing the picture and the clipboard round trip: both need the QGuiApplication of this
// binary's main.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <functional>

#include "png/qrnpng.h"
#include "tests/support/test_support.h"

namespace yomira::qrn {
namespace {

const QRgb kCanvas = qRgb(1, 2, 3);
const QRgb kPixels[2][2] = {{qRgb(200, 10, 20), qRgb(30, 220, 40)}, {qRgb(50, 60, 230), qRgb(90, 80, 70)}};

// A 2x2 24-bit picture of kPixels.
void Fill(TQRNPNG& png) {
  Bitmap b;
  b.SetPixelFormat(PixelFormat::pf24bit);
  b.SetSize(2, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      uint8_t* p = b.ScanLine(y) + 3 * x;
      p[0] = static_cast<uint8_t>(qBlue(kPixels[y][x]));
      p[1] = static_cast<uint8_t>(qGreen(kPixels[y][x]));
      p[2] = static_cast<uint8_t>(qRed(kPixels[y][x]));
    }
  png.Assign(b);
}

TEST(QRNPNGDraw, NearestNeighbourBlocksWithTransparencyKept) {
  struct Case {
    const char* what;
    std::function<void(TQRNPNG&)> setup;
    int clearX, clearY;  // the pixel that leaves the canvas colour; -1: none
  } cases[] = {
      {"opaque", [](TQRNPNG&) {}, -1, -1},
      {"keyed colour",
       [](TQRNPNG& p) {
         p.SetTransColor(90 | 80 << 8 | 70 << 16);
         p.SetTransparent(true);
       },
       1, 1},
      {"alpha bitmap",
       [](TQRNPNG& p) {
         Bitmap a;
         a.SetPixelFormat(PixelFormat::pf8bit);
         a.SetSize(2, 2);
         a.ScanLine(0)[1] = 255;  // 255 - alpha: fully transparent
         p.AlphaBitmapAssign(&a);
         p.HasAlpha = true;
       },
       1, 0},
  };
  for (const auto& c : cases) {
    TQRNPNG png;
    Fill(png);
    c.setup(png);
    QImage canvas(6, 6, QImage::Format_RGB32);
    canvas.fill(kCanvas);
    {
      QPainter painter(&canvas);
      painter.setRenderHint(QPainter::SmoothPixmapTransform, true);  // Draw turns it off
      png.Draw(painter, QRect(1, 1, 4, 4));
      EXPECT_TRUE(painter.testRenderHint(QPainter::SmoothPixmapTransform)) << c.what << ": hint not restored";
    }
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) {
        const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
        const int sx = (x - 1) / 2, sy = (y - 1) / 2;
        const QRgb want = inside && !(sx == c.clearX && sy == c.clearY) ? kPixels[sy][sx] : kCanvas;
        EXPECT_EQ(canvas.pixel(x, y), want) << c.what << " " << x << "," << y;
      }
  }

  // An empty picture draws nothing.
  TQRNPNG empty;
  QImage canvas(2, 2, QImage::Format_RGB32);
  canvas.fill(kCanvas);
  QPainter painter(&canvas);
  empty.Draw(painter, QRect(0, 0, 2, 2));
  painter.end();
  EXPECT_EQ(canvas.pixel(0, 0), kCanvas);
}

TEST(QRNPNGClipboard, RoundTripThroughTheSystemClipboard) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  ASSERT_NE(clipboard, nullptr);
  for (const char* name : {"basn3p08.png", "basn0g01.png", "basn2c16.png", "basn6a08.png"}) {
    TQRNPNG png;
    png.LoadFromFile(test::TestData(std::string("png/pngsuite/") + name).string());
    clipboard->setImage(png.SaveToClipboardFormat());

    TQRNPNG other;
    Bitmap ext;
    ext.SetTransparent(true);
    other.SetImage(&ext);
    ASSERT_TRUE(other.Transparent());
    Bitmap alpha;
    alpha.SetPixelFormat(PixelFormat::pf8bit);
    alpha.SetSize(1, 1);
    other.AlphaBitmapAssign(&alpha);

    other.LoadFromClipboardFormat(clipboard->image());
    EXPECT_NE(other.Image(), &ext) << name;  // the external image is dropped
    EXPECT_FALSE(other.Transparent()) << name;
    EXPECT_EQ(other.AlphaBitmap()->Width(), 1) << name;  // the image only
    EXPECT_EQ(other.Image()->toQImage().convertToFormat(QImage::Format_RGB32),
              png.Image()->toQImage().convertToFormat(QImage::Format_RGB32))
        << name;
  }
}

}  // namespace
}  // namespace yomira::qrn
