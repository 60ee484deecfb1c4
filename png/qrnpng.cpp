#include "png/qrnpng.h"

#include <QImage>

#include "png/qrnpngread.h"

namespace yomira::qrn {

TQRNPNG::TQRNPNG()
    : ownAlpha_(std::make_unique<Bitmap>()), ownImage_(std::make_unique<Bitmap>()), time_(SystemPNGTime()) {}

TQRNPNG::~TQRNPNG() = default;

void TQRNPNG::SetIDATSize(int n) {
  if (n < 256 || n > 100000) RaisePNG(msg::kErrIDATSize);
  IDATSize_ = n;
}

void TQRNPNG::LoadFromStream(Stream& stream) {
  TQRNPNGReadStream reader;
  reader.DefaultPassword = Password;
  reader.OnDecode = OnDecode;
  reader.OnPassword = OnPassword;
  reader.SkipMacBinary = SkipMacBinary;
  reader.Restore16Bit = Restore16Bit;
  // The picture is decoded aside and taken over only when the read succeeded: a failed load
  // leaves the image, the alpha bitmap and the metadata as they were (the original emptied
  // them first). The image's own progress handler is used unless this graphic has one, and is
  // never swapped out, so it cannot be lost on a failure.
  TPNGTime time = time_;
  TPNGChromaticities chrm = chrm_;
  TPNGGIFExtension gifExt = gifExt_;
  reader.TimeTarget = &time;
  reader.ChrmTarget = &chrm;
  reader.GIFExtTarget = &gifExt;
  Bitmap decoded, alpha;
  decoded.OnProgress = OnProgress ? OnProgress : Image()->OnProgress;
  reader.AlphaBitmap = &alpha;

  reader.LoadFromStream(&decoded, &stream, 0);

  time_ = time;
  chrm_ = chrm;
  gifExt_ = gifExt;
  Bitmap* image = Image();
  image->TakeFrom(decoded);
  ownAlpha_->Assign(nullptr);
  if (!alpha.Empty()) GetAlphaBitmap()->TakeFrom(alpha);
  HasAlpha = reader.HasAlpha();
  Comment = reader.Comment;
  BackgroundColor = reader.BackgroundColor();
  TransColor = reader.TransColor();
  Interlace = reader.Interlace() ? gptAdam7 : gptNone;
  Gamma = reader.Gamma();
  PixelUnit = static_cast<TQRNPNGUnitSpecifier>(reader.PhysUnit);
  PixelsPerUnitX = reader.PhysX;
  PixelsPerUnitY = reader.PhysY;
  SignificantBits = reader.SignificantBits();
  BitDepth = reader.Depth;
  GrayScale = reader.GrayScale();
  SetTransFlag(*image);
}

void TQRNPNG::LoadFromFile(const std::string& path) {
  FileStream stream(path);
  LoadFromStream(stream);
}

void TQRNPNG::SetTransparent(bool v) {
  if (!transReentry_) {
    Bitmap* image = Image();
    if (image->Transparent() != v) image->SetTransparent(v);
  }
  if (v != transparent_) {
    transparent_ = v;
    Changed();
  }
}

void TQRNPNG::SetTransColor(int32_t c) {
  TransColor = c;
  Bitmap* image = Image();
  if (image->Empty()) return;
  if (c == -1)
    image->SetTransparent(false);
  else
    image->SetTransparentColor(c);
}

void TQRNPNG::SetTransFlag(const Bitmap& bitmap) {
  paletteModified_ = true;
  if (transparent_ == bitmap.Transparent()) {
    Changed();
    return;
  }
  struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } guard(transReentry_);
  SetTransparent(bitmap.Transparent());
}

namespace {
inline int Widen5(int v) { return v << 3 | v >> 2; }
inline int Widen6(int v) { return v << 2 | v >> 4; }
}  // namespace

QImage TQRNPNG::toQImage() const {
  const Bitmap& img = *Image();
  if (img.Empty()) return QImage();
  const int w = img.Width(), h = img.Height(), bits = img.BitCount();
  QImage out(w, h, QImage::Format_ARGB32);
  if (out.isNull()) throw std::bad_alloc();
  const Bitmap* alpha = GetAlphaBitmap();
  const bool useAlpha = HasAlpha && alpha && !alpha->Empty() && alpha->Width() == w && alpha->Height() == h &&
                        alpha->BitCount() == 8;
  const bool keyed = img.Transparent() && !useAlpha;
  const int32_t key = img.TransparentColor();
  const bool keyIsIndex = key != -1 && (key & 0x1000000) != 0;

  // Colour of every index: the palette, else the grey ramp; past the table, opaque black.
  QRgb table[256];
  std::fill_n(table, 256, qRgb(0, 0, 0));
  if (bits <= 8) {
    const TQRNPalette shown = img.ShownPalette();
    for (size_t i = 0; i < shown.size() && i < 256; ++i) table[i] = qRgb(shown[i].r, shown[i].g, shown[i].b);
  }
  for (int y = 0; y < h; ++y) {
    const uint8_t* s = img.ScanLine(y);
    const uint8_t* a = useAlpha ? alpha->ScanLine(y) : nullptr;
    auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < w; ++x) {
      int r, g, b, index = -1;
      switch (bits) {
        case 1: index = (s[x >> 3] >> (7 - (x & 7))) & 1; break;
        case 4: index = (x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4); break;
        case 8: index = s[x]; break;
        default: break;
      }
      if (index >= 0) {
        const QRgb c = table[index];
        r = qRed(c), g = qGreen(c), b = qBlue(c);
      } else if (bits == 15 || bits == 16) {
        const int v = s[2 * x] | s[2 * x + 1] << 8;
        if (bits == 15)
          r = Widen5((v >> 10) & 31), g = Widen5((v >> 5) & 31), b = Widen5(v & 31);
        else
          r = Widen5((v >> 11) & 31), g = Widen6((v >> 5) & 63), b = Widen5(v & 31);
      } else {
        const int step = bits == 32 ? 4 : 3;
        b = s[step * x], g = s[step * x + 1], r = s[step * x + 2];
      }
      int alphaValue = 255;
      if (a) {
        alphaValue = 255 - a[x];
      } else if (keyed) {
        if (keyIsIndex ? index == (key & 0xFF) : (r | g << 8 | b << 16) == key)
          alphaValue = 0;
      }
      d[x] = qRgba(r, g, b, alphaValue);
    }
  }
  return out;
}

}  // namespace yomira::qrn
