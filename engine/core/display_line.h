// The display-line model. A display line is one vertical line of the layout; its elements
// do not copy text but point into the source lines by line index, 1-based byte column and
// byte length. Lines own their elements by value, and the list of lines owns the lines.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace yomira {

using SourceLines = std::vector<std::string>;

// Element kinds; the numbers are stored and compared. 4, 5 and 9 are never produced.
enum ElementKind : int16_t {
  kText = 0,           // plain text
  kRuby = 1,           // a reading with its delimiters
  kRubyBase = 2,       // the base marker "｜"
  kAnnotation = 3,     // "［＃" ... "］"
  kRepeat = 6,         // "／＼", 4 bytes, 4 cells
  kVoicedRepeat = 7,   // "／″＼", 6 bytes, length 4
  kSpacer = 8,         // made by bottom alignment
  kRule = 10,          // a horizontal rule
  kIllustration = 11,  // an illustration note or tag
};

// Kinds that take cells in the line: the paragraph text runs over exactly these.
constexpr bool TakesCells(int kind) { return kind == kText || kind == kRepeat || kind == kVoicedRepeat; }

// Where an element's span ends in the source: line index and the exclusive 1-based end.
struct SourcePos {
  int32_t line = 0;
  int32_t end = 0;
  bool operator==(const SourcePos&) const = default;
};

struct TYomiraObject {
  int16_t kind = kText;
  int16_t split = 0;      // 0 whole; 1 first part of an element split at a line break; 2 a continuation
  int16_t side_line = 0;  // non-zero: draw a side line beside the span
  int16_t emphasis = 0;   // 0 none, else the emphasis-mark type 1..8
  int32_t first = 0;      // 0-based source line where the span starts
  int32_t last = 0;       // source line where it ends (after joined lines)
  int32_t column = 0;     // 1-based byte position in the first source line
  int32_t length = 0;     // bytes; over several lines, the end position in the last line

  // The element's text. plain: repeat marks in their display form ("ヽヽ", "ヾヾ"; one
  // character for half a mark split at a line break). wide: ruby delimiters are 4 bytes.
  std::string GetText(const SourceLines& sources, bool plain, bool wide = false) const;

  // A half of a repeat mark split at a line break.
  bool IsHalfMark() const { return (kind == kRepeat || kind == kVoicedRepeat) && split != 0 && length == 2; }

  bool operator==(const TYomiraObject&) const = default;
};
static_assert(sizeof(TYomiraObject) == 24);
static_assert(std::is_trivially_copyable_v<TYomiraObject>);

// The exclusive end of an element's source span. Column + length is not it for a voiced
// repeat mark (6 bytes, length 4) nor for a span over several lines, so every source
// position is taken from here.
SourcePos SourceEnd(const TYomiraObject& el);

// The named arguments of AddElement. last < 0 means the same line as first.
struct ElementSpec {
  int16_t kind = kText;
  int32_t first = 0;
  int32_t last = -1;
  int32_t column = 0;
  int32_t length = 0;
  int16_t emphasis = 0;
  int16_t side_line = 0;
};

// Appends a whole element; nothing when the length or the column is not positive.
// Returns whether it was appended.
bool AddElement(std::vector<TYomiraObject>& elements, const ElementSpec& spec);

// The plain texts of the cell-taking elements, concatenated: positions in it run over
// exactly the cells of the elements.
std::string GetElementsText(const std::vector<TYomiraObject>& elements, const SourceLines& sources,
                            bool plain);

struct TYomiraLine {
  bool ends_paragraph = false;
  int16_t indent = 0;        // blank half-width cells before the first element
  int32_t source_line = 0;   // 0-based source line the line was made from
  std::vector<TYomiraObject> elements;

  // indent + widths of the elements before split_index, and the widths from it on.
  std::pair<int32_t, int32_t> GetSplitWidths(int split_index) const;
  // The first source line of the first element; 0 without elements.
  int32_t GetFirstSourceLine() const;
  // Cells taken by the elements (the indent not counted).
  int32_t GetTextWidth() const;
  // The texts of the cell-taking elements, in order.
  std::string GetText(const SourceLines& sources, bool plain) const;
  // The plain text of the first cell-taking element; "" when there is none.
  std::string GetFirstText(const SourceLines& sources) const;
};

using DisplayLines = std::vector<TYomiraLine>;

// One letter per element kind, as the layout dumps and their goldens write it
// (T text, R ruby, B break, A annotation, K reading mark, V side reading, S spacer,
// H rule, I illustration; '?' for any other).
char ElementKindLetter(int kind);

// Lines own their elements by value, so clearing the list frees everything.
inline void ClearDisplayLines(DisplayLines& lines) { lines.clear(); }

}  // namespace yomira
