// The reader's state without a window: the moves allowed, go to page and line, the place
// kept across relayouts, on display lines converted from real texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/convert.h"
#include "engine/core/option_defaults.h"
#include "engine/core/source_place.h"
#include "shell/reader_session.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

// n one-line paragraphs: at the defaults (16 lines a view) 160 give 10 views.
SourceLines Numbered(int n) {
  SourceLines lines;
  for (int i = 1; i <= n; ++i) lines.push_back(test::sj(u8"第") + std::to_string(i) + test::sj(u8"行　あいうえお"));
  return lines;
}

class Session : public ::testing::Test {
 protected:
  void Load(SourceLines lines, ConvertSwitches switches = {}) {
    state_.sourceLines = std::move(lines);
    state_.switches = switches;
    Convert();
    state_.documentLoaded = state_.laidOut = true;
    session_.SetViewRangeShown();
  }
  void Convert() {
    state_.displayLines = Converter(state_.option, state_.sourceLines, state_.switches).ConvertText("doc").lines;
  }

  static EngineState Fresh() {
    EngineState s;
    s.option = DefaultOptions();
    return s;
  }
  EngineState state_ = Fresh();
  ReaderSession session_{state_};
};

TEST_F(Session, PageMovesNeedAViewRangeAndALaidOutDocument) {
  EXPECT_FALSE(session_.PageMovesAllowed());
  EXPECT_FALSE(session_.NextView());
  Load(Numbered(160));
  ASSERT_EQ(session_.ViewCount(), 10);
  EXPECT_EQ(session_.NextView(), 2);
  EXPECT_FALSE(session_.PreviousView());
  state_.currentPage = 10;
  EXPECT_FALSE(session_.NextView());
  EXPECT_EQ(session_.PreviousView(), 9);
  // A load that failed after a good one: the range stays, the document is gone.
  state_.documentLoaded = false;
  EXPECT_FALSE(session_.PageMovesAllowed());
  EXPECT_FALSE(session_.PreviousView());
  // A laid-out document whose views never got a range.
  EngineState other = Fresh();
  other.documentLoaded = other.laidOut = true;
  EXPECT_FALSE(ReaderSession(other).PageMovesAllowed());
}

TEST_F(Session, TypedPagesAndLines) {
  Load(Numbered(150));
  struct PageCase {
    int typed;
    std::optional<int> view;
  };
  for (const PageCase& c : {PageCase{7, 7}, {999, 10}, {0, std::nullopt}, {-3, std::nullopt}}) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(session_.ViewOfTypedPage(c.typed), c.view);
  }
  struct LineCase {
    int64_t typed;
    std::optional<int> view;
  };
  // Line 140 is display line 139, in view 9 (not 10, although the last view is short).
  for (const LineCase& c : {LineCase{140, 9}, {1, 1}, {150, 10}, {999, 10}, {16, 1}, {17, 2}, {0, std::nullopt},
                            {int64_t{INT32_MIN}, std::nullopt}}) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(session_.ViewOfTypedLine(c.typed), c.view);
  }
  state_.currentPage = 4;
  EXPECT_EQ(session_.CurrentSourceLine(), 48);
}

// Paragraphs of different lengths: views begin inside paragraphs.
SourceLines Novel(int paragraphs) {
  SourceLines lines;
  const std::u8string kana = u8"あいうえおかきくけこさしすせそたちつてと";
  for (int i = 0; i < paragraphs; ++i) {
    std::u8string text;
    for (int k = 0; k < 5 + (i * 37 + i * i) % 53; ++k) text += kana.substr(static_cast<size_t>(k % 20) * 3, 3);
    lines.push_back(test::sj(text + u8"。"));
  }
  return lines;
}

