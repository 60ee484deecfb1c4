#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "engine/core/option_defaults.h"
#include "engine/render/GlyphDraw.h"
#include "engine/render/Pixels.h"

namespace yomira {
namespace {

const QRgb kWhite = qRgb(255, 255, 255);

QImage White(int w, int h) {
  QImage img = MakeBitmap(w, h);
  img.fill(kWhite);
  return img;
}

// Rows inked in one column, and whether anything outside that column was touched.
std::vector<int> ColumnRows(const QImage& img, int column, bool* elsewhere = nullptr) {
  std::vector<int> rows;
  if (elsewhere) *elsewhere = false;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      if (img.pixel(x, y) == kWhite) continue;
      if (x == column)
        rows.push_back(y);
      else if (elsewhere)
        *elsewhere = true;
    }
  return rows;
}

std::vector<int> Range(int a, int b) {
  std::vector<int> v;
  for (int i = a; i <= b; ++i) v.push_back(i);
  return v;
}

TYomiraOption Option14(int m) {
  TYomiraOption o = DefaultOptions();
  o.f_size = 14;
  o.m_size = m;
  o.text_color = 0x000000;
  o.ruby_color = 0x000080;
  return o;
}

TEST(Marks, SideLineSpans) {
  struct Case {
    int m, n, first, last;
  } cases[] = {{0, 1, 49, 57}, {0, 2, 49, 64}, {0, 4, 49, 78}, {3, 1, 48, 58}, {3, 4, 48, 81}};
  for (const Case& c : cases) {
    QImage img = White(200, 150);
    DrawSideLine(img, Option14(c.m), c.n, 1, 1, 100, 50);
    bool elsewhere = false;
    EXPECT_EQ(ColumnRows(img, 114, &elsewhere), Range(c.first, c.last)) << "m " << c.m << " n " << c.n;
    EXPECT_FALSE(elsewhere);
    EXPECT_EQ(img.pixel(114, c.first), qRgb(0, 0, 0));
  }
}

TEST(Marks, SideLineNoOps) {
  struct Case {
    int n, side, mode;
  } cases[] = {{0, 1, 1}, {-1, 1, 1}, {2, 0, 1}, {2, -3, 2}, {2, 1, 0}, {2, 1, 3}};
  for (const Case& c : cases) {
    QImage img = White(200, 150);
    DrawSideLine(img, Option14(0), c.n, c.side, c.mode, 100, 50);
    EXPECT_TRUE(ColumnRows(img, 114).empty()) << c.n << " " << c.side << " " << c.mode;
  }
}

TEST(Marks, SideRuleInTheRubyColour) {
  QImage img = White(200, 150);
  DrawSideRule(img, Option14(0), 100, 50, 2);
  bool elsewhere = false;
  EXPECT_EQ(ColumnRows(img, 113, &elsewhere), Range(50, 63));
  EXPECT_FALSE(elsewhere);
  EXPECT_EQ(img.pixel(113, 50), qRgb(128, 0, 0));
  QImage one = White(200, 150);
  DrawSideRule(one, Option14(0), 100, 50, 0);  // 0 counts as 1
  EXPECT_EQ(ColumnRows(one, 113), Range(50, 56));
}

// A strip of 8 squares of r = 6 whose every pixel has blue byte q(type).
QImage Strip(int r, int width_squares, int q) {
  QImage strip = MakeBitmap(width_squares * r, r);
  strip.fill(qRgb(q, q, q));
  return strip;
}

struct EmphasisSetup {
  TYomiraOption option = DefaultOptions();
  TYomiraTextMetrics ruby;
  EmphasisSetup() {
    option.f_size = 10;
    option.ruby_size = 6;
    ruby.TextColor = 0x000000;
    ruby.ReadMetrics();
  }
};

TEST(Marks, EmphasisBlend) {
  EmphasisSetup s;
  struct Case {
    int q, expected;
  } cases[] = {{0, 0}, {255, 255}, {128, 128}};
  for (const Case& c : cases) {
    QImage page = White(40, 40);
    BlendEmphasisMark(page, Strip(6, 8, c.q), s.option, s.ruby, 2, 3, 1, 5, 5);
    // x + f = 15; y + ((2 * 10) / 2 - 6) / 2 = 7; a 6 x 6 square
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        const bool in = x >= 15 && x < 21 && y >= 7 && y < 13;
        ASSERT_EQ(qRed(page.pixel(x, y)), in ? c.expected : 255) << "q " << c.q << " at " << x << "," << y;
      }
  }
  // Ruby colour, per channel.
  s.ruby.TextColor = 0x000080;
  s.ruby.ReadMetrics();
  QImage page = White(40, 40);
  BlendEmphasisMark(page, Strip(6, 8, 0), s.option, s.ruby, 2, 1, 2, 5, 5);
  EXPECT_EQ(page.pixel(15, 7), qRgb(128, 0, 0));
}

