// Illustrations: where the picture goes, how it is found and cached, and what lands on the
// page; ResolveRelativePath.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>

#include "engine/render/Illustration.h"
#include "platform/path/resolve_path.h"
#include "spread_test_util.h"
#include "support/recording_render_host.h"

namespace yomira {
namespace {

using namespace yomira::test;
namespace fs = std::filesystem;

// Every pixel inside the rectangle shrunk by 1 is red; none outside it grown by 1 changed.
void ExpectPictureIn(const QImage& page, const Rect& r, QRgb background) {
  int inside = 0, bad = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QRgb p = page.pixel(x, y) & 0xFFFFFF;
      if (x > r.left && x < r.right - 1 && y > r.top && y < r.bottom - 1) {
        ++inside;
        if (p != 0xFF0000) ++bad;
      } else if (x < r.left - 1 || x > r.right || y < r.top - 1 || y > r.bottom) {
        if (p != (background & 0xFFFFFF)) ++bad;
      }
    }
  EXPECT_GT(inside, 0);
  EXPECT_EQ(bad, 0) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}

class Illustration : public ::testing::Test {
 protected:
  TYomiraOption o = SpreadOptions();
  TempDir dir;
  RecordingRenderHost pictureHost;
  struct Host : RecordingRenderHost {
    RecordingRenderHost* inner = nullptr;
    int loads = 0;
    QImage loadPicture(const std::string& p) override {
      ++loads;
      return inner->loadPicture(p);
    }
  } host;
  PictureCache cache;
  QImage page = QImage(500, 500, QImage::Format_RGB32);
  QImage strip;
  TYomiraTextMetrics ruby;

  void SetUp() override {
    host.inner = &pictureHost;
    host.fileName = (dir / "story.txt").string();
    fs::copy_file(TestData("render/red.bmp"), dir / "red.bmp");
    page.fill(qRgb(250, 250, 240));
  }
  void Draw(std::string_view file, int32_t width, std::string_view valign) {
    BitmapPainter painter(page, strip, o, ruby);
    IllustrationDrawer drawer(o, host, cache, painter);
    drawer.DrawPicture(file, width, valign, 0, 1, 1);
  }
};

TEST_F(Illustration, RectangleForAGivenWidth) {
  const QSize red(40, 30);
  EXPECT_EQ(IllustrationRect(o, 60, "top", red, 0, 1, 1), (Rect{383, 25, 443, 70}));
  EXPECT_EQ(IllustrationRect(o, 60, "bottom", red, 0, 1, 1), (Rect{383, 428, 443, 473}));
  EXPECT_EQ(IllustrationRect(o, 60, "", red, 0, 1, 1), (Rect{383, 226, 443, 271}));
  EXPECT_EQ(IllustrationRect(o, 60, "middle", red, 0, 1, 1), (Rect{383, 226, 443, 271}));
  EXPECT_EQ(IllustrationRect(o, 52, "top", red, 0, 1, 1), (Rect{400, 25, 452, 64}));
}

TEST_F(Illustration, RectangleWithoutWidthFitsThePage) {
  EXPECT_EQ(IllustrationRect(o, 0, "", QSize(40, 30), 0, 1, 1), (Rect{226, 234, 266, 264}));
  EXPECT_EQ(IllustrationRect(o, 0, "", QSize(1000, 500), 0, 1, 1), (Rect{40, 146, 452, 352}));
  EXPECT_EQ(IllustrationRect(o, 0, "", QSize(100, 1000), 0, 1, 1), (Rect{224, 25, 268, 473}));
  EXPECT_EQ(IllustrationRect(o, -5, "top", QSize(40, 30), 0, 1, 1), (Rect{226, 25, 266, 55}));
}

TEST_F(Illustration, EmptyOrHugePicturesGiveNoOverflow) {
  EXPECT_EQ(IllustrationRect(o, 60, "top", QSize(0, 30), 0, 1, 1), Rect{});
  EXPECT_EQ(IllustrationRect(o, 60, "top", QSize(40, 0), 0, 1, 1), Rect{});
  // 60 x 2,000,000,000 / 1 passes 32 bits: clamped, never wrapped.
  const Rect tall = IllustrationRect(o, 60, "top", QSize(1, 2000000000), 0, 1, 1);
  EXPECT_EQ(tall.bottom, INT32_MAX);
  const Rect wide = IllustrationRect(o, 0, "", QSize(2000000000, 2000000000), 0, 1, 1);
  EXPECT_EQ(wide, (Rect{40, 43, 452, 455}));
}

TEST_F(Illustration, PixelsLandInTheRectangle) {
  Draw("red.bmp", 60, "top");
  ExpectPictureIn(page, {383, 25, 443, 70}, qRgb(250, 250, 240));
  page.fill(qRgb(250, 250, 240));
  Draw("red.bmp", 0, "");
  ExpectPictureIn(page, {226, 234, 266, 264}, qRgb(250, 250, 240));
}

TEST_F(Illustration, NameInAnotherCaseIsFound) {
  Draw("RED.BMP", 52, "top");
  ExpectPictureIn(page, {400, 25, 452, 64}, qRgb(250, 250, 240));
}

TEST_F(Illustration, MissingEmptyOrUndecodableDrawsNothing) {
  std::ofstream(dir / "empty.png").close();
  std::ofstream(dir / "junk.png") << "not a picture at all";
  fs::create_directory(dir / "folder.png");
  const QImage before = page;
  for (const char* name : {"none.bmp", "empty.png", "junk.png", "folder.png", ""}) {
    Draw(name, 60, "top");
    EXPECT_EQ(page, before) << name;
  }
  host.fileName.clear();  // no current document
  Draw("red.bmp", 60, "top");
  EXPECT_EQ(page, before);
}

TEST_F(Illustration, TagAndNoteFormsAreParsed) {
  o.images = 1;
  RecordingPainter rec;
  IllustrationDrawer drawer(o, host, cache, rec);
  drawer.DrawIllustration(R"(<img src="red.bmp" width="60" height="45" valign="top">)", 0, 1, 1);
  drawer.DrawIllustration(sj(u8"［＃赤い四角（red.bmp）入る］"), 0, 1, 1);
  drawer.DrawIllustration(sj(u8"［＃注記］"), 0, 1, 1);
  drawer.DrawIllustration(R"(<img src="none.bmp">)", 0, 1, 1);
  const auto pictures = rec.Of("picture");
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0].rect, (Rect{383, 25, 443, 70}));
  EXPECT_EQ(pictures[1].rect, (Rect{226, 234, 266, 264}));
}

