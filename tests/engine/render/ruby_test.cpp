// Ruby placement, splitting and runs, the upright pair test and reading marks, checked
// with a recording painter.
#include <gtest/gtest.h>

#include "engine/render/Ruby.h"
#include "spread_test_util.h"

namespace yomira {
namespace {

using namespace yomira::test;

class Ruby : public ::testing::Test {
 protected:
  TYomiraOption o = SpreadOptions();
  TYomiraTextMetrics ruby;
  RecordingPainter painter;
  RubyContext ctx{o, ruby, painter};

  // (text, x, y) of every string drawn.
  std::vector<std::tuple<std::string, int32_t, int32_t>> Drawn() const {
    std::vector<std::tuple<std::string, int32_t, int32_t>> out;
    for (const PaintCall& c : painter.Of("text")) out.emplace_back(u8(c.text), c.x, c.y);
    return out;
  }
  using D = std::vector<std::tuple<std::string, int32_t, int32_t>>;
};

TEST(TateChuYoko, PairsExactlyTwo) {
  const TYomiraOption o = SpreadOptions();
  EXPECT_TRUE(IsTateChuYoko(o, sj(u8"漢12漢"), 3));
  EXPECT_FALSE(IsTateChuYoko(o, sj(u8"漢123"), 3));
  EXPECT_TRUE(IsTateChuYoko(o, sj(u8"漢12"), 3));
  // The next line starts with 3: the pair text holds it.
  EXPECT_FALSE(IsTateChuYoko(o, sj(u8"漢12") + "3", 3));
  EXPECT_FALSE(IsTateChuYoko(o, sj(u8"漢1"), 3));
  EXPECT_FALSE(IsTateChuYoko(o, "1a", 1));
  EXPECT_FALSE(IsTateChuYoko(o, "12", 0));
  EXPECT_FALSE(IsTateChuYoko(o, "12", 2));
  // A lead byte after the pair opens a character; "1" as a trail byte is not a digit.
  EXPECT_TRUE(IsTateChuYoko(o, "12" + sj(u8"あ"), 1));
  EXPECT_FALSE(IsTateChuYoko(o, bytes({0x88, 0x31, 0x32}), 1));
}

TEST_F(Ruby, DisplayLengthCountsWholeMarks) {
  EXPECT_EQ(DisplayLength(sj(u8"あ")), 2);
  EXPECT_EQ(DisplayLength(sj(u8"／″＼")), 4);
  EXPECT_EQ(DisplayLength(sj(u8"あ／″＼")), 6);
  EXPECT_EQ(DisplayLength(sj(u8"／″＼／″＼")), 8);
  EXPECT_EQ(DisplayLength(sj(u8"／＼／＼")), 8);
  // ＝^″＼ is 81 81 5E 81 8D 81 5F: "／″＼" only at trail bytes.
  const std::string trap = bytes({0x81, 0x81, 0x5E, 0x81, 0x8D, 0x81, 0x5F});
  EXPECT_EQ(DisplayLength(trap), 7);
  EXPECT_EQ(DisplayLength(""), 0);
}

TEST_F(Ruby, SplitRubyInProportion) {
  struct Case {
    std::u8string text;
    int32_t n, a, bb;
    std::u8string first, second;
  };
  for (const Case& c : std::vector<Case>{{u8"かんじ", 6, 28, 28, u8"かん", u8"じ"},
                                          {u8"かんじ", 6, 56, 0, u8"か", u8"んじ"},
                                          {u8"かんじ", 6, 0, 56, u8"かんじ", u8""},
                                          {u8"かんじ", 6, -5, -5, u8"か", u8"んじ"},
                                          {u8"ab漢", 4, 10, 10, u8"ab", u8"漢"},
                                          {u8"／″＼か", 6, 10, 10, u8"／″＼", u8"か"},
                                          {u8"", 0, 10, 10, u8"", u8""}}) {
    std::string first, second;
    SplitRuby(sj(c.text), c.n, second, first, c.a, c.bb);
    EXPECT_SJ_EQ(first, c.first);
    EXPECT_SJ_EQ(second, c.second);
  }
}

TEST_F(Ruby, SplitRubyNeverCutsACharacter) {
  std::string first, second;
  const std::string text = bytes({0x88, 0x31, 0x88, 0x32, 0x88});  // two kanji and a lone lead byte
  for (int bb = -3; bb < 40; ++bb) {
    SplitRuby(text, 5, second, first, 10, bb);
    EXPECT_EQ(first + second, text);
    EXPECT_EQ(first.size() % 2, 0u) << bb;
  }
}

TEST_F(Ruby, TextRunAdvances) {
  Point pen;
  DrawTextRun(ctx, sj(u8"aか"), pen, true, 0, 444, 100);
  EXPECT_EQ(Drawn(), (D{{"a", 444, 100}, {"か", 444, 104}}));
  EXPECT_EQ(pen, (Point{444, 112}));

  painter.calls.clear();
  DrawTextRun(ctx, sj(u8"／＼か"), pen, true, 0, 444, 100);
  EXPECT_EQ(Drawn(), (D{{"く", 444, 100}, {"か", 444, 116}}));
  EXPECT_EQ(painter.Of("text")[0].mode, goLongRepeat);
  EXPECT_EQ(pen, (Point{444, 124}));

  // Not drawn: the pen still moves.
  painter.calls.clear();
  DrawTextRun(ctx, sj(u8"かな"), pen, false, 2, 10, 0);
  EXPECT_TRUE(painter.calls.empty());
  EXPECT_EQ(pen, (Point{10, 20}));
}

TEST_F(Ruby, RotatedRubyOnTheCanvasMovesDownACell) {
  o.ruby_aa = 0;
  Point pen;
  DrawTextRun(ctx, sj(u8"＜"), pen, true, 0, 444, 100);
  EXPECT_EQ(Drawn(), (D{{"＜", 444, 108}}));
  EXPECT_EQ(painter.Of("text")[0].mode, goRotated);
  o.ruby_aa = 1;
  painter.calls.clear();
  DrawTextRun(ctx, sj(u8"＜"), pen, true, 0, 444, 100);
  EXPECT_EQ(Drawn(), (D{{"＜", 444, 100}}));
}

TEST_F(Ruby, PlaceRubySpreadsOrCentres) {
  struct Case {
    std::u8string text;
    Point pen;
    D want;
    Point after;
  };
  const std::vector<Case> cases = {
      {u8"かんじ", {0, 0}, {{"か", 444, 26}, {"ん", 444, 35}, {"じ", 444, 44}}, {444, 53}},
      {u8"とうきょう",
       {0, 0},
       {{"と", 444, 19}, {"う", 444, 27}, {"き", 444, 35}, {"ょ", 444, 43}, {"う", 444, 51}},
       {444, 59}},
      {u8"とうきょう",
       {444, 30},
       {{"と", 444, 30}, {"う", 444, 38}, {"き", 444, 46}, {"ょ", 444, 54}, {"う", 444, 62}},
       {444, 70}},
      // The spread gap counts a voiced mark as the two units it takes.
      {u8"／″＼", {0, 0}, {{"ぐ", 444, 29}}, {444, 53}},
  };
  for (const Case& c : cases) {
    painter.calls.clear();
    Point pen = c.pen;
    PlaceRuby(ctx, sj(c.text), pen, 2, 25, 0, {444, 25}, {444, 53});
    EXPECT_EQ(Drawn(), c.want);
    EXPECT_EQ(pen, c.after);
  }
}

TEST_F(Ruby, PlaceRubyWithoutBaseDrawsNothing) {
  Point pen{1, 2};
  PlaceRuby(ctx, sj(u8"かな"), pen, 2, 25, 0, {444, 25}, {444, 25});
  EXPECT_TRUE(painter.calls.empty());
  EXPECT_EQ(pen, (Point{1, 2}));
}

TEST_F(Ruby, PlaceRubySplitsOverTwoLinesByMode) {
  struct Case {
    int mode;
    D want;
    Point after;
  };
  const std::vector<Case> cases = {
      {2, {{"か", 444, 457}, {"ん", 444, 465}, {"じ", 418, 25}}, {418, 33}},
      {3, {{"か", 444, 457}, {"ん", 444, 465}}, {0, 0}},
      {1, {{"じ", 418, 25}}, {418, 33}},
      {0, {}, {418, 33}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    painter.calls.clear();
    Point pen{0, 0};
    PlaceRuby(ctx, sj(u8"かんじ"), pen, c.mode, 25, 473, {444, 445}, {418, 53});
    EXPECT_EQ(Drawn(), c.want);
    EXPECT_EQ(pen, c.after);
  }
}

TEST_F(Ruby, SplitRubyKeepsBelowThePreviousRuby) {
  Point pen{444, 470};
  PlaceRuby(ctx, sj(u8"かんじ"), pen, 2, 25, 473, {444, 445}, {418, 53});
  // The start moves below the pen first, so the first line's share shrinks to one kana.
  EXPECT_EQ(Drawn(), (D{{"か", 444, 470}, {"ん", 418, 25}, {"じ", 418, 33}}));
}

TEST(Kaeriten, MarksAndOkurigana) {
  TYomiraOption o = SpreadOptions();
  TYomiraTextMetrics ruby;
  RecordingPainter painter;
  RubyContext ctx{o, ruby, painter};
  struct Case {
    std::u8string note;
    bool mark;
    int32_t x, y;
    std::u8string drawn;
  };
  for (const Case& c : std::vector<Case>{{u8"レ", true, 426, 35, u8"レ"},
                                          {u8"一レ", true, 426, 31, u8"一レ"},
                                          {u8"（ヲ）", true, 440, 35, u8"ヲ"},
                                          {u8"注", false, 0, 0, u8""},
                                          {u8"レ注", false, 0, 0, u8""},
                                          {u8"（ab）", false, 0, 0, u8""},
                                          {u8"（ヲ", false, 0, 0, u8""}}) {
    painter.calls.clear();
    EXPECT_EQ(DrawKaeriten(ctx, sj(c.note), 430, 39), c.mark);
    const auto texts = painter.Of("text");
    if (c.drawn.empty()) {
      EXPECT_TRUE(texts.empty());
      continue;
    }
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_SJ_EQ(texts[0].text, c.drawn);
    EXPECT_EQ(texts[0].x, c.x);
    EXPECT_EQ(texts[0].y, c.y);
    EXPECT_EQ(texts[0].face, o.font_family);
  }
  // r 4: marks are taken but not drawn; okurigana still are.
  o.ruby_size = 4;
  painter.calls.clear();
  EXPECT_TRUE(DrawKaeriten(ctx, sj(u8"レ"), 430, 39));
  EXPECT_TRUE(DrawKaeriten(ctx, sj(u8"一レ"), 430, 39));
  EXPECT_TRUE(painter.calls.empty());
  EXPECT_TRUE(DrawKaeriten(ctx, sj(u8"（ヲ）"), 430, 39));
  EXPECT_EQ(painter.calls.size(), 1u);
}

}  // namespace
}  // namespace yomira
