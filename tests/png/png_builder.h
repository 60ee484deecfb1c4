// Builds PNG files byte by byte for tests: chunks with correct or broken CRCs and lengths,
// rows with a chosen filter each, zlib streams split over IDAT chunks as the test wants.
// Independent of the codec: its own filters, zlib directly.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace yomira::test::png {

inline std::string Be32(uint32_t v) {
  return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                     static_cast<char>(v)};
}
inline std::string Be16(uint16_t v) { return std::string{static_cast<char>(v >> 8), static_cast<char>(v)}; }

inline std::string Signature() { return std::string("\x89PNG\r\n\x1a\n", 8); }

inline uint32_t Crc(std::string_view type, std::string_view data) {
  uLong c = crc32(0, nullptr, 0);
  c = crc32(c, reinterpret_cast<const Bytef*>(type.data()), static_cast<uInt>(type.size()));
  c = crc32(c, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
  return static_cast<uint32_t>(c);
}

// One chunk: length, type, data, CRC over type and data.
inline std::string Chunk(std::string_view type, std::string_view data) {
  return Be32(static_cast<uint32_t>(data.size())) + std::string(type) + std::string(data) + Be32(Crc(type, data));
}
// The same chunk with its CRC off by one.
inline std::string ChunkBadCrc(std::string_view type, std::string_view data) {
  return Be32(static_cast<uint32_t>(data.size())) + std::string(type) + std::string(data) +
         Be32(Crc(type, data) ^ 1);
}
// A chunk whose length field says `length` whatever the data holds (CRC over the data).
inline std::string ChunkWithLength(uint32_t length, std::string_view type, std::string_view data) {
  return Be32(length) + std::string(type) + std::string(data) + Be32(Crc(type, data));
}

inline std::string IHDRData(uint32_t w, uint32_t h, int depth, int colorType, int interlace = 0,
                            int compression = 0, int filter = 0) {
  return Be32(w) + Be32(h) + std::string{static_cast<char>(depth), static_cast<char>(colorType),
                                         static_cast<char>(compression), static_cast<char>(filter),
                                         static_cast<char>(interlace)};
}
inline std::string IHDR(uint32_t w, uint32_t h, int depth, int colorType, int interlace = 0) {
  return Chunk("IHDR", IHDRData(w, h, depth, colorType, interlace));
}
inline std::string IEND() { return Chunk("IEND", ""); }

enum Filter { kNone = 0, kSub = 1, kUp = 2, kAvg = 3, kPaeth = 4 };

inline int PaethPredictor(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Filter byte + filtered bytes of one row against the previous raw row (empty: zeros).
inline std::string FilterOne(std::string_view row, std::string_view prior, int bpp, int filter) {
  std::string out(1, static_cast<char>(filter));
  for (size_t i = 0; i < row.size(); ++i) {
    const int x = static_cast<uint8_t>(row[i]);
    const int a = i >= static_cast<size_t>(bpp) ? static_cast<uint8_t>(row[i - bpp]) : 0;
    const int b = prior.empty() ? 0 : static_cast<uint8_t>(prior[i]);
    const int c = (i >= static_cast<size_t>(bpp) && !prior.empty()) ? static_cast<uint8_t>(prior[i - bpp]) : 0;
    int pred = 0;
    switch (filter) {
      case kSub: pred = a; break;
      case kUp: pred = b; break;
      case kAvg: pred = (a + b) / 2; break;
      case kPaeth: pred = PaethPredictor(a, b, c); break;
      default: break;
    }
    out += static_cast<char>(x - pred);
  }
  return out;
}

// Raw rows (pixel bytes only) filtered row by row; filters[i % filters.size()] for row i.
inline std::string FilterRows(const std::vector<std::string>& rows, int bpp, const std::vector<int>& filters = {kNone}) {
  std::string out;
  std::string prior;
  for (size_t i = 0; i < rows.size(); ++i) {
    out += FilterOne(rows[i], prior, bpp, filters[i % filters.size()]);
    prior = rows[i];
  }
  return out;
}

inline std::string Deflate(std::string_view raw, int level = 6) {
  uLongf n = compressBound(static_cast<uLong>(raw.size()));
  std::string out(n, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), level) != Z_OK)
    throw std::runtime_error("compress2 failed");
  out.resize(n);
  return out;
}

// The zlib stream as IDAT chunks of `piece` bytes (the last one shorter).
inline std::string Idats(std::string_view z, size_t piece) {
  std::string out;
  for (size_t at = 0; at < z.size(); at += piece) out += Chunk("IDAT", z.substr(at, piece));
  if (z.empty()) out += Chunk("IDAT", "");
  return out;
}

// A whole file: signature, IHDR, `before` (chunks ahead of the data), one IDAT, `after`, IEND.
inline std::string Png(uint32_t w, uint32_t h, int depth, int colorType, const std::string& filteredRows,
                       const std::string& before = "", const std::string& after = "", int interlace = 0) {
  return Signature() + IHDR(w, h, depth, colorType, interlace) + before + Chunk("IDAT", Deflate(filteredRows)) +
         after + IEND();
}

// Grey 8-bit rows with value (x + 3y) & 0xFF, filter None.
inline std::vector<std::string> GreyRamp(int w, int h) {
  std::vector<std::string> rows;
  for (int y = 0; y < h; ++y) {
    std::string r;
    for (int x = 0; x < w; ++x) r += static_cast<char>((x + 3 * y) & 0xFF);
    rows.push_back(r);
  }
  return rows;
}

}  // namespace yomira::test::png

namespace yomira::test::png {

// The rows of each non-empty Adam7 pass of a picture of whole-byte pixels (bpp bytes each),
// in pass order: the data an interlaced file holds before filtering.
inline std::vector<std::vector<std::string>> Adam7Passes(const std::vector<std::string>& rows, int w, int bpp) {
  static const int c0[7] = {0, 4, 0, 2, 0, 1, 0}, cs[7] = {8, 8, 4, 4, 2, 2, 1};
  static const int r0[7] = {0, 0, 4, 0, 2, 0, 1}, rs[7] = {8, 8, 8, 4, 4, 2, 2};
  std::vector<std::vector<std::string>> passes;
  const int h = static_cast<int>(rows.size());
  for (int p = 0; p < 7; ++p) {
    std::vector<std::string> pass;
    for (int y = r0[p]; y < h; y += rs[p]) {
      std::string r;
      for (int x = c0[p]; x < w; x += cs[p]) r += rows[y].substr(static_cast<size_t>(x) * bpp, bpp);
      if (!r.empty()) pass.push_back(r);
    }
    if (!pass.empty()) passes.push_back(pass);
  }
  return passes;
}

}  // namespace yomira::test::png
