#include "png/qrnpngread.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "png/errors.h"
#include "png/pngformat.h"
#include "png/sfunc.h"

namespace yomira::qrn {

namespace {

using namespace pngformat;

constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr uint32_t kMaxText = 1 << 20;          // longer tEXt chunks are skipped
constexpr size_t kMaxComment = 1 << 20;
constexpr int32_t kPaletteAlphaPending = 0x1FFFFFF;

inline uint32_t BE32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}
inline uint16_t BE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

uint32_t TypeCrc(uint32_t type) {
  const uint8_t b[4] = {static_cast<uint8_t>(type >> 24), static_cast<uint8_t>(type >> 16),
                        static_cast<uint8_t>(type >> 8), static_cast<uint8_t>(type)};
  return static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), b, 4));
}

// Critical chunks have an upper-case first letter.
inline bool IsCritical(uint32_t type) { return (type & 0x20000000) == 0; }

struct Pass {
  int64_t cols, rows;
  bool skipped;
};

Pass PassSize(int pass, int interlace, int64_t w, int64_t h) {
  if (interlace == 0) return {w, h, false};
  const int64_t cols = (w - kPassCol[pass] + kPassColStep[pass] - 1) / kPassColStep[pass];
  const int64_t rows = (h - kPassRow[pass] + kPassRowStep[pass] - 1) / kPassRowStep[pass];
  // Narrow or low pictures skip the passes that would hold no pixel.
  static constexpr int kMinW[7] = {0, 5, 0, 3, 0, 2, 0};
  static constexpr int kMinH[7] = {0, 0, 5, 0, 3, 0, 2};
  const bool skipped = w < kMinW[pass] || h < kMinH[pass] || cols <= 0 || rows <= 0;
  return {cols, rows, skipped};
}

// A grey sample of bKGD or tRNS as a colour. Below 8 bits the picture holds raw samples shown
// through its grey ramp, so the colour names the palette index (the original made an RGB value
// of the raw sample, which matched no pixel). The sample is masked to the depth first: an
// unmasked 0x100 × 0x010101 would set the index bit. 16 bits keep the high byte.
int32_t GreyColour(int v, int depth) {
  if (depth < 8) return (v & ((1 << depth) - 1)) | 0x1000000;
  return (depth == 16 ? v >> 8 : v & 0xFF) * 0x010101;
}

// Three 16-bit samples as a colour: the low byte at depth 8, the high byte at 16.
int32_t RgbColour(const uint8_t* d, int depth) {
  const int lo = depth == 16 ? 0 : 1;
  return d[lo] | d[2 + lo] << 8 | d[4 + lo] << 16;
}

// 2-bit pixels to 4-bit values 0..3: one source byte gives two bytes.
struct TwoToFour {
  uint16_t t[256];
  constexpr TwoToFour() : t{} {
    for (int b = 0; b < 256; ++b) {
      const int hi = ((b >> 6) & 3) << 4 | ((b >> 4) & 3);
      const int lo = ((b >> 2) & 3) << 4 | (b & 3);
      t[b] = static_cast<uint16_t>(hi | lo << 8);
    }
  }
};
constexpr TwoToFour kTwoToFour;

}  // namespace

void TQRNPNGReadStream::FreeDeleter::operator()(uint8_t* p) const { std::free(p); }

TQRNPNGReadStream::TQRNPNGReadStream() {
  info_.owner = this;
  info_.callback = [this](TQRNZLIBInfo& info) { return Refill(info); };
}

TQRNPNGReadStream::~TQRNPNGReadStream() = default;

// ---------------------------------------------------------------- the walk

void TQRNPNGReadStream::ReadStream() {
  StartCallBack();
  SetCallBackParam(0, 0, 30);

  alphaTarget_ = nullptr;
  alpha_ = grey_ = palAlphaFlag_ = key16_ = false;
  interlace_ = 0;
  colorBase_ = -1;
  password_.clear();
  background_ = transKey_ = -1;
  sbit_ = 0;
  gamma_ = 0.0;
  palAlpha_.fill(255);
  Depth = ihdrDepth_ = 0;
  chunks_ = 0;
  pendingHeader_ = idatOpen_ = imageComplete_ = false;
  chunkLeft_ = 0;
  if (TimeTarget) *TimeTarget = TPNGTime{};
  if (GIFExtTarget) *GIFExtTarget = TPNGGIFExtension{};
  if (ChrmTarget) *ChrmTarget = TPNGChromaticities{};

  if (CheckSignature) {
    uint8_t sig[8] = {};
    if (ReadByte(sig, 8) != 8 || std::memcmp(sig, kSignature, 8) != 0) RaisePNG(msg::kNotPNGFormat);
  }

  struct Release {
    TQRNPNGReadStream& r;
    ~Release() {
      ZLIBDecodeFinish(r.info_);
      r.FreeBufMem();
    }
  } release{*this};
  ReadChunk();

  // The original returned an empty picture as success here, which later code divides by.
  if (!(chunks_ & pcIHDR)) RaisePNG(msg::kNoIHDR);
  if (!(chunks_ & pcIDAT)) RaisePNG(msg::kNoIDAT);

  // The key holds once the image is complete, whether or not IEND came.
  if (target_ && imageComplete_ && !alpha_ && transKey_ != -1) {
    target_->SetTransparent(true);
    target_->SetTransparentColor(transKey_);
  }
  if (palAlphaFlag_ && alphaTarget_) ConvertPAlpha();
  EndCallBack();
}

