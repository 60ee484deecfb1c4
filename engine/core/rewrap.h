// Re-wrapping of hard-wrapped text: marks which source lines continue on the next one, so
// that the conversion joins them into one paragraph. The result holds one join flag per
// source line (non-zero: the line continues on the next).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/core/display_line.h"
#include "engine/core/option.h"

namespace yomira {

// ReWrapType 0 runs ReWrapFixed, 1 runs ReWrapCompel, any other value joins nothing.
std::vector<uint8_t> ReWrapLines(const TYomiraOption& option, const SourceLines& lines,
                                 bool htmlImported);

// Joins the lines whose length is near the dominant line length of the text.
std::vector<uint8_t> ReWrapFixed(const TYomiraOption& option, const SourceLines& lines,
                                 bool htmlImported);

// Joins every line that ends in a double-byte character other than a paragraph end.
std::vector<uint8_t> ReWrapCompel(const TYomiraOption& option, const SourceLines& lines,
                                  bool htmlImported);

// The in-place forms set flags and leave the rest alone; they do nothing when the number
// of flags differs from the number of lines.
void ReWrapFixed(const TYomiraOption& option, const SourceLines& lines, bool htmlImported,
                 std::vector<uint8_t>& flags);
void ReWrapCompel(const TYomiraOption& option, const SourceLines& lines, bool htmlImported,
                  std::vector<uint8_t>& flags);

// A line that stands for itself: a legend or horizontal rule, the page-break tag, an
// illustration tag, or a whole-line note. Joining it into a paragraph would lose its effect.
bool IsWholeLineNotation(std::string_view line);

}  // namespace yomira
