#include <functional>
#include <string>
#include <vector>

#include "engine/core/option.h"
#include "engine/core/option_defaults.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::bytes;
using test::sj;

// Defaults: f14 r8 s4 m0 L16 V64 W40 H25 T1 G0 P1 PM16.
using Tweak = std::function<void(TYomiraOption&)>;

TYomiraOption With(const Tweak& setup) {
  TYomiraOption o = DefaultOptions();
  if (setup) setup(o);
  return o;
}

const Tweak kBigFont = [](TYomiraOption& o) {
  o.f_size = 20;
  o.ruby_size = 10;
};
const Tweak kTwoByTwo = [](TYomiraOption& o) {
  o.Page = 2;
  o.Colum = 2;
  o.yohaku_c = 10;
};

TEST(GeometryTest, LineX) {
  struct Case {
    const char* name;
    Tweak setup;
    int32_t line, page, x, ruby_x;
  };
  const Case cases[] = {
      {"f20 r10 first line", kBigFont, 0, 1, 550, 570},
      {"f20 r10 last line", kBigFont, 15, 1, 40, 60},
      {"two pages, right page", kTwoByTwo, 0, 1, 858, 872},
      // The same line one page to the left: lw * L - s + PM = 416 - 4 + 16 less.
      {"two pages, left page", kTwoByTwo, 0, 2, 430, 444},
      {"two pages, left page last line", kTwoByTwo, 15, 2, 40, 54},
      {"defaults", nullptr, 0, 1, 430, 444},
  };
  for (const Case& c : cases) {
    const TYomiraOption o = With(c.setup);
    EXPECT_EQ(o.GetLineX(c.line, c.page), c.x) << c.name;
    EXPECT_EQ(o.GetRubyLineX(c.line, c.page), c.ruby_x) << c.name;
  }
}

TEST(GeometryTest, CharY) {
  struct Case {
    const char* name;
    Tweak setup;
    int32_t cell, block, y;
  };
  const Case cases[] = {
      {"f15 cell 2 halves 15 down", [](TYomiraOption& o) { o.f_size = 15; }, 2, 1, 25 + 7},
      // Each half truncates on its own: 7 + 502, not (15 + 1005) / 2 = 510.
      {"f15 cell 2 block 2", [](TYomiraOption& o) { o.f_size = 15; }, 2, 2, 25 + 7 + 502},
      // Toward zero, never a shift: -15 / 2 is -7.
      {"f15 cell 0", [](TYomiraOption& o) { o.f_size = 15; }, 0, 1, 25 - 7},
      {"second block top", kTwoByTwo, 1, 2, 504},
      {"second block bottom", kTwoByTwo, 65, 2, 952},
      // Blocks stack without the character gap: 25 + 603 / 2 + 5.
      {"m -5 block 2", [](TYomiraOption& o) { o.m_size = -5; }, 1, 2, 331},
      {"first cell", nullptr, 1, 1, 25},
  };
  for (const Case& c : cases) {
    const TYomiraOption o = With(c.setup);
    EXPECT_EQ(o.GetCharY(c.cell, c.block), c.y) << c.name;
    EXPECT_EQ(o.GetRubyCharY(c.cell, c.block), c.y) << c.name;
  }
}

TEST(GeometryTest, ColumnExtentAndPageRect) {
  struct Case {
    const char* name;
    Tweak setup;
    int32_t page;
    Rect rect;
  };
  const Case cases[] = {
      {"defaults", nullptr, 1, {40, 25, 452, 473}},
      {"f20 r10", kBigFont, 1, {40, 25, 580, 665}},
      {"two pages, right", kTwoByTwo, 1, {468, 25, 880, 952}},
      {"two pages, left", kTwoByTwo, 2, {40, 25, 452, 952}},
  };
  for (const Case& c : cases) {
    const Rect r = With(c.setup).GetPageRect(c.page);
    EXPECT_EQ(r, c.rect) << c.name << ": " << r.left << "," << r.top << "," << r.right << ","
                         << r.bottom;
  }
  EXPECT_EQ(DefaultOptions().GetColumnExtent(16), std::make_pair(416, 469));
  EXPECT_EQ(With(kBigFont).GetColumnExtent(16), std::make_pair(544, 670));
  // Odd pitch: (67 * 15) / 2 truncates.
  EXPECT_EQ(With([](TYomiraOption& o) { o.f_size = 15; }).GetColumnExtent(1),
            std::make_pair(27, 502));
}

