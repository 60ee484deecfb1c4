// Font-dependent checks (IPAex fonts): structural, never exact pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/core/option_defaults.h"
#include "engine/render/FontEngine.h"
#include "engine/render/GlyphDraw.h"
#include "engine/render/Pixels.h"
#include "glyph_sheet.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;

bool HaveIpaex() {
  FontEngine& e = FontEngine::Instance();
  return FontEngine::FamilyOf(e.Resolve("IPAexMincho", false)) == "IPAexMincho" &&
         FontEngine::FamilyOf(e.Resolve("IPAexGothic", false)) == "IPAexGothic";
}

#define REQUIRE_IPAEX() \
  if (!HaveIpaex()) GTEST_SKIP() << "IPAex fonts are not installed (scripts/install-deps)"

TEST(FontEngine, FaceNamesResolve) {
  REQUIRE_IPAEX();
  FontEngine& e = FontEngine::Instance();
  struct Case {
    std::u8string name;
    const char* family;
    bool vertical;
  } cases[] = {
      {u8"@IPAexMincho", "IPAexMincho", true},
      {u8"@HGｺﾞｼｯｸE", "IPAexGothic", true},
      {u8"ＭＳ 明朝", "IPAexMincho", false},
      {u8"@ＭＳ ゴシック", "IPAexGothic", true},
      {u8"Some Gothic Face", "IPAexGothic", false},
      {u8"", "IPAexMincho", false},
  };
  for (const Case& c : cases) {
    const std::string name(c.name.begin(), c.name.end());
    const ResolvedFont* font = e.Resolve(name, false);
    EXPECT_EQ(FontEngine::FamilyOf(font), c.family) << name;
    EXPECT_EQ(FontEngine::IsVertical(font), c.vertical) << name;
  }
  // The settings' own default face, as the text layers pass it on.
  EXPECT_EQ(FontEngine::FamilyOf(e.Resolve(DefaultOptions().font_family, false)), "IPAexGothic");
  EXPECT_TRUE(FontEngine::HasHwid(e.Resolve("@IPAexMincho", false)));
  EXPECT_FALSE(FontEngine::Emboldened(e.Resolve("@IPAexMincho", false)));
  EXPECT_TRUE(FontEngine::Emboldened(e.Resolve("@IPAexMincho", true)));
}

TEST(FontEngine, MetricsSumToTheHeight) {
  REQUIRE_IPAEX();
  FontEngine& e = FontEngine::Instance();
  for (const char* face : {"@IPAexMincho", "IPAexGothic"})
    for (int f : {20, 40, 7}) {
      const FontMetrics m = e.Metrics(e.Resolve(face, false), f);
      EXPECT_EQ(m.tmHeight, f);
      EXPECT_EQ(m.tmAscent + m.tmDescent, f) << face << " " << f;
      EXPECT_GT(m.tmAscent, m.tmDescent);
      EXPECT_EQ(m.tmInternalLeading, 0);
      EXPECT_GT(m.tmAveCharWidth, 0);
    }
}

TEST(FontEngine, Cp932TableIsWindowsCodePage932) {
  EXPECT_EQ(FontEngine::CodeToUnicode(0x8160), U'\uFF5E');
  EXPECT_EQ(FontEngine::CodeToUnicode(0x817C), U'\uFF0D');
  EXPECT_EQ(FontEngine::CodeToUnicode(0x815C), U'\u2015');
  EXPECT_EQ(FontEngine::CodeToUnicode(0x8740), U'\u2460');  // NEC row 13
  EXPECT_EQ(FontEngine::CodeToUnicode(0xFA40), U'\u2170');  // IBM extension
  EXPECT_EQ(FontEngine::CodeToUnicode(0x82A0), U'\u3042');
  EXPECT_EQ(FontEngine::CodeToUnicode(0x41), U'A');
  EXPECT_EQ(FontEngine::CodeToUnicode(0xB1), U'\uFF71');
  EXPECT_EQ(FontEngine::CodeToUnicode(0x8500), 0u);
}

