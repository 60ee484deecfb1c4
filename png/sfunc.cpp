#include "png/sfunc.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include "png/bitmap.h"

namespace yomira::qrn {

namespace {
template <typename T, size_t N, typename F>
constexpr std::array<T, N> MakeTable(F f) {
  std::array<T, N> t{};
  for (size_t i = 0; i < N; ++i) t[i] = f(static_cast<int>(i));
  return t;
}
}  // namespace

const std::array<uint8_t, 512> abs256tbl =
    MakeTable<uint8_t, 512>([](int i) { return static_cast<uint8_t>(i < 256 ? i : 512 - i); });
const std::array<uint32_t, 32> BitOr = MakeTable<uint32_t, 32>([](int i) { return 1u << i; });
const std::array<uint8_t, 8> BitROr =
    MakeTable<uint8_t, 8>([](int i) { return static_cast<uint8_t>(0x80 >> i); });
const std::array<uint32_t, 32> BitAnd = MakeTable<uint32_t, 32>([](int i) { return ~(1u << i); });
const std::array<uint8_t, 8> BitRAnd =
    MakeTable<uint8_t, 8>([](int i) { return static_cast<uint8_t>(~(0x80 >> i)); });
const std::array<uint8_t, 8> BitBAnd =
    MakeTable<uint8_t, 8>([](int i) { return static_cast<uint8_t>((1 << i) - 1); });

int64_t GetLineSize(int64_t width, int bits) {
  const int64_t bytes = (width * bits + 7) / 8;
  return (bytes + 3) & ~int64_t{3};
}

int CreateGrayScalePalette(TQRNPalRGB* table, int bits) {
  int count = 256, step = 1;
  switch (bits) {
    case 1: count = 2, step = 255; break;
    case 2: count = 4, step = 85; break;
    case 4: count = 16, step = 17; break;
    default: break;
  }
  for (int k = 0; k < count; ++k) {
    const auto v = static_cast<uint8_t>(k * step);
    table[k] = TQRNPalRGB{v, v, v, 0};
  }
  return count;
}

TQRNPalette CreatePaletteHandle(const TQRNPalRGB* table, int count) {
  count = std::clamp(count, 0, 256);
  TQRNPalette p(table, table + count);
  for (auto& e : p) e.reserved = 0;
  return p;
}

int GetPaletteColorTable(const TQRNPalette& palette, TQRNPalRGB* table) {
  const int n = static_cast<int>(std::min<size_t>(palette.size(), 256));
  std::copy_n(palette.begin(), n, table);
  return n;
}

int32_t GetPaletteColor(const TQRNPalette& palette, int index) {
  if (index < 0 || index >= static_cast<int>(std::min<size_t>(palette.size(), 256))) return -1;
  const auto& e = palette[index];
  return e.r | e.g << 8 | e.b << 16;
}

int GetNearestPaletteEntryIndex(const TQRNPalRGB* entries, int32_t colour, int count) {
  const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  int best = 0, bestDist = 1 << 30;
  for (int i = 0; i < count; ++i) {
    const int d = abs256tbl[(entries[i].r - r) & 0x1FF] + abs256tbl[(entries[i].g - g) & 0x1FF] +
                  abs256tbl[(entries[i].b - b) & 0x1FF];
    if (d == 0) return i;
    if (d < bestDist) bestDist = d, best = i;
  }
  return best;
}

int GetNearestColorTableIndex(const TQRNPalRGB* table, int32_t colour, int count) {
  return GetNearestPaletteEntryIndex(table, colour, count);
}

int GetNearestPaletteIndex(const TQRNPalette& palette, int32_t colour) {
  TQRNPalRGB table[256];
  const int n = GetPaletteColorTable(palette, table);
  if (n <= 0) return -1;
  return GetNearestPaletteEntryIndex(table, colour, n);
}

int GetMaxColorSub(int bits) { return bits >= 0 && bits <= 8 ? 1 << bits : 0; }

int GetMaxColor(int bits, int coloursUsed) {
  return coloursUsed != 0 ? coloursUsed : GetMaxColorSub(bits);
}

int32_t GetNearestPaletteColor(const TQRNPalette& palette, int32_t colour) {
  const int index = GetNearestPaletteIndex(palette, colour);
  return index < 0 ? -1 : GetPaletteColor(palette, index);
}

int64_t GetDIBMemLen(int64_t width, int bits, int64_t height) {
  return GetLineSize(width, bits) * (height < 0 ? -height : height);
}

void CopyPixelLine(uint8_t* dst, const uint8_t* src, int64_t start, int64_t count, int bits) {
  if (start < 0 || count <= 0) return;
  switch (bits) {
    case 1:
      for (int64_t i = 0; i < count; ++i) {
        const int64_t s = start + i;
        const bool on = (src[s >> 3] & BitROr[s & 7]) != 0;
        uint8_t& d = dst[i >> 3];
        d = static_cast<uint8_t>((d & BitRAnd[i & 7]) | (on ? BitROr[i & 7] : 0));
      }
      break;
    case 4:
      for (int64_t i = 0; i < count; ++i) {
        const int64_t s = start + i;
        const int v = (s & 1) ? (src[s >> 1] & 0x0F) : (src[s >> 1] >> 4);
        uint8_t& d = dst[i >> 1];
        d = static_cast<uint8_t>((i & 1) ? ((d & 0xF0) | v) : ((d & 0x0F) | v << 4));
      }
      break;
    case 8:
    case 24:
    case 32: {
      const int64_t bytes = bits / 8;
      std::memmove(dst, src + start * bytes, static_cast<size_t>(count * bytes));
      break;
    }
    default: break;
  }
}

uint32_t SwapBR(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }

int32_t ConvertInchToMeter(int32_t v) { return static_cast<int32_t>(int64_t{v} * 10000 / 254); }

int GetMaskShift(uint32_t mask) {
  if (mask == 0) return 0;
  int high = 31;
  while (!(mask & BitOr[high])) --high;
  return high - 7;
}

int32_t FixMul(int32_t a, int32_t b) { return static_cast<int32_t>((int64_t{a} * b) >> 16); }

bool CheckRect(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2) {
  // 64-bit: a position plus a size may pass 2^31.
  return int64_t{x1} <= int64_t{x2} + w2 && int64_t{x2} <= int64_t{x1} + w1 && int64_t{y1} <= int64_t{y2} + h2 &&
         int64_t{y2} <= int64_t{y1} + h1;
}

int64_t CmpTime(int64_t first, int64_t second) {
  int64_t d;
  if (!__builtin_sub_overflow(first, second, &d)) return d;
  return first < second ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

int Sgn(int64_t v) { return (v > 0) - (v < 0); }
void Xchange(int& a, int& b) { std::swap(a, b); }
int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }

std::string GetLongFileName(const std::string& path) { return path; }

bool DrawBitmapHandle(QPainter& painter, int x, int y, const Bitmap& bitmap, uint32_t rop) {
  QPainter::CompositionMode mode;
  switch (rop) {
    case SRCCOPY: mode = QPainter::CompositionMode_Source; break;
    case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; break;
    case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; break;
    case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; break;
    default: return false;
  }
  if (bitmap.Empty()) return false;
  painter.save();
  painter.setCompositionMode(mode);
  painter.drawImage(QPoint(x, y), bitmap.toQImage());
  painter.restore();
  return true;
}

void ClearSystemPalette() {}

namespace {
DebugMesHook& DebugHook() {
  static DebugMesHook hook;
  return hook;
}
}  // namespace

void DebugMes(const std::string& text) {
  static const std::string caption = "デバッグ中";
  if (const DebugMesHook& hook = DebugHook()) {
    hook(caption, text);
    return;
  }
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

void SetDebugMesHook(DebugMesHook hook) { DebugHook() = std::move(hook); }

int64_t GetTotalLineCount(int interlace, int64_t h) {
  if (interlace == 0) return h;
  int64_t n = (h + 7) / 8 * 2 + (h + 3) / 4 + (h + 1) / 2;
  if (h >= 5) n += (h + 3) / 8;
  if (h >= 3) n += (h + 1) / 4;
  if (h >= 2) n += h / 2;
  return n;
}

}  // namespace yomira::qrn
