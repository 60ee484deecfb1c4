// The PNG writer: which chunks it writes and what they hold, the rows it writes, its
// failures, and what the reader and libpng make of its files.
#include "png/qrnpngwrite.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "png/errors.h"
#include "png/qrnpng.h"
#include "png/qrnpngread.h"
#include "tests/png/png_builder.h"
#include "tests/png/png_test_util.h"
#include "tests/png/png_write_util.h"
#include "tests/support/test_support.h"

namespace yomira::qrn {
namespace {

using namespace yomira::test::png;
using yomira::test::hex;

constexpr int32_t kIndex = 0x1000000;
constexpr const char* kWriteError = "Write Image (PNG): Write Error";

std::string Write(TQRNPNGWriteStream& w, Bitmap& b) {
  MemoryStream out;
  w.SaveToStream(&b, &out);
  return ToString(out.data());
}

// A few distinct pixels in every format: pixel x of row y gets (x + 2y) in each byte.
std::unique_ptr<Bitmap> Picture(PixelFormat f, int w = 4, int h = 3, TQRNPalette palette = {}) {
  const int bits = QRNBitCount(f);
  return MakeBitmap(f, w, h, std::move(palette), [=](uint8_t* row, int y) {
    const int64_t n = (int64_t{w} * bits + 7) / 8;
    for (int64_t i = 0; i < n; ++i) row[i] = static_cast<uint8_t>((i * 37 + y * 11) & 0xFF);
    if (bits <= 8) {  // keep indices inside a four-entry palette
      for (int64_t i = 0; i < n; ++i) row[i] &= bits == 8 ? 0x03 : bits == 4 ? 0x33 : 0xFF;
    }
  });
}

std::unique_ptr<Bitmap> AlphaFor(int w, int h, uint8_t base = 0x10) {
  return MakeBitmap(PixelFormat::pf8bit, w, h, {}, [=](uint8_t* row, int y) {
    for (int x = 0; x < w; ++x) row[x] = static_cast<uint8_t>(base + x * 9 + y * 40);
  });
}

// Black, blue, green, red. (Colour ints elsewhere hold red in the low byte.)
const TQRNPalette kFour = Palette({0x000000, 0x0000FF, 0x00FF00, 0xFF0000});

std::string IHDRDepthType(const std::vector<WrittenChunk>& chunks) {
  std::string d;
  if (!FindChunk(chunks, "IHDR", &d) || d.size() != 13) return "no IHDR";
  return std::to_string(static_cast<uint8_t>(d[8])) + "/" + std::to_string(static_cast<uint8_t>(d[9]));
}

// ---------------------------------------------------------------- chunk order

TEST(PngWrite, ChunkSequences) {
  struct Case {
    const char* name;
    std::function<void(TQRNPNG&)> setup;
    const char* sequence;
    std::function<void(const std::vector<WrittenChunk>&)> check;
  };
  const Case cases[] = {
      {"24-bit", [](TQRNPNG& p) { p.Image()->Assign(Picture(PixelFormat::pf24bit).get()); },
       "IHDR tIME tEXt(Software) tpNG gAMA IDAT IEND", nullptr},
      {"8-bit palette", [](TQRNPNG& p) { p.Image()->Assign(Picture(PixelFormat::pf8bit, 4, 3, kFour).get()); },
       "IHDR tIME tEXt(Software) tpNG gAMA PLTE IDAT IEND", nullptr},
      {"15-bit", [](TQRNPNG& p) { p.Image()->Assign(Picture(PixelFormat::pf15bit).get()); },
       "IHDR tIME tEXt(Software) tpNG gAMA sBIT IDAT IEND",
       [](const std::vector<WrittenChunk>& c) {
         std::string d;
         ASSERT_TRUE(FindChunk(c, "sBIT", &d));
         EXPECT_EQ(hex(d), "05 05 05");
       }},
      {"8-bit palette, every option",
       [](TQRNPNG& p) {
         p.Image()->Assign(Picture(PixelFormat::pf8bit, 4, 3, kFour).get());
         p.Comment = "c";
         p.SetGIFExt(TPNGGIFExtension{1, 0, 0x1234});
         p.SetChrm(TPNGChromaticities{31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000});
         p.SignificantBits = 0x030303;
         p.BackgroundColor = 1 | kIndex;
         p.TransColor = 2 | kIndex;
         p.PixelUnit = gpuInch;
         p.PixelsPerUnitX = p.PixelsPerUnitY = 72;
       },
       "IHDR tIME tEXt(Comment) tEXt(Software) tpNG gIFg gAMA cHRM sBIT PLTE bKGD tRNS pHYs IDAT IEND", nullptr},
      {"4-bit grey",
       [](TQRNPNG& p) {
         p.Image()->Assign(Picture(PixelFormat::pf4bit, 4, 3, kFour).get());
         p.GrayScale = true;
       },
       "IHDR tIME tEXt(Software) tpNG gAMA IDAT IEND",
       [](const std::vector<WrittenChunk>& c) { EXPECT_EQ(IHDRDepthType(c), "4/0"); }},
      {"8-bit, empty palette", [](TQRNPNG& p) { p.Image()->Assign(Picture(PixelFormat::pf8bit).get()); },
       "IHDR tIME tEXt(Software) tpNG gAMA PLTE IDAT IEND",
       [](const std::vector<WrittenChunk>& c) {
         std::string d;
         ASSERT_TRUE(FindChunk(c, "PLTE", &d));
         ASSERT_EQ(d.size(), 768u);
         for (int i = 0; i < 256; ++i)
           for (int k = 0; k < 3; ++k) ASSERT_EQ(static_cast<uint8_t>(d[3 * i + k]), i) << i;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TQRNPNG png;
    c.setup(png);
    const std::string file = Save(png);
    const auto chunks = WalkChunks(file);
    EXPECT_EQ(ChunkSequence(chunks), c.sequence);
    if (c.check) c.check(chunks);
    const LibpngImage lib = DecodeLibpng(file);
    EXPECT_TRUE(lib.ok);
    EXPECT_TRUE(lib.warnings.empty()) << lib.warnings.front();
  }
}

// ---------------------------------------------------------------- header

TEST(PngWrite, DepthAndColourType) {
  enum Alpha { kNone, kSame, kOtherSize, kNot8Bit, kItself };
  struct Case {
    PixelFormat format;
    Alpha alpha;
    bool grey;
    const char* depthType;
  };
  const Case cases[] = {
      {PixelFormat::pf24bit, kSame, false, "8/6"},    {PixelFormat::pf24bit, kOtherSize, false, "8/2"},
      {PixelFormat::pf24bit, kNot8Bit, false, "8/2"}, {PixelFormat::pf24bit, kNone, false, "8/2"},
      {PixelFormat::pf32bit, kNone, false, "8/2"},    {PixelFormat::pf32bit, kSame, false, "8/6"},
      {PixelFormat::pf15bit, kNone, false, "8/2"},    {PixelFormat::pf16bit, kSame, false, "8/6"},
      {PixelFormat::pf1bit, kNone, false, "1/3"},     {PixelFormat::pf4bit, kSame, false, "4/3"},
      {PixelFormat::pf8bit, kSame, false, "8/3"},     {PixelFormat::pf8bit, kItself, false, "8/3"},
      {PixelFormat::pf8bit, kSame, true, "8/4"},      {PixelFormat::pf4bit, kSame, true, "4/0"},
      {PixelFormat::pf1bit, kNone, true, "1/0"},      {PixelFormat::pf24bit, kSame, true, "8/4"},
      {PixelFormat::pf16bit, kNone, true, "8/0"},     {PixelFormat::pf32bit, kOtherSize, true, "8/0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(QRNBitCount(c.format)) + " alpha " + std::to_string(c.alpha) + " grey " +
                 std::to_string(c.grey));
    auto image = Picture(c.format, 5, 4, QRNBitCount(c.format) <= 8 ? kFour : TQRNPalette{});
    std::unique_ptr<Bitmap> alpha;
    if (c.alpha == kSame) alpha = AlphaFor(5, 4);
    if (c.alpha == kOtherSize) alpha = AlphaFor(5, 3);
    if (c.alpha == kNot8Bit) alpha = Picture(PixelFormat::pf24bit, 5, 4);
    TQRNPNGWriteStream w;
    w.GrayScale = c.grey;
    w.AlphaBitmap = c.alpha == kItself ? image.get() : alpha.get();
    const std::string file = Write(w, *image);
    EXPECT_EQ(IHDRDepthType(WalkChunks(file)), c.depthType);
    const LibpngImage lib = DecodeLibpng(file);
    ASSERT_TRUE(lib.ok);
    EXPECT_TRUE(lib.warnings.empty()) << lib.warnings.front();
    if (!c.grey && (QRNBitCount(c.format) > 8 || c.alpha != kSame)) {
      // What libpng reads is what the graphic shows.
      TQRNPNG shown;
      shown.Image()->Assign(image.get());
      if (alpha && c.alpha == kSame) {
        shown.AlphaBitmap()->Assign(alpha.get());
        shown.HasAlpha = true;
      }
      EXPECT_EQ(FirstDifference(lib, shown.toQImage()), "");
    }
  }
}

// ---------------------------------------------------------------- chunk contents

TEST(PngWrite, ChunkContents) {
  struct Case {
    const char* name;
    PixelFormat format;
    TQRNPalette palette;
    std::function<void(TQRNPNGWriteStream&)> setup;
    const char* chunk;     // as ChunkSequence names it
    const char* expected;  // hex of its data; nullptr: no such chunk
    bool libpngQuiet = true;  // libpng reads the file without a warning
  };
  auto timeAt = [](TPNGTime t) {
    return [t](TQRNPNGWriteStream& w) {
      static TPNGTime stored;
      stored = t;
      w.UseCurrentTime = false;
      w.Time = &stored;
    };
  };
  static const TPNGGIFExtension gif{1, 0, 0x1234}, noGif{};
  static const TPNGChromaticities chrm{31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000};
  static const TPNGChromaticities noWhite{0, 32900, 64000, 33000, 30000, 60000, 15000, 6000};
  auto none = [](TQRNPNGWriteStream&) {};
  const PixelFormat p1 = PixelFormat::pf1bit, p4 = PixelFormat::pf4bit, p8 = PixelFormat::pf8bit,
                    p15 = PixelFormat::pf15bit, p16 = PixelFormat::pf16bit, p24 = PixelFormat::pf24bit;
  const Case cases[] = {
      {"tIME second 60", p24, {}, timeAt(PNGTime(2024, 2, 29, 23, 59, 60)), "tIME", "07 E8 02 1D 17 3B 3C"},
      {"tIME second 61", p24, {}, timeAt(PNGTime(2024, 2, 29, 23, 59, 61)), "tIME", nullptr},
      {"tIME month 13", p24, {}, timeAt(PNGTime(2024, 13, 1, 0, 0, 0)), "tIME", nullptr},
      {"tIME year 0", p24, {}, timeAt(PNGTime(0, 1, 1, 0, 0, 0)), "tIME", nullptr},
      {"tIME none stored", p24, {}, [](TQRNPNGWriteStream& w) { w.UseCurrentTime = false; }, "tIME", nullptr},
      {"empty comment", p24, {}, none, "tEXt(Comment)", nullptr},
      {"comment", p24, {}, [](TQRNPNGWriteStream& w) { w.Comment = "a b"; }, "tEXt(Comment)",
       "43 6F 6D 6D 65 6E 74 00 61 20 62"},
      {"NUL in the comment", p24, {}, [](TQRNPNGWriteStream& w) { w.Comment = std::string("a\0b", 3); },
       "tEXt(Comment)", "43 6F 6D 6D 65 6E 74 00 61 20 62"},
      {"one trailing CR LF dropped", p24, {}, [](TQRNPNGWriteStream& w) { w.Comment = "a\r\n\r\n"; },
       "tEXt(Comment)", "43 6F 6D 6D 65 6E 74 00 61 0D 0A"},
      {"comment of CR LF only", p24, {}, [](TQRNPNGWriteStream& w) { w.Comment = "\r\n"; }, "tEXt(Comment)",
       nullptr},
      {"software", p24, {}, none, "tEXt(Software)",
       "53 6F 66 74 77 61 72 65 00 51 52 4E 50 4E 47 20 76 65 72 20 33 2E 34"},
      {"tpNG", p24, {}, none, "tpNG", "51 52 4E 33 00 00 00 00"},
      {"tpNG encoded", p24, {},
       [](TQRNPNGWriteStream& w) {
         w.Password = "pw";
         w.OnEncode = [](TQRNStreamBase&, uint8_t*, int, int, const std::string&) {};
       },
       "tpNG", "51 52 4E 33 01 00 00 00"},
      {"tpNG password without event", p24, {}, [](TQRNPNGWriteStream& w) { w.Password = "pw"; }, "tpNG",
       "51 52 4E 33 00 00 00 00"},
      {"tpNG event without password", p24, {},
       [](TQRNPNGWriteStream& w) { w.OnEncode = [](TQRNStreamBase&, uint8_t*, int, int, const std::string&) {}; },
       "tpNG", "51 52 4E 33 00 00 00 00"},
      {"gIFg in memory order", p24, {}, [](TQRNPNGWriteStream& w) { w.GIFExt = &gif; }, "gIFg", "01 00 34 12"},
      {"gIFg all zero", p24, {}, [](TQRNPNGWriteStream& w) { w.GIFExt = &noGif; }, "gIFg", nullptr},
      {"gamma default", p24, {}, none, "gAMA", "00 00 B1 8F"},
      // libpng finds so small a gamma out of range, but takes the file.
      {"gamma rounded", p24, {}, [](TQRNPNGWriteStream& w) { w.Gamma = 0.00007; }, "gAMA", "00 00 00 07", false},
      {"gamma 0", p24, {}, [](TQRNPNGWriteStream& w) { w.Gamma = 0; }, "gAMA", nullptr},
      {"gamma below one unit", p24, {}, [](TQRNPNGWriteStream& w) { w.Gamma = 0.000004; }, "gAMA", nullptr},
      {"gamma too large", p24, {}, [](TQRNPNGWriteStream& w) { w.Gamma = 1e9; }, "gAMA", nullptr},
      {"gamma NaN", p24, {}, [](TQRNPNGWriteStream& w) { w.Gamma = std::nan(""); }, "gAMA", nullptr},
      {"cHRM", p24, {}, [](TQRNPNGWriteStream& w) { w.Chrm = &chrm; }, "cHRM",
       "00 00 7A 26 00 00 80 84 00 00 FA 00 00 00 80 E8 00 00 75 30 00 00 EA 60 00 00 3A 98 00 00 17 70"},
      {"cHRM without white", p24, {}, [](TQRNPNGWriteStream& w) { w.Chrm = &noWhite; }, "cHRM", nullptr},
      {"sBIT option", p24, {}, [](TQRNPNGWriteStream& w) { w.SignificantBits = 0x030303; }, "sBIT", "03 03 03"},
      {"sBIT above 8", p24, {}, [](TQRNPNGWriteStream& w) { w.SignificantBits = 0x090909; }, "sBIT", nullptr},
      {"sBIT with a 0 byte", p24, {}, [](TQRNPNGWriteStream& w) { w.SignificantBits = 0x030003; }, "sBIT", nullptr},
      {"sBIT 15-bit against the option", p15, {}, [](TQRNPNGWriteStream& w) { w.SignificantBits = 0x030303; },
       "sBIT", "05 05 05"},
      {"sBIT 16-bit", p16, {}, none, "sBIT", "05 06 05"},
      {"sBIT grey", p24, {},
       [](TQRNPNGWriteStream& w) {
         w.GrayScale = true;
         w.SignificantBits = 0x030303;
       },
       "sBIT", nullptr},
      {"sBIT palette", p8, kFour, [](TQRNPNGWriteStream& w) { w.SignificantBits = 0x050607; }, "sBIT", "07 06 05"},
      {"PLTE cut to 2^bits", p1, kFour, none, "PLTE", "00 00 00 00 00 FF"},
      {"PLTE grey ramp", p4, {}, none, "PLTE",
       "00 00 00 11 11 11 22 22 22 33 33 33 44 44 44 55 55 55 66 66 66 77 77 77 88 88 88 99 99 99 AA AA AA BB BB "
       "BB CC CC CC DD DD DD EE EE EE FF FF FF"},
      {"PLTE grey mode", p8, kFour, [](TQRNPNGWriteStream& w) { w.GrayScale = true; }, "PLTE", nullptr},
      {"bKGD index", p8, kFour, [](TQRNPNGWriteStream& w) { w.BackgroundColor = 2 | kIndex; }, "bKGD", "02"},
      {"bKGD index past the palette", p8, kFour, [](TQRNPNGWriteStream& w) { w.BackgroundColor = 9 | kIndex; },
       "bKGD", nullptr},
      {"bKGD nearest entry", p8, kFour, [](TQRNPNGWriteStream& w) { w.BackgroundColor = 0x0000F0; }, "bKGD", "03"},
      {"bKGD colour", p24, {}, [](TQRNPNGWriteStream& w) { w.BackgroundColor = 0x332211; }, "bKGD",
       "00 11 00 22 00 33"},
      {"bKGD grey 8-bit", p8, {},
       [](TQRNPNGWriteStream& w) {
         w.GrayScale = true;
         w.BackgroundColor = 0x808080;
       },
       "bKGD", "00 80"},
      {"bKGD grey 4-bit", p4, {},
       [](TQRNPNGWriteStream& w) {
         w.GrayScale = true;
         w.BackgroundColor = 0x808080;
       },
       "bKGD", "00 08"},
      {"bKGD grey 1-bit", p1, {},
       [](TQRNPNGWriteStream& w) {
         w.GrayScale = true;
         w.BackgroundColor = 0x808080;
       },
       "bKGD", "00 01"},
      {"bKGD grey of a palette entry", p4, kFour,
       [](TQRNPNGWriteStream& w) {
         w.GrayScale = true;
         w.BackgroundColor = 2 | kIndex;  // green: Y 149, 4 bits 9
       },
       "bKGD", "00 09"},
      {"bKGD grey index past the palette", p4, kFour,
       [](TQRNPNGWriteStream& w) {
         w.GrayScale = true;
         w.BackgroundColor = 9 | kIndex;
       },
       "bKGD", nullptr},
      {"tRNS index", p8, kFour, [](TQRNPNGWriteStream& w) { w.TransColor = 2 | kIndex; }, "tRNS", "FF FF 00"},
      {"tRNS index past the palette", p8, kFour, [](TQRNPNGWriteStream& w) { w.TransColor = 9 | kIndex; }, "tRNS",
       nullptr},
      {"tRNS colour", p24, {}, [](TQRNPNGWriteStream& w) { w.TransColor = 0x0000FF; }, "tRNS", "00 FF 00 00 00 00"},
      {"tRNS grey 1-bit", p1, {},
       [](TQRNPNGWriteStream& w) {
         w.GrayScale = true;
         w.TransColor = 0;
       },
       "tRNS", "00 00"},
      {"pHYs inch 72", p24, {},
       [](TQRNPNGWriteStream& w) {
         w.PhysUnit = gpuInch;
         w.PhysX = w.PhysY = 72;
       },
       "pHYs", "00 00 0B 13 00 00 0B 13 01"},
      {"pHYs inch 96 by 300", p24, {},
       [](TQRNPNGWriteStream& w) {
         w.PhysUnit = gpuInch;
         w.PhysX = 96;
         w.PhysY = 300;
       },
       "pHYs", "00 00 0E C4 00 00 2E 23 01"},
      {"pHYs metre", p24, {},
       [](TQRNPNGWriteStream& w) {
         w.PhysUnit = gpuMeter;
         w.PhysX = 2834;
         w.PhysY = 100;
       },
       "pHYs", "00 00 0B 12 00 00 00 64 01"},
      {"pHYs aspect", p24, {},
       [](TQRNPNGWriteStream& w) {
         w.PhysX = 1;
         w.PhysY = 2;
       },
       "pHYs", "00 00 00 01 00 00 00 02 00"},
      {"pHYs with 0", p24, {},
       [](TQRNPNGWriteStream& w) {
         w.PhysX = 0;
         w.PhysY = 2;
       },
       "pHYs", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto image = Picture(c.format, 4, 3, c.palette);
    TQRNPNGWriteStream w;
    c.setup(w);
    const std::string file = Write(w, *image);
    const auto chunks = WalkChunks(file);
    const std::string* found = nullptr;
    for (const auto& k : chunks) {
      std::string name = k.type;
      if (k.type == "tEXt") name += "(" + k.data.substr(0, k.data.find('\0')) + ")";
      if (name == c.chunk) found = &k.data;
    }
    if (c.expected) {
      ASSERT_NE(found, nullptr);
      EXPECT_EQ(hex(*found), c.expected);
    } else {
      EXPECT_EQ(found, nullptr) << hex(*found);
    }
    const LibpngImage lib = DecodeLibpng(file);
    EXPECT_TRUE(lib.ok);
    if (c.libpngQuiet) {
      EXPECT_TRUE(lib.warnings.empty()) << lib.warnings.front();
    }
  }
}

TEST(PngWrite, PaletteGrowsToTheHighestIndexUsed) {
  // Index 5 on a two-entry palette shows opaque black; the file says so instead of naming
  // a missing entry.
  auto image = MakeBitmap(PixelFormat::pf4bit, 2, 1, Palette({0x0000FF, 0x00FF00}),
                          [](uint8_t* row, int) { row[0] = 0x15; });
  TQRNPNGWriteStream w;
  const std::string file = Write(w, *image);
  std::string plte;
  ASSERT_TRUE(FindChunk(WalkChunks(file), "PLTE", &plte));
  EXPECT_EQ(hex(plte), "00 00 FF 00 FF 00 00 00 00 00 00 00 00 00 00 00 00 00");
  const LibpngImage lib = DecodeLibpng(file);
  ASSERT_TRUE(lib.ok);
  EXPECT_TRUE(lib.warnings.empty());
  EXPECT_EQ(lib.pixel(0, 0), qRgb(0, 255, 0));
  EXPECT_EQ(lib.pixel(1, 0), qRgb(0, 0, 0));
}

TEST(PngWrite, GammaSurvivesLoadAndSave) {
  // Every stored value v comes back as v; truncation lost one for about one value in 19.
  int checked = 0;
  for (int v = 1; v <= 200000; v += 1 + v / 997) {
    const double gamma = v / 100000.0;
    if (static_cast<int>(gamma * 100000) == v && v % 13 != 0) continue;  // keep the cases that used to fail
    TQRNPNGWriteStream w;
    w.Gamma = gamma;
    auto image = Picture(PixelFormat::pf8bit, 1, 1);
    std::string d;
    ASSERT_TRUE(FindChunk(WalkChunks(Write(w, *image)), "gAMA", &d));
    ASSERT_EQ(hex(d), hex(Be32(static_cast<uint32_t>(v)))) << v;
    ++checked;
  }
  EXPECT_GT(checked, 20);
}

TEST(PngWrite, IDATSize) {
  TQRNPNGWriteStream w;
  EXPECT_EQ(Raised([&] { w.SetIDATSize(255); }), "Write PNG Param: Err IDAT Size(min:256  max:100000)");
  EXPECT_EQ(Raised([&] { w.SetIDATSize(100001); }), "Write PNG Param: Err IDAT Size(min:256  max:100000)");
  EXPECT_EQ(w.GetIDATSize(), 32768);
  w.SetIDATSize(256);
  w.CompressionLevel = 0;  // stored: large enough for several chunks
  auto image = Picture(PixelFormat::pf24bit, 40, 20);
  const std::string file = Write(w, *image);
  const auto chunks = WalkChunks(file);
  std::vector<size_t> sizes;
  for (const auto& c : chunks)
    if (c.type == "IDAT") sizes.push_back(c.data.size());
  ASSERT_GE(sizes.size(), 3u);
  for (size_t i = 0; i + 1 < sizes.size(); ++i) EXPECT_EQ(sizes[i], 256u) << i;
  EXPECT_GT(sizes.back(), 0u);
  EXPECT_LT(sizes.back(), 256u);
  EXPECT_EQ(InflatedRows(chunks).size(), 20u * (1 + 40 * 3));
}

// ---------------------------------------------------------------- rows

TEST(PngWrite, RowBytes) {
  struct Case {
    const char* name;
    PixelFormat format;
    int width;
    TQRNPalette palette;
    std::vector<int> pixels;  // the first row's bytes
    bool grey;
    bool alpha;  // an alpha bitmap whose first byte is 0x10 (alpha 0xEF)
    const char* row;  // filter byte and pixel bytes
  };
  const Case cases[] = {
      {"15-bit white", PixelFormat::pf15bit, 1, {}, {0xFF, 0x7F}, false, false, "00 FF FF FF"},
      {"15-bit widening", PixelFormat::pf15bit, 1, {}, {0x10, 0x7C}, false, false, "00 FF 00 84"},
      {"15-bit top bit ignored", PixelFormat::pf15bit, 1, {}, {0x00, 0x80}, false, false, "00 00 00 00"},
      {"16-bit widening", PixelFormat::pf16bit, 2, {}, {0xE0, 0xFF, 0x00, 0x04}, false, false,
       "00 FF FF 00 00 82 00"},
      {"24-bit to RGB", PixelFormat::pf24bit, 1, {}, {1, 2, 3}, false, false, "00 03 02 01"},
      {"32-bit drops its fourth byte", PixelFormat::pf32bit, 1, {}, {1, 2, 3, 4}, false, false, "00 03 02 01"},
      {"24-bit with alpha", PixelFormat::pf24bit, 1, {}, {1, 2, 3}, false, true, "00 03 02 01 EF"},
      {"16-bit with alpha", PixelFormat::pf16bit, 1, {}, {0xFF, 0xFF}, false, true, "00 FF FF FF EF"},
      {"24-bit grey", PixelFormat::pf24bit, 1, {}, {200, 150, 100}, true, false, "00 8C"},
      {"24-bit grey with alpha", PixelFormat::pf24bit, 1, {}, {200, 150, 100}, true, true, "00 8C EF"},
      {"15-bit grey", PixelFormat::pf15bit, 1, {}, {0xFF, 0x7F}, true, false, "00 FF"},
      {"1-bit with stray bits cleared", PixelFormat::pf1bit, 10, {}, {0xB0, 0xFF}, false, false, "00 B0 C0"},
      {"1-bit grey, white first: inverted", PixelFormat::pf1bit, 10, Palette({0xFFFFFF, 0x000000}), {0xB0, 0xC0},
       true, false, "00 4F 00"},
      {"1-bit grey, black first", PixelFormat::pf1bit, 10, Palette({0x000000, 0xFFFFFF}), {0xB0, 0xC0}, true,
       false, "00 B0 C0"},
      {"4-bit odd width", PixelFormat::pf4bit, 3, kFour, {0x12, 0x3F}, false, false, "00 12 30"},
      {"4-bit grey from the palette", PixelFormat::pf4bit, 3, Palette({0x0000FF, 0x00FF00}), {0x01, 0x10}, true,
       false, "00 19 90"},
      {"4-bit grey without palette", PixelFormat::pf4bit, 3, {}, {0x5A, 0xF0}, true, false, "00 5A F0"},
      {"8-bit grey with alpha", PixelFormat::pf8bit, 1, Palette({0xFF0000}), {0}, true, true, "00 4C EF"},
      {"8-bit palette keeps indices", PixelFormat::pf8bit, 2, kFour, {3, 1}, false, true, "00 03 01"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto image = MakeBitmap(c.format, c.width, 1, c.palette, [&](uint8_t* row, int) {
      for (size_t i = 0; i < c.pixels.size(); ++i) row[i] = static_cast<uint8_t>(c.pixels[i]);
    });
    auto alpha = MakeBitmap(PixelFormat::pf8bit, c.width, 1, {}, [](uint8_t* row, int) { row[0] = 0x10; });
    TQRNPNGWriteStream w;
    w.GrayScale = c.grey;
    if (c.alpha) w.AlphaBitmap = alpha.get();
    const std::string file = Write(w, *image);
    EXPECT_EQ(hex(InflatedRows(WalkChunks(file))), c.row);
    const LibpngImage lib = DecodeLibpng(file);
    EXPECT_TRUE(lib.ok);
    EXPECT_TRUE(lib.warnings.empty());
  }
}

TEST(PngWrite, Adam7PassesOfAThreeByThreePicture) {
  // Passes 2 and 3 hold no pixel and are skipped: rows of passes 1, 4, 5, 6, 6, 7.
  auto image = Picture(PixelFormat::pf8bit, 3, 3, kFour);
  TQRNPNGWriteStream w;
  w.Interlace = 1;
  w.Password = "pw";
  std::vector<std::pair<int, int>> rows;
  w.OnEncode = [&](TQRNStreamBase& sender, uint8_t*, int len, int lineno, const std::string& password) {
    EXPECT_NE(dynamic_cast<TQRNPNGWriteStream*>(&sender), nullptr);
    EXPECT_EQ(password, "pw");
    rows.emplace_back(lineno, len);
  };
  const std::string file = Write(w, *image);
  const std::vector<std::pair<int, int>> expected = {{0, 1}, {1, 1}, {2, 2}, {3, 1}, {4, 1}, {5, 3}};
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(InflatedRows(WalkChunks(file)).size(), 2u + 2 + 3 + 2 + 2 + 4);
  TQRNPNG back;
  ASSERT_EQ(LoadMessage(back, file), "");
  EXPECT_EQ(CompareImages(*image, *back.Image()), "");
}

// Adam7 re-packs sub-byte pixels from the top bit; every width up to 17 in both depths.
TEST(PngWrite, Adam7SubBytePixels) {
  for (PixelFormat f : {PixelFormat::pf1bit, PixelFormat::pf4bit}) {
    for (int w = 1; w <= 17; ++w) {
      SCOPED_TRACE(std::to_string(QRNBitCount(f)) + " bits, width " + std::to_string(w));
      auto image = MakeBitmap(f, w, 9, QRNBitCount(f) == 4 ? kFour : TQRNPalette{}, [&](uint8_t* row, int y) {
        for (int64_t i = 0; i < (int64_t{w} * QRNBitCount(f) + 7) / 8; ++i)
          row[i] = static_cast<uint8_t>((i * 0x5B + y * 0x3D) & (QRNBitCount(f) == 4 ? 0x33 : 0xFF));
      });
      TQRNPNGWriteStream wr;
      wr.Interlace = 1;
      wr.Filter = gpfJust;
      const std::string file = Write(wr, *image);
      TQRNPNG back;
      ASSERT_EQ(LoadMessage(back, file), "");
      EXPECT_EQ(CompareImages(*image, *back.Image()), "");
      TQRNPNG shown;
      shown.Image()->Assign(image.get());
      EXPECT_EQ(FirstDifference(DecodeLibpng(file), shown.toQImage()), "");
    }
  }
}

// ---------------------------------------------------------------- progress

TEST(PngWrite, ProgressFollowsTheRowCount) {
  // The row phase runs over GetTotalLineCount, which counts the rows of skipped passes: a
  // 3×3 Adam7 picture writes 6 of its 7 counted rows and never reports 99.
  struct Case {
    int w, h;
    bool adam7;
    std::vector<int> percents;
  };
  const Case cases[] = {
      {3, 3, false, {0, 29, 52, 75, 99, 100}},
      {3, 3, true, {0, 29, 39, 49, 59, 69, 79, 89, 100}},
      {2, 8, false, {0, 29, 46, 81, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + (c.adam7 ? " adam7" : ""));
    TQRNPNG png;
    png.Image()->Assign(Picture(PixelFormat::pf24bit, c.w, c.h).get());
    png.Interlace = c.adam7 ? gptAdam7 : gptNone;
    std::vector<int> seen;
    std::vector<ProgressStage> stages;
    png.OnProgress = [&](Bitmap&, ProgressStage s, int percent) {
      seen.push_back(percent);
      stages.push_back(s);
    };
    Save(png);
    EXPECT_EQ(seen, c.percents);
    ASSERT_FALSE(stages.empty());
    EXPECT_EQ(stages.front(), ProgressStage::psStarting);
    EXPECT_EQ(stages.back(), ProgressStage::psEnding);
  }
}

// ---------------------------------------------------------------- failures

// Takes `room` bytes, then refuses every write.
class FullStream : public Stream {
 public:
  explicit FullStream(int64_t room) : room_(room) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void*, int64_t n) override {
    const int64_t take = std::min(n, room_ - size_);
    if (take <= 0) return 0;
    size_ += take;
    return take;
  }
  int64_t Seek(int64_t) override { return size_; }
  int64_t Position() const override { return size_; }
  int64_t Size() const override { return size_; }

 private:
  int64_t room_;
  int64_t size_ = 0;
};

TEST(PngWrite, EmptyPictureWritesNothing) {
  TQRNPNG png;
  MemoryStream out;
  EXPECT_EQ(Raised([&] { png.SaveToStream(out); }), kWriteError);
  EXPECT_EQ(out.Size(), 0);
  png.Image()->SetPixelFormat(PixelFormat::pf8bit);
  png.Image()->SetSize(5, 0);
  EXPECT_EQ(Raised([&] { png.SaveToStream(out); }), kWriteError);
  EXPECT_EQ(out.Size(), 0);
  TQRNPNGWriteStream w;
  Bitmap empty;
  EXPECT_EQ(Raised([&] { w.SaveToStream(&empty, &out); }), kWriteError);
  EXPECT_EQ(out.Size(), 0);
}

TEST(PngWrite, RefusedWritesRaiseAndProgressIsPutBack) {
  auto big = MakeBitmap(PixelFormat::pf24bit, 300, 200, {}, [](uint8_t* row, int y) {
    for (int i = 0; i < 900; ++i) row[i] = static_cast<uint8_t>(i * 7 + y * y);
  });
  for (int64_t room : {0, 5, 40, 300, 20000}) {
    SCOPED_TRACE(room);
    TQRNPNG png;
    png.Image()->Assign(big.get());
    png.CompressionLevel = 0;
    png.SetIDATSize(256);
    int own = 0, graphic = 0;
    png.Image()->OnProgress = [&](Bitmap&, ProgressStage, int) { ++own; };
    png.OnProgress = [&](Bitmap&, ProgressStage, int) { ++graphic; };
    FullStream out(room);
    EXPECT_EQ(Raised([&] { png.SaveToStream(out); }), kWriteError);
    EXPECT_GT(graphic, 0);
    ASSERT_TRUE(static_cast<bool>(png.Image()->OnProgress));
    png.Image()->OnProgress(*png.Image(), ProgressStage::psRunning, 1);
    EXPECT_EQ(own, 1) << "the image's own handler is back";
  }
}

// ---------------------------------------------------------------- load and save

TEST(PngWrite, PaletteTransparencyFromTheAlphaBitmap) {
  TQRNPNG png;
  png.LoadFromFile(yomira::test::TestData("png/pngsuite/tm3n3p02.png").string());
  ASSERT_TRUE(png.HasAlpha);
  const std::string file = Save(png);
  std::string trns;
  ASSERT_TRUE(FindChunk(WalkChunks(file), "tRNS", &trns));
  EXPECT_EQ(hex(trns), "00 55 AA");
  TQRNPNG back;
  ASSERT_EQ(LoadMessage(back, file), "");
  EXPECT_TRUE(back.HasAlpha);
  EXPECT_EQ(CompareImages(*png.AlphaBitmap(), *back.AlphaBitmap()), "");
  EXPECT_EQ(FirstDifference(png.toQImage(), back.toQImage()), "");
}

TEST(PngWrite, PaletteAlphaTable) {
  struct Case {
    const char* name;
    std::vector<int> indices, alphas;  // per pixel of one row; alpha 255 is opaque
    int32_t transColor;
    const char* trns;  // nullptr: none
  };
  const Case cases[] = {
      // The first pixel of an index decides; later ones with other alpha do not.
      {"first pixel decides", {1, 1, 0}, {0x00, 0x80, 0xFF}, -1, "FF 00"},
      {"unused index opaque, table cut after the last", {0, 2, 3}, {0x00, 0xFF, 0xFF}, -1, "00"},
      {"all opaque: the key decides", {0, 1, 2}, {0xFF, 0xFF, 0xFF}, 1 | kIndex, "FF 00"},
      {"all opaque, no key", {0, 1, 2}, {0xFF, 0xFF, 0xFF}, -1, nullptr},
      {"alpha replaces the key", {0, 1, 2}, {0xFF, 0xFF, 0xAA}, 0 | kIndex, "FF FF AA"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int w = static_cast<int>(c.indices.size());
    TQRNPNG png;
    png.Image()->Assign(MakeBitmap(PixelFormat::pf8bit, w, 1, kFour, [&](uint8_t* row, int) {
                          for (int x = 0; x < w; ++x) row[x] = static_cast<uint8_t>(c.indices[x]);
                        }).get());
    png.AlphaBitmap()->Assign(MakeBitmap(PixelFormat::pf8bit, w, 1, {}, [&](uint8_t* row, int) {
                                for (int x = 0; x < w; ++x) row[x] = static_cast<uint8_t>(255 - c.alphas[x]);
                              }).get());
    png.HasAlpha = true;
    png.TransColor = c.transColor;
    std::string trns;
    const bool found = FindChunk(WalkChunks(Save(png)), "tRNS", &trns);
    if (c.trns) {
      ASSERT_TRUE(found);
      EXPECT_EQ(hex(trns), c.trns);
    } else {
      EXPECT_FALSE(found) << hex(trns);
    }
  }
}

TEST(PngWrite, CommentIsStableOverLoadAndSave) {
  const std::string file = Png(2, 2, 8, 0, FilterRows(GreyRamp(2, 2), 1), Chunk("tEXt", std::string("Comment\0a\r\n\r\nb", 14)));
  TQRNPNG png;
  ASSERT_EQ(LoadMessage(png, file), "");
  ASSERT_EQ(png.Comment, "a\r\n\r\nb\r\n");
  for (int cycle = 0; cycle < 2; ++cycle) {
    const std::string saved = Save(png);
    std::string text;
    ASSERT_TRUE(FindChunk(WalkChunks(saved), "tEXt", &text));
    EXPECT_EQ(text, std::string("Comment\0a\r\n\r\nb", 14));
    TQRNPNG again;
    ASSERT_EQ(LoadMessage(again, saved), "");
    EXPECT_EQ(again.Comment, "a\r\n\r\nb\r\n") << cycle;
    png.Comment = again.Comment;
  }
}

TEST(PngWrite, MetadataRoundTrip) {
  struct Case {
    const char* name;
    PixelFormat format;
    TQRNPalette palette;
    bool grey;
    int32_t background, trans;
    int32_t backgroundBack, transBack;
  };
  const Case cases[] = {
      {"colour", PixelFormat::pf24bit, {}, false, 0x112233, 0x445566, 0x112233, 0x445566},
      {"15-bit colour", PixelFormat::pf15bit, {}, false, 0x0000FF, 0xFF0000, 0x0000FF, 0xFF0000},
      {"palette index", PixelFormat::pf8bit, kFour, false, 2 | kIndex, 1 | kIndex, 2 | kIndex, 1 | kIndex},
      {"palette colour", PixelFormat::pf4bit, kFour, false, 0x0000FF, 0xFF0000, 3 | kIndex, 1 | kIndex},
      {"grey 8-bit", PixelFormat::pf8bit, {}, true, 0x808080, 0x404040, 0x808080, 0x404040},
      {"grey key from a palette index", PixelFormat::pf4bit, {}, true, 0xFFFFFF, 5 | kIndex, 15 | kIndex, 5 | kIndex},
      {"grey 1-bit", PixelFormat::pf1bit, {}, true, 0xFFFFFF, 0x000000, 1 | kIndex, 0 | kIndex},
      {"grey from colour", PixelFormat::pf24bit, {}, true, 0x0000FF, 0x00FF00, 0x4C4C4C, 0x959595},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TQRNPNG png;
    png.Image()->Assign(Picture(c.format, 4, 3, c.palette).get());
    png.GrayScale = c.grey;
    png.BackgroundColor = c.background;
    png.TransColor = c.trans;
    TQRNPNG back;
    ASSERT_EQ(LoadMessage(back, Save(png)), "");
    EXPECT_EQ(back.BackgroundColor, c.backgroundBack);
    EXPECT_EQ(back.TransColor, c.transBack);
    EXPECT_EQ(back.GrayScale, c.grey);
  }
}

TEST(PngWrite, RecordsRoundTrip) {
  TQRNPNG png;
  png.Image()->Assign(Picture(PixelFormat::pf24bit).get());
  png.SetGIFExt(TPNGGIFExtension{1, 0, 0x1234});
  png.SetChrm(TPNGChromaticities{31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000});
  png.SetTime(PNGTime(2001, 2, 3, 4, 5, 6));
  png.UseCurrentTime = false;
  png.Gamma = 1.0;
  png.SignificantBits = 0x070605;
  png.PixelUnit = gpuMeter;
  png.PixelsPerUnitX = 3000;
  png.PixelsPerUnitY = 4000;
  png.Comment = "x";
  const std::string file = Save(png);
  TQRNPNG back;
  ASSERT_EQ(LoadMessage(back, file), "");
  EXPECT_EQ(back.GetGIFExt(), png.GetGIFExt());
  EXPECT_EQ(back.GetChrm(), png.GetChrm());
  EXPECT_EQ(back.GetTime(), PNGTime(2001, 2, 3, 4, 5, 6));
  EXPECT_DOUBLE_EQ(back.Gamma, 1.0);
  EXPECT_EQ(back.SignificantBits, 0x070605);
  EXPECT_EQ(back.PixelUnit, gpuMeter);
  EXPECT_EQ(back.PixelsPerUnitX, 3000);
  EXPECT_EQ(back.PixelsPerUnitY, 4000);
  EXPECT_EQ(back.Comment, "x\r\n");

  // With UseCurrentTime on, the clock stamps the file whatever Time says.
  SetPNGClock([] { return std::time_t{951782400}; });  // 2000-02-29 00:00:00 UTC
  png.UseCurrentTime = true;
  const std::string stamped = Save(png);
  SetPNGClock(nullptr);
  ASSERT_EQ(LoadMessage(back, stamped), "");
  EXPECT_EQ(back.GetTime(), PNGTime(2000, 2, 29, 0, 0, 0));
}

// ---------------------------------------------------------------- events

TEST(PngWrite, EncodeEventAndPassword) {
  auto image = MakeBitmap(PixelFormat::pf24bit, 11, 9, {}, [](uint8_t* row, int y) {
    for (int i = 0; i < 33; ++i) row[i] = static_cast<uint8_t>(i * 29 + y * 71);
  });
  auto xorRow = [](TQRNStreamBase&, uint8_t* p, int n, int, const std::string& password) {
    EXPECT_EQ(password, "pw");
    for (int i = 0; i < n; ++i) p[i] ^= 0x5A;
  };
  TQRNPNG png;
  png.Image()->Assign(image.get());
  png.Filter = gpfPaeth;
  png.Interlace = gptAdam7;
  png.Password = "pw";
  png.OnEncode = xorRow;
  const std::string file = Save(png);
  std::string tpng;
  ASSERT_TRUE(FindChunk(WalkChunks(file), "tpNG", &tpng));
  EXPECT_EQ(static_cast<uint8_t>(tpng[4]), 1);

  TQRNPNG plain;
  plain.Image()->Assign(image.get());
  const QImage source = plain.toQImage();

  TQRNPNG back;
  back.Password = "pw";
  back.OnDecode = xorRow;
  int asked = 0;
  back.OnPassword = [&](TQRNStreamBase&, std::string& password) {
    ++asked;
    EXPECT_EQ(password, "pw");
  };
  ASSERT_EQ(LoadMessage(back, file), "");
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(FirstDifference(back.toQImage(), source), "");

  TQRNPNG without;
  without.Password = "pw";
  ASSERT_EQ(LoadMessage(without, file), "");
  EXPECT_NE(FirstDifference(without.toQImage(), source), "");
}

TEST(PngWrite, EmptyPasswordLeavesTheEventUncalled) {
  TQRNPNG png;
  png.Image()->Assign(Picture(PixelFormat::pf24bit).get());
  int calls = 0;
  png.OnEncode = [&](TQRNStreamBase&, uint8_t*, int, int, const std::string&) { ++calls; };
  const std::string file = Save(png);
  EXPECT_EQ(calls, 0);
  std::string tpng;
  ASSERT_TRUE(FindChunk(WalkChunks(file), "tpNG", &tpng));
  EXPECT_EQ(hex(tpng), "51 52 4E 33 00 00 00 00");
}

}  // namespace
}  // namespace yomira::qrn
