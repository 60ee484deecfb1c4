#include "png/qrnpngwrite.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "png/errors.h"
#include "png/pngformat.h"
#include "png/sfunc.h"

namespace yomira::qrn {

namespace {

using namespace pngformat;

constexpr int32_t kIndexFlag = 0x1000000;

// The writer skips exactly the passes the reader skips: those that hold no pixel.
struct PassShape {
  int64_t cols, rows, firstCol, colStep, firstRow, rowStep;
};

PassShape ShapeOf(int pass, bool adam7, int64_t w, int64_t h) {
  if (!adam7) return {w, h, 0, 1, 0, 1};
  return {(w - kPassCol[pass] + kPassColStep[pass] - 1) / kPassColStep[pass],
          (h - kPassRow[pass] + kPassRowStep[pass] - 1) / kPassRowStep[pass],
          kPassCol[pass],
          kPassColStep[pass],
          kPassRow[pass],
          kPassRowStep[pass]};
}

inline void PutBE32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24), p[1] = static_cast<uint8_t>(v >> 16), p[2] = static_cast<uint8_t>(v >> 8),
  p[3] = static_cast<uint8_t>(v);
}
inline void PutBE16(uint8_t* p, uint32_t v) { p[0] = static_cast<uint8_t>(v >> 8), p[1] = static_cast<uint8_t>(v); }

// The one grey formula of the codec.
inline int Luma(int r, int g, int b) { return (r * 77 + g * 150 + b * 29) >> 8; }
inline int LumaOf(const TQRNPalRGB& e) { return Luma(e.r, e.g, e.b); }
inline int Widen5(int v) { return v << 3 | v >> 2; }
inline int Widen6(int v) { return v << 2 | v >> 4; }

