// yomira-render --text: a notation text laid out by the relayout driver and one view of it
// drawn as the reader shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/convert.h"
#include "engine/core/option.h"
#include "turn_mode.h"

namespace yomira::tools {

struct TextRun {
  std::string file;
  bool utf8 = false;
  int32_t view = 1;
  std::string out;           // PageBitmap as PNG; none when empty
  bool annotations = false;  // print the annotation map of the view
  int32_t bench = 0;         // warm draws to time; 0 for none
  ConvertSwitches momentary;  // the momentary switches given on the command line
  TurnHintArgs turnHint;      // --turn and --frames-dir, or --hint
};

// Prints the run's JSON line (and ann lines) on stdout; with --turn the turn's line instead,
// with --hint the hint's line after it. Returns the exit code: 0, or 2 with
// error set for input that cannot be read or a picture that cannot be written.
int RunText(const TYomiraOption& option, const TextRun& run, std::string& error);

// The document's source lines: cp932 bytes as they are, or UTF-8 converted (BOM dropped);
// NUL bytes dropped. False with error for anything but a regular file of at most 64 MiB.
bool ReadTextSource(const std::string& path, bool utf8, std::vector<std::string>& lines, std::string& error);

}  // namespace yomira::tools