TEST_F(Illustration, NotesWithASizeAfterTheNameDrawThePicture) {
  RecordingPainter rec;
  IllustrationDrawer drawer(o, host, cache, rec);
  const char8_t* notes[] = {
      u8"［＃「図」のキャプション付きの図（red.bmp、横２００×縦１５０）入る］",
      u8"［＃挿絵（red.bmp、横320×縦240）入る］",
      u8"［＃挿絵（red.bmp）入る］",
  };
  for (const char8_t* note : notes) {
    rec.calls.clear();
    drawer.DrawIllustration(sj(note), 0, 1, 1);
    const auto pictures = rec.Of("picture");
    ASSERT_EQ(pictures.size(), 1u) << u8(sj(note));
    EXPECT_EQ(pictures[0].rect, (Rect{226, 234, 266, 264})) << u8(sj(note));
  }
}

TEST_F(Illustration, AFileNamedWithTheCommaOrTheSizeIsTakenAsWritten) {
  // A 20 x 20 picture lands elsewhere than red.bmp's 40 x 30, so the rectangle tells which file was drawn.
  QImage blue(20, 20, QImage::Format_RGB32);
  blue.fill(qRgb(0, 0, 255));
  const Rect blueRect = IllustrationRect(o, 0, "", blue.size(), 0, 1, 1);
  ASSERT_NE(blueRect, (Rect{226, 234, 266, 264}));
  for (const char* name : {"赤、青.bmp", "red.bmp、横10×縦10", "alone.bmp、横１０×縦１０"})
    ASSERT_TRUE(blue.save(QString::fromUtf8((dir / name).string().c_str()), "BMP")) << name;
  struct Case {
    const char8_t* note;
    Rect rect;
  } cases[] = {
      {u8"［＃挿絵（赤、青.bmp）入る］", blueRect},
      {u8"［＃挿絵（赤、青.bmp、横10×縦10）入る］", blueRect},
      {u8"［＃挿絵（red.bmp、横10×縦10）入る］", blueRect},  // both exist: the name as written
      {u8"［＃挿絵（alone.bmp、横１０×縦１０）入る］", blueRect},
      {u8"［＃挿絵（red.bmp、横11×縦10）入る］", Rect{226, 234, 266, 264}},
  };
  RecordingPainter rec;
  IllustrationDrawer drawer(o, host, cache, rec);
  for (const Case& c : cases) {
    rec.calls.clear();
    drawer.DrawIllustration(sj(c.note), 0, 1, 1);
    const auto pictures = rec.Of("picture");
    ASSERT_EQ(pictures.size(), 1u) << u8(sj(c.note));
    EXPECT_EQ(pictures[0].rect, c.rect) << u8(sj(c.note));
  }
}

