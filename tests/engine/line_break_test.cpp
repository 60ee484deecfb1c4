#include "engine/core/line_break.h"

#include <random>
#include <string>
#include <vector>

#include "platform/text/cp932.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;
using test::sjLines;

// The kinsoku lists as a first start writes them to the settings file.
TYomiraOption MakeOption(int v_size, bool strict = true) {
  TYomiraOption o;
  o.v_size = v_size;
  o.strict = strict;
  o.aut_indent = 1;
  o.wrap_words = sj(
      u8"、。，．・：；？！゛゜ヽヾゝゞ々ー’”）〕］｝〉》」』】°′″℃￠％ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ");
  o.wrap_word2 = sj(u8"‘“（〔［｛〈《「『【￥＄”’");
  o.indent_words = sj(u8"‘“（〔［｛〈《「『【￥＄・※");
  o.tty_words = "0123456789!?";
  return o;
}

std::string Repeat(std::u8string_view ch, int n) {
  std::string one = sj(ch), out;
  for (int i = 0; i < n; ++i) out += one;
  return out;
}

TYomiraObject El(int16_t kind, int32_t column, int32_t length, int16_t split = 0) {
  TYomiraObject el;
  el.kind = kind;
  el.column = column;
  el.length = length;
  el.split = split;
  return el;
}

struct BreakCase {
  const char* name;
  std::string text;
  int indent;
  int expected;
};

TEST(FindLineBreak, KinsokuAtFortyCells) {
  const std::string a19 = Repeat(u8"あ", 19), a20 = Repeat(u8"あ", 20), a18 = Repeat(u8"あ", 18);
  const BreakCase cases[] = {
      {"the rest fits", a20, 0, 40},
      {"plain break", Repeat(u8"あ", 30), 0, 40},
      {"a lead byte last grows the line", "a" + Repeat(u8"あ", 25), 0, 41},
      // ＝ is 81 81: its trail byte lies in the lead range and must not grow the line.
      {"trail byte in the lead range", a19 + sj(u8"＝あいう"), 0, 40},
      {"line-head forbidden hangs", a20 + sj(u8"。あいう"), 0, 42},
      {"two forbidden push out", a20 + sj(u8"。」あ"), 0, 38},
      {"digit pair stays", a20 + "12" + sj(u8"あ"), 0, 42},
      {"three digits do not", a20 + "123" + sj(u8"あ"), 0, 40},
      {"line-end forbidden pulls back", a19 + sj(u8"「あいう"), 0, 38},
      {"two line-end forbidden", a18 + sj(u8"「「あいう"), 0, 36},
      {"all forbidden gives up", Repeat(u8"。", 30), 0, 40},
      {"digit pair at the text end", a20 + "12", 0, 42},
      {"digit pair then a letter", a20 + "12a", 0, 42},
      {"indent shortens the line", Repeat(u8"あ", 30), 4, 36},
      {"indent at the line length", Repeat(u8"あ", 30), 40, 2},
      {"indent past the line length", Repeat(u8"あ", 30), 60, 2},
  };
  const TYomiraOption option = MakeOption(40);
  for (const BreakCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindLineBreak(c.text, 1, c.indent, option), c.expected);
  }
}

TEST(FindLineBreak, StrictOffBreaksAtTheWidth) {
  const TYomiraOption option = MakeOption(40, false);
  EXPECT_EQ(FindLineBreak(Repeat(u8"あ", 20) + sj(u8"。あ"), 1, 0, option), 40);
  EXPECT_EQ(FindLineBreak("a" + Repeat(u8"あ", 25), 1, 0, option), 41);
}

TEST(FindLineBreak, SingleByteHangAddsOneByte) {
  TYomiraOption option = MakeOption(40);
  option.wrap_words += ",";
  // The hanging "," is one byte: w + 2 would cut the あ after it.
  EXPECT_EQ(FindLineBreak(Repeat(u8"あ", 20) + "," + sj(u8"あい"), 1, 0, option), 41);
}

