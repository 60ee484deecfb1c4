#include "png/sfunc.h"

#include <algorithm>

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

int64_t GetTotalLineCount(int interlace, int64_t h) {
  if (interlace == 0) return h;
  int64_t n = (h + 7) / 8 * 2 + (h + 3) / 4 + (h + 1) / 2;
  if (h >= 5) n += (h + 3) / 8;
  if (h >= 3) n += (h + 1) / 4;
  if (h >= 2) n += h / 2;
  return n;
}

}  // namespace yomira::qrn
