// Crafted files: every way the reader must fail, with its exact message, and the odd but
// valid files it must read. Each case runs under a short CTest timeout: a hang is a failure.
#include <gtest/gtest.h>

#include <QImage>

#include "png/errors.h"
#include "png/qrnpng.h"
#include "png/stream.h"
#include "tests/png/png_builder.h"
#include "tests/png/png_test_util.h"

namespace yomira::test::png {
namespace {

using qrn::TQRNPNG;
namespace msg = qrn::msg;

// A 4×3 grey-8 picture, rows filtered None, Sub, Up, Avg (Paeth for the last).
std::string GreyRows() { return FilterRows(GreyRamp(4, 3), 1, {kNone, kSub, kPaeth}); }
std::string GreyZ() { return Deflate(GreyRows()); }

void ExpectGreyRamp(const TQRNPNG& png) {
  ASSERT_EQ(png.GetWidth(), 4);
  ASSERT_EQ(png.GetHeight(), 3);
  const QImage img = png.toQImage();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const int v = (x + 3 * y) & 0xFF;
      EXPECT_EQ(img.pixel(x, y), qRgba(v, v, v, 255)) << x << "," << y;
    }
}

std::string WithTail(const std::string& body) { return Signature() + IHDR(4, 3, 8, 0) + body + IEND(); }

TEST(PngCrafted, EmptyAndOneByteIdatsDecode) {
  const std::string z = GreyZ();
  {
    const std::string file = WithTail(Chunk("IDAT", z.substr(0, 5)) + Chunk("IDAT", "") + Chunk("IDAT", z.substr(5)));
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, file), "");
    ExpectGreyRamp(png);
  }
  {
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, WithTail(Idats(z, 1))), "");
    ExpectGreyRamp(png);
  }
}