TEST(FindLineBreak, StartsFromALaterLine) {
  const TYomiraOption option = MakeOption(40);
  // Second line of a paragraph: 81 81 bytes before s must not matter.
  const std::string text = Repeat(u8"＝", 20) + Repeat(u8"あ", 19) + sj(u8"「あいう");
  EXPECT_EQ(FindLineBreak(text, 41, 0, option), 38);
  EXPECT_EQ(FindLineBreak(text, 41, 2, option), 38);
  EXPECT_EQ(FindLineBreak(text, 79, 0, option), 40);
}

TEST(FindLineBreak, PushOutAndPullBackKeepFourBytes) {
  const TYomiraOption option = MakeOption(10);
  // A character that may start or end a line counts only from 4 bytes in; else the
  // width stays.
  EXPECT_EQ(FindLineBreak(sj(u8"あ。。。。。。。。"), 1, 0, option), 10);
  EXPECT_EQ(FindLineBreak(sj(u8"ああ。。。」」あ"), 1, 0, option), 10);
  EXPECT_EQ(FindLineBreak(sj(u8"あああ。。」」あ"), 1, 0, option), 4);
  EXPECT_EQ(FindLineBreak(sj(u8"ああ「「「あ"), 1, 0, option), 10);
  EXPECT_EQ(FindLineBreak(sj(u8"あああ「「あ"), 1, 0, option), 6);
}

// The lists are looked up through tables: a changed list must change the breaks at once,
// also when the option record is the same object.
TEST(FindLineBreak, FollowsListsThatChange) {
  TYomiraOption option = MakeOption(10);
  const std::string text = sj(u8"あああああ。あ");
  EXPECT_EQ(FindLineBreak(text, 1, 0, option), 12);  // "。" hangs
  option.wrap_words = sj(u8"、");
  EXPECT_EQ(FindLineBreak(text, 1, 0, option), 10);
  option.wrap_words = sj(u8"あ。");  // "。" and the "あ" after it: the line ends before the last "い"
  EXPECT_EQ(FindLineBreak(sj(u8"いいいいあ。あ"), 1, 0, option), 6);
  EXPECT_EQ(FindLineBreak(text, 1, 0, option), 10);  // no "い" to end before: the width stays
  option.wrap_words.clear();
  option.wrap_word2 = sj(u8"あ");  // every line-end candidate is forbidden: the width stays
  EXPECT_EQ(FindLineBreak(text, 1, 0, option), 10);
  option.wrap_word2.clear();
  option.tty_words = sj(u8"。あ");  // "。あ" is a pair at the line end
  EXPECT_EQ(FindLineBreak(text, 1, 0, option), 14);
  const TYomiraOption other = MakeOption(10);
  EXPECT_EQ(FindLineBreak(text, 1, 0, other), 12);
}

TEST(PushOutHead, EndsBeforeTheNearestAllowedStart) {
  const TYomiraOption option = MakeOption(40);
  EXPECT_EQ(PushOutHead(sj(u8"あいうえ。。あ"), 1, 12, option), 6);
  EXPECT_EQ(PushOutHead("abcdefg" + sj(u8"。。。"), 1, 13, option), 6);
  EXPECT_EQ(PushOutHead(sj(u8"あい。。。。。"), 1, 12, option), 12);
}

TEST(PullBackFoot, EndsAfterTheNearestAllowedEnd) {
  const TYomiraOption option = MakeOption(40);
  EXPECT_EQ(PullBackFoot(sj(u8"あいう「「あ"), 1, 10, option), 6);
  EXPECT_EQ(PullBackFoot("abcde" + sj(u8"「「"), 1, 9, option), 5);
  EXPECT_EQ(PullBackFoot(sj(u8"あい「「「「あ"), 1, 12, option), 12);
}

