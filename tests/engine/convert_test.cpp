#include <gtest/gtest.h>

#include "engine/core/convert.h"
#include "engine/core/option_defaults.h"
#include "notation_test_util.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

using test::Convert;
using test::LineRow;
using test::sj;
using test::sjLines;

// Rows of the whole layout, one per display line, " / " between them.
std::string Rows(const DisplayLines& lines) {
  std::string out;
  for (const TYomiraLine& line : lines) {
    if (!out.empty()) out += " / ";
    out += LineRow(line);
  }
  return out;
}

struct ScanCase {
  const char8_t* line;
  ConvertSwitches switches;
  const char* rows;
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << test::u8(sj(c.line)); }

class ScanTable : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanTable, MakesTheElements) {
  const ScanCase& c = GetParam();
  const test::Converted out = Convert({sj(c.line)}, c.switches);
  EXPECT_EQ(Rows(out.result.lines), c.rows) << test::u8(sj(c.line));
}

constexpr ConvertSwitches kToRuby{.toRuby = true};

INSTANTIATE_TEST_SUITE_P(
    Notation, ScanTable,
    ::testing::Values(
        ScanCase{u8"漢字《かんじ》", {}, "T 0:1+4, R 0:5+10"},
        ScanCase{u8"｜東京《とうきょう》", {}, "B 0:1+2, T 0:3+4, R 0:7+14"},
        ScanCase{u8"《", {}, "T 0:1+2"},
        ScanCase{u8"あ《い", {}, "T 0:1+6"},
        ScanCase{u8"《あ《い》", {}, "R 0:1+10"},
        ScanCase{u8"前［＃注］後", {}, "T 0:1+2, A 0:3+8, T 0:11+2"},
        ScanCase{u8"［＃「［＃注］」に傍点］", {}, "A 0:1+24"},
        ScanCase{u8"［＃［＃［＃x］］］", {}, "A 0:1+17, T 0:18+2"},
        ScanCase{u8"［＃［＃x］", {}, "A 0:1+11"},
        ScanCase{u8"［＃注", {}, "T 0:1+6"},
        ScanCase{u8"［＃注《ちゅう》", {}, "T 0:1+6, R 0:7+10"},
        ScanCase{u8"いろ／＼あ", {}, "T 0:1+4, K 0:5+4, T 0:9+2"},
        ScanCase{u8"だ／″＼い", {}, "T 0:1+2, V 0:3+4, T 0:9+2"},
        ScanCase{u8"｜｜", {}, "B 0:1+2, B 0:3+2"},
        ScanCase{u8"漢字（かんじ）", kToRuby, "T 0:1+4, R 0:5+10"},
        ScanCase{u8"漢字（注意）", kToRuby, "T 0:1+12"},
        ScanCase{u8"漢字（abc）", kToRuby, "T 0:1+11"},
        ScanCase{u8"漢字《かんじ》", kToRuby, "T 0:1+14"},
        ScanCase{u8"漢字（かんじ）です（１）", kToRuby, "T 0:1+4, R 0:5+10, T 0:15+10"},
        ScanCase{u8"｜ひらがな（よみ）", kToRuby, "B 0:1+2, T 0:3+8, R 0:11+8"},
        ScanCase{u8"（かな）", kToRuby, "T 0:1+8"}),
    [](const ::testing::TestParamInfo<ScanCase>& info) { return "Case" + std::to_string(info.index); });

TEST(Convert, RubyTagOffKeepsEveryLineAsText) {
  TYomiraOption option = DefaultOptions();
  option.ruby_tag = 0;
  const test::Converted out = Convert({sj(u8"漢字《かんじ》")}, {}, option);
  EXPECT_EQ(Rows(out.result.lines), "T 0:1+14");
}

TEST(Convert, ElementTextsOfRubyAndNote) {
  const SourceLines source = {sj(u8"前［＃注］後漢《かん》")};
  const test::Converted out = Convert(source);
  ASSERT_EQ(out.result.lines.size(), 1u);
  const auto& els = out.result.lines[0].elements;
  ASSERT_EQ(els.size(), 4u);
  EXPECT_SJ_EQ(els[1].GetText(source, true, false), u8"注");
  EXPECT_SJ_EQ(els[3].GetText(source, true, false), u8"かん");
}

