// Seeded random documents full of whole-line notation and notes through the conversion
// with the special lines: no crash or hang, every element sound and inside its source,
// indents on the line, and break notes landing on their boundary.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "engine/core/special_lines.h"
#include "platform/text/cp932.h"
#include "special_test_util.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

using test::sj;

struct BreakNote {
  std::string text;
  int mode;  // PadLines mode
};

class SpecialDocumentMaker {
 public:
  explicit SpecialDocumentMaker(uint32_t seed) : rng_(seed) {
    for (const char8_t* t : {u8"あ", u8"漢字", u8"《かんじ》", u8"｜", u8"［＃", u8"］", u8"／＼", u8"／″＼", u8"「", u8"」",
                             u8"［＃地付き］", u8"［＃地から３字上げ］", u8"［＃地から１９字上げ］",
                             u8"［＃「あ」に傍点］", u8"［＃「漢字」に傍線］", u8"［＃「／＼」に白丸傍点］",
                             u8"［＃「字《」に傍点］", u8"［＃改ページ］", u8"　", u8"底本：「"})
      tokens_.push_back(sj(t));
    for (const char* t : {"ab", " ", "-", "<PBR>", "<img src=\"a.png\">"}) tokens_.push_back(t);
    tokens_.push_back(sj(u8"＝") + "m");  // ＝ (81 81) then m: the bytes of ［ across two characters
    for (const char8_t* t : {u8"［＃ここから２字下げ］", u8"［＃ここから１２字下げ、折り返して３字下げ］",
                             u8"［＃ここから改行天付き、折り返して２字下げ］", u8"［＃ここで字下げ終わり］",
                             u8"［＃ここから９９字下げ］", u8"［＃挿絵（a.png）入る］", u8"［＃「図」（b.png）入る］",
                             u8"底本：「本」", u8"［＃地付き］"})
      wholeLines_.push_back(sj(t));
    for (const char* t : {"<PBR>", "<pbr>", "<img src=\"a.png\" width=\"60\">", "<img src=\"a.png\" width=\"900\">",
                          "<img src=\"\">"})
      wholeLines_.push_back(t);
    wholeLines_.push_back(std::string(55, '-'));
    wholeLines_.push_back(std::string(55, '-'));
    wholeLines_.push_back(std::string(80, '-'));
    breaks_ = {{sj(u8"［＃改丁］"), 2}, {sj(u8"［＃改頁］"), 1}, {sj(u8"［＃改ページ］"), 1}, {sj(u8"［＃改段］"), 0}};
  }

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  SourceLines Make() {
    SourceLines lines(static_cast<size_t>(Uniform(0, 24)));
    for (std::string& line : lines) {
      const int shape = Uniform(0, 9);
      if (shape == 0) continue;
      if (shape == 1) {
        line = breaks_[static_cast<size_t>(Uniform(0, 3))].text;
        continue;
      }
      if (shape == 2) {
        line = wholeLines_[static_cast<size_t>(Uniform(0, static_cast<int>(wholeLines_.size()) - 1))];
        continue;
      }
      const int count = Uniform(0, 30);
      for (int k = 0; k < count; ++k) {
        const int pick = Uniform(0, static_cast<int>(tokens_.size()));
        if (pick < static_cast<int>(tokens_.size())) line += tokens_[static_cast<size_t>(pick)];
        else line += static_cast<char>(Uniform(1, 255));
      }
    }
    return lines;
  }

  TYomiraOption Options() {
    TYomiraOption o = test::SpecialOptions();
    o.ruby_tag = Uniform(0, 5) != 0;
    o.images = Uniform(0, 1);
    o.UseCover = Uniform(0, 1);
    o.strict = Uniform(0, 1);
    o.v_size = Uniform(5, 40) * 2;
    o.c_size = Uniform(1, 20);
    o.Colum = Uniform(1, 3);
    o.Page = Uniform(1, 3);
    o.ReWrapType = Uniform(0, 1);
    o.Validate();
    return o;
  }

  const std::vector<BreakNote>& Breaks() const { return breaks_; }

