#include "engine/render/Fitting.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/core/annotation_map.h"
#include "engine/core/option.h"
#include "engine/core/option_defaults.h"
#include "engine/render/Renderer.h"
#include "support/recording_render_host.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;

// The client size the window takes for a layout.
QSize FittedPanel(const TYomiraOption& o) {
  const PanelLayout p = FitWindowToLayout(o, false, QSize(1920, 1080));
  return QSize(int(p.clientWidth), int(p.clientHeight));
}

TEST(Fitting, WindowFitsTheLayout) {
  TYomiraOption o = DefaultOptions();
  struct Case {
    int pages;
    int64_t width, centre;
  };
  for (const Case& c : {Case{1, 492, 352}, Case{2, 920, 780}}) {
    o.Page = c.pages;
    const PanelLayout p = FitWindowToLayout(o, false, QSize(1920, 1080));
    const std::string what = "Page " + std::to_string(c.pages);
    EXPECT_TRUE(p.clearConstraints) << what;
    EXPECT_EQ(QRect(int(p.baseLeft), int(p.baseTop), int(p.baseWidth), int(p.baseHeight)), QRect(0, 0, c.width, 539))
        << what;
    EXPECT_EQ(p.viewWidth, c.width) << what;
    EXPECT_EQ(p.viewHeight, 519) << what;
    EXPECT_EQ(p.bottomCenterWidth, c.centre) << what;
    EXPECT_EQ(p.HintWidth, 416) << what;
    EXPECT_TRUE(p.setClientSize) << what;
    EXPECT_EQ(p.clientWidth, c.width) << what;
    EXPECT_EQ(p.clientHeight, 539) << what;
  }
}

TEST(Fitting, FullScreenCentresThePanel) {
  const TYomiraOption o = DefaultOptions();
  PanelLayout p = FitWindowToLayout(o, true, QSize(1920, 1080));
  EXPECT_EQ(p.baseLeft, 714);
  EXPECT_EQ(p.baseTop, 270);
  EXPECT_FALSE(p.setClientSize);  // the client keeps the screen's size
  EXPECT_EQ(p.baseWidth, 492);
  // Odd differences truncate; a panel larger than the screen goes negative, truncating toward 0.
  p = FitWindowToLayout(o, true, QSize(1921, 1081));
  EXPECT_EQ(p.baseLeft, 714);
  EXPECT_EQ(p.baseTop, 271);
  p = FitWindowToLayout(o, true, QSize(391, 438));
  EXPECT_EQ(p.baseLeft, -50);
  EXPECT_EQ(p.baseTop, -50);
}

TEST(Fitting, InverseFitsAtTheDefaults) {
  const TYomiraOption o = DefaultOptions();
  ASSERT_EQ(FittedPanel(o), QSize(492, 539));
  EXPECT_EQ(FontForWindow(o, 539, 492), (FontFit{14, 8}));
  EXPECT_EQ(GridForWindow(o, 539, 492), (GridFit{16, 64}));
  // Preview and apply give the same ruby size: it follows the new font size 16, not 14.
  EXPECT_EQ(FontForWindow(o, 606, 600), (FontFit{16, 12}));
  // An odd cell count is raised to even, a negative one too.
  EXPECT_EQ(GridForWindow(o, 308, 492).v_size, 32);
  EXPECT_EQ(GridForWindow(o, 70, 492).v_size, -2);
  EXPECT_EQ(GridForWindow(o, 540, 1000).c_size, 35);
}

TEST(Fitting, InverseFitsOnTwoPagesAndBlocks) {
  TYomiraOption o = DefaultOptions();
  o.Page = 2;
  o.Colum = 2;
  o.yohaku_c = 10;
  o.m_size = 2;
  // Panel: width 80 + 16 + 2 * 412 = 920; height 2 * 67 * 16 / 2 + 50 + 10 + 20 - 4 = 1148.
  ASSERT_EQ(FittedPanel(o), QSize(920, 1148));
  EXPECT_EQ(FontForWindow(o, 1148, 920), (FontFit{14, 8}));
  EXPECT_EQ(GridForWindow(o, 1148, 920), (GridFit{16, 64}));
  // One pixel less in each direction: the font and the grid shrink, the ruby takes the rest.
  EXPECT_EQ(FontForWindow(o, 1147, 919), (FontFit{13, 8}));
  EXPECT_EQ(GridForWindow(o, 1147, 919), (GridFit{15, 64}));
}

TEST(Fitting, InverseFitsOfAnUnvalidatedRecordKeepItsValues) {
  TYomiraOption o;  // all zero: every divisor is 0
  o.f_size = 7;
  o.ruby_size = 3;
  EXPECT_EQ(FontForWindow(o, 500, 500), (FontFit{7, 3}));
  EXPECT_EQ(GridForWindow(o, 500, 500), (GridFit{0, 0}));
}

