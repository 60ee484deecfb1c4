// The spread drawn for real (IPAex fonts) from story.txt: checked by where ink lies, never
// by exact pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "engine/core/engine.h"
#include "engine/core/trace_host.h"
#include "engine/render/EngineStages.h"
#include "engine/render/Renderer.h"
#include "engine/render/SpreadRenderer.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "spread_test_util.h"
#include "support/recording_render_host.h"

namespace yomira {
namespace {

using namespace yomira::test;

struct Box {
  int left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;  // inclusive
  bool empty() const { return left > right; }
  int height() const { return empty() ? 0 : bottom - top + 1; }
};

class SpreadRender : public ::testing::Test {
 protected:
  EngineState state;
  RecordingRenderHost host;
  std::optional<Renderer> renderer;
  std::optional<EngineStages> stages;

  void Load(int textAa = 0, int pages = 1, int blocks = 1, const char* name = "render/story.txt") {
    state = EngineState{};
    state.option = DefaultOptions();
    state.option.images = 1;
    state.option.UseCover = 0;
    state.option.text_aa = static_cast<uint8_t>(textAa);
    state.option.Page = pages;
    state.option.Colum = blocks;
    state.option.Validate();
    const std::string text = ReadFileBytes(TestData(name));
    state.sourceLines = SplitLines(std::string_view(name).ends_with("story.txt") ? Utf8ToCp932(text) : text);
    state.documentName = "story.txt";
    state.documentLoaded = true;
    host.fileName = TestData(name).string();
    renderer.emplace(state.option, host);
    stages.emplace(state, *renderer);
    TraceHost window;
    Engine(state, window, *stages).Relayout(true, true);
  }
  const QImage& Page() { return renderer->Bitmaps().PageBitmap; }
  // The calls the same drawing makes, recorded.
  std::vector<PaintCall> Calls() {
    RecordingPainter painter;
    SpreadDocument doc = SpreadDocumentOf(state);
    SpreadRenderer r(doc, renderer->BodyMetrics, renderer->RubyMetrics, painter, nullptr);
    RecordingRenderHost quiet;
    QImage scratch = Page().copy();
    r.DrawSpread(quiet, scratch, renderer->Bitmaps().BackBitmap);
    return painter.calls;
  }
  // A changed pixel; with strong, one at least a third of the way to the text colour (the
  // 17-level outline path drops the faintest edge pixels the 256-level canvas keeps).
  bool Ink(int x, int y, bool strong = false) {
    const QImage& page = Page();
    const QImage& back = renderer->Bitmaps().BackBitmap;
    if (x < 0 || y < 0 || x >= page.width() || y >= page.height()) return false;
    const QRgb p = page.pixel(x, y), q = back.pixel(x, y);
    const int diff = std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    return strong ? diff > 3 * 255 / 3 : diff > 0;
  }
  // Ink inside [left, right) x [top, bottom).
  Box InkIn(int left, int top, int right, int bottom, bool strong = false) {
    Box b;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (Ink(x, y, strong)) {
          b.left = std::min(b.left, x);
          b.right = std::max(b.right, x);
          b.top = std::min(b.top, y);
          b.bottom = std::max(b.bottom, y);
        }
    return b;
  }
  // Expects ink only inside the text areas of the pages and blocks (with room for hanging
  // characters and ruby); returns the count of inked pixels.
  int64_t CountInkInTextArea() {
    const TYomiraOption& o = state.option;
    const int32_t f = o.f_size, r = o.ruby_size, s = o.s_size, L = o.c_size, V = o.v_size;
    auto allowed = [&](int x, int y) {
      for (int p = 1; p <= o.Page; ++p)
        for (int b = 1; b <= o.Colum; ++b)
          if (x >= o.GetLineX(L - 1, p) - s - 1 && x < o.GetLineX(0, p) + f + r + 1 &&
              y >= o.GetCharY(1, b) - 2 * r && y < o.GetCharY(V + 3, b) + 2 * r)
            return true;
      return false;
    };
    int64_t outside = 0, inside = 0;
    for (int y = 0; y < Page().height(); ++y)
      for (int x = 0; x < Page().width(); ++x)
        if (Ink(x, y)) (allowed(x, y) ? inside : outside)++;
    EXPECT_EQ(outside, 0);
    return inside;
  }
  static bool IsKanjiOrKana(const std::string& ch) {
    if (ch.size() != 2) return false;
    const int code = static_cast<unsigned char>(ch[0]) * 256 + static_cast<unsigned char>(ch[1]);
    return (code >= 0x829F && code <= 0x82F1) || (code >= 0x8340 && code <= 0x8396) || code >= 0x889F;
  }
};

TEST_F(SpreadRender, InkStaysInsideTheTextArea) {
  Load();
  ASSERT_EQ(state.currentPage, 1);
  EXPECT_GT(CountInkInTextArea(), 1000);
}

TEST_F(SpreadRender, EveryViewOfALibraryTextStaysInside) {
  Load(0, 2, 2, "engine_dump/rashomon.txt");
  const int32_t views = state.option.GetViewCount(state.displayLines);
  ASSERT_GE(views, 2);
  for (int32_t v = 1; v <= views; ++v) {
    SCOPED_TRACE(v);
    state.currentPage = v;
    stages->DrawSpread();
    EXPECT_GT(CountInkInTextArea(), 0);
  }
}

// A short last view: the block without lines shows the background untouched.
TEST_F(SpreadRender, EmptyBlocksAreBackground) {
  Load(0, 2, 2);
  const TYomiraOption& o = state.option;
  ASSERT_EQ(o.GetViewCount(state.displayLines), 1);
  // The page break fills page 1; page 2 holds the picture and the last paragraph in block
  // 1, and nothing in block 2.
  ASSERT_LE(static_cast<int>(state.displayLines.size()), o.c_size * 3);
  const Rect p2 = o.GetPageRect(2);
  const int top2 = o.GetCharY(1, 2) - 2 * o.ruby_size;
  const QImage& page = Page();
  const QImage& back = renderer->Bitmaps().BackBitmap;
  for (int y = top2; y < page.height(); ++y)
    for (int x = p2.left - o.s_size; x < p2.right + 1; ++x)
      ASSERT_EQ(page.pixel(x, y), back.pixel(x, y)) << x << "," << y;
  EXPECT_FALSE(InkIn(p2.left, o.GetCharY(1, 1), p2.right, o.GetCharY(o.v_size, 1)).empty());
}

TEST_F(SpreadRender, EveryKanjiAndKanaHasInkInItsCell) {
  Load();
  const int32_t f = state.option.f_size;
  int checked = 0;
  for (const PaintCall& c : Calls()) {
    if (c.what != "text" || c.n != f || c.mode != goVertical || !IsKanjiOrKana(c.text)) continue;
    // text_aa 0: the canvas reference point is the cell's top-right.
    const Box b = InkIn(c.x - f - 1, c.y - 1, c.x + 1, c.y + f + 1);
    EXPECT_FALSE(b.empty()) << u8(c.text) << " at " << c.x << "," << c.y;
    ++checked;
  }
  EXPECT_GT(checked, 150);
}

TEST_F(SpreadRender, RubyLiesBesideItsBase) {
  Load();
  const TYomiraOption& o = state.option;
  const auto calls = Calls();
  auto find = [&](std::u8string text, int height) -> const PaintCall* {
    for (const PaintCall& c : calls)
      if (c.what == "text" && c.text == sj(text) && c.n == height) return &c;
    return nullptr;
  };
  const PaintCall* kan = find(u8"漢", o.f_size);
  const PaintCall* ji = find(u8"字", o.f_size);
  ASSERT_TRUE(kan && ji);
  ASSERT_EQ(kan->x, ji->x);
  const int lineX = kan->x - o.f_size;
  const int top = kan->y, bottom = ji->y + o.f_size;
  const int r = o.ruby_size;
  // The ruby column right of the base, with room around it.
  const Box ruby = InkIn(lineX + o.f_size, top - 3 * r, lineX + o.f_size + r, bottom + 3 * r);
  ASSERT_FALSE(ruby.empty());
  EXPECT_GE(ruby.top, top - r);
  EXPECT_LE(ruby.bottom, bottom + r);
  EXPECT_GT(ruby.height(), 2 * r);  // three kana spread over the base
  // Nothing of the ruby leaks into the body column beside it... except the base itself.
  const Box body = InkIn(lineX, top, lineX + o.f_size, bottom);
  EXPECT_FALSE(body.empty());
}

TEST_F(SpreadRender, EmphasisAndSideLineBesideTheirCharacters) {
  Load();
  const TYomiraOption& o = state.option;
  const auto calls = Calls();
  const PaintCall* cat = nullptr;
  const PaintCall* dog = nullptr;
  for (const PaintCall& c : calls) {
    if (c.what == "text" && c.text == sj(u8"猫") && c.n == o.f_size) cat = &c;
    if (c.what == "text" && c.text == sj(u8"犬") && c.n == o.f_size) dog = &c;
  }
  ASSERT_TRUE(cat && dog);
  const int f = o.f_size, r = o.ruby_size;
  const Box dot = InkIn(cat->x, cat->y - r, cat->x + r, cat->y + f + r);
  ASSERT_FALSE(dot.empty());
  const int centre2 = dot.top + dot.bottom + 1;  // twice the ink's centre
  EXPECT_NEAR(centre2, 2 * cat->y + f, 2) << dot.top << ".." << dot.bottom;
  // The side line: one column right of the character, over its whole cell.
  const Box line = InkIn(dog->x, dog->y - 2, dog->x + 1, dog->y + f + 2);
  ASSERT_FALSE(line.empty());
  EXPECT_GE(line.height(), f);
}

TEST_F(SpreadRender, LongRepeatMarkSpansTwoCells) {
  Load();
  const int f = state.option.f_size;
  int marks = 0;
  for (const PaintCall& c : Calls()) {
    if (c.what != "repeat") continue;
    const Box b = InkIn(c.x - f, c.y, c.x, c.y + 2 * f + state.option.m_size);
    EXPECT_GT(b.height() * 2, 3 * f) << u8(c.text);
    ++marks;
  }
  EXPECT_EQ(marks, 2);
}

TEST_F(SpreadRender, OutlineAndCanvasDrawTheSameCells) {
  Load(0);
  const int f = state.option.f_size;
  std::vector<Box> canvas;
  std::vector<PaintCall> cells;
  for (const PaintCall& c : Calls())
    if (c.what == "text" && c.n == f && c.mode == goVertical && IsKanjiOrKana(c.text)) {
      cells.push_back(c);
      canvas.push_back(InkIn(c.x - f - 1, c.y - 1, c.x + 1, c.y + f + 1, true));
    }
  Load(1);
  size_t i = 0;
  for (const PaintCall& c : Calls()) {
    if (!(c.what == "text" && c.n == f && c.mode == goVertical && IsKanjiOrKana(c.text))) continue;
    ASSERT_LT(i, cells.size());
    ASSERT_EQ(c.text, cells[i].text);
    ASSERT_EQ(c.x, cells[i].x - f);  // the outline path takes the cell's left edge
    const Box b = InkIn(c.x - 1, c.y - 1, c.x + f + 1, c.y + f + 1, true);
    const Box& a = canvas[i];
    EXPECT_NEAR(a.left, b.left, 1) << u8(c.text);
    EXPECT_NEAR(a.right, b.right, 1) << u8(c.text);
    EXPECT_NEAR(a.top, b.top, 1) << u8(c.text);
    EXPECT_NEAR(a.bottom, b.bottom, 1) << u8(c.text);
    ++i;
  }
  EXPECT_EQ(i, cells.size());
}

TEST_F(SpreadRender, SameViewTwiceIsIdentical) {
  Load();
  const QImage first = Page().copy();
  stages->DrawSpread();
  EXPECT_EQ(Page(), first);
  // Another view in between changes nothing either.
  state.currentPage = 2;
  stages->DrawSpread();
  EXPECT_NE(Page(), first);
  state.currentPage = 1;
  stages->DrawSpread();
  EXPECT_EQ(Page(), first);
}

TEST_F(SpreadRender, PictureOnItsPage) {
  Load();
  state.currentPage = 2;
  stages->DrawSpread();
  // width 60, valign top, on line 0: (383, 25) - (443, 70).
  for (int y = 26; y < 69; ++y)
    for (int x = 384; x < 442; ++x) ASSERT_EQ(Page().pixel(x, y) & 0xFFFFFF, 0xFF0000u) << x << "," << y;
  EXPECT_EQ(Page().pixel(382, 30) & 0xFFFFFF, renderer->Bitmaps().BackBitmap.pixel(382, 30) & 0xFFFFFF);
}

// ―― reads as one line: ink in every row from the first dash's middle to the second's,
// spacing included; a lone ― keeps its own length.
TEST_F(SpreadRender, TwoDashesTouchALoneDashDoesNot) {
  // Both drawing paths, without and with character spacing.
  for (const auto& [aa, spacing] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{0, 4}, std::pair{1, 4}}) {
    SCOPED_TRACE(testing::Message() << "aa " << aa << " m " << spacing);
    state = EngineState{};
    state.option = DefaultOptions();
    state.option.UseCover = 0;
    state.option.f_size = 20;
    state.option.m_size = spacing;
    state.option.text_aa = static_cast<uint8_t>(aa);
    state.option.Validate();
    state.sourceLines = {sj(u8"あ――い―う")};
    state.documentLoaded = true;
    renderer.emplace(state.option, host);
    stages.emplace(state, *renderer);
    TraceHost window;
    Engine(state, window, *stages).Relayout(true, true);
    const int32_t f = state.option.f_size, m = state.option.m_size;
    ASSERT_EQ(m, spacing);
    std::vector<PaintCall> dashes;
    for (const PaintCall& c : Calls())
      if (c.what == "text" && c.text == sj(u8"―")) dashes.push_back(c);
    ASSERT_EQ(dashes.size(), 3u);
    ASSERT_EQ(dashes[0].x, dashes[1].x);
    ASSERT_EQ(dashes[1].y - dashes[0].y, f + m);
    // The canvas puts the glyph left of x (its top-right reference), the outline path right.
    const int left = dashes[0].x - f - 1, right = dashes[0].x + f + 2;
    for (int y = dashes[0].y + f / 2; y <= dashes[1].y + f / 2; ++y)
      EXPECT_FALSE(InkIn(left, y, right, y + 1).empty()) << "row " << y;
    // The lone one: its ink ends inside its own cell, leaving the spacing around it blank.
    const PaintCall& lone = dashes[2];
    const Box b = InkIn(left, lone.y - m, right, lone.y + f + m);
    ASSERT_FALSE(b.empty());
    EXPECT_GT(b.height(), f / 2);
    EXPECT_TRUE(InkIn(left, b.bottom + 1, right, b.bottom + 2).empty());
    EXPECT_LT(b.height(), f + m);
  }
}

}  // namespace
}  // namespace yomira
