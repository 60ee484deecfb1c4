// TQRNPNG: saving to streams and files, streaming in window layouts, comparison.
#include <string_view>
#include <utility>

#include "platform/atomic_file.h"
#include "png/qrnpng.h"
#include "png/qrnpngwrite.h"

namespace yomira::qrn {

namespace {
// Hands the graphic's progress handler to the image for one write and puts the image's own
// back on every path (the original restored it only after a write that completed).
class ProgressHandOver {
 public:
  ProgressHandOver(Bitmap& image, const Bitmap::ProgressEvent& handler) : image_(image) {
    if (!handler) return;
    saved_ = std::exchange(image_.OnProgress, handler);
    active_ = true;
  }
  ~ProgressHandOver() {
    if (active_) image_.OnProgress = std::move(saved_);
  }
  ProgressHandOver(const ProgressHandOver&) = delete;
  ProgressHandOver& operator=(const ProgressHandOver&) = delete;

 private:
  Bitmap& image_;
  Bitmap::ProgressEvent saved_;
  bool active_ = false;
};
// The metadata every write hands to the writer, SaveToStream and WriteData alike.
void HandOverMetadata(const TQRNPNG& g, TQRNPNGWriteStream& writer) {
  writer.GrayScale = g.GrayScale;
  writer.Comment = g.Comment;
  writer.BackgroundColor = g.BackgroundColor;
  writer.TransColor = g.TransColor;
  writer.Gamma = g.Gamma;
  writer.SignificantBits = g.SignificantBits;
  writer.PhysUnit = g.PixelUnit;
  writer.PhysX = g.PixelsPerUnitX;
  writer.PhysY = g.PixelsPerUnitY;
  writer.Time = &g.GetTime();
  writer.Chrm = &g.GetChrm();
  writer.GIFExt = &g.GetGIFExt();
}
}  // namespace

void TQRNPNG::SaveToStream(Stream& stream) {
  Bitmap* image = Image();
  // An empty picture has no valid header: fail before writing a byte.
  if (image->Empty()) RaisePNG(msg::kWriteError);
  TQRNPNGWriteStream writer;
  writer.CompressionLevel = CompressionLevel;
  writer.Filter = Filter;
  writer.SetIDATSize(IDATSize_);
  writer.Interlace = Interlace;
  HandOverMetadata(*this, writer);
  writer.UseCurrentTime = UseCurrentTime;
  writer.OnEncode = OnEncode;
  writer.Password = Password;
  // The alpha bitmap belongs to the picture only while HasAlpha says so.
  if (HasAlpha) writer.AlphaBitmap = GetAlphaBitmap();
  ProgressHandOver progress(*image, OnProgress);
  writer.SaveToStream(image, &stream);
}

void TQRNPNG::SaveToFile(const std::string& path) {
  MemoryStream out;
  SaveToStream(out);
  const auto& bytes = out.data();
  const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!AtomicWriteFile(path, view).empty()) RaisePNG(msg::kWriteError);
}

void TQRNPNG::ReadData(Stream& stream) {
  extImage_ = nullptr;
  extAlpha_ = nullptr;
  // A layout carries no password and runs no events; the reading options take the
  // reader's defaults and Interlace keeps its value. All are put back on every path.
  struct Keep {
    TQRNPNG& g;
    std::string password = std::exchange(g.Password, std::string());
    TQRNPNGDECodeEvent decode = std::exchange(g.OnDecode, nullptr);
    TQRNPNGPasswordEvent ask = std::exchange(g.OnPassword, nullptr);
    bool skip = std::exchange(g.SkipMacBinary, true);
    bool restore = std::exchange(g.Restore16Bit, false);
    TQRNPNGInterlaceType interlace = g.Interlace;
    ~Keep() {
      g.Password = std::move(password);
      g.OnDecode = std::move(decode);
      g.OnPassword = std::move(ask);
      g.SkipMacBinary = skip;
      g.Restore16Bit = restore;
      g.Interlace = interlace;
    }
  } keep{*this};
  LoadFromStream(stream);
  Changed();
}

void TQRNPNG::WriteLayoutData(Stream& stream, const Bitmap& image, const Bitmap& alpha, bool useCurrentTime) const {
  // Only these options are passed; the writer's defaults (this class's defaults) hold for
  // the rest.
  TQRNPNGWriteStream writer;
  HandOverMetadata(*this, writer);
  writer.UseCurrentTime = useCurrentTime;
  if (HasAlpha) writer.AlphaBitmap = &alpha;
  // The writer only reads the bitmap; it takes a mutable one for its progress report.
  writer.SaveToStream(const_cast<Bitmap*>(&image), &stream);
}

void TQRNPNG::WriteData(Stream& stream) const {
  if (ownImage_->Empty()) return;
  WriteLayoutData(stream, *ownImage_, *ownAlpha_, true);
}

// Compares the pictures the two graphics show (Image and AlphaBitmap), so that a graphic
// holding an external image is not equal to every other one through its empty own image.
bool TQRNPNG::Equals(const TQRNPNG& other) const {
  const bool empty = GetEmpty(), otherEmpty = other.GetEmpty();
  if (empty || otherEmpty) return empty && otherEmpty;
  MemoryStream a, b;
  WriteLayoutData(a, *Image(), *GetAlphaBitmap(), false);
  other.WriteLayoutData(b, *other.Image(), *other.GetAlphaBitmap(), false);
  return a.data() == b.data();
}

}  // namespace yomira::qrn
