// The PNG graphic: a picture read from PNG into an image bitmap, an optional alpha bitmap
// and the file's metadata, with the options that drive the reader.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "png/bitmap.h"
#include "png/errors.h"
#include "png/qrnpngtypes.h"
#include "png/stream.h"

class QImage;
class QPainter;
class QRect;

namespace yomira::qrn {

class TQRNPNG {
 public:
  using ChangeEvent = std::function<void(TQRNPNG&)>;

  TQRNPNG();
  ~TQRNPNG();
  TQRNPNG(const TQRNPNG&) = delete;
  TQRNPNG& operator=(const TQRNPNG&) = delete;

  // Reads from the stream's position to its end. Raises EQRNPNG.
  void LoadFromStream(Stream& stream);
  // A UTF-8 path to a regular file. Raises EQRNPNG.
  void LoadFromFile(const std::string& path);

  // Saving and streaming
  // Writes Image, and AlphaBitmap when HasAlpha, with this graphic's options. An empty
  // picture or a failed write raises "Write Image (PNG): Write Error".
  void SaveToStream(Stream& stream);
  // A UTF-8 path, written atomically: on failure any old file stays as it was.
  void SaveToFile(const std::string& path);
  // Streaming in window layouts: the own image and own alpha bitmap with the metadata,
  // without password, events or reading options. WriteData writes nothing for an empty
  // own image.
  void ReadData(Stream& stream);
  void WriteData(Stream& stream) const;
  // Both empty, or the same bytes when written as WriteData does with the clock left out.
  bool Equals(const TQRNPNG& other) const;

 private:
  void WriteLayoutData(Stream& stream, const Bitmap& image, const Bitmap& alpha, bool useCurrentTime) const;

 public:

  // The picture as ARGB32: colours from the palette (an index past it is opaque black), the
  // grey ramp or the widened 15/16-bit values; alpha from the alpha bitmap when HasAlpha,
  // else 0 on the transparent colour when Transparent, else 255. Empty picture: a null image.
  QImage toQImage() const;

  // The external bitmap when one is set, else the own one.
  Bitmap* Image() const { return extImage_ ? extImage_ : ownImage_.get(); }
  Bitmap* GetAlphaBitmap() const { return extAlpha_ ? extAlpha_ : ownAlpha_.get(); }
  Bitmap* AlphaBitmap() const { return GetAlphaBitmap(); }

  bool GetEmpty() const { return Image()->Empty(); }
  int GetWidth() const { return Image()->Width(); }
  int GetHeight() const { return Image()->Height(); }
  const TQRNPalette& GetPalette() const { return Image()->Palette(); }

  // The graphic's transparency flag (the image bitmap's is set along with it).
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  void SetTransColor(int32_t c);
  // Takes the bitmap's Transparent without writing it back to the image.
  void SetTransFlag(const Bitmap& bitmap);
  bool PaletteModified() const { return paletteModified_; }

  void SetIDATSize(int n);
  int GetIDATSize() const { return IDATSize_; }

  const TPNGTime& GetTime() const { return time_; }
  void SetTime(const TPNGTime& t) { time_ = t; }
  const TPNGChromaticities& GetChrm() const { return chrm_; }
  void SetChrm(const TPNGChromaticities& c) { chrm_ = c; }
  const TPNGGIFExtension& GetGIFExt() const { return gifExt_; }
  void SetGIFExt(const TPNGGIFExtension& g) { gifExt_ = g; }

  // Assignment, external bitmaps, resizing, drawing, clipboard
  //
  // Assign drops the external image reference first. From another graphic: its own image and
  // own alpha bitmap are copied, its external references taken over, and the saving options,
  // Comment, the colours, Gamma, sBIT, pHYs, UseCurrentTime, Time and Chrm copied (not GIFExt,
  // Password, HasAlpha, BitDepth, SkipMacBinary, Restore16Bit or the events). From a bitmap or
  // a QImage: the own image takes it (a QImage's alpha channel is not kept), the alpha bitmap
  // is left alone. All end by taking the own image's Transparent.
  void Assign(const TQRNPNG& source);
  void Assign(const Bitmap& source);
  void Assign(const QImage& source);
  // dest takes Image.
  void AssignTo(Bitmap& dest) const;
  void AssignTo(TQRNPNG& dest) const;
  // External bitmaps are not owned: the caller keeps them alive while they are set.
  // LoadFromStream fills them. None (or one of this graphic's own bitmaps) goes back to the
  // own image; an image that is the external alpha bitmap drops that reference.
  void SetImage(Bitmap* image);
  // None, or the bitmap that is the image, clears the external alpha reference.
  void SetABmp(Bitmap* alpha);
  // Drops the external alpha reference, then the own alpha bitmap copies source (a graphic's
  // own alpha bitmap; none empties it).
  void AlphaBitmapAssign(const Bitmap* source);
  void AlphaBitmapAssign(const TQRNPNG& source);
  // Copies the own alpha bitmap into dest when it is not empty; true when it is not.
  bool AlphaBitmapAssignTo(Bitmap* dest) const;
  void FreeAlphaBitmap();
  // Resize the image and the alpha bitmap, each only when it is not empty; the content stays
  // top-left and the new area is zero.
  void SetWidth(int width);
  void SetHeight(int height);
  void SetPalette(const TQRNPalette& palette);
  // The composed picture (toQImage) stretched into rect by nearest neighbour, transparency kept.
  void Draw(QPainter& painter, const QRect& rect) const;
  // Takes the image only: the external image is dropped, the alpha bitmap is left alone.
  void LoadFromClipboardFormat(const QImage& image);
  // Image's own pixels, without the alpha bitmap or the transparent colour.
  QImage SaveToClipboardFormat() const;

  // Fields in declaration order (IDATSize behind its setter).
  int CompressionLevel = -1;
  TQRNPNGFilterType Filter = gpfNone;
  TQRNPNGInterlaceType Interlace = gptNone;
  bool GrayScale = false;
  bool HasAlpha = false;
  int BitDepth = 0;
  int32_t BackgroundColor = -1;
  int32_t TransColor = -1;
  std::string Comment;  // cp932 bytes as the file holds them
  double Gamma = 0.45455;
  std::string Password;
  int32_t SignificantBits = 0;
  TQRNPNGUnitSpecifier PixelUnit = gpuAspect;
  int32_t PixelsPerUnitX = 0, PixelsPerUnitY = 0;
  bool SkipMacBinary = true;
  bool UseCurrentTime = true;
  bool Restore16Bit = false;
  TQRNPNGPasswordEvent OnPassword;
  TQRNPNGDECodeEvent OnEncode;
  TQRNPNGDECodeEvent OnDecode;

  // Handed to the image bitmap while a read runs.
  Bitmap::ProgressEvent OnProgress;
  ChangeEvent OnChange;

 protected:
  void Changed() {
    if (OnChange) OnChange(*this);
  }

 private:
  int IDATSize_ = 32768;
  Bitmap* extAlpha_ = nullptr;
  std::unique_ptr<Bitmap> ownAlpha_;
  Bitmap* extImage_ = nullptr;
  std::unique_ptr<Bitmap> ownImage_;
  TPNGTime time_;
  TPNGChromaticities chrm_;
  TPNGGIFExtension gifExt_;
  bool transparent_ = false;
  bool paletteModified_ = false;
  bool transReentry_ = false;
};

}  // namespace yomira::qrn
