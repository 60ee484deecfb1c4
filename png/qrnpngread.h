// The PNG reader: chunk walk, metadata, transparency, and the image data decoded row by
// row into a bitmap plus an optional 8-bit alpha bitmap (255 minus the PNG alpha).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "png/qrnpngtypes.h"
#include "png/qrnstream.h"
#include "png/qrnzlib.h"

namespace yomira::qrn {

enum TQRNPNGChunkFlag : uint8_t { pcIHDR = 1, pcIDAT = 2, pcIEND = 4, pcPLTE = 8, pcTPNG = 16 };
using TQRNPNGChunk = uint8_t;  // a set of TQRNPNGChunkFlag

class TQRNPNGReadStream : public TQRNCustomGraphicReadStream {
 public:
  TQRNPNGReadStream();
  ~TQRNPNGReadStream() override;

  // Options, set before reading.
  std::string DefaultPassword;
  TPNGDECodeEvent OnDecode;
  TPNGPasswordEvent OnPassword;
  bool Restore16Bit = false;
  TPNGTime* TimeTarget = nullptr;
  TPNGChromaticities* ChrmTarget = nullptr;
  TPNGGIFExtension* GIFExtTarget = nullptr;
  Bitmap* AlphaBitmap = nullptr;
  bool CheckSignature = true;

  // Results.
  bool HasAlpha() const { return alpha_; }
  bool GrayScale() const { return grey_; }
  int Interlace() const { return interlace_; }
  int32_t BackgroundColor() const { return background_; }
  int32_t TransColor() const { return transKey_; }
  double Gamma() const { return gamma_; }
  int32_t SignificantBits() const { return sbit_; }
  const std::string& CurrentPassword() const { return password_; }
  TQRNPNGChunk Chunks() const { return chunks_; }
  // True when every row of the image was decoded.
  bool ImageComplete() const { return imageComplete_; }

 protected:
  void ReadStream() override;
  void CreateDIB() override;

 private:
  using Converter = void (TQRNPNGReadStream::*)(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  using Setter = void (TQRNPNGReadStream::*)(uint8_t* scan, const uint8_t* row, int64_t cols);

  void ReadChunk();
  // Reads the data of the chunk whose header was just read, keeping its first keep bytes in
  // data_, then its CRC. 1: CRC matched; 0: it did not; -1: the chunk runs past the data.
  int ReadChunkBody(uint32_t type, uint32_t length, uint32_t keep);
  void SkipChunk(uint32_t length) { ReadSkipByte(int64_t{length} + 4); }

  void ReadHeader();
  void ReadPalette();
  void ReadImage(uint32_t length);
  void ReadBGColor();
  void ReadChrm();
  void ReadGamma();
  void ReadGIFExt();
  void ReadAspectData();
  void ReadsBIT();
  void ReadText();
  void ReadTime();
  void ReadTransColor();
  void ReadQRNData();
  void ConvertPAlpha();
  void Accepted() { DoCallBack(0); }

  void CheckImageFormat();
  void GetBufMem();
  void FreeBufMem();
  int Refill(TQRNZLIBInfo& info);
  void DecodeRows();
  void FinishStream();
  void FinishIDAT();

  void ConvertNone(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void Change2to4(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void ChangeGray16(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void ChangeGray16Key(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void ChangeGray8A(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void ChangeGray16A(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void RGBtoBGR24(const uint8_t* __restrict src, uint8_t* __restrict dst, uint8_t* alpha, int64_t cols);
  void RGBtoBGR48(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void RGBtoBGR48Key(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void RGBAtoBGRA32(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void RGBAtoBGRA64(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void RGBtoBGR16(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);
  void RGBAtoBGRA16(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols);

  void SetPixels_Inter1(uint8_t* scan, const uint8_t* row, int64_t cols);
  void SetPixels_Inter4(uint8_t* scan, const uint8_t* row, int64_t cols);
  void SetPixels_Inter8(uint8_t* scan, const uint8_t* row, int64_t cols);
  void SetPixels_Inter16(uint8_t* scan, const uint8_t* row, int64_t cols);
  void SetPixels_Inter24(uint8_t* scan, const uint8_t* row, int64_t cols);
  void SetPixels_InterA(uint8_t* scan, const uint8_t* row, int64_t cols);

  // Chunk state.
  TQRNPNGChunk chunks_ = 0;
  std::vector<uint8_t> data_;
  bool pendingHeader_ = false;  // the refill read a chunk header the walk must take over
  uint32_t pendingLength_ = 0, pendingType_ = 0;
  int64_t chunkLeft_ = 0;      // unread data of the current IDAT
  uint32_t chunkCrc_ = 0;      // running CRC of the current IDAT
  bool idatOpen_ = false;      // an IDAT whose CRC is still to be checked
  bool imageComplete_ = false;

  // Header.
  int colorBase_ = -1;
  bool alpha_ = false, grey_ = false;
  int interlace_ = 0;
  int ihdrDepth_ = 0;

  // Metadata.
  int32_t background_ = -1, transKey_ = -1;
  std::array<uint8_t, 256> palAlpha_{};
  bool palAlphaFlag_ = false;
  bool key16_ = false;  // a 16-bit key compared on all bits
  uint16_t key16Grey_ = 0, key16R_ = 0, key16G_ = 0, key16B_ = 0;
  double gamma_ = 0.0;
  int32_t sbit_ = 0;
  std::string password_;

  // Image data.
  TQRNPNGInfo info_;
  Bitmap* alphaTarget_ = nullptr;
  int srcBits_ = 0;
  Converter convert_ = nullptr;
  Setter setImage_ = nullptr;
  int64_t passFirst_ = 0, passStep_ = 1;
  struct FreeDeleter {
    void operator()(uint8_t* p) const;
  };
  std::unique_ptr<uint8_t, FreeDeleter> rowBlock_;
  uint8_t* convRow_ = nullptr;
  uint8_t* alphaRow_ = nullptr;
};

}  // namespace yomira::qrn