TEST(Convert, HtmlImportedRubyUsesFourByteDelimiters) {
  const std::string vtOpen = test::VtFramed(u8"《");
  const std::string vtClose = test::VtFramed(u8"》");
  const SourceLines source = {sj(u8"漢") + vtOpen + sj(u8"かん") + vtClose + sj(u8"《")};
  const test::Converted out = Convert(source, {.htmlImported = true});
  EXPECT_EQ(out.result.delimiterWidth, 4);
  EXPECT_EQ(Rows(out.result.lines), "T 0:1+2, R 0:3+12, T 0:15+2");
  EXPECT_SJ_EQ(out.result.lines[0].elements[1].GetText(source, true, true), u8"かん");
}

TEST(Convert, HtmlImportedOpeningWithoutClosingStaysText) {
  // The failed opening moves the search by 2 bytes, onto the trail byte of 《.
  const std::string vtOpen = test::VtFramed(u8"《");
  const SourceLines source = {sj(u8"漢") + vtOpen + sj(u8"かん") + vtOpen + "x"};
  const test::Converted out = Convert(source, {.htmlImported = true});
  EXPECT_EQ(Rows(out.result.lines), "T 0:1+15");
}

TEST(Convert, DelimiterWidthFollowsTheSwitches) {
  EXPECT_EQ(Convert({"a"}).result.delimiterWidth, 2);
  EXPECT_EQ(Convert({"a"}, {.toRuby = true, .htmlImported = true}).result.delimiterWidth, 2);
  EXPECT_EQ(Convert({"a"}, {.htmlImported = true}).result.delimiterWidth, 4);
}

// Compel re-wrap: a line ending in a kana or kanji joins the next.
test::Converted ConvertJoined(const SourceLines& source) {
  TYomiraOption option = DefaultOptions();
  option.ReWrapType = 1;
  return Convert(source, {.reWrap = true}, option);
}

TEST(Convert, RubyAcrossJoinedLines) {
  const SourceLines source = sjLines(u8"あ｜漢《かん\nじ》です");
  const test::Converted out = ConvertJoined(source);
  ASSERT_EQ(out.result.lines.size(), 1u);
  EXPECT_EQ(out.result.lines[0].source_line, 1);
  EXPECT_EQ(LineRow(out.result.lines[0]), "T 0:1+2, B 0:3+2, T 0:5+2, R 0-1:7+5, T 1:5+4");
  EXPECT_SJ_EQ(out.result.lines[0].elements[3].GetText(source, true, false), u8"かんじ");
}

TEST(Convert, NoteAcrossJoinedLines) {
  const SourceLines source = sjLines(u8"［＃注の\n続き］");
  const test::Converted out = ConvertJoined(source);
  EXPECT_EQ(Rows(out.result.lines), "A 0-1:1+7");
  EXPECT_SJ_EQ(out.result.lines[0].elements[0].GetText(source, true, false), u8"注の続き");
}

TEST(Convert, ScanGoesOnInTheClosingLine) {
  // Line 1 holds a ruby that the cross-line close must not hide, and line 2 is not joined.
  const test::Converted out = ConvertJoined(sjLines(u8"漢《か\nん》字《じ》。\n次"));
  EXPECT_EQ(Rows(out.result.lines), "T 0:1+2, R 0-1:3+5, T 1:5+2, R 1:7+6, T 1:13+2 / T 2:1+2");
}

TEST(Convert, AutoIndent) {
  const test::Converted out = Convert(sjLines(u8"本文\n「会話」\n　本文"), {.autoIndent = true});
  ASSERT_EQ(out.result.lines.size(), 3u);
  EXPECT_EQ(out.result.lines[0].indent, 2);
  EXPECT_EQ(out.result.lines[1].indent, 0);
  EXPECT_EQ(out.result.lines[2].indent, 0);
  EXPECT_EQ(Convert(sjLines(u8"本文")).result.lines[0].indent, 0);
}

