// Constants of the PNG file format shared by the reader and the writer: the signature,
// the chunk types as big-endian words, and the Adam7 pass grid.
#pragma once

#include <cstdint>

namespace yomira::qrn::pngformat {

constexpr uint32_t Tag(const char (&s)[5]) {
  return uint32_t{static_cast<uint8_t>(s[0])} << 24 | uint32_t{static_cast<uint8_t>(s[1])} << 16 |
         uint32_t{static_cast<uint8_t>(s[2])} << 8 | static_cast<uint8_t>(s[3]);
}
constexpr uint32_t kIHDR = Tag("IHDR"), kPLTE = Tag("PLTE"), kIDAT = Tag("IDAT"), kIEND = Tag("IEND"),
                   kbKGD = Tag("bKGD"), kcHRM = Tag("cHRM"), kgAMA = Tag("gAMA"), kgIFg = Tag("gIFg"),
                   kpHYs = Tag("pHYs"), ksBIT = Tag("sBIT"), ktEXt = Tag("tEXt"), ktIME = Tag("tIME"),
                   ktRNS = Tag("tRNS"), ktpNG = Tag("tpNG"), kQRN3 = Tag("QRN3");

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// The largest picture the reader takes: width × height × 4 bytes at most, 128 MiB.
constexpr int64_t kMaxImageBytes = 134217728;

// Adam7 passes 1 to 7: first column, column step, first row, row step.
constexpr int kPassCol[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr int kPassColStep[7] = {8, 8, 4, 4, 2, 2, 1};
constexpr int kPassRow[7] = {0, 0, 4, 0, 2, 0, 1};
constexpr int kPassRowStep[7] = {8, 8, 8, 4, 4, 2, 2};

}  // namespace yomira::qrn::pngformat
