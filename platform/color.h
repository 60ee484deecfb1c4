// Colour values and their two text forms. A colour is 32 bits: a plain colour holds
// 0x00BBGGRR (red in the low byte); a value with the top bit set names a system colour by
// its index in the low byte. No Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace yomira {

constexpr uint32_t kSystemColorFlag = 0x80000000u;
constexpr uint32_t clWindowText = kSystemColorFlag | 8;

// Library notation to colour: a colour-constant name (the whole text, any ASCII case), else
// an integer text (decimal, or hex after "$", "x" or "0x"); def for anything else.
uint32_t StrToColorDef(std::string_view text, uint32_t def);
// The same rule; nullopt for a text that is no colour.
std::optional<uint32_t> TryStrToColor(std::string_view text);

// The first constant name with this value, else "$" and eight upper-case hex digits.
std::string ColorToString(uint32_t color);

// List notation "#RRGGBB"; the top byte is ignored, so a system colour is not resolved.
std::string ColorToHtml(uint32_t color);

// "#RRGGBB" (the first character not examined) to a colour; 0 unless exactly 7 bytes; a
// channel that is not two hex digits is 0.
uint32_t HtmlToColor(std::string_view text);

// The RGB value to draw with (0x00BBGGRR): a system colour from a fixed scheme (0 for an
// index without one); any other value with its top byte dropped.
uint32_t ColorToRgb(uint32_t color);

}  // namespace yomira