int TQRNPNGReadStream::ReadChunkBody(uint32_t type, uint32_t length, uint32_t keep) {
  // Nothing is allocated or read for a chunk that claims more than the data holds.
  if (int64_t{length} + 4 > BytesLeft()) {
    ReadSkipByte(int64_t{length} + 4);
    return -1;
  }
  keep = std::min(keep, length);
  data_.resize(keep);
  uint32_t crc = TypeCrc(type);
  int64_t done = 0;
  while (done < length) {
    int64_t got = 0;
    const uint8_t* p = ReadInPlace(length - done, got);
    if (!p) return -1;
    crc = static_cast<uint32_t>(crc32(crc, p, static_cast<uInt>(got)));
    if (done < keep) std::memcpy(data_.data() + done, p, static_cast<size_t>(std::min<int64_t>(got, keep - done)));
    done += got;
  }
  const uint32_t stored = ReadMDword();
  if (EndOfData()) return -1;
  return stored == crc ? 1 : 0;
}

// Where this walk differs from the original reader, which trusted every byte:
// - the CRC of every chunk is checked before its data is used; a bad one fails a critical
//   chunk and drops an ancillary one (IDAT data is hashed as the decoder takes it, and the
//   parts it leaves are hashed when skipped);
// - a length above 2^31 - 1, or an IHDR of other than 13 bytes, is an error;
// - an ancillary chunk of the wrong length is ignored, a tEXt above 1 MiB skipped, and no
//   chunk reader ever asks the stream for 0 bytes (which stops the whole read);
// - a chunk claiming more than the file holds allocates nothing: it ends the walk, or, for
//   IDAT, fails the read;
// - any chunk before IHDR fails the read, as a missing IHDR does.
void TQRNPNGReadStream::ReadChunk() {
  while (!Stopped() && !EndOfData() && !(chunks_ & pcIEND)) {
    uint32_t length, type;
    if (pendingHeader_) {
      pendingHeader_ = false;
      length = pendingLength_;
      type = pendingType_;
    } else {
      length = ReadMDword();
      type = ReadMDword();
      if (EndOfData() || Stopped()) break;
    }
    if (length > kMaxChunkLength) RaisePNG(msg::kErrLength);
    // IHDR comes first: a chunk before it has no picture to belong to.
    if (!(chunks_ & pcIHDR) && type != kIHDR) RaisePNG(msg::kNoIHDR);

    if (type == kIDAT) {
      if (chunks_ & pcIDAT) {
        if (ReadChunkBody(type, length, 0) == 0) RaisePNG(msg::kCRCError);
      } else {
        ReadImage(length);
        FinishIDAT();
      }
      continue;
    }

    uint32_t keep = 0;
    bool known = true;
    switch (type) {
      case kIHDR:
        if (length != 13) RaisePNG(msg::kErrLength);
        keep = 13;
        break;
      case kPLTE: keep = 768; break;
      case kIEND: keep = 0; break;
      case kbKGD: case kcHRM: case kgAMA: case kgIFg: case kpHYs: case ksBIT: case ktIME: case ktRNS:
      case ktpNG:
        keep = 256 * 3;
        break;
      case ktEXt:
        if (length > kMaxText) known = false;
        keep = length;
        break;
      default: known = false; break;
    }
    const bool critical = IsCritical(type);
    if (!known && !critical) {
      SkipChunk(length);
      continue;
    }
    const int body = ReadChunkBody(type, length, keep);
    if (body < 0) break;
    if (body == 0) {
      if (critical) RaisePNG(msg::kCRCError);
      continue;  // an ancillary chunk with a bad CRC is ignored
    }
    // data_ holds the first `keep` bytes; chunks longer than that are ignored below by
    // their length checks, except PLTE, whose extra entries are not used anyway.
    const uint32_t len = length;
    const bool ihdr = chunks_ & pcIHDR, done = chunks_ & pcIDAT, plte = chunks_ & pcPLTE;
    switch (type) {
      case kIHDR: ReadHeader(); break;
      case kPLTE:
        if ((colorBase_ == 2 || colorBase_ == 3) && ihdr && !plte && !done) ReadPalette();
        break;
      case kIEND:
        chunks_ |= pcIEND;
        Accepted();
        break;
      case kbKGD:
        if (ihdr && !done) ReadBGColor();
        break;
      case kcHRM:
        if (ihdr && !done && !plte && len == 32 && ChrmTarget) ReadChrm();
        break;
      case kgAMA:
        if (ihdr && !done && !plte && len == 4) ReadGamma();
        break;
      case kgIFg:
        if (ihdr && !done && !plte && len == 4 && GIFExtTarget) ReadGIFExt();
        break;
      case kpHYs:
        if (ihdr && !done && len == 9) ReadAspectData();
        break;
      case ksBIT:
        if (ihdr && !done && !plte && (colorBase_ == 2 || colorBase_ == 3)) ReadsBIT();
        break;
      case ktEXt: ReadText(); break;
      case ktIME:
        if (len == 7 && TimeTarget) ReadTime();
        break;
      case ktRNS:
        if (ihdr && !done && !alpha_) ReadTransColor();
        break;
      case ktpNG:
        if (ihdr && !(chunks_ & pcTPNG) && !done) ReadQRNData();
        break;
      default: break;  // an unknown critical chunk: skipped once its CRC matched
    }
  }
}

