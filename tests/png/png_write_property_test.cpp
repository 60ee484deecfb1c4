// Random pictures of every format, palette and alpha written under random settings: our
// reader and libpng must both give back the picture the graphic shows.
#include <gtest/gtest.h>

#include <QImage>

#include <random>
#include <string>

#include "png/qrnpng.h"
#include "tests/png/png_test_util.h"
#include "tests/png/png_write_util.h"

namespace yomira::qrn {
namespace {

using namespace yomira::test::png;

TEST(PngWriteProperty, RandomPicturesComeBack) {
  std::mt19937 rng(20261210);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const PixelFormat formats[] = {PixelFormat::pf1bit,  PixelFormat::pf4bit,  PixelFormat::pf8bit, PixelFormat::pf15bit,
                                 PixelFormat::pf16bit, PixelFormat::pf24bit, PixelFormat::pf32bit};
  int withAlpha = 0, interlaced = 0, palettes = 0;
  for (int n = 0; n < 2000; ++n) {
    const PixelFormat format = formats[n % 7];
    const int bits = QRNBitCount(format);
    const int w = pick(1, 67), h = pick(1, 67);
    TQRNPalette palette;
    int count = 0;
    if (bits <= 8) {
      count = pick(0, 1 << bits);
      for (int i = 0; i < count; ++i)
        palette.push_back(TQRNPalRGB{static_cast<uint8_t>(pick(0, 255)), static_cast<uint8_t>(pick(0, 255)),
                                     static_cast<uint8_t>(pick(0, 255)), 0});
      palettes += count > 0;
    }
    const int indexes = count > 0 ? count : 1 << std::min(bits, 8);
    std::vector<int> indexAlpha(256);
    for (int& a : indexAlpha) a = pick(0, 3) == 0 ? 0 : pick(0, 1) ? 255 : pick(0, 255);
    const bool alpha = pick(0, 1) == 1;
    withAlpha += alpha;

    TQRNPNG png;
    Bitmap& image = *png.Image();
    image.SetPixelFormat(format);
    image.SetSize(w, h);
    if (!palette.empty()) image.SetPalette(palette);
    Bitmap& a = *png.AlphaBitmap();
    a.SetPixelFormat(PixelFormat::pf8bit);
    a.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
      uint8_t* row = image.ScanLine(y);
      uint8_t* arow = a.ScanLine(y);
      for (int x = 0; x < w; ++x) {
        if (bits <= 8) {
          const int index = pick(0, indexes - 1);
          if (bits == 1) row[x >> 3] |= static_cast<uint8_t>(index << (7 - (x & 7)));
          else if (bits == 4) row[x >> 1] |= static_cast<uint8_t>((x & 1) ? index : index << 4);
          else row[x] = static_cast<uint8_t>(index);
          arow[x] = static_cast<uint8_t>(indexAlpha[index]);
        } else {
          const int size = bits == 32 ? 4 : bits == 24 ? 3 : 2;
          for (int k = 0; k < size; ++k) row[size * x + k] = static_cast<uint8_t>(pick(0, 255));
          arow[x] = static_cast<uint8_t>(pick(0, 255));
        }
      }
    }
    png.HasAlpha = alpha;
    png.Filter = static_cast<TQRNPNGFilterType>(pick(gpfJust, gpfPaeth));
    png.Interlace = pick(0, 1) ? gptAdam7 : gptNone;
    interlaced += png.Interlace == gptAdam7;
    png.CompressionLevel = pick(-1, 9);
    png.SetIDATSize(pick(0, 1) ? 256 : 32768);
    const std::string what = std::to_string(n) + ": " + std::to_string(bits) + " bits " + std::to_string(w) + "x" +
                             std::to_string(h) + " palette " + std::to_string(count) + " alpha " +
                             std::to_string(alpha) + " filter " + std::to_string(png.Filter) + " interlace " +
                             std::to_string(png.Interlace) + " level " + std::to_string(png.CompressionLevel);

    const QImage source = png.toQImage();
    const std::string file = Save(png);
    TQRNPNG back;
    ASSERT_EQ(LoadMessage(back, file), "") << what;
    ASSERT_EQ(FirstDifference(back.toQImage(), source), "") << what;
    const LibpngImage lib = DecodeLibpng(file);
    ASSERT_TRUE(lib.warnings.empty()) << what << ": " << lib.warnings.front();
    ASSERT_EQ(FirstDifference(lib, source), "") << what;
    if (bits <= 8) {
      ASSERT_EQ(CompareImages(image, *back.Image()), "") << what;
    }
    if (bits == 16) {
      TQRNPNG words;
      words.Restore16Bit = true;
      ASSERT_EQ(LoadMessage(words, file), "") << what;
      ASSERT_EQ(CompareImages(image, *words.Image()), "") << what;
    }
  }
  // The draw covered what it should.
  EXPECT_GT(withAlpha, 800);
  EXPECT_GT(interlaced, 800);
  EXPECT_GT(palettes, 600);
}

}  // namespace
}  // namespace yomira::qrn
