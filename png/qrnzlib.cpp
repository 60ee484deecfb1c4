#include "png/qrnzlib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace yomira::qrn {

namespace {
constexpr int64_t kDecodeBufferSize = 32768;

inline uint8_t Paeth(int a, int b, int c) {
  const int p = b - c, q = a - c;
  const int pa = std::abs(p), pb = std::abs(q), pc = std::abs(p + q);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}
}  // namespace

TQRNZLIBInfo::~TQRNZLIBInfo() {
  if (inflating) inflateEnd(&zs);
  if (deflating) deflateEnd(&zs);
}

int ZLIBDecodeInit(TQRNZLIBInfo& info) {
  ZLIBDecodeFinish(info);
  ZLIBEncodeFinish(info);
  info.buffer.reset(new (std::nothrow) uint8_t[kDecodeBufferSize]);
  if (!info.buffer) return -1;
  info.bufferSize = kDecodeBufferSize;
  info.zs = z_stream{};
  info.zs.next_in = info.buffer.get();
  info.zs.avail_in = 0;
  if (inflateInit(&info.zs) != Z_OK) return -1;
  info.inflating = true;
  return 0;
}

int ZLIBDecode(TQRNZLIBInfo& info, uint8_t* dest, int64_t n) {
  int r = Z_OK;
  info.zs.next_out = dest;
  info.zs.avail_out = static_cast<uInt>(n);
  while (info.zs.avail_out > 0) {
    if (info.zs.avail_in == 0) {
      if (const int cb = info.callback ? info.callback(info) : -1; cb != 0) return cb;
    }
    r = inflate(&info.zs, Z_NO_FLUSH);
    if (r < 0) return r;
    // The stream ended (or wants a dictionary) with the row still owed: the original loop
    // spun for ever here; fail the row instead.
    if (r != Z_OK && info.zs.avail_out > 0) return Z_DATA_ERROR;
  }
  return r;
}

void ZLIBDecodeFlush(TQRNZLIBInfo& info) {
  if (info.inflating) inflateReset(&info.zs);
  info.zs.next_in = info.buffer.get();
  info.zs.avail_in = 0;
}

void ZLIBDecodeFinish(TQRNZLIBInfo& info) {
  info.buffer.reset();
  info.bufferSize = 0;
  if (info.inflating) inflateEnd(&info.zs);
  info.inflating = false;
}

int UnfilterRow(uint8_t* row, const uint8_t* prior, int64_t rowBytes, int bpp) {
  uint8_t* x = row + 1;
  const uint8_t* b = prior + 1;
  const int64_t n = rowBytes - 1;
  switch (row[0]) {
    case 0:
      break;
    case 1:
      for (int64_t i = bpp; i < n; ++i) x[i] = static_cast<uint8_t>(x[i] + x[i - bpp]);
      break;
    case 2:
      for (int64_t i = 0; i < n; ++i) x[i] = static_cast<uint8_t>(x[i] + b[i]);
      break;
    case 3: {
      const int64_t head = std::min<int64_t>(bpp, n);
      for (int64_t i = 0; i < head; ++i) x[i] = static_cast<uint8_t>(x[i] + (b[i] >> 1));
      for (int64_t i = bpp; i < n; ++i) x[i] = static_cast<uint8_t>(x[i] + ((x[i - bpp] + b[i]) >> 1));
      break;
    }
    case 4: {
      const int64_t head = std::min<int64_t>(bpp, n);
      for (int64_t i = 0; i < head; ++i) x[i] = static_cast<uint8_t>(x[i] + b[i]);
      for (int64_t i = bpp; i < n; ++i) x[i] = static_cast<uint8_t>(x[i] + Paeth(x[i - bpp], b[i], b[i - bpp]));
      break;
    }
    default:
      return -1;
  }
  return 0;
}

int png_read_line(TQRNPNGInfo& info) {
  const int r = ZLIBDecode(info, info.curRow, info.rowBytes);
  if (r < 0) return r;
  return UnfilterRow(info.curRow, info.priorRow, info.rowBytes, (info.pixelBits + 7) / 8);
}

// ---- encoding ----

int ZLIBEncodeInit(TQRNZLIBInfo& info, int level, int64_t bufferSize) {
  if (bufferSize <= 0 || bufferSize > 0x3FFFF) bufferSize = 32768;
  ZLIBDecodeFinish(info);
  ZLIBEncodeFinish(info);
  info.buffer.reset(new (std::nothrow) uint8_t[bufferSize]);
  if (!info.buffer) return -1;
  info.bufferSize = bufferSize;
  info.zs = z_stream{};
  if (deflateInit(&info.zs, level) != Z_OK) return -1;
  info.deflating = true;
  info.zs.next_out = info.buffer.get();
  info.zs.avail_out = static_cast<uInt>(bufferSize);
  return 0;
}

namespace {
int Drain(TQRNZLIBInfo& info) {
  const int cb = info.callback ? info.callback(info) : 0;
  info.zs.next_out = info.buffer.get();
  info.zs.avail_out = static_cast<uInt>(info.bufferSize);
  return cb;
}
}  // namespace