TEST(NeedAutoIndent, BlanksAndIndentWordsSuppressIt) {
  const TYomiraOption option = MakeOption(40);
  EXPECT_FALSE(NeedAutoIndent("", option));
  EXPECT_TRUE(NeedAutoIndent(sj(u8"本を読む"), option));
  EXPECT_FALSE(NeedAutoIndent(sj(u8"「本」"), option));
  EXPECT_FALSE(NeedAutoIndent(sj(u8"　本"), option));
  EXPECT_FALSE(NeedAutoIndent(" a", option));
  EXPECT_TRUE(NeedAutoIndent("a", option));
  // "e" is 0x65, the trail byte of ‘ (81 65) in indent_words: only whole characters match.
  EXPECT_TRUE(NeedAutoIndent("each", option));
}

TEST(GetLineText, RepeatMarksStandInTheirPlainForm) {
  const SourceLines lines = sjLines(u8"あい／＼／″＼［＃注］");
  const std::vector<TYomiraObject> els = {El(kText, 1, 4), El(kRepeat, 5, 4), El(kVoicedRepeat, 9, 4),
                                          El(kAnnotation, 15, 8)};
  EXPECT_SJ_EQ(GetLineText(els, lines), u8"あいヽヽヾヾ");
}

TEST(SplitElementsAt, ExactEndKeepsRubyButNotABaseMarker) {
  std::vector<TYomiraObject> els = {El(kText, 1, 6), El(kRuby, 7, 8), El(kRubyBase, 15, 2), El(kText, 17, 4)};
  EXPECT_EQ(SplitElementsAt(els, 7), 1);
  EXPECT_EQ(els.size(), 4u);
  std::vector<TYomiraObject> more = {El(kText, 1, 4), El(kAnnotation, 5, 10), El(kSpacer, 1, 2),
                                     El(kIllustration, 15, 6), El(kRule, 1, 80), El(kText, 21, 2)};
  EXPECT_EQ(SplitElementsAt(more, 5), 4);
}

TEST(SplitElementsAt, SplitsTheElementAcrossThePosition) {
  std::vector<TYomiraObject> text = {El(kText, 1, 10)};
  EXPECT_EQ(SplitElementsAt(text, 5), 0);
  ASSERT_EQ(text.size(), 2u);
  EXPECT_EQ(text[0], El(kText, 1, 4, 1));
  EXPECT_EQ(text[1], El(kText, 5, 6, 2));

  std::vector<TYomiraObject> mark = {El(kRepeat, 5, 4)};
  EXPECT_EQ(SplitElementsAt(mark, 3), 0);
  ASSERT_EQ(mark.size(), 2u);
  EXPECT_EQ(mark[0], El(kRepeat, 5, 2, 1));
  EXPECT_EQ(mark[1], El(kRepeat, 7, 2, 2));

  std::vector<TYomiraObject> second = {El(kText, 1, 4), El(kRuby, 5, 8), El(kText, 13, 6), El(kText, 19, 2)};
  EXPECT_EQ(SplitElementsAt(second, 7), 2);
  ASSERT_EQ(second.size(), 5u);
  EXPECT_EQ(second[2], El(kText, 13, 2, 1));
  EXPECT_EQ(second[3], El(kText, 15, 4, 2));
  EXPECT_EQ(second[4], El(kText, 19, 2));
}

TEST(SplitElementsAt, EmptyListAndPositionPastTheEnd) {
  std::vector<TYomiraObject> none;
  EXPECT_EQ(SplitElementsAt(none, 3), 0);
  std::vector<TYomiraObject> els = {El(kText, 1, 4), El(kRubyBase, 5, 2)};
  EXPECT_EQ(SplitElementsAt(els, 40), 1);
}

// One paragraph made of a single text element, broken at v_size cells.
std::vector<TYomiraLine> BreakPlain(const std::string& text, int v_size, int first = 0, int wrap = 0,
                                    bool strict = true) {
  std::vector<TYomiraObject> els;
  AddElement(els, {.kind = kText, .first = 0, .column = 1, .length = static_cast<int32_t>(text.size())});
  DisplayLines out;
  BreakParagraph(els, text, 7, first, wrap, MakeOption(v_size, strict), out);
  return out;
}

