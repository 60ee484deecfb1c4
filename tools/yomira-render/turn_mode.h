// yomira-render --turn and --hint: the frames of a page turn written as pictures, and the
// annotation under a point of the page image. The views come from the caller.
#pragma once

#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/annotation_map.h"
#include "engine/core/option.h"

namespace yomira::tools {

// Draws a view (1-based) into a picture; a null picture when it cannot.
using DrawViewFn = std::function<QImage(int32_t view)>;

struct TurnRun {
  bool next = true;        // --turn next (else back)
  int32_t view = 1;        // the view turned to
  int32_t viewCount = 0;   // views of the document
  std::string framesDir;   // receives frame_SS.png and frames.txt
  int32_t bench = 0;       // extra runs for the timings
};

struct TurnReport {
  int32_t kind = 0;
  int32_t n = 0;
  int32_t frames = 0;
  int32_t width = 0;
  int32_t height = 0;
  int64_t frameUsMedian = 0;
  int64_t frameUsMax = 0;
};

// The kind a turn takes as the page navigation chooses it: none without page animation,
// the two-page kinds when the view shows exactly two pages.
int32_t ChooseTurnKind(const TYomiraOption& option, bool next);

// Draws the view shown before (view - 1 for next, view + 1 for back) and the view turned to,
// runs the turn step by step and writes every frame. Returns the exit code: 0, or 2 with
// error set (no view to turn from or to, a view that cannot be drawn, a folder or file that
// cannot be written).
int RunTurn(const TYomiraOption& option, const TurnRun& run, const DrawViewFn& draw, TurnReport& report,
            std::string& error);

std::string TurnReportJson(const TurnReport& report);

// {"hit":{"cell":C,"line":L,"page":P,"block":B},"text":"..."} for the point of the page
// image, all 0-based, the text in UTF-8 ("" for a cell without one); {"hit":null,"text":""}
// when the point hits no cell.
std::string HintJson(const TYomiraOption& option, int32_t panelWidth, const TPageAnnotation& annotations, int32_t x,
                     int32_t y);

// The command-line options of the two modes, for the text modes to act on.
struct TurnHintArgs {
  std::optional<bool> turnNext;  // --turn next|back
  std::string framesDir;         // --frames-dir DIR
  bool hint = false;             // --hint X,Y
  int32_t hintX = 0;
  int32_t hintY = 0;
};

// Takes args[i], and its value, when it is --turn, --frames-dir or --hint, leaving i on the
// last one taken; false when args[i] is none of them or its value is bad (error says why).
bool ParseTurnHintArg(const std::vector<std::string>& args, size_t& i, TurnHintArgs& out, std::string& error);
// "" when the options go together: --turn with --frames-dir, and not with --hint.
std::string CheckTurnHintArgs(const TurnHintArgs& args);

// A JSON string literal of UTF-8 text, quotes included.
std::string JsonString(const std::string& utf8);

}  // namespace yomira::tools