TEST(Convert, BlankAnnotationAndEmptyDocuments) {
  const test::Converted blank = Convert({""});
  ASSERT_EQ(blank.result.lines.size(), 1u);
  EXPECT_TRUE(blank.result.lines[0].elements.empty());
  EXPECT_TRUE(blank.result.lines[0].ends_paragraph);

  const test::Converted note = Convert({sj(u8"［＃ほげ］")});
  ASSERT_EQ(note.result.lines.size(), 1u);
  EXPECT_EQ(LineRow(note.result.lines[0]), "A 0:1+10");
  EXPECT_TRUE(note.result.lines[0].ends_paragraph);

  const test::Converted empty = Convert({});
  ASSERT_EQ(empty.result.lines.size(), 1u);
  EXPECT_TRUE(empty.result.lines[0].elements.empty());
  EXPECT_EQ(empty.result.lines[0].source_line, 0);
  EXPECT_TRUE(empty.result.lines[0].ends_paragraph);
}

TEST(Convert, LongParagraphBreaks) {
  TYomiraOption option = DefaultOptions();
  option.v_size = 40;
  std::u8string text;
  for (int i = 0; i < 30; ++i) text += u8"あ";
  const test::Converted out = Convert({sj(text)}, {}, option);
  ASSERT_EQ(out.result.lines.size(), 2u);
  EXPECT_EQ(out.result.lines[0].GetTextWidth(), 40);
  EXPECT_EQ(out.result.lines[1].GetTextWidth(), 20);
  EXPECT_FALSE(out.result.lines[0].ends_paragraph);
  EXPECT_TRUE(out.result.lines[1].ends_paragraph);
}

TEST(Convert, ProgressIsAscendingAndEndsAtTheCount) {
  std::vector<std::pair<int, int>> calls;
  const ProgressFn record = [&](int pos, int max) { calls.emplace_back(pos, max); };
  Convert(SourceLines(1000, "a"), {}, DefaultOptions(), record);
  ASSERT_GE(calls.size(), 2u);
  for (size_t k = 1; k < calls.size(); ++k) EXPECT_LT(calls[k - 1].first, calls[k].first);
  EXPECT_EQ(calls.front(), std::make_pair(0, 1000));
  EXPECT_EQ(calls.back(), std::make_pair(1000, 1000));
  EXPECT_EQ(calls.size(), 335u) << "every third line (1000 / 256), then the end";

  calls.clear();
  Convert({}, {}, DefaultOptions(), record);
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{0, 0}}));
}

// With the bar's width the step is max * 5 / width lines (at least 1): a report per 5 pixels.
TEST(Convert, ProgressStepFollowsTheBarWidth) {
  const TYomiraOption option = DefaultOptions();
  const SourceLines source(1000, "a");
  struct Case {
    int width;
    size_t calls;  // the reports at every step from 0, then the end
  } cases[] = {{50, 11}, {300, 64}, {5000, 1001}, {0, 335}};  // steps 100, 16, 1; 0: 1000 / 256
  for (const Case& c : cases) {
    std::vector<int> at;
    Converter(option, source, {}).ConvertText("d", [&](int pos, int) { at.push_back(pos); }, nullptr, c.width);
    EXPECT_EQ(at.size(), c.calls) << "width " << c.width;
    ASSERT_FALSE(at.empty());
    EXPECT_EQ(at.back(), 1000);
  }
}

TEST(Convert, CaptionIsTheDocumentNameWithoutLegend) {
  const TYomiraOption option = DefaultOptions();
  const SourceLines source = sjLines(u8"題名\n\n著者\n\n本文");
  Converter converter(option, source, {});
  EXPECT_EQ(converter.ConvertText("名前.txt").title, "名前.txt");
}

// A hook that counts legend rules, so that the caption comes from the text.
class LegendHooks : public NotationHooks {
 public:
  bool HandleSpecialLine(ConvertState& state, int i) override {
    if (state.source[static_cast<size_t>(i)] != std::string(55, '-')) return false;
    ++state.legendCount;
    return true;
  }
};