std::vector<int> Widths(const DisplayLines& lines) {
  std::vector<int> widths;
  for (const TYomiraLine& line : lines) widths.push_back(line.GetTextWidth());
  return widths;
}

TEST(BreakParagraph, WidthsAtFortyCells) {
  EXPECT_EQ(Widths(BreakPlain(Repeat(u8"あ", 30), 40)), (std::vector<int>{40, 20}));
  EXPECT_EQ(Widths(BreakPlain(Repeat(u8"あ", 20) + sj(u8"。」あ"), 40)), (std::vector<int>{38, 8}));
  EXPECT_EQ(Widths(BreakPlain(Repeat(u8"あ", 19) + sj(u8"＝あいう"), 40)), (std::vector<int>{40, 6}));
  EXPECT_EQ(Widths(BreakPlain(Repeat(u8"あ", 20) + sj(u8"。"), 40)), (std::vector<int>{42}));
}

TEST(BreakParagraph, IndentsSourceAndParagraphEnd) {
  const DisplayLines lines = BreakPlain(Repeat(u8"あ", 50), 40, 4, 2);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Widths(lines), (std::vector<int>{36, 38, 26}));
  EXPECT_EQ(lines[0].indent, 4);
  EXPECT_EQ(lines[1].indent, 2);
  EXPECT_EQ(lines[2].indent, 2);
  for (const TYomiraLine& line : lines) EXPECT_EQ(line.source_line, 7);
  EXPECT_FALSE(lines[0].ends_paragraph);
  EXPECT_FALSE(lines[1].ends_paragraph);
  EXPECT_TRUE(lines[2].ends_paragraph);
  EXPECT_EQ(lines[0].elements[0], El(kText, 1, 36, 1));
  EXPECT_EQ(lines[1].elements[0], El(kText, 37, 38, 1));
  EXPECT_EQ(lines[2].elements[0], El(kText, 75, 26, 2));
}

TEST(BreakParagraph, IndentPastTheLineLengthStillEnds) {
  const DisplayLines lines = BreakPlain(Repeat(u8"あ", 30), 40, 60, 60);
  ASSERT_EQ(lines.size(), 30u);
  for (const TYomiraLine& line : lines) EXPECT_EQ(line.GetTextWidth(), 2);
}

TEST(BreakParagraph, LastLineTakesTheElementsAfterTheText) {
  // The text ends exactly at the line's end: the trailing base marker and note stay.
  const std::string text = Repeat(u8"あ", 20);
  std::vector<TYomiraObject> els = {El(kText, 1, 40), El(kRubyBase, 41, 2), El(kAnnotation, 43, 10)};
  DisplayLines out;
  BreakParagraph(els, text, 0, 0, 0, MakeOption(40), out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].elements.size(), 3u);
  EXPECT_TRUE(out[0].ends_paragraph);
  EXPECT_TRUE(els.empty());
}

TEST(BreakParagraph, BaseMarkerMovesToTheNextLine) {
  const SourceLines src = sjLines(u8"ああああああああああああああああああああ《よみ》｜漢字《かんじ》あ");
  std::vector<TYomiraObject> els = {El(kText, 1, 40), El(kRuby, 41, 8), El(kRubyBase, 49, 2),
                                    El(kText, 51, 4), El(kRuby, 55, 10), El(kText, 65, 2)};
  const std::string text = GetLineText(els, src);
  DisplayLines out;
  BreakParagraph(els, text, 0, 0, 0, MakeOption(40), out);
  ASSERT_EQ(out.size(), 2u);
  ASSERT_EQ(out[0].elements.size(), 2u);
  EXPECT_EQ(out[0].elements[1].kind, kRuby);
  ASSERT_EQ(out[1].elements.size(), 4u);
  EXPECT_EQ(out[1].elements[0].kind, kRubyBase);
  EXPECT_SJ_EQ(out[1].GetText(src, true), u8"漢字あ");
}

