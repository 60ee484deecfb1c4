#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "engine/render/Background.h"
#include "engine/render/Pixels.h"

namespace yomira {
namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kInk = qRgb(10, 20, 30);

QImage White(int w, int h) {
  QImage img = MakeBitmap(w, h);
  img.fill(kWhite);
  return img;
}

std::set<std::pair<int, int>> Inked(const QImage& img) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != kWhite) out.insert({x, y});
  return out;
}

TEST(Pixels, ColourPairRoundTrips) {
  EXPECT_EQ(BgrToQRgb(0x00F0FAFFu), 0xFFFFFAF0u);
  EXPECT_EQ(QRgbToBgr(0xFFFFFAF0u), 0x00F0FAFFu);
  EXPECT_EQ(QRgbToBgr(BgrToQRgb(0x00123456u)), 0x00123456u);
}

TEST(Pixels, LineLeavesOutTheEndPixelInEightDirections) {
  const int dirs[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
  for (const auto& d : dirs) {
    QImage img = White(21, 21);
    LineTo(img, 10, 10, 10 + 6 * d[0], 10 + 6 * d[1], kInk);
    std::set<std::pair<int, int>> expected;
    for (int i = 0; i < 6; ++i) expected.insert({10 + i * d[0], 10 + i * d[1]});
    EXPECT_EQ(Inked(img), expected) << "direction " << d[0] << "," << d[1];
  }
}

TEST(Pixels, SteepLineStepsOnePixelPerRow) {
  QImage img = White(20, 20);
  LineTo(img, 2, 1, 5, 13, kInk);
  const auto inked = Inked(img);
  EXPECT_EQ(inked.size(), 12u);
  for (int y = 1; y < 13; ++y) {
    int count = 0;
    for (const auto& p : inked) count += p.second == y;
    EXPECT_EQ(count, 1) << "row " << y;
  }
  EXPECT_FALSE(inked.count({5, 13}));
}

TEST(Pixels, DottedPenThreeOnThreeOffRestartingPerLine) {
  QImage img = White(20, 4);
  LineTo(img, 0, 1, 15, 1, kInk, true);
  LineTo(img, 4, 2, 12, 2, kInk, true);
  std::set<std::pair<int, int>> expected;
  for (int x : {0, 1, 2, 6, 7, 8, 12, 13, 14}) expected.insert({x, 1});
  for (int x : {4, 5, 6, 10, 11}) expected.insert({x, 2});
  EXPECT_EQ(Inked(img), expected);
}

TEST(Pixels, FrameLiesInsideTheRectangle) {
  QImage img = White(10, 10);
  FrameRect(img, {2, 3, 6, 8}, kInk);
  const auto inked = Inked(img);
  for (const auto& [x, y] : inked) {
    EXPECT_TRUE(x >= 2 && x < 6 && y >= 3 && y < 8);
    EXPECT_TRUE(x == 2 || x == 5 || y == 3 || y == 7);
  }
  EXPECT_EQ(inked.size(), 14u);
}

TEST(Pixels, EverythingClipsAndNullImagesAreIgnored) {
  QImage img = White(5, 5);
  LineTo(img, -10, 2, 20, 2, kInk);
  FillRect(img, {-3, -3, 2, 2}, kInk);
  FrameRect(img, {3, 3, 9, 9}, kInk);
  Blit(img, 3, 3, White(10, 10), {0, 0, 10, 10});
  Blit(img, -4, -4, White(10, 10), {-2, -2, 12, 12});
  Composite(img, 4, 4, White(10, 10));
  EXPECT_EQ(img.pixel(4, 2), kWhite);  // the blit covered it
  EXPECT_EQ(img.pixel(0, 0), kWhite);
  QImage null;
  LineTo(null, 0, 0, 5, 5, kInk);
  FrameRect(null, {0, 0, 4, 4}, kInk);
  FillRect(null, {0, 0, 4, 4}, kInk);
  Blit(null, 0, 0, img, {0, 0, 5, 5});
  Blit(img, 0, 0, null, {0, 0, 5, 5});
  Tile(null, img);
  Tile(img, null);
  Composite(null, 0, 0, img);
  EXPECT_TRUE(null.isNull());
  EXPECT_TRUE(MakeBitmap(0, 5).isNull());
  EXPECT_TRUE(MakeBitmap(5, -1).isNull());
}

TEST(Pixels, TileRepeatsFromTheTopLeft) {
  QImage tile = MakeBitmap(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) tile.setPixel(x, y, qRgb(x * 50, y * 100, 7));
  QImage img = White(11, 7);
  Tile(img, tile);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 11; ++x) ASSERT_EQ(img.pixel(x, y), tile.pixel(x % 3, y % 2)) << x << "," << y;
}

TEST(Pixels, CompositeIsSourceOver) {
  QImage src(2, 1, QImage::Format_ARGB32);
  src.setPixel(0, 0, qRgba(0, 0, 0, 0));
  src.setPixel(1, 0, qRgba(0, 0, 0, 255));
  QImage img = White(2, 1);
  Composite(img, 0, 0, src);
  EXPECT_EQ(img.pixel(0, 0), kWhite);
  EXPECT_EQ(img.pixel(1, 0), qRgb(0, 0, 0));
}

TEST(Pixels, FadeChannelAndClampByte) {
  EXPECT_EQ(FadeChannel(250, -15, 26, 13), 243);
  EXPECT_EQ(FadeChannel(100, 10, 0, 3), 130);  // steps 0 count as 1
  EXPECT_EQ(FadeChannel(250, 30, 1, 1), 255);
  EXPECT_EQ(FadeChannel(5, -30, 1, 1), 0);
  EXPECT_EQ(ClampByte(-1), 0);
  EXPECT_EQ(ClampByte(256), 255);
  EXPECT_EQ(ClampByte(77), 77);
}

}  // namespace
}  // namespace yomira
