// Byte-level footing of the PNG reader and writer: a buffered reader that never raises
// (end-of-data and stop flags instead), a buffered writer, the progress scheme in phases,
// and graphic variants bound to a bitmap.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "png/bitmap.h"
#include "png/sfunc.h"
#include "png/stream.h"

namespace yomira::qrn {

PixelFormat QRNPixelFormat(int bits);
int QRNBitCount(PixelFormat format);

// What reader and writer share: the stop flag and the progress phases. It is also the
// sender handed to the decode, encode and password events.
class TQRNStreamBase {
 public:
  virtual ~TQRNStreamBase() = default;

  void StartCallBack();
  // mode 0: by stream position over the data length; mode 1: by count over total.
  void SetCallBackParam(int mode, int64_t total, int percent);
  void DoCallBack(int64_t count);
  void EndCallBack();
  // Returns true to ask for a stop.
  virtual bool CallBackProc(int percent);

  bool Stopped() const { return stop_; }

 protected:
  virtual int64_t ProgressPosition() const { return 0; }
  virtual int64_t ProgressLength() const { return 0; }
  void RequestStop(bool v) { stop_ = stop_ || v; }

  bool stop_ = false;

 private:
  // Percent points; 64-bit so that position × step cannot overflow on large files.
  int64_t base_ = 0, last_ = 0, step_ = 0, remaining_ = 99, total_ = 1, mode_ = 1, phaseStart_ = 0,
          lastCount_ = 0;
};

class TQRNCustomReadStream : public TQRNStreamBase {
 public:
  static constexpr int64_t kBufferSize = 65536;

  // Binds the source: length bytes from its position, or all the rest when length <= 0.
  void SetLoadStream(Stream* stream, int64_t length);
  // Refills the buffer behind its first keep bytes.
  void ReadBuf(int64_t keep);

  int64_t ReadSkipByte(int64_t n);
  int64_t ReadByte(void* dest, int64_t n);
  uint8_t Read1Byte();
  uint16_t ReadMWord();
  uint32_t ReadMDword();
  uint16_t ReadWord();
  uint32_t ReadDWord();
  // Up to n bytes where they lie (the source's memory or the buffer), without a copy;
  // sets count to what was taken. Returns null with the end flag when nothing is left.
  const uint8_t* ReadInPlace(int64_t n, int64_t& count);

  // Frees the buffer and leaves the source right after the bytes consumed.
  void FlushStream();

  bool EndOfData() const { return end_; }
  int64_t Position() const { return pos_; }
  int64_t DataLength() const { return length_; }
  int64_t BytesLeft() const { return length_ - pos_; }
  bool SkipMacBinary = false;
  bool MacBinaryFound() const { return macBinary_; }

 protected:
  int64_t ProgressPosition() const override { return pos_; }
  int64_t ProgressLength() const override { return length_; }

 private:
  // False (and the end flag) when n more bytes are not there; else n contiguous bytes at cur_.
  bool Ensure(int64_t n);
  bool CanRead(int64_t n);
  int64_t ReadSource(uint8_t* dest, int64_t n);

  Stream* src_ = nullptr;
  int64_t start_ = 0, length_ = 0, pos_ = 0, left_ = 0;
  const uint8_t* cur_ = nullptr;
  std::unique_ptr<uint8_t[]> buf_;
  bool inPlace_ = false;
  bool end_ = false;
  bool macBinary_ = false;
};

class TQRNCustomGraphicReadStream : public TQRNCustomReadStream {
 public:
  TQRNCustomGraphicReadStream() { SkipMacBinary = true; }

  // Reads into bitmap (none: the metadata only). Raises what ReadStream raises.
  void LoadFromStream(Bitmap* bitmap, Stream* stream, int64_t length);
  bool CallBackProc(int percent) override;

  std::string Comment;
  int64_t Width = 0, Height = 0;
  int OutputBits = 0;
  int Depth = 0;
  int ColorCount = 0;
  uint8_t PhysUnit = 0;
  int32_t PhysX = 0, PhysY = 0;
  std::string ProgressMessage;

 protected:
  virtual void ReadStream() = 0;
  virtual void CreateDIB();
  TQRNPalRGB* CreateColorBuf();
  void FreeColorBuf() { colorTable_.reset(); }
  TQRNPalRGB* ColorTable() { return colorTable_.get(); }

  Bitmap* target_ = nullptr;
  bool noTarget_ = true;

 private:
  std::unique_ptr<TQRNPalRGB[]> colorTable_;
};

class TQRNCustomWriteStream : public TQRNStreamBase {
 public:
  static constexpr int64_t kBufferSize = 65536;

  TQRNCustomWriteStream() : buf_(new uint8_t[kBufferSize]) {}

  void SetWriteStream(Stream* stream);
  void WriteByte(const void* src, int64_t n);
  void Write1Byte(uint8_t v);
  void WriteWord(uint16_t v);
  void WriteMWord(uint16_t v);
  void WriteDWord(uint32_t v);
  void WriteMDWord(uint32_t v);
  // Writes the buffered bytes to the target.
  void FlushStream();
  int64_t TotalWritten() const { return total_; }
  int64_t Buffered() const { return count_; }

 private:
  void Append(const void* src, int64_t n);
  void WriteTarget(const void* src, int64_t n);

  std::unique_ptr<uint8_t[]> buf_;
  int64_t count_ = 0, total_ = 0;
  Stream* dst_ = nullptr;
};

class TQRNCustomGraphicWriteStream : public TQRNCustomWriteStream {
 public:
  void SaveToStream(Bitmap* bitmap, Stream* stream);
  bool CallBackProc(int percent) override;
  std::string ProgressMessage;

 protected:
  virtual void WriteStream() = 0;
  Bitmap* source_ = nullptr;
};

}  // namespace yomira::qrn
