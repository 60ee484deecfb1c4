#include "png/sfunc.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <limits>
#include <string>

#include "png/bitmap.h"

namespace yomira::qrn {
namespace {

TEST(Sfunc, LineSizePadsTo32Bits) {
  struct Case {
    int64_t w;
    int bits;
    int64_t bytes;
  } cases[] = {{1, 1, 4}, {3, 24, 12}, {5, 4, 4}, {0, 8, 0}, {33, 1, 8}, {4, 24, 12}, {5, 24, 16},
               {0x7FFFFFFF, 32, 0x1FFFFFFFCLL}};
  for (const auto& c : cases) EXPECT_EQ(GetLineSize(c.w, c.bits), c.bytes) << c.w << "x" << c.bits;
}

TEST(Sfunc, GreyRamps) {
  struct Case {
    int bits, count, step;
  } cases[] = {{1, 2, 255}, {2, 4, 85}, {4, 16, 17}, {8, 256, 1}, {16, 256, 1}};
  for (const auto& c : cases) {
    TQRNPalRGB t[256];
    ASSERT_EQ(CreateGrayScalePalette(t, c.bits), c.count);
    for (int k = 0; k < c.count; ++k) {
      const auto v = static_cast<uint8_t>(k * c.step);
      EXPECT_EQ(t[k], (TQRNPalRGB{v, v, v, 0})) << c.bits << " " << k;
    }
  }
}

TEST(Sfunc, NearestEntry) {
  const TQRNPalRGB e[] = {{0, 0, 0, 0}, {10, 10, 10, 0}, {30, 30, 30, 0}, {20, 20, 20, 0}, {0, 0, 0, 0}};
  // colour = r | g << 8 | b << 16
  EXPECT_EQ(GetNearestPaletteEntryIndex(e, 0x141414, 5), 3);  // exact
  EXPECT_EQ(GetNearestPaletteEntryIndex(e, 0x000000, 5), 0);  // exact, first of two
  EXPECT_EQ(GetNearestPaletteEntryIndex(e, 0x0F0F0F, 5), 1);  // 15: tie between 10 and 20 → lower index
  EXPECT_EQ(GetNearestPaletteEntryIndex(e, 0x1C1C1C, 5), 2);  // 28: nearest 30
  EXPECT_EQ(GetNearestPaletteEntryIndex(e, 0x1C1C1C, 0), 0);
  EXPECT_EQ(GetNearestPaletteIndex(TQRNPalette{}, 0x123456), -1);
  EXPECT_EQ(GetNearestPaletteIndex(CreatePaletteHandle(e, 5), 0x1F1F1F), 2);
  EXPECT_EQ(GetPaletteColor(CreatePaletteHandle(e, 5), 1), 0x0A0A0A);
  EXPECT_EQ(GetPaletteColor(CreatePaletteHandle(e, 5), 5), -1);
  // |x − y| through the 9-bit table, both directions.
  for (int x : {0, 1, 128, 255})
    for (int y : {0, 7, 200, 255}) EXPECT_EQ(abs256tbl[(x - y) & 0x1FF], std::abs(x - y));
}

TEST(Sfunc, MaxColors) {
  EXPECT_EQ(GetMaxColorSub(1), 2);
  EXPECT_EQ(GetMaxColorSub(8), 256);
  EXPECT_EQ(GetMaxColorSub(16), 0);
  EXPECT_EQ(GetMaxColor(8, 0), 256);
  EXPECT_EQ(GetMaxColor(8, 17), 17);
}

TEST(Sfunc, TotalLineCountMatchesCountedPassRows) {
  static const int firstRow[7] = {0, 0, 4, 0, 2, 0, 1}, rowStep[7] = {8, 8, 8, 4, 4, 2, 2};
  for (int h = 1; h <= 9; ++h) {
    int64_t counted = 0;
    for (int p = 0; p < 7; ++p)
      for (int y = firstRow[p]; y < h; y += rowStep[p]) ++counted;
    EXPECT_EQ(GetTotalLineCount(1, h), counted) << h;
    EXPECT_EQ(GetTotalLineCount(0, h), h);
  }
}

TEST(Sfunc, TheRestOfTheUnit) {
  const TQRNPalRGB e[] = {{0, 0, 0, 0}, {0, 0, 200, 0}, {50, 60, 70, 0}};
  const TQRNPalette pal = CreatePaletteHandle(e, 3);
  int a = 3, b = -4;
  Xchange(a, b);
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min(), kMax = std::numeric_limits<int64_t>::max();
  struct Case {
    const char* what;
    int64_t got, want;
  } cases[] = {
      {"SwapBR", SwapBR(0xFF112233u), 0x332211},
      {"SwapBR white", SwapBR(0x00FFFFFFu), 0xFFFFFF},
      {"GetMaskShift 565 red", GetMaskShift(0xF800), 8},
      {"GetMaskShift 565 green", GetMaskShift(0x7E0), 3},
      {"GetMaskShift 565 blue", GetMaskShift(0x1F), -3},
      {"GetMaskShift top bit", GetMaskShift(0x80000000u), 24},
      {"GetMaskShift 0", GetMaskShift(0), 0},
      {"FixMul 1.5 x 2", FixMul(0x18000, 0x20000), 0x30000},
      {"FixMul -1 x 0.5", FixMul(-0x10000, 0x8000), -0x8000},
      {"FixMul rounds toward minus infinity", FixMul(-1, 1), -1},
      {"FixMul large", FixMul(0x7FFF0000, 0x20000), static_cast<int32_t>(0xFFFE0000u)},
      {"CheckRect touching", CheckRect(0, 0, 10, 10, 10, 0, 5, 5), true},
      {"CheckRect apart", CheckRect(0, 0, 10, 10, 11, 0, 5, 5), false},
      {"CheckRect touching below", CheckRect(0, 0, 10, 10, 3, 10, 1, 1), true},
      {"CheckRect apart above", CheckRect(0, 20, 10, 10, 0, 0, 10, 19), false},
      {"CheckRect inside", CheckRect(0, 0, 10, 10, 2, 2, 1, 1), true},
      {"CheckRect no overflow", CheckRect(0x7FFFFFF0, 0, 0x7FFFFFFF, 1, 0, 0, 1, 1), false},
      {"GetDIBMemLen", GetDIBMemLen(5, 4, -3), 12},
      {"GetDIBMemLen 24", GetDIBMemLen(5, 24, 2), 32},
      {"ConvertInchToMeter 72", ConvertInchToMeter(72), 2834},
      {"ConvertInchToMeter 96", ConvertInchToMeter(96), 3779},
      {"ConvertInchToMeter -72", ConvertInchToMeter(-72), -2834},
      {"ConvertInchToMeter big", ConvertInchToMeter(1000000), 39370078},
      {"CmpTime", CmpTime(5, 9), -4},
      {"CmpTime held low", CmpTime(kMin, 1), kMin},
      {"CmpTime held high", CmpTime(kMax, -1), kMax},
      {"Sgn -", Sgn(-5), -1},
      {"Sgn 0", Sgn(0), 0},
      {"Sgn +", Sgn(kMax), 1},
      {"Xchange a", a, -4},
      {"Xchange b", b, 3},
      {"Min", Min(-2, 7), -2},
      {"Max", Max(-2, 7), 7},
      {"GetNearestColorTableIndex", GetNearestColorTableIndex(e, 0x4030C0, 3), 1},
      {"GetNearestPaletteColor", GetNearestPaletteColor(pal, 0x3B3B48), 0x323C46},
      {"GetNearestPaletteColor exact", GetNearestPaletteColor(pal, 0xC8), 0xC8},
      {"GetNearestPaletteColor none", GetNearestPaletteColor(TQRNPalette{}, 0), -1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
  EXPECT_EQ(GetLongFileName("/home/u/ab~1/x y.txt"), "/home/u/ab~1/x y.txt");
  ClearSystemPalette();  // nothing to clear, nothing to fail
}

TEST(Sfunc, CopyPixelLineChangesOnlyTheCopiedPixels) {
  struct Case {
    int bits;
    std::string src;
    int64_t start, count;
    std::string dst, want;
  } cases[] = {
      {1, "\xB0", 1, 3, std::string(1, '\0'), "\x60"},             // 1011 from pixel 1: 011
      {1, "\xB0", 1, 3, "\xFF", "\x7F"},               // the other bits stay
      {1, "\x01\x80", 7, 2, std::string(1, '\0'), "\xC0"},  // across a byte
      {1, "\xFF\xFF", 0, 10, std::string(2, '\0'), "\xFF\xC0"},
      {4, "\x12\x34", 1, 2, "\xFF", "\x23"},
      {4, "\x12\x34", 1, 3, "\xAA\xBB", "\x23\x4B"},
      {4, "\x12\x34", 2, 1, "\xAA", "\x3A"},
      {8, "\x01\x02\x03\x04", 2, 2, "\xEE\xEE\xEE", "\x03\x04\xEE"},
      {24, "abcdefghi", 1, 2, "123456789", "defghi789"},
      {32, "abcdefgh", 1, 1, "12345678", "efgh5678"},
      {16, "abcd", 0, 2, "1234", "1234"},   // not a copied bit count
      {8, "abcd", -1, 2, "1234", "1234"},   // negative start
      {8, "abcd", 0, -1, "1234", "1234"},
      {8, "abcd", 0, 0, "1234", "1234"},
  };
  for (const auto& c : cases) {
    std::string dst = c.dst;
    CopyPixelLine(reinterpret_cast<uint8_t*>(dst.data()), reinterpret_cast<const uint8_t*>(c.src.data()), c.start,
                  c.count, c.bits);
    EXPECT_EQ(dst, c.want) << c.bits << " bits, start " << c.start << ", count " << c.count;
  }
}

TEST(Sfunc, DebugMesGoesThroughTheHookOrStderr) {
  std::string caption, text;
  SetDebugMesHook([&](const std::string& c, const std::string& t) { caption = c, text = t; });
  DebugMes("x = 1");
  EXPECT_EQ(caption, "デバッグ中");
  EXPECT_EQ(text, "x = 1");
  SetDebugMesHook(nullptr);
  testing::internal::CaptureStderr();
  DebugMes("y = 2");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "デバッグ中: y = 2\n");
  EXPECT_EQ(text, "x = 1");
}

TEST(Sfunc, DrawBitmapHandleRasterOps) {
  // A 2x2 24-bit bitmap drawn at (1, 1) on a 4x4 target.
  Bitmap bmp;
  bmp.SetPixelFormat(PixelFormat::pf24bit);
  bmp.SetSize(2, 2);
  const QRgb src[2][2] = {{qRgb(0x0F, 0xF0, 0x33), qRgb(0xFF, 0x00, 0x81)}, {qRgb(0, 0, 0), qRgb(0x12, 0x34, 0x56)}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      uint8_t* p = bmp.ScanLine(y) + 3 * x;
      p[0] = static_cast<uint8_t>(qBlue(src[y][x])), p[1] = static_cast<uint8_t>(qGreen(src[y][x]));
      p[2] = static_cast<uint8_t>(qRed(src[y][x]));
    }
  QImage target(4, 4, QImage::Format_RGB32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) target.setPixel(x, y, qRgb(0x55 + 16 * x, 0xA5 - 9 * y, 0x3C ^ (x * y)));
  const QImage original = target.copy();

  struct Case {
    uint32_t rop;
    QRgb (*combine)(QRgb s, QRgb d);
  } cases[] = {
      {SRCCOPY, [](QRgb s, QRgb) { return s; }},
      {SRCAND, [](QRgb s, QRgb d) { return (s & d) | 0xFF000000u; }},
      {SRCPAINT, [](QRgb s, QRgb d) { return (s | d) | 0xFF000000u; }},
      {SRCINVERT, [](QRgb s, QRgb d) { return (s ^ d) | 0xFF000000u; }},
  };
  for (const auto& c : cases) {
    target = original.copy();
    {
      QPainter painter(&target);
      ASSERT_TRUE(DrawBitmapHandle(painter, 1, 1, bmp, c.rop));
    }
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const bool inside = x >= 1 && x < 3 && y >= 1 && y < 3;
        const QRgb want = inside ? c.combine(src[y - 1][x - 1], original.pixel(x, y)) : original.pixel(x, y);
        EXPECT_EQ(target.pixel(x, y), want) << std::hex << c.rop << " " << x << "," << y;
      }
  }

  // Drawn twice with SRCINVERT, the target is back as it was.
  target = original.copy();
  {
    QPainter painter(&target);
    DrawBitmapHandle(painter, 1, 1, bmp, SRCINVERT);
    DrawBitmapHandle(painter, 1, 1, bmp, SRCINVERT);
  }
  EXPECT_EQ(target, original);

  // Another rop or an empty bitmap draws nothing.
  {
    QPainter painter(&target);
    EXPECT_FALSE(DrawBitmapHandle(painter, 0, 0, bmp, 0x00BB0226));
    EXPECT_FALSE(DrawBitmapHandle(painter, 0, 0, Bitmap(), SRCCOPY));
  }
  EXPECT_EQ(target, original);
}

}  // namespace
}  // namespace yomira::qrn