inline int IndexAt(const uint8_t* scan, int64_t x, int bits) {
  switch (bits) {
    case 1: return (scan[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (scan[x >> 1] & 0x0F) : (scan[x >> 1] >> 4);
    default: return scan[x];
  }
}

}  // namespace

void TQRNPNGWriteStream::FreeDeleter::operator()(uint8_t* p) const { std::free(p); }

TQRNPNGWriteStream::TQRNPNGWriteStream() {
  info_.owner = this;
  info_.callback = [this](TQRNZLIBInfo& info) { return Drain(info); };
}

TQRNPNGWriteStream::~TQRNPNGWriteStream() = default;

void TQRNPNGWriteStream::SetIDATSize(int n) {
  if (n < 256 || n > 100000) RaisePNG(msg::kWriteErrIDATSize);
  IDATSize_ = n;
}

void TQRNPNGWriteStream::WriteStream() {
  grey_ = alpha_ = false;
  usableAlpha_ = nullptr;
  palette_.clear();
  bitDepth_ = colorType_ = 0;
  const Bitmap* src = source_;
  // An empty picture would need a 0×0 header, which is invalid: fail before any byte.
  if (!src || src->Empty()) RaisePNG(msg::kWriteError);

  struct Release {
    TQRNPNGWriteStream& w;
    ~Release() {
      ZLIBEncodeFinish(w.info_);
      w.FreeBufMem();
    }
  } release{*this};

  srcBits_ = QRNBitCount(src->GetPixelFormat());
  workBits_ = (srcBits_ == 15 || srcBits_ == 16) ? 24 : srcBits_;
  const Bitmap* a = AlphaBitmap;
  if (a && a != src && !a->Empty() && a->Width() == src->Width() && a->Height() == src->Height() &&
      a->BitCount() == 8)
    usableAlpha_ = a;

  StartCallBack();
  SetCallBackParam(1, 10, 30);
  if (WriteSignature) WriteByte(kSignature, 8);
  WriteIHDR();
  WritetIMe();
  WritetExt();
  WriteTextMes("Software", "QRNPNG ver 3.4");  // always written
  WritetpNg();
  WritegIFg();
  WritegAMA();
  WritecHRM();
  WritesBIT();
  WritePLTE();
  WritebKGD();
  WritetRNS();
  WritepHYs();
  DoCallBack(10);
  if (Stopped()) return;  // a stop leaves the file without its image and IEND
  WriteImage();
  if (Stopped()) return;
  WriteChunk(kIEND, nullptr, 0);
  EndCallBack();
}

void TQRNPNGWriteStream::WriteChunk(uint32_t type, const uint8_t* data, uint32_t length) {
  WriteMDWord(length);
  WriteMDWord(type);
  uint8_t t[4];
  PutBE32(t, type);
  uLong crc = crc32(crc32(0, nullptr, 0), t, 4);
  if (data && length > 0) {
    WriteByte(data, length);
    crc = crc32(crc, data, length);
  }
  WriteMDWord(static_cast<uint32_t>(crc));
}

void TQRNPNGWriteStream::WriteIHDR() {
  const Bitmap& src = *source_;
  if (GrayScale) {
    grey_ = true;
    bitDepth_ = workBits_ < 9 ? workBits_ : 8;
    workBits_ = bitDepth_;
    if (usableAlpha_ && bitDepth_ == 8) {
      colorType_ = 4, alpha_ = true, pixelBits_ = 16;
    } else {
      colorType_ = 0, pixelBits_ = bitDepth_;
    }
  } else if (workBits_ <= 8) {
    bitDepth_ = pixelBits_ = workBits_;
    colorType_ = 3;
  } else {
    bitDepth_ = 8;
    if (usableAlpha_)
      colorType_ = 6, alpha_ = true, pixelBits_ = 32;
    else
      colorType_ = 2, pixelBits_ = 24;
  }
  if (srcBits_ <= 8) {
    // The colours the bitmap shows: its palette, else its grey ramp, cut to 2^bits entries.
    // A palette picture without entries would otherwise get no PLTE, which is invalid.
    palette_ = src.ShownPalette();
    const size_t max = size_t{1} << srcBits_;
    if (palette_.size() > max) palette_.resize(max);
    // An index past the palette shows opaque black: give it that entry, so that the file
    // says what the bitmap shows instead of naming a missing entry.
    if (palette_.size() < max) {
      int top = -1;
      for (int y = 0; y < src.Height() && top + 1 < static_cast<int>(max); ++y) {
        const uint8_t* s = src.ScanLine(y);
        for (int64_t x = 0; x < src.Width(); ++x) top = std::max(top, IndexAt(s, x, srcBits_));
      }
      if (top >= static_cast<int>(palette_.size())) palette_.resize(static_cast<size_t>(top) + 1, TQRNPalRGB{});
    }
  }
  info_.srcBits = workBits_;

  uint8_t d[13];
  PutBE32(d, static_cast<uint32_t>(src.Width()));
  PutBE32(d + 4, static_cast<uint32_t>(src.Height()));
  d[8] = static_cast<uint8_t>(bitDepth_);
  d[9] = static_cast<uint8_t>(colorType_);
  d[10] = 0;
  d[11] = 0;
  d[12] = Interlace ? 1 : 0;
  WriteChunk(kIHDR, d, 13);
}

void TQRNPNGWriteStream::WritetIMe() {
  TPNGTime t;
  if (UseCurrentTime)
    t = SystemPNGTime();
  else if (Time)
    t = *Time;
  else
    return;
  // A second of 60 is a leap second and is written; 61 is not.
  if (t.year == 0 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour >= 24 || t.minute >= 60 ||
      t.second >= 61)
    return;
  uint8_t d[7];
  PutBE16(d, t.year);
  d[2] = t.month, d[3] = t.day, d[4] = t.hour, d[5] = t.minute, d[6] = t.second;
  WriteChunk(ktIME, d, 7);
}

void TQRNPNGWriteStream::WritetExt() {
  // Reading appends CR LF to every comment text; one trailing CR LF is dropped here so
  // that a load/save cycle does not add one each time.
  std::string text = Comment;
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  WriteTextMes("Comment", text);
}

void TQRNPNGWriteStream::WriteTextMes(const std::string& keyword, const std::string& text) {
  // The text is written as the cp932 bytes it holds.
  if (text.empty() || keyword.size() >= 80) return;
  if (keyword.size() + 1 + text.size() > 0x7FFFFFFF) return;  // no chunk can hold it
  std::string d = keyword;
  d += '\0';
  // A NUL inside the text would make the chunk invalid: it becomes a blank.
  for (char ch : text) d += ch == '\0' ? ' ' : ch;
  WriteChunk(ktEXt, reinterpret_cast<const uint8_t*>(d.data()), static_cast<uint32_t>(d.size()));
}

void TQRNPNGWriteStream::WritetpNg() {
  // Always written; says "encoded" exactly when the encode event will run.
  uint8_t d[8];
  PutBE32(d, kQRN3);
  d[4] = EncodeEventOn() ? 1 : 0;
  d[5] = 0;
  PutBE16(d + 6, 0);
  WriteChunk(ktpNG, d, 8);
}

void TQRNPNGWriteStream::WritegIFg() {
  if (!GIFExt || (GIFExt->disposal == 0 && GIFExt->userInput == 0 && GIFExt->delay == 0)) return;
  // The record's bytes as they lie in memory: the delay goes out little-endian.
  uint8_t d[4];
  std::memcpy(d, GIFExt, 4);
  WriteChunk(kgIFg, d, 4);
}

void TQRNPNGWriteStream::WritegAMA() {
  // Rounded, not truncated: truncation lost 1 on many load/save cycles (0.00007 → 6).
  const double v = Gamma * 100000.0;
  if (!(v >= 0.5 && v < 2147483647.5)) return;  // also no chunk for NaN or a value the field cannot hold
  uint8_t d[4];
  PutBE32(d, static_cast<uint32_t>(std::lround(v)));
  WriteChunk(kgAMA, d, 4);
}

void TQRNPNGWriteStream::WritecHRM() {
  if (!Chrm || Chrm->whiteX == 0 || Chrm->whiteY == 0) return;
  const int32_t* v = &Chrm->whiteX;
  uint8_t d[32];
  for (int i = 0; i < 8; ++i) PutBE32(d + 4 * i, static_cast<uint32_t>(v[i]));
  WriteChunk(kcHRM, d, 32);
}

void TQRNPNGWriteStream::WritesBIT() {
  uint32_t v = static_cast<uint32_t>(SignificantBits);
  // 15- and 16-bit sources say what they hold, whatever the option says.
  if (srcBits_ == 15) v = 5 | 5 << 8 | 5 << 16 | (alpha_ ? 8u << 24 : 0u);
  if (srcBits_ == 16) v = 5 | 6 << 8 | 5 << 16 | (alpha_ ? 8u << 24 : 0u);
  if (v == 0 || grey_) return;
  const int n = alpha_ ? 4 : 3;
  uint8_t d[4];
  for (int i = 0; i < n; ++i) {
    d[i] = static_cast<uint8_t>(v >> (8 * i));
    // A byte of 0, or above the 8-bit samples written, would make the chunk invalid.
    if (d[i] < 1 || d[i] > 8) return;
  }
  WriteChunk(ksBIT, d, static_cast<uint32_t>(n));
}

void TQRNPNGWriteStream::WritePLTE() {
  if (grey_ || workBits_ > 8 || palette_.empty()) return;
  uint8_t d[768];
  const size_t n = palette_.size();
  for (size_t i = 0; i < n; ++i) d[3 * i] = palette_[i].r, d[3 * i + 1] = palette_[i].g, d[3 * i + 2] = palette_[i].b;
  WriteChunk(kPLTE, d, static_cast<uint32_t>(3 * n));
}

int TQRNPNGWriteStream::GreyOf(int32_t c) const {
  int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  if ((c & kIndexFlag) && srcBits_ <= 8) {
    const int index = c & 0xFF;
    if (index >= static_cast<int>(palette_.size())) return -1;  // names no entry
    r = palette_[index].r, g = palette_[index].g, b = palette_[index].b;
  }
  const int y = Luma(r, g, b);
  switch (srcBits_) {
    case 1: return y >= 128 ? 1 : 0;
    case 4: return y >> 4;
    default: return y;
  }
}

int TQRNPNGWriteStream::IndexOf(int32_t c) const {
  if (palette_.empty()) return -1;
  const int index = (c & kIndexFlag)
                        ? (c & 0xFF)
                        : GetNearestPaletteEntryIndex(palette_.data(), c, static_cast<int>(palette_.size()));
  // An index the PLTE does not have would make bKGD or tRNS invalid: no chunk then.
  return index < static_cast<int>(palette_.size()) ? index : -1;
}

void TQRNPNGWriteStream::WritebKGD() {
  const int32_t c = BackgroundColor;
  if (c == -1) return;
  uint8_t d[6];
  if (!grey_ && srcBits_ <= 8) {
    const int index = IndexOf(c);
    if (index < 0) return;
    d[0] = static_cast<uint8_t>(index);
    WriteChunk(kbKGD, d, 1);
  } else if (const uint32_t n = PutColourSamples(c, d)) {
    WriteChunk(kbKGD, d, n);
  }
}

uint32_t TQRNPNGWriteStream::PutColourSamples(int32_t c, uint8_t* d) const {
  if (grey_) {
    const int v = GreyOf(c);
    if (v < 0) return 0;
    PutBE16(d, static_cast<uint32_t>(v));
    return 2;
  }
  PutBE16(d, c & 0xFF), PutBE16(d + 2, (c >> 8) & 0xFF), PutBE16(d + 4, (c >> 16) & 0xFF);
  return 6;
}

void TQRNPNGWriteStream::WritetRNS() {
  if (alpha_) return;
  uint8_t d[256];
  if (!grey_ && srcBits_ <= 8 && usableAlpha_) {
    // A palette picture cannot carry an alpha channel; its alpha bitmap becomes one alpha
    // per index, taken from the first pixel of each index (unused indexes stay opaque).
    std::fill_n(d, 256, uint8_t{255});
    bool seen[256] = {};
    int seenCount = 0;
    const int indexes = 1 << srcBits_;
    const Bitmap& src = *source_;
    for (int y = 0; y < src.Height() && seenCount < indexes; ++y) {
      const uint8_t* s = src.ScanLine(y);
      const uint8_t* a = usableAlpha_->ScanLine(y);
      for (int64_t x = 0; x < src.Width(); ++x) {
        const int i = IndexAt(s, x, srcBits_);
        if (seen[i]) continue;
        seen[i] = true;
        ++seenCount;
        d[i] = static_cast<uint8_t>(255 - a[x]);
      }
    }
    int last = -1;
    for (int i = 0; i < static_cast<int>(palette_.size()); ++i)
      if (d[i] != 255) last = i;
    if (last >= 0) {
      WriteChunk(ktRNS, d, static_cast<uint32_t>(last + 1));
      return;
    }
    // Fully opaque: the transparent colour decides, as without an alpha bitmap.
  }
  const int32_t c = TransColor;
  if (c == -1) return;
  if (!grey_ && srcBits_ <= 8) {
    const int index = IndexOf(c);
    if (index < 0) return;
    std::fill_n(d, index, uint8_t{255});
    d[index] = 0;
    WriteChunk(ktRNS, d, static_cast<uint32_t>(index + 1));
  } else if (const uint32_t n = PutColourSamples(c, d)) {
    WriteChunk(ktRNS, d, n);
  }
}

void TQRNPNGWriteStream::WritepHYs() {
  if (PhysX <= 0 || PhysY <= 0) return;
  int64_t x = PhysX, y = PhysY;
  uint8_t unit = PhysUnit == gpuAspect ? 0 : 1;
  if (PhysUnit == gpuInch) {
    // Pixels per metre, rounded: the integer steps of v × 100 / 254 × 100 gave 72 dpi → 2800.
    x = std::lround(static_cast<double>(x) * 10000.0 / 254.0);
    y = std::lround(static_cast<double>(y) * 10000.0 / 254.0);
    if (x > 0x7FFFFFFF || y > 0x7FFFFFFF) return;
  }
  uint8_t d[9];
  PutBE32(d, static_cast<uint32_t>(x));
  PutBE32(d + 4, static_cast<uint32_t>(y));
  d[8] = unit;
  WriteChunk(kpHYs, d, 9);
}

// ---------------------------------------------------------------- image data

void TQRNPNGWriteStream::SetGrayScalePaletteIndex() {
  // palette_ is the bitmap's palette or, without entries, its grey ramp, which maps
  // index i to grey i at every depth.
  auto entry = [&](int i) { return i < static_cast<int>(palette_.size()) ? palette_[i] : TQRNPalRGB{}; };
  std::fill_n(greyTable_, 256, uint8_t{0});
  switch (srcBits_) {
    case 1:
      // Only an inversion flag: 1-bit grey has black at 0 and white at 1.
      greyTable_[0] = LumaOf(entry(0)) > LumaOf(entry(1)) ? 255 : 0;
      break;
    case 4:
      for (int i = 0; i < 16; ++i) greyTable_[i] = static_cast<uint8_t>(LumaOf(entry(i)) >> 4);
      break;
    default:
      for (int i = 0; i < 256; ++i) greyTable_[i] = static_cast<uint8_t>(LumaOf(entry(i)));
      break;
  }
}

void TQRNPNGWriteStream::GetBufMem() {
  const int64_t w = source_->Width();
  // Each row rounded to 32 bytes with room for the filter byte, and 32-byte aligned.
  const int64_t rowLen = (GetLineSize(w, pixelBits_) + 39) / 32 * 32;
  const int64_t total = 4 * rowLen + 1024;
  auto* p = static_cast<uint8_t*>(std::aligned_alloc(32, static_cast<size_t>(total)));
  if (!p) throw std::bad_alloc();
  std::memset(p, 0, static_cast<size_t>(total));
  rowBlock_.reset(p);
  info_.curRow = p;
  info_.priorRow = p + rowLen;
  info_.outRow = p + 2 * rowLen;
  info_.spareRow = p + 3 * rowLen;
  info_.histogram = reinterpret_cast<int32_t*>(p + 4 * rowLen);
}

void TQRNPNGWriteStream::FreeBufMem() {
  rowBlock_.reset();
  info_.curRow = info_.priorRow = info_.outRow = info_.spareRow = nullptr;
  info_.histogram = nullptr;
}

int TQRNPNGWriteStream::Drain(TQRNZLIBInfo& info) {
  const int64_t n = info.bufferSize - info.zs.avail_out;
  if (n > 0) WriteChunk(kIDAT, info.buffer.get(), static_cast<uint32_t>(n));
  return 0;
}

void TQRNPNGWriteStream::GetLinePixels(const uint8_t* scan, const uint8_t* a) {
  uint8_t* d = info_.curRow;
  const int64_t n = passCols_, f = passFirst_, s = passStep_;
  switch (srcBits_) {
    case 1: {
      const int64_t bytes = (n + 7) / 8;
      if (s == 1) {
        std::memcpy(d, scan, static_cast<size_t>(bytes));
      } else {
        std::memset(d, 0, static_cast<size_t>(bytes));
        for (int64_t k = 0; k < n; ++k)
          if (IndexAt(scan, f + k * s, 1)) d[k >> 3] |= BitROr[k & 7];
      }
      if (grey_ && greyTable_[0] == 255)
        for (int64_t i = 0; i < bytes; ++i) d[i] = static_cast<uint8_t>(~d[i]);
      if (n & 7) d[bytes - 1] &= static_cast<uint8_t>(0xFF << (8 - (n & 7)));  // no stray bits
      break;
    }
    case 4: {
      const int64_t bytes = (n + 1) / 2;
      if (s == 1 && !grey_) {
        std::memcpy(d, scan, static_cast<size_t>(bytes));
        if (n & 1) d[bytes - 1] &= 0xF0;
      } else {
        std::memset(d, 0, static_cast<size_t>(bytes));
        for (int64_t k = 0; k < n; ++k) {
          int v = IndexAt(scan, f + k * s, 4);
          if (grey_) v = greyTable_[v] & 0x0F;
          d[k >> 1] |= static_cast<uint8_t>((k & 1) ? v : v << 4);
        }
      }
      break;
    }
    case 8:
      if (grey_) {
        for (int64_t k = 0; k < n; ++k) {
          const int64_t x = f + k * s;
          *d++ = greyTable_[scan[x]];
          if (alpha_) *d++ = static_cast<uint8_t>(255 - a[x]);
        }
      } else if (s == 1) {
        std::memcpy(d, scan, static_cast<size_t>(n));
      } else {
        for (int64_t k = 0; k < n; ++k) d[k] = scan[f + k * s];
      }
      break;
    case 15:
    case 16:
      for (int64_t k = 0; k < n; ++k) {
        const int64_t x = f + k * s;
        const int v = scan[2 * x] | scan[2 * x + 1] << 8;
        int r, g, b;
        if (srcBits_ == 15)
          r = Widen5((v >> 10) & 31), g = Widen5((v >> 5) & 31), b = Widen5(v & 31);
        else
          r = Widen5((v >> 11) & 31), g = Widen6((v >> 5) & 63), b = Widen5(v & 31);
        if (grey_) {
          *d++ = static_cast<uint8_t>(Luma(r, g, b));
        } else {
          d[0] = static_cast<uint8_t>(r), d[1] = static_cast<uint8_t>(g), d[2] = static_cast<uint8_t>(b);
          d += 3;
        }
        if (alpha_) *d++ = static_cast<uint8_t>(255 - a[x]);
      }
      break;
    default: {
      // 24 and 32 bits: blue, green, red (and a fourth byte that is not used).
      const int64_t step = srcBits_ == 32 ? 4 : 3;
      if (grey_) {
        for (int64_t k = 0; k < n; ++k) {
          const int64_t x = f + k * s;
          const uint8_t* p = scan + step * x;
          *d++ = static_cast<uint8_t>(Luma(p[2], p[1], p[0]));
          if (alpha_) *d++ = static_cast<uint8_t>(255 - a[x]);
        }
      } else if (alpha_) {
        for (int64_t k = 0; k < n; ++k, d += 4) {
          const int64_t x = f + k * s;
          const uint8_t* p = scan + step * x;
          d[0] = p[2], d[1] = p[1], d[2] = p[0], d[3] = static_cast<uint8_t>(255 - a[x]);
        }
      } else {
        const uint8_t* p = scan + step * f;
        const int64_t jump = step * s;
        for (int64_t k = 0; k < n; ++k, d += 3, p += jump) d[0] = p[2], d[1] = p[1], d[2] = p[0];
      }
      break;
    }
  }
}

void TQRNPNGWriteStream::WriteImage() {
  const Bitmap& src = *source_;
  const int64_t w = src.Width(), h = src.Height();
  const bool adam7 = Interlace != 0;
  if ((w * pixelBits_ + 7) / 8 + 1 > std::numeric_limits<int>::max()) RaisePNG(msg::kWriteError);
  GetBufMem();
  if (grey_ && srcBits_ <= 8) SetGrayScalePaletteIndex();
  const int level = CompressionLevel >= 0 && CompressionLevel <= 9 ? CompressionLevel : -1;
  // A failed start is reported at once (it used to surface only at the first row).
  if (ZLIBEncodeInit(info_, level, IDATSize_) != 0) RaisePNG(msg::kWriteError);
  info_.filterMode = Filter;
  info_.pixelBits = pixelBits_;
  info_.srcBits = workBits_;
  // The count includes the rows of passes skipped for the width, as the reader's does, so a
  // narrow interlaced picture ends its row phase short of the full step.
  SetCallBackParam(1, GetTotalLineCount(adam7 ? 1 : 0, h), 0);

  int64_t count = 0;
  int lineNo = 0;
  const bool event = EncodeEventOn();
  for (int pass = 0; pass < (adam7 ? 7 : 1) && !Stopped(); ++pass) {
    const PassShape ps = ShapeOf(pass, adam7, w, h);
    if (ps.cols <= 0 || ps.rows <= 0) continue;  // no pixel in this pass
    passCols_ = ps.cols;
    passFirst_ = ps.firstCol;
    passStep_ = ps.colStep;
    info_.rowBytes = static_cast<int>((ps.cols * pixelBits_ + 7) / 8 + 1);
    std::memset(info_.priorRow, 0, static_cast<size_t>(info_.rowBytes));
    for (int64_t k = 0; k < ps.rows; ++k) {
      const int y = static_cast<int>(ps.firstRow + k * ps.rowStep);
      GetLinePixels(src.ScanLine(y), alpha_ ? usableAlpha_->ScanLine(y) : nullptr);
      if (event) OnEncode(*this, info_.curRow, info_.rowBytes - 1, lineNo, Password);
      if (png_write_line(info_) < 0) RaisePNG(msg::kWriteError);
      // The next row is filtered against this one as the event left it.
      std::swap(info_.curRow, info_.priorRow);
      ++lineNo;
      ++count;
      if (count % 4 == 2 || h < 4) DoCallBack(count);
      if (Stopped()) break;
    }
  }
  // The end of the stream goes out as the last, shorter IDAT (also after a stop).
  if (ZLIBEncodeFlush(info_) != 0) RaisePNG(msg::kWriteError);
}

}  // namespace yomira::qrn
