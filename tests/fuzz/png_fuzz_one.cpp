#include "tests/fuzz/png_fuzz_one.h"

#include <QImage>

#include <algorithm>
#include <cstring>

#include "png/errors.h"
#include "png/qrnpng.h"
#include "png/stream.h"

namespace yomira::test {

namespace {
// Not in memory, and stingy: every read returns at most 7 bytes.
class TrickleStream : public qrn::Stream {
 public:
  TrickleStream(const uint8_t* data, size_t size) : data_(data), size_(static_cast<int64_t>(size)) {}
  int64_t Read(void* buffer, int64_t n) override {
    const int64_t got = std::clamp<int64_t>(std::min<int64_t>(n, 7), 0, size_ - pos_);
    if (got > 0) std::memcpy(buffer, data_ + pos_, static_cast<size_t>(got));
    pos_ += got;
    return got;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t p) override { return pos_ = std::clamp<int64_t>(p, 0, size_); }
  int64_t Position() const override { return pos_; }
  int64_t Size() const override { return size_; }

 private:
  const uint8_t* data_;
  int64_t size_;
  int64_t pos_ = 0;
};
}  // namespace

std::string FuzzPngOne(const uint8_t* data, size_t size) {
  if (size == 0) return "";
  const uint8_t options = data[size - 1];
  --size;
  qrn::TQRNPNG png;
  png.Restore16Bit = options & 1;
  png.SkipMacBinary = options & 2;
  qrn::MemoryStream memory(std::string(reinterpret_cast<const char*>(data), size));
  TrickleStream trickle(data, size);
  qrn::Stream& stream = (options & 4) ? static_cast<qrn::Stream&>(trickle) : memory;
  try {
    png.LoadFromStream(stream);
  } catch (const qrn::EQRNPNG&) {
    return "";
  }
  if (png.GetEmpty()) return "load succeeded with an empty picture";
  const QImage img = png.toQImage();
  if (img.width() != png.GetWidth() || img.height() != png.GetHeight() || img.format() != QImage::Format_ARGB32)
    return "composed picture of the wrong size";
  if (png.HasAlpha && !png.AlphaBitmap()->Empty() &&
      (png.AlphaBitmap()->Width() != png.GetWidth() || png.AlphaBitmap()->Height() != png.GetHeight()))
    return "alpha bitmap of the wrong size";

  // Saved and read back, the picture must not change. Large pictures are left out to keep
  // each run short; the writer sees them in the round trip over the test images.
  if (int64_t{png.GetWidth()} * png.GetHeight() > (1 << 20)) return "";
  png.Filter = static_cast<qrn::TQRNPNGFilterType>((options >> 3) % 6);
  png.Interlace = (options & 0x40) ? qrn::gptAdam7 : qrn::gptNone;
  qrn::MemoryStream saved;
  try {
    png.SaveToStream(saved);
  } catch (const qrn::EQRNPNG& e) {
    return std::string("saving a loaded picture raised ") + e.what();
  }
  qrn::TQRNPNG back;
  back.Restore16Bit = png.Restore16Bit;
  saved.Seek(0);
  try {
    back.LoadFromStream(saved);
  } catch (const qrn::EQRNPNG& e) {
    return std::string("reading a saved picture raised ") + e.what();
  }
  if (back.toQImage() != img) return "the saved picture reads back different";
  return "";
}

}  // namespace yomira::test