TEST(Fitting, FittedPanelFitsBack) {
  std::mt19937 rng(20261209);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < 10000; ++i) {
    TYomiraOption o;
    o.f_size = pick(6, 256);
    o.ruby_size = pick(0, 256);
    o.s_size = pick(-5, 256);
    o.m_size = pick(-5, 256);
    o.c_size = pick(5, 256);
    o.v_size = 2 * pick(5, 256);
    o.yohaku_w = pick(0, 256);
    o.yohaku_h = pick(0, 256);
    o.Colum = pick(1, 8);
    o.yohaku_c = pick(-64, 256);
    o.Page = pick(1, 8);
    o.PageMargin = pick(0, 256);
    o.Validate();
    const QSize panel = FittedPanel(o);
    const std::string what = "case " + std::to_string(i);
    ASSERT_EQ(GridForWindow(o, panel.height(), panel.width()), (GridFit{o.c_size, o.v_size})) << what;
    // The panel height halves T(V + 3)(f + m); when that is odd the font comes back one smaller.
    const bool odd = (int64_t{o.Colum} * (o.v_size + 3) * (o.f_size + o.m_size)) % 2 != 0;
    const FontFit want = odd ? FontFit{o.f_size - 1, o.ruby_size + 1} : FontFit{o.f_size, o.ruby_size};
    ASSERT_EQ(FontForWindow(o, panel.height(), panel.width()), want) << what;
  }
}

// f 20, r 10, s 4, m 4, L 5, V 10, W 30, H 20, T 2, G 10, P 2, PM 16: panel 408 x 374.
TYomiraOption HintLayout() {
  TYomiraOption o = DefaultOptions();
  o.f_size = 20;
  o.ruby_size = 10;
  o.s_size = 4;
  o.m_size = 4;
  o.c_size = 5;
  o.v_size = 10;
  o.yohaku_w = 30;
  o.yohaku_h = 20;
  o.Colum = 2;
  o.yohaku_c = 10;
  o.Page = 2;
  o.PageMargin = 16;
  return o;
}

