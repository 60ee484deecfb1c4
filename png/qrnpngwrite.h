// The PNG writer: one bitmap, and optionally an 8-bit alpha bitmap (255 minus alpha), as a
// PNG file with its header and metadata chunks, filtered and compressed rows and IDAT
// chunks of a fixed size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "png/qrnpngtypes.h"
#include "png/qrnstream.h"
#include "png/qrnzlib.h"

namespace yomira::qrn {

class TQRNPNGWriteStream : public TQRNCustomGraphicWriteStream {
 public:
  TQRNPNGWriteStream();
  ~TQRNPNGWriteStream() override;
  TQRNPNGWriteStream(const TQRNPNGWriteStream&) = delete;
  TQRNPNGWriteStream& operator=(const TQRNPNGWriteStream&) = delete;

  // Options; the defaults equal those of TQRNPNG.
  bool WriteSignature = true;
  // 256..100000, else raises "Write PNG Param: Err IDAT Size(min:256  max:100000)".
  void SetIDATSize(int n);
  int GetIDATSize() const { return IDATSize_; }
  int CompressionLevel = -1;
  TQRNPNGFilterType Filter = gpfNone;
  uint8_t Interlace = 0;  // 0 none, 1 Adam7
  bool GrayScale = false;
  int32_t BackgroundColor = -1;  // red | green << 8 | blue << 16; bit 24: a palette index
  int32_t TransColor = -1;
  std::string Comment;  // cp932 bytes
  double Gamma = 0.45455;
  int32_t SignificantBits = 0;  // red or grey, green, blue, alpha from the low byte up
  TQRNPNGUnitSpecifier PhysUnit = gpuAspect;
  int32_t PhysX = 0, PhysY = 0;
  std::string Password;
  TPNGDECodeEvent OnEncode;
  bool UseCurrentTime = true;
  const TPNGTime* Time = nullptr;
  const TPNGChromaticities* Chrm = nullptr;
  const TPNGGIFExtension* GIFExt = nullptr;
  const Bitmap* AlphaBitmap = nullptr;

  // Decided by the header, for callers that want to know what was written.
  int BitDepth() const { return bitDepth_; }
  int ColorType() const { return colorType_; }

 protected:
  void WriteStream() override;

 private:
  void WriteChunk(uint32_t type, const uint8_t* data, uint32_t length);
  void WriteIHDR();
  void WritetIMe();
  void WritetExt();
  void WriteTextMes(const std::string& keyword, const std::string& text);
  void WritetpNg();
  void WritegIFg();
  void WritegAMA();
  void WritecHRM();
  void WritesBIT();
  void WritePLTE();
  void WritebKGD();
  void WritetRNS();
  void WritepHYs();
  void WriteImage();

  void SetGrayScalePaletteIndex();
  void GetLinePixels(const uint8_t* scan, const uint8_t* alphaScan);
  void GetBufMem();
  void FreeBufMem();
  int Drain(TQRNZLIBInfo& info);

  // The grey sample of a colour, reduced for the source bit count; -1 when the colour names
  // a palette entry the picture does not have.
  int GreyOf(int32_t colour) const;
  // The palette index a colour names or comes nearest to; -1 when there is none.
  int IndexOf(int32_t colour) const;
  // A grey (2 bytes) or RGB (6 bytes) colour as 16-bit samples for bKGD and tRNS; 0 when a
  // grey level cannot be had.
  uint32_t PutColourSamples(int32_t colour, uint8_t* d) const;
  bool EncodeEventOn() const { return !Password.empty() && static_cast<bool>(OnEncode); }

  int IDATSize_ = 32768;

  // Working state of one write.
  int srcBits_ = 0;       // the source bitmap's bit count
  int workBits_ = 0;      // the source bit count, 15 and 16 counted as 24
  int pixelBits_ = 0;     // bits per pixel of the PNG row
  int bitDepth_ = 0, colorType_ = 0;
  bool grey_ = false;     // writing grey samples
  bool alpha_ = false;    // writing an alpha channel
  const Bitmap* usableAlpha_ = nullptr;
  TQRNPalette palette_;   // 1- to 8-bit sources: the colours shown; PLTE when writing a palette
  uint8_t greyTable_[256] = {};
  TQRNPNGInfo info_;
  int64_t passFirst_ = 0, passStep_ = 1, passCols_ = 0;
  struct FreeDeleter {
    void operator()(uint8_t* p) const;
  };
  std::unique_ptr<uint8_t, FreeDeleter> rowBlock_;
};

}  // namespace yomira::qrn
