// The line walk of the spread renderer, checked call by call with a recording painter.
#include <gtest/gtest.h>

#include <random>

#include "engine/render/Renderer.h"
#include "engine/render/SpreadRenderer.h"
#include "spread_test_util.h"
#include "support/recording_render_host.h"

namespace yomira {
namespace {

using namespace yomira::test;

struct Expect {
  int32_t x, y, mode;
  std::u8string text;
};

class Spread : public ::testing::Test {
 protected:
  TYomiraOption o = SpreadOptions();
  SourceLines src;
  DisplayLines lines;
  TPageAnnotation ann;
  int32_t current = 1;
  TYomiraTextMetrics body, ruby;
  RecordingPainter painter;
  RecordingRenderHost host;
  QImage page, back;

  void Draw() {
    ann.SetSize(o.v_size, o.c_size, o.Page, o.Colum);
    SpreadDocument doc{o, src, lines, ann, 2, current};
    SpreadRenderer r(doc, body, ruby, painter, nullptr);
    r.DrawSpread(host, page, back);
  }
  void DrawParts(const std::vector<Part>& parts, int16_t indent = 0) {
    lines.push_back(AddLine(src, parts, indent));
    Draw();
  }
  std::vector<Expect> Texts() const {
    std::vector<Expect> out;
    for (const PaintCall& c : painter.Of("text")) out.push_back({c.x, c.y, c.mode, Utf8(c.text)});
    return out;
  }
  static std::u8string Utf8(const std::string& cp932) {
    const std::string s = u8(cp932);
    return std::u8string(s.begin(), s.end());
  }
};

void ExpectCalls(const std::vector<Expect>& got, const std::vector<Expect>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].x, want[i].x);
    EXPECT_EQ(got[i].y, want[i].y);
    EXPECT_EQ(got[i].mode, want[i].mode);
    EXPECT_TRUE(got[i].text == want[i].text) << std::string(got[i].text.begin(), got[i].text.end());
  }
}

struct LineCase {
  const char* name;
  std::vector<Part> parts;
  int16_t indent;
  std::vector<Expect> want;
};

TEST_F(Spread, CharacterPositionsFollowTheGrid) {
  const std::vector<LineCase> cases = {
      {"kanji", {T(u8"漢字")}, 0, {{444, 25, 0, u8"漢"}, {444, 39, 0, u8"字"}}},
      {"latin", {T(u8"Ab")}, 0, {{444, 25, 0, u8"A"}, {444, 32, 0, u8"b"}}},
      {"pair after kanji", {T(u8"漢12")}, 0, {{444, 25, 0, u8"漢"}, {430, 39, 1, u8"12"}}},
      {"three digits", {T(u8"漢123")}, 0,
       {{444, 25, 0, u8"漢"}, {444, 39, 0, u8"1"}, {444, 46, 0, u8"2"}, {444, 53, 0, u8"3"}}},
      {"pair after a letter", {T(u8"a12")}, 0, {{444, 25, 0, u8"a"}, {444, 32, 0, u8"1"}, {444, 39, 0, u8"2"}}},
      {"pair opening a paragraph", {T(u8"12")}, 0, {{430, 25, 1, u8"12"}}},
      {"marks pair", {T(u8"漢!?")}, 0, {{444, 25, 0, u8"漢"}, {430, 39, 1, u8"!?"}}},
      {"rotated", {T(u8"＜")}, 0, {{444, 39, 2, u8"＜"}}},
      {"vertical tab", {Raw(sj(u8"あ") + "\x0B" + sj(u8"い"))}, 0, {{444, 25, 0, u8"あ"}, {444, 46, 0, u8"い"}}},
      {"base mark", {Base(), T(u8"漢")}, 0, {{444, 25, 0, u8"漢"}}},
      {"spacer then pair", {Spacer(10), T(u8"漢12")}, 0, {{444, 95, 0, u8"漢"}, {430, 109, 1, u8"12"}}},
      {"indent", {T(u8"漢")}, 4, {{444, 53, 0, u8"漢"}}},
      {"pair split over elements", {T(u8"1"), T(u8"2")}, 0, {{444, 25, 0, u8"1"}, {444, 32, 0, u8"2"}}},
      {"lone lead byte", {Raw(sj(u8"漢") + "\x88")}, 0, {{444, 25, 0, u8"漢"}}},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    src.clear();
    lines.clear();
    painter.calls.clear();
    DrawParts(c.parts, c.indent);
    ExpectCalls(Texts(), c.want);
  }
}

