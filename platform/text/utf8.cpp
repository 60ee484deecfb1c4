#include "platform/text/utf8.h"

#include "platform/text/cp932.h"
#include "platform/text/iconv_convert.h"

#include <atomic>
#include <vector>

namespace yomira {
namespace {

// Where iconv refused a cp932 character: a structurally complete double byte is one
// character; anything else is one byte.
size_t SkipCp932(const unsigned char* p, size_t left) {
  if (left >= 2 && IsLeadRange(p[0]) && IsTrailRange(p[1])) return 2;
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

IconvResult Utf8ToCp932Checked(std::string_view utf8) { return IconvConvert("CP932", "UTF-8", utf8, SkipUtf8); }

namespace {

size_t Utf8CharLen(std::string_view s, size_t i) {
  return ValidUtf8Length(reinterpret_cast<const unsigned char*>(s.data()) + i, s.size() - i);
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
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

namespace {

// Every code that can stand as one character: the single bytes that are no lead byte, and
// the leads with each trail byte.
std::vector<uint16_t> Cp932Codes() {
  std::vector<uint16_t> codes;
  for (int b = 0; b < 0x100; ++b)
    if (!IsLeadRange(static_cast<unsigned char>(b))) codes.push_back(static_cast<uint16_t>(b));
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLeadRange(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail)
      if (trail != 0x7F) codes.push_back(static_cast<uint16_t>(lead * 256 + trail));
  }
  return codes;
}

// The character of the well-formed UTF-8 sequence of n bytes at p.
char32_t DecodeUtf8(const unsigned char* p, size_t n) {
  if (n == 1) return p[0];
  char32_t c = p[0] & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) c = (c << 6) | (p[i] & 0x3F);
  return c;
}

std::vector<char32_t> BuildCp932Table() {
  std::vector<char32_t> table(65536, 0);
  const std::vector<uint16_t> codes = Cp932Codes();
  auto decodeOne = [](std::string_view utf8, size_t& i) -> char32_t {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data()) + i;
    const size_t n = ValidUtf8Length(p, utf8.size() - i);
    if (n == 0) {
      ++i;
      return 0;
    }
    i += n;
    return DecodeUtf8(p, n);
  };
  // One conversion of all codes in a row: each character gives exactly one character or "?".
  std::string all;
  for (uint16_t code : codes) {
    if (code > 0xFF) all.push_back(static_cast<char>(code >> 8));
    all.push_back(static_cast<char>(code & 0xFF));
  }
  const std::string utf8 = Lenient("UTF-8", "CP932", all, SkipCp932);
  std::vector<char32_t> got;
  got.reserve(codes.size());
  for (size_t i = 0; i < utf8.size();) got.push_back(decodeOne(utf8, i));
  const bool aligned = got.size() == codes.size();
  for (size_t k = 0; k < codes.size(); ++k) {
    char32_t c;
    if (aligned) {
      c = got[k];
    } else {
      // Not one character each (another iconv): code by code.
      const uint16_t code = codes[k];
      std::string one;
      if (code > 0xFF) one.push_back(static_cast<char>(code >> 8));
      one.push_back(static_cast<char>(code & 0xFF));
      const std::string u = Lenient("UTF-8", "CP932", one, SkipCp932);
      size_t i = 0;
      c = decodeOne(u, i);
      if (i != u.size()) c = 0;
    }
    // "?" is the refusal mark, except for the code of "?" itself.
    if (c == U'?' && codes[k] != 0x3F) c = 0;
    table[codes[k]] = c;
  }
  return table;
}

}  // namespace

namespace {

// The cp932 form of each character below U+10000 as iconv writes it, asked of iconv the
// first time the character is met: 0 not asked yet; 0x100 + the byte of a one-byte form
// ("?" for a character that has none); lead * 256 + trail for two bytes; kAskIconv when the
// form is neither. A race only asks twice.
constexpr uint16_t kAskIconv = 1;
std::atomic<uint16_t> cp932Forms[0x10000];
// cp932 has no character above U+FFFF, so iconv refuses each of them alike: the answer for
// the first one met serves them all.
std::atomic<uint16_t> supplementaryForm{0};

uint16_t Cp932FormOf(char32_t c, std::string_view utf8) {
  std::atomic<uint16_t>& slot = c < 0x10000 ? cp932Forms[c] : supplementaryForm;
  uint16_t form = slot.load(std::memory_order_relaxed);
  if (form != 0) return form;
  const std::string out = Lenient("CP932", "UTF-8", utf8, SkipUtf8);
  const auto* b = reinterpret_cast<const unsigned char*>(out.data());
  if (out.size() == 1)
    form = static_cast<uint16_t>(0x100 | b[0]);
  else if (out.size() == 2 && b[0] >= 0x81)
    form = static_cast<uint16_t>(b[0] << 8 | b[1]);
  else
    form = kAskIconv;
  slot.store(form, std::memory_order_relaxed);
  return form;
}

}  // namespace

// Each character that the table knows is looked up; iconv takes the rest, with the run of
// bytes up to the next one below 0x40, which is never a trail byte, so that the run converts
// as it would inside the whole.
std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() + cp932.size() / 2);
  AppendCp932AsUtf8(out, cp932);
  return out;
}

void AppendCp932AsUtf8(std::string& out, std::string_view cp932) {
  const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
  const size_t n = cp932.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = p[i];
    size_t length = 1;
    uint16_t code = c;
    if (IsLeadRange(c)) {
      const unsigned char trail = i + 1 < n ? p[i + 1] : 0;
      length = IsTrailRange(trail) ? 2 : 0;
      code = static_cast<uint16_t>(c << 8 | trail);
    }
    const char32_t u = length ? Cp932CodeToUnicode(code) : 0;
    if (u != 0 || (length == 1 && c == 0)) {  // the table's 0 is "unknown", but a NUL is a NUL
      AppendUtf8(out, u);
      i += length;
      continue;
    }
    size_t end = i + 1;
    while (end < n && p[end] >= 0x40) ++end;
    out += Lenient("UTF-8", "CP932", cp932.substr(i, end - i), SkipCp932);
    i = end;
  }
}

// iconv reads UTF-8 slowly, and slower still at each character it refuses. A well-formed
// character is converted on its own, as iconv would inside the whole, so each is asked
// once; bytes that start none go through iconv with the rest of their run of non-ASCII
// bytes (an ASCII byte always starts a character afresh).
std::string Utf8ToCp932(std::string_view utf8) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n;) {
    const size_t length = p[i] < 0x80 ? 1 : ValidUtf8Length(p + i, n - i);
    if (length == 0) {
      size_t end = i + 1;
      while (end < n && p[end] >= 0x80) ++end;
      out += Lenient("CP932", "UTF-8", utf8.substr(i, end - i), SkipUtf8);
      i = end;
      continue;
    }
    const char32_t c = DecodeUtf8(p + i, length);
    const uint16_t form = Cp932FormOf(c, utf8.substr(i, length));
    if (form == kAskIconv) {
      out += Lenient("CP932", "UTF-8", utf8.substr(i, length), SkipUtf8);
    } else {
      if (form >= 0x8100) out += static_cast<char>(form >> 8);
      out += static_cast<char>(form & 0xFF);
    }
    i += length;
  }
  return out;
}

char32_t Cp932CodeToUnicode(uint16_t code) {
  static const std::vector<char32_t> table = BuildCp932Table();
  return table[code];
}

int Utf8CharCount(std::string_view s) {
  int chars = 0;
  for (const char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
  return chars;
}

}  // namespace yomira
