// Whole-line notation and the notes that act on finished paragraphs: the view break tag,
// illustrations, the legend rules and the horizontal rule, the colophon, the centred
// title block, break and indentation notes, emphasis and side-line notes, and bottom
// alignment. SpecialLines carries them into the conversion as its NotationHooks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/convert.h"
#include "engine/core/display_line.h"
#include "engine/core/option.h"

namespace yomira {

// Emphasis-mark types: the column order of the emphasis-mark strip (type t at column t - 1).
enum EmphasisType : int16_t {
  kEmphasisNone = 0,
  kSesame = 1,
  kWhiteSesame = 2,
  kBlackTriangle = 3,
  kWhiteTriangle = 4,
  kDoubleCircle = 5,
  kBullseye = 6,
  kWhiteCircle = 7,
  kBlackCircle = 8,
};

// An illustration line. file keeps its bytes (cp932, case kept); valign is lower-cased
// ASCII ("top", "bottom", anything else centres); sizes are 0 when not given. A note whose
// name ends in a size (（fig.png、横200×縦150）) gives the name before it as file and the
// whole text as writtenFile, for a file that really is named so; writtenFile is empty
// otherwise.
struct Illustration {
  std::string file;
  std::string writtenFile;
  int width = 0;
  int height = 0;
  std::string valign;
};

// The note form ［＃…（file）入る］ (ruby_tag on) or the tag form <img src="…" …>
// (images on); nullopt for any other line.
std::optional<Illustration> ParseIllustration(std::string_view line, const TYomiraOption& option);

// The value of attribute name in a tag text (the tag without "<" and ">", plus one
// trailing blank). The name matches in any ASCII case; the value keeps its bytes. A value
// may be bare (up to the next blank) or quoted; "" when the attribute is absent or empty.
std::string GetTagAttr(std::string_view tag, std::string_view name);

// An emphasis or side-line note: ［＃「quoted」に傍点］ and its kin.
struct EmphasisNote {
  std::string quoted;
  bool sideLine = false;
  int16_t type = kEmphasisNone;  // for an emphasis note; 0 removes the note and marks nothing
};
std::optional<EmphasisNote> ParseEmphasisNote(std::string_view noteText);
int16_t GetEmphasisType(std::string_view rest);

// The start of the last character-aligned occurrence of quoted in line that ends before
// column; 0 for none.
int FindLastOf(std::string_view line, std::string_view quoted, int column);

// Marks the source bytes [column, column + length) of sourceLine, looking only at elements
// that start in that line. A text element is split at either end (the old part split 1,
// the new part split 2); repeat marks are marked whole. Returns the number of elements
// inserted; nothing is marked (and nothing split) when the span cannot be matched.
int MarkSpan(std::vector<TYomiraObject>& elements, int sourceLine, int column, int16_t type, bool sideLine,
             int length);

// The cells kept free below the text for a bottom-alignment note ("地付き" 0, "地から" N
// "字上げ" 2N); nullopt when the note is not one or the offset does not fit beside indent.
std::optional<int> ParseBottomAlign(std::string_view noteText, int indent, const TYomiraOption& option);

// Appends blank lines (ending a paragraph, sourceIndex) up to the next block (mode 0),
// page (1) or view (2); any other mode adds nothing. Returns lines.size() / unit.
int PadLines(DisplayLines& lines, int sourceIndex, int mode, const TYomiraOption& option);

class SpecialLines : public NotationHooks {
 public:
  void Begin(ConvertState& state) override;
  bool HandleSpecialLine(ConvertState& state, int sourceIndex) override;
  bool CenterCoverBlock(ConvertState& state, bool force) override;
  int PadLines(ConvertState& state, int sourceIndex, int mode) override;
  bool HandleBlockAnnotation(ConvertState& state, const TYomiraObject& note, int sourceIndex) override;
  void ApplyEmphasisNotes(ConvertState& state, std::vector<TYomiraObject>& elements) override;
  void AlignBottomNotes(ConvertState& state, int firstLine) override;

 private:
  // The last 55-hyphen line of the document: a rule opens a legend only when another
  // follows it, so a lone rule never hides the rest of the text.
  int lastLegendRule_ = -1;
};

}  // namespace yomira