// ---------------------------------------------------------------- chunk readers

void TQRNPNGReadStream::ReadHeader() {
  if (chunks_ & pcIHDR) RaisePNG(msg::kTwoIHDR);
  const uint8_t* d = data_.data();
  const uint32_t w = BE32(d), h = BE32(d + 4);
  const int depth = d[8], colorType = d[9];
  // Only the five colour types of the format; the original let 8-15 through.
  if (colorType != 0 && colorType != 2 && colorType != 3 && colorType != 4 && colorType != 6)
    RaisePNG(msg::kErrColorType);
  alpha_ = (colorType & 4) != 0;
  colorBase_ = colorType & 3;
  grey_ = colorBase_ == 0;
  if (d[10] >= 2) RaisePNG(msg::kNoCompression);
  if (d[11] >= 2) RaisePNG(msg::kNoFilter);
  if (d[12] >= 2) RaisePNG(msg::kNoInterlace);
  // Bound the picture before anything is sized from it.
  if (w == 0 || h == 0 || w > kMaxChunkLength || h > kMaxChunkLength ||
      int64_t{w} * int64_t{h} * 4 > kMaxImageBytes)
    RaisePNG(msg::kErrSize);
  Width = w;
  Height = h;
  Depth = ihdrDepth_ = depth;
  interlace_ = d[12];
  chunks_ |= pcIHDR;
  Accepted();
}

void TQRNPNGReadStream::ReadPalette() {
  const int count = static_cast<int>(std::min<size_t>(data_.size() / 3, 256));
  TQRNPalRGB* table = CreateColorBuf();
  for (int i = 0; i < count; ++i)
    table[i] = TQRNPalRGB{data_[3 * i + 2], data_[3 * i + 1], data_[3 * i], 0};
  ColorCount = count;
  chunks_ |= pcPLTE;
  Accepted();
}

void TQRNPNGReadStream::ReadBGColor() {
  const uint8_t* d = data_.data();
  const size_t n = data_.size();
  const int depth = ihdrDepth_;
  switch (colorBase_) {
    case 0: {
      if (n != 2) return;
      background_ = GreyColour(BE16(d), depth);
      break;
    }
    case 2:
      if (n != 6) return;
      background_ = RgbColour(d, depth);
      break;
    case 3:
      if (n != 1) return;
      background_ = d[0] | 0x1000000;
      break;
    default: return;
  }
  Accepted();
}

void TQRNPNGReadStream::ReadChrm() {
  int32_t* v = &ChrmTarget->whiteX;
  for (int i = 0; i < 8; ++i) v[i] = static_cast<int32_t>(BE32(data_.data() + 4 * i));
  Accepted();
}

void TQRNPNGReadStream::ReadGamma() {
  gamma_ = BE32(data_.data()) / 100000.0;
  Accepted();
}

void TQRNPNGReadStream::ReadGIFExt() {
  std::memcpy(GIFExtTarget, data_.data(), 4);
  Accepted();
}

void TQRNPNGReadStream::ReadAspectData() {
  const uint8_t unit = data_[8];
  if (unit > 1) return;  // only "unknown" and "metre" exist
  PhysX = static_cast<int32_t>(BE32(data_.data()));
  PhysY = static_cast<int32_t>(BE32(data_.data() + 4));
  PhysUnit = unit;
  Accepted();
}