TEST(PngCrafted, ReadErrors) {
  const std::string z = GreyZ();
  std::string fdict = z;
  fdict[1] = 0x20;  // FLG with FDICT: 0x7820 is a multiple of 31
  fdict.insert(2, std::string("\0\0\0\1", 4));
  std::string badAdler = z;
  badAdler.back() = static_cast<char>(badAdler.back() ^ 0x55);
  const std::string full = WithTail(Chunk("IDAT", z));
  const size_t idatData = 8 + 25 + 8;
  struct Case {
    const char* name;
    std::string file;
  } cases[] = {
      {"split by tEXt", WithTail(Chunk("IDAT", z.substr(0, 6)) + Chunk("tEXt", std::string("a\0b", 3)) +
                                 Chunk("IDAT", z.substr(6)))},
      {"zlib ends before the last row", WithTail(Chunk("IDAT", Deflate(GreyRows().substr(0, 10))))},
      {"FDICT", WithTail(Chunk("IDAT", fdict))},
      {"bad Adler-32", WithTail(Chunk("IDAT", badAdler))},
      {"cut inside the IDAT", full.substr(0, idatData + 5)},
      {"filter byte 5", WithTail(Chunk("IDAT", Deflate(std::string("\5\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 15))))},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadMessage(c.file), msg::kReadError) << c.name;
}

TEST(PngCrafted, HeaderMissing) {
  const std::string z = GreyZ();
  EXPECT_EQ(LoadMessage(Signature() + Chunk("IDAT", z) + IHDR(4, 3, 8, 0) + IEND()), msg::kNoIHDR);
  EXPECT_EQ(LoadMessage(Signature() + IEND()), msg::kNoIHDR);
  // IHDR must be the first chunk, whatever comes before it.
  EXPECT_EQ(LoadMessage(Signature() + Chunk("sRGB", std::string(1, '\0')) + IHDR(4, 3, 8, 0) + Chunk("IDAT", z) + IEND()),
            msg::kNoIHDR);
  EXPECT_EQ(LoadMessage(Signature() + Chunk("prVt", "x") + IHDR(4, 3, 8, 0) + Chunk("IDAT", z) + IEND()),
            msg::kNoIHDR);
  EXPECT_EQ(LoadMessage(Signature() + IHDR(4, 3, 8, 0) + Chunk("sRGB", std::string(1, '\0')) + Chunk("IDAT", z) +
                        IEND()),
            "");
  EXPECT_EQ(LoadMessage(Signature() + IHDR(4, 3, 8, 0) + IEND()), msg::kNoIDAT);
  EXPECT_EQ(LoadMessage(Signature() + IHDR(4, 3, 8, 0) + Chunk("IDAT", z) + IHDR(4, 3, 8, 0) + IEND()),
            msg::kTwoIHDR);
  EXPECT_EQ(LoadMessage(Signature() + IHDR(4, 3, 8, 0) + IHDR(4, 3, 8, 0) + Chunk("IDAT", z) + IEND()),
            msg::kTwoIHDR);
}

TEST(PngCrafted, PaletteMissing) {
  const std::string z = Deflate(FilterRows({std::string("\0\1", 2)}, 1));
  EXPECT_EQ(LoadMessage(Signature() + IHDR(2, 1, 8, 3) + Chunk("IDAT", z) + IEND()), msg::kNoPLTE);
  EXPECT_EQ(LoadMessage(Signature() + IHDR(2, 1, 8, 3) + Chunk("PLTE", "") + Chunk("IDAT", z) + IEND()), msg::kNoPLTE);
  EXPECT_EQ(LoadMessage(Signature() + IHDR(2, 1, 8, 3) + Chunk("PLTE", "ab") + Chunk("IDAT", z) + IEND()), msg::kNoPLTE);
  EXPECT_EQ(LoadMessage(Signature() + IHDR(2, 1, 8, 3) + Chunk("PLTE", "abc") + Chunk("IDAT", z) + IEND()), "");
}

TEST(PngCrafted, HeaderFieldErrors) {
  const std::string z = GreyZ();
  auto file = [&](const std::string& ihdrData) {
    return Signature() + Chunk("IHDR", ihdrData) + Chunk("IDAT", z) + IEND();
  };
  for (int ct : {1, 5, 7, 8, 9, 10, 11, 12, 14, 15})
    EXPECT_EQ(LoadMessage(file(IHDRData(4, 3, 8, ct))), msg::kErrColorType) << ct;
  EXPECT_EQ(LoadMessage(file(IHDRData(4, 3, 8, 0, 0, 2))), msg::kNoCompression);
  EXPECT_EQ(LoadMessage(file(IHDRData(4, 3, 8, 0, 0, 0, 2))), msg::kNoFilter);
  EXPECT_EQ(LoadMessage(file(IHDRData(4, 3, 8, 0, 2))), msg::kNoInterlace);
  // Method 1 is let through, as the original reader did.
  EXPECT_EQ(LoadMessage(file(IHDRData(4, 3, 8, 0, 0, 1, 1))), "");
  EXPECT_EQ(LoadMessage(file(IHDRData(4, 3, 4, 4))), msg::kNoAlphaChannel);
  EXPECT_EQ(LoadMessage(file(IHDRData(4, 3, 3, 0))), msg::kErrGreyBitdepth);
  EXPECT_EQ(LoadMessage(file(IHDRData(4, 3, 4, 2))), msg::kErrBitDepth);
  EXPECT_EQ(LoadMessage(file(IHDRData(4, 3, 16, 3))), msg::kErrBitDepth);
}

TEST(PngCrafted, SizeBounds) {
  const std::string z = GreyZ();
  for (auto [w, h] : {std::pair<uint32_t, uint32_t>{0, 3}, {4, 0}, {0x80000000u, 1}, {1, 0x80000000u},
                      {8193, 4096}, {0xFFFFFFFFu, 0xFFFFFFFFu}})
    EXPECT_EQ(LoadMessage(Signature() + IHDR(w, h, 8, 0) + Chunk("IDAT", z) + IEND()), msg::kErrSize)
        << w << "x" << h;
}

TEST(PngCrafted, SizeCapIsInclusive) {
  // 8192 × 4096 × 4 is exactly the cap.
  const std::string row(1 + 1024, '\0');
  std::string raw;
  for (int y = 0; y < 4096; ++y) raw += row;
  TQRNPNG png;
  ASSERT_EQ(LoadMessage(png, Signature() + IHDR(8192, 4096, 1, 0) + Chunk("IDAT", Deflate(raw, 9)) + IEND()), "");
  EXPECT_EQ(png.GetWidth(), 8192);
  EXPECT_EQ(png.GetHeight(), 4096);
  EXPECT_EQ(png.Image()->ScanLine(4095)[1023], 0);
}

TEST(PngCrafted, PngBomb) {
  // A 100-byte IDAT cannot hold 64 MiB of rows: refused before the bitmap is allocated.
  const std::string idat = Chunk("IDAT", std::string(100, 'x'));
  EXPECT_EQ(LoadMessage(Signature() + IHDR(65535, 65535, 8, 6) + idat + IEND()), msg::kErrSize);
  EXPECT_EQ(LoadMessage(Signature() + IHDR(4096, 4096, 8, 6) + idat + IEND()), msg::kErrSize);
}

TEST(PngCrafted, LengthErrors) {
  const std::string z = GreyZ();
  EXPECT_EQ(LoadMessage(Signature() + IHDR(4, 3, 8, 0) + ChunkWithLength(0x80000000u, "tEXt", "a") + IEND()),
            msg::kErrLength);
  EXPECT_EQ(LoadMessage(Signature() + Chunk("IHDR", IHDRData(4, 3, 8, 0).substr(0, 12)) + Chunk("IDAT", z) + IEND()),
            msg::kErrLength);
  EXPECT_EQ(LoadMessage(Signature() + Chunk("IHDR", IHDRData(4, 3, 8, 0) + "x") + Chunk("IDAT", z) + IEND()),
            msg::kErrLength);
}

TEST(PngCrafted, BadCrcs) {
  const std::string z = GreyZ();
  {
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, WithTail(ChunkBadCrc("tEXt", std::string("Comment\0hi", 10)) + Chunk("IDAT", z))), "");
    EXPECT_EQ(png.Comment, "");
    ExpectGreyRamp(png);
  }
  const std::string palZ = Deflate(FilterRows({std::string("\0\1", 2)}, 1));
  EXPECT_EQ(LoadMessage(Signature() + IHDR(2, 1, 8, 3) + ChunkBadCrc("PLTE", "abcdef") + Chunk("IDAT", palZ) + IEND()),
            msg::kCRCError);
  EXPECT_EQ(LoadMessage(Signature() + IHDR(4, 3, 8, 0) + Chunk("IDAT", z) + ChunkBadCrc("IEND", "")), msg::kCRCError);
  EXPECT_EQ(LoadMessage(Signature() + IHDR(4, 3, 8, 0) + ChunkBadCrc("IDAT", z) + IEND()), msg::kCRCError);
  // The CRC of an IDAT is checked even when the decoder stops inside it.
  EXPECT_EQ(LoadMessage(Signature() + IHDR(4, 3, 8, 0) + ChunkBadCrc("IDAT", z + "junk") + IEND()), msg::kCRCError);
  // An unknown critical chunk is skipped, but its CRC must hold.
  EXPECT_EQ(LoadMessage(WithTail(Chunk("ABCD", "xyz") + Chunk("IDAT", z))), "");
  EXPECT_EQ(LoadMessage(WithTail(ChunkBadCrc("ABCD", "xyz") + Chunk("IDAT", z))), msg::kCRCError);
  EXPECT_EQ(LoadMessage(WithTail(ChunkBadCrc("abCD", "xyz") + Chunk("IDAT", z))), "");
}

TEST(PngCrafted, IgnoredAncillaryChunksLeaveResetValues) {
  const std::string z = GreyZ();
  const std::string palZ = Deflate(FilterRows({std::string("\0\1", 2)}, 1));
  struct Case {
    const char* name;
    std::string file;
  } cases[] = {
      {"empty tRNS", Signature() + IHDR(2, 1, 8, 3) + Chunk("PLTE", "abcdef") + Chunk("tRNS", "") +
                         Chunk("IDAT", palZ) + IEND()},
      {"tRNS before PLTE", Signature() + IHDR(2, 1, 8, 3) + Chunk("tRNS", std::string("\0", 1)) +
                               Chunk("PLTE", "abcdef") + Chunk("IDAT", palZ) + IEND()},
      {"empty tEXt", WithTail(Chunk("tEXt", "") + Chunk("IDAT", z))},
      {"bKGD of 1 byte on grey", WithTail(Chunk("bKGD", "\x01") + Chunk("IDAT", z))},
      {"bKGD of 0 bytes", WithTail(Chunk("bKGD", "") + Chunk("IDAT", z))},
      {"gAMA of 0 bytes", WithTail(Chunk("gAMA", "") + Chunk("IDAT", z))},
      {"gAMA of 3 bytes", WithTail(Chunk("gAMA", "abc") + Chunk("IDAT", z))},
      {"pHYs unit 2", WithTail(Chunk("pHYs", Be32(100) + Be32(200) + "\x02") + Chunk("IDAT", z))},
      {"tRNS of 1 byte on grey", WithTail(Chunk("tRNS", "\x01") + Chunk("IDAT", z))},
      {"sBIT of 2 bytes", Signature() + IHDR(2, 1, 8, 2) + Chunk("sBIT", "\5\5") +
                              Chunk("IDAT", Deflate(FilterRows({std::string(6, 'a')}, 3))) + IEND()},
  };
  for (const auto& c : cases) {
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, c.file), "") << c.name;
    EXPECT_FALSE(png.GetEmpty()) << c.name;
    EXPECT_EQ(png.TransColor, -1) << c.name;
    EXPECT_FALSE(png.Image()->Transparent()) << c.name;
    EXPECT_FALSE(png.HasAlpha) << c.name;
    EXPECT_EQ(png.BackgroundColor, -1) << c.name;
    EXPECT_EQ(png.Gamma, 0.0) << c.name;
    EXPECT_EQ(png.Comment, "") << c.name;
    EXPECT_EQ(png.PixelUnit, qrn::gpuAspect) << c.name;
    EXPECT_EQ(png.PixelsPerUnitX, 0) << c.name;
    EXPECT_EQ(png.SignificantBits, 0) << c.name;
  }
}

TEST(PngCrafted, KeyWithoutIendAndMaskedKey) {
  const std::string z = GreyZ();
  {
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, Signature() + IHDR(4, 3, 8, 0) + Chunk("tRNS", Be16(5)) + Chunk("IDAT", z)), "");
    EXPECT_TRUE(png.Image()->Transparent());
    EXPECT_EQ(png.TransColor, 0x050505);
    EXPECT_EQ(png.Image()->TransparentColor(), 0x050505);
    EXPECT_EQ(qAlpha(PixelAt(png, 2, 1)), 0);  // (2 + 3) = 5
    EXPECT_EQ(qAlpha(PixelAt(png, 1, 1)), 255);
  }
  {
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, WithTail(Chunk("tRNS", Be16(0x0100)) + Chunk("IDAT", z))), "");
    EXPECT_TRUE(png.Image()->Transparent());
    EXPECT_EQ(png.TransColor, 0x000000);
    EXPECT_EQ(qAlpha(PixelAt(png, 0, 0)), 0);
  }
}

