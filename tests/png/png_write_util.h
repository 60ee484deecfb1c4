// Helpers of the writer suites: a chunk walker over written files, bitmaps made to order,
// saving to bytes, and libpng as the reference reader.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <QImage>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "png/bitmap.h"
#include "png/qrnpng.h"
#include "png/qrnpngwrite.h"
#include "png/stream.h"
#include "tools/png_conformance/libpng_reference.h"

namespace yomira::test::png {

struct WrittenChunk {
  std::string type;
  std::string data;
};

// The chunks of a file behind its signature; a bad CRC, a bad signature or a cut chunk
// fails the current test.
inline std::vector<WrittenChunk> WalkChunks(const std::string& file) {
  std::vector<WrittenChunk> out;
  if (file.size() < 8 || file.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) != 0) {
    ADD_FAILURE() << "no PNG signature";
    return out;
  }
  size_t at = 8;
  while (at < file.size()) {
    if (at + 12 > file.size()) {
      ADD_FAILURE() << "cut chunk at " << at;
      break;
    }
    auto be32 = [&](size_t p) {
      return uint32_t{static_cast<uint8_t>(file[p])} << 24 | uint32_t{static_cast<uint8_t>(file[p + 1])} << 16 |
             uint32_t{static_cast<uint8_t>(file[p + 2])} << 8 | static_cast<uint8_t>(file[p + 3]);
    };
    const uint32_t length = be32(at);
    if (at + 12 + length > file.size()) {
      ADD_FAILURE() << "chunk past the end at " << at;
      break;
    }
    WrittenChunk c{file.substr(at + 4, 4), file.substr(at + 8, length)};
    uLong crc = crc32(0, nullptr, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(file.data() + at + 4), 4 + length);
    EXPECT_EQ(be32(at + 8 + length), static_cast<uint32_t>(crc)) << "CRC of " << c.type;
    out.push_back(std::move(c));
    at += 12 + length;
  }
  return out;
}

// "IHDR tIME tEXt(Software) … IDAT IEND": tEXt with its keyword, runs of IDAT as one.
inline std::string ChunkSequence(const std::vector<WrittenChunk>& chunks) {
  std::string s;
  for (const auto& c : chunks) {
    std::string name = c.type;
    if (c.type == "tEXt") name += "(" + c.data.substr(0, c.data.find('\0')) + ")";
    if (c.type == "IDAT" && s.size() >= 4 && s.compare(s.size() - 4, 4, "IDAT") == 0) continue;
    if (!s.empty()) s += ' ';
    s += name;
  }
  return s;
}

// The data of the first chunk of that type; nullopt-like: found false when there is none.
inline bool FindChunk(const std::vector<WrittenChunk>& chunks, const std::string& type, std::string* data = nullptr) {
  for (const auto& c : chunks)
    if (c.type == type) {
      if (data) *data = c.data;
      return true;
    }
  return false;
}

// All IDAT data joined and inflated: the filtered rows as written.
inline std::string InflatedRows(const std::vector<WrittenChunk>& chunks) {
  std::string z;
  for (const auto& c : chunks)
    if (c.type == "IDAT") z += c.data;
  std::string out;
  z_stream zs{};
  inflateInit(&zs);
  zs.next_in = reinterpret_cast<Bytef*>(z.data());
  zs.avail_in = static_cast<uInt>(z.size());
  char buf[4096];
  int r;
  do {
    zs.next_out = reinterpret_cast<Bytef*>(buf);
    zs.avail_out = sizeof buf;
    r = inflate(&zs, Z_NO_FLUSH);
    out.append(buf, sizeof buf - zs.avail_out);
  } while (r == Z_OK);
  inflateEnd(&zs);
  EXPECT_EQ(r, Z_STREAM_END) << "the zlib stream does not end";
  return out;
}

