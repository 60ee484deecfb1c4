#include "engine/core/source_place.h"

#include <algorithm>
#include <climits>

namespace yomira {

int64_t LinesPerView(const TYomiraOption& option) {
  return std::max<int64_t>(1, int64_t{option.c_size} * option.Colum * option.Page);
}

int32_t ViewOfLineIndex(int64_t index, int64_t perView) {
  return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(index, 0) / std::max<int64_t>(perView, 1) + 1, INT_MAX));
}

namespace {

bool Reaches(const TYomiraObject& el, int32_t line, int32_t pos) {
  if (line < 0) return int64_t{el.column} + el.length >= pos;
  const SourcePos end = SourceEnd(el);
  return end.line > line || (end.line == line && end.end >= pos);
}

}  // namespace

int64_t FindSourcePosition(const DisplayLines& lines, int32_t line, int32_t pos) {
  const int64_t count = static_cast<int64_t>(lines.size());
  int64_t found = -1;
  int64_t start = 0;
  if (line >= 0) {
    for (int64_t i = 0; i < count; ++i) {
      if (lines[static_cast<size_t>(i)].source_line >= line) {
        found = start = i;
        break;
      }
    }
    // No display line of that source line or a later one.
    if (found < 0) return -1;
  }
  if (pos > 0 && start < count) {
    const int32_t source = lines[static_cast<size_t>(start)].source_line;
    for (int64_t i = start; i < count; ++i) {
      const TYomiraLine& l = lines[static_cast<size_t>(i)];
      if (l.source_line != source) break;
      for (const TYomiraObject& el : l.elements)
        if (Reaches(el, line, pos)) return i;
    }
  }
  return found;
}

int32_t ViewOfPlace(const DisplayLines& lines, int64_t perView, SourcePlace place) {
  // The element that covers byte column ends after it.
  const int64_t i = FindSourcePosition(lines, place.line, place.column + 1);
  return i < 0 ? 0 : ViewOfLineIndex(i, perView);
}

std::optional<SourcePlace> FirstPlaceOfView(const DisplayLines& lines, int64_t perView, int32_t view) {
  if (view < 1) return std::nullopt;
  const int64_t per = std::max<int64_t>(perView, 1);
  const int64_t first = (int64_t{view} - 1) * per;
  const int64_t end = std::min<int64_t>(first + per, static_cast<int64_t>(lines.size()));
  const TYomiraObject* any = nullptr;
  for (int64_t i = first; i < end; ++i) {
    for (const TYomiraObject& el : lines[static_cast<size_t>(i)].elements) {
      if (TakesCells(el.kind)) return SourcePlace{el.first, el.column};
      if (!any) any = &el;
    }
  }
  if (any) return SourcePlace{any->first, any->column};
  return std::nullopt;
}

}  // namespace yomira
