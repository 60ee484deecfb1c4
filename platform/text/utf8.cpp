#include "platform/text/utf8.h"

#include "platform/text/cp932.h"
#include "platform/text/iconv_convert.h"

namespace yomira {
namespace {

// Where iconv refused a cp932 character: a structurally complete double byte is one
// character; anything else is one byte.
size_t SkipCp932(const unsigned char* p, size_t left) {
  if (left >= 2 && IsLeadRange(p[0]) && p[1] >= 0x40 && p[1] != 0x7F && p[1] <= 0xFC) return 2;
  return 1;
}

// A complete well-formed character that has no cp932 form is one "?"; every byte that
// belongs to no such character is a "?" of its own.
size_t SkipUtf8(const unsigned char* p, size_t left) {
  const size_t n = ValidUtf8Length(p, left);
  return n ? n : 1;
}

std::string Lenient(const char* to, const char* from, std::string_view in, IconvSkipFn skip) {
  IconvResult r = IconvConvert(to, from, in, skip);
  if (r.status != IconvStatus::Ok) return std::string(in.size(), '?');
  return std::move(r.out);
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) { return Lenient("UTF-8", "CP932", cp932, SkipCp932); }

std::string Utf8ToCp932(std::string_view utf8) { return Lenient("CP932", "UTF-8", utf8, SkipUtf8); }

IconvResult Utf8ToCp932Checked(std::string_view utf8) { return IconvConvert("CP932", "UTF-8", utf8, SkipUtf8); }

namespace {

size_t Utf8CharLen(std::string_view s, size_t i) {
  return ValidUtf8Length(reinterpret_cast<const unsigned char*>(s.data()) + i, s.size() - i);
}

}  // namespace

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const size_t n = Utf8CharLen(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string SanitizeUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const size_t n = Utf8CharLen(s, i);
    if (n == 0) {
      out += '?';
      ++i;
    } else {
      out.append(s.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::string DecodeUtf8OrCp932(std::string_view bytes) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp932ToUtf8(bytes);
}

}  // namespace yomira