TEST(GeometryTest, FirstLineIndexAndViewCount) {
  const TYomiraOption grid = With([](TYomiraOption& o) {
    o.Colum = 2;
    o.Page = 2;
  });
  struct Case {
    int32_t view, block, page, index;
  };
  const Case cases[] = {{1, 1, 1, 0}, {1, 2, 1, 16}, {1, 1, 2, 32}, {2, 1, 1, 64}, {2, 2, 2, 112}};
  for (const Case& c : cases)
    EXPECT_EQ(grid.GetFirstLineIndex(c.view, c.block, c.page), c.index)
        << c.view << "/" << c.block << "/" << c.page;

  const TYomiraOption o = DefaultOptions();
  struct Count {
    const TYomiraOption* option;
    int64_t lines;
    int32_t views;
  };
  const Count counts[] = {{&o, 0, 0},     {&o, 16, 1},    {&o, 17, 2},     {&o, 32, 2},
                          {&o, -5, 0},    {&grid, 64, 1}, {&grid, 65, 2},  {&grid, 1, 1},
                          {&o, int64_t{16} * 1000000, 1000000}};
  for (const Count& c : counts)
    EXPECT_EQ(c.option->GetViewCount(c.lines), c.views) << c.lines << " lines";
}

TEST(GeometryTest, ConstructedRecordComputesWithoutTrapping) {
  const TYomiraOption o;
  EXPECT_EQ(o.GetViewCount(0), 0);
  EXPECT_EQ(o.GetViewCount(100), 0);
  EXPECT_EQ(o.GetFirstLineIndex(3, 2, 1), 0);
  EXPECT_EQ(o.GetLineX(0, 1), 0);
  EXPECT_EQ(o.GetCharY(5, 2), 0);
  EXPECT_EQ(o.GetPageRect(1), Rect{});
  EXPECT_EQ(o.GetColumnExtent(16), std::make_pair(0, 0));
  EXPECT_EQ(o.GetAnimationFrames(), 3);
  int mode = 2;
  EXPECT_EQ(o.GetRubyOrigin(0, 1, mode, 1, 1), Point{});
  Point p{7, 7};
  bool letter = false, kanji = false;
  o.TrackRubyBase(0, 1, mode, p, letter, kanji, sj(u8"漢"), 1, 1);
  EXPECT_EQ(p, Point{});
  EXPECT_TRUE(kanji);

  // A negative count from an unvalidated record is no view either.
  TYomiraOption negative;
  negative.c_size = -16;
  negative.Colum = 1;
  negative.Page = 1;
  EXPECT_EQ(negative.GetViewCount(100), 0);
}

TEST(GeometryTest, AnimationFrames) {
  const int32_t expected[] = {4, 3, 4, 6, 8, 12, 4};  // Quality -1..5
  for (int q = -1; q <= 5; ++q) {
    TYomiraOption o;
    o.Quality = q;
    EXPECT_EQ(o.GetAnimationFrames(), expected[q + 1]) << "Quality " << q;
  }
}

TEST(GeometryTest, AdjustText) {
  // f = 14, m = -5 (so m / 2 is -2, toward zero).
  struct Case {
    bool aa;
    int mode;
    int32_t x, y;
  };
  const Case cases[] = {
      {false, 0, 114, 200}, {false, 1, 100, 200}, {false, 2, 114, 214}, {false, 3, 114, 198},
      {false, 4, 114, 200}, {false, 5, 114, 200}, {true, 0, 100, 200},  {true, 2, 100, 200},
      {true, 3, 100, 198},
  };
  for (const Case& c : cases) {
    TYomiraOption o = DefaultOptions();
    o.m_size = -5;
    o.text_aa = c.aa;
    EXPECT_EQ(o.AdjustTextX(100, c.mode), c.x) << "aa " << c.aa << " mode " << c.mode;
    EXPECT_EQ(o.AdjustTextY(200, c.mode), c.y) << "aa " << c.aa << " mode " << c.mode;
  }
}

TEST(GeometryTest, AdjustRuby) {
  // r = 8; the character gap never moves ruby.
  struct Case {
    bool aa;
    int mode;
    int32_t x, y;
  };
  const Case cases[] = {
      {false, 0, 108, 200}, {false, 1, 100, 200}, {false, 2, 108, 208}, {false, 3, 108, 200},
      {true, 0, 100, 200},  {true, 1, 100, 200},  {true, 2, 100, 200},  {true, 3, 100, 200},
  };
  for (const Case& c : cases) {
    TYomiraOption o = DefaultOptions();
    o.m_size = 6;
    o.ruby_aa = c.aa;
    EXPECT_EQ(o.AdjustRubyX(100, c.mode), c.x) << "aa " << c.aa << " mode " << c.mode;
    EXPECT_EQ(o.AdjustRubyY(200, c.mode), c.y) << "aa " << c.aa << " mode " << c.mode;
  }
}

TEST(GeometryTest, RubyOriginFollowsTheMetricsMode) {
  TYomiraOption o = With(kTwoByTwo);
  int mode = 2;
  EXPECT_EQ(o.GetRubyOrigin(0, 1, mode, 2, 2), (Point{444, 504}));  // ruby_aa on by default
  o.ruby_aa = 0;
  EXPECT_EQ(o.GetRubyOrigin(0, 1, mode, 2, 2), (Point{452, 512}));
  EXPECT_EQ(mode, 2);  // only read
  mode = 1;
  EXPECT_EQ(o.GetRubyOrigin(0, 1, mode, 2, 2), (Point{444, 504}));
}

