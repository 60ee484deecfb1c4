// Exceptions of the PNG codec and every message it raises, byte for byte.
#pragma once

#include <stdexcept>
#include <string>

namespace yomira::qrn {

// Stand-in for the class library's invalid-graphic error.
class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Every failure of the codec is raised as this, with one of the messages below.
class EQRNPNG : public EInvalidGraphic {
 public:
  using EInvalidGraphic::EInvalidGraphic;
};

namespace msg {
inline constexpr const char* kErrIDATSize = "PNG Param: Err IDAT Size(min:256  max:100000)";
inline constexpr const char* kNotPNGFormat = "PNG LoadStream: Not PNG Format";
inline constexpr const char* kTwoIHDR = "Read Header(PNG): appear two IHDR";
inline constexpr const char* kErrColorType = "Read Header(PNG): Error ColorType";
inline constexpr const char* kNoCompression = "Read Header(PNG): not support Compression";
inline constexpr const char* kNoFilter = "Read Header(PNG): not supprt Filter";
inline constexpr const char* kNoInterlace = "Read Header(PNG): not interlace type";
inline constexpr const char* kWriteErrIDATSize = "Write PNG Param: Err IDAT Size(min:256  max:100000)";
inline constexpr const char* kNoAlphaChannel = "Read Header(PNG): not Use AlphaChannel";
inline constexpr const char* kErrGreyBitdepth = "Read Header(PNG): Error Bitdepth";
inline constexpr const char* kErrBitDepth = "Read Header(PNG): Error BitDepth";
inline constexpr const char* kErrZLIB = "PNG LoadStream: Error ZLIB";
inline constexpr const char* kReadError = "Read Image (PNG): Read Error";
inline constexpr const char* kWriteError = "Write Image (PNG): Write Error";
// Raised where the original reader silently went wrong.
inline constexpr const char* kCRCError = "Read Chunk(PNG): CRC Error";
inline constexpr const char* kErrLength = "Read Chunk(PNG): Error Length";
inline constexpr const char* kErrSize = "Read Header(PNG): Error Size";
inline constexpr const char* kNoIHDR = "Read Header(PNG): not found IHDR";
inline constexpr const char* kNoPLTE = "Read Header(PNG): not found PLTE";
inline constexpr const char* kNoIDAT = "Read Image (PNG): not found IDAT";
}  // namespace msg

[[noreturn]] inline void RaisePNG(const char* message) { throw EQRNPNG(message); }

}  // namespace yomira::qrn
