// Palette and row helpers of the codec: row sizes, grey ramps, palettes as plain entry
// lists, nearest-colour search and the Adam7 row count.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace yomira::qrn {

// One colour-table entry as it lies in memory: blue, green, red, 0.
struct TQRNPalRGB {
  uint8_t b = 0, g = 0, r = 0, reserved = 0;
  bool operator==(const TQRNPalRGB&) const = default;
};

// A palette handle: up to 256 entries.
using TQRNPalette = std::vector<TQRNPalRGB>;

// abs256tbl[(x - y) & 0x1FF] == |x - y| for bytes x, y.
extern const std::array<uint8_t, 512> abs256tbl;
extern const std::array<uint32_t, 32> BitOr;   // 1 << i
extern const std::array<uint8_t, 8> BitROr;    // 0x80 >> i: pixel i of a 1-bit row
extern const std::array<uint32_t, 32> BitAnd;  // ~(1 << i)
extern const std::array<uint8_t, 8> BitRAnd;   // ~(0x80 >> i)
extern const std::array<uint8_t, 8> BitBAnd;   // (1 << i) - 1

// Bytes of a row of width pixels, padded to 32 bits. 64-bit: width × bits can pass 2^31.
int64_t GetLineSize(int64_t width, int bits);

// Fills table with the grey ramp for bits (1: 2 entries, 2: 4, 4: 16, else 256); returns the count.
int CreateGrayScalePalette(TQRNPalRGB* table, int bits);

TQRNPalette CreatePaletteHandle(const TQRNPalRGB* table, int count);
// Copies up to 256 entries into table; returns the number copied.
int GetPaletteColorTable(const TQRNPalette& palette, TQRNPalRGB* table);
// red | green << 8 | blue << 16 of one entry; -1 when there is no such entry.
int32_t GetPaletteColor(const TQRNPalette& palette, int index);
// Nearest entry to colour; -1 for a palette without entries.
int GetNearestPaletteIndex(const TQRNPalette& palette, int32_t colour);
// Smallest |dr| + |dg| + |db|; an exact match returns at once, ties keep the lower index; count 0 → 0.
int GetNearestPaletteEntryIndex(const TQRNPalRGB* entries, int32_t colour, int count);
int GetNearestColorTableIndex(const TQRNPalRGB* table, int32_t colour, int count);

// 2^bits for bits up to 8, else 0.
int GetMaxColorSub(int bits);
// The colours-used field when it is not 0, else GetMaxColorSub(bits).
int GetMaxColor(int bits, int coloursUsed);

// Rows over all passes: the height, or for Adam7 the sum of the seven pass row counts
// (passes that the narrow-picture rule skips are still counted).
int64_t GetTotalLineCount(int interlace, int64_t height);

}  // namespace yomira::qrn