 private:
  std::mt19937 rng_;
  std::vector<std::string> tokens_, wholeLines_;
  std::vector<BreakNote> breaks_;
};

int64_t Unit(const TYomiraOption& o, int mode) {
  const int64_t L = o.c_size, T = o.Colum, P = o.Page;
  return mode == 0 ? L : mode == 1 ? L * T : L * T * P;
}

void CheckLines(const SourceLines& source, const TYomiraOption& o, const DisplayLines& lines, const std::string& label) {
  const int n = static_cast<int>(source.size());
  ASSERT_FALSE(lines.empty()) << label;
  for (size_t k = 0; k < lines.size(); ++k) {
    const TYomiraLine& line = lines[k];
    ASSERT_GE(line.indent, 0) << label << " row " << k;
    ASSERT_LE(line.indent, o.v_size) << label << " row " << k;
    for (const TYomiraObject& el : line.elements) {
      ASSERT_GT(el.length, 0) << label << " row " << k;
      ASSERT_GE(el.column, 1) << label << " row " << k;
      ASSERT_TRUE(el.first >= 0 && el.first <= el.last && el.last < std::max(n, 1)) << label << " row " << k;
      if (n == 0) continue;
      const int size = static_cast<int>(source[static_cast<size_t>(el.last)].size());
      if (el.kind == kSpacer) {
        ASSERT_LE(el.column, static_cast<int>(source[static_cast<size_t>(el.first)].size()) + 1) << label;
      } else if (el.kind != kRule) {
        ASSERT_LE(SourceEnd(el).end, size + 1) << label << " row " << k;
        if (el.first == el.last) {
          ASSERT_LT(el.column, SourceEnd(el).end) << label << " row " << k;
        }
      }
    }
  }
}

int checkedBreaks = 0;

// With no join, a line holding only a break note that is not in a hidden legend puts the
// next source line's first row on the boundary, once some text came before it.
void CheckBreaks(const SourceLines& source, const TYomiraOption& o, const DisplayLines& lines,
                 const std::vector<BreakNote>& breaks, const std::string& label) {
  if (!o.ruby_tag) return;
  const std::string rule(55, '-');
  int rulesBefore = 0;
  int rulesTotal = 0;
  for (const std::string& s : source) rulesTotal += s == rule;
  for (size_t i = 0; i < source.size(); ++i) {
    if (source[i] == rule) ++rulesBefore;
    const bool inLegend = rulesBefore == 1 && rulesTotal > 1 && source[i] != rule;
    for (const BreakNote& b : breaks) {
      if (source[i] != b.text || inLegend) continue;
      bool textBefore = false;
      int next = -1;
      for (size_t k = 0; k < lines.size(); ++k) {
        if (lines[k].source_line < static_cast<int>(i) && !lines[k].elements.empty()) textBefore = true;
        if (lines[k].source_line > static_cast<int>(i)) {
          next = static_cast<int>(k);
          break;
        }
      }
      if (!textBefore || next < 0) continue;
      ++checkedBreaks;
      ASSERT_EQ(next % Unit(o, b.mode), 0) << label << " break at source " << i << " next row " << next;
    }
  }
}

TEST(SpecialRandom, NotesAndWholeLinesKeepTheLayoutSound) {
  SpecialDocumentMaker maker(4091209);
  for (int round = 0; round < 6000; ++round) {
    const SourceLines source = maker.Make();
    const TYomiraOption option = maker.Options();
    const ConvertSwitches switches{.autoIndent = maker.Uniform(0, 1) == 1, .reWrap = maker.Uniform(0, 2) == 0};
    const ConvertResult result = test::ConvertSpecial(source, option, switches);
    const std::string label = "round " + std::to_string(round);
    CheckLines(source, option, result.lines, label);
    if (!switches.reWrap && !HasFatalFailure()) CheckBreaks(source, option, result.lines, maker.Breaks(), label);
    if (HasFatalFailure()) {
      for (const std::string& line : source) ADD_FAILURE() << test::hex(line);
      return;
    }
  }
  EXPECT_GT(checkedBreaks, 1000);  // the boundary check really ran
}