TEST(BreakParagraph, RepeatMarkSplitsIntoHalves) {
  // 19 あ then ／＼: the break falls in the middle of the mark.
  const SourceLines src = {Repeat(u8"あ", 19) + sj(u8"／＼い")};
  std::vector<TYomiraObject> els = {El(kText, 1, 38), El(kRepeat, 39, 4), El(kText, 43, 2)};
  const std::string text = GetLineText(els, src);
  DisplayLines out;
  BreakParagraph(els, text, 0, 0, 0, MakeOption(40, false), out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].elements.back(), El(kRepeat, 39, 2, 1));
  EXPECT_EQ(out[1].elements.front(), El(kRepeat, 41, 2, 2));
  EXPECT_EQ(Widths(out), (std::vector<int>{40, 4}));
  EXPECT_SJ_EQ(out[1].GetText(src, true), u8"ヽい");
  EXPECT_SJ_EQ(out[1].GetText(src, false), u8"＼い");
}

TEST(BreakParagraph, EmptyTextGivesOneLineWithEverything) {
  std::vector<TYomiraObject> els = {El(kAnnotation, 1, 14)};
  DisplayLines out;
  BreakParagraph(els, "", 3, 6, 6, MakeOption(40), out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].elements.size(), 1u);
  EXPECT_EQ(out[0].indent, 0);
  EXPECT_EQ(out[0].source_line, 3);
  EXPECT_TRUE(out[0].ends_paragraph);
}

// Seeded random paragraphs: every element lands once and in order, no line passes its
// cells plus the 3 spare ones, the widths add up to the text and the breaking ends.
class RandomParagraph {
 public:
  explicit RandomParagraph(uint32_t seed) : rng_(seed) {}

  // Builds one source line and its elements; returns the elements.
  std::vector<TYomiraObject> Make(std::string& source) {
    static const std::vector<std::string> tokens = [] {
      std::vector<std::string> t;
      for (const char8_t* s : {u8"あ", u8"い", u8"ん", u8"ぁ", u8"漢", u8"字", u8"表", u8"ソ", u8"ア", u8"ｱ",
                               u8"12", u8"34", u8"7", u8"。", u8"、", u8"」", u8"「", u8"（", u8"ー", u8"っ",
                               u8"＝", u8"ａ", u8"％", u8"￥", u8"a", u8"Z", u8" ", u8"!?", u8"　"})
        t.push_back(sj(s));
      return t;
    }();
    std::vector<TYomiraObject> els;
    source.clear();
    const int pieces = Pick(1, 12);
    for (int i = 0; i < pieces; ++i) {
      const int column = static_cast<int>(source.size()) + 1;
      const int what = Pick(0, 9);
      if (what <= 5) {
        const int n = Pick(1, 60);
        for (int k = 0; k < n; ++k) source += tokens[static_cast<size_t>(Pick(0, static_cast<int>(tokens.size()) - 1))];
        AddElement(els, {.kind = kText, .column = column, .length = static_cast<int32_t>(source.size()) - column + 1,
                         .emphasis = static_cast<int16_t>(Pick(0, 2)), .side_line = static_cast<int16_t>(Pick(0, 1))});
      } else if (what == 6) {
        source += sj(u8"／＼");
        AddElement(els, {.kind = kRepeat, .column = column, .length = 4});
      } else if (what == 7) {
        source += sj(u8"／″＼");
        AddElement(els, {.kind = kVoicedRepeat, .column = column, .length = 4});
      } else if (what == 8) {
        source += sj(u8"《かな》");
        AddElement(els, {.kind = kRuby, .column = column, .length = 8});
      } else {
        const bool base = Pick(0, 1);
        source += base ? sj(u8"｜") : sj(u8"［＃注］");
        AddElement(els, {.kind = base ? kRubyBase : kAnnotation, .column = column, .length = base ? 2 : 10});
      }
    }
    if (Pick(0, 9) == 0) {  // a lone lead byte at the very end stands alone
      const int column = static_cast<int>(source.size()) + 1;
      source += '\x81';
      AddElement(els, {.kind = kText, .column = column, .length = 1});
    }
    return els;
  }

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

