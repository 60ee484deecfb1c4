#include <gtest/gtest.h>

#include "engine/core/option_defaults.h"
#include "engine/core/rewrap.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

using test::sj;

// n bytes: full-width あ, with one "a" in front when n is odd.
std::string Line(int bytes) {
  std::string out = bytes % 2 ? "a" : "";
  for (int i = 0; i < bytes / 2; ++i) out += sj(u8"あ");
  return out;
}

// The indexes of the lines that join their next.
std::vector<int> Joins(const std::vector<uint8_t>& flags) {
  std::vector<int> out;
  for (size_t i = 0; i < flags.size(); ++i)
    if (flags[i]) out.push_back(static_cast<int>(i));
  return out;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> out;
  for (int i = from; i <= to; ++i) out.push_back(i);
  return out;
}

TYomiraOption Mode(int type) {
  TYomiraOption option = DefaultOptions();
  option.ReWrapType = type;
  return option;
}

TEST(ReWrap, OneLineNeverJoins) {
  for (int type : {0, 1})
    EXPECT_EQ(Joins(ReWrapLines(Mode(type), {Line(60)}, false)), std::vector<int>{});
}

TEST(ReWrap, OtherTypesJoinNothing) {
  const SourceLines lines(10, Line(60));
  EXPECT_EQ(Joins(ReWrapLines(Mode(2), lines, false)), std::vector<int>{});
  EXPECT_EQ(Joins(ReWrapLines(Mode(-1), lines, false)), std::vector<int>{});
}

TEST(ReWrap, FlagCountMustMatchTheLines) {
  const SourceLines lines(10, Line(60));
  std::vector<uint8_t> flags(9, 0);
  ReWrapFixed(Mode(0), lines, false, flags);
  ReWrapCompel(Mode(1), lines, false, flags);
  EXPECT_EQ(Joins(flags), std::vector<int>{});
}

TEST(ReWrapFixed, DominantLengthJoins) {
  SourceLines lines(10, Line(60));
  lines.push_back(Line(30));
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), lines, false)), Range(0, 9));
}

TEST(ReWrapFixed, ShortOrScatteredLengthsDoNotJoin) {
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), SourceLines(20, Line(18)), false)), std::vector<int>{});
  SourceLines scattered;
  for (int len = 20; len <= 119; ++len) scattered.push_back(Line(len));
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), scattered, false)), std::vector<int>{});
}

TEST(ReWrapFixed, TieGoesToTheSmallerLength) {
  SourceLines lines(5, Line(40));
  for (int i = 0; i < 5; ++i) lines.push_back(Line(44));
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), lines, false)), Range(0, 4));
}

TEST(ReWrapFixed, NearLengthsJoinWithinTwoBytes) {
  SourceLines lines(10, Line(60));
  lines[2] = Line(58);
  lines[4] = Line(63);
  lines[6] = Line(62);
  std::vector<int> expected = Range(0, 8);
  expected.erase(expected.begin() + 4);
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), lines, false)), expected);
}

TEST(ReWrapFixed, BlankStartAndParagraphEndCharacterStopTheJoin) {
  const SourceLines indented = {Line(60), sj(u8"　次"), Line(60), " x", Line(60), Line(60)};
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), indented, false)), std::vector<int>{4});
  const SourceLines rule = {Line(58) + sj(u8"─"), Line(60), Line(60)};
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), rule, false)), std::vector<int>{1});
}

TEST(ReWrapFixed, HtmlImportedKeepsTheFirstTwoLines) {
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), SourceLines(6, Line(60)), true)), Range(2, 4));
}

TEST(ReWrapFixed, TheWalkCoversEveryLine) {
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), SourceLines(150, Line(60)), false)), Range(0, 148));
}

