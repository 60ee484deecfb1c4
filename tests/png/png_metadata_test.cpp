// Metadata and pixel formats read from PngSuite images.
#include <png.h>

#include <gtest/gtest.h>

#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "png/qrnpng.h"
#include "tests/png/png_test_util.h"
#include "tests/support/test_support.h"

namespace yomira::test::png {
namespace {

using qrn::PixelFormat;
using qrn::TQRNPNG;

std::string Suite(const char* name) { return TestData(std::string("png/pngsuite/") + name + ".png").string(); }

void Load(TQRNPNG& png, const char* name) { ASSERT_NO_THROW(png.LoadFromFile(Suite(name))) << name; }

TEST(PngMetadata, Time) {
  struct Case {
    const char* file;
    qrn::TPNGTime time;
  } cases[] = {{"cm0n0g04", qrn::PNGTime(2000, 1, 1, 12, 34, 56)},
               {"cm7n0g04", qrn::PNGTime(1970, 1, 1, 0, 0, 0)},
               {"cm9n0g04", qrn::PNGTime(1999, 12, 31, 23, 59, 59)}};
  for (const auto& c : cases) {
    TQRNPNG png;
    Load(png, c.file);
    EXPECT_EQ(png.GetTime(), c.time) << c.file;
  }
}

TEST(PngMetadata, TimeIsZeroedWhenTheFileHasNone) {
  TQRNPNG png;
  Load(png, "basn0g08");
  EXPECT_EQ(png.GetTime(), qrn::TPNGTime{});
}

TEST(PngMetadata, Chromaticities) {
  TQRNPNG png;
  Load(png, "ccwn2c08");
  EXPECT_EQ(png.GetChrm(), (qrn::TPNGChromaticities{31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000}));
}

TEST(PngMetadata, PixelDimensions) {
  TQRNPNG a, b;
  Load(a, "cdfn2c08");
  EXPECT_EQ(a.PixelsPerUnitX, 1);
  EXPECT_EQ(a.PixelsPerUnitY, 4);
  EXPECT_EQ(a.PixelUnit, qrn::gpuAspect);
  Load(b, "cdun2c08");
  EXPECT_EQ(b.PixelsPerUnitX, 1000);
  EXPECT_EQ(b.PixelsPerUnitY, 1000);
  EXPECT_EQ(b.PixelUnit, qrn::gpuMeter);
}

TEST(PngMetadata, SignificantBitsAndGamma) {
  struct Case {
    const char* file;
    int32_t sbit;
  } sbits[] = {{"cs5n2c08", 0x050505}, {"cs3n2c16", 0x0D0D0D}};
  for (const auto& c : sbits) {
    TQRNPNG png;
    Load(png, c.file);
    EXPECT_EQ(png.SignificantBits, c.sbit) << c.file;
  }
  struct GammaCase {
    const char* file;
    double gamma;
  } gammas[] = {{"g03n2c08", 0.35}, {"basn0g01", 1.0}};
  for (const auto& c : gammas) {
    TQRNPNG png;
    Load(png, c.file);
    EXPECT_DOUBLE_EQ(png.Gamma, c.gamma) << c.file;
  }
}

TEST(PngMetadata, BackgroundAndComment) {
  struct Case {
    const char* file;
    int32_t colour;
  } cases[] = {{"bgwn6a08", 0xFFFFFF}, {"bgyn6a16", 0x00FFFF}, {"bggn4a16", 0xABABAB}, {"tbbn3p08", 0x10000F5}};
  for (const auto& c : cases) {
    TQRNPNG png;
    Load(png, c.file);
    EXPECT_EQ(png.BackgroundColor, c.colour) << c.file;
  }
  TQRNPNG png;
  Load(png, "ct1n0g04");  // tEXt chunks, none with the keyword "Comment"
  EXPECT_EQ(png.Comment, "");
}

TEST(PngMetadata, TransparentKeys) {
  TQRNPNG grey;
  Load(grey, "tbbn0g04");
  EXPECT_EQ(grey.TransColor, 0x100000F);
  EXPECT_TRUE(grey.Image()->Transparent());
  EXPECT_TRUE(grey.Transparent());

  TQRNPNG pal;
  Load(pal, "tbbn3p08");
  EXPECT_EQ(pal.TransColor, 0x1000000);
  EXPECT_TRUE(pal.Image()->Transparent());
  EXPECT_FALSE(pal.HasAlpha);
  EXPECT_TRUE(pal.AlphaBitmap()->Empty());
}

TEST(PngMetadata, PaletteAlpha) {
  TQRNPNG png;
  Load(png, "tm3n3p02");
  ASSERT_TRUE(png.HasAlpha);
  const auto* img = png.Image();
  const auto* alpha = png.AlphaBitmap();
  ASSERT_EQ(img->GetPixelFormat(), PixelFormat::pf4bit);
  int seen[4] = {-1, -1, -1, -1};
  for (int y = 0; y < img->Height(); ++y)
    for (int x = 0; x < img->Width(); ++x) {
      const uint8_t b = img->ScanLine(y)[x >> 1];
      const int index = (x & 1) ? (b & 15) : (b >> 4);
      ASSERT_LT(index, 4);
      seen[index] = alpha->ScanLine(y)[x];
    }
  // The alpha bitmap holds 255 minus the alpha of each index: 0, 85, 170, 255.
  EXPECT_EQ(seen[0], 255);
  EXPECT_EQ(seen[1], 170);
  EXPECT_EQ(seen[2], 85);
  EXPECT_EQ(seen[3], 0);
}

TEST(PngMetadata, Grey16WithKeyGoesToTheAlphaBitmap) {
  TQRNPNG png;
  Load(png, "tbwn0g16");
  EXPECT_TRUE(png.HasAlpha);
  EXPECT_EQ(png.TransColor, 0xFFFFFF);
  EXPECT_FALSE(png.Image()->Transparent());
  EXPECT_FALSE(png.AlphaBitmap()->Empty());
}

TEST(PngMetadata, PixelFormatsAndDepths) {
  struct Case {
    const char* file;
    PixelFormat format;
    int depth;
    bool alpha;
    bool grey;
  } cases[] = {{"basn0g02", PixelFormat::pf4bit, 2, false, true},
               {"basn0g16", PixelFormat::pf8bit, 16, false, true},
               {"basn2c16", PixelFormat::pf24bit, 48, false, false},
               {"basn6a08", PixelFormat::pf24bit, 24, true, false},
               {"basn3p02", PixelFormat::pf4bit, 2, false, false},
               {"basn0g01", PixelFormat::pf1bit, 1, false, true},
               {"basn4a16", PixelFormat::pf8bit, 16, true, true}};
  for (const auto& c : cases) {
    TQRNPNG png;
    Load(png, c.file);
    EXPECT_EQ(png.Image()->GetPixelFormat(), c.format) << c.file;
    EXPECT_EQ(png.BitDepth, c.depth) << c.file;
    EXPECT_EQ(png.HasAlpha, c.alpha) << c.file;
    EXPECT_EQ(png.GrayScale, c.grey) << c.file;
    EXPECT_EQ(png.AlphaBitmap()->Empty(), !c.alpha) << c.file;
  }
  // 2-bit values are kept as 0..3 in the 4-bit bitmap, shown through a 4-step ramp.
  TQRNPNG png;
  Load(png, "basn0g02");
  int maxValue = 0;
  for (int y = 0; y < png.GetHeight(); ++y)
    for (int x = 0; x < png.GetWidth(); ++x) {
      const uint8_t b = png.Image()->ScanLine(y)[x >> 1];
      maxValue = std::max(maxValue, (x & 1) ? (b & 15) : (b >> 4));
    }
  EXPECT_EQ(maxValue, 3);
  EXPECT_EQ(png.GetPalette().size(), 4u);
}

TEST(PngMetadata, InterlacedSinglePixel) {
  TQRNPNG png;
  Load(png, "s01i3p01");
  EXPECT_EQ(png.GetWidth(), 1);
  EXPECT_EQ(png.GetHeight(), 1);
  EXPECT_EQ(png.Interlace, qrn::gptAdam7);
}

struct Rgb {
  std::vector<uint8_t> data;
  int w = 0, h = 0;
};

void Fail(png_structp p, png_const_charp) { longjmp(png_jmpbuf(p), 1); }

Rgb LibpngRgb(const std::string& path) {
  Rgb out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  png_structp p = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, nullptr);
  png_infop info = png_create_info_struct(p);
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(p))) {
    png_destroy_read_struct(&p, &info, nullptr);
    std::fclose(f);
    return Rgb{};
  }
  png_init_io(p, f);
  png_read_info(p, info);
  png_set_strip_16(p);
  png_read_update_info(p, info);
  out.w = static_cast<int>(png_get_image_width(p, info));
  out.h = static_cast<int>(png_get_image_height(p, info));
  out.data.resize(static_cast<size_t>(out.w) * out.h * 3);
  for (int y = 0; y < out.h; ++y) rows.push_back(out.data.data() + static_cast<size_t>(y) * out.w * 3);
  png_read_image(p, rows.data());
  png_destroy_read_struct(&p, &info, nullptr);
  std::fclose(f);
  return out;
}

