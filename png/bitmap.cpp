#include "png/bitmap.h"

#include <sys/mman.h>

#include <QImage>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "png/qrnstream.h"

namespace yomira::qrn {

int Bitmap::BitCount() const { return QRNBitCount(format_); }

namespace {
// A 15-bit pixel is stored in a 16-bit word: rows are sized by the stored bits.
int StoredBits(int bits) { return bits == 15 ? 16 : bits; }
}  // namespace

namespace {
// Large pictures go on huge pages: first-touch page faults of 4 KB pages cost more than
// decoding on some machines (9000 faults for a 36 MB picture). Small ones use calloc.
uint8_t* AllocateZeroed(size_t bytes) {
  constexpr size_t kHuge = size_t{2} << 20;
  if (bytes >= 2 * kHuge) {
    const size_t rounded = (bytes + kHuge - 1) & ~(kHuge - 1);
    if (void* p = std::aligned_alloc(kHuge, rounded)) {
      ::madvise(p, rounded, MADV_HUGEPAGE);  // advice only; failure changes nothing
      std::memset(p, 0, bytes);
      return static_cast<uint8_t*>(p);
    }
    throw std::bad_alloc();
  }
  auto* p = static_cast<uint8_t*>(std::calloc(bytes, 1));
  if (!p) throw std::bad_alloc();
  return p;
}
}  // namespace

void Bitmap::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const int64_t stride = GetLineSize(width, StoredBits(BitCount()));
  std::unique_ptr<uint8_t, FreeDeleter> pixels;
  if (width > 0 && height > 0) {
    pixels.reset(AllocateZeroed(static_cast<size_t>(stride * height)));
    if (pixels_) {
      const int64_t rowBytes = std::min(stride, stride_);
      for (int y = 0; y < std::min(height, height_); ++y)
        std::memcpy(pixels.get() + stride * y, pixels_.get() + stride_ * y, static_cast<size_t>(rowBytes));
    }
  }
  const bool changed = width != width_ || height != height_;
  pixels_ = std::move(pixels);
  width_ = width;
  height_ = height;
  stride_ = stride;
  if (changed) Changed();
}

void Bitmap::SetPixelFormat(PixelFormat format) {
  if (format == format_) return;
  format_ = format;
  // Pixels of another size cannot be kept: the bitmap starts again zeroed.
  pixels_.reset();
  Resize(width_, height_);
  Changed();
}

void Bitmap::SetPalette(TQRNPalette palette) {
  if (palette.size() > 256) palette.resize(256);
  palette_ = std::move(palette);
  Changed();
}

void Bitmap::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Changed();
}

void Bitmap::SetTransparentColor(int32_t c) {
  transparentColor_ = c;
  Changed();
}

void Bitmap::Assign(const Bitmap* other) {
  if (other == this) return;
  if (!other) {
    pixels_.reset();
    width_ = height_ = 0;
    stride_ = 0;
    palette_.clear();
    transparent_ = false;
    transparentColor_ = -1;
    Changed();
    return;
  }
  format_ = other->format_;
  pixels_.reset();
  width_ = height_ = 0;
  Resize(other->width_, other->height_);
  if (pixels_)
    std::memcpy(pixels_.get(), other->pixels_.get(), static_cast<size_t>(stride_ * height_));
  palette_ = other->palette_;
  transparent_ = other->transparent_;
  transparentColor_ = other->transparentColor_;
  Changed();
}

void Bitmap::TakeFrom(Bitmap& other) {
  if (&other == this) return;
  pixels_ = std::move(other.pixels_);
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  stride_ = std::exchange(other.stride_, 0);
  format_ = other.format_;
  palette_ = std::move(other.palette_);
  other.palette_.clear();
  transparent_ = std::exchange(other.transparent_, false);
  transparentColor_ = std::exchange(other.transparentColor_, -1);
  Changed();
}

TQRNPalette Bitmap::ShownPalette() const {
  if (!palette_.empty()) return palette_;
  TQRNPalRGB ramp[256];
  const int bits = BitCount();
  if (bits > 8) return {};
  const int n = CreateGrayScalePalette(ramp, bits);
  return TQRNPalette(ramp, ramp + n);
}

