// The cp932 text toolkit. Document text is held as cp932 bytes in std::string and every
// position is a 1-based byte index. Whether a byte is a lead, a trail or a single byte
// depends on where it stands, never on its value alone: trail bytes (0x40-0x7E, 0x80-0xFC)
// overlap the lead ranges (0x81-0x9F, 0xE0-0xFC). Nothing here depends on the locale.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yomira {

enum class ByteType { None, Single, Lead, Trail };

// True for a byte in the lead ranges 0x81-0x9F and 0xE0-0xFC (a candidate, not a verdict).
constexpr bool IsLeadRange(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool IsLeadRange(char c) { return IsLeadRange(static_cast<unsigned char>(c)); }

// True for a byte in the trail range 0x40-0xFC without 0x7F: after a lead byte, the pair
// is one well-formed double-byte code (it may still have no character).
constexpr bool IsTrailRange(unsigned char c) { return c >= 0x40 && c != 0x7F && c <= 0xFC; }

// The role of the byte at pos. A lead-range byte followed by any byte opens a two-byte
// character; a lead-range byte at the very end stands alone (Single). None outside the text.
ByteType ByteTypeAt(std::string_view s, int pos);

// Length (1 or 2) of the character that starts at the character boundary pos; 0 past the end.
inline int CharLen(std::string_view s, int pos) {
  if (pos < 1 || pos > static_cast<int>(s.size())) return 0;
  return IsLeadRange(s[pos - 1]) && pos < static_cast<int>(s.size()) ? 2 : 1;
}

// The boundary after the character that starts at the boundary pos.
inline int NextChar(std::string_view s, int pos) { return pos + (CharLen(s, pos) ? CharLen(s, pos) : 1); }

// Up to n bytes from the 1-based pos (pos < 1 counts as 1); empty past the end or for n <= 0.
std::string Copy(std::string_view s, int pos, int n);
std::string_view CopyView(std::string_view s, int pos, int n);

// The whole character at pos: one byte for a single-byte character, two bytes from pos for
// a lead byte, two bytes from pos - 1 for a trail byte; empty outside the text.
std::string_view CharAt(std::string_view s, int pos);

// First character-aligned occurrence of pattern at or after start (start < 1 searches
// from 1; a start inside a character resumes at the next boundary). 0 when either is
// empty or there is none.
int FindFrom(std::string_view text, int start, std::string_view pattern);

// Last character-aligned occurrence of pattern that ends before the 1-based position
// end_before (the whole text by default). 0 when either is empty or there is none.
int FindLastFrom(std::string_view text, std::string_view pattern, int end_before = -1);

// First character-aligned occurrence that starts at or after from and ends at or before
// to; 0 unless text and pattern are non-empty, from > 0, from < to and to < text length.
int FindBetween(std::string_view text, int from, std::string_view pattern, int to);

// True when the character ch occurs, character-aligned, in list. An empty ch is in no list.
bool Contains(std::string_view list, std::string_view ch);

// The characters of a list, for membership by table: contains(ch) answers as
// Contains(list, ch) does for one character ch (as CharAt gives it), in constant time. A
// one-byte ch matches every character of the list that starts with that byte (a lead byte
// at the text's end is one byte).
class CharSet {
 public:
  CharSet() = default;
  explicit CharSet(std::string_view list);
  bool contains(std::string_view ch) const {
    if (ch.size() == 1) return first_.test(static_cast<unsigned char>(ch[0]));
    if (ch.size() != 2) return false;
    return pairs_.test(static_cast<size_t>(static_cast<unsigned char>(ch[0])) << 8 | static_cast<unsigned char>(ch[1]));
  }

 private:
  std::bitset<256> first_;     // first bytes of the list's characters
  std::bitset<65536> pairs_;   // codes (lead << 8 | trail) of its double-byte characters
};

// Single-byte A-Z to a-z; double-byte characters are left whole.
std::string AsciiLower(std::string_view s);

// Without the bytes <= 0x20 at both ends.
std::string Trim(std::string_view s);

// Optional blanks, an optional sign, then decimal digits that fit 32 bits signed, or "$",
// "x", "X", "0x" or "0X" and up to 32 bits of hex digits read as signed; nothing after.
std::optional<int32_t> TryStrToInt(std::string_view s);
// Decimal only: optional blanks, an optional sign, digits that fit 32 bits signed.
std::optional<int32_t> TryStrToIntDecimal(std::string_view s);
// TryStrToInt, or def for any other text.
int32_t StrToIntDef(std::string_view s, int32_t def);

// Full-width digits and Latin letters to ASCII; hiragana to katakana; all else kept.
std::string ToHalfWidth(std::string_view s);

// Lines ended by CR LF, CR or LF; a final line end adds no empty line.
std::vector<std::string> SplitLines(std::string_view s);

}  // namespace yomira
