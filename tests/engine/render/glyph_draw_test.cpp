#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/render/FontEngine.h"
#include "engine/render/GlyphDraw.h"
#include "engine/render/Pixels.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;

QImage Filled(int w, int h, QRgb c) {
  QImage img = MakeBitmap(w, h);
  img.fill(c);
  return img;
}

TYomiraTextMetrics Ink(TColor colour, int mode = 0) {
  TYomiraTextMetrics m;
  m.TextColor = colour;
  m.ReadMetrics();
  m.Orientation = mode;
  return m;
}

TEST(GlyphDraw, Gray4BlendTruncatesTowardZero) {
  struct Case {
    QRgb back;
    TColor ink;
    uint8_t v;
    int expected;
  } cases[] = {
      {qRgb(255, 255, 255), 0x000000, 1, 240}, {qRgb(255, 255, 255), 0x000000, 8, 128},
      {qRgb(255, 255, 255), 0x000000, 16, 0},  {qRgb(0, 0, 0), 0xFFFFFF, 1, 15},
  };
  for (const Case& c : cases) {
    QImage img = Filled(3, 3, c.back);
    const uint8_t data[12] = {c.v, c.v, c.v, 0, c.v, c.v, c.v, 0, c.v, c.v, c.v, 0};
    BlendGlyphGray4(img, 0, Ink(c.ink), {3, 3, 4, data}, 0);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) {
        const QRgb p = img.pixel(x, y);
        EXPECT_EQ(qRed(p), c.expected) << "v " << int(c.v);
        EXPECT_EQ(qGreen(p), c.expected);
        EXPECT_EQ(qBlue(p), c.expected);
      }
  }
}

TEST(GlyphDraw, Gray4ClipsAtEveryEdge) {
  const uint8_t data[12] = {16, 16, 16, 0, 16, 16, 16, 0, 16, 16, 16, 0};
  const QRgb white = qRgb(255, 255, 255);
  const int positions[][2] = {{-2, 1}, {3, 1}, {1, -2}, {1, 3}, {-2, -2}, {3, 3}, {-5, -5}, {9, 9}};
  for (const auto& p : positions) {
    QImage img = Filled(5, 5, white);
    BlendGlyphGray4(img, p[0], Ink(0), {3, 3, 4, data}, p[1]);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) {
        const bool covered = x >= p[0] && x < p[0] + 3 && y >= p[1] && y < p[1] + 3;
        EXPECT_EQ(img.pixel(x, y) == white, !covered) << "at " << p[0] << "," << p[1] << " pixel " << x << "," << y;
      }
  }
  QImage null;
  BlendGlyphGray4(null, 0, Ink(0), {3, 3, 4, data}, 0);
}

TEST(GlyphDraw, CoverageTo17Levels) {
  EXPECT_EQ(Gray17(0), 0);
  EXPECT_EQ(Gray17(7), 0);
  EXPECT_EQ(Gray17(8), 1);
  EXPECT_EQ(Gray17(128), 8);
  EXPECT_EQ(Gray17(247), 15);
  EXPECT_EQ(Gray17(248), 16);
  EXPECT_EQ(Gray17(255), 16);
}

TEST(GlyphDraw, Gray4BlendPerChannelForAlternatingColours) {
  // Body and ruby colours alternate while a page is drawn; each keeps its own arithmetic.
  const uint8_t data[4] = {5, 0, 0, 0};
  for (int round = 0; round < 6; ++round) {
    const TColor ink = round % 3 == 0 ? 0x000080 : round % 3 == 1 ? 0x204060 : 0xFFFFFF;
    QImage img = Filled(1, 1, qRgb(200, 100, 50));
    BlendGlyphGray4(img, 0, Ink(ink), {1, 1, 4, data}, 0);
    const int k[3] = {static_cast<int>(ink & 0xFF), static_cast<int>((ink >> 8) & 0xFF),
                      static_cast<int>((ink >> 16) & 0xFF)};
    const QRgb p = img.pixel(0, 0);
    EXPECT_EQ(qRed(p), 200 + 5 * (k[0] - 200) / 16) << round;
    EXPECT_EQ(qGreen(p), 100 + 5 * (k[1] - 100) / 16) << round;
    EXPECT_EQ(qBlue(p), 50 + 5 * (k[2] - 50) / 16) << round;
  }
}

TEST(GlyphDraw, LongRepeatHalvesTakeTheirRows) {
  // Five rows, each row's value tells the row: row i has v = i + 1.
  uint8_t data[5 * 4] = {};
  for (int r = 0; r < 5; ++r) data[r * 4] = static_cast<uint8_t>(r + 1);
  auto rows = [&](int mode) {
    QImage img = Filled(1, 6, qRgb(0, 0, 0));
    BlendGlyphGray4(img, 0, Ink(0xFFFFFF, mode), {1, 5, 4, data}, 0);
    std::vector<int> out;
    for (int y = 0; y < 6; ++y) out.push_back(qRed(img.pixel(0, y)));
    return out;
  };
  // v * 255 / 16 for v = 1..5: 15, 31, 47, 63, 79
  EXPECT_EQ(rows(0), (std::vector<int>{15, 31, 47, 63, 79, 0}));
  EXPECT_EQ(rows(4), (std::vector<int>{15, 31, 0, 0, 0, 0}));
  EXPECT_EQ(rows(5), (std::vector<int>{47, 63, 0, 0, 0, 0}));  // odd height loses its last row
}

TEST(GlyphDraw, CanvasBlendIsOver255) {
  GlyphRaster g;
  g.w = 2;
  g.h = 1;
  g.coverage = {128, 255};
  QImage img = Filled(4, 4, qRgb(255, 255, 255));
  BlendCoverage(img, 1, 1, g, Ink(0), {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  EXPECT_EQ(qRed(img.pixel(1, 1)), 127);
  EXPECT_EQ(qRed(img.pixel(2, 1)), 0);
  EXPECT_EQ(img.pixel(0, 1), qRgb(255, 255, 255));
  // clip rectangle and image edges
  QImage clipped = Filled(4, 4, qRgb(255, 255, 255));
  BlendCoverage(clipped, 1, 1, g, Ink(0), {2, 0, 4, 4});
  EXPECT_EQ(clipped.pixel(1, 1), qRgb(255, 255, 255));
  EXPECT_EQ(qRed(clipped.pixel(2, 1)), 0);
  BlendCoverage(clipped, 3, 3, g, Ink(0), {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  BlendCoverage(clipped, -1, -1, g, Ink(0), {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  EXPECT_EQ(qRed(clipped.pixel(3, 3)), 127);
}

TEST(GlyphDraw, RepeatMarkOnlyInModesOneAndTwo) {
  TYomiraTextMetrics m;
  QImage img = Filled(40, 40, qRgb(255, 255, 255));
  struct Case {
    int mode, split, cellAdvance;
  } cases[] = {{0, 0, 0}, {3, 0, 0}, {1, 0, 4}, {2, 1, 2}, {1, 2, 2}, {2, 0, 4}};
  for (const Case& c : cases) {
    int cell = 5;
    m.SetOrientation(goRotated);
    DrawRepeatMark(img, sj(u8"く"), m, c.mode, true, c.split, cell, 0, 0);
    EXPECT_EQ(cell, 5 + c.cellAdvance) << "mode " << c.mode << " split " << c.split;
    EXPECT_EQ(m.Orientation, c.cellAdvance ? goVertical : goRotated);
  }
}

}  // namespace
}  // namespace yomira
