// Seeded random documents through the conversion: it never crashes or hangs, and the
// display lines cover the source exactly.
#include <gtest/gtest.h>

#include <random>

#include "engine/core/convert.h"
#include "engine/core/line_break.h"
#include "engine/core/option_defaults.h"
#include "notation_test_util.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

using test::sj;

class DocumentMaker {
 public:
  explicit DocumentMaker(uint32_t seed) : rng_(seed) {
    for (const char8_t* t : {u8"｜", u8"《", u8"》", u8"［＃", u8"］", u8"／＼", u8"／″＼", u8"（", u8"）",
                             u8"あ", u8"かな", u8"漢", u8"字", u8"。", u8"「", u8"」", u8"　", u8"─", u8"々"})
      tokens_.push_back(sj(t));
    tokens_.push_back("\x0b");
    tokens_.push_back(test::VtFramed(u8"《"));
    tokens_.push_back(test::VtFramed(u8"》"));
    tokens_.push_back("ab");
    tokens_.push_back(" ");
    tokens_.push_back("<PBR>");
    // Byte traps: ＝ (81 81) followed by the trail byte of an opening or closing, so that the
    // bytes of 《 ｜ ］ ／ appear across a character boundary; ソ and 表 end in 5C.
    for (const char* tail : {"s", "t", "b", "n", "m", "^", "_"}) tokens_.push_back(sj(u8"＝") + tail);
    tokens_.push_back(sj(u8"ソ表"));
  }

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  SourceLines Make() {
    SourceLines lines(static_cast<size_t>(Uniform(0, 12)));
    const bool padded = Uniform(0, 2) == 0;  // near-equal lengths for the fixed re-wrap
    for (std::string& line : lines) {
      const int shape = Uniform(0, 19);
      if (shape == 0) continue;  // blank
      if (shape == 1) {
        line.assign(Uniform(0, 1) ? 55 : 80, '-');
        continue;
      }
      const int count = Uniform(0, 14);
      for (int k = 0; k < count; ++k) {
        const int pick = Uniform(0, static_cast<int>(tokens_.size()) + 2);
        if (pick < static_cast<int>(tokens_.size())) {
          line += tokens_[static_cast<size_t>(pick)];
        } else {
          line += static_cast<char>(Uniform(1, 255));  // any byte but NUL
        }
      }
      if (padded)
        while (line.size() < 40) line += sj(u8"あ");
      if (Uniform(0, 9) == 0) line += static_cast<char>(Uniform(0x81, 0x9F));  // lone lead byte
    }
    return lines;
  }

  TYomiraOption Options() {
    TYomiraOption option = DefaultOptions();
    option.ruby_tag = Uniform(0, 3) != 0;
    option.strict = Uniform(0, 1);
    option.UseCover = Uniform(0, 1);
    option.v_size = Uniform(5, 40) * 2;
    option.ReWrapType = Uniform(0, 2);
    return option;
  }

  ConvertSwitches Switches() {
    return {.autoIndent = Uniform(0, 1) == 1, .reWrap = Uniform(0, 1) == 1, .toRuby = Uniform(0, 2) == 0,
            .htmlImported = Uniform(0, 2) == 0};
  }

 private:
  std::mt19937 rng_;
  std::vector<std::string> tokens_;
};

// Merges the parts of split elements back, so that the paragraph's own element list returns.
std::vector<TYomiraObject> Unsplit(const std::vector<TYomiraObject>& elements) {
  std::vector<TYomiraObject> out;
  for (const TYomiraObject& el : elements) {
    const bool continues = !out.empty() && el.split != 0 && out.back().split != 0 &&
                           out.back().kind == el.kind && out.back().first == el.first &&
                           out.back().column + out.back().length == el.column &&
                           (el.kind == 0 || out.back().length + el.length <= 4);
    if (continues) {
      out.back().length += el.length;
      continue;
    }
    out.push_back(el);
  }
  for (TYomiraObject& el : out) el.split = 0;
  return out;
}

