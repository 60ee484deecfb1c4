#include <gtest/gtest.h>

#include <QImage>

#include <cstring>
#include <functional>
#include <random>
#include <sstream>

#include "png/formats.h"
#include "png/qrnpng.h"
#include "tests/png/png_builder.h"
#include "tests/png/png_test_util.h"

namespace yomira::qrn {
namespace {

using namespace yomira::test::png;

// An 8-bit RGBA file; pixel (x, y) is (10x, 20y, x + y, alpha 30 + 40x + y).
std::string RgbaFile(int w, int h) {
  std::vector<std::string> rows;
  for (int y = 0; y < h; ++y) {
    std::string r;
    for (int x = 0; x < w; ++x) r += std::string{char(10 * x), char(20 * y), char(x + y), char(30 + 40 * x + y)};
    rows.push_back(r);
  }
  return Png(w, h, 8, 6, FilterRows(rows, 4));
}

// A grey and alpha file: grey 1 + x + 10y, alpha 200 - x.
std::string GreyAlphaFile(int w, int h) {
  std::vector<std::string> rows;
  for (int y = 0; y < h; ++y) {
    std::string r;
    for (int x = 0; x < w; ++x) r += std::string{char(1 + x + 10 * y), char(200 - x)};
    rows.push_back(r);
  }
  return Png(w, h, 8, 4, FilterRows(rows, 2));
}

// A bitmap's pixel rows as bytes (only the bytes of its pixels, not the padding).
std::string Rows(const Bitmap& b) {
  std::string out;
  const int64_t used = (int64_t{b.Width()} * b.BitCount() + 7) / 8;
  for (int y = 0; y < b.Height(); ++y) out.append(reinterpret_cast<const char*>(b.ScanLine(y)), used);
  return out;
}

Bitmap Filled(PixelFormat pf, int w, int h, uint8_t seed) {
  Bitmap b;
  b.SetPixelFormat(pf);
  b.SetSize(w, h);
  const int64_t used = (int64_t{w} * b.BitCount() + 7) / 8;
  for (int y = 0; y < h; ++y)
    for (int64_t i = 0; i < used; ++i) b.ScanLine(y)[i] = static_cast<uint8_t>(seed + 7 * y + i);
  return b;
}

template <typename T>
std::string Bytes(const T& v) {
  return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}

TEST(QRNPNGAssign, FieldsCopiedAndKept) {
  TQRNPNG src;
  ASSERT_EQ(LoadMessage(src, RgbaFile(3, 2)), "");
  ASSERT_TRUE(src.HasAlpha);
  src.CompressionLevel = 9;
  src.Filter = gpfPaeth;
  src.SetIDATSize(300);
  src.Interlace = gptAdam7;
  src.GrayScale = true;
  src.Comment = "note";
  src.BackgroundColor = 0x010203;
  src.TransColor = 0x040506;
  src.Gamma = 1.5;
  src.SignificantBits = 0x050505;
  src.PixelUnit = gpuInch;
  src.PixelsPerUnitX = 72;
  src.PixelsPerUnitY = 96;
  src.UseCurrentTime = false;
  src.SetTime(PNGTime(2001, 2, 3, 4, 5, 6));
  src.SetChrm(TPNGChromaticities{1, 2, 3, 4, 5, 6, 7, 8});
  src.SetGIFExt(TPNGGIFExtension{1, 1, 0x1234});
  src.Password = "pw";
  src.SkipMacBinary = false;
  src.Restore16Bit = true;
  src.OnPassword = [](TQRNStreamBase&, std::string&) {};
  src.OnEncode = [](TQRNStreamBase&, uint8_t*, int, int, const std::string&) {};
  src.OnDecode = [](TQRNStreamBase&, uint8_t*, int, int, const std::string&) {};

  struct Field {
    const char* name;
    bool copied;
    std::function<std::string(const TQRNPNG&)> get;
  };
  auto num = [](double v) {
    std::ostringstream s;
    s << v;
    return s.str();
  };
  const Field fields[] = {
      {"CompressionLevel", true, [&](const TQRNPNG& p) { return num(p.CompressionLevel); }},
      {"Filter", true, [&](const TQRNPNG& p) { return num(p.Filter); }},
      {"IDATSize", true, [&](const TQRNPNG& p) { return num(p.GetIDATSize()); }},
      {"Interlace", true, [&](const TQRNPNG& p) { return num(p.Interlace); }},
      {"GrayScale", true, [&](const TQRNPNG& p) { return num(p.GrayScale); }},
      {"Comment", true, [&](const TQRNPNG& p) { return p.Comment; }},
      {"BackgroundColor", true, [&](const TQRNPNG& p) { return num(p.BackgroundColor); }},
      {"TransColor", true, [&](const TQRNPNG& p) { return num(p.TransColor); }},
      {"Gamma", true, [&](const TQRNPNG& p) { return num(p.Gamma); }},
      {"SignificantBits", true, [&](const TQRNPNG& p) { return num(p.SignificantBits); }},
      {"PixelUnit", true, [&](const TQRNPNG& p) { return num(p.PixelUnit); }},
      {"PixelsPerUnitX", true, [&](const TQRNPNG& p) { return num(p.PixelsPerUnitX); }},
      {"PixelsPerUnitY", true, [&](const TQRNPNG& p) { return num(p.PixelsPerUnitY); }},
      {"UseCurrentTime", true, [&](const TQRNPNG& p) { return num(p.UseCurrentTime); }},
      {"Time", true, [&](const TQRNPNG& p) { return Bytes(p.GetTime()); }},
      {"Chrm", true, [&](const TQRNPNG& p) { return Bytes(p.GetChrm()); }},
      {"image pixels", true, [&](const TQRNPNG& p) { return Rows(*p.Image()); }},
      {"alpha pixels", true, [&](const TQRNPNG& p) { return Rows(*p.AlphaBitmap()); }},
      {"GIFExt", false, [&](const TQRNPNG& p) { return Bytes(p.GetGIFExt()); }},
      {"Password", false, [&](const TQRNPNG& p) { return p.Password; }},
      {"HasAlpha", false, [&](const TQRNPNG& p) { return num(p.HasAlpha); }},
      {"BitDepth", false, [&](const TQRNPNG& p) { return num(p.BitDepth); }},
      {"SkipMacBinary", false, [&](const TQRNPNG& p) { return num(p.SkipMacBinary); }},
      {"Restore16Bit", false, [&](const TQRNPNG& p) { return num(p.Restore16Bit); }},
      {"OnPassword", false, [&](const TQRNPNG& p) { return num(bool(p.OnPassword)); }},
      {"OnEncode", false, [&](const TQRNPNG& p) { return num(bool(p.OnEncode)); }},
      {"OnDecode", false, [&](const TQRNPNG& p) { return num(bool(p.OnDecode)); }},
  };

  TQRNPNG dest;
  std::vector<std::string> before;
  for (const auto& f : fields) {
    before.push_back(f.get(dest));
    ASSERT_NE(before.back(), f.get(src)) << f.name << ": the case cannot tell copied from kept";
  }
  dest.Assign(src);
  for (size_t i = 0; i < std::size(fields); ++i)
    EXPECT_EQ(fields[i].get(dest), fields[i].copied ? fields[i].get(src) : before[i]) << fields[i].name;

  // Deep copies: the source's bitmaps change alone.
  src.Image()->ScanLine(0)[0] ^= 0xFF;
  src.AlphaBitmap()->ScanLine(0)[0] ^= 0xFF;
  EXPECT_NE(Rows(*dest.Image()), Rows(*src.Image()));
  EXPECT_NE(Rows(*dest.AlphaBitmap()), Rows(*src.AlphaBitmap()));
  // Without HasAlpha the copied alpha bitmap does not show.
  EXPECT_EQ(qAlpha(dest.toQImage().pixel(1, 0)), 255);
}

TEST(QRNPNGAssign, ExternalReferencesAndTransparency) {
  Bitmap extImage = Filled(PixelFormat::pf24bit, 2, 2, 1), extAlpha = Filled(PixelFormat::pf8bit, 2, 2, 9);
  extImage.SetTransparent(true);
  TQRNPNG src;
  src.Assign(Filled(PixelFormat::pf8bit, 4, 1, 50));
  src.SetImage(&extImage);
  src.SetABmp(&extAlpha);
  ASSERT_TRUE(src.Transparent());

  TQRNPNG dest;
  Bitmap other = Filled(PixelFormat::pf24bit, 1, 1, 0);
  dest.SetImage(&other);
  dest.Assign(src);
  EXPECT_EQ(dest.Image(), &extImage);
  EXPECT_EQ(dest.AlphaBitmap(), &extAlpha);
  EXPECT_FALSE(dest.Transparent());  // taken from the own image, which is the source's own copy
  dest.SetImage(nullptr);
  EXPECT_EQ(Rows(*dest.Image()), Rows(Filled(PixelFormat::pf8bit, 4, 1, 50)));
  EXPECT_TRUE(Rows(other) == Rows(Filled(PixelFormat::pf24bit, 1, 1, 0)));

  dest.Assign(dest);  // itself: nothing changes
  EXPECT_EQ(dest.GetWidth(), 4);
  EXPECT_EQ(dest.AlphaBitmap(), &extAlpha);
}

TEST(QRNPNGAssign, FromBitmapAndQImageAndAssignTo) {
  TQRNPNG png;
  ASSERT_EQ(LoadMessage(png, GreyAlphaFile(3, 2)), "");
  const std::string alphaBefore = Rows(*png.AlphaBitmap());
  Bitmap ext = Filled(PixelFormat::pf24bit, 5, 5, 3);
  png.SetImage(&ext);

  Bitmap b = Filled(PixelFormat::pf4bit, 3, 3, 7);
  b.SetTransparent(true);
  png.Assign(b);
  EXPECT_NE(png.Image(), &ext);  // the external image is dropped
  EXPECT_EQ(png.Image()->GetPixelFormat(), PixelFormat::pf4bit);
  EXPECT_EQ(Rows(*png.Image()), Rows(b));
  EXPECT_TRUE(png.Transparent());
  EXPECT_EQ(Rows(*png.AlphaBitmap()), alphaBefore);  // a bitmap brings no alpha
  EXPECT_EQ(Rows(ext), Rows(Filled(PixelFormat::pf24bit, 5, 5, 3)));

  QImage q(2, 3, QImage::Format_RGB888);
  q.fill(qRgb(9, 8, 7));
  png.Assign(q);
  EXPECT_FALSE(png.Transparent());
  EXPECT_EQ(png.Image()->toQImage().convertToFormat(QImage::Format_RGB888), q);
  png.Assign(QImage());
  EXPECT_TRUE(png.GetEmpty());

  // AssignTo hands over Image: the external one when it is set.
  png.SetImage(&ext);
  Bitmap out;
  png.AssignTo(out);
  EXPECT_EQ(Rows(out), Rows(ext));
  TQRNPNG target;
  Bitmap targetExt = Filled(PixelFormat::pf8bit, 1, 1, 0);
  target.SetImage(&targetExt);
  png.AssignTo(target);
  EXPECT_NE(target.Image(), &targetExt);
  EXPECT_EQ(Rows(*target.Image()), Rows(ext));
}

TEST(QRNPNGExternal, SetImageAndSetABmpRules) {
  Bitmap a = Filled(PixelFormat::pf8bit, 2, 2, 1), b = Filled(PixelFormat::pf8bit, 2, 2, 2);
  TQRNPNG png;
  Bitmap* const ownImage = png.Image();
  Bitmap* const ownAlpha = png.AlphaBitmap();
  struct Step {
    const char* what;
    std::function<void()> act;
    Bitmap* image;
    Bitmap* alpha;
  } steps[] = {
      {"external alpha", [&] { png.SetABmp(&a); }, ownImage, &a},
      {"the alpha bitmap as image drops the alpha reference", [&] { png.SetImage(&a); }, &a, ownAlpha},
      {"the image as alpha is refused", [&] { png.SetABmp(&a); }, &a, ownAlpha},
      {"another alpha", [&] { png.SetABmp(&b); }, &a, &b},
      {"no image: the own one", [&] { png.SetImage(nullptr); }, ownImage, &b},
      {"the own image as alpha is refused", [&] { png.SetABmp(ownImage); }, ownImage, ownAlpha},
      {"the own alpha bitmap as image is the own image", [&] { png.SetImage(ownAlpha); }, ownImage, ownAlpha},
      {"no alpha", [&] {
         png.SetABmp(&b);
         png.SetABmp(nullptr);
       }, ownImage, ownAlpha},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(png.Image(), s.image) << s.what;
    EXPECT_EQ(png.AlphaBitmap(), s.alpha) << s.what;
  }

  // The graphic's Transparent follows the image set.
  a.SetTransparent(true);
  png.SetImage(&a);
  EXPECT_TRUE(png.Transparent());
  EXPECT_TRUE(a.Transparent());
  png.SetImage(nullptr);
  EXPECT_FALSE(png.Transparent());
  EXPECT_TRUE(a.Transparent());  // not written back
}

TEST(QRNPNGExternal, LoadFillsTheExternalBitmaps) {
  TQRNPNG png;
  Bitmap image, alpha;
  int imageChanges = 0;
  image.OnChange = [&](Bitmap&) { ++imageChanges; };
  png.SetImage(&image);
  png.SetABmp(&alpha);
  ASSERT_EQ(LoadMessage(png, RgbaFile(4, 3)), "");
  EXPECT_TRUE(png.HasAlpha);
  EXPECT_GT(imageChanges, 0);
  ASSERT_EQ(image.Width(), 4);
  ASSERT_EQ(alpha.Width(), 4);
  EXPECT_EQ(image.toQImage().pixel(3, 2), qRgb(30, 40, 5));
  EXPECT_EQ(alpha.ScanLine(2)[3], 255 - (30 + 120 + 2));
  EXPECT_EQ(png.toQImage().pixel(3, 2), qRgba(30, 40, 5, 152));

  png.SetImage(nullptr);
  png.SetABmp(nullptr);
  EXPECT_TRUE(png.GetEmpty());  // the own bitmaps were never filled
  EXPECT_TRUE(png.AlphaBitmap()->Empty());
}

TEST(QRNPNGAlpha, AssignAssignToAndFree) {
  TQRNPNG src;
  ASSERT_EQ(LoadMessage(src, GreyAlphaFile(3, 2)), "");
  const std::string srcAlpha = Rows(*src.AlphaBitmap());

  TQRNPNG png;
  Bitmap ext = Filled(PixelFormat::pf8bit, 1, 1, 4);
  png.SetABmp(&ext);
  png.AlphaBitmapAssign(src);
  EXPECT_NE(png.AlphaBitmap(), &ext);  // the reference is dropped, the bitmap left alone
  EXPECT_EQ(Rows(ext), Rows(Filled(PixelFormat::pf8bit, 1, 1, 4)));
  EXPECT_EQ(Rows(*png.AlphaBitmap()), srcAlpha);

  // From a graphic whose alpha bitmap is external: its own (empty) one is taken.
  TQRNPNG external;
  external.SetABmp(&ext);
  png.AlphaBitmapAssign(external);
  EXPECT_TRUE(png.AlphaBitmap()->Empty());

  png.AlphaBitmapAssign(&ext);
  EXPECT_EQ(Rows(*png.AlphaBitmap()), Rows(ext));

  Bitmap out = Filled(PixelFormat::pf24bit, 2, 2, 0);
  EXPECT_TRUE(png.AlphaBitmapAssignTo(&out));
  EXPECT_EQ(Rows(out), Rows(ext));
  EXPECT_TRUE(png.AlphaBitmapAssignTo(nullptr));

  png.FreeAlphaBitmap();
  Bitmap untouched = Filled(PixelFormat::pf24bit, 2, 2, 0);
  EXPECT_FALSE(png.AlphaBitmapAssignTo(&untouched));
  EXPECT_EQ(Rows(untouched), Rows(Filled(PixelFormat::pf24bit, 2, 2, 0)));

  // AssignTo reads the own alpha bitmap, never the external one.
  png.SetABmp(&ext);
  EXPECT_FALSE(png.AlphaBitmapAssignTo(&untouched));

  png.AlphaBitmapAssign(&ext);
  png.AlphaBitmapAssign(static_cast<const Bitmap*>(nullptr));
  EXPECT_TRUE(png.AlphaBitmap()->Empty());
}

TEST(QRNPNGResize, ContentTopLeftNewAreaZero) {
  TQRNPNG png;
  ASSERT_EQ(LoadMessage(png, GreyAlphaFile(3, 2)), "");
  int changes = 0;
  png.OnChange = [&](TQRNPNG&) { ++changes; };
  png.SetWidth(5);
  png.SetHeight(3);
  EXPECT_EQ(changes, 2);
  for (const Bitmap* b : {png.Image(), png.AlphaBitmap()}) {
    ASSERT_EQ(b->Width(), 5);
    ASSERT_EQ(b->Height(), 3);
  }
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const bool kept = x < 3 && y < 2;
      EXPECT_EQ(png.Image()->ScanLine(y)[x], kept ? 1 + x + 10 * y : 0) << x << "," << y;
      EXPECT_EQ(png.AlphaBitmap()->ScanLine(y)[x], kept ? 255 - (200 - x) : 0) << x << "," << y;
    }
  png.SetHeight(1);
  EXPECT_EQ(png.GetHeight(), 1);
  EXPECT_EQ(png.AlphaBitmap()->Height(), 1);
}

TEST(QRNPNGResize, EmptyBitmapsStayEmpty) {
  TQRNPNG png;
  ASSERT_EQ(LoadMessage(png, Png(3, 2, 8, 0, FilterRows(GreyRamp(3, 2), 1))), "");
  ASSERT_TRUE(png.AlphaBitmap()->Empty());
  png.SetWidth(6);
  EXPECT_EQ(png.GetWidth(), 6);
  EXPECT_TRUE(png.AlphaBitmap()->Empty());
  EXPECT_EQ(png.AlphaBitmap()->Width(), 0);

  TQRNPNG empty;
  empty.SetHeight(4);
  empty.SetWidth(4);
  EXPECT_TRUE(empty.GetEmpty());
}

TEST(QRNPNGResize, ShrinkThenGrowLeavesNoOldPixels) {
  // Sub-byte and three-byte pixels: the columns cut off share a byte or the row padding with
  // the kept ones, and must not come back.
  for (PixelFormat pf : {PixelFormat::pf1bit, PixelFormat::pf4bit, PixelFormat::pf8bit, PixelFormat::pf24bit}) {
    TQRNPNG png;
    Bitmap full = Filled(pf, 6, 2, 0xF1);
    png.Assign(full);
    png.SetWidth(3);
    png.SetWidth(6);
    Bitmap zero;
    zero.SetPixelFormat(pf);
    zero.SetSize(6, 2);
    const QImage shown = png.Image()->toQImage(), original = full.toQImage(), blank = zero.toQImage();
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 6; ++x)
        EXPECT_EQ(shown.pixel(x, y), (x < 3 ? original : blank).pixel(x, y)) << static_cast<int>(pf) << " " << x << "," << y;
  }
}

