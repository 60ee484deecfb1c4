#include <gtest/gtest.h>

#include <new>

#include "engine/core/engine.h"
#include "engine/core/option_defaults.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

using test::RecordingHost;
using test::sj;

const std::string kLayers =
    "setTextLayers body=\"@HGｺﾞｼｯｸE\" 14 bold=0 text=$00000000 back=$00F0FAFF "
    "ruby=\"@HGｺﾞｼｯｸE\" 8 bold=0 text=$00000080 back=$00F0FAFF";

// A loaded document of n text lines, one display line each.
class RelayoutTest : public ::testing::Test {
 protected:
  void Load(int n) {
    state.option = DefaultOptions();
    state.option.UseCover = 0;
    state.sourceLines.assign(static_cast<size_t>(n), sj(u8"あ"));
    state.documentName = "doc.txt";
    state.documentLoaded = true;
  }
  // Converted and laid out once; the recorded calls start afresh.
  void LayOut(int n) {
    Load(n);
    engine.Relayout(false, true);
    host.calls.clear();
  }

  EngineState state;
  RecordingHost host{state};
  Engine engine{state, host, host};
};

TEST_F(RelayoutTest, NothingHappensWithoutADocument) {
  Load(3);
  state.documentLoaded = false;
  state.pendingRate = 5000;
  state.currentPage = 0;
  engine.Relayout(true, true);
  EXPECT_TRUE(host.calls.empty());
  EXPECT_FALSE(state.laidOut);
  EXPECT_TRUE(state.displayLines.empty());
  EXPECT_EQ(state.pendingRate, 5000);
  EXPECT_EQ(state.currentPage, 0);
}

TEST_F(RelayoutTest, FirstCallSetsUpTheGeometryWithoutConverting) {
  Load(3);
  engine.Relayout(false, false);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"hideHint", "hideStartUpPanel", "enablePageButtons",
                                                  "ShowProgressBar 1", "FitWindowToLayout", "BuildBackground",
                                                  "RecreatePageSlider", "UpdateSliderRange 0", "LoadEmphasisMarks",
                                                  kLayers, "ApplyParamPosition", "DrawSpread 1",
                                                  "ShowProgressBar 0", "StartPageTurn 0"}));
  EXPECT_TRUE(state.laidOut);
  EXPECT_TRUE(state.displayLines.empty());
  // The map is sized (64, 16, 1, 1): a line holds 64 + 3 cells, a block 16 lines.
  EXPECT_EQ(state.annotations.Add(66, 15, 2, "x", 1, 1), 0);
  int32_t index = -1;
  EXPECT_EQ(state.annotations.Get(66, 15, 0, 0, index), "x");
  EXPECT_EQ(state.annotations.Get(0, 16, 0, 0, index), "");
  EXPECT_EQ(state.annotations.Get(67, 0, 0, 0, index), "");
}

TEST_F(RelayoutTest, RebuildConvertsAndReportsTheCaption) {
  LayOut(20);
  state.sourceLines.assign(40, sj(u8"い"));
  engine.Relayout(false, true);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"hideHint", "hideStartUpPanel", "enablePageButtons",
                                                  "ShowProgressBar 1", "progress 40/40", "setCaption doc.txt",
                                                  "UpdateSliderRange 3", "LoadEmphasisMarks", kLayers,
                                                  "ApplyParamPosition", "DrawSpread 1", "ShowProgressBar 0",
                                                  "StartPageTurn 0"}));
  EXPECT_EQ(state.displayLines.size(), 40u);
  EXPECT_EQ(state.delimiterWidth, 2);
}

TEST_F(RelayoutTest, RebuildUsesTheSpecialLines) {
  Load(0);
  state.sourceLines = {sj(u8"題名"), sj(u8"著者"), std::string(55, '-'), sj(u8"凡例"), std::string(55, '-'),
                       sj(u8"猫が［＃「猫」に傍点］")};
  engine.Relayout(false, true);
  EXPECT_TRUE(host.Called("setCaption 題名 / 著者"));
  ASSERT_EQ(state.displayLines.size(), 17u);
  EXPECT_EQ(state.displayLines[16].elements.at(0).emphasis, 1);
}

TEST_F(RelayoutTest, HtmlImportedDocumentsUseTheWideDelimiters) {
  Load(1);
  state.switches.htmlImported = true;
  engine.Relayout(false, true);
  EXPECT_EQ(state.delimiterWidth, 4);
}

TEST_F(RelayoutTest, GeometryChangeRefitsWithoutConverting) {
  LayOut(20);
  state.option.v_size = 40;
  state.option.c_size = 10;
  engine.Relayout(true, false);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"hideHint", "hideStartUpPanel", "enablePageButtons",
                                                  "ShowProgressBar 1", "FitWindowToLayout", "BuildBackground",
                                                  "RecreatePageSlider", "UpdateSliderRange 2", "LoadEmphasisMarks",
                                                  kLayers, "ApplyParamPosition", "DrawSpread 1",
                                                  "ShowProgressBar 0", "StartPageTurn 0"}));
  int32_t index = -1;
  state.annotations.Add(42, 9, 2, "x", 1, 1);
  EXPECT_EQ(state.annotations.Get(42, 9, 0, 0, index), "x");
  EXPECT_EQ(state.annotations.Get(0, 10, 0, 0, index), "");
}