TEST(FontEngine, CacheCountsAndClears) {
  REQUIRE_IPAEX();
  FontEngine& e = FontEngine::Instance();
  const ResolvedFont* font = e.Resolve("@IPAexMincho", false);
  e.ClearCaches();
  EXPECT_EQ(e.CacheBytes(), 0u);
  const uint64_t misses = e.CacheMisses(), hits = e.CacheHits();
  const GlyphRaster* a = e.Glyph(font, 24, 0x8EBF, 0);
  ASSERT_NE(a, nullptr);
  EXPECT_GT(a->w, 0);
  const GlyphRaster* b = e.Glyph(font, 24, 0x8EBF, 0);
  EXPECT_EQ(a, b);
  EXPECT_EQ(e.CacheMisses(), misses + 1);
  EXPECT_EQ(e.CacheHits(), hits + 1);
  EXPECT_GT(e.CacheBytes(), 0u);
  EXPECT_EQ(e.Glyph(font, 24, 0x1F, 0), nullptr);  // control bytes draw nothing
  EXPECT_EQ(e.Glyph(font, 24, 0x7F, 0), nullptr);
  EXPECT_EQ(e.Glyph(font, 0, 0x8EBF, 0), nullptr);
}

TEST(FontEngine, JapaneseFamiliesCarryTheVerticalMark) {
  REQUIRE_IPAEX();
  const auto families = FontEngine::Instance().JapaneseFamilies();
  EXPECT_NE(std::find(families.begin(), families.end(), "@IPAexMincho"), families.end());
  for (const auto& f : families) EXPECT_EQ(f[0], '@');
}

TEST(FontEngine, GlyphSheetChecksPass) {
  REQUIRE_IPAEX();
  test::TempDir dir;
  for (const auto& [face, size] : {std::pair<std::string, int>{"@IPAexMincho", 40}, {"@IPAexMincho", 20},
                                   {"@HGｺﾞｼｯｸE", 24}, {"ＭＳ 明朝", 24}})
    EXPECT_EQ(tools::RunGlyphSheet(face, size, (dir / "sheet.png").string()), 0) << face << " " << size;
  std::fflush(stdout);
}

// Drawing with colours: every changed pixel lies between back and text colour per channel.
struct Layer {
  TYomiraTextMetrics m;
  Layer(const char* face, int f, TColor colour) {
    m.TextColor = colour;
    m.SetFont(face, false, f);
    m.SetOrientation(0);
  }
};

TEST(GlyphDraw, ChangedPixelsLieBetweenBackAndText) {
  REQUIRE_IPAEX();
  const QRgb back = qRgb(240, 250, 255);
  Layer layer("@IPAexMincho", 24, 0x00305080);  // red 0x80, green 0x50, blue 0x30
  for (bool aa : {false, true})
    for (int mode : {0, 1, 2, 3, 4, 5}) {
      QImage img = MakeBitmap(120, 120);
      img.fill(back);
      layer.m.SetOrientation(mode);
      DrawString(img, 40, 40, layer.m, aa, sj(u8"漢あ－A1"));
      int changed = 0;
      for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x) {
          const QRgb p = img.pixel(x, y);
          if (p == back) continue;
          ++changed;
          ASSERT_TRUE(qRed(p) <= 240 && qRed(p) >= 0x80 && qGreen(p) <= 250 && qGreen(p) >= 0x50 &&
                      qBlue(p) <= 255 && qBlue(p) >= 0x30)
              << "aa " << aa << " mode " << mode << " at " << x << "," << y;
        }
      EXPECT_GT(changed, 20) << "aa " << aa << " mode " << mode;
    }
}

TEST(GlyphDraw, HeightZeroLayerDrawsNothing) {
  REQUIRE_IPAEX();
  Layer layer("@IPAexMincho", 0, 0);
  for (bool aa : {false, true}) {
    QImage img = MakeBitmap(60, 60);
    img.fill(qRgb(255, 255, 255));
    const QImage before = img.copy();
    DrawString(img, 10, 10, layer.m, aa, sj(u8"漢字"));
    EXPECT_EQ(img, before);
  }
}