void TQRNPNGReadStream::ReadsBIT() {
  if (data_.size() != (alpha_ ? 4u : 3u)) return;
  int32_t v = data_[0] | data_[1] << 8 | data_[2] << 16;
  if (alpha_) v |= static_cast<int32_t>(static_cast<uint32_t>(data_[3]) << 24);
  sbit_ = v;
  Accepted();
}

void TQRNPNGReadStream::ReadText() {
  const auto nul = std::find(data_.begin(), data_.end(), uint8_t{0});
  const std::string keyword(data_.begin(), nul);
  if (keyword != "Comment" || nul == data_.end() || nul + 1 == data_.end()) return;
  const std::string text(nul + 1, data_.end());
  std::string next = Comment;
  if (!next.empty()) next += "\r\n";
  next += text;
  next += "\r\n";
  if (next.size() <= kMaxComment) Comment = std::move(next);
  Accepted();
}

void TQRNPNGReadStream::ReadTime() {
  TimeTarget->year = BE16(data_.data());
  std::memcpy(reinterpret_cast<uint8_t*>(TimeTarget) + 2, data_.data() + 2, 5);
  Accepted();
}

void TQRNPNGReadStream::ReadTransColor() {
  const uint8_t* d = data_.data();
  const size_t n = data_.size();
  const int depth = ihdrDepth_;
  switch (colorBase_) {
    case 0: {
      if (n != 2) return;
      transKey_ = GreyColour(BE16(d), depth);
      if (depth == 16) key16_ = true, key16Grey_ = BE16(d);
      break;
    }
    case 2: {
      if (n != 6) return;
      transKey_ = RgbColour(d, depth);
      if (depth == 16) key16_ = true, key16R_ = BE16(d), key16G_ = BE16(d + 2), key16B_ = BE16(d + 4);
      break;
    }
    case 3: {
      // An empty table, or one before PLTE, is ignored (the original stopped the whole read).
      const size_t count = std::min<size_t>(n, static_cast<size_t>(ColorCount));
      if (count == 0) return;
      std::copy_n(d, count, palAlpha_.begin());
      transKey_ = kPaletteAlphaPending;
      break;
    }
    default: return;
  }
  Accepted();
}

void TQRNPNGReadStream::ReadQRNData() {
  chunks_ |= pcTPNG;
  // Each field is read only while the chunk holds it.
  if (data_.size() >= 5 && BE32(data_.data()) == kQRN3) {
    if (data_[4] != 0) {
      password_ = DefaultPassword;
      if (OnPassword) OnPassword(*this, password_);
    }
  }
  Accepted();
}

// ---------------------------------------------------------------- transparency

void TQRNPNGReadStream::CreateDIB() {
  if (grey_ && OutputBits <= 8) ColorCount = CreateGrayScalePalette(CreateColorBuf(), ihdrDepth_);
  if (transKey_ == kPaletteAlphaPending) {
    int zeros = 0, opaque = 0, zeroIndex = 0;
    for (int i = 0; i < 256; ++i) {
      if (palAlpha_[i] == 0) ++zeros, zeroIndex = i;
      if (palAlpha_[i] == 255) ++opaque;
    }
    if (zeros == 1 && opaque == 255) {
      transKey_ = zeroIndex | 0x1000000;
    } else {
      transKey_ = -1;
      palAlphaFlag_ = true;
    }
  }
  TQRNCustomGraphicReadStream::CreateDIB();
  if (key16_) alpha_ = true;  // the full 16-bit comparison lands in the alpha bitmap
  if ((alpha_ || palAlphaFlag_) && AlphaBitmap) {
    AlphaBitmap->Assign(nullptr);
    AlphaBitmap->SetTransparent(false);
    AlphaBitmap->SetPixelFormat(PixelFormat::pf8bit);
    AlphaBitmap->SetSize(static_cast<int>(Width), static_cast<int>(Height));
    TQRNPalRGB ramp[256];
    CreateGrayScalePalette(ramp, 8);
    AlphaBitmap->SetPalette(CreatePaletteHandle(ramp, 256));
    alphaTarget_ = AlphaBitmap;
  }
}

