// libpng's reading of a PNG as RGBA8 (classic API, no gamma, everything widened), with every
// warning it gave: the reference the conformance tool and the writer tests compare against.
#pragma once

#include <QRgb>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace yomira::pngref {

struct LibpngImage {
  bool ok = false;
  // The header claims a picture over the reader's own cap: refused before allocating.
  bool tooLarge = false;
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  std::vector<std::string> warnings;
  QRgb pixel(int x, int y) const {
    const uint8_t* p = rgba.data() + (static_cast<size_t>(y) * width + x) * 4;
    return qRgba(p[0], p[1], p[2], p[3]);
  }
};

LibpngImage DecodeLibpng(const uint8_t* data, size_t size);
inline LibpngImage DecodeLibpng(const std::string& file) {
  return DecodeLibpng(reinterpret_cast<const uint8_t*>(file.data()), file.size());
}
inline LibpngImage DecodeLibpng(const std::vector<uint8_t>& file) { return DecodeLibpng(file.data(), file.size()); }

}  // namespace yomira::pngref