TEST_F(Spread, SingleBytesUseTheSecondFace) {
  o.font2family = "Latin Face";
  DrawParts({T(u8"漢A12")});
  const auto calls = painter.Of("text");
  ASSERT_EQ(calls.size(), 4u);  // "12" after a letter: two vertical cells
  EXPECT_EQ(calls[0].face, o.font_family);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(calls[i].face, "Latin Face");
}

TEST_F(Spread, RepeatMarkTakesFourCellsUpright) {
  DrawParts({Repeat(), T(u8"漢")});
  const auto marks = painter.Of("repeat");
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_SJ_EQ(marks[0].text, u8"く");
  EXPECT_EQ(marks[0].n, 0);
  EXPECT_EQ(marks[0].x, 444);
  EXPECT_EQ(marks[0].y, 25);
  ExpectCalls(Texts(), {{444, 53, 0, u8"漢"}});
}

TEST_F(Spread, RepeatMarkAfterAPairStaysInTheColumn) {
  // The pair leaves the body in its horizontal form; the mark is still placed upright.
  DrawParts({T(u8"漢12"), Voiced(), T(u8"字")});
  const auto marks = painter.Of("repeat");
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_SJ_EQ(marks[0].text, u8"ぐ");
  EXPECT_EQ(marks[0].x, 444);
  EXPECT_EQ(marks[0].y, 53);
  EXPECT_EQ(Texts().back().y, 81);
}

TEST_F(Spread, SplitRepeatHalvesTakeTwoCellsAndKeepPairsInPlace) {
  // A half mark is 2 bytes of the pair text, a whole one 4: the pair after each is found.
  DrawParts({Repeat(1)});
  lines.clear();
  painter.calls.clear();
  lines.push_back(AddLine(src, {Repeat(2), T(u8"漢12")}));
  Draw();
  const auto marks = painter.Of("repeat");
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_EQ(marks[0].mode, 2);  // split value
  ExpectCalls(Texts(), {{444, 39, 0, u8"漢"}, {430, 53, 1, u8"12"}});
}

TEST_F(Spread, AnnotationsMarkTheCellsBeforeThem) {
  DrawParts({T(u8"漢"), Note(u8"注"), T(u8"字")});
  int32_t index = -1;
  EXPECT_SJ_EQ(ann.Get(0, 0, 0, 0, index), u8"注");
  EXPECT_SJ_EQ(ann.Get(1, 0, 0, 0, index), u8"注");
  EXPECT_EQ(ann.Get(2, 0, 0, 0, index), "");
  const auto rules = painter.Of("rule");
  ASSERT_EQ(rules.size(), 1u);
  EXPECT_EQ(rules[0].x, 430);
  EXPECT_EQ(rules[0].y, 25);
  EXPECT_EQ(rules[0].n, 2);
  ExpectCalls(Texts(), {{444, 25, 0, u8"漢"}, {444, 39, 0, u8"字"}});

  src.clear();
  lines.clear();
  DrawParts({T(u8"A"), Note(u8"注")});
  EXPECT_SJ_EQ(ann.Get(0, 0, 0, 0, index), u8"注");
  EXPECT_EQ(ann.Get(1, 0, 0, 0, index), "");
}