void TQRNPNGReadStream::ConvertPAlpha() {
  if (!target_ || !alphaTarget_) return;
  const int bits = target_->BitCount();
  if (bits > 8) return;
  for (int y = 0; y < target_->Height(); ++y) {
    const uint8_t* s = target_->ScanLine(y);
    uint8_t* a = alphaTarget_->ScanLine(y);
    for (int x = 0; x < target_->Width(); ++x) {
      int index;
      if (bits == 1)
        index = (s[x >> 3] >> (7 - (x & 7))) & 1;
      else if (bits == 4)
        index = (x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4);
      else
        index = s[x];
      a[x] = static_cast<uint8_t>(255 - palAlpha_[index]);
    }
  }
  alpha_ = true;
}

// ---------------------------------------------------------------- image data

void TQRNPNGReadStream::CheckImageFormat() {
  const int depth = ihdrDepth_;
  int out = 0, src = 0;
  Converter conv = nullptr;
  switch (colorBase_) {
    case 0:
      if (!alpha_) {
        if (depth == 1 || depth == 4 || depth == 8) out = src = depth, conv = &TQRNPNGReadStream::ConvertNone;
        else if (depth == 2) out = 4, src = 2, conv = &TQRNPNGReadStream::Change2to4;
        else if (depth == 16)
          out = 8, src = 16,
          conv = key16_ ? &TQRNPNGReadStream::ChangeGray16Key : &TQRNPNGReadStream::ChangeGray16;
        else RaisePNG(msg::kErrGreyBitdepth);
      } else {
        if (depth == 8) out = 8, src = 16, conv = &TQRNPNGReadStream::ChangeGray8A;
        else if (depth == 16) out = 8, src = 32, conv = &TQRNPNGReadStream::ChangeGray16A;
        else if (depth == 1 || depth == 2 || depth == 4) RaisePNG(msg::kNoAlphaChannel);
        else RaisePNG(msg::kErrGreyBitdepth);
      }
      break;
    case 2: {
      const int r = sbit_ & 0xFF, g = (sbit_ >> 8) & 0xFF, b = (sbit_ >> 16) & 0xFF;
      const bool restore = Restore16Bit && r == 5 && b == 5 && (g == 5 || g == 6);
      if (depth == 8 && restore) {
        out = 16;
        src = alpha_ ? 32 : 24;
        conv = alpha_ ? &TQRNPNGReadStream::RGBAtoBGRA16 : &TQRNPNGReadStream::RGBtoBGR16;
        Depth = g == 5 ? 15 : 16;
      } else if (depth == 8) {
        out = 24;
        src = alpha_ ? 32 : 24;
        conv = alpha_ ? &TQRNPNGReadStream::RGBAtoBGRA32 : &TQRNPNGReadStream::RGBtoBGR24;
        Depth = 24;
      } else if (depth == 16) {
        out = 24;
        src = alpha_ ? 64 : 48;
        conv = alpha_ ? &TQRNPNGReadStream::RGBAtoBGRA64
                      : (key16_ ? &TQRNPNGReadStream::RGBtoBGR48Key : &TQRNPNGReadStream::RGBtoBGR48);
        Depth = 48;
      } else {
        RaisePNG(msg::kErrBitDepth);
      }
      break;
    }
    case 3:
      if (depth == 1 || depth == 4 || depth == 8) out = src = depth, conv = &TQRNPNGReadStream::ConvertNone;
      else if (depth == 2) out = 4, src = 2, conv = &TQRNPNGReadStream::Change2to4;
      else RaisePNG(msg::kErrBitDepth);
      break;
    default: RaisePNG(msg::kErrColorType);
  }
  OutputBits = out;
  srcBits_ = src;
  convert_ = conv;
  info_.pixelBits = src;
  switch (out) {
    case 1: setImage_ = &TQRNPNGReadStream::SetPixels_Inter1; break;
    case 4: setImage_ = &TQRNPNGReadStream::SetPixels_Inter4; break;
    case 8: setImage_ = &TQRNPNGReadStream::SetPixels_Inter8; break;
    case 16: setImage_ = &TQRNPNGReadStream::SetPixels_Inter16; break;
    default: setImage_ = &TQRNPNGReadStream::SetPixels_Inter24; break;
  }
}

void TQRNPNGReadStream::GetBufMem() {
  const int64_t rowLen = GetLineSize(Width, srcBits_) + 4;
  const int64_t convLen = GetLineSize(Width, OutputBits) + 4;
  const int64_t alphaLen = GetLineSize(Width, 8);
  // One zeroed block: no stale bytes can reach the bitmap through a row tail.
  rowBlock_.reset(static_cast<uint8_t*>(std::calloc(static_cast<size_t>(2 * rowLen + convLen + alphaLen), 1)));
  if (!rowBlock_) throw std::bad_alloc();
  info_.curRow = rowBlock_.get();
  info_.priorRow = info_.curRow + rowLen;
  convRow_ = info_.priorRow + rowLen;
  alphaRow_ = convRow_ + convLen;
}

