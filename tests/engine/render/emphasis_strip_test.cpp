#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "engine/core/option_defaults.h"
#include "engine/render/EmphasisStrip.h"
#include "engine/render/Pixels.h"
#include "engine/render/Renderer.h"
#include "support/recording_render_host.h"
#include "support/test_support.h"

namespace yomira {
namespace {

int Darkness(const QImage& img, int x, int y) { return 255 - qRed(img.pixel(x, y)); }

// Writes Image/yomira_emphasis.bmp of the given size, black left half, white right half.
void WriteReplacement(const test::TempDir& dir, int w, int h) {
  QDir(QString::fromStdString(dir.path().string())).mkpath("Image");
  QImage img = MakeBitmap(w, h);
  img.fill(qRgb(255, 255, 255));
  FillRect(img, {0, 0, w / 2, h}, qRgb(0, 0, 0));
  ASSERT_TRUE(img.save(QString::fromStdString((dir / "Image/yomira_emphasis.bmp").string()), "BMP"));
}

QImage CommittedStrip() {
  return QImage(QString::fromStdString(test::TestData("../../resources/emphasis/emphasis.png").string()));
}

QImage StripThroughRenderer(const test::TempDir& dir, int r, bool builtin = true) {
  TYomiraOption o = DefaultOptions();
  o.ruby_size = r;
  test::RecordingRenderHost host;
  host.folder = dir.path().string();
  host.builtinStrip = builtin;
  Renderer renderer(o, host);
  renderer.LoadEmphasisMarks();
  return renderer.Bitmaps().EmphasisBitmap;
}

TEST(EmphasisStrip, ReplacementFileMustBeEightToOne) {
  test::TempDir used;
  WriteReplacement(used, 80, 10);
  const QImage strip = StripThroughRenderer(used, 10);
  ASSERT_EQ(strip.size(), QSize(80, 10));
  EXPECT_GT(Darkness(strip, 5, 5), 200);   // the replacement's black half
  EXPECT_LT(Darkness(strip, 75, 5), 50);

  test::TempDir ignored;
  WriteReplacement(ignored, 170, 20);
  const QImage builtin = StripThroughRenderer(ignored, 10);
  ASSERT_EQ(builtin.size(), QSize(80, 10));
  EXPECT_LT(Darkness(builtin, 0, 0), 50);  // the built-in strip: corners are paper
  EXPECT_GT(Darkness(builtin, 75, 5), 100);  // type 8, a black circle
}

TEST(EmphasisStrip, NothingAvailableGivesWhiteAndRZeroGivesNull) {
  test::TempDir empty;
  const QImage white = StripThroughRenderer(empty, 12, false);
  ASSERT_EQ(white.size(), QSize(96, 12));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 96; ++x) ASSERT_EQ(white.pixel(x, y), qRgb(255, 255, 255));
  EXPECT_TRUE(BuildEmphasisStrip(0, QImage(), CommittedStrip()).isNull());
  EXPECT_TRUE(BuildEmphasisStrip(-3, QImage(), CommittedStrip()).isNull());
  test::TempDir none;
  EXPECT_EQ(StripThroughRenderer(none, 0).isNull(), true);
}

TEST(EmphasisStrip, BuiltInMarks) {
  const int r = 20;
  const QImage strip = BuildEmphasisStrip(r, QImage(), CommittedStrip());
  ASSERT_EQ(strip.size(), QSize(8 * r, r));
  for (int type = 1; type <= 8; ++type) {
    const int left = (type - 1) * r;
    const int centre = Darkness(strip, left + r / 2, r / 2);
    const bool dark = type == 1 || type == 3 || type == 6 || type == 8;
    if (dark)
      EXPECT_GT(centre, 128) << "type " << type;
    else
      EXPECT_LT(centre, 128) << "type " << type;
    // Ink inside the square, none on its border columns and rows.
    long ink = 0;
    for (int y = 0; y < r; ++y)
      for (int x = 0; x < r; ++x) ink += Darkness(strip, left + x, y);
    EXPECT_GT(ink, 255 * 10) << "type " << type;
    for (int i = 0; i < r; ++i) {
      EXPECT_LT(Darkness(strip, left, i), 40) << "type " << type;
      EXPECT_LT(Darkness(strip, left + i, 0), 40) << "type " << type;
    }
  }
}

TEST(EmphasisStrip, MasterIsTheCommittedResource) {
  const QImage master = MakeEmphasisMaster();
  const QImage resource = CommittedStrip().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(master.size(), QSize(512, 64));
  ASSERT_EQ(resource.size(), QSize(512, 64));
  int differing = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 512; ++x) differing += (master.pixel(x, y) & 0xFFFFFF) != (resource.pixel(x, y) & 0xFFFFFF);
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace yomira