// One pixel's bits as stored, whatever the format.
uint32_t PixelBits(const Bitmap& b, int x, int y) {
  const uint8_t* row = b.ScanLine(y);
  switch (b.BitCount()) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 8: return row[x];
    case 15:
    case 16: return row[2 * x] | row[2 * x + 1] << 8;
    case 24: return row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
    default: return row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16 | uint32_t{row[4 * x + 3]} << 24;
  }
}

TEST(QRNPNGResize, SeededRandomResizesMatchAModel) {
  std::mt19937 rng(20261210);
  const PixelFormat formats[] = {PixelFormat::pf1bit,  PixelFormat::pf4bit,  PixelFormat::pf8bit, PixelFormat::pf15bit,
                                 PixelFormat::pf16bit, PixelFormat::pf24bit, PixelFormat::pf32bit};
  for (int round = 0; round < 300; ++round) {
    const PixelFormat pf = formats[rng() % 7];
    int w = 1 + static_cast<int>(rng() % 19), h = 1 + static_cast<int>(rng() % 9);
    Bitmap start;
    start.SetPixelFormat(pf);
    start.SetSize(w, h);
    // Every byte random, the padding included: resizing must not depend on it being zero.
    for (int y = 0; y < h; ++y)
      for (int64_t i = 0; i < start.Stride(); ++i) start.ScanLine(y)[i] = static_cast<uint8_t>(rng());
    std::vector<std::vector<uint32_t>> model(h, std::vector<uint32_t>(w));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) model[y][x] = PixelBits(start, x, y);
    TQRNPNG png;
    png.Assign(start);
    for (int step = 0; step < 4; ++step) {
      const bool width = rng() % 2;
      const int n = 1 + static_cast<int>(rng() % 24);
      width ? png.SetWidth(n) : png.SetHeight(n);
      const int nw = width ? n : w, nh = width ? h : n;
      std::vector<std::vector<uint32_t>> next(nh, std::vector<uint32_t>(nw, 0));
      for (int y = 0; y < std::min(h, nh); ++y)
        for (int x = 0; x < std::min(w, nw); ++x) next[y][x] = model[y][x];
      model = std::move(next), w = nw, h = nh;
      ASSERT_EQ(png.GetWidth(), w);
      ASSERT_EQ(png.GetHeight(), h);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(PixelBits(*png.Image(), x, y), model[y][x])
              << "round " << round << " step " << step << " format " << static_cast<int>(pf) << " at " << x << "," << y;
    }
  }
}