QImage Bitmap::toQImage() const {
  if (Empty()) return QImage();
  const int bits = BitCount();
  QImage::Format fmt = QImage::Format_BGR888;
  switch (bits) {
    case 1: fmt = QImage::Format_Mono; break;
    case 4:
    case 8: fmt = QImage::Format_Indexed8; break;
    case 15: fmt = QImage::Format_RGB555; break;
    case 16: fmt = QImage::Format_RGB16; break;
    case 32: fmt = QImage::Format_RGB32; break;
    default: break;
  }
  QImage img(width_, height_, fmt);
  if (img.isNull()) throw std::bad_alloc();
  if (bits <= 8) {
    // Qt shows an index past its table as transparent; pad with opaque black.
    QList<QRgb> table(bits == 1 ? 2 : 256, 0xFF000000u);
    const TQRNPalette shown = ShownPalette();
    for (size_t i = 0; i < shown.size() && i < static_cast<size_t>(table.size()); ++i)
      table[static_cast<qsizetype>(i)] = qRgb(shown[i].r, shown[i].g, shown[i].b);
    img.setColorTable(table);
  }
  for (int y = 0; y < height_; ++y) {
    const uint8_t* src = ScanLine(y);
    uint8_t* dst = img.scanLine(y);
    if (bits == 4) {
      for (int x = 0; x < width_; ++x) dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
    } else if (bits == 32) {
      auto* d = reinterpret_cast<QRgb*>(dst);
      for (int x = 0; x < width_; ++x) d[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
    } else {
      std::memcpy(dst, src, static_cast<size_t>(std::min<int64_t>(img.bytesPerLine(), (int64_t{width_} * StoredBits(bits) + 7) / 8)));
    }
  }
  return img;
}

void Bitmap::fromQImage(const QImage& source, Bitmap* alpha) {
  if (alpha == this) alpha = nullptr;
  if (source.isNull()) {
    Assign(nullptr);
    if (alpha) alpha->Assign(nullptr);
    return;
  }
  QImage img = source;
  PixelFormat pf = PixelFormat::pf24bit;
  const bool hasAlpha = img.hasAlphaChannel() && img.format() != QImage::Format_Indexed8 &&
                        img.format() != QImage::Format_Mono && img.format() != QImage::Format_MonoLSB;
  switch (img.format()) {
    case QImage::Format_Mono: pf = PixelFormat::pf1bit; break;
    case QImage::Format_MonoLSB: img = img.convertToFormat(QImage::Format_Mono); pf = PixelFormat::pf1bit; break;
    case QImage::Format_Indexed8: pf = PixelFormat::pf8bit; break;
    case QImage::Format_RGB555: pf = PixelFormat::pf15bit; break;
    case QImage::Format_RGB16: pf = PixelFormat::pf16bit; break;
    case QImage::Format_RGB32: pf = PixelFormat::pf32bit; break;
    case QImage::Format_BGR888: pf = PixelFormat::pf24bit; break;
    default:
      if (hasAlpha) {
        img = img.convertToFormat(QImage::Format_ARGB32);
        pf = PixelFormat::pf32bit;
      } else {
        img = img.convertToFormat(QImage::Format_BGR888);
      }
      break;
  }
  Assign(nullptr);
  format_ = pf;
  Resize(img.width(), img.height());
  if (pf == PixelFormat::pf1bit || pf == PixelFormat::pf8bit) {
    TQRNPalette pal;
    for (QRgb c : img.colorTable()) pal.push_back(TQRNPalRGB{static_cast<uint8_t>(qBlue(c)), static_cast<uint8_t>(qGreen(c)), static_cast<uint8_t>(qRed(c)), 0});
    if (pal.size() > 256) pal.resize(256);
    palette_ = std::move(pal);
  }
  const int64_t rowBytes = (int64_t{width_} * StoredBits(BitCount()) + 7) / 8;
  for (int y = 0; y < height_; ++y)
    std::memcpy(ScanLine(y), img.constScanLine(y), static_cast<size_t>(rowBytes));
  if (alpha) {
    alpha->Assign(nullptr);
    if (hasAlpha) {
      alpha->SetPixelFormat(PixelFormat::pf8bit);
      alpha->SetSize(width_, height_);
      TQRNPalRGB ramp[256];
      CreateGrayScalePalette(ramp, 8);
      alpha->SetPalette(TQRNPalette(ramp, ramp + 256));
      for (int y = 0; y < height_; ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uint8_t* a = alpha->ScanLine(y);
        for (int x = 0; x < width_; ++x) a[x] = static_cast<uint8_t>(255 - qAlpha(s[x]));
      }
    }
  }
  Changed();
}

}  // namespace yomira::qrn
