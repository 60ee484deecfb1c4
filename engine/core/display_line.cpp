#include "engine/core/display_line.h"

#include <algorithm>

#include "platform/text/cp932.h"

namespace yomira {

namespace {

const char kRepeatPlain[] = "\x81\x52";  // ヽ
const char kVoicedPlain[] = "\x81\x53";  // ヾ

std::string_view SourceAt(const SourceLines& sources, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= sources.size()) return {};
  return sources[static_cast<size_t>(index)];
}

// The text between the delimiters of a ruby (open/close width d) or an annotation
// ("［＃" and "］") whose span runs from its first source line into a later one.
std::string TextOverLines(const TYomiraObject& el, const SourceLines& sources, int open, int close) {
  std::string_view head = SourceAt(sources, el.first);
  std::string out(CopyView(head, el.column + open, static_cast<int>(head.size())));
  const int64_t end = std::min<int64_t>(el.last, static_cast<int64_t>(sources.size()));
  for (int64_t i = std::max<int64_t>(int64_t{el.first} + 1, 0); i < end; ++i) out += sources[static_cast<size_t>(i)];
  // The closing delimiter starts at length - close in the last line.
  out += CopyView(SourceAt(sources, el.last), 1, el.length - close - 1);
  return out;
}

int32_t CellWidth(const TYomiraObject& el) { return TakesCells(el.kind) ? el.length : 0; }

}  // namespace

SourcePos SourceEnd(const TYomiraObject& el) {
  if (el.last > el.first) return {el.last, el.length};
  int32_t end = el.column + el.length;
  // A voiced mark holds 6 source bytes for 4 cells; its second half covers "″＼".
  if (el.kind == kVoicedRepeat && el.split != 1) end += 2;
  return {el.first, end};
}

std::string TYomiraObject::GetText(const SourceLines& sources, bool plain, bool wide) const {
  const std::string_view s = SourceAt(sources, first);
  const int d = wide ? 4 : 2;
  switch (kind) {
    case kText:
    case kIllustration:
      return Copy(s, column, length);
    case kRuby:
      if (last > first) return TextOverLines(*this, sources, d, d);
      return Copy(s, column + d, length - 2 * d);
    case kAnnotation:
      if (last > first) return TextOverLines(*this, sources, 4, 2);
      return Copy(s, column + 4, length - 6);
    case kRepeat:
    case kVoicedRepeat: {
      if (!plain) return Copy(s, column, SourceEnd(*this).end - column);
      const char* mark = kind == kRepeat ? kRepeatPlain : kVoicedPlain;
      return IsHalfMark() ? std::string(mark) : std::string(mark) + mark;
    }
    case kSpacer:
    case kRule:
      return std::string(static_cast<size_t>(length > 0 ? length : 0), '-');
    default:
      return {};
  }
}

bool AddElement(std::vector<TYomiraObject>& elements, const ElementSpec& spec) {
  if (spec.length <= 0 || spec.column <= 0) return false;
  TYomiraObject el;
  el.kind = spec.kind;
  el.side_line = spec.side_line;
  el.emphasis = spec.emphasis;
  el.first = spec.first;
  el.last = spec.last < 0 ? spec.first : spec.last;
  el.column = spec.column;
  el.length = spec.length;
  elements.push_back(el);
  return true;
}

std::string GetElementsText(const std::vector<TYomiraObject>& elements, const SourceLines& sources,
                            bool plain) {
  std::string out;
  for (const TYomiraObject& el : elements)
    if (TakesCells(el.kind)) out += el.GetText(sources, plain);
  return out;
}

std::pair<int32_t, int32_t> TYomiraLine::GetSplitWidths(int split_index) const {
  int32_t before = indent, after = 0;
  for (size_t i = 0; i < elements.size(); ++i)
    (static_cast<int64_t>(i) < split_index ? before : after) += CellWidth(elements[i]);
  return {before, after};
}

int32_t TYomiraLine::GetFirstSourceLine() const { return elements.empty() ? 0 : elements.front().first; }

int32_t TYomiraLine::GetTextWidth() const {
  int32_t width = 0;
  for (const TYomiraObject& el : elements) width += CellWidth(el);
  return width;
}

std::string TYomiraLine::GetText(const SourceLines& sources, bool plain) const {
  return GetElementsText(elements, sources, plain);
}

std::string TYomiraLine::GetFirstText(const SourceLines& sources) const {
  for (const TYomiraObject& el : elements)
    if (TakesCells(el.kind)) return el.GetText(sources, true);
  return {};
}

char ElementKindLetter(int kind) {
  switch (kind) {
    case 0: return 'T';
    case 1: return 'R';
    case 2: return 'B';
    case 3: return 'A';
    case 6: return 'K';
    case 7: return 'V';
    case 8: return 'S';
    case 10: return 'H';
    case 11: return 'I';
    default: return '?';
  }
}

}  // namespace yomira