TEST(AnnotationHint, HitTest) {
  const TYomiraOption o = HintLayout();
  ASSERT_EQ(FittedPanel(o), QSize(408, 374));
  ASSERT_EQ(o.GetLineX(0, 1), 348);
  ASSERT_EQ(o.GetCharY(1, 2), 182);
  struct Case {
    const char* name;
    int x, y;
    std::optional<AnnotationCell> want;  // cell, line, page, block
  };
  const Case cases[] = {
      {"right margin edge still line 0", 378, 30, AnnotationCell{0, 0, 0, 0}},
      {"line gap belongs to the line on its right", 345, 30, AnnotationCell{0, 0, 0, 0}},
      {"next line", 344, 30, AnnotationCell{0, 1, 0, 0}},
      {"right margin", 379, 30, std::nullopt},
      {"page gap, right side", 197, 30, std::nullopt},
      {"page gap, left side", 208, 30, std::nullopt},
      {"left page, first line", 196, 30, AnnotationCell{0, 0, 1, 0}},
      {"right page, last line", 209, 30, AnnotationCell{0, 4, 0, 0}},
      {"past the last page", 10, 30, std::nullopt},
      {"top margin", 348, 19, std::nullopt},
      {"last cell of block 0", 348, 175, AnnotationCell{12, 0, 0, 0}},
      {"block gap, top", 348, 176, std::nullopt},
      {"block gap, bottom", 348, 181, std::nullopt},
      // The block pitch takes the overlap m into account, as GetCharY does.
      {"first cell of block 1", 348, 182, AnnotationCell{0, 0, 0, 1}},
      {"cell 5 of block 1", 348, 242, AnnotationCell{5, 0, 0, 1}},
      {"below the last block", 348, 400, std::nullopt},
      {"left of the panel", -5, 30, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(HitTestAnnotation(o, 408, c.x, c.y), c.want) << c.name;
}

// The step to the next annotation moves the mouse to the line's x + f + r / 2 and the cell's
// y + f / 2 - 1 (1-based page, block and cell); the hit test must map that point back.
TEST(AnnotationHint, SteppingPointMapsBackToItsCell) {
  TYomiraOption two_by_two = DefaultOptions();
  two_by_two.Page = 2;
  two_by_two.Colum = 2;
  two_by_two.yohaku_c = 10;
  TYomiraOption tight = HintLayout();
  tight.ruby_size = 0;
  tight.m_size = -1;
  tight.yohaku_c = 0;  // a negative gap makes blocks overlap, and the lower block wins there
  for (const TYomiraOption& o : {HintLayout(), two_by_two, tight}) {
    const int panel = FittedPanel(o).width();
    for (int page = 0; page < o.Page; ++page)
      for (int block = 0; block < o.Colum; ++block)
        for (int line = 0; line < o.c_size; ++line)
          for (int cell = 0; cell < o.v_size + 3; ++cell) {
            const int x = o.GetLineX(line, page + 1) + o.f_size + o.ruby_size / 2;
            const int y = o.GetCharY(cell + 1, block + 1) + o.f_size / 2 - 1;
            ASSERT_EQ(HitTestAnnotation(o, panel, x, y), (AnnotationCell{cell, line, page, block}))
                << "cell " << cell << " line " << line << " page " << page << " block " << block;
          }
  }
}

TEST(AnnotationHint, PlaceHint) {
  const QSize hint(300, 40), cursor(32, 32);
  EXPECT_EQ(PlaceHint(QPoint(1588, 500), hint, 1920, cursor), QRect(1604, 500, 300, 40));
  // One more pixel and the hint would pass the edge by the mouse's x: one cursor height lower.
  EXPECT_EQ(PlaceHint(QPoint(1589, 500), hint, 1920, cursor), QRect(1605, 532, 300, 40));
  EXPECT_EQ(PlaceHint(QPoint(0, 0), hint, 1920, QSize(48, 48)), QRect(16, 0, 300, 40));
}

// The renderer's window fitting and annotation hint against a recording host.
using HintHost = test::RecordingRenderHost;

TEST(AnnotationHint, FitWindowToLayoutStoresAndApplies) {
  TYomiraOption o = DefaultOptions();
  HintHost host;
  host.fullScreen = true;
  Renderer renderer(o, host);
  renderer.FitWindowToLayout();
  ASSERT_EQ(host.layouts.size(), 1u);
  EXPECT_EQ(host.layouts[0].baseLeft, 714);
  EXPECT_EQ(host.layouts[0].baseTop, 270);
  EXPECT_FALSE(host.layouts[0].setClientSize);
  ASSERT_TRUE(renderer.StoredPanelLayout().has_value());
  EXPECT_EQ(renderer.StoredPanelLayout()->HintWidth, 416);
  // The background is built at the stored layout.
  renderer.BuildBackground();
  EXPECT_EQ(renderer.Bitmaps().BackBitmap.size(), QSize(492, 539));
  EXPECT_EQ(renderer.Bitmaps().PageBitmap.size(), QSize(492, 519));
  renderer.HideHint();
  EXPECT_EQ(host.calls.back(), "hideHint");
}

TEST(AnnotationHint, ShowsTheAnnotationUnderTheMouse) {
  TYomiraOption o = HintLayout();
  HintHost host;
  Renderer renderer(o, host);
  renderer.FitWindowToLayout();
  TPageAnnotation map;
  map.SetSize(o.v_size, o.c_size, o.Page, o.Colum);
  map.Add(0, 0, 2, sj(u8"先の注"), 1, 1);
  // Cell 5 of line 0, right page, lower block: (348, 242) on the page image.
  map.Add(5, 0, 2, sj(u8"注記のテスト"), 1, 2);

  host.calls.clear();
  renderer.ShowAnnotationHint(348, 242, map);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"hintSize", "showHint"}));
  EXPECT_EQ(map.current, 1);
  EXPECT_EQ(host.shownText, "注記のテスト");
  EXPECT_EQ(host.hintMaxWidth, 170);  // lw * L
  // Mouse on screen at (448, 442); the hint is 180 x 30, 16 px to the right.
  EXPECT_EQ(host.shownRect, QRect(464, 442, 180, 30));

  // The full-width character's second cell shows the same annotation.
  renderer.ShowAnnotationHint(348, 254, map);
  EXPECT_EQ(host.calls.back(), "showHint");
  EXPECT_EQ(host.shownText, "注記のテスト");

  // Near the right edge of the screen the hint goes one cursor height lower.
  host.screen = QSize(600, 1080);
  renderer.ShowAnnotationHint(348, 242, map);
  EXPECT_EQ(host.shownRect, QRect(464, 474, 180, 30));
}

TEST(AnnotationHint, EmptyCellOrMissHidesTheHint) {
  TYomiraOption o = HintLayout();
  HintHost host;
  Renderer renderer(o, host);
  // No layout stored yet: the hint computes the one the window would take.
  TPageAnnotation map;
  map.SetSize(o.v_size, o.c_size, o.Page, o.Colum);
  map.Add(5, 0, 2, sj(u8"注"), 1, 2);
  map.current = 7;
  const struct {
    const char* name;
    int x, y;
  } cases[] = {
      {"empty cell", 348, 30},
      {"right margin", 379, 242},
      {"block gap", 348, 178},
      {"outside the image", -10, -10},
  };
  for (const auto& c : cases) {
    host.calls.clear();
    renderer.ShowAnnotationHint(c.x, c.y, map);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"hideHint"})) << c.name;
    EXPECT_EQ(map.current, 7) << c.name;
  }
  renderer.ShowAnnotationHint(348, 242, map);
  EXPECT_EQ(host.calls.back(), "showHint");
  EXPECT_EQ(host.hintMaxWidth, 170);
}

}  // namespace
}  // namespace yomira