void CheckDocument(const SourceLines& source, const TYomiraOption& option, const ConvertResult& result,
                   const std::string& label) {
  const int n = static_cast<int>(source.size());
  ASSERT_FALSE(result.lines.empty()) << label;
  std::vector<std::vector<int>> covered(source.size());
  for (size_t i = 0; i < source.size(); ++i) covered[i].assign(source[i].size(), 0);

  std::vector<TYomiraObject> paragraph;
  std::string paragraphText;
  for (size_t k = 0; k < result.lines.size(); ++k) {
    const TYomiraLine& line = result.lines[k];
    ASSERT_LE(line.indent + line.GetTextWidth(), option.v_size + 3) << label << " line " << k;
    for (const TYomiraObject& el : line.elements) {
      ASSERT_GT(el.length, 0) << label;
      ASSERT_GE(el.column, 1) << label;
      ASSERT_TRUE(el.first >= 0 && el.first <= el.last && el.last < n) << label;
    }
    paragraph.insert(paragraph.end(), line.elements.begin(), line.elements.end());
    paragraphText += line.GetText(source, true);
    if (!line.ends_paragraph) continue;
    // The paragraph's own elements: the parts split at line breaks joined again.
    const std::vector<TYomiraObject> whole = Unsplit(paragraph);
    ASSERT_EQ(test::hex(paragraphText), test::hex(GetLineText(whole, source)))
        << label << " paragraph ending at line " << k;
    for (const TYomiraObject& el : whole) {
      const auto [endLine, end] = SourceEnd(el);
      ASSERT_EQ(endLine, el.last) << label;
      ASSERT_LE(end, static_cast<int>(source[static_cast<size_t>(el.last)].size()) + 1) << label;
      if (el.first == el.last) {
        ASSERT_LT(el.column, end) << label;
      }
      // Coverage by the kinds that stand for source bytes.
      if (el.kind <= 3 || el.kind == 6 || el.kind == 7) {
        for (int s = el.first; s <= el.last; ++s) {
          const int from = s == el.first ? el.column : 1;
          const int to = s == el.last ? end : static_cast<int>(source[static_cast<size_t>(s)].size()) + 1;
          for (int b = from; b < to; ++b) ++covered[static_cast<size_t>(s)][static_cast<size_t>(b - 1)];
        }
      }
    }
    paragraph.clear();
    paragraphText.clear();
  }
  ASSERT_TRUE(result.lines.back().ends_paragraph) << label;
  for (size_t i = 0; i < source.size(); ++i)
    for (size_t b = 0; b < source[i].size(); ++b)
      ASSERT_EQ(covered[i][b], 1) << label << " source line " << i << " byte " << b + 1 << " of "
                                  << test::hex(source[i]);
}

TEST(NotationRandom, ConversionKeepsEverySourceByteOnce) {
  DocumentMaker maker(20261209);
  for (int round = 0; round < 10000; ++round) {
    const SourceLines source = maker.Make();
    const TYomiraOption option = maker.Options();
    const ConvertSwitches switches = maker.Switches();
    Converter converter(option, source, switches);
    const ConvertResult result = converter.ConvertText("doc");
    std::string label = "round " + std::to_string(round);
    CheckDocument(source, option, result, label);
    if (HasFatalFailure()) {
      for (const std::string& line : source) ADD_FAILURE() << test::hex(line);
      return;
    }
  }
}

// A long hard-wrapped run whose openings never close: every search must stay short.
TEST(NotationRandom, UnclosedOpeningsOverManyJoinedLines) {
  TYomiraOption option = DefaultOptions();
  option.ReWrapType = 1;
  SourceLines source(20000, sj(u8"あ《い［＃う（え漢"));
  Converter converter(option, source, {.reWrap = true});
  const ConvertResult result = converter.ConvertText("doc");
  CheckDocument(source, option, result, "unclosed");
  EXPECT_EQ(converter.JoinFlags()[0], 1);
}

}  // namespace
}  // namespace yomira