TEST(Marks, EmphasisTakesTheSquareOfItsType) {
  EmphasisSetup s;
  QImage strip = Strip(6, 8, 255);
  FillRect(strip, {4 * 6, 0, 5 * 6, 6}, qRgb(0, 0, 0));  // only type 5 is inked
  for (int type = 1; type <= 8; ++type) {
    QImage page = White(40, 40);
    BlendEmphasisMark(page, strip, s.option, s.ruby, 2, type, 1, 5, 5);
    EXPECT_EQ(page.pixel(15, 7) != kWhite, type == 5) << type;
  }
}

TEST(Marks, EmphasisNoOps) {
  EmphasisSetup s;
  const QImage strip = Strip(6, 8, 0);
  struct Case {
    int n, type, mode, r, squares;
  } cases[] = {
      {0, 1, 1, 6, 8}, {2, 0, 1, 6, 8}, {2, 1, 0, 6, 8}, {2, 1, 3, 6, 8},
      {2, 1, 1, 4, 8}, {2, 9, 1, 6, 8}, {2, 1, 1, 6, 7},
  };
  for (const Case& c : cases) {
    TYomiraOption o = s.option;
    o.ruby_size = c.r;
    QImage page = White(40, 40);
    BlendEmphasisMark(page, c.squares == 8 ? Strip(c.r, 8, 0) : Strip(c.r, c.squares, 0), o, s.ruby, c.n, c.type,
                      c.mode, 5, 5);
    bool touched = false;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) touched = touched || page.pixel(x, y) != kWhite;
    EXPECT_FALSE(touched) << "n " << c.n << " type " << c.type << " mode " << c.mode << " r " << c.r << " squares "
                          << c.squares;
  }
  QImage null;
  BlendEmphasisMark(null, strip, s.option, s.ruby, 2, 1, 1, 5, 5);
  QImage page = White(40, 40);
  BlendEmphasisMark(page, QImage(), s.option, s.ruby, 2, 1, 1, 5, 5);
}

TEST(Marks, EmphasisClipsOnAllSides) {
  EmphasisSetup s;
  const QImage strip = Strip(6, 8, 0);
  // Square at x + 10 .. x + 15, y + 2 .. y + 7 (n 2, f 10, r 6).
  const int positions[][2] = {{-13, 5}, {-30, 5}, {8, -5}, {8, -20}, {15, 18}, {20, 5}, {8, 40}};
  for (const auto& p : positions) {
    QImage page = White(24, 24);
    BlendEmphasisMark(page, strip, s.option, s.ruby, 2, 1, 1, p[0], p[1]);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) {
        const bool in = x >= p[0] + 10 && x < p[0] + 16 && y >= p[1] + 2 && y < p[1] + 8;
        ASSERT_EQ(page.pixel(x, y) != kWhite, in) << p[0] << "," << p[1] << " pixel " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace yomira