TEST(PngMetadata, Restore16BitGives565) {
  TQRNPNG png;
  png.Restore16Bit = true;
  Load(png, "cs5n2c08");
  EXPECT_EQ(png.BitDepth, 15);
  ASSERT_EQ(png.Image()->GetPixelFormat(), PixelFormat::pf16bit);
  const Rgb ref = LibpngRgb(Suite("cs5n2c08"));
  ASSERT_EQ(ref.w, png.GetWidth());
  for (int y = 0; y < ref.h; ++y)
    for (int x = 0; x < ref.w; ++x) {
      const uint8_t* c = ref.data.data() + (static_cast<size_t>(y) * ref.w + x) * 3;
      const int want = (c[0] >> 3) << 11 | (c[1] >> 2) << 5 | (c[2] >> 3);
      const uint8_t* s = png.Image()->ScanLine(y) + 2 * x;
      ASSERT_EQ(s[0] | s[1] << 8, want) << x << "," << y;
    }
  // Without the option the same file is 24-bit.
  TQRNPNG plain;
  Load(plain, "cs5n2c08");
  EXPECT_EQ(plain.BitDepth, 24);
  EXPECT_EQ(plain.Image()->GetPixelFormat(), PixelFormat::pf24bit);
}

}  // namespace
}  // namespace yomira::test::png