TEST_F(Illustration, CacheReadsAFileOnceUntilItChanges) {
  Draw("red.bmp", 60, "top");
  Draw("red.bmp", 60, "top");
  EXPECT_EQ(host.loads, 1);
  EXPECT_EQ(cache.Count(), 1u);
  // A new picture under the same name (another size) is read again.
  QImage blue(20, 20, QImage::Format_RGB32);
  blue.fill(qRgb(0, 0, 255));
  ASSERT_TRUE(blue.save(QString::fromStdString((dir / "red.bmp").string()), "BMP"));
  Draw("red.bmp", 60, "top");
  EXPECT_EQ(host.loads, 2);
  EXPECT_EQ(cache.Count(), 1u);
  cache.Clear();
  EXPECT_EQ(cache.Bytes(), 0);
}

TEST_F(Illustration, CacheStaysUnderItsCap) {
  // Five pictures of 16 MiB each: the oldest go.
  for (int i = 0; i < 5; ++i) {
    const std::string name = "p" + std::to_string(i) + ".bmp";
    std::ofstream(dir / name) << i;
    pictureHost.pictures[(dir / name).string()] = QImage(2048, 2048, QImage::Format_RGB32);
    Draw(name, 60, "top");
    EXPECT_LE(cache.Bytes(), PictureCache::kCapBytes);
  }
  EXPECT_EQ(cache.Count(), 4u);
  const int loads = host.loads;
  Draw("p4.bmp", 60, "top");
  EXPECT_EQ(host.loads, loads);
  Draw("p0.bmp", 60, "top");
  EXPECT_EQ(host.loads, loads + 1);
}

TEST(ResolveRelativePath, Forms) {
  TempDir dir;
  const std::string F = dir.path().string();
  const fs::path parent = dir.path().parent_path();
  EXPECT_EQ(ResolveRelativePath(F, "pics/a.png"), (dir.path() / "pics/a.png").string());
  EXPECT_EQ(ResolveRelativePath(F, "../a.png"), (parent / "a.png").string());
  EXPECT_EQ(ResolveRelativePath(F, "/abs/a.png"), "/abs/a.png");
  EXPECT_EQ(ResolveRelativePath(F, "/abs/./x/../a.png"), "/abs/a.png");
  EXPECT_EQ(ResolveRelativePath(F + "/missing", "a.png"), "");
  EXPECT_EQ(ResolveRelativePath("", "a.png"), "");
  EXPECT_EQ(ResolveRelativePath(F, sj(u8"日本.bmp")), (dir.path() / "日本.bmp").string());
  EXPECT_EQ(ResolveRelativePath(F, "pics\\a.png"), (dir.path() / "pics/a.png").string());
  // ソ is 83 5C: its 0x5C is a trail byte, not a separator.
  EXPECT_EQ(ResolveRelativePath(F, sj(u8"ソ.png")), (dir.path() / "ソ.png").string());
  const fs::path cwd = fs::current_path();
  ResolveRelativePath(F, "a.png");
  EXPECT_EQ(fs::current_path(), cwd);
}

TEST(ResolveRelativePath, FileIsNotAFolder) {
  TempDir dir;
  std::ofstream(dir / "file.txt") << "x";
  EXPECT_EQ(ResolveRelativePath((dir / "file.txt").string(), "a.png"), "");
}

}  // namespace
}  // namespace yomira