TEST(PngCrafted, PaletteTransparencyResolution) {
  // Pixels 0, 1, 2 over a 3-entry palette.
  const std::string z = Deflate(FilterRows({std::string("\0\1\2", 3)}, 1));
  auto file = [&](const std::string& trns) {
    return Signature() + IHDR(3, 1, 8, 3) + Chunk("PLTE", "abcdefghi") + Chunk("tRNS", trns) + Chunk("IDAT", z) +
           IEND();
  };
  {
    // One entry 0, all other 255 of the 256: a single transparent index, no alpha bitmap.
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, file(std::string("\xff\x00", 2))), "");
    EXPECT_EQ(png.TransColor, 0x1000001);
    EXPECT_TRUE(png.Image()->Transparent());
    EXPECT_FALSE(png.HasAlpha);
    EXPECT_TRUE(png.AlphaBitmap()->Empty());
    const QImage img = png.toQImage();
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(img.pixel(1, 0)), 0);
    EXPECT_EQ(qAlpha(img.pixel(2, 0)), 255);
  }
  for (const std::string& trns : {std::string("\0\0", 2), std::string("\xff\x80", 2)}) {
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, file(trns)), "");
    EXPECT_EQ(png.TransColor, -1);
    EXPECT_TRUE(png.HasAlpha);
    EXPECT_FALSE(png.Image()->Transparent());
    ASSERT_FALSE(png.AlphaBitmap()->Empty());
    EXPECT_EQ(png.AlphaBitmap()->ScanLine(0)[0], 255 - static_cast<uint8_t>(trns[0]));
    EXPECT_EQ(png.AlphaBitmap()->ScanLine(0)[1], 255 - static_cast<uint8_t>(trns[1]));
    EXPECT_EQ(png.AlphaBitmap()->ScanLine(0)[2], 0);
    EXPECT_EQ(qAlpha(PixelAt(png, 1, 0)), static_cast<uint8_t>(trns[1]));
  }
  {
    // A table longer than the palette keeps its first entries.
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, file(std::string("\xff\xff\x00\x00\x00", 5))), "");
    EXPECT_EQ(png.TransColor, 0x1000002);
  }
}