TEST_F(Spread, ReadingMarksAndOkuriganaAreDrawnNotRecorded) {
  struct Case {
    std::u8string note;
    Expect want;
  };
  for (const Case& c : std::vector<Case>{{u8"レ", {426, 35, 0, u8"レ"}},
                                          {u8"一レ", {426, 31, 0, u8"一レ"}},
                                          {u8"（ヲ）", {440, 35, 0, u8"ヲ"}}}) {
    src.clear();
    lines.clear();
    painter.calls.clear();
    DrawParts({T(u8"漢"), Note(c.note)});
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    ExpectCalls({texts[1]}, {c.want});
    EXPECT_TRUE(painter.Of("rule").empty());
    int32_t cell, line, pg, block;
    EXPECT_FALSE(ann.FindNext(cell, line, pg, block));
  }
}

TEST_F(Spread, SmallRubyDrawsNoReadingMark) {
  o.ruby_size = 4;
  DrawParts({T(u8"漢"), Note(u8"レ")});
  EXPECT_EQ(Texts().size(), 1u);
  EXPECT_TRUE(painter.Of("rule").empty());
  int32_t cell, line, pg, block;
  EXPECT_FALSE(ann.FindNext(cell, line, pg, block));
}

TEST_F(Spread, SideLinesAndEmphasisCoverTheCells) {
  Part dog = T(u8"犬1");
  dog.side = 1;
  Part cat = T(u8"猫");
  cat.emphasis = 3;
  DrawParts({dog, cat});
  const auto side = painter.Of("sideline");
  ASSERT_EQ(side.size(), 2u);
  EXPECT_EQ(side[0].n, 2);
  EXPECT_EQ(side[0].y, 25);
  EXPECT_EQ(side[1].n, 1);
  EXPECT_EQ(side[1].y, 39);
  EXPECT_EQ(side[0].x, 430);
  const auto dots = painter.Of("emphasis");
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(dots[0].text, "3");
  EXPECT_EQ(dots[0].y, 46);
  EXPECT_EQ(dots[0].n, 2);
}

TEST_F(Spread, RubyBesideItsBase) {
  DrawParts({T(u8"漢字"), RubyPart(u8"かんじ"), T(u8"の")});
  // Spread over the base: gap 1 before, between and after.
  ExpectCalls(Texts(), {{444, 25, 0, u8"漢"},
                        {444, 39, 0, u8"字"},
                        {444, 26, 0, u8"か"},
                        {444, 35, 0, u8"ん"},
                        {444, 44, 0, u8"じ"},
                        {444, 53, 0, u8"の"}});
}

// Imported HTML frames its readings with 4-byte delimiters; the conversion says so.
TEST_F(Spread, WideDelimitersComeFromTheConversion) {
  src.push_back(sj(u8"漢字") + "\x0B\x0B((" + sj(u8"かんじ") + "))\x0B\x0B");
  TYomiraLine dl;
  dl.ends_paragraph = true;
  dl.elements.push_back({kText, 0, 0, 0, 0, 0, 1, 4});
  dl.elements.push_back({kRuby, 0, 0, 0, 0, 0, 5, 14});
  lines.push_back(dl);
  ann.SetSize(o.v_size, o.c_size, o.Page, o.Colum);
  SpreadDocument doc{o, src, lines, ann, 4, current};
  SpreadRenderer r(doc, body, ruby, painter, nullptr);
  r.DrawSpread(host, page, back);
  ExpectCalls(Texts(), {{444, 25, 0, u8"漢"},
                        {444, 39, 0, u8"字"},
                        {444, 26, 0, u8"か"},
                        {444, 35, 0, u8"ん"},
                        {444, 44, 0, u8"じ"}});
}

TEST_F(Spread, RubyAfterBaseMarkCentresOverTheMarkedRun) {
  DrawParts({T(u8"の"), Base(), T(u8"東京"), RubyPart(u8"とうきょう")});
  const auto t = Texts();
  ASSERT_EQ(t.size(), 8u);
  // Base 東京 from 39 to 67: ruby of 40 px centred, 6 px above and below.
  EXPECT_EQ(t[3].y, 33);
  EXPECT_EQ(t[7].y, 65);
}

