// Conversion of a text in the notation into display lines: ruby with an optional base
// marker, annotations, repeat marks, re-wrapped paragraphs and the caption title. Whole-line
// notation, breaks, indents, emphasis and bottom alignment are reached through
// NotationHooks, whose default methods do nothing.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/display_line.h"
#include "engine/core/option.h"

namespace yomira {

// The effective switches of one conversion. The caller decides them (record flags, momentary
// toggles); the conversion reads nothing else.
struct ConvertSwitches {
  bool autoIndent = false;
  bool reWrap = false;
  bool toRuby = false;
  bool htmlImported = false;
};

// Progress over the source lines: (pos, max). It must not process events.
using ProgressFn = std::function<void(int pos, int max)>;

struct ConvertResult {
  DisplayLines lines;
  std::string title;       // UTF-8: the caption title
  int legendCount = 0;     // 55-hyphen rules seen
  int delimiterWidth = 2;  // ruby delimiter width d the conversion used
};

// The working state the hooks see and may change.
struct ConvertState {
  const TYomiraOption& option;
  const SourceLines& source;
  ConvertSwitches switches;
  DisplayLines& lines;     // display lines built so far
  int delimiterWidth = 2;
  int coverState = 0;      // 0 before text, 1 in the first block, 2 after it, 3 cover made
  int legendCount = 0;
  int blockIndent = 0;     // half-width cells
  int wrapIndent = 0;
};

class NotationHooks {
 public:
  virtual ~NotationHooks() = default;
  // Once per conversion, before the first line.
  virtual void Begin(ConvertState&) {}
  // Whole-line notation; true when the line is consumed.
  virtual bool HandleSpecialLine(ConvertState&, int /*sourceIndex*/) { return false; }
  // Makes the lines built so far into a centred title block; true when done.
  virtual bool CenterCoverBlock(ConvertState&, bool /*force*/) { return false; }
  // Appends blank lines up to the next boundary (mode 0 block, 1 page, 2 view).
  virtual int PadLines(ConvertState&, int /*sourceIndex*/, int /*mode*/) { return 0; }
  // A paragraph made of one annotation only; true when it is consumed.
  virtual bool HandleBlockAnnotation(ConvertState&, const TYomiraObject& /*note*/, int /*sourceIndex*/) {
    return false;
  }
  // Emphasis and side-line notes of a finished paragraph.
  virtual void ApplyEmphasisNotes(ConvertState&, std::vector<TYomiraObject>& /*elements*/) {}
  // Bottom alignment of the display lines from firstLine on (one paragraph's lines).
  virtual void AlignBottomNotes(ConvertState&, int /*firstLine*/) {}
};

class Converter {
 public:
  Converter(const TYomiraOption& option, const SourceLines& source, ConvertSwitches switches);

  // Converts every source line. documentName (UTF-8, without folder) is the caption title
  // unless the text carries a legend. Progress is reported every max * 5 / progressWidth
  // lines (at least 1), progressWidth being the bar's width in pixels; with no width, every
  // max / 256 lines.
  ConvertResult ConvertText(std::string_view documentName, const ProgressFn& progress = nullptr,
                            NotationHooks* hooks = nullptr, int progressWidth = 0);

  // Where a closing delimiter lies: its source line and 1-based position; line -1 for none.
  struct ClosePos {
    int line = -1;
    int pos = 0;
  };
  // The closing sequence after an opening at openPos of line `line`. With nesting (one
  // level, annotations) an inner opening before the first closing moves on to the next
  // closing. Across joined lines (the join flags of the last ConvertText) the first closing
  // anywhere in a line counts.
  ClosePos FindClose(bool nested, std::string_view opening, std::string_view closing, int openPos,
                     int line);

  // The bracket-to-ruby test: no kanji and no single-byte letter.
  static bool IsRubyReading(std::string_view text);

  // The first two non-empty texts among display lines 0..c_size, joined by " / " and
  // converted to UTF-8; the file name when there are none.
  static std::string TitleFromText(const DisplayLines& lines, const SourceLines& source, int c_size,
                                   std::string_view fileName);

  // The join flags the conversion used (empty before ConvertText).
  const std::vector<uint8_t>& JoinFlags() const { return joins_; }

 private:
  struct Scan;
  static constexpr int kOpeningCount = 5;
  // The openings ScanLine looks for, in the order it tries them (its Seq numbers).
  std::array<std::string_view, kOpeningCount> Openings() const;
  void ScanLine(Scan& scan);
  void FinishParagraph(ConvertState& state, NotationHooks& hooks, int sourceIndex);
  ClosePos CrossLineClose(int closeIndex, std::string_view closing, int line);

  const TYomiraOption& option_;
  const SourceLines& source_;
  ConvertSwitches switches_;
  std::vector<uint8_t> joins_;
  std::vector<TYomiraObject> paragraph_;
  std::string open_, close_;
  int d_ = 2;
  // Per byte value: bit k set when opening k has it as its first (second) byte.
  uint8_t openingFirst_[256] = {};
  uint8_t openingSecond_[256] = {};
  // Per closing sequence (0 ruby, 1 annotation), per source line: the closing found by a
  // search that starts at the line, -2 not computed, so cross-line searches stay linear.
  std::vector<ClosePos> crossMemo_[2];
  std::string crossKey_[2];
};

}  // namespace yomira