TEST_F(RelayoutTest, PlainRefreshOnlyRedraws) {
  LayOut(20);
  engine.Relayout(false, false);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"hideHint", "hideStartUpPanel", "enablePageButtons",
                                                  "LoadEmphasisMarks", kLayers, "ApplyParamPosition",
                                                  "DrawSpread 1", "StartPageTurn 0"}));
}

TEST_F(RelayoutTest, PendingRatePlacesTheViewOnce) {
  LayOut(140);  // 9 views of 16 lines
  ASSERT_EQ(state.option.GetViewCount(state.displayLines), 9);
  struct Case {
    int rate, page;
  } cases[] = {{5000, 5}, {10000, 10}, {0, 1}, {9999, 9}, {-1, 9}, {20000, 10}};
  for (const Case& c : cases) {
    state.pendingRate = c.rate;
    engine.Relayout(false, false);
    EXPECT_EQ(state.currentPage, c.page) << c.rate;
    EXPECT_EQ(state.pendingRate, -1);
  }
  EXPECT_TRUE(host.Called("DrawSpread 5"));
}

TEST_F(RelayoutTest, RateArithmeticHasRoomForLongDocuments) {
  Load(0);
  state.option.c_size = 1;  // one line a view
  state.laidOut = true;
  state.displayLines.resize(300000);
  state.pendingRate = 9999;
  engine.Relayout(false, false);
  EXPECT_EQ(state.currentPage, 299971);
}

TEST_F(RelayoutTest, CurrentPageNeverDropsBelowOne) {
  Load(0);
  state.pendingRate = 5000;
  engine.Relayout(false, false);  // no display lines at all
  EXPECT_EQ(state.currentPage, 1);
  state.currentPage = 0;
  engine.Relayout(false, false);
  EXPECT_EQ(state.currentPage, 1);
  state.currentPage = -7;
  host.calls.clear();
  engine.Relayout(false, false);
  EXPECT_EQ(host.Named("DrawSpread"), std::vector<std::string>{"DrawSpread 1"});
}

TEST_F(RelayoutTest, StartParametersApplyBeforeThePendingRate) {
  LayOut(140);
  host.paramPage = 7;
  engine.Relayout(false, false);
  EXPECT_EQ(state.currentPage, 7);
  host.paramPage = 3;
  state.pendingRate = 5000;
  engine.Relayout(false, false);
  EXPECT_EQ(state.currentPage, 5);
}

TEST_F(RelayoutTest, TextLayersTakeTheBackgroundPixelWithABackgroundImage) {
  LayOut(3);
  state.option.text_color = 0x00112233;
  state.option.ruby_color = 0x00445566;
  state.option.bold = 1;
  state.option.f_size = 20;
  state.option.ruby_size = 10;
  state.option.yohaku_w = 31;
  engine.Relayout(false, false);
  EXPECT_TRUE(host.Named("backgroundPixel").empty());
  EXPECT_EQ(host.Named("setTextLayers"),
            std::vector<std::string>{"setTextLayers body=\"@HGｺﾞｼｯｸE\" 20 bold=1 text=$00112233 back=$00F0FAFF "
                                     "ruby=\"@HGｺﾞｼｯｸE\" 10 bold=1 text=$00445566 back=$00F0FAFF"});

  state.option.bg_image = 1;
  host.pixel = 0x00123456;
  host.calls.clear();
  engine.Relayout(false, false);
  EXPECT_EQ(host.Named("backgroundPixel"), std::vector<std::string>{"backgroundPixel 31 0"});
  EXPECT_EQ(host.Named("setTextLayers"),
            std::vector<std::string>{"setTextLayers body=\"@HGｺﾞｼｯｸE\" 20 bold=1 text=$00112233 back=$00123456 "
                                     "ruby=\"@HGｺﾞｼｯｸE\" 10 bold=1 text=$00445566 back=$00123456"});

  // No background bitmap to read: the back colour stands.
  host.pixel = RenderStages::kNoPixel;
  host.calls.clear();
  engine.Relayout(false, false);
  EXPECT_NE(host.Named("setTextLayers").at(0).find("back=$00F0FAFF ruby"), std::string::npos);
}

// A conversion that throws (in practice only out of memory on a huge text) must not leave
// the progress bar standing where the slider belongs.
TEST(RelayoutFailure, AThrowingStepStillPutsTheSliderBack) {
  struct ThrowingHost : test::RecordingHost {
    using RecordingHost::RecordingHost;
    void progress(int, int) override { throw std::bad_alloc(); }
  };
  EngineState state;
  state.option = DefaultOptions();
  state.sourceLines.assign(3, sj(u8"あ"));
  state.documentLoaded = true;
  ThrowingHost host{state};
  Engine engine{state, host, host};
  EXPECT_THROW(engine.Relayout(false, true), std::bad_alloc);
  EXPECT_EQ(host.Named("ShowProgressBar"), (std::vector<std::string>{"ShowProgressBar 1", "ShowProgressBar 0"}));
}

TEST(RelayoutHosts, ConvertsWithoutDrawing) {
  EngineState state;
  state.option = DefaultOptions();
  state.sourceLines = {sj(u8"あ")};
  state.documentLoaded = true;
  state.pendingRate = 10000;
  // The tracing host draws nothing and has no background bitmap.
  TraceHost host;
  Engine engine(state, host, host);
  engine.Relayout(false, true);
  EXPECT_EQ(state.displayLines.size(), 1u);
  EXPECT_EQ(state.currentPage, 2);  // one past the last view; the renderer clamps
  EXPECT_EQ(host.backgroundPixel(0, 0), RenderStages::kNoPixel);
}

}  // namespace
}  // namespace yomira
