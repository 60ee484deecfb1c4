// The image bitmap the codec decodes into (stand-in for the class library's bitmap):
// rows top first in one zero-filled block, each padded to 32 bits.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>

#include "png/sfunc.h"

class QImage;

namespace yomira::qrn {

enum class PixelFormat { pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfDevice, pfCustom };
enum class ProgressStage { psStarting, psRunning, psEnding };

class Bitmap {
 public:
  using ChangeEvent = std::function<void(Bitmap&)>;
  using ProgressEvent = std::function<void(Bitmap&, ProgressStage, int percent)>;

  Bitmap() = default;
  Bitmap(const Bitmap& other) { Assign(&other); }
  Bitmap& operator=(const Bitmap& other) {
    if (this != &other) Assign(&other);
    return *this;
  }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  PixelFormat GetPixelFormat() const { return format_; }
  // Bits per stored pixel (a custom format is stored as 15, a device format as 24).
  int BitCount() const;
  int64_t Stride() const { return stride_; }

  // Changing the format or size keeps the rows and columns both shapes share when the
  // format stays; other pixels are zero.
  void SetPixelFormat(PixelFormat format);
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height) { Resize(width, height); }

  uint8_t* ScanLine(int y) { return pixels_.get() + stride_ * y; }
  const uint8_t* ScanLine(int y) const { return pixels_.get() + stride_ * y; }

  const TQRNPalette& Palette() const { return palette_; }
  void SetPalette(TQRNPalette palette);

  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  // A colour red | green << 8 | blue << 16, or a palette index with bit 24 set.
  int32_t TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(int32_t c);

  // Copies other; none empties this bitmap (keeping its events).
  void Assign(const Bitmap* other);
  // Moves other's pixels, palette and transparency here (not its events); other is left empty.
  void TakeFrom(Bitmap& other);

  ChangeEvent OnChange;
  ProgressEvent OnProgress;

  // 1 → Mono, 4 → Indexed8 (unpacked), 8 → Indexed8, 15 → RGB555, 16 → RGB16,
  // 24 → BGR888, 32 → RGB32. Indices past the palette show opaque black; an indexed
  // bitmap without palette shows its grey ramp.
  QImage toQImage() const;
  // The inverse; a QImage with alpha gives a 32-bit bitmap and, when alpha is given,
  // an 8-bit alpha bitmap holding 255 minus each alpha value.
  void fromQImage(const QImage& image, Bitmap* alpha = nullptr);

  // The colour table shown for an indexed bitmap: its palette, else the grey ramp.
  TQRNPalette ShownPalette() const;

 private:
  struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  void Resize(int width, int height);
  void Changed() {
    if (OnChange) OnChange(*this);
  }

  int width_ = 0, height_ = 0;
  PixelFormat format_ = PixelFormat::pf24bit;
  int64_t stride_ = 0;
  std::unique_ptr<uint8_t, FreeDeleter> pixels_;
  TQRNPalette palette_;
  bool transparent_ = false;
  int32_t transparentColor_ = -1;
};

}  // namespace yomira::qrn
