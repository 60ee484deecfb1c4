// The spread renderer: draws the current view, line by line, into the page bitmap, and on
// the way rebuilds the annotation map of the view, refreshes the slider and the page label
// and records the reading position.
#pragma once

#include <QImage>

#include <cstdint>
#include <string>

#include "engine/core/annotation_map.h"
#include "engine/core/display_line.h"
#include "engine/core/option.h"
#include "engine/render/GlyphPainter.h"
#include "engine/render/RenderHost.h"
#include "engine/render/TextMetrics.h"

namespace yomira {

class IllustrationDrawer;

// What the drawing reads of the engine state, and the current page it writes back.
struct SpreadDocument {
  const TYomiraOption& option;
  const SourceLines& sourceLines;
  const DisplayLines& displayLines;
  TPageAnnotation& annotations;
  int delimiterWidth = 2;  // 4: ruby delimiters of imported HTML, as the conversion used them
  int32_t& currentPage;
};

// A line position: line within the block (0-based), block and page (1-based).
struct LinePos {
  int32_t line = 0;
  int32_t block = 1;
  int32_t page = 1;
  bool operator==(const LinePos&) const = default;
};

// Carries a line one step over a block or page bound (line -1 or line L).
void StepLinePos(const TYomiraOption& option, LinePos& pos);

enum TDrawLineMode : int {
  dmLeadIn = 0,   // laid out only, so a ruby whose base starts there reaches the block
  dmFirst = 1,    // first line of a block
  dmInner = 2,    // every other line of a block
  dmLeadOut = 3,  // only the first part of a ruby split at the block's end is drawn
};

// Carried from line to line, block to block and page to page within one drawing.
struct TDrawState {
  bool pairAllowed = true;    // a following pair of tty_words characters may share a cell
  bool baseMarkOpen = false;  // a base opened by "｜" is pending
  bool letterRun = false;
  bool kanjiRun = false;
  Point rubyStart;            // where the base of the next ruby begins
  Point rubyPen;              // where the last ruby drawn ended
  int32_t previousEnd = 0;    // y below the last character of the previous line
};

// Walks the lines and elements of one drawing. pictures may be null (no illustrations).
class SpreadRenderer {
 public:
  SpreadRenderer(const SpreadDocument& doc, TYomiraTextMetrics& body, TYomiraTextMetrics& ruby,
                 GlyphPainter& painter, IllustrationDrawer* pictures)
      : doc_(doc), o_(doc.option), body_(body), ruby_(ruby), painter_(painter), pictures_(pictures) {}

  // Steps 1 to 8 of a drawing; page starts as a copy of back (or is filled with the
  // background colour when there is no background).
  void DrawSpread(RenderHost& host, QImage& page, const QImage& back);

  // pos is carried with StepLinePos first, so line -1 and line L may be passed.
  void DrawLine(LinePos pos, TDrawState& state, int64_t index, int mode, const TYomiraLine& dl);

  // The line's text for the upright-pair test; the next line's first text is appended when
  // this line does not end its paragraph. "" for an index outside the list.
  // ownLength: the bytes that are the line's own (the rest belongs to the next line).
  std::string GetLinePairText(int64_t index, size_t* ownLength = nullptr) const;

 private:
  void ResetRubyState(TDrawState& state, LinePos next, int64_t nextIndex);

  const SpreadDocument& doc_;
  const TYomiraOption& o_;
  TYomiraTextMetrics& body_;
  TYomiraTextMetrics& ruby_;
  GlyphPainter& painter_;
  IllustrationDrawer* pictures_;
  std::string rule_;  // reused for the hyphens of a rule
};

}  // namespace yomira
