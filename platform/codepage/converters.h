// Back ends of the code-page conversion to cp932. Our own decoders for EUC-JP and
// ISO-2022-JP (glibc's refuse the cp932 vendor rows and stop at bad input), a UTF-16
// decoder, and UTF-7 through glibc iconv. None of them stops at bad input: each byte
// that is not part of a valid complete character becomes one "?".
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace yomira {

// A failure of the converter itself (never of the content). The messages are the
// program's own.
class ConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr char kConvertErrorCreate[] = "COM ERROR : CoCreateInstance - CLSID_CMLangConvertCharset";
inline constexpr char kConvertErrorInitialize[] = "COM ERROR : Initialize";
inline constexpr char kConvertErrorAlloc[] = "COM ERROR : CoTaskMemAlloc";
inline constexpr char kConvertErrorConvert[] = "COM ERROR : DoConversion";

// True when lead and trail form a character that cp932 defines (built once from iconv).
bool IsDefinedCp932(unsigned char lead, unsigned char trail);

// The Shift-JIS bytes (lead << 8 | trail) of the JIS X 0208 row/cell pair j1, j2 (0x21..0x7E).
constexpr uint16_t JisToSjis(unsigned j1, unsigned j2) {
  const unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
  const unsigned s2 = j2 + ((j1 & 1) ? (j2 < 0x60 ? 0x1F : 0x20) : 0x7E);
  return static_cast<uint16_t>(s1 << 8 | s2);
}

// EUC-JP (with the cp932 vendor rows) to cp932. JIS X 0212 characters have no cp932 form.
std::string EucJpToCp932(std::string_view euc);

// ISO-2022-JP and its common extensions (JIS X 0201 kana by ESC ( I or SO/SI) to cp932.
std::string Iso2022JpToCp932(std::string_view jis);

// UTF-16 without its byte-order mark to UTF-8. A lone surrogate and an odd last byte give
// one "?" per byte.
std::string Utf16ToUtf8(std::string_view utf16, bool bigEndian);

// UTF-7 to UTF-8 through iconv. Throws ConvertError when iconv itself fails.
std::string Utf7ToUtf8(std::string_view utf7);

}  // namespace yomira
