// One fuzz input through the PNG reader. The last byte picks the options: bit 0
// Restore16Bit, bit 1 SkipMacBinary, bit 2 a stream that hands out at most 7 bytes per read
// instead of memory; bits 3-5 (modulo 6) the filter and bit 6 Adam7 for saving. Returns ""
// when the reader behaved (decoded a picture of the size it reports, or raised EQRNPNG) and
// the decoded picture, saved and read back, came back the same; else what went wrong.
// Other exceptions escape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace yomira::test {

std::string FuzzPngOne(const uint8_t* data, size_t size);

}  // namespace yomira::test