TEST(Convert, CaptionFromTheTextAfterTwoLegendRules) {
  const TYomiraOption option = DefaultOptions();
  const std::string rule(55, '-');
  const SourceLines source = {sj(u8"題名"), "", sj(u8"著者"), rule, sj(u8"凡例"), rule, sj(u8"本文")};
  Converter converter(option, source, {});
  LegendHooks hooks;
  const ConvertResult result = converter.ConvertText("doc.txt", nullptr, &hooks);
  EXPECT_EQ(result.legendCount, 2);
  EXPECT_EQ(result.title, "題名 / 著者");
  for (const TYomiraLine& line : result.lines)
    for (const TYomiraObject& el : line.elements) EXPECT_NE(el.first, 4) << "the legend is not shown";
}

// Records the order of hook calls and the state they see.
class RecordingHooks : public NotationHooks {
 public:
  std::vector<std::string> calls;
  bool coverSucceeds = false;
  void Begin(ConvertState&) override { calls.push_back("Begin"); }
  bool CenterCoverBlock(ConvertState& state, bool force) override {
    calls.push_back("Cover " + std::to_string(state.lines.size()) + (force ? " forced" : ""));
    return coverSucceeds;
  }
  int PadLines(ConvertState&, int i, int mode) override {
    calls.push_back("Pad " + std::to_string(i) + " " + std::to_string(mode));
    return 0;
  }
  bool HandleBlockAnnotation(ConvertState&, const TYomiraObject& note, int i) override {
    calls.push_back("Block " + std::to_string(i) + " " + test::ElementRow(note));
    return true;
  }
  void ApplyEmphasisNotes(ConvertState&, std::vector<TYomiraObject>& elements) override {
    calls.push_back("Emphasis " + std::to_string(elements.size()));
  }
  void AlignBottomNotes(ConvertState& state, int first) override {
    calls.push_back("Bottom " + std::to_string(first) + ".." + std::to_string(state.lines.size()));
  }
};

TEST(Convert, HooksAreCalledPerParagraph) {
  const TYomiraOption option = DefaultOptions();
  const SourceLines source = sjLines(u8"題\n\n［＃改ページ］\n本文");
  Converter converter(option, source, {});
  RecordingHooks hooks;
  hooks.coverSucceeds = true;
  const ConvertResult result = converter.ConvertText("d", nullptr, &hooks);
  const std::vector<std::string> expected = {
      "Begin",      "Emphasis 1", "Bottom 0..1", "Cover 1",    "Pad 1 1", "Emphasis 0",
      "Bottom 1..2", "Emphasis 1", "Block 2 A 2:1+14", "Bottom 2..2", "Emphasis 1", "Bottom 2..3"};
  EXPECT_EQ(hooks.calls, expected);
  EXPECT_EQ(result.lines.size(), 3u);
}

TEST(Convert, CoverIsForcedForImportedHtmlWithRubyTags) {
  const TYomiraOption option = DefaultOptions();
  const SourceLines source = sjLines(u8"題\n\n本文");
  Converter converter(option, source, {.htmlImported = true});
  RecordingHooks hooks;
  converter.ConvertText("d", nullptr, &hooks);
  EXPECT_NE(std::find(hooks.calls.begin(), hooks.calls.end(), "Cover 1 forced"), hooks.calls.end());

  TYomiraOption noCover = option;
  noCover.UseCover = 0;
  Converter plain(noCover, source, {});
  RecordingHooks quiet;
  plain.ConvertText("d", nullptr, &quiet);
  for (const std::string& call : quiet.calls) EXPECT_FALSE(call.starts_with("Cover")) << call;
}

// The cover block is tried once, at the first empty line after the first text.
TEST(Convert, CoverIsTriedOnceAfterTheFirstBlock) {
  const TYomiraOption option = DefaultOptions();
  const SourceLines source = sjLines(u8"\n題\n作者\n\n本文\n\n続き");
  Converter converter(option, source, {});
  RecordingHooks hooks;
  converter.ConvertText("d", nullptr, &hooks);
  EXPECT_EQ(std::count_if(hooks.calls.begin(), hooks.calls.end(),
                          [](const std::string& call) { return call.starts_with("Cover 3"); }),
            1);
  EXPECT_EQ(std::count_if(hooks.calls.begin(), hooks.calls.end(),
                          [](const std::string& call) { return call.starts_with("Cover"); }),
            1);
}

