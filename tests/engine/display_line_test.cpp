#include "engine/core/display_line.h"

#include <string>
#include <vector>

#include "platform/text/cp932.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::sj;
using test::sjLines;

TYomiraObject El(int16_t kind, int32_t column, int32_t length, int32_t first = 0, int32_t last = -1,
                 int16_t split = 0) {
  TYomiraObject el;
  el.kind = kind;
  el.column = column;
  el.length = length;
  el.first = first;
  el.last = last < 0 ? first : last;
  el.split = split;
  return el;
}

struct TextCase {
  const char* name;
  std::u8string source;  // lines separated by "\n"
  TYomiraObject el;
  bool plain;
  bool wide;
  std::u8string expected;
};

TEST(ElementText, FollowsTheElementRule) {
  const std::u8string marks = u8"あ／＼い／″＼";  // kind 6 at 3, kind 7 at 9
  const TextCase cases[] = {
      {"plain text", u8"漢字《かんじ》", El(kText, 1, 4), true, false, u8"漢字"},
      {"ruby", u8"漢字《かんじ》", El(kRuby, 5, 10), true, false, u8"かんじ"},
      {"annotation", u8"［＃改ページ］", El(kAnnotation, 1, 14), true, false, u8"改ページ"},
      {"annotation over two lines", u8"あ［＃注の\n続き］い", El(kAnnotation, 3, 7, 0, 1), true, false,
       u8"注の続き"},
      {"annotation over three lines", u8"［＃注\nの\n続き］", El(kAnnotation, 1, 7, 0, 2), true, false,
       u8"注の続き"},
      {"ruby over two lines", u8"漢《かん\nじ》", El(kRuby, 3, 5, 0, 1), true, false, u8"かんじ"},
      {"repeat plain", marks, El(kRepeat, 3, 4), true, false, u8"ヽヽ"},
      {"repeat raw", marks, El(kRepeat, 3, 4), false, false, u8"／＼"},
      {"repeat half", marks, El(kRepeat, 5, 2, 0, -1, 2), true, false, u8"ヽ"},
      {"repeat first half raw", marks, El(kRepeat, 3, 2, 0, -1, 1), false, false, u8"／"},
      {"voiced plain", marks, El(kVoicedRepeat, 9, 4), true, false, u8"ヾヾ"},
      {"voiced raw", marks, El(kVoicedRepeat, 9, 4), false, false, u8"／″＼"},
      {"voiced half", marks, El(kVoicedRepeat, 9, 2, 0, -1, 1), true, false, u8"ヾ"},
      {"voiced first half raw", marks, El(kVoicedRepeat, 9, 2, 0, -1, 1), false, false, u8"／"},
      {"voiced second half raw", marks, El(kVoicedRepeat, 11, 2, 0, -1, 2), false, false, u8"″＼"},
      {"spacer", u8"", El(kSpacer, 1, 3), true, false, u8"---"},
      {"base marker", u8"｜東京", El(kRubyBase, 1, 2), true, false, u8""},
      {"illustration", u8"<img a.png>", El(kIllustration, 1, 11), true, false, u8"<img a.png>"},
      {"first line past the lines", u8"あ\nい\nう", El(kText, 1, 2, 99), true, false, u8""},
      {"length past the line end", u8"あい", El(kText, 3, 10), true, false, u8"い"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_SJ_EQ(c.el.GetText(sjLines(c.source), c.plain, c.wide), c.expected.c_str());
  }
}

TEST(ElementText, WideDelimitersAreFourBytes) {
  // Imported HTML wraps 《 and 》 in 0x0B bytes.
  const std::string vt = "\x0B";
  const SourceLines lines = {sj(u8"漢") + vt + sj(u8"《") + vt + sj(u8"かな") + vt + sj(u8"》") + vt + vt};
  EXPECT_SJ_EQ(El(kRuby, 3, 12).GetText(lines, true, true), u8"かな");
}

TEST(ElementText, RuleIsSixtyFourHyphens) {
  EXPECT_EQ(El(kRule, 1, 64).GetText({}, true), std::string(64, '-'));
}

TEST(SourceEnd, GivesTheExclusiveEndOfTheSourceSpan) {
  EXPECT_EQ(SourceEnd(El(kText, 5, 4, 2)), (SourcePos{2, 9}));
  EXPECT_EQ(SourceEnd(El(kRepeat, 3, 4)), (SourcePos{0, 7}));
  // A voiced mark takes 6 source bytes for its length of 4.
  EXPECT_EQ(SourceEnd(El(kVoicedRepeat, 3, 4)), (SourcePos{0, 9}));
  EXPECT_EQ(SourceEnd(El(kVoicedRepeat, 3, 2, 0, -1, 1)), (SourcePos{0, 5}));
  EXPECT_EQ(SourceEnd(El(kVoicedRepeat, 5, 2, 0, -1, 2)), (SourcePos{0, 9}));
  // Over several lines the length is the end position in the last line.
  const SourceLines lines = sjLines(u8"あ［＃注の\n続き］い");
  const SourcePos end = SourceEnd(El(kAnnotation, 3, 7, 0, 1));
  EXPECT_EQ(end, (SourcePos{1, 7}));
  EXPECT_SJ_EQ(Copy(lines[1], end.end, 2), u8"い");
}

TEST(AddElement, DropsEmptySpansAndDefaultsTheLastLine) {
  std::vector<TYomiraObject> els;
  EXPECT_FALSE(AddElement(els, {.kind = kText, .column = 1, .length = 0}));
  EXPECT_FALSE(AddElement(els, {.kind = kText, .column = 0, .length = 4}));
  EXPECT_FALSE(AddElement(els, {.kind = kText, .column = 3, .length = -2}));
  EXPECT_TRUE(AddElement(els, {.kind = kAnnotation, .first = 7, .column = 3, .length = 10, .emphasis = 2,
                               .side_line = 1}));
  EXPECT_TRUE(AddElement(els, {.kind = kRuby, .first = 7, .last = 8, .column = 5, .length = 6}));
  ASSERT_EQ(els.size(), 2u);
  EXPECT_EQ(els[0].kind, kAnnotation);
  EXPECT_EQ(els[0].first, 7);
  EXPECT_EQ(els[0].last, 7);
  EXPECT_EQ(els[0].column, 3);
  EXPECT_EQ(els[0].length, 10);
  EXPECT_EQ(els[0].emphasis, 2);
  EXPECT_EQ(els[0].side_line, 1);
  EXPECT_EQ(els[0].split, 0);
  EXPECT_EQ(els[1].last, 8);
}

TEST(LineWidths, CountTheCellsOfTextAndRepeatMarks) {
  TYomiraLine line;
  line.indent = 4;
  line.elements = {El(kText, 1, 6), El(kRuby, 7, 8), El(kRepeat, 15, 4)};
  EXPECT_EQ(line.GetSplitWidths(0), std::make_pair(4, 10));
  EXPECT_EQ(line.GetSplitWidths(2), std::make_pair(10, 4));
  EXPECT_EQ(line.GetSplitWidths(3), std::make_pair(14, 0));
  EXPECT_EQ(line.GetTextWidth(), 10);
}

TEST(LineWidths, HalfRepeatMarkTakesTwoCellsInBoth) {
  TYomiraLine line;
  line.elements = {El(kText, 1, 4), El(kRepeat, 5, 2, 0, -1, 1)};
  EXPECT_EQ(line.GetTextWidth(), 6);
  EXPECT_EQ(line.GetSplitWidths(1), std::make_pair(4, 2));
  TYomiraLine voiced;
  voiced.elements = {El(kVoicedRepeat, 3, 2, 0, -1, 2)};
  EXPECT_EQ(voiced.GetTextWidth(), 2);
  EXPECT_EQ(voiced.GetSplitWidths(0), std::make_pair(0, 2));
}

TEST(LineText, MatchesTheWidthsCellForCell) {
  const SourceLines lines = sjLines(u8"あ／＼い／″＼《よみ》");
  TYomiraLine line;
  line.elements = {El(kText, 1, 2), El(kRepeat, 3, 2, 0, -1, 1)};
  EXPECT_SJ_EQ(line.GetText(lines, true), u8"あヽ");
  EXPECT_EQ(static_cast<int>(line.GetText(lines, true).size()), line.GetTextWidth());
  line.elements = {El(kRepeat, 5, 2, 0, -1, 2), El(kText, 7, 2), El(kVoicedRepeat, 9, 4), El(kRuby, 15, 8)};
  EXPECT_SJ_EQ(line.GetText(lines, true), u8"ヽいヾヾ");
  EXPECT_SJ_EQ(line.GetText(lines, false), u8"＼い／″＼");
  EXPECT_EQ(static_cast<int>(line.GetText(lines, true).size()), line.GetTextWidth());
}

TEST(LineText, FirstTextSkipsElementsWithoutCells) {
  const SourceLines lines = sjLines(u8"｜東京《とうきょう》");
  TYomiraLine line;
  line.source_line = 5;
  line.elements = {El(kRubyBase, 1, 2, 3), El(kText, 3, 4, 3), El(kRuby, 7, 14, 3)};
  const SourceLines shifted = {"", "", "", lines[0]};
  EXPECT_SJ_EQ(line.GetFirstText(shifted), u8"東京");
  EXPECT_EQ(line.GetFirstSourceLine(), 3);
  line.elements = {El(kAnnotation, 1, 14, 3)};
  EXPECT_EQ(line.GetFirstText(shifted), "");
}

TEST(LineText, EmptyLine) {
  const TYomiraLine line;
  EXPECT_EQ(line.GetText(sjLines(u8"あ"), true), "");
  EXPECT_EQ(line.GetTextWidth(), 0);
  EXPECT_EQ(line.GetFirstSourceLine(), 0);
  EXPECT_EQ(line.GetFirstText(sjLines(u8"あ")), "");
  EXPECT_EQ(line.GetSplitWidths(0), std::make_pair(0, 0));
}

TEST(DisplayLines, ClearingFreesEveryLine) {
  DisplayLines lines(3);
  lines[1].elements.push_back(El(kText, 1, 2));
  ClearDisplayLines(lines);
  EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace yomira