TEST_F(Session, ThePlaceOfAViewIsItsFirstTextAndComesBackAfterAnyGrid) {
  Load(Novel(300));
  // A view that begins inside a paragraph.
  const int64_t per = LinesPerView(state_.option);
  auto startsInside = [&](int v) {
    const TYomiraLine& l = state_.displayLines[static_cast<size_t>((v - 1) * per)];
    return !l.elements.empty() && l.elements.front().column > 1;
  };
  state_.currentPage = 12;
  while (state_.currentPage < session_.ViewCount() && !startsInside(state_.currentPage)) ++state_.currentPage;
  ASSERT_TRUE(startsInside(state_.currentPage));
  const std::optional<SourcePlace> place = session_.PlaceToKeep();
  ASSERT_TRUE(place);
  const TYomiraObject& el = state_.displayLines[static_cast<size_t>((state_.currentPage - 1) * per)].elements.front();
  EXPECT_EQ(*place, (SourcePlace{el.first, el.column}));
  EXPECT_GT(place->column, 1);
  for (int chars : {20, 30, 64, 100, 200}) {
    SCOPED_TRACE(chars);
    state_.option.v_size = chars;
    Convert();
    const int view = ViewOfPlace(state_.displayLines, LinesPerView(state_.option), *place);
    ASSERT_GT(view, 0);
    // The view found holds the byte, and the view before does not.
    const int64_t per = LinesPerView(state_.option);
    ASSERT_EQ(per, 16);
    auto holds = [&](int v) {
      for (int64_t i = (v - 1) * per; i < v * per && i < int64_t(state_.displayLines.size()); ++i)
        for (const TYomiraObject& e : state_.displayLines[size_t(i)].elements)
          if (e.first == place->line && e.column <= place->column && place->column < e.column + e.length) return true;
      return false;
    };
    EXPECT_TRUE(holds(view));
    if (view > 1) {
      EXPECT_FALSE(holds(view - 1));
    }
  }
}

TEST_F(Session, TheKeptPlaceStaysWhileItsViewIsShown) {
  Load(Novel(300));
  state_.viewLines = LinesPerView(state_.option);
  state_.currentPage = 12;
  const SourcePlace first = *session_.PlaceToKeep();
  // The record holds the next layout's numbers before it is laid out: the views shown count.
  state_.option.c_size = 20;
  EXPECT_EQ(session_.PlaceToKeep(), first);
  state_.option.c_size = 16;
  // A wider line: the place lies inside a view that begins earlier.
  state_.option.v_size = 80;
  Convert();
  state_.currentPage = ViewOfPlace(state_.displayLines, LinesPerView(state_.option), first);
  session_.KeepPlace(first);
  EXPECT_NE(*FirstPlaceOfView(state_.displayLines, LinesPerView(state_.option), state_.currentPage), first);
  EXPECT_EQ(session_.PlaceToKeep(), first);
  // The reader moved on: the new view's own beginning.
  ++state_.currentPage;
  EXPECT_EQ(session_.PlaceToKeep(), FirstPlaceOfView(state_.displayLines, LinesPerView(state_.option), state_.currentPage));
  session_.ForgetPlace();
  --state_.currentPage;
  EXPECT_NE(session_.PlaceToKeep(), first);
}

TEST_F(Session, NoPlaceForAViewPastTheEndOrWithoutElements) {
  SourceLines lines = {test::sj(u8"はじめ")};
  lines.resize(100);  // blank lines: display lines without elements
  Load(lines);
  EXPECT_TRUE(session_.PlaceToKeep());
  state_.currentPage = 3;
  EXPECT_FALSE(session_.PlaceToKeep());
  state_.currentPage = session_.ViewCount() + 1;
  EXPECT_FALSE(session_.PlaceToKeep());
  state_.documentLoaded = false;
  state_.currentPage = 1;
  EXPECT_FALSE(session_.PlaceToKeep());
}

TEST(SourcePosition, ElementsOfEarlierJoinedLinesDoNotReachALaterLine) {
  // One paragraph of source lines 0..2 on two display lines (as re-wrapping makes them:
  // the source line of a joined paragraph is its last), then line 3.
  DisplayLines lines(3);
  lines[0].source_line = 2;
  AddElement(lines[0].elements, {.first = 0, .column = 1, .length = 40});
  AddElement(lines[0].elements, {.first = 1, .column = 1, .length = 10});
  lines[1].source_line = 2;
  AddElement(lines[1].elements, {.first = 1, .column = 11, .length = 30});
  AddElement(lines[1].elements, {.first = 2, .column = 1, .length = 40});
  lines[2].source_line = 3;
  AddElement(lines[2].elements, {.first = 3, .column = 1, .length = 40});
  struct Case {
    int line, pos;
    int64_t index;
  };
  const Case cases[] = {
      {0, 5, 0},  {1, 5, 0},   {1, 11, 0}, {1, 12, 1}, {2, 1, 1}, {3, 1, 2},
      {1, -1, 0},  // the line alone: the paragraph's first display line
      {9, 1, -1},  // no such line
      {-1, 41, 0},   // a position alone compares column + length, in the first source line
      {-1, 99, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.line) + " " + std::to_string(c.pos));
    EXPECT_EQ(FindSourcePosition(lines, c.line, c.pos), c.index);
  }
}

}  // namespace
}  // namespace yomira