TEST(ReWrapFixed, LongLinesUseUpTheSample) {
  // 150 lines sample 101: with 90 long lines first only 11 of the 60-byte lines count
  // (11 < 150 capped to 100, / 5); with 80 long lines 21 do.
  auto document = [](int longLines) {
    SourceLines lines(static_cast<size_t>(longLines), std::string(300, 'a'));
    while (lines.size() < 150) lines.push_back(Line(60));
    return lines;
  };
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), document(90), false)), std::vector<int>{});
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), document(80), false)), Range(80, 148));
}

TEST(ReWrapCompel, JoinsAtDoubleByteEndsOnly) {
  const TYomiraOption option = Mode(1);
  struct Case {
    const char8_t* prev;
    bool joins;
  };
  for (const Case& c : {Case{u8"…である。", false}, Case{u8"…漢", true}, Case{u8"…abc", false},
                        Case{u8"ｶﾅ", false}}) {
    const SourceLines lines = {sj(c.prev), sj(u8"続き")};
    EXPECT_EQ(ReWrapCompel(option, lines, false)[0], c.joins ? 1 : 0) << test::u8(sj(c.prev));
  }
  TYomiraOption noChars = option;
  noChars.WrapChar.clear();
  EXPECT_EQ(Joins(ReWrapCompel(noChars, {sj(u8"漢"), sj(u8"字")}, false)), std::vector<int>{});
}

// A lone lead byte at a line end would pair with the next line's first byte: no join.
TEST(ReWrap, LoneLeadByteAtTheEndNeverJoins) {
  const SourceLines compel = {sj(u8"漢") + "\x88", sj(u8"字")};
  EXPECT_EQ(Joins(ReWrapCompel(Mode(1), compel, false)), std::vector<int>{});
  SourceLines fixed(6, Line(60));
  fixed[2] = Line(58) + "a\x88";
  EXPECT_EQ(Joins(ReWrapFixed(Mode(0), fixed, false)), (std::vector<int>{0, 1, 3, 4}));
}

// An empty line or a line that stands for itself never joins, in either mode.
TEST(ReWrap, NeverJoinsBlankOrWholeLineNotation) {
  const std::vector<std::string> specials = {
      "",
      sj(u8"［＃改ページ］"),
      sj(u8"　［＃挿絵（a.png）入る］"),
      std::string(80, '-'),
      std::string(55, '-'),
      "<PBR>",
      "<pbr>",
      "<IMG src=a.png>",
  };
  for (int type : {0, 1}) {
    for (const std::string& special : specials) {
      SourceLines lines(8, Line(58) + sj(u8"漢"));
      lines[4] = special;
      const std::vector<uint8_t> flags = ReWrapLines(Mode(type), lines, false);
      EXPECT_EQ(flags[3], 0) << "into " << test::u8(special) << " type " << type;
      EXPECT_EQ(flags[4], 0) << "out of " << test::u8(special) << " type " << type;
      EXPECT_EQ(flags[2], 1) << test::u8(special) << " type " << type;
    }
  }
}

TEST(ReWrap, WholeLineNotation) {
  EXPECT_TRUE(IsWholeLineNotation(sj(u8"［＃ここから２字下げ］")));
  EXPECT_TRUE(IsWholeLineNotation(sj(u8"　［＃改丁］")));
  EXPECT_FALSE(IsWholeLineNotation(sj(u8"　　［＃改丁］")));
  EXPECT_FALSE(IsWholeLineNotation(sj(u8"［＃注］本文")));
  EXPECT_FALSE(IsWholeLineNotation(sj(u8"［＃")));
  EXPECT_FALSE(IsWholeLineNotation(std::string(54, '-')));
  EXPECT_FALSE(IsWholeLineNotation("<PBR> "));
  EXPECT_FALSE(IsWholeLineNotation("<img src=a.png"));
  // "］" only counts as a character of its own, not as the trail of another.
  EXPECT_FALSE(IsWholeLineNotation(sj(u8"［＃") + test::bytes({0x81, 0x81, 0x6E})));
}

}  // namespace
}  // namespace yomira
