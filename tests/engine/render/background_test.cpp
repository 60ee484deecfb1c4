#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QSaveFile>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/core/option_defaults.h"
#include "engine/core/option_keys.h"
#include "engine/render/Background.h"
#include "engine/render/Pixels.h"
#include "engine/render/Renderer.h"
#include "support/recording_render_host.h"
#include "support/test_support.h"

namespace yomira {
namespace {

// Defaults, then "key=value key=value" through the settings keys, then Validate.
TYomiraOption Options(const std::string& sets) {
  TYomiraOption o = DefaultOptions();
  std::istringstream in(sets);
  std::string item;
  while (in >> item) {
    const size_t eq = item.find('=');
    const std::string error = SetOptionByKey(o, item.substr(0, eq), item.substr(eq + 1));
    EXPECT_EQ(error, "") << item;
  }
  o.Validate();
  return o;
}

const char* kSmall = "f_size=10 ruby_size=4 s_size=2 c_size=5 v_size=5 yohaku_w=10 yohaku_h=10 ";

struct Built {
  TYomiraOption option;
  test::RecordingRenderHost host;
  Renderer renderer{option, host};
  explicit Built(const TYomiraOption& o) : option(o) { renderer.BuildBackground(); }
  const QImage& back() const { return renderer.Bitmaps().BackBitmap; }
  std::tuple<int, int, int> rgb(int x, int y) const {
    const QRgb p = back().pixel(x, y);
    return {qRed(p), qGreen(p), qBlue(p)};
  }
};

using RGB = std::tuple<int, int, int>;

TEST(Background, PanelSizes) {
  const PanelLayout p = ComputePanelSizes(DefaultOptions());
  EXPECT_EQ(p.baseWidth, 492);
  EXPECT_EQ(p.baseHeight, 539);
  EXPECT_EQ(p.viewHeight, 519);
  EXPECT_EQ(p.bottomCenterWidth, 352);
  EXPECT_EQ(p.backWidth, 492);
  EXPECT_EQ(p.pageHeight, 519);
  const PanelLayout small = ComputePanelSizes(Options(kSmall));
  EXPECT_EQ(small.baseWidth, 98);
  EXPECT_EQ(small.baseHeight, 105);
  EXPECT_EQ(small.bottomCenterWidth, 0);
  const PanelLayout huge = ComputePanelSizes(Options("Page=8 c_size=256 f_size=256 ruby_size=256 s_size=256"));
  EXPECT_EQ(huge.baseWidth, 1571008);
  EXPECT_EQ(huge.baseHeight, 8646);
  EXPECT_EQ(huge.backWidth, 16384);
  EXPECT_EQ(huge.backHeight, 2048);
  EXPECT_LE(int64_t{huge.pageWidth} * huge.pageHeight, int64_t{1} << 25);
}

TEST(Background, ShadowOnePage) {
  Built b(Options("UseShadow=1"));
  ASSERT_EQ(b.back().width(), 492);
  ASSERT_EQ(b.back().height(), 539);
  for (int y : {0, 300, 538}) {
    EXPECT_EQ(b.rgb(0, y), RGB(255, 235, 205));
    EXPECT_EQ(b.rgb(13, y), RGB(255, 243, 223));
    EXPECT_EQ(b.rgb(26, y), RGB(255, 250, 240));
    EXPECT_EQ(b.rgb(266, y), RGB(255, 250, 240));
    EXPECT_EQ(b.rgb(491, y), RGB(255, 244, 224));
  }
}

TEST(Background, ShadowTwoPages) {
  Built b(Options("UseShadow=1 Page=2"));
  ASSERT_EQ(b.back().width(), 920);
  EXPECT_EQ(b.rgb(0, 10), RGB(255, 243, 223));
  EXPECT_EQ(b.rgb(300, 10), RGB(255, 250, 240));
  EXPECT_EQ(b.rgb(456, 10), RGB(255, 247, 232));
  EXPECT_EQ(b.rgb(460, 10), RGB(255, 243, 223));
  EXPECT_EQ(b.rgb(461, 10), RGB(255, 244, 225));
  EXPECT_EQ(b.rgb(919, 10), RGB(255, 244, 224));
}

TEST(Background, ShadowRules) {
  const RGB back(255, 250, 240);
  Built narrowTwo(Options("UseShadow=1 yohaku_w=9 PageMargin=12 Page=2"));
  EXPECT_NE(narrowTwo.rgb(0, 5), back);
  Built narrowOne(Options("UseShadow=1 yohaku_w=9"));
  EXPECT_EQ(narrowOne.rgb(0, 5), back);
  Built off(Options("UseShadow=0"));
  EXPECT_EQ(off.rgb(0, 5), back);
  Built same(Options("UseShadow=1 ShadowColor=$00F0FAFF"));
  for (int x = 0; x < same.back().width(); ++x) ASSERT_EQ(same.rgb(x, 5), back) << x;
}

TEST(Background, PaperLinesSmallPage) {
  struct Case {
    const char* extra;
    std::vector<std::pair<int, int>> mss, back;
  } cases[] = {
      {"",
       {{8, 8}, {8, 61}, {88, 8}, {88, 61}, {9, 30}, {87, 30}, {88, 30}, {50, 8}, {50, 9}, {50, 60}, {50, 61}},
       {{7, 30}, {89, 30}, {86, 30}, {50, 7}, {50, 62}, {74, 20}}},
      {"m_size=3", {{74, 20}}, {}},
  };
  for (const Case& c : cases) {
    TYomiraOption o = Options(std::string(kSmall) + "MSS=1 " + c.extra);
    Built b(o);
    ASSERT_EQ(b.back().width(), 98);
    const QRgb mss = BgrToQRgb(o.mss_color), back = BgrToQRgb(o.back_color);
    for (auto [x, y] : c.mss) EXPECT_EQ(b.back().pixel(x, y), mss) << c.extra << " mss at " << x << "," << y;
    for (auto [x, y] : c.back) EXPECT_EQ(b.back().pixel(x, y), back) << c.extra << " back at " << x << "," << y;
  }
}

TEST(Background, FoldMarks) {
  TYomiraOption o = Options(std::string(kSmall) + "MSS=1 Page=2 PageMargin=12");
  Built b(o);
  ASSERT_EQ(b.back().width(), 188);
  const QRgb mss = BgrToQRgb(o.mss_color), back = BgrToQRgb(o.back_color);
  EXPECT_EQ(b.back().pixel(94, 19), mss);
  EXPECT_EQ(b.back().pixel(94, 43), mss);
  EXPECT_EQ(b.back().pixel(94, 30), back);
  // Narrow margins: nothing between the pages, and no crash.
  for (int pm : {0, 1, 2}) {
    TYomiraOption narrow = Options(std::string(kSmall) + "MSS=1 Page=2 PageMargin=" + std::to_string(pm));
    Built n(narrow);
    const int left = narrow.GetLineX(0, 2) + 10 + 4 + 1, right = narrow.GetLineX(4, 1) - 1;
    for (int x = left; x < right; ++x)
      for (int y = 12; y < 58; ++y) ASSERT_EQ(n.back().pixel(x, y), back) << "PM " << pm << " at " << x << "," << y;
  }
}

TEST(Background, PictureTiles) {
  TYomiraOption o = Options("bg_image=1");
  o.bg_image_str = "tile";
  QImage tile(3, 2, QImage::Format_ARGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) tile.setPixel(x, y, qRgba(10 + 40 * x, 20 + 100 * y, 30, 255));
  tile.setPixel(2, 1, qRgba(0, 0, 0, 0));  // transparent: shows back_color
  test::RecordingRenderHost host;
  host.pictures["tile"] = tile;
  Renderer renderer(o, host);
  renderer.BuildBackground();
  const QImage& back = renderer.Bitmaps().BackBitmap;
  ASSERT_EQ(back.width(), 492);
  for (int y = 0; y < back.height(); ++y)
    for (int x = 0; x < back.width(); ++x) {
      const QRgb expected = (x % 3 == 2 && y % 2 == 1) ? BgrToQRgb(o.back_color) : tile.pixel(x % 3, y % 2);
      ASSERT_EQ(back.pixel(x, y), expected) << x << "," << y;
    }
  EXPECT_EQ(o.bg_image, 1);
  ASSERT_EQ(host.pictureRequests.size(), 1u);
  EXPECT_EQ(renderer.BackgroundPixel(40, 0), QRgbToBgr(back.pixel(40, 0)));
}

TEST(Background, PictureFailuresFallBackAndSwitchOff) {
  test::TempDir dir;
  const std::string garbage = (dir / "bad.png").string();
  std::ofstream(garbage) << "not a picture";
  for (const std::string& path : {std::string("/nonexistent.png"), garbage, std::string("empty")}) {
    TYomiraOption o = Options("bg_image=1");
    o.bg_image_str = path;
    test::RecordingRenderHost host;
    host.pictures["empty"] = QImage();
    Renderer renderer(o, host);
    renderer.BuildBackground();
    EXPECT_EQ(o.bg_image, 0) << path;
    const QImage& back = renderer.Bitmaps().BackBitmap;
    EXPECT_EQ(back.pixel(0, 0), BgrToQRgb(o.back_color));
    EXPECT_EQ(back.pixel(491, 538), BgrToQRgb(o.back_color));
  }
  // Off: the picture is not even asked for.
  TYomiraOption off = Options("bg_image=0");
  off.bg_image_str = "tile";
  test::RecordingRenderHost host;
  Renderer renderer(off, host);
  renderer.BuildBackground();
  EXPECT_TRUE(host.pictureRequests.empty());
}

TEST(Background, BottomBarsAndPageBitmap) {
  TYomiraOption o = Options("UseShadow=1 MSS=1");
  test::RecordingRenderHost host;
  Renderer renderer(o, host);
  renderer.BuildBackground();
  const QImage& back = renderer.Bitmaps().BackBitmap;
  ASSERT_EQ(host.bottomBarCalls, 1);
  EXPECT_EQ(host.text, back.copy(0, 519, 70, 20));
  EXPECT_EQ(host.slider, back.copy(70, 519, 352, 20));
  EXPECT_EQ(host.menu, back.copy(422, 519, 70, 20));
  ASSERT_EQ(host.labelColours.size(), 1u);
  EXPECT_EQ(host.labelColours[0], qRgb(0, 0, 0));
  const QImage& page = renderer.Bitmaps().PageBitmap;
  EXPECT_EQ(page.size(), QSize(492, 519));
  EXPECT_EQ(page.pixel(0, 0), BgrToQRgb(o.back_color));

  TYomiraOption small = Options(kSmall);
  test::RecordingRenderHost smallHost;
  Renderer smallRenderer(small, smallHost);
  smallRenderer.BuildBackground();
  EXPECT_TRUE(smallHost.slider.isNull());  // a 98-px panel leaves 0 for the slider
  EXPECT_EQ(smallHost.text.size(), QSize(70, 20));
  EXPECT_EQ(smallHost.menu.size(), QSize(70, 20));
  EXPECT_EQ(smallHost.menu.copy(0, 0, 28, 20), smallRenderer.Bitmaps().BackBitmap.copy(70, 85, 28, 20));
}

TEST(Background, StoredLayoutWins) {
  TYomiraOption o = DefaultOptions();
  test::RecordingRenderHost host;
  Renderer renderer(o, host);
  PanelLayout layout = ComputePanelSizes(Options(kSmall));
  renderer.SetPanelLayout(layout);
  renderer.BuildBackground();
  EXPECT_EQ(renderer.Bitmaps().BackBitmap.size(), QSize(98, 105));
  EXPECT_EQ(renderer.BackgroundPixel(-1, 0), 0u);
  EXPECT_EQ(renderer.BackgroundPixel(98, 0), 0u);
  EXPECT_EQ(renderer.BackgroundPixel(5, 5), o.back_color);
}

TEST(Background, HugeLayoutIsCappedAndRuns) {
  Built b(Options("Page=8 c_size=256 f_size=256 ruby_size=256 s_size=256 MSS=1 UseShadow=1"));
  EXPECT_EQ(b.back().width(), 16384);
  EXPECT_EQ(b.back().height(), 2048);
  EXPECT_EQ(b.host.bottomBarCalls, 1);
}

// Exact goldens (no font involved).
void ExpectGolden(const QImage& image, const std::string& name) {
  const std::filesystem::path path = test::TestData("golden/background/" + name + ".png");
  const char* update = std::getenv("YOMIRA_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    QSaveFile file(QString::fromStdString(path.string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit()) << path;
    return;
  }
  QImageReader reader(QString::fromStdString(path.string()));
  const QImage golden = reader.read().convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(golden.isNull()) << "missing golden " << path;
  ASSERT_EQ(golden.size(), image.size()) << name;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, golden.pixel(x, y) & 0xFFFFFF) << name << " at " << x << "," << y;
}

TEST(Background, Goldens) {
  const std::string small = kSmall;
  struct Case {
    const char* name;
    std::string sets;
  } cases[] = {
      {"plain_p1", ""},
      {"shadow_p1", "UseShadow=1"},
      {"shadow_p2", "UseShadow=1 Page=2"},
      {"p2_mss_shadow", "Page=2 MSS=1 UseShadow=1"},
      {"mss_m0", small + "MSS=1"},
      {"mss_m3", small + "MSS=1 m_size=3"},
      {"fold_pm2", small + "MSS=1 Page=2 PageMargin=2"},
      {"fold_pm12", small + "MSS=1 Page=2 PageMargin=12"},
      {"two_blocks", small + "MSS=1 Colum=2 yohaku_c=6"},
  };
  for (const Case& c : cases) {
    Built b(Options(c.sets));
    ExpectGolden(b.back(), c.name);
  }
  TYomiraOption o = Options("bg_image=1");
  o.bg_image_str = test::TestData("render/tile_3x2.bmp").string();
  Built tiled(o);
  EXPECT_EQ(tiled.option.bg_image, 1);
  ExpectGolden(tiled.back(), "tile_3x2");
}

}  // namespace
}  // namespace yomira