int ZLIBEncode(TQRNZLIBInfo& info, const uint8_t* src, int64_t n) {
  int r = Z_OK;
  info.zs.next_in = const_cast<Bytef*>(src);
  info.zs.avail_in = static_cast<uInt>(n);
  while (info.zs.avail_in > 0) {
    r = deflate(&info.zs, Z_NO_FLUSH);
    if (r < 0) return r;
    if (info.zs.avail_out == 0) {
      if (const int cb = Drain(info); cb != 0) return cb;
    }
  }
  return r;
}

int ZLIBEncodeFlush(TQRNZLIBInfo& info) {
  for (;;) {
    const int r = deflate(&info.zs, Z_FINISH);
    if (r < 0 && r != Z_BUF_ERROR) return -1;
    if (r == Z_STREAM_END) break;
    if (info.zs.avail_out == 0) {
      if (const int cb = Drain(info); cb != 0) return cb;
    } else if (r == Z_BUF_ERROR) {
      return -1;
    }
  }
  if (info.zs.avail_out < info.bufferSize) {
    if (const int cb = Drain(info); cb != 0) return cb;
  }
  deflateReset(&info.zs);
  return 0;
}

void ZLIBEncodeFinish(TQRNZLIBInfo& info) {
  info.buffer.reset();
  info.bufferSize = 0;
  if (info.deflating) deflateEnd(&info.zs);
  info.deflating = false;
}

void FilterRowWith(int type, const uint8_t* x, const uint8_t* b, uint8_t* out, int64_t rowBytes, int bpp) {
  const int64_t n = rowBytes - 1;
  out[0] = static_cast<uint8_t>(type);
  uint8_t* o = out + 1;
  for (int64_t i = 0; i < n; ++i) {
    const int a = i >= bpp ? x[i - bpp] : 0;
    const int c = i >= bpp ? b[i - bpp] : 0;
    int pred = 0;
    switch (type) {
      case 1: pred = a; break;
      case 2: pred = b[i]; break;
      case 3: pred = (a + b[i]) >> 1; break;
      case 4: pred = Paeth(a, b[i], c); break;
      default: break;
    }
    o[i] = static_cast<uint8_t>(x[i] - pred);
  }
}

int ScoreFilteredRow(TQRNPNGInfo& info, const uint8_t* row) {
  int32_t local[256];
  int32_t* h = info.histogram ? info.histogram : local;
  std::fill_n(h, 256, 0);
  const int64_t len = info.rowBytes;
  for (int64_t i = 0; i < len; ++i) ++h[row[i]];
  int distinct = 0;
  int64_t top1 = 0, top2 = 0, top3 = 0;
  for (int v = 0; v < 256; ++v) {
    const int64_t c = h[v];
    if (c == 0) continue;
    ++distinct;
    if (c >= top1) {
      top3 = top2, top2 = top1, top1 = c;
    } else if (c >= top2) {
      top3 = top2, top2 = c;
    } else if (c > top3) {
      top3 = c;
    }
  }
  if (distinct <= 8) return -1;
  if (top1 * 100 / len >= 90) return -1;
  const double l = static_cast<double>(len);
  double score;
  if (info.pixelBits < 8)
    score = l / 1.5 / distinct * 1500 + static_cast<double>(top1 + top2) / l * 1000;
  else
    score = l / 1.5 / distinct * 1000 + static_cast<double>(top1 + top2 + top3) / l * 1000;
  return static_cast<int>(score);
}

void FilterRow(TQRNPNGInfo& info) {
  const int bpp = (info.pixelBits + 7) / 8;
  const int64_t pixelBytes = info.rowBytes - 1;
  const int mode = info.filterMode & 0xFF;
  if (mode == gpfNone || mode > gpfPaeth || mode == gpfJust) {
    info.outRow[0] = 0;
    std::memcpy(info.outRow + 1, info.curRow, static_cast<size_t>(pixelBytes));
    if (mode != gpfJust) return;
  } else {
    FilterRowWith(mode - 1, info.curRow, info.priorRow, info.spareRow, info.rowBytes, bpp);
    std::swap(info.outRow, info.spareRow);
    return;
  }
  // Adaptive: the candidate with the highest histogram score; ties keep the earlier filter.
  int64_t best = ScoreFilteredRow(info, info.outRow);
  if (best == -1) return;
  if (info.srcBits == 4) return;
  if (info.srcBits == 1 || info.srcBits == 8) best *= 2;
  for (int type = 1; type <= 4; ++type) {
    FilterRowWith(type, info.curRow, info.priorRow, info.spareRow, info.rowBytes, bpp);
    const int score = ScoreFilteredRow(info, info.spareRow);
    if (score == -1) {
      std::swap(info.outRow, info.spareRow);
      return;
    }
    if (score > best) {
      std::swap(info.outRow, info.spareRow);
      best = score;
    }
  }
}

int png_write_line(TQRNPNGInfo& info) {
  FilterRow(info);
  return ZLIBEncode(info, info.outRow, info.rowBytes);
}

}  // namespace yomira::qrn
