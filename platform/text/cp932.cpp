#include "platform/text/cp932.h"

#include <optional>

#include <algorithm>
#include <cstring>

namespace yomira {

ByteType ByteTypeAt(std::string_view s, int pos) {
  const int len = static_cast<int>(s.size());
  if (pos < 1 || pos > len) return ByteType::None;
  // Walk back over lead-range bytes: the byte before that run ends a character, so the
  // run pairs up from its start and its parity says whether pos opens a character.
  int run = 0;
  for (int i = pos - 1; i >= 1 && IsLeadRange(s[i - 1]); --i) ++run;
  if (run % 2 == 1) return ByteType::Trail;
  return IsLeadRange(s[pos - 1]) && pos < len ? ByteType::Lead : ByteType::Single;
}

std::string_view CopyView(std::string_view s, int pos, int n) {
  if (pos < 1) pos = 1;
  if (n <= 0 || pos > static_cast<int>(s.size())) return {};
  return s.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(n));
}

std::string Copy(std::string_view s, int pos, int n) { return std::string(CopyView(s, pos, n)); }

std::string_view CharAt(std::string_view s, int pos) {
  switch (ByteTypeAt(s, pos)) {
    case ByteType::Single: return s.substr(static_cast<size_t>(pos - 1), 1);
    case ByteType::Lead: return s.substr(static_cast<size_t>(pos - 1), 2);
    case ByteType::Trail: return s.substr(static_cast<size_t>(pos - 2), 2);
    case ByteType::None: break;
  }
  return {};
}

namespace {

bool MatchAt(std::string_view text, int pos, std::string_view pattern) {
  return std::memcmp(text.data() + pos - 1, pattern.data(), pattern.size()) == 0;
}

// Calls visit(pos) for every character boundary from start whose match would fit before
// limit (the last byte index a match may use); stops when visit returns true.
template <typename Visit>
int WalkMatches(std::string_view text, int start, std::string_view pattern, int limit, Visit visit) {
  if (text.empty() || pattern.empty()) return 0;
  int pos = std::max(start, 1);
  if (ByteTypeAt(text, pos) == ByteType::Trail) ++pos;
  const int plen = static_cast<int>(pattern.size());
  const unsigned char first = static_cast<unsigned char>(pattern[0]);
  while (pos + plen - 1 <= limit) {
    if (static_cast<unsigned char>(text[pos - 1]) == first && MatchAt(text, pos, pattern) && visit(pos))
      return pos;
    pos = NextChar(text, pos);
  }
  return 0;
}

}  // namespace

int FindFrom(std::string_view text, int start, std::string_view pattern) {
  return WalkMatches(text, start, pattern, static_cast<int>(text.size()), [](int) { return true; });
}

int FindLastFrom(std::string_view text, std::string_view pattern, int end_before) {
  int limit = static_cast<int>(text.size());
  if (end_before >= 0) limit = std::min(limit, end_before - 1);
  int last = 0;
  WalkMatches(text, 1, pattern, limit, [&](int pos) {
    last = pos;
    return false;
  });
  return last;
}

int FindBetween(std::string_view text, int from, std::string_view pattern, int to) {
  const int len = static_cast<int>(text.size());
  if (text.empty() || pattern.empty() || from <= 0 || from >= to || to >= len) return 0;
  return WalkMatches(text, from, pattern, to, [](int) { return true; });
}

bool Contains(std::string_view list, std::string_view ch) {
  return !ch.empty() && FindFrom(list, 1, ch) > 0;
}

CharSet::CharSet(std::string_view list) {
  const int len = static_cast<int>(list.size());
  for (int pos = 1; pos <= len; pos = NextChar(list, pos)) {
    const auto b = static_cast<unsigned char>(list[pos - 1]);
    first_.set(b);
    if (CharLen(list, pos) == 2) pairs_.set(static_cast<size_t>(b) << 8 | static_cast<unsigned char>(list[pos]));
  }
}

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  const int len = static_cast<int>(out.size());
  for (int pos = 1; pos <= len; pos = NextChar(out, pos)) {
    char& c = out[pos - 1];
    if (CharLen(out, pos) == 1 && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 0x20) --e;
  return std::string(s.substr(b, e - b));
}

namespace {
std::optional<int32_t> ParseInt32(std::string_view s, bool allowHex) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (allowHex && i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (allowHex && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == s.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value * (hex ? 16 : 10) + digit;
    if (value > (hex ? int64_t{0xFFFFFFFF} : int64_t{1} << 31)) return std::nullopt;
  }
  if (hex) {
    // Hexadecimal fills all 32 bits: $FFFFFFFF is -1.
    const int64_t v = static_cast<int32_t>(static_cast<uint32_t>(value));
    return static_cast<int32_t>(static_cast<uint32_t>(negative ? -v : v));
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

std::optional<int32_t> TryStrToInt(std::string_view s) { return ParseInt32(s, true); }
std::optional<int32_t> TryStrToIntDecimal(std::string_view s) { return ParseInt32(s, false); }

int32_t StrToIntDef(std::string_view s, int32_t def) { return TryStrToInt(s).value_or(def); }

std::string ToHalfWidth(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  const int len = static_cast<int>(s.size());
  for (int pos = 1; pos <= len; pos = NextChar(s, pos)) {
    if (CharLen(s, pos) == 1) {
      out += s[pos - 1];
      continue;
    }
    const unsigned char lead = static_cast<unsigned char>(s[pos - 1]);
    const unsigned char trail = static_cast<unsigned char>(s[pos]);
    if (lead == 0x82 && trail >= 0x4F && trail <= 0x58) {
      out += static_cast<char>('0' + trail - 0x4F);
    } else if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) {
      out += static_cast<char>('A' + trail - 0x60);
    } else if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A) {
      out += static_cast<char>('a' + trail - 0x81);
    } else if (lead == 0x82 && trail >= 0x9F && trail <= 0xF1) {
      // Hiragana ぁ..ん to katakana ァ..ン; the katakana block skips 0x7F.
      int k = 0x40 + (trail - 0x9F);
      if (k >= 0x7F) ++k;
      out += static_cast<char>(0x83);
      out += static_cast<char>(k);
    } else {
      out.append(s.substr(static_cast<size_t>(pos - 1), 2));
    }
  }
  return out;
}

std::vector<std::string> SplitLines(std::string_view s) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\r' && s[i] != '\n') continue;
    lines.emplace_back(s.substr(start, i - start));
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < s.size()) lines.emplace_back(s.substr(start));
  return lines;
}

}  // namespace yomira