TEST(QRNPNGPalette, SetPaletteGoesToTheImage) {
  TQRNPNG png;
  Bitmap ext = Filled(PixelFormat::pf8bit, 2, 1, 0);
  png.SetImage(&ext);
  int changes = 0;
  png.OnChange = [&](TQRNPNG&) { ++changes; };
  const TQRNPalette pal = {TQRNPalRGB{1, 2, 3, 0}, TQRNPalRGB{4, 5, 6, 0}};
  png.SetPalette(pal);
  EXPECT_EQ(ext.Palette(), pal);
  EXPECT_EQ(png.GetPalette(), pal);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(png.toQImage().pixel(1, 0), qRgb(6, 5, 4));
}

TEST(FileFormats, LookupsAndUnregister) {
  struct Case {
    const char* ext;
    bool found;
  } cases[] = {{"png", true}, {".PNG", true}, {"Png", true}, {"bmp", false}, {"", false}, {".", false},
               {"..png", false}, {"pn", false}};
  for (const auto& c : cases) {
    const auto f = FindFileFormat(c.ext);
    ASSERT_EQ(f.has_value(), c.found) << c.ext;
    if (!f) continue;
    EXPECT_EQ(f->extension, "PNG");
    EXPECT_EQ(f->description, "PNG Format");
    ASSERT_TRUE(f->factory);
    const auto graphic = f->factory();
    ASSERT_TRUE(graphic);
    EXPECT_TRUE(graphic->GetEmpty());
  }

  // A later registration hides the earlier one; unregistering a class removes all its names.
  static constexpr GraphicFactory other = [] { return std::make_unique<TQRNPNG>(); };
  RegisterFileFormat(".png", "Other", other);
  RegisterFileFormat("apng", "Other", other);
  EXPECT_EQ(FindFileFormat("PNG")->description, "Other");
  EXPECT_TRUE(FindFileFormat("APNG").has_value());
  UnregisterGraphicClass(other);
  EXPECT_EQ(FindFileFormat("png")->description, "PNG Format");
  EXPECT_FALSE(FindFileFormat("apng").has_value());

  UnregisterGraphicClass(&NewQRNPNG);
  EXPECT_FALSE(FindFileFormat("png").has_value());
  RegisterFileFormat("PNG", "PNG Format", &NewQRNPNG);  // back for the other tests
  EXPECT_TRUE(FindFileFormat(".png").has_value());

  EXPECT_THROW(RegisterFileFormat(".", "x", other), std::invalid_argument);
  EXPECT_THROW(RegisterFileFormat("x", "x", nullptr), std::invalid_argument);
}

}  // namespace
}  // namespace yomira::qrn
