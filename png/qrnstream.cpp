#include "png/qrnstream.h"

#include <algorithm>
#include <cstring>

#include "png/errors.h"

namespace yomira::qrn {

PixelFormat QRNPixelFormat(int bits) {
  switch (bits) {
    case 1: return PixelFormat::pf1bit;
    case 4: return PixelFormat::pf4bit;
    case 8: return PixelFormat::pf8bit;
    case 15: return PixelFormat::pf15bit;
    case 16: return PixelFormat::pf16bit;
    case 32: return PixelFormat::pf32bit;
    default: return PixelFormat::pf24bit;
  }
}

int QRNBitCount(PixelFormat format) {
  switch (format) {
    case PixelFormat::pf1bit: return 1;
    case PixelFormat::pf4bit: return 4;
    case PixelFormat::pf8bit: return 8;
    case PixelFormat::pf15bit: return 15;
    case PixelFormat::pf16bit: return 16;
    case PixelFormat::pf24bit: return 24;
    case PixelFormat::pf32bit: return 32;
    case PixelFormat::pfCustom: return 15;
    case PixelFormat::pfDevice: return 24;
  }
  return 24;
}

// ---- progress ----

void TQRNStreamBase::StartCallBack() {
  base_ = last_ = step_ = 0;
  remaining_ = 99;
  lastCount_ = 0;
  RequestStop(CallBackProc(0));
}

void TQRNStreamBase::SetCallBackParam(int mode, int64_t total, int percent) {
  base_ += step_;
  last_ = base_;
  remaining_ -= step_;
  mode_ = mode;
  if (mode == 1) {
    total_ = total;
  } else {
    total_ = ProgressLength();
    phaseStart_ = ProgressPosition();
  }
  if (total_ == 0) total_ = 1;
  step_ = (percent >= 1 && percent <= 99) ? percent * remaining_ / 100 : remaining_;
}

void TQRNStreamBase::DoCallBack(int64_t count) {
  int64_t inc;
  if (mode_ == 0)
    inc = step_ * (ProgressPosition() - phaseStart_) / total_;
  else
    inc = count >= total_ ? step_ : count * step_ / total_;
  if (base_ + inc > last_) {
    last_ = base_ + inc;
    lastCount_ = count;
    RequestStop(CallBackProc(static_cast<int>(last_)));
  }
}

void TQRNStreamBase::EndCallBack() { RequestStop(CallBackProc(100)); }

bool TQRNStreamBase::CallBackProc(int) { return false; }

// ---- reader ----

int64_t TQRNCustomReadStream::ReadSource(uint8_t* dest, int64_t n) {
  // A stream may hand out less than asked; only 0 means the end.
  int64_t got = 0;
  while (got < n) {
    const int64_t r = src_->Read(dest + got, n - got);
    if (r <= 0) break;
    got += r;
  }
  return got;
}

void TQRNCustomReadStream::SetLoadStream(Stream* stream, int64_t length) {
  src_ = stream;
  start_ = stream->Position();
  length_ = length > 0 ? length : stream->Size() - start_;
  pos_ = 0;
  left_ = 0;
  cur_ = nullptr;
  stop_ = false;
  end_ = false;
  macBinary_ = false;
  inPlace_ = false;
  if (length_ <= 0) {
    length_ = 0;
    end_ = true;
    return;
  }
  if (const uint8_t* mem = stream->memory()) {
    length_ = std::min(length_, stream->Size() - start_);
    inPlace_ = true;
    cur_ = mem + start_;
    left_ = length_;
  } else {
    if (!buf_) buf_.reset(new uint8_t[kBufferSize]);
    ReadBuf(0);
  }
  if (SkipMacBinary && length_ > 128 && left_ > 128) {
    if (cur_[0] == 0 && cur_[74] == 0) {
      cur_ += 128;
      pos_ += 128;
      left_ -= 128;
      macBinary_ = true;
    }
  }
}

void TQRNCustomReadStream::ReadBuf(int64_t keep) {
  // Ask only for what the data still holds behind the kept bytes, and trust only what came.
  const int64_t want = std::max<int64_t>(0, std::min(kBufferSize - keep, length_ - pos_ - keep));
  const int64_t got = ReadSource(buf_.get() + keep, want);
  if (got < want) length_ = pos_ + keep + got;  // the source is shorter than it said
  left_ = keep + got;
  cur_ = buf_.get();
}

bool TQRNCustomReadStream::CanRead(int64_t n) {
  if (stop_ || end_) return false;
  if (n > length_ - pos_) {
    end_ = true;
    return false;
  }
  return true;
}

bool TQRNCustomReadStream::Ensure(int64_t n) {
  if (!CanRead(n)) return false;
  if (left_ >= n) return true;
  std::memmove(buf_.get(), cur_, static_cast<size_t>(left_));
  ReadBuf(left_);
  if (left_ < n) {
    end_ = true;
    return false;
  }
  return true;
}

int64_t TQRNCustomReadStream::ReadSkipByte(int64_t n) {
  if (stop_ || end_) return 0;
  if (n <= 0) {
    stop_ = true;
    return 0;
  }
  if (!CanRead(n)) return 0;
  if (n <= left_) {
    cur_ += n;
    left_ -= n;
  } else {
    // The source stands at start + pos + left; move it past what is not buffered.
    const int64_t target = start_ + pos_ + n;
    if (src_->Seek(target) != target) {
      length_ = pos_;
      end_ = true;
      return 0;
    }
    left_ = 0;
  }
  pos_ += n;
  return n;
}

int64_t TQRNCustomReadStream::ReadByte(void* dest, int64_t n) {
  if (stop_ || end_) return 0;
  if (n <= 0) {
    stop_ = true;
    return 0;
  }
  if (!CanRead(n)) return 0;
  auto* d = static_cast<uint8_t*>(dest);
  const int64_t first = std::min(n, left_);
  if (first > 0) std::memcpy(d, cur_, static_cast<size_t>(first));
  cur_ += first;
  left_ -= first;
  pos_ += first;
  int64_t rest = n - first;
  if (rest == 0) return n;
  if (rest >= kBufferSize) {
    const int64_t got = ReadSource(d + first, rest);
    pos_ += got;
    if (got < rest) {
      length_ = pos_;
      end_ = true;
      return first + got;
    }
    return n;
  }
  ReadBuf(0);
  const int64_t take = std::min(rest, left_);
  std::memcpy(d + first, cur_, static_cast<size_t>(take));
  cur_ += take;
  left_ -= take;
  pos_ += take;
  if (take < rest) {
    end_ = true;
    return first + take;
  }
  return n;
}

const uint8_t* TQRNCustomReadStream::ReadInPlace(int64_t n, int64_t& count) {
  count = 0;
  if (n <= 0 || !CanRead(1)) return nullptr;
  if (left_ == 0) {
    ReadBuf(0);
    if (left_ == 0) {
      end_ = true;
      return nullptr;
    }
  }
  count = std::min(n, left_);
  const uint8_t* p = cur_;
  cur_ += count;
  left_ -= count;
  pos_ += count;
  return p;
}

uint8_t TQRNCustomReadStream::Read1Byte() {
  if (!Ensure(1)) return 0;
  const uint8_t v = cur_[0];
  ++cur_, --left_, ++pos_;
  return v;
}

uint16_t TQRNCustomReadStream::ReadMWord() {
  if (!Ensure(2)) return 0;
  const auto v = static_cast<uint16_t>(cur_[0] << 8 | cur_[1]);
  cur_ += 2, left_ -= 2, pos_ += 2;
  return v;
}

uint32_t TQRNCustomReadStream::ReadMDword() {
  if (!Ensure(4)) return 0;
  const uint32_t v = uint32_t{cur_[0]} << 24 | uint32_t{cur_[1]} << 16 | uint32_t{cur_[2]} << 8 | cur_[3];
  cur_ += 4, left_ -= 4, pos_ += 4;
  return v;
}

uint16_t TQRNCustomReadStream::ReadWord() {
  if (!Ensure(2)) return 0;
  const auto v = static_cast<uint16_t>(cur_[1] << 8 | cur_[0]);
  cur_ += 2, left_ -= 2, pos_ += 2;
  return v;
}

uint32_t TQRNCustomReadStream::ReadDWord() {
  if (!Ensure(4)) return 0;
  const uint32_t v = uint32_t{cur_[3]} << 24 | uint32_t{cur_[2]} << 16 | uint32_t{cur_[1]} << 8 | cur_[0];
  cur_ += 4, left_ -= 4, pos_ += 4;
  return v;
}

void TQRNCustomReadStream::FlushStream() {
  buf_.reset();
  left_ = 0;
  cur_ = nullptr;
  if (src_) src_->Seek(start_ + pos_);
}

// ---- graphic reader ----

namespace {
// Puts a member back on every path.
template <typename T>
class Restore {
 public:
  explicit Restore(T& slot) : slot_(slot), saved_(std::move(slot)) { slot_ = T(); }
  ~Restore() { slot_ = std::move(saved_); }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

