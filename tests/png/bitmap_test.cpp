#include "png/bitmap.h"

#include <gtest/gtest.h>

#include <QImage>

#include "png/qrnpng.h"
#include "tests/png/png_builder.h"
#include "tests/png/png_test_util.h"

namespace yomira::qrn {
namespace {

using namespace yomira::test::png;

Bitmap Make(PixelFormat pf, int w, int h) {
  Bitmap b;
  b.SetPixelFormat(pf);
  b.SetSize(w, h);
  return b;
}

TEST(Bitmap, RowsAreZeroedAndPadded) {
  Bitmap b = Make(PixelFormat::pf24bit, 5, 3);
  EXPECT_EQ(b.Stride(), 16);
  for (int y = 0; y < 3; ++y)
    for (int i = 0; i < 16; ++i) EXPECT_EQ(b.ScanLine(y)[i], 0);
  b.ScanLine(2)[0] = 9;
  b.SetSize(6, 3);  // same format: the pixels stay
  EXPECT_EQ(b.ScanLine(2)[0], 9);
  Bitmap copy;
  copy.Assign(&b);
  EXPECT_EQ(copy.ScanLine(2)[0], 9);
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
}

TEST(Bitmap, FifteenBitRowsHoldTwoBytesAPixel) {
  for (int w : {1, 18, 19, 32, 33, 100}) {
    QImage src(w, 3, QImage::Format_RGB555);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) src.setPixel(x, y, qRgb((x * 8) & 0xF8, (y * 80) & 0xF8, 0xF8));
    Bitmap b;
    b.fromQImage(src);
    ASSERT_EQ(b.GetPixelFormat(), PixelFormat::pf15bit);
    EXPECT_GE(b.Stride(), 2 * w) << w;
    EXPECT_EQ(b.toQImage(), src) << w;
    const uint8_t* last = b.ScanLine(2) + 2 * (w - 1);
    EXPECT_EQ(last[0] | last[1] << 8, ((w - 1) & 31) << 10 | 20 << 5 | 31) << w;
  }
}

TEST(Bitmap, ToQImageFormats) {
  struct Case {
    PixelFormat pf;
    QImage::Format fmt;
  } cases[] = {{PixelFormat::pf1bit, QImage::Format_Mono},     {PixelFormat::pf4bit, QImage::Format_Indexed8},
               {PixelFormat::pf8bit, QImage::Format_Indexed8}, {PixelFormat::pf15bit, QImage::Format_RGB555},
               {PixelFormat::pf16bit, QImage::Format_RGB16},   {PixelFormat::pf24bit, QImage::Format_BGR888},
               {PixelFormat::pf32bit, QImage::Format_RGB32}};
  for (const auto& c : cases) EXPECT_EQ(Make(c.pf, 3, 2).toQImage().format(), c.fmt);
}

TEST(Bitmap, IndexedColours) {
  Bitmap b = Make(PixelFormat::pf4bit, 4, 1);
  b.ScanLine(0)[0] = 0x01;  // pixels 0, 1
  b.ScanLine(0)[1] = 0x2F;  // pixels 2, 15
  // Without a palette: the 16-step grey ramp.
  QImage img = b.toQImage();
  EXPECT_EQ(img.pixel(1, 0), qRgb(17, 17, 17));
  EXPECT_EQ(img.pixel(3, 0), qRgb(255, 255, 255));
  // With 2 entries: index 2 and 15 are past the table, opaque black.
  b.SetPalette({TQRNPalRGB{1, 2, 3, 0}, TQRNPalRGB{4, 5, 6, 0}});
  img = b.toQImage();
  EXPECT_EQ(img.pixel(0, 0), qRgb(3, 2, 1));
  EXPECT_EQ(img.pixel(1, 0), qRgb(6, 5, 4));
  EXPECT_EQ(img.pixel(2, 0), 0xFF000000u);
  EXPECT_EQ(img.pixel(3, 0), 0xFF000000u);
}

TEST(Bitmap, FromQImageKeepsPixelsAndAlpha) {
  QImage src(3, 2, QImage::Format_ARGB32);
  src.fill(qRgba(10, 20, 30, 40));
  src.setPixel(2, 1, qRgba(50, 60, 70, 255));
  Bitmap b, alpha;
  b.fromQImage(src, &alpha);
  EXPECT_EQ(b.GetPixelFormat(), PixelFormat::pf32bit);
  ASSERT_FALSE(alpha.Empty());
  EXPECT_EQ(alpha.ScanLine(0)[0], 255 - 40);
  EXPECT_EQ(alpha.ScanLine(1)[2], 0);
  EXPECT_EQ(b.toQImage().pixel(2, 1), qRgb(50, 60, 70));

  QImage rgb(4, 3, QImage::Format_RGB888);
  rgb.fill(qRgb(1, 2, 3));
  Bitmap c, none;
  c.fromQImage(rgb, &none);
  EXPECT_EQ(c.GetPixelFormat(), PixelFormat::pf24bit);
  EXPECT_TRUE(none.Empty());
  EXPECT_EQ(c.ScanLine(2)[9], 3);  // B,G,R order
  EXPECT_EQ(c.ScanLine(2)[11], 1);
  EXPECT_EQ(c.toQImage().convertToFormat(QImage::Format_RGB888), rgb);
}

TEST(ComposedImage, WidenedHighColourAndPaletteOverflow) {
  TQRNPNG png;
  Bitmap* img = png.Image();
  img->SetPixelFormat(PixelFormat::pf16bit);
  img->SetSize(2, 1);
  const int w565 = 31 << 11 | 33 << 5 | 1;  // r 31, g 33, b 1
  img->ScanLine(0)[0] = static_cast<uint8_t>(w565);
  img->ScanLine(0)[1] = static_cast<uint8_t>(w565 >> 8);
  EXPECT_EQ(png.toQImage().pixel(0, 0), qRgba(255, 33 << 2 | 33 >> 4, 1 << 3 | 1 >> 2, 255));
  img->SetPixelFormat(PixelFormat::pf15bit);
  img->SetSize(2, 1);
  const int w555 = 16 << 10 | 31 << 5 | 2;
  img->ScanLine(0)[0] = static_cast<uint8_t>(w555);
  img->ScanLine(0)[1] = static_cast<uint8_t>(w555 >> 8);
  EXPECT_EQ(png.toQImage().pixel(0, 0), qRgba(16 << 3 | 16 >> 2, 255, 2 << 3, 255));
}

TEST(Bitmap, FifteenBitRowsHoldAWordPerPixel) {
  // 15-bit pixels are stored in 16-bit words: a row of 67 needs 134 bytes, not 126.
  Bitmap b = Make(PixelFormat::pf15bit, 67, 2);
  EXPECT_EQ(b.Stride(), 136);
  const int last = 31 << 10 | 1 << 5 | 7;
  b.ScanLine(1)[132] = static_cast<uint8_t>(last);
  b.ScanLine(1)[133] = static_cast<uint8_t>(last >> 8);
  EXPECT_EQ(b.toQImage().pixel(66, 1), qRgb(255, 1 << 3 | 1 >> 2, 7 << 3 | 7 >> 2));
  Bitmap back;
  back.fromQImage(b.toQImage());
  EXPECT_EQ(back.BitCount(), 15);
  EXPECT_EQ(back.ScanLine(1)[133], last >> 8);
}

TEST(ComposedImage, IndexPastThePaletteIsOpaqueBlack) {
  // A 2-entry palette, pixels 0, 1, 5.
  const std::string file = Signature() + IHDR(3, 1, 8, 3) + Chunk("PLTE", "\x10\x20\x30\x40\x50\x60") +
                           Chunk("IDAT", Deflate(FilterRows({std::string("\0\1\5", 3)}, 1))) + IEND();
  TQRNPNG png;
  ASSERT_EQ(LoadMessage(png, file), "");
  EXPECT_EQ(png.GetPalette().size(), 2u);
  const QImage img = png.toQImage();
  EXPECT_EQ(img.format(), QImage::Format_ARGB32);
  EXPECT_EQ(img.pixel(0, 0), qRgba(0x10, 0x20, 0x30, 255));
  EXPECT_EQ(img.pixel(2, 0), qRgba(0, 0, 0, 255));
}

}  // namespace
}  // namespace yomira::qrn
