#include "png/sfunc.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace yomira::qrn
