#include "platform/codepage/converters.h"

#include <bitset>
#include <memory>

#include "platform/text/cp932.h"
#include "platform/text/iconv_convert.h"
#include "platform/text/utf8.h"

namespace yomira {
namespace {

constexpr bool IsJisByte(unsigned c) { return c >= 0x21 && c <= 0x7E; }
constexpr bool IsEucByte(unsigned c) { return c >= 0xA1 && c <= 0xFE; }

size_t SkipPair(const unsigned char*, size_t left) { return left >= 2 ? 2 : 1; }

// One pass of iconv over every structurally possible double byte: a defined pair comes
// out as four UCS-4BE bytes (first byte 0), an undefined one as a single "?".
std::unique_ptr<std::bitset<65536>> BuildDefinedTable() {
  auto table = std::make_unique<std::bitset<65536>>();
  std::string pairs;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsTrailRange(static_cast<unsigned char>(trail))) continue;
      pairs += static_cast<char>(lead);
      pairs += static_cast<char>(trail);
    }
  }
  const IconvResult r = IconvConvert("UCS-4BE", "CP932", pairs, SkipPair);
  if (r.status != IconvStatus::Ok) throw ConvertError(kConvertErrorCreate);
  size_t pos = 0;
  for (size_t i = 0; i + 1 < pairs.size() && pos < r.out.size(); i += 2) {
    const bool defined = r.out[pos] != '?';
    pos += defined ? 4 : 1;
    if (defined) table->set(static_cast<unsigned char>(pairs[i]) << 8 | static_cast<unsigned char>(pairs[i + 1]));
  }
  return table;
}

const std::bitset<65536>& DefinedTable() {
  static const std::unique_ptr<std::bitset<65536>> table = BuildDefinedTable();
  return *table;
}

// Appends the cp932 form of a JIS X 0208 pair, or "?" where cp932 has none.
void AppendJis(std::string& out, const std::bitset<65536>& defined, unsigned j1, unsigned j2) {
  const uint16_t sj = JisToSjis(j1, j2);
  if (defined.test(sj)) {
    out += static_cast<char>(sj >> 8);
    out += static_cast<char>(sj & 0xFF);
  } else {
    out += '?';
  }
}

}  // namespace

bool IsDefinedCp932(unsigned char lead, unsigned char trail) { return DefinedTable().test(lead << 8 | trail); }

std::string EucJpToCp932(std::string_view euc) {
  const auto& defined = DefinedTable();
  const auto* p = reinterpret_cast<const unsigned char*>(euc.data());
  const size_t n = euc.size();
  // Never longer than the input: every step writes at most as many bytes as it reads.
  std::string out(n, '\0');
  char* o = out.data();
  size_t i = 0;
  while (i < n) {
    const unsigned c = p[i];
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
      ++i;
    } else if (c == 0x8E && i + 1 < n && p[i + 1] >= 0xA1 && p[i + 1] <= 0xDF) {
      *o++ = static_cast<char>(p[i + 1]);
      i += 2;
    } else if (c == 0x8F && i + 2 < n && IsEucByte(p[i + 1]) && IsEucByte(p[i + 2])) {
      *o++ = '?';  // JIS X 0212
      i += 3;
    } else if (IsEucByte(c) && i + 1 < n && IsEucByte(p[i + 1])) {
      const uint16_t sj = JisToSjis(c - 0x80, p[i + 1] - 0x80u);
      if (defined.test(sj)) {
        *o++ = static_cast<char>(sj >> 8);
        *o++ = static_cast<char>(sj & 0xFF);
      } else {
        *o++ = '?';
      }
      i += 2;
    } else {
      *o++ = '?';
      ++i;
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return out;
}

std::string Iso2022JpToCp932(std::string_view jis) {
  enum class Set { Ascii, Kana, Jis0208, Unmapped };
  const auto& defined = DefinedTable();
  const auto* p = reinterpret_cast<const unsigned char*>(jis.data());
  const size_t n = jis.size();
  auto at = [&](size_t k) -> int { return k < n ? p[k] : -1; };
  std::string out;
  out.reserve(n);
  Set g0 = Set::Ascii;
  bool shifted = false;  // SO ... SI selects kana over g0
  size_t i = 0;
  while (i < n) {
    const unsigned c = p[i];
    if (c == 0x1B) {
      const int a = at(i + 1), b = at(i + 2), d = at(i + 3);
      size_t len = 0;
      if (a == '(' && (b == 'B' || b == 'J')) {
        g0 = Set::Ascii, len = 3;
      } else if (a == '(' && b == 'I') {
        g0 = Set::Kana, len = 3;
      } else if (a == '$' && (b == '@' || b == 'B')) {
        g0 = Set::Jis0208, len = 3;
      } else if (a == '$' && b == '(' && d == 'B') {
        g0 = Set::Jis0208, len = 4;
      } else if (a == '$' && b == '(' && (d == 'D' || d == 'O' || d == 'P' || d == 'Q')) {
        g0 = Set::Unmapped, len = 4;
      } else if (a == '&' && b == '@' && at(i + 3) == 0x1B && at(i + 4) == '$' && at(i + 5) == 'B') {
        g0 = Set::Jis0208, len = 6;
      }
      if (len) {
        i += len;
      } else {
        out += '?';  // unknown escape: the bytes after it are read as text
        ++i;
      }
      continue;
    }
    if (c == 0x0E || c == 0x0F) {
      shifted = c == 0x0E;
      ++i;
      continue;
    }
    if (c < 0x21) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if (c >= 0x80) {
      out += '?';
      ++i;
      continue;
    }
    const Set set = shifted ? Set::Kana : g0;
    switch (set) {
      case Set::Ascii:
        out += static_cast<char>(c);
        ++i;
        break;
      case Set::Kana:
        out += c <= 0x5F ? static_cast<char>(c + 0x80) : '?';
        ++i;
        break;
      case Set::Jis0208:
      case Set::Unmapped:
        if (IsJisByte(c) && i + 1 < n && IsJisByte(p[i + 1])) {
          if (set == Set::Jis0208)
            AppendJis(out, defined, c, p[i + 1]);
          else
            out += '?';
          i += 2;
        } else {
          out += '?';  // a lone half of a pair, or DEL
          ++i;
        }
        break;
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::string_view utf16, bool bigEndian) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf16.data());
  const size_t n = utf16.size();
  auto unit = [&](size_t k) -> uint32_t {
    return bigEndian ? (p[k] << 8 | p[k + 1]) : (p[k + 1] << 8 | p[k]);
  };
  std::string out;
  out.reserve(n + n / 2);
  size_t i = 0;
  for (; i + 1 < n; i += 2) {
    const uint32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < n) {
      const uint32_t v = unit(i + 2);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
        i += 2;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF)
      out += "??";
    else
      AppendUtf8(out, u);
  }
  if (i < n) out += '?';
  return out;
}

std::string Utf7ToUtf8(std::string_view utf7) {
  IconvResult r = IconvConvert("UTF-8", "UTF-7", utf7, [](const unsigned char*, size_t) -> size_t { return 1; });
  if (r.status == IconvStatus::OpenFailed) throw ConvertError(kConvertErrorCreate);
  if (r.status != IconvStatus::Ok) throw ConvertError(kConvertErrorConvert);
  return std::move(r.out);
}

}  // namespace yomira