void TQRNPNGReadStream::FreeBufMem() {
  rowBlock_.reset();
  info_.curRow = info_.priorRow = convRow_ = alphaRow_ = nullptr;
}

// Unlike the original refill, empty IDATs are passed over, the CRC of each IDAT is checked as
// the refill leaves it, and the input is handed to zlib in place instead of copied.
int TQRNPNGReadStream::Refill(TQRNZLIBInfo& info) {
  // -1: no further IDAT (tolerated once every row is in); -2: an IDAT the data cannot hold.
  while (chunkLeft_ == 0) {
    if (idatOpen_) {
      const uint32_t stored = ReadMDword();
      if (EndOfData()) return -1;
      if (stored != chunkCrc_) RaisePNG(msg::kCRCError);
      idatOpen_ = false;
    }
    const uint32_t length = ReadMDword();
    const uint32_t type = ReadMDword();
    if (EndOfData()) return -1;
    if (type != kIDAT) {
      // The walk takes this chunk over; the image data ends here.
      pendingHeader_ = true;
      pendingLength_ = length;
      pendingType_ = type;
      return -1;
    }
    if (length > kMaxChunkLength) RaisePNG(msg::kErrLength);
    chunkLeft_ = length;  // empty IDATs are passed over
    chunkCrc_ = TypeCrc(type);
    idatOpen_ = true;
  }
  // A cut IDAT must not complete the picture from a partial read.
  if (chunkLeft_ + 4 > BytesLeft()) return -2;
  int64_t got = 0;
  const uint8_t* p = ReadInPlace(std::min<int64_t>(chunkLeft_, 1 << 30), got);
  if (!p) return -2;
  chunkCrc_ = static_cast<uint32_t>(crc32(chunkCrc_, p, static_cast<uInt>(got)));
  chunkLeft_ -= got;
  // Read in place (memory source, or the reader's own buffer) instead of copying.
  info.zs.next_in = const_cast<Bytef*>(p);
  info.zs.avail_in = static_cast<uInt>(got);
  return 0;
}

void TQRNPNGReadStream::FinishIDAT() {
  // The rest of the IDAT the decoder stopped in, hashed so its CRC can be checked.
  if (!idatOpen_) return;
  idatOpen_ = false;
  if (chunkLeft_ + 4 > BytesLeft()) {
    ReadSkipByte(chunkLeft_ + 4);
    return;
  }
  while (chunkLeft_ > 0) {
    int64_t got = 0;
    const uint8_t* p = ReadInPlace(chunkLeft_, got);
    if (!p) return;
    chunkCrc_ = static_cast<uint32_t>(crc32(chunkCrc_, p, static_cast<uInt>(got)));
    chunkLeft_ -= got;
  }
  const uint32_t stored = ReadMDword();
  if (EndOfData()) return;
  if (stored != chunkCrc_) RaisePNG(msg::kCRCError);
}

void TQRNPNGReadStream::ReadImage(uint32_t length) {
  chunkLeft_ = length;
  chunkCrc_ = TypeCrc(kIDAT);
  idatOpen_ = true;

  CheckImageFormat();
  if (colorBase_ == 3 && (!(chunks_ & pcPLTE) || ColorCount == 0)) RaisePNG(msg::kNoPLTE);
  // Deflate expands at most about 1032:1, so the rows must fit what the file still holds.
  int64_t raw = 0;
  for (int pass = 0; pass < (interlace_ ? 7 : 1); ++pass) {
    const Pass p = PassSize(pass, interlace_, Width, Height);
    if (!p.skipped) raw += p.rows * ((p.cols * srcBits_ + 7) / 8 + 1);
  }
  if (raw > 1040 * BytesLeft() + 1024) RaisePNG(msg::kErrSize);
  if (noTarget_) {
    chunks_ |= pcIDAT;
    return;
  }
  if (ZLIBDecodeInit(info_) != 0) RaisePNG(msg::kErrZLIB);
  info_.callback = [this](TQRNZLIBInfo& info) { return Refill(info); };
  CreateDIB();
  GetBufMem();

  struct Close {
    TQRNPNGReadStream& r;
    ~Close() {
      ZLIBDecodeFlush(r.info_);
      ZLIBDecodeFinish(r.info_);
      r.FreeBufMem();
      r.chunks_ |= pcIDAT;
    }
  } close{*this};
  SetCallBackParam(1, GetTotalLineCount(interlace_, Height), 98);
  DecodeRows();
  if (imageComplete_) FinishStream();
  SetCallBackParam(0, 0, 0);
}