// No document: the background alone, the label 0 / 0, no reading position.
TEST_F(Spread, NoLinesDrawsTheBackgroundOnly) {
  back = QImage(100, 80, QImage::Format_RGB32);
  back.fill(qRgb(1, 2, 3));
  page = QImage(100, 60, QImage::Format_RGB32);
  page.fill(qRgb(200, 0, 0));
  current = 5;
  Draw();
  EXPECT_EQ(current, 0);
  EXPECT_EQ(page, back.copy(0, 0, 100, 60));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"slider 0 0", "label 0 0", "hideHint"}));
  EXPECT_TRUE(painter.calls.empty());
}

TEST_F(Spread, ReadingPositionIsTheFirstLineOfTheView) {
  for (int i = 0; i < 100; ++i) lines.push_back(AddLine(src, {T(u8"あ")}));
  current = 3;
  Draw();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"slider 3 7", "label 3 7", "hideHint", "history 3200"}));
}

TEST_F(Spread, ReadingPositionOfAHugeDocumentDoesNotOverflow) {
  src.push_back("");
  lines.assign(300000, TYomiraLine{});
  for (auto& l : lines) l.ends_paragraph = true;
  current = 1 << 30;
  Draw();
  EXPECT_EQ(current, 18750);
  EXPECT_EQ(o.GetFirstLineIndex(current, 1, 1), 299984);
  ASSERT_EQ(host.rates.size(), 1u);
  EXPECT_EQ(host.rates[0], 9999);
}

TEST_F(Spread, CurrentPageIsClampedToTheViews) {
  for (int i = 0; i < 40; ++i) lines.push_back(AddLine(src, {T(i == 32 ? u8"終" : i == 0 ? u8"始" : u8"あ")}));
  current = 99;
  Draw();
  EXPECT_EQ(current, 3);
  EXPECT_SJ_EQ(painter.Of("text")[0].text, u8"終");
  painter.calls.clear();
  current = -3;
  Draw();
  EXPECT_EQ(current, 1);
  EXPECT_SJ_EQ(painter.Of("text")[0].text, u8"始");
}

// T 2, L 5: a base on block 1's last line, its ruby after the first character of block 2.
TEST_F(Spread, RubySplitAtABlockEndIsDrawnOnce) {
  o.Colum = 2;
  o.c_size = 5;
  for (int i = 0; i < 4; ++i) lines.push_back(AddLine(src, {T(u8"あ")}));
  lines.push_back(AddLine(src, {T(u8"ああああ漢")}, 0, false));
  lines.push_back(AddLine(src, {T(u8"字"), RubyPart(u8"かんじ"), T(u8"の")}));
  Draw();
  std::vector<PaintCall> rubyCalls;
  for (const PaintCall& c : painter.Of("text"))
    if (c.text == sj(u8"か") || c.text == sj(u8"ん") || c.text == sj(u8"じ")) rubyCalls.push_back(c);
  ASSERT_EQ(rubyCalls.size(), 3u);
  // Line 4 of block 1 holds 漢 at 81..95: "かん" ends there, in that line's ruby column.
  const int32_t line4Ruby = o.GetRubyLineX(4, 1);
  EXPECT_EQ(rubyCalls[0].x, line4Ruby);
  EXPECT_EQ(rubyCalls[1].x, line4Ruby);
  EXPECT_EQ(rubyCalls[1].y + 8, o.GetCharY(11, 1));
  // じ at the top of block 2's first line.
  EXPECT_EQ(rubyCalls[2].x, o.GetRubyLineX(0, 1));
  EXPECT_EQ(rubyCalls[2].y, o.GetCharY(1, 2));
}

TEST_F(Spread, ShortLastViewAndBaselessRuby) {
  o.Colum = 2;
  o.Page = 2;
  o.c_size = 4;
  lines.push_back(AddLine(src, {RubyPart(u8"かな"), T(u8"あ")}));
  Draw();
  // The ruby has no base at the paragraph start: nothing but あ is drawn.
  ExpectCalls(Texts(), {{o.GetLineX(0, 1) + 14, 25, 0, u8"あ"}});
}