TEST(PngCrafted, MisplacedAncillaryChunksAreIgnored) {
  const std::string palZ = Deflate(FilterRows({std::string("\0\1", 2)}, 1));
  {
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, Signature() + IHDR(2, 1, 8, 3) + Chunk("PLTE", "abcdef") + Chunk("gAMA", Be32(50000)) +
                                   Chunk("IDAT", palZ) + IEND()),
              "");
    EXPECT_EQ(png.Gamma, 0.0);
  }
  {
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, WithTail(Chunk("tIME", Be16(2001) + std::string{1, 2, 3, 4, 5, 6}) +
                                        Chunk("IDAT", GreyZ()))),
              "");
    EXPECT_EQ(png.GetTime(), qrn::TPNGTime{});
  }
  {
    // tRNS on a picture with an alpha channel.
    const std::string rgba = Deflate(FilterRows({std::string("\1\2\3\4", 4)}, 4));
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, Signature() + IHDR(1, 1, 8, 6) + Chunk("tRNS", Be16(1) + Be16(2) + Be16(3)) +
                                   Chunk("IDAT", rgba) + IEND()),
              "");
    EXPECT_EQ(png.TransColor, -1);
    EXPECT_EQ(PixelAt(png, 0, 0), qRgba(1, 2, 3, 4));
  }
  {
    // Chunks after the image: the metadata guards leave them out.
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, Signature() + IHDR(4, 3, 8, 0) + Chunk("IDAT", GreyZ()) + Chunk("gAMA", Be32(50000)) +
                                   Chunk("bKGD", Be16(7)) + Chunk("tEXt", std::string("Comment\0late", 12)) + IEND()),
              "");
    EXPECT_EQ(png.Gamma, 0.0);
    EXPECT_EQ(png.BackgroundColor, -1);
    EXPECT_EQ(png.Comment, "late\r\n");  // tEXt is taken anywhere
  }
}