void TQRNPNGReadStream::DecodeRows() {
  int64_t count = 0;
  int lineNo = 0;
  for (int pass = 0; pass < (interlace_ ? 7 : 1); ++pass) {
    const Pass ps = PassSize(pass, interlace_, Width, Height);
    if (ps.skipped) continue;
    const int64_t firstRow = interlace_ ? kPassRow[pass] : 0, rowStep = interlace_ ? kPassRowStep[pass] : 1;
    passFirst_ = interlace_ ? kPassCol[pass] : 0;
    passStep_ = interlace_ ? kPassColStep[pass] : 1;
    info_.rowBytes = static_cast<int>((ps.cols * srcBits_ + 7) / 8 + 1);
    std::memset(info_.priorRow, 0, static_cast<size_t>(info_.rowBytes));
    for (int64_t k = 0; k < ps.rows; ++k) {
      const int y = static_cast<int>(firstRow + k * rowStep);
      uint8_t* scan = target_->ScanLine(y);
      uint8_t* alphaScan = alphaTarget_ ? alphaTarget_->ScanLine(y) : nullptr;
      if (png_read_line(info_) < 0) RaisePNG(msg::kReadError);
      const bool event = !password_.empty() && OnDecode;
      if (event) {
        // The next row is unfiltered against this row as it left the filter step.
        std::memcpy(info_.priorRow, info_.curRow, static_cast<size_t>(info_.rowBytes));
        OnDecode(*this, info_.curRow + 1, info_.rowBytes - 1, lineNo, password_);
      }
      const uint8_t* src = info_.curRow + 1;
      if (passStep_ == 1) {  // whole rows (and Adam7's pass 7) go straight to the bitmap
        (this->*convert_)(src, scan, alphaScan ? alphaScan : alphaRow_, ps.cols);
      } else {
        (this->*convert_)(src, convRow_, alphaRow_, ps.cols);
        (this->*setImage_)(scan, convRow_, ps.cols);
        if (alphaScan) SetPixels_InterA(alphaScan, alphaRow_, ps.cols);
      }
      if (!event) std::swap(info_.curRow, info_.priorRow);
      ++lineNo;
      ++count;
      if (count % 4 == 2 || Height < 4) DoCallBack(count);
      if (Stopped()) break;
    }
    if (EndOfData() || Stopped()) return;
  }
  imageComplete_ = true;
}

void TQRNPNGReadStream::FinishStream() {
  // Inflate to the end of the stream so that its Adler-32 is checked (the original never did).
  // Running out of IDAT data first is tolerated; decoded data past the last row ends the check.
  uint8_t sink[64];
  for (;;) {
    if (info_.zs.avail_in == 0) {
      const int cb = Refill(info_);
      if (cb == -1) return;
      if (cb != 0) RaisePNG(msg::kReadError);
    }
    info_.zs.next_out = sink;
    info_.zs.avail_out = sizeof sink;
    const int r = inflate(&info_.zs, Z_NO_FLUSH);
    if (r == Z_STREAM_END) return;
    if (r != Z_OK) RaisePNG(msg::kReadError);
    if (info_.zs.avail_out < sizeof sink) return;
  }
}

// ---------------------------------------------------------------- converters

void TQRNPNGReadStream::ConvertNone(const uint8_t* src, uint8_t* dst, uint8_t*, int64_t cols) {
  std::memcpy(dst, src, static_cast<size_t>((cols * srcBits_ + 7) / 8));
}

void TQRNPNGReadStream::Change2to4(const uint8_t* src, uint8_t* dst, uint8_t*, int64_t cols) {
  const int64_t outBytes = (cols + 1) / 2;
  for (int64_t j = 0; j < outBytes; ++j) {
    const uint16_t pair = kTwoToFour.t[src[j >> 1]];
    dst[j] = static_cast<uint8_t>((j & 1) ? pair >> 8 : pair & 0xFF);
  }
}

void TQRNPNGReadStream::ChangeGray16(const uint8_t* src, uint8_t* dst, uint8_t*, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i) dst[i] = src[2 * i];
}

// 16-bit keys are compared on all 16 bits (the original compared the high byte, so 256
// sample values matched one key); the result goes to the alpha bitmap.
void TQRNPNGReadStream::ChangeGray16Key(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i) {
    dst[i] = src[2 * i];
    alpha[i] = BE16(src + 2 * i) == key16Grey_ ? 255 : 0;
  }
}

void TQRNPNGReadStream::ChangeGray8A(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i) {
    dst[i] = src[2 * i];
    alpha[i] = static_cast<uint8_t>(255 - src[2 * i + 1]);
  }
}

void TQRNPNGReadStream::ChangeGray16A(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i) {
    dst[i] = src[4 * i];
    alpha[i] = static_cast<uint8_t>(255 - src[4 * i + 2]);
  }
}

