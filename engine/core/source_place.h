// Places in the source text and the views that hold them. A place survives every relayout
// of the same source lines (another grid, font, re-wrap or bracket conversion), where a
// view number or a rate of the views does not.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/core/display_line.h"
#include "engine/core/option.h"

namespace yomira {

struct SourcePlace {
  int32_t line = 0;    // 0-based source line
  int32_t column = 1;  // 1-based byte in that line
  bool operator==(const SourcePlace&) const = default;
};

// Display lines a view holds: lines per block x blocks x pages; at least 1.
int64_t LinesPerView(const TYomiraOption& option);

// The view (1-based) of a display line index, views of perView lines (at least 1 counts).
int32_t ViewOfLineIndex(int64_t index, int64_t perView);
inline int32_t ViewOfLineIndex(int64_t index, const TYomiraOption& option) {
  return ViewOfLineIndex(index, LinesPerView(option));
}

// The search of the start position: line (0-based, < 0: none) picks the first display line
// whose source line is at least it; pos (1-based byte, <= 0: none) then walks the display
// lines of that same source line, from there (from the first display line without line),
// for the first element that reaches pos: with a line, an element whose source span ends
// at or after byte pos of that line (so an element of an earlier line joined into the same
// paragraph does not count); without one, column + length at least pos. The index of the
// display line found, -1 when neither search found one.
int64_t FindSourcePosition(const DisplayLines& lines, int32_t line, int32_t pos);

// The view that holds place: the display line with the element that covers its byte, or
// the first display line of its source line when the byte is gone. 0 when nothing holds it.
int32_t ViewOfPlace(const DisplayLines& lines, int64_t perView, SourcePlace place);

// Where view (1-based) begins in the text: the first text-bearing element of its lines
// (spacers, marks and notes skipped), else its first element of any kind. Nothing for a
// view past the end or one without elements.
std::optional<SourcePlace> FirstPlaceOfView(const DisplayLines& lines, int64_t perView, int32_t view);

}  // namespace yomira
