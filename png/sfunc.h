// Palette and row helpers of the codec: row sizes, grey ramps, palettes as plain entry
// lists, nearest-colour search and the Adam7 row count.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QPainter;

namespace yomira::qrn {

class Bitmap;

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

// The rest of the unit: not used by the codec itself.

// red | green << 8 | blue << 16 of the entry nearest to colour; -1 for a palette without entries.
int32_t GetNearestPaletteColor(const TQRNPalette& palette, int32_t colour);
// Bytes of a padded bitmap of width × |height| pixels.
int64_t GetDIBMemLen(int64_t width, int bits, int64_t height);
// Copies count pixels of a 1, 4, 8, 24 or 32-bit row, from pixel start of src to the start
// of dst (1- and 4-bit pixels repacked from the most significant end). Only the bits of the
// copied pixels change in dst; other bit counts, or a negative start or count, copy nothing.
void CopyPixelLine(uint8_t* dst, const uint8_t* src, int64_t start, int64_t count, int bits);
// Red and blue exchanged; the top byte becomes 0.
uint32_t SwapBR(uint32_t colour);
// Pixels per inch to pixels per metre, truncated toward zero.
int32_t ConvertInchToMeter(int32_t v);
// The right shift that brings the highest set bit of mask to bit 7 (negative: a left shift); 0 for 0.
int GetMaskShift(uint32_t mask);
// Product of two 16.16 fixed-point numbers: bits 16..47 of the 64-bit product.
int32_t FixMul(int32_t a, int32_t b);
// Whether two rectangles (position and size) overlap or touch.
bool CheckRect(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2);
// first - second, held to the int64 range.
int64_t CmpTime(int64_t first, int64_t second);
int Sgn(int64_t v);
void Xchange(int& a, int& b);
int Min(int a, int b);
int Max(int a, int b);
// The path unchanged: Linux has no short names to expand.
std::string GetLongFileName(const std::string& path);

// Raster operations of DrawBitmapHandle.
inline constexpr uint32_t SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046;
// Draws the bitmap's pixels (no transparency) with its top-left corner at x, y, combined
// with the target by rop; false, drawing nothing, for another rop or an empty bitmap.
bool DrawBitmapHandle(QPainter& painter, int x, int y, const Bitmap& bitmap, uint32_t rop);
// Does nothing: there is no system palette to clear.
void ClearSystemPalette();

// Shows text (UTF-8) with the caption "デバッグ中" through the hook; without one, on stderr.
void DebugMes(const std::string& text);
using DebugMesHook = std::function<void(const std::string& caption, const std::string& text)>;
// The program points this at its message box; none: stderr again.
void SetDebugMesHook(DebugMesHook hook);

// Rows over all passes: the height, or for Adam7 the sum of the seven pass row counts
// (passes that the narrow-picture rule skips are still counted).
int64_t GetTotalLineCount(int interlace, int64_t height);

}  // namespace yomira::qrn