TEST(PngCrafted, MacBinaryHeader) {
  const std::string file = WithTail(Chunk("IDAT", GreyZ()));
  std::string mac(128, 'M');
  mac[0] = 0;
  mac[74] = 0;
  {
    TQRNPNG png;
    ASSERT_EQ(LoadMessage(png, mac + file), "");
    ExpectGreyRamp(png);
  }
  {
    TQRNPNG png;
    png.SkipMacBinary = false;
    EXPECT_EQ(LoadMessage(png, mac + file), msg::kNotPNGFormat);
  }
  mac[74] = 1;  // not a MacBinary header: read from byte 0
  EXPECT_EQ(LoadMessage(mac + file), msg::kNotPNGFormat);
  EXPECT_EQ(LoadMessage(""), msg::kNotPNGFormat);
  EXPECT_EQ(LoadMessage(file.substr(0, 7)), msg::kNotPNGFormat);
}

TEST(PngCrafted, PrivateChunkAsksForPasswordOnlyWhenFlagged) {
  const std::string z = GreyZ();
  struct Case {
    std::string data;
    int calls;
  } cases[] = {{"QRN3", 0}, {std::string("QRN3\1", 5), 1}, {std::string("QRN3\0", 5), 0},
               {std::string("QRN3\1\0\0\0", 8), 1}, {std::string("XXXX\1\0", 6), 0}, {"QR", 0}};
  for (const auto& c : cases) {
    TQRNPNG png;
    png.Password = "pw";
    int calls = 0;
    png.OnPassword = [&](qrn::TQRNStreamBase&, std::string& password) {
      ++calls;
      EXPECT_EQ(password, "pw");
    };
    ASSERT_EQ(LoadMessage(png, WithTail(Chunk("tpNG", c.data) + Chunk("tpNG", std::string("QRN3\1", 5)) +
                                        Chunk("IDAT", z))),
              "");
    // Only the first tpNG counts.
    EXPECT_EQ(calls, c.calls) << c.data.size();
    ExpectGreyRamp(png);
  }
}

TEST(PngCrafted, Adam7SinglePixelFromPassOne) {
  TQRNPNG png;
  const std::string raw = FilterRows({std::string("\x80", 1)}, 1);
  ASSERT_EQ(LoadMessage(png, Signature() + IHDR(1, 1, 8, 0, 1) + Chunk("IDAT", Deflate(raw)) + IEND()), "");
  EXPECT_EQ(png.Interlace, qrn::gptAdam7);
  EXPECT_EQ(PixelAt(png, 0, 0), qRgba(0x80, 0x80, 0x80, 255));
}

TEST(PngCrafted, ChunksAfterTheImageRunningPastTheEndAreTolerated) {
  // A cut ancillary chunk after the image ends the walk; the picture stays.
  const std::string z = GreyZ();
  TQRNPNG png;
  ASSERT_EQ(LoadMessage(png, Signature() + IHDR(4, 3, 8, 0) + Chunk("IDAT", z) + ChunkWithLength(1000, "tEXt", "x")), "");
  ExpectGreyRamp(png);
}

}  // namespace
}  // namespace yomira::test::png