void TQRNPNGReadStream::RGBtoBGR24(const uint8_t* __restrict src, uint8_t* __restrict dst, uint8_t*, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i) {
    dst[3 * i] = src[3 * i + 2];
    dst[3 * i + 1] = src[3 * i + 1];
    dst[3 * i + 2] = src[3 * i];
  }
}

void TQRNPNGReadStream::RGBtoBGR48(const uint8_t* src, uint8_t* dst, uint8_t*, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i, src += 6, dst += 3) dst[0] = src[4], dst[1] = src[2], dst[2] = src[0];
}

void TQRNPNGReadStream::RGBtoBGR48Key(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i, src += 6, dst += 3) {
    dst[0] = src[4], dst[1] = src[2], dst[2] = src[0];
    alpha[i] = BE16(src) == key16R_ && BE16(src + 2) == key16G_ && BE16(src + 4) == key16B_ ? 255 : 0;
  }
}

void TQRNPNGReadStream::RGBAtoBGRA32(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i, src += 4, dst += 3) {
    dst[0] = src[2], dst[1] = src[1], dst[2] = src[0];
    alpha[i] = static_cast<uint8_t>(255 - src[3]);
  }
}

void TQRNPNGReadStream::RGBAtoBGRA64(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i, src += 8, dst += 3) {
    dst[0] = src[4], dst[1] = src[2], dst[2] = src[0];
    alpha[i] = static_cast<uint8_t>(255 - src[6]);
  }
}

namespace {
inline void Put565(uint8_t* dst, const uint8_t* rgb) {
  const int w = (rgb[0] >> 3) << 11 | (rgb[1] >> 2) << 5 | (rgb[2] >> 3);
  dst[0] = static_cast<uint8_t>(w);
  dst[1] = static_cast<uint8_t>(w >> 8);
}
}  // namespace

void TQRNPNGReadStream::RGBtoBGR16(const uint8_t* src, uint8_t* dst, uint8_t*, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i) Put565(dst + 2 * i, src + 3 * i);
}

void TQRNPNGReadStream::RGBAtoBGRA16(const uint8_t* src, uint8_t* dst, uint8_t* alpha, int64_t cols) {
  for (int64_t i = 0; i < cols; ++i) {
    Put565(dst + 2 * i, src + 4 * i);
    alpha[i] = static_cast<uint8_t>(255 - src[4 * i + 3]);
  }
}

// ---------------------------------------------------------------- Adam7 setters

void TQRNPNGReadStream::SetPixels_Inter1(uint8_t* scan, const uint8_t* row, int64_t cols) {
  for (int64_t k = 0; k < cols; ++k) {
    const int64_t x = passFirst_ + k * passStep_;
    if ((row[k >> 3] >> (7 - (k & 7))) & 1)
      scan[x >> 3] |= BitROr[x & 7];
    else
      scan[x >> 3] &= BitRAnd[x & 7];
  }
}

void TQRNPNGReadStream::SetPixels_Inter4(uint8_t* scan, const uint8_t* row, int64_t cols) {
  for (int64_t k = 0; k < cols; ++k) {
    const int64_t x = passFirst_ + k * passStep_;
    const int v = (k & 1) ? (row[k >> 1] & 0x0F) : (row[k >> 1] >> 4);
    uint8_t& d = scan[x >> 1];
    d = static_cast<uint8_t>((x & 1) ? ((d & 0xF0) | v) : ((d & 0x0F) | v << 4));
  }
}

void TQRNPNGReadStream::SetPixels_Inter8(uint8_t* scan, const uint8_t* row, int64_t cols) {
  for (int64_t k = 0; k < cols; ++k) scan[passFirst_ + k * passStep_] = row[k];
}

void TQRNPNGReadStream::SetPixels_Inter16(uint8_t* scan, const uint8_t* row, int64_t cols) {
  for (int64_t k = 0; k < cols; ++k) std::memcpy(scan + 2 * (passFirst_ + k * passStep_), row + 2 * k, 2);
}

void TQRNPNGReadStream::SetPixels_Inter24(uint8_t* scan, const uint8_t* row, int64_t cols) {
  uint8_t* d = scan + 3 * passFirst_;
  const int64_t step = 3 * passStep_;
  for (int64_t k = 0; k < cols; ++k, d += step, row += 3) d[0] = row[0], d[1] = row[1], d[2] = row[2];
}

void TQRNPNGReadStream::SetPixels_InterA(uint8_t* scan, const uint8_t* row, int64_t cols) {
  for (int64_t k = 0; k < cols; ++k) scan[passFirst_ + k * passStep_] = row[k];
}

}  // namespace yomira::qrn