TEST_F(Spread, ParagraphEndResetsTheRubyStart) {
  lines.push_back(AddLine(src, {T(u8"漢")}));
  lines.push_back(AddLine(src, {RubyPart(u8"かな"), T(u8"字")}));
  Draw();
  ExpectCalls(Texts(), {{444, 25, 0, u8"漢"}, {444 - 26, 25, 0, u8"字"}});
}

TEST_F(Spread, LinePairTextJoinsAContinuedParagraph) {
  lines.push_back(AddLine(src, {T(u8"漢12")}, 0, false));
  lines.push_back(AddLine(src, {T(u8"3字")}));
  SpreadDocument doc{o, src, lines, ann, 2, current};
  SpreadRenderer r(doc, body, ruby, painter, nullptr);
  EXPECT_SJ_EQ(r.GetLinePairText(0), u8"漢123字");
  EXPECT_SJ_EQ(r.GetLinePairText(1), u8"3字");
  EXPECT_EQ(r.GetLinePairText(2), "");
  EXPECT_EQ(r.GetLinePairText(-1), "");
  Draw();
  // "12" continues with "3": three vertical cells.
  EXPECT_EQ(painter.Of("text")[1].mode, 0);
}

TEST(StepLinePos, CarriesOneStep) {
  TYomiraOption o = SpreadOptions();
  o.c_size = 5;
  o.Colum = 2;
  struct Case {
    LinePos in, out;
  };
  for (const Case& c : std::vector<Case>{{{-1, 2, 1}, {4, 1, 1}},
                                          {{-1, 1, 2}, {4, 2, 1}},
                                          {{5, 1, 1}, {0, 2, 1}},
                                          {{5, 2, 1}, {0, 1, 2}},
                                          {{3, 2, 2}, {3, 2, 2}}}) {
    LinePos p = c.in;
    StepLinePos(o, p);
    EXPECT_EQ(p, c.out);
  }
}

// Random lines with odd lengths, lone lead bytes and stale source indexes: no crash, and
// the sanitizer build watches every read.
TEST_F(Spread, RandomLinesNeverCrash) {
  std::mt19937 rng(20261209);
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const int kinds[] = {0, 0, 0, 1, 2, 3, 6, 7, 8, 10, 11, 4};
  for (int doc = 0; doc < 1000; ++doc) {
    src.clear();
    lines.clear();
    painter.calls.clear();
    o.Colum = 1 + pick(3);
    o.Page = 1 + pick(2);
    o.c_size = 1 + pick(6);
    o.ruby_size = pick(2) ? 8 : 4;
    const int sources = 1 + pick(5);
    for (int s = 0; s < sources; ++s) {
      std::string line;
      const int n = pick(40);
      for (int i = 0; i < n; ++i) line.push_back(static_cast<char>(pick(3) ? 0x81 + pick(30) : 0x20 + pick(0xE0)));
      src.push_back(line);
    }
    const int count = pick(30);
    for (int i = 0; i < count; ++i) {
      TYomiraLine dl;
      dl.ends_paragraph = pick(3) == 0;
      dl.indent = static_cast<int16_t>(pick(10) - 2);
      const int elements = pick(6);
      for (int k = 0; k < elements; ++k) {
        TYomiraObject e;
        e.kind = static_cast<int16_t>(kinds[pick(12)]);
        e.split = static_cast<int16_t>(pick(3));
        e.emphasis = static_cast<int16_t>(pick(10) - 1);
        e.side_line = static_cast<int16_t>(pick(2));
        e.first = pick(sources + 2) - 1;  // stale indexes too
        e.last = e.first + pick(2);
        e.column = pick(45) - 2;
        e.length = pick(30) - 3;
        dl.elements.push_back(e);
      }
      lines.push_back(dl);
    }
    current = pick(8) - 2;
    Draw();
    const int32_t views = o.GetViewCount(lines);
    EXPECT_EQ(current, views == 0 ? 0 : std::clamp(current, 1, views));
  }
}

}  // namespace
}  // namespace yomira
