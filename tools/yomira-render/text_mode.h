// yomira-render --text: a notation text laid out by the relayout driver and one view of it
// drawn as the reader shows it.
#pragma once

#include <QImage>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/convert.h"
#include "engine/core/option.h"
#include "turn_mode.h"

namespace yomira {
class Renderer;
struct EngineState;
}  // namespace yomira

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

// A document laid out as the reader lays it out (the relayout driver over a Renderer), whose
// views can then be drawn one after another: the text mode, and the turn and hint modes.
class TextSession {
 public:
  TextSession();
  ~TextSession();
  // Reads run.file, then lays it out with run.view as the current page and draws that view.
  // False with error when the file cannot be read.
  bool Open(const TYomiraOption& option, const TextRun& run, std::string& error);
  // Draws a view (clamped as the reader clamps it) into PageBitmap and returns it.
  const QImage& DrawView(int32_t view);

  EngineState& State();
  Renderer& GetRenderer();
  int32_t Views() const;
  // The rate the last drawing recorded; -1 when none did.
  int32_t HistoryRate() const;
  double RelayoutMs() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Prints the run's JSON line (and ann lines) on stdout; with --turn the turn's line instead,
// with --hint the hint's line after it. Returns the exit code: 0, or 2 with
// error set for input that cannot be read or a picture that cannot be written.
int RunText(const TYomiraOption& option, const TextRun& run, std::string& error);

// The document's source lines: cp932 bytes as they are, or UTF-8 converted (BOM dropped);
// NUL bytes dropped. False with error for anything but a regular file of at most 64 MiB.
bool ReadTextSource(const std::string& path, bool utf8, std::vector<std::string>& lines, std::string& error);

}  // namespace yomira::tools
