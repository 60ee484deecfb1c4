#include "platform/text/utf8.h"

#include <iconv.h>

#include <cerrno>

#include "platform/text/cp932.h"

namespace yomira {
namespace {

// Bytes to step over at an input position iconv refused, so that one bad character
// becomes one "?" and the rest converts.
using SkipFn = size_t (*)(const unsigned char* p, size_t left);

size_t SkipCp932(const unsigned char* p, size_t left) {
  if (left >= 2 && IsLeadRange(p[0]) && p[1] >= 0x40 && p[1] != 0x7F && p[1] <= 0xFC) return 2;
  return 1;
}

size_t SkipUtf8(const unsigned char* p, size_t left) {
  size_t n = p[0] >= 0xF0 && p[0] <= 0xF4 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC2 && p[0] < 0xE0 ? 2 : 1;
  if (p[0] > 0xF4 || n > left) return 1;
  for (size_t i = 1; i < n; ++i)
    if ((p[i] & 0xC0) != 0x80) return 1;
  return n;
}

std::string Convert(const char* to, const char* from, std::string_view in, SkipFn skip) {
  std::string out;
  if (in.empty()) return out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in.size(), '?');
  out.reserve(in.size() * 3 / 2 + 16);
  char* ip = const_cast<char*>(in.data());
  size_t ileft = in.size();
  char buf[4096];
  while (ileft > 0) {
    char* op = buf;
    size_t oleft = sizeof buf;
    size_t r = iconv(cd, &ip, &ileft, &op, &oleft);
    out.append(buf, op);
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: one replacement for the character that failed, then go on.
    out += '?';
    size_t n = skip(reinterpret_cast<const unsigned char*>(ip), ileft);
    ip += n;
    ileft -= n;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

// Length of the well-formed character at s[i], or 0 when none starts there.
size_t Utf8CharLen(std::string_view s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) return 1;
  size_t n;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) lo = 0xA0;  // overlong
    if (c == 0xED) hi = 0x9F;  // surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) lo = 0x90;  // overlong
    if (c == 0xF4) hi = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  if (b(i + 1) < lo || b(i + 1) > hi) return 0;
  for (size_t k = 2; k < n; ++k)
    if ((b(i + k) & 0xC0) != 0x80) return 0;
  return n;
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

std::string Cp932ToUtf8(std::string_view cp932) { return Convert("UTF-8", "CP932", cp932, SkipCp932); }

std::string Utf8ToCp932(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, SkipUtf8); }

}  // namespace yomira