TEST(GlyphDraw, BothPathsLandTheGlyphInTheSamePlace) {
  REQUIRE_IPAEX();
  for (int mode : {0, 1, 2, 3}) {
    Layer layer("@IPAexGothic", 30, 0);
    layer.m.SetOrientation(mode);
    QImage canvas = MakeBitmap(150, 150), outline = MakeBitmap(150, 150);
    canvas.fill(qRgb(255, 255, 255));
    outline.fill(qRgb(255, 255, 255));
    const int x = 50, y = 50;
    DrawString(outline, x, y, layer.m, true, sj(mode == 1 ? u8"12" : u8"永"));
    DrawString(canvas, mode == 1 ? x : x + 30, mode == 2 ? y + 30 : y, layer.m, false,
               sj(mode == 1 ? u8"12" : u8"永"));
    auto box = [](const QImage& img) {
      QRect r;
      for (int yy = 0; yy < img.height(); ++yy)
        for (int xx = 0; xx < img.width(); ++xx)
          if (qRed(img.pixel(xx, yy)) < 200) r = r.united(QRect(xx, yy, 1, 1));
      return r;
    };
    const QRect a = box(canvas), b = box(outline);
    ASSERT_FALSE(a.isEmpty()) << mode;
    EXPECT_LE(std::abs(a.left() - b.left()), 1) << mode;
    EXPECT_LE(std::abs(a.top() - b.top()), 1) << mode;
    EXPECT_LE(std::abs(a.right() - b.right()), 1) << mode;
    EXPECT_LE(std::abs(a.bottom() - b.bottom()), 1) << mode;
  }
}

TEST(GlyphDraw, RandomCp932StringsOnBothPathsStayInside) {
  REQUIRE_IPAEX();
  // The page is a window into a larger buffer: a guard band of marker pixels on every side
  // (and so between the page's rows) shows any write past the page's edges.
  constexpr int kW = 64, kH = 48, kGuard = 24;
  constexpr int kStride = kW + 2 * kGuard;
  constexpr QRgb kMarker = 0xFF12AB34;
  std::vector<QRgb> buffer(static_cast<size_t>(kStride) * (kH + 2 * kGuard));
  std::mt19937 rng(20261209);
  Layer body("@IPAexMincho", 18, 0);
  Layer other("ＭＳ 明朝", 11, 0x0000FF);
  int inked = 0;
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int len = static_cast<int>(rng() % 12);
    for (int i = 0; i < len; ++i) text.push_back(static_cast<char>(rng() % 256));
    std::fill(buffer.begin(), buffer.end(), kMarker);
    QImage img(reinterpret_cast<uchar*>(buffer.data() + kGuard * kStride + kGuard), kW, kH, kStride * 4,
               QImage::Format_RGB32);
    img.fill(qRgb(255, 255, 255));
    TYomiraTextMetrics& m = (round % 2 ? body : other).m;
    m.SetOrientation(static_cast<int>(rng() % 8));
    const int x = static_cast<int>(rng() % 140) - 70, y = static_cast<int>(rng() % 120) - 60;
    const bool aa = rng() % 2 == 0;
    DrawString(img, x, y, m, aa, text);
    ASSERT_EQ(img.constBits(), reinterpret_cast<const uchar*>(buffer.data() + kGuard * kStride + kGuard));
    bool any = false;
    for (int row = 0; row < kH + 2 * kGuard; ++row)
      for (int col = 0; col < kStride; ++col) {
        const bool inside = row >= kGuard && row < kGuard + kH && col >= kGuard && col < kGuard + kW;
        const QRgb p = buffer[static_cast<size_t>(row) * kStride + col];
        if (inside) {
          any = any || p != qRgb(255, 255, 255);
        } else if (p != kMarker) {
          FAIL() << "round " << round << " (" << test::hex(text) << " at " << x << "," << y << ", aa " << aa
                 << "): pixel " << col - kGuard << "," << row - kGuard << " outside the page was written";
        }
      }
    inked += any ? 1 : 0;
  }
  // The strings did reach the page (else nothing above was exercised).
  EXPECT_GT(inked, 30);
}

}  // namespace
}  // namespace yomira