TEST(GeometryTest, BaseCharacters) {
  struct Case {
    const char* name;
    std::string ch;
    bool letter;
  };
  const Case cases[] = {
      {"亜 88 9F, first after the symbol block", sj(u8"亜"), true},
      {"々 81 58", sj(u8"々"), false},
      {"ア", sj(u8"ア"), false},
      {"Ａ", sj(u8"Ａ"), false},
      {"a", "a", false},
      {"88 9E, last of the block", bytes({0x88, 0x9E}), false},
      {"81 40, first of the block", bytes({0x81, 0x40}), false},
      {"ED 40", bytes({0xED, 0x40}), true},
      {"漢", sj(u8"漢"), true},
      {"empty", "", false},
      {"lone lead", bytes({0x88}), false},
      {"three bytes", sj(u8"亜") + "a", false},
      {"single-byte pair", "12", false},
      {"half-width katakana pair", bytes({0xB1, 0xB2}), false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TYomiraOption::IsDoubleByteLetter(c.ch), c.letter) << c.name;

  const TYomiraOption o = DefaultOptions();  // kanji_list ※〆々ヶ
  struct Base {
    std::u8string_view ch;
    bool base;
  };
  const Base bases[] = {{u8"々", true}, {u8"ヶ", true}, {u8"あ", false}, {u8"漢", true},
                        {u8"〆", true}, {u8"１", false}, {u8"「", false}};
  for (const Base& b : bases)
    EXPECT_EQ(o.IsRubyBaseChar(sj(b.ch)), b.base) << test::u8(sj(b.ch));

  TYomiraOption unlisted = o;
  unlisted.kanji_list.clear();
  EXPECT_FALSE(unlisted.IsRubyBaseChar(sj(u8"々")));
  // The list search is character-aligned: "A" is only the trail byte of ア (83 41).
  unlisted.kanji_list = sj(u8"ア");
  EXPECT_FALSE(unlisted.IsRubyBaseChar("A"));
  EXPECT_TRUE(unlisted.IsRubyBaseChar(sj(u8"ア")));
}

TEST(GeometryTest, TrackRubyBase) {
  struct Case {
    const char* name;
    std::vector<std::string> chars;  // character i stands in cell i + 1
    std::string kanji_list;
    int32_t point_cell;  // 0: the point is never set
    bool letter, kanji;
  };
  const std::string listed = DefaultOptions().kanji_list;
  const Case cases[] = {
      {"漢字です", {sj(u8"漢"), sj(u8"字"), sj(u8"で"), sj(u8"す")}, listed, 1, false, false},
      {"漢字", {sj(u8"漢"), sj(u8"字")}, listed, 1, false, true},
      {"です漢字", {sj(u8"で"), sj(u8"す"), sj(u8"漢"), sj(u8"字")}, listed, 3, false, true},
      {"ab cd", {"a", "b", " ", "c", "d"}, listed, 4, true, false},
      {"ab", {"a", "b"}, listed, 1, true, false},
      {"a漢", {"a", sj(u8"漢")}, listed, 2, false, true},
      {"漢a", {sj(u8"漢"), "a"}, listed, 2, true, false},
      {"漢々 with 々 listed", {sj(u8"漢"), sj(u8"々")}, listed, 1, false, true},
      {"々漢 unlisted", {sj(u8"々"), sj(u8"漢")}, "", 2, false, true},
      {"、漢", {sj(u8"、"), sj(u8"漢")}, listed, 2, false, true},
      {"１２ (full-width digits)", {sj(u8"１"), sj(u8"２")}, listed, 0, false, false},
      {"tate-chu-yoko pair", {sj(u8"漢"), "12"}, listed, 2, true, false},
      {"empty character", {"", ""}, listed, 0, false, false},
  };
  for (const Case& c : cases) {
    TYomiraOption o = DefaultOptions();
    o.ruby_aa = 0;  // so the origin depends on the mode too
    o.kanji_list = c.kanji_list;
    const Point unset{-1, -1};
    Point point = unset;
    bool letter = false, kanji = false;
    int mode = 3;
    for (size_t i = 0; i < c.chars.size(); ++i)
      o.TrackRubyBase(2, static_cast<int32_t>(i + 1), mode, point, letter, kanji, c.chars[i], 1, 1);
    int expected_mode = 0;
    const Point expected = c.point_cell ? o.GetRubyOrigin(2, c.point_cell, expected_mode, 1, 1) : unset;
    EXPECT_EQ(point, expected) << c.name << ": point " << point.x << "," << point.y;
    EXPECT_EQ(letter, c.letter) << c.name;
    EXPECT_EQ(kanji, c.kanji) << c.name;
    EXPECT_EQ(mode, c.chars.front().empty() ? 3 : 0) << c.name;
  }
}

}  // namespace
}  // namespace yomira