// The straightforward form of the emphasis notes: each note searches its line from the start
// and changes the paragraph in place. The one-pass form must give the same elements.
void ApplyNotesOneByOne(const SourceLines& source, std::vector<TYomiraObject>& elements) {
  for (size_t k = 0; k < elements.size();) {
    const TYomiraObject note = elements[k];
    std::optional<EmphasisNote> parsed;
    if (note.kind == kAnnotation) parsed = ParseEmphasisNote(note.GetText(source, true));
    const bool inSource = note.first >= 0 && static_cast<size_t>(note.first) < source.size();
    const int at = parsed && inSource && note.column > 1
                       ? FindLastFrom(source[static_cast<size_t>(note.first)], parsed->quoted, note.column)
                       : 0;
    if (at <= 0) {
      ++k;
      continue;
    }
    k += static_cast<size_t>(MarkSpan(elements, note.first, at, parsed->type, parsed->sideLine,
                                      static_cast<int>(parsed->quoted.size())));
    elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(k));
  }
}

class ComparedNotes : public SpecialLines {
 public:
  void ApplyEmphasisNotes(ConvertState& state, std::vector<TYomiraObject>& elements) override {
    std::vector<TYomiraObject> expected = elements;
    ApplyNotesOneByOne(state.source, expected);
    const size_t before = elements.size();
    SpecialLines::ApplyEmphasisNotes(state, elements);
    ++paragraphs;
    if (elements.size() != before) ++changed;
    if (elements != expected) ++mismatches;
  }
  int paragraphs = 0, changed = 0, mismatches = 0;
};

TEST(SpecialRandom, OnePassEmphasisNotesMatchTheNoteByNoteForm) {
  // Lines dense with notes on spans that recur, sit across double-byte traps (ソ is 83 5C,
  // ＝ is 81 81) or follow other notes, in single and joined lines.
  std::vector<std::string> tokens;
  for (const char8_t* t : {u8"漢", u8"字", u8"ソ", u8"＝", u8"あ", u8"《かん》", u8"｜", u8"／＼", u8"／″＼",
                           u8"［＃「漢」に傍点］", u8"［＃「漢字」に傍線］", u8"［＃「ソ」に白丸傍点］",
                           u8"［＃「字漢」に傍点］", u8"［＃「あ」に丸傍点］", u8"［＃「＼」に傍点］",
                           u8"［＃「かん」に傍点］", u8"［＃「漢」に傍点］［＃「漢」に傍線］", u8"［＃「鳥」に傍点］",
                           u8"［＃「」に傍点］", u8"［＃注］", u8"［＃「漢", u8"」に傍点］"})
    tokens.push_back(test::sj(t));
  for (const char* t : {"\\", "m", "\x81", "\x83"}) tokens.push_back(t);
  tokens.push_back(test::sj(u8"［＃「") + "\\" + test::sj(u8"」に傍点］"));
  tokens.push_back(test::sj(u8"［＃「") + "m" + test::sj(u8"」に傍線］"));
  std::mt19937 rng(18027);
  auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  ComparedNotes hooks;
  for (int round = 0; round < 3000; ++round) {
    SourceLines source(static_cast<size_t>(uniform(1, 4)));
    for (std::string& line : source) {
      const int count = uniform(0, 40);
      for (int k = 0; k < count; ++k) line += tokens[static_cast<size_t>(uniform(0, static_cast<int>(tokens.size()) - 1))];
    }
    TYomiraOption option = test::SpecialOptions();
    option.ReWrapType = uniform(0, 1);
    option.Validate();
    const ConvertSwitches switches{.reWrap = uniform(0, 1) == 1};
    const int before = hooks.mismatches;
    Converter(option, source, switches).ConvertText("doc.txt", nullptr, &hooks);
    if (hooks.mismatches != before) {
      for (const std::string& line : source) ADD_FAILURE() << test::hex(line);
      break;
    }
  }
  EXPECT_EQ(hooks.mismatches, 0);
  EXPECT_GT(hooks.changed, 1000);  // notes really were applied
}

}  // namespace
}  // namespace yomira