 private:
  T& slot_;
  T saved_;
};
}  // namespace

void TQRNCustomGraphicReadStream::LoadFromStream(Bitmap* bitmap, Stream* stream, int64_t length) {
  target_ = bitmap;
  noTarget_ = bitmap == nullptr;
  Bitmap::ChangeEvent unused;
  Restore<Bitmap::ChangeEvent> detach(bitmap ? bitmap->OnChange : unused);
  struct Cleanup {
    TQRNCustomGraphicReadStream& r;
    ~Cleanup() {
      r.FlushStream();
      r.FreeColorBuf();
    }
  } cleanup{*this};
  SetLoadStream(stream, length);
  Comment.clear();
  ColorCount = 0;
  PhysUnit = 0;
  PhysX = PhysY = 0;
  ReadStream();
}

TQRNPalRGB* TQRNCustomGraphicReadStream::CreateColorBuf() {
  if (!colorTable_) colorTable_.reset(new TQRNPalRGB[256]());
  return colorTable_.get();
}

void TQRNCustomGraphicReadStream::CreateDIB() {
  if (!target_) return;
  target_->Assign(nullptr);
  target_->SetTransparent(false);
  target_->SetPixelFormat(QRNPixelFormat(OutputBits));
  target_->SetSize(static_cast<int>(Width), static_cast<int>(Height));
  if (colorTable_) target_->SetPalette(CreatePaletteHandle(colorTable_.get(), ColorCount));
}

namespace {
bool ReportProgress(Bitmap* bitmap, int percent) {
  if (!bitmap || !bitmap->OnProgress) return false;
  ProgressStage stage = ProgressStage::psRunning;
  if (percent <= 0) {
    stage = ProgressStage::psStarting;
  } else if (percent >= 100) {
    stage = ProgressStage::psEnding;
    percent = 100;
  }
  bitmap->OnProgress(*bitmap, stage, percent);
  return false;
}
}  // namespace

bool TQRNCustomGraphicReadStream::CallBackProc(int percent) { return ReportProgress(target_, percent); }

// ---- writer ----

void TQRNCustomWriteStream::SetWriteStream(Stream* stream) {
  dst_ = stream;
  count_ = 0;
  total_ = 0;
  stop_ = false;
}

void TQRNCustomWriteStream::WriteTarget(const void* src, int64_t n) {
  if (n <= 0) return;
  if (!dst_ || dst_->Write(src, n) != n) RaisePNG(msg::kWriteError);
  total_ += n;
}

void TQRNCustomWriteStream::FlushStream() {
  WriteTarget(buf_.get(), count_);
  count_ = 0;
}

void TQRNCustomWriteStream::Append(const void* src, int64_t n) {
  if (stop_) return;
  if (count_ + n > kBufferSize - 1) FlushStream();
  std::memcpy(buf_.get() + count_, src, static_cast<size_t>(n));
  count_ += n;
}

void TQRNCustomWriteStream::WriteByte(const void* src, int64_t n) {
  if (stop_) return;
  if (n <= 0) {
    stop_ = true;
    return;
  }
  if (n >= 65520) {
    FlushStream();
    WriteTarget(src, n);
    return;
  }
  Append(src, n);
}

void TQRNCustomWriteStream::Write1Byte(uint8_t v) { Append(&v, 1); }

void TQRNCustomWriteStream::WriteWord(uint16_t v) {
  const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
  Append(b, 2);
}

void TQRNCustomWriteStream::WriteMWord(uint16_t v) {
  const uint8_t b[2] = {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  Append(b, 2);
}

void TQRNCustomWriteStream::WriteDWord(uint32_t v) {
  const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 24)};
  Append(b, 4);
}

void TQRNCustomWriteStream::WriteMDWord(uint32_t v) {
  const uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                        static_cast<uint8_t>(v)};
  Append(b, 4);
}

void TQRNCustomGraphicWriteStream::SaveToStream(Bitmap* bitmap, Stream* stream) {
  SetWriteStream(stream);
  source_ = bitmap;
  WriteStream();
  FlushStream();
}

bool TQRNCustomGraphicWriteStream::CallBackProc(int percent) { return ReportProgress(source_, percent); }

}  // namespace yomira::qrn