// A bitmap of the format and size, palette as given, each pixel's bytes set by fill
// (called with the row pointer and y).
inline std::unique_ptr<qrn::Bitmap> MakeBitmap(qrn::PixelFormat format, int w, int h, qrn::TQRNPalette palette = {},
                                               const std::function<void(uint8_t*, int)>& fill = nullptr) {
  auto b = std::make_unique<qrn::Bitmap>();
  b->SetPixelFormat(format);
  b->SetSize(w, h);
  if (!palette.empty()) b->SetPalette(std::move(palette));
  if (fill)
    for (int y = 0; y < h; ++y) fill(b->ScanLine(y), y);
  return b;
}

// Entries written as 0xRRGGBB.
inline qrn::TQRNPalette Palette(std::initializer_list<uint32_t> rgb) {
  qrn::TQRNPalette p;
  for (uint32_t c : rgb)
    p.push_back(qrn::TQRNPalRGB{static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16), 0});
  return p;
}

// "" when both bitmaps have the same format, size and pixels (indices below 9 bits; the bits
// a pixel does not use are left out), else the first difference.
inline std::string CompareImages(const qrn::Bitmap& a, const qrn::Bitmap& b) {
  const int bits = a.BitCount();
  if (b.BitCount() != bits) return "bits " + std::to_string(b.BitCount()) + " not " + std::to_string(bits);
  if (a.Width() != b.Width() || a.Height() != b.Height()) return "size differs";
  for (int y = 0; y < a.Height(); ++y) {
    const uint8_t *p = a.ScanLine(y), *q = b.ScanLine(y);
    for (int x = 0; x < a.Width(); ++x) {
      uint32_t u, v;
      switch (bits) {
        case 1: u = (p[x >> 3] >> (7 - (x & 7))) & 1, v = (q[x >> 3] >> (7 - (x & 7))) & 1; break;
        case 4: u = (x & 1) ? p[x >> 1] & 15 : p[x >> 1] >> 4, v = (x & 1) ? q[x >> 1] & 15 : q[x >> 1] >> 4; break;
        case 8: u = p[x], v = q[x]; break;
        case 15: u = (p[2 * x] | p[2 * x + 1] << 8) & 0x7FFF, v = (q[2 * x] | q[2 * x + 1] << 8) & 0x7FFF; break;
        case 16: u = p[2 * x] | p[2 * x + 1] << 8, v = q[2 * x] | q[2 * x + 1] << 8; break;
        default: {
          const int s = bits == 32 ? 4 : 3;
          u = p[s * x] | p[s * x + 1] << 8 | p[s * x + 2] << 16, v = q[s * x] | q[s * x + 1] << 8 | q[s * x + 2] << 16;
        }
      }
      if (u != v)
        return "pixel (" + std::to_string(x) + "," + std::to_string(y) + ") " + std::to_string(v) + " not " +
               std::to_string(u);
    }
  }
  return "";
}

inline std::string ToString(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

inline std::string Save(qrn::TQRNPNG& png) {
  qrn::MemoryStream out;
  png.SaveToStream(out);
  return ToString(out.data());
}

// The EQRNPNG message of f, or "" when it raises nothing.
inline std::string Raised(const std::function<void()>& f) {
  try {
    f();
  } catch (const qrn::EQRNPNG& e) {
    return e.what();
  }
  return "";
}

using pngref::DecodeLibpng;
using pngref::LibpngImage;

// "" when the two pictures agree on every pixel (ARGB), else the first difference.
inline std::string FirstDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return "size differs";
  const QImage x = a.convertToFormat(QImage::Format_ARGB32), y = b.convertToFormat(QImage::Format_ARGB32);
  for (int j = 0; j < x.height(); ++j)
    for (int i = 0; i < x.width(); ++i)
      if (x.pixel(i, j) != y.pixel(i, j)) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "(%d,%d) %08X vs %08X", i, j, x.pixel(i, j), y.pixel(i, j));
        return buf;
      }
  return "";
}

inline std::string FirstDifference(const LibpngImage& lib, const QImage& b) {
  if (!lib.ok) return "libpng failed";
  QImage a(lib.width, lib.height, QImage::Format_ARGB32);
  for (int j = 0; j < lib.height; ++j)
    for (int i = 0; i < lib.width; ++i) a.setPixel(i, j, lib.pixel(i, j));
  return FirstDifference(a, b);
}

}  // namespace yomira::test::png
