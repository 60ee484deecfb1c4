// Breaking one paragraph into display lines: line widths with kinsoku (characters that may
// not start or end a line), digit pairs set upright in one cell, the automatic indent, and
// the split of the paragraph's elements at each break.
//
// Positions are 1-based byte positions in the cp932 paragraph text; a width is a number of
// bytes, which is also a number of half-width cells. A line start s is always a character
// boundary, and every byte role is found by walking from it, never from the text start.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/display_line.h"
#include "engine/core/option.h"

namespace yomira {

// True when the automatic indent applies to a paragraph starting with text: it is not
// empty and does not start with a blank or a character of indent_words.
bool NeedAutoIndent(std::string_view text, const TYomiraOption& option);

// The number of bytes of the display line that starts at s, with indent cells before it.
// The line holds v_size - indent cells (at least 2); it grows by a byte rather than cut a
// character, and with strict on by up to 2 more bytes for a hanging line-head forbidden
// character or a digit pair. The result never cuts a character.
int FindLineBreak(std::string_view text, int s, int indent, const TYomiraOption& option);

// A width below w that ends the line before the nearest character, starting at least 4
// bytes in, that may start a line (single-byte, or not in wrap_words); w when none does.
int PushOutHead(std::string_view text, int s, int w, const TYomiraOption& option);

// A width that ends the line after the nearest character before s + w, starting at least
// 4 bytes in, that may end a line (single-byte, or not in wrap_word2); w when none does.
int PullBackFoot(std::string_view text, int s, int w, const TYomiraOption& option);

// The paragraph text: the plain texts of the cell-taking elements ("ヽヽ" and "ヾヾ" for
// the repeat marks), so that text positions run over exactly the elements' cells.
std::string GetLineText(const std::vector<TYomiraObject>& elements, const SourceLines& sources);

// Splits elements so that a display line can end at text position p (the text starting
// at 1 with elements[0]) and gives the index of its last element. An element across p is
// split in two (split 1 and 2); elements that take no cells stay with the text before
// them, except a ruby-base marker, which belongs to the base after it. 0 for no elements.
int SplitElementsAt(std::vector<TYomiraObject>& elements, int p);

// Breaks one paragraph into display lines appended to out.
//   elements     the paragraph's elements in reading order; they are moved into the lines
//                (split where a line break falls inside one) and the vector is left empty.
//   text         GetLineText(elements, sources).
//   source_index the source line every display line records.
//   first_indent cells before the first display line (block indent plus any automatic indent).
//   wrap_indent  cells before every following display line.
// Each element lands on exactly one line, in order; the last line ends the paragraph and
// takes every element not yet placed. An empty text gives one line (indent 0) holding all
// the elements: a blank or annotation-only line. Linear in the text and element count.
void BreakParagraph(std::vector<TYomiraObject>& elements, std::string_view text, int32_t source_index,
                    int first_indent, int wrap_indent, const TYomiraOption& option, DisplayLines& out);

}  // namespace yomira
