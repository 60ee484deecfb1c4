#include "png/qrnpng.h"

#include <gtest/gtest.h>

#include <QImage>

#include "png/errors.h"
#include "png/qrnpngread.h"
#include "tests/png/png_builder.h"
#include "tests/png/png_test_util.h"
#include "tests/support/test_support.h"

namespace yomira::qrn {
namespace {

using namespace yomira::test::png;

TEST(QRNPNG, IDATSizeBounds) {
  TQRNPNG png;
  EXPECT_EQ(png.GetIDATSize(), 32768);
  for (int bad : {255, 100001, 0, -1}) {
    try {
      png.SetIDATSize(bad);
      ADD_FAILURE() << bad;
    } catch (const EQRNPNG& e) {
      EXPECT_STREQ(e.what(), "PNG Param: Err IDAT Size(min:256  max:100000)");
    }
    EXPECT_EQ(png.GetIDATSize(), 32768);
  }
  png.SetIDATSize(256);
  EXPECT_EQ(png.GetIDATSize(), 256);
  png.SetIDATSize(100000);
  EXPECT_EQ(png.GetIDATSize(), 100000);
}

TEST(QRNPNG, DefaultsAndClockHook) {
  SetPNGClock([] { return std::time_t{951782400}; });  // 2000-02-29 00:00:00 UTC
  TQRNPNG png;
  SetPNGClock(nullptr);
  EXPECT_EQ(png.GetTime(), PNGTime(2000, 2, 29, 0, 0, 0));
  EXPECT_DOUBLE_EQ(png.Gamma, 0.45455);
  EXPECT_EQ(png.BackgroundColor, -1);
  EXPECT_EQ(png.TransColor, -1);
  EXPECT_TRUE(png.SkipMacBinary);
  EXPECT_TRUE(png.GetEmpty());
  EXPECT_TRUE(png.toQImage().isNull());
}

TEST(QRNPNG, LoadingWithoutGammaGivesZero) {
  TQRNPNG png;
  ASSERT_EQ(LoadMessage(png, Png(2, 2, 8, 0, FilterRows(GreyRamp(2, 2), 1))), "");
  EXPECT_EQ(png.Gamma, 0.0);
}

TEST(QRNPNG, SetTransColor) {
  TQRNPNG png;
  png.Image()->SetTransparent(true);
  png.SetTransColor(-1);  // empty picture: only recorded
  EXPECT_EQ(png.TransColor, -1);
  EXPECT_TRUE(png.Image()->Transparent());

  ASSERT_EQ(LoadMessage(png, Png(2, 2, 8, 0, FilterRows(GreyRamp(2, 2), 1))), "");
  png.SetTransColor(0x030303);
  EXPECT_EQ(png.Image()->TransparentColor(), 0x030303);
  png.Image()->SetTransparent(true);
  png.SetTransColor(-1);
  EXPECT_FALSE(png.Image()->Transparent());
}

TEST(QRNPNG, SetTransFlagDoesNotEchoToTheImage) {
  TQRNPNG png;
  int changes = 0;
  png.OnChange = [&](TQRNPNG&) { ++changes; };
  Bitmap other;
  other.SetTransparent(true);
  png.SetTransFlag(other);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(png.Transparent());
  EXPECT_FALSE(png.Image()->Transparent());  // the re-entry guard kept it from the image
  EXPECT_TRUE(png.PaletteModified());
  png.SetTransFlag(other);  // equal: just Changed
  EXPECT_EQ(changes, 2);
  png.SetTransparent(false);  // a direct set goes to the image too
  EXPECT_EQ(changes, 3);
  png.SetTransparent(true);
  EXPECT_TRUE(png.Image()->Transparent());
}

TEST(QRNPNG, CopyBackOfEveryChunk) {
  const int w = 5, h = 4;
  std::vector<std::string> rows;
  for (int y = 0; y < h; ++y) {
    std::string r;
    for (int x = 0; x < w; ++x) r += std::string{char(x * 40), char(y * 50), char(x + y)};
    rows.push_back(r);
  }
  std::string idat;
  for (const auto& pass : Adam7Passes(rows, w, 3)) idat += FilterRows(pass, 3, {kPaeth, kAvg});
  const std::string chunks =
      Chunk("tIME", Be16(2024) + std::string{1, 2, 3, 4, 5}) + Chunk("tEXt", std::string("Comment\0a", 9)) +
      Chunk("tEXt", std::string("Title\0zz", 8)) + Chunk("tEXt", std::string("Comment\0b", 9)) +
      Chunk("gIFg", std::string{2, 1, 0x34, 0x12}) + Chunk("gAMA", Be32(45455)) +
      Chunk("cHRM", Be32(1) + Be32(2) + Be32(3) + Be32(4) + Be32(5) + Be32(6) + Be32(7) + Be32(8)) +
      Chunk("sBIT", std::string{5, 6, 7}) + Chunk("bKGD", Be16(0x0102) + Be16(0x0304) + Be16(0x0506)) +
      Chunk("tRNS", Be16(0) + Be16(50) + Be16(1)) + Chunk("pHYs", Be32(3780) + Be32(3781) + "\x01") +
      Chunk("tpNG", std::string("QRN3\0\0", 6));
  const std::string file = Signature() + IHDR(w, h, 8, 2, 1) + chunks + Chunk("IDAT", Deflate(idat)) + IEND();
  TQRNPNG png;
  ASSERT_EQ(LoadMessage(png, file), "");
  EXPECT_EQ(png.GetTime(), PNGTime(2024, 1, 2, 3, 4, 5));
  EXPECT_EQ(png.Comment, "a\r\n\r\nb\r\n");
  EXPECT_EQ(png.GetGIFExt(), (TPNGGIFExtension{2, 1, 0x1234}));
  EXPECT_DOUBLE_EQ(png.Gamma, 0.45455);
  EXPECT_EQ(png.GetChrm(), (TPNGChromaticities{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(png.SignificantBits, 0x070605);
  EXPECT_EQ(png.BackgroundColor, 0x060402);
  EXPECT_EQ(png.TransColor, 0x013200);
  EXPECT_TRUE(png.Transparent());
  EXPECT_EQ(png.PixelUnit, gpuMeter);
  EXPECT_EQ(png.PixelsPerUnitX, 3780);
  EXPECT_EQ(png.PixelsPerUnitY, 3781);
  EXPECT_EQ(png.Interlace, gptAdam7);
  EXPECT_EQ(png.BitDepth, 24);
  EXPECT_FALSE(png.GrayScale);
  EXPECT_FALSE(png.HasAlpha);
  const QImage img = png.toQImage();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int r = x * 40, g = y * 50, b = x + y;
      const int a = (r == 0 && g == 50 && b == 1) ? 0 : 255;
      EXPECT_EQ(img.pixel(x, y), qRgba(r, g, b, a)) << x << "," << y;
    }
}

TEST(QRNPNG, DecodeEventUndoesAnXorPerRow) {
  for (int interlace : {0, 1}) {
    const int w = 7, h = 6;
    std::vector<std::string> rows, xored;
    for (int y = 0; y < h; ++y) {
      std::string r, x;
      for (int i = 0; i < w * 3; ++i) {
        r += static_cast<char>(i * 11 + y * 5);
        x += static_cast<char>((i * 11 + y * 5) ^ 0x5A);
      }
      rows.push_back(r), xored.push_back(x);
    }
    // The writer XORs each row before filtering; rows are filtered with Up and Paeth.
    std::string idat;
    int totalRows = 0;
    if (interlace) {
      for (const auto& pass : Adam7Passes(xored, w, 3)) {
        idat += FilterRows(pass, 3, {kUp, kPaeth});
        totalRows += static_cast<int>(pass.size());
      }
    } else {
      idat = FilterRows(xored, 3, {kUp, kPaeth});
      totalRows = h;
    }
    const std::string file = Signature() + IHDR(w, h, 8, 2, interlace) + Chunk("tpNG", std::string("QRN3\1\0", 6)) +
                             Chunk("IDAT", Deflate(idat)) + IEND();
    TQRNPNG png;
    png.Password = "secret";
    int asked = 0;
    std::vector<int> lines;
    png.OnPassword = [&](TQRNStreamBase& sender, std::string& pw) {
      ++asked;
      EXPECT_NE(dynamic_cast<TQRNPNGReadStream*>(&sender), nullptr);
      EXPECT_EQ(pw, "secret");
    };
    png.OnDecode = [&](TQRNStreamBase&, uint8_t* buf, int len, int lineno, const std::string& pw) {
      EXPECT_EQ(pw, "secret");
      lines.push_back(lineno);
      for (int i = 0; i < len; ++i) buf[i] ^= 0x5A;
    };
    ASSERT_EQ(LoadMessage(png, file), "") << interlace;
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(static_cast<int>(lines.size()), totalRows);
    for (int i = 0; i < totalRows; ++i) EXPECT_EQ(lines[i], i);
    const QImage img = png.toQImage();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const auto* p = reinterpret_cast<const uint8_t*>(rows[y].data()) + 3 * x;
        ASSERT_EQ(img.pixel(x, y), qRgba(p[0], p[1], p[2], 255)) << interlace << " " << x << "," << y;
      }
  }
}

TEST(QRNPNG, Restore16BitInterlacedWithAlpha) {
  const int w = 9, h = 5;
  std::vector<std::string> rows;
  for (int y = 0; y < h; ++y) {
    std::string r;
    for (int x = 0; x < w; ++x) r += std::string{char(x * 29), char(y * 61), char(x * y * 7), char(x * 20 + y)};
    rows.push_back(r);
  }
  std::string idat;
  for (const auto& pass : Adam7Passes(rows, w, 4)) idat += FilterRows(pass, 4, {kSub, kPaeth, kAvg});
  const std::string file = Signature() + IHDR(w, h, 8, 6, 1) + Chunk("sBIT", std::string{5, 6, 5, 8}) +
                           Chunk("IDAT", Deflate(idat)) + IEND();
  TQRNPNG png;
  png.Restore16Bit = true;
  ASSERT_EQ(LoadMessage(png, file), "");
  EXPECT_EQ(png.BitDepth, 16);
  EXPECT_TRUE(png.HasAlpha);
  ASSERT_EQ(png.Image()->GetPixelFormat(), PixelFormat::pf16bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const auto* p = reinterpret_cast<const uint8_t*>(rows[y].data()) + 4 * x;
      const uint8_t* s = png.Image()->ScanLine(y) + 2 * x;
      EXPECT_EQ(s[0] | s[1] << 8, (p[0] >> 3) << 11 | (p[1] >> 2) << 5 | (p[2] >> 3)) << x << "," << y;
      EXPECT_EQ(png.AlphaBitmap()->ScanLine(y)[x], 255 - p[3]) << x << "," << y;
    }
}

TEST(QRNPNG, AFailedLoadKeepsThePicture) {
  const std::string good = test::ReadFileBytes(test::TestData("png/pngsuite/cm0n0g04.png"));
  const std::string rgba = test::ReadFileBytes(test::TestData("png/pngsuite/basn6a08.png"));
  TQRNPNG png;
  ASSERT_EQ(LoadMessage(png, rgba), "");
  ASSERT_EQ(LoadMessage(png, good), "");
  EXPECT_FALSE(png.HasAlpha);
  EXPECT_TRUE(png.AlphaBitmap()->Empty());  // the previous picture's alpha went with it
  const QImage before = png.toQImage();
  const TPNGTime time = png.GetTime();
  for (const std::string& bad : {rgba.substr(0, rgba.size() - 30), std::string("\x89PNG\r\n\x1a\n", 8)}) {
    EXPECT_NE(LoadMessage(png, bad), "");
    EXPECT_EQ(png.toQImage(), before);
    EXPECT_EQ(png.GetTime(), time);
    EXPECT_FALSE(png.HasAlpha);
    EXPECT_TRUE(png.AlphaBitmap()->Empty());
  }
}

TEST(QRNPNG, NoDecodeEventWithoutPassword) {
  const std::string file = Signature() + IHDR(2, 2, 8, 0) + Chunk("tpNG", std::string("QRN3\1\0", 6)) +
                           Chunk("IDAT", Deflate(FilterRows(GreyRamp(2, 2), 1))) + IEND();
  TQRNPNG png;
  int calls = 0;
  png.OnDecode = [&](TQRNStreamBase&, uint8_t*, int, int, const std::string&) { ++calls; };
  ASSERT_EQ(LoadMessage(png, file), "");
  EXPECT_EQ(calls, 0);  // the default password is empty and no password event changes it
}

TEST(QRNPNG, ProgressHandOver) {
  const std::string good = Png(3, 9, 8, 0, FilterRows(GreyRamp(3, 9), 1));
  const std::string bad = good.substr(0, good.size() - 20);  // cut inside the IDAT
  for (const std::string* file : {&good, &bad}) {
    TQRNPNG png;
    int own = 0;
    png.Image()->OnProgress = [&](Bitmap&, ProgressStage, int) { ++own; };
    std::vector<int> seen;
    png.OnProgress = [&](Bitmap&, ProgressStage, int percent) { seen.push_back(percent); };
    const std::string err = LoadMessage(png, *file);
    EXPECT_EQ(err, file == &good ? "" : msg::kReadError);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0);
    if (file == &good) {
      EXPECT_EQ(seen.back(), 100);
    }
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(own, 0);
    ASSERT_TRUE(png.Image()->OnProgress);  // the image's own handler is back
    png.Image()->OnProgress(*png.Image(), ProgressStage::psRunning, 1);
    EXPECT_EQ(own, 1);
  }
}

TEST(QRNPNG, LoadFromFileRefusesWhatIsNotARegularFile) {
  TQRNPNG png;
  for (const char* path : {"/nonexistent/x.png", "/tmp", "/dev/null"}) {
    try {
      png.LoadFromFile(path);
      ADD_FAILURE() << path;
    } catch (const EQRNPNG& e) {
      EXPECT_STREQ(e.what(), msg::kNotPNGFormat) << path;
    }
  }
}

}  // namespace
}  // namespace yomira::qrn