TEST(Convert, FindCloseNestsOnceAndCrossesOnlyJoinedLines) {
  const TYomiraOption option = DefaultOptions();
  const std::string open = sj(u8"［＃"), close = sj(u8"］");
  {
    const SourceLines source = {sj(u8"［＃［＃［＃x］］］")};
    Converter converter(option, source, {});
    const Converter::ClosePos c = converter.FindClose(true, open, close, 1, 0);
    EXPECT_EQ(c.line, 0);
    EXPECT_EQ(c.pos, 16);
    EXPECT_EQ(converter.FindClose(false, open, close, 1, 0).pos, 14);
  }
  {
    // Lines 0 and 1 join, 1 does not join 2: the search stops after line 1.
    TYomiraOption compel = option;
    compel.ReWrapType = 1;
    const SourceLines source = sjLines(u8"［＃あ\n［＃いう。\nえ］");
    Converter converter(compel, source, {.reWrap = true});
    converter.ConvertText("d");
    EXPECT_EQ(converter.FindClose(true, open, close, 1, 0).line, -1);
    const SourceLines joined = sjLines(u8"［＃あ\nいう\nえ［＃お］］");
    Converter second(compel, joined, {.reWrap = true});
    second.ConvertText("d");
    const Converter::ClosePos c = second.FindClose(true, open, close, 1, 0);
    EXPECT_EQ(c.line, 2);
    EXPECT_EQ(c.pos, 9) << "no nesting across lines";
  }
}

TEST(Convert, IsRubyReading) {
  for (const char8_t* ok : {u8"かんじ", u8"カンジ", u8"１２", u8"12", u8"々", u8"", u8"ｶﾝｼﾞ"})
    EXPECT_TRUE(Converter::IsRubyReading(sj(ok))) << test::u8(sj(ok));
  for (const char8_t* bad : {u8"注意", u8"abc", u8"かZ"})
    EXPECT_FALSE(Converter::IsRubyReading(sj(bad))) << test::u8(sj(bad));
  EXPECT_FALSE(Converter::IsRubyReading(test::bytes({0x98, 0x9F})));  // 弌, second level
  EXPECT_FALSE(Converter::IsRubyReading(test::bytes({0x88, 0x9F})));  // 亜
  EXPECT_TRUE(Converter::IsRubyReading(test::bytes({0x88, 0x9E})));
  EXPECT_TRUE(Converter::IsRubyReading(test::bytes({0x9F, 0xFD})));   // inside the gap
}

DisplayLines TextLines(const SourceLines& source) {
  DisplayLines lines;
  for (int i = 0; i < static_cast<int>(source.size()); ++i) {
    TYomiraLine line;
    line.source_line = i;
    if (!source[static_cast<size_t>(i)].empty())
      AddElement(line.elements, {.kind = kText, .first = i, .last = i, .column = 1,
                                 .length = static_cast<int>(source[static_cast<size_t>(i)].size())});
    lines.push_back(line);
  }
  return lines;
}

TEST(Convert, TitleFromText) {
  const SourceLines two = sjLines(u8"題名\n著者");
  EXPECT_EQ(Converter::TitleFromText(TextLines(two), two, 16, "f.txt"), "f.txt");

  const SourceLines four = {"", sj(u8"題名"), "", sj(u8"著者"), sj(u8"本文")};
  EXPECT_EQ(Converter::TitleFromText(TextLines(four), four, 16, "f.txt"), "題名 / 著者");

  const SourceLines three = {"", "", ""};
  EXPECT_EQ(Converter::TitleFromText(TextLines(three), three, 16, "f.txt"), "f.txt");

  const SourceLines longFirst = {std::string(300, 'a'), "b", "c"};
  EXPECT_EQ(Converter::TitleFromText(TextLines(longFirst), longFirst, 16, "f.txt"), "f.txt");

  const SourceLines longSecond = {"a", std::string(300, 'b'), "c"};
  EXPECT_EQ(Converter::TitleFromText(TextLines(longSecond), longSecond, 16, "f.txt"), "a");

  const SourceLines late = {"", "", "x", "y"};
  EXPECT_EQ(Converter::TitleFromText(TextLines(late), late, 1, "f.txt"), "f.txt") << "only lines 0..L";
}

}  // namespace
}  // namespace yomira