 private:
  std::mt19937 rng_;
};

// Checks that the pieces in the lines put back together give the original elements.
void ExpectPlacedOnceInOrder(const std::vector<TYomiraObject>& original, const DisplayLines& lines) {
  std::vector<TYomiraObject> placed;
  for (const TYomiraLine& line : lines) placed.insert(placed.end(), line.elements.begin(), line.elements.end());
  size_t at = 0;
  for (const TYomiraObject& want : original) {
    int32_t covered = 0;
    int pieces = 0;
    do {
      ASSERT_LT(at, placed.size()) << "element lost";
      TYomiraObject got = placed[at++];
      ASSERT_GT(got.length, 0);
      EXPECT_EQ(got.column, want.column + covered);
      EXPECT_EQ(got.split, got.length == want.length ? 0 : (covered + got.length == want.length ? 2 : 1));
      got.column = want.column;
      got.length = want.length;
      got.split = want.split;
      EXPECT_EQ(got, want);
      covered += placed[at - 1].length;
      ++pieces;
    } while (covered < want.length);
    EXPECT_EQ(covered, want.length);
    if (!TakesCells(want.kind)) {
      EXPECT_EQ(pieces, 1);
    }
  }
  EXPECT_EQ(at, placed.size()) << "extra elements";
}

TEST(BreakParagraph, SeededRandomParagraphs) {
  RandomParagraph gen(20261209);
  for (int round = 0; round < 2000; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::string source;
    std::vector<TYomiraObject> els = gen.Make(source);
    const SourceLines sources = {source};
    const std::string text = GetLineText(els, sources);
    const int v = gen.Pick(10, gen.Pick(0, 1) ? 80 : 512);
    const bool wide_indent = gen.Pick(0, 4) == 0;
    const int first = wide_indent ? gen.Pick(v - 4, v + 20) : gen.Pick(0, v / 4);
    const int wrap = wide_indent ? gen.Pick(v - 4, v + 20) : gen.Pick(0, v / 4);
    TYomiraOption option = MakeOption(v, gen.Pick(0, 3) != 0);
    if (gen.Pick(0, 3) == 0) option.wrap_words += "a";  // a single-byte character that hangs
    const std::vector<TYomiraObject> original = els;

    DisplayLines lines;
    BreakParagraph(els, text, round, first, wrap, option, lines);
    ASSERT_FALSE(lines.empty());
    ASSERT_LE(lines.size(), text.size() / 2 + 2);
    ExpectPlacedOnceInOrder(original, lines);

    // Walk the breaks again: each line is exactly the width FindLineBreak gave, starts on
    // a character boundary and shows the text it covers.
    std::vector<bool> boundary(text.size() + 2, false);
    for (int pos = 1; pos <= static_cast<int>(text.size()) + 1; pos = NextChar(text, pos)) boundary[pos] = true;
    int pos = 1, total = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      const TYomiraLine& line = lines[i];
      const int indent = text.empty() ? 0 : i == 0 ? first : wrap;
      const int width = line.GetTextWidth();
      EXPECT_EQ(line.indent, indent);
      EXPECT_EQ(line.source_line, round);
      EXPECT_EQ(line.ends_paragraph, i + 1 == lines.size());
      EXPECT_LE(width, std::max(v - indent, 2) + 3);
      if (indent <= v - 2) {
        EXPECT_LE(indent + width, v + 3);
      }
      if (i + 1 < lines.size()) {
        EXPECT_EQ(width, FindLineBreak(text, pos, indent, option));
        EXPECT_TRUE(boundary[static_cast<size_t>(pos + width)]) << "cut at " << pos + width;
      }
      EXPECT_EQ(line.GetText(sources, true), text.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(width)));
      pos += width;
      total += width;
    }
    EXPECT_EQ(total, static_cast<int>(text.size()));
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace yomira
