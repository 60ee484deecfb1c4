#include <gtest/gtest.h>

#include "engine/core/special_lines.h"
#include "special_test_util.h"
#include "tests/support/test_support.h"

namespace yomira {
namespace {

using test::ConvertSpecial;
using test::DumpElement;
using test::DumpRow;
using test::DumpRows;
using test::SpecialOptions;
using test::sj;
using test::sjLines;

// n source lines あ, い, …: one text row each.
SourceLines TextLines(int n) {
  static const char8_t* kana[] = {u8"あ", u8"い", u8"う", u8"え", u8"お", u8"か", u8"き", u8"く"};
  SourceLines out;
  for (int k = 0; k < n; ++k) out.push_back(sj(kana[k % 8]));
  return out;
}

// Rows from..to (inclusive) are blank with source index s.
void ExpectBlank(const std::vector<std::string>& rows, size_t from, size_t to, int s) {
  ASSERT_GT(rows.size(), to);
  for (size_t k = from; k <= to; ++k)
    EXPECT_EQ(rows[k], "s=" + std::to_string(s) + " i=0 P") << "row " << k;
}

// The first row whose source index is s.
int FirstRowOf(const DisplayLines& lines, int s) {
  for (size_t k = 0; k < lines.size(); ++k)
    if (lines[k].source_line == s && !lines[k].elements.empty()) return static_cast<int>(k);
  return -1;
}

// ---- whole lines ----

struct PbrCase {
  const char* tag;
  bool images;
  int nextRow;  // row of the text after the tag
};

class PbrTable : public ::testing::TestWithParam<PbrCase> {};

TEST_P(PbrTable, BreaksToTheNextViewOnlyAsTheWholeLine) {
  const PbrCase& c = GetParam();
  SourceLines src = TextLines(5);
  src.push_back(c.tag);
  src.push_back(sj(u8"本文"));
  TYomiraOption o = SpecialOptions();
  o.images = c.images;
  const ConvertResult r = ConvertSpecial(src, o);
  EXPECT_EQ(FirstRowOf(r.lines, 6), c.nextRow) << c.tag;
  if (c.nextRow == 6) {
    EXPECT_EQ(DumpRow(r.lines[5]), "s=5 i=0 P | T 5:1+" + std::to_string(std::string(c.tag).size()));
  }
}

INSTANTIATE_TEST_SUITE_P(Special, PbrTable,
                         ::testing::Values(PbrCase{"<PBR>", true, 16}, PbrCase{"<pbr>", true, 16},
                                           PbrCase{"<PBR>", false, 6}, PbrCase{" <PBR>", true, 6},
                                           PbrCase{"<PBR> ", true, 6}));

TEST(SpecialLines, NoteIllustrationTakesAPageOfItsOwn) {
  SourceLines src = sjLines(u8"あ\nい\nう\n［＃挿絵（fig1.png）入る］\nえ");
  const ConvertResult r = ConvertSpecial(src);
  const auto rows = DumpRows(r.lines);
  ASSERT_EQ(rows.size(), 33u);
  ExpectBlank(rows, 3, 15, 3);
  EXPECT_EQ(rows[16], "s=3 i=0 P | I 3:1+26");
  ExpectBlank(rows, 17, 31, 3);
  EXPECT_EQ(rows[32], "s=4 i=0 P | T 4:1+2");
}

TEST(SpecialLines, TagIllustrationStaysInTheBlockWhenItFits) {
  TYomiraOption o = SpecialOptions();
  o.images = 1;
  struct Case {
    const char* tag;
    int illustrationRow, nextRow;
  } cases[] = {
      {"<img src=\"a.png\" width=\"52\">", 3, 5},   // two lines wide: one blank line after it
      {"<img src=\"a.png\" width=\"27\">", 3, 5},   // a part of a line takes the whole line
      {"<img src=\"a.png\" width=\"26\">", 3, 4},
      {"<img src=\"a.png\" width=\"338\">", 3, 16}, // exactly the 13 lines left
      {"<img src=\"a.png\" width=\"500\">", 16, 32},
      {"<img src=\"a.png\">", 16, 32},                // no width: a page of its own
      {"<IMG SRC=\"a.png\" WIDTH=\"\x82\x54\x82\x51\">", 3, 5},  // full-width 52
  };
  for (const Case& c : cases) {
    SourceLines src = TextLines(3);
    src.push_back(c.tag);
    src.push_back(sj(u8"次"));
    const ConvertResult r = ConvertSpecial(src, o);
    const auto rows = DumpRows(r.lines);
    ASSERT_GT(rows.size(), static_cast<size_t>(c.nextRow)) << c.tag;
    EXPECT_EQ(rows[static_cast<size_t>(c.illustrationRow)],
              "s=3 i=0 P | I 3:1+" + std::to_string(std::string(c.tag).size()))
        << c.tag;
    EXPECT_EQ(FirstRowOf(r.lines, 4), c.nextRow) << c.tag;
    for (int k = 3; k < c.nextRow; ++k)
      if (k != c.illustrationRow) {
        EXPECT_EQ(rows[static_cast<size_t>(k)], "s=3 i=0 P") << c.tag << " row " << k;
      }
  }
}

TEST(SpecialLines, TagsWorkWithTheNotationOff) {
  TYomiraOption o = SpecialOptions();
  o.ruby_tag = 0;
  o.images = 1;
  const ConvertResult r =
      ConvertSpecial({sj(u8"あ"), "<PBR>", "<img src=\"a.png\" width=\"26\">", sj(u8"［＃挿絵（a.png）入る］")}, o);
  const auto rows = DumpRows(r.lines);
  ASSERT_EQ(rows.size(), 18u);
  EXPECT_EQ(rows[16], "s=2 i=0 P | I 2:1+28");
  EXPECT_EQ(rows[17], "s=3 i=0 P | T 3:1+23");  // the note form needs the notation
}

TEST(SpecialLines, TagIsTextWithImagesOff) {
  const ConvertResult r = ConvertSpecial({"<img src=\"a.png\">"});
  EXPECT_EQ(DumpRows(r.lines), std::vector<std::string>{"s=0 i=0 P | T 0:1+17"});
}

struct ParseCase {
  const char8_t* line;
  const char8_t* file;            // nullptr: not an illustration
  const char8_t* written = u8"";  // the whole name when a size was cut off
};

class ParseIllustrationTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseIllustrationTable, FindsTheFile) {
  const ParseCase& c = GetParam();
  TYomiraOption o = SpecialOptions();
  o.images = 1;
  const auto ill = ParseIllustration(sj(c.line), o);
  if (!c.file) {
    EXPECT_FALSE(ill) << test::u8(sj(c.line));
  } else {
    ASSERT_TRUE(ill) << test::u8(sj(c.line));
    EXPECT_SJ_EQ(ill->file, c.file);
    EXPECT_SJ_EQ(ill->writtenFile, c.written);
    EXPECT_EQ(ill->width, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Special, ParseIllustrationTable,
    ::testing::Values(ParseCase{u8"［＃「猫」の図（cat.png）入る］", u8"cat.png"},
                      ParseCase{u8"　［＃挿絵（a.png）入る］", u8"a.png"},
                      ParseCase{u8"［＃挿絵入る］", nullptr},
                      ParseCase{u8"［＃挿絵（a.png）］", nullptr},
                      ParseCase{u8"［＃（fig.png、横400×縦300）入る］", u8"fig.png", u8"fig.png、横400×縦300"},
                      ParseCase{u8"［＃「図」のキャプション付きの図（fig.png、横２００×縦１５０）入る］", u8"fig.png",
                                u8"fig.png、横２００×縦１５０"},
                      ParseCase{u8"［＃挿絵（図、その一.png、横2０0×縦1５0）入る］", u8"図、その一.png",
                                u8"図、その一.png、横2０0×縦1５0"},
                      // Anything else after "、" is part of the name.
                      ParseCase{u8"［＃挿絵（a、b.png）入る］", u8"a、b.png"},
                      ParseCase{u8"［＃挿絵（a.png、横200）入る］", u8"a.png、横200"},
                      ParseCase{u8"［＃挿絵（a.png、横×縦150）入る］", u8"a.png、横×縦150"},
                      ParseCase{u8"［＃挿絵（a.png、横200×縦）入る］", u8"a.png、横200×縦"},
                      ParseCase{u8"［＃挿絵（a.png、横200×縦150px）入る］", u8"a.png、横200×縦150px"},
                      ParseCase{u8"［＃挿絵（a.png、横-2×縦150）入る］", u8"a.png、横-2×縦150"},
                      ParseCase{u8"［＃挿絵（、横200×縦150）入る］", u8"、横200×縦150"},
                      // ａ is 82 81: its trail byte and the "A" after it read like "、" byte by byte.
                      ParseCase{u8"［＃挿絵（a.pngａA横200×縦150）入る］", u8"a.pngａA横200×縦150"},
                      ParseCase{u8"［＃（内）（外.png）入る］", u8"外.png"},
                      ParseCase{u8"［＃挿絵（a.png）入る］ ", nullptr},
                      ParseCase{u8"前［＃挿絵（a.png）入る］", nullptr},
                      ParseCase{u8"<img src=\"\" width=\"5\">", nullptr},
                      ParseCase{u8"<img src=>", nullptr},
                      ParseCase{u8"<img src=ab.png>", u8"ab.png"},
                      ParseCase{u8"<imgsrc=\"a.png\">", nullptr}));

TEST(SpecialLines, ParseIllustrationReadsTheTagAttributes) {
  TYomiraOption o = SpecialOptions();
  o.images = 1;
  auto ill = ParseIllustration("<img src=\"Fig1.PNG\" width=\"320\" height=\"２４０\" valign=\"TOP\">", o);
  ASSERT_TRUE(ill);
  EXPECT_EQ(ill->file, "Fig1.PNG");
  EXPECT_EQ(ill->width, 320);
  EXPECT_EQ(ill->height, 0);  // the height text is UTF-8 here, not a number
  EXPECT_EQ(ill->valign, "top");
  ill = ParseIllustration(sj(u8"<img src='アA.png' height=２４０>"), o);
  ASSERT_TRUE(ill);
  EXPECT_EQ(test::hex(ill->file), "83 41 41 2E 70 6E 67");
  EXPECT_EQ(ill->height, 240);
  // The note form needs the notation on, the tag form the pictures.
  o.ruby_tag = 0;
  EXPECT_FALSE(ParseIllustration(sj(u8"［＃挿絵（a.png）入る］"), o));
  o.ruby_tag = 1;
  o.images = 0;
  EXPECT_FALSE(ParseIllustration("<img src=\"a.png\">", o));
}

struct AttrCase {
  const char* tag;
  const char* name;
  const char* value;
};

class TagAttrTable : public ::testing::TestWithParam<AttrCase> {};

TEST_P(TagAttrTable, ReadsOneAttribute) {
  const AttrCase& c = GetParam();
  EXPECT_EQ(GetTagAttr(c.tag, c.name), c.value) << c.tag << " " << c.name;
}

INSTANTIATE_TEST_SUITE_P(Special, TagAttrTable,
                         ::testing::Values(AttrCase{"img src=a.png width=30 ", "src", "a.png"},
                                           AttrCase{"img src=a.png width=30 ", "width", "30"},
                                           AttrCase{"img src='x.png' ", "src", "x.png"},
                                           AttrCase{"img src = \"x\" ", "src", ""},
                                           AttrCase{"img src=\"\" width=\"5\" ", "src", ""},
                                           AttrCase{"IMG SRC=\"Fig.PNG\" ", "src", "Fig.PNG"},
                                           AttrCase{"img src=\"a b.png\" ", "src", "a b.png"},
                                           AttrCase{"img src=\"open ", "src", ""},
                                           AttrCase{"img src=", "src", ""},
                                           AttrCase{"img xsrc=a.png ", "src", ""},
                                           AttrCase{"img width=1 src=b ", "src", "b"}));

TEST(SpecialLines, TagAttrKeepsTheValueBytes) {
  // Trail bytes that spell ASCII letters (ア = 83 41, ソ = 83 5C) are neither folded nor
  // taken for the end of the value.
  EXPECT_EQ(test::hex(GetTagAttr(sj(u8"IMG ALT=の SRC=アソS.png "), "src")), "83 41 83 5C 53 2E 70 6E 67");
  EXPECT_EQ(GetTagAttr(sj(u8"img alt=の src=あ.png "), "alt"), sj(u8"の"));
}

TEST(SpecialLines, LegendIsHiddenAndTheTitleCentred) {
  TYomiraOption o = SpecialOptions();
  o.UseCover = 1;
  const std::string rule(55, '-');
  SourceLines src = {sj(u8"題名"), sj(u8"著者"), rule, sj(u8"凡例一"), sj(u8"凡例二"), sj(u8"凡例三"), rule, sj(u8"本文")};
  const ConvertResult r = ConvertSpecial(src, o);
  const auto rows = DumpRows(r.lines);
  ASSERT_EQ(rows.size(), 17u);
  ExpectBlank(rows, 0, 6, 0);
  EXPECT_EQ(rows[7], "s=0 i=4 P | T 0:1+4");
  EXPECT_EQ(rows[8], "s=1 i=6 P | T 1:1+4");
  ExpectBlank(rows, 9, 15, 6);
  EXPECT_EQ(rows[16], "s=7 i=0 P | T 7:1+4");
  EXPECT_EQ(r.title, "題名 / 著者");
  EXPECT_EQ(r.legendCount, 2);
}

TEST(SpecialLines, RulesAfterTheSecondPadAPage) {
  const std::string rule(55, '-');
  SourceLines src = {sj(u8"題"), rule, sj(u8"凡例"), rule, sj(u8"一"), rule, sj(u8"二")};
  const ConvertResult r = ConvertSpecial(src);
  // Title centred without padding (7 + 1 rows), then a page, then 一, then a page, then 二.
  EXPECT_EQ(FirstRowOf(r.lines, 0), 7);
  EXPECT_EQ(FirstRowOf(r.lines, 4), 16);
  EXPECT_EQ(FirstRowOf(r.lines, 6), 32);
  EXPECT_EQ(FirstRowOf(r.lines, 2), -1);
}

TEST(SpecialLines, ALoneLegendRuleIsText) {
  // One 55-hyphen line would open a legend that never closes and hide the whole rest.
  const std::string rule(55, '-');
  const ConvertResult r = ConvertSpecial({sj(u8"本文"), rule, sj(u8"本文2")});
  EXPECT_EQ(DumpRows(r.lines), (std::vector<std::string>{"s=0 i=0 P | T 0:1+4", "s=1 i=0 . | T 1:1+40/1",
                                                          "s=1 i=0 P | T 1:41+15/2", "s=2 i=0 P | T 2:1+5"}));
  EXPECT_EQ(r.title, "doc.txt");
}

TEST(SpecialLines, LegendRulesNeedTheNotation) {
  TYomiraOption o = SpecialOptions();
  o.ruby_tag = 0;
  const std::string rule(55, '-');
  const ConvertResult r = ConvertSpecial({rule, sj(u8"凡例"), rule}, o);
  EXPECT_EQ(r.lines.size(), 5u);  // both rules wrap over two rows, the legend shows
  EXPECT_EQ(r.legendCount, 0);
}

TEST(SpecialLines, HorizontalRuleAndColophon) {
  const std::string rule80(80, '-'), rule55(55, '-');
  EXPECT_EQ(DumpRows(ConvertSpecial({rule80}).lines), std::vector<std::string>{"s=0 i=0 P | H 0:1+40"});
  TYomiraOption o = SpecialOptions();
  o.ruby_tag = 0;  // the rule does not need the notation
  EXPECT_EQ(DumpRows(ConvertSpecial({rule80}, o).lines), std::vector<std::string>{"s=0 i=0 P | H 0:1+40"});
  EXPECT_EQ(ConvertSpecial({std::string(79, '-')}).lines[0].elements[0].kind, kText);

  const std::string colophon = sj(u8"底本：「本」");
  SourceLines withLegend = {rule55, sj(u8"凡例"), rule55, sj(u8"本文"), colophon};
  ConvertResult r = ConvertSpecial(withLegend);
  EXPECT_EQ(FirstRowOf(r.lines, 4), 16);  // padded to a new page and still shown
  EXPECT_EQ(DumpRow(r.lines[16]), "s=4 i=0 P | T 4:1+12");
  r = ConvertSpecial({sj(u8"本文"), colophon});
  EXPECT_EQ(FirstRowOf(r.lines, 1), 1);
  // Exactly 8 bytes is not a colophon.
  r = ConvertSpecial({rule55, rule55, sj(u8"本文"), sj(u8"底本：「")});
  EXPECT_EQ(FirstRowOf(r.lines, 3), 1);
}

struct BreakCase {
  const char8_t* note;
  int colum;
  int nextRow;
};

class BreakTable : public ::testing::TestWithParam<BreakCase> {};

TEST_P(BreakTable, PadsToTheBoundary) {
  const BreakCase& c = GetParam();
  TYomiraOption o = SpecialOptions();
  o.Colum = c.colum;
  SourceLines src = TextLines(5);
  src.push_back(sj(c.note));
  src.push_back(sj(u8"本文"));
  const ConvertResult r = ConvertSpecial(src, o);
  EXPECT_EQ(FirstRowOf(r.lines, 6), c.nextRow) << test::u8(sj(c.note));
  for (size_t k = 5; k < static_cast<size_t>(c.nextRow); ++k) EXPECT_EQ(DumpRow(r.lines[k]), "s=5 i=0 P");
}

INSTANTIATE_TEST_SUITE_P(Special, BreakTable,
                         ::testing::Values(BreakCase{u8"［＃改丁］", 1, 16}, BreakCase{u8"［＃改頁］", 1, 16},
                                           BreakCase{u8"［＃改ページ］", 1, 16}, BreakCase{u8"［＃改段］", 1, 16},
                                           BreakCase{u8"［＃改丁］", 2, 32}, BreakCase{u8"［＃改頁］", 2, 32},
                                           BreakCase{u8"［＃改ページ］", 2, 32}, BreakCase{u8"［＃改段］", 2, 16}));

TEST(SpecialLines, BreakNoteWithTextIsAnAnnotation) {
  const ConvertResult r = ConvertSpecial({sj(u8"前［＃改ページ］")});
  EXPECT_EQ(DumpRows(r.lines), std::vector<std::string>{"s=0 i=0 P | T 0:1+2 | A 0:3+14"});
}

struct IndentCase {
  const char8_t* note;
  std::vector<std::string> rows;  // the rows of 25 あ after the note
};

class IndentTable : public ::testing::TestWithParam<IndentCase> {};

TEST_P(IndentTable, IndentsTheFollowingParagraphs) {
  const IndentCase& c = GetParam();
  const std::string a25 = sj(std::u8string(u8"あ").append(u8"ああああああああああああああああああああああああ"));
  ASSERT_EQ(a25.size(), 50u);
  const ConvertResult r = ConvertSpecial({sj(c.note), a25, sj(u8"［＃ここで字下げ終わり］"), a25});
  std::vector<std::string> expected = c.rows;
  expected.push_back("s=3 i=0 . | T 3:1+40/1");
  expected.push_back("s=3 i=0 P | T 3:41+10/2");
  EXPECT_EQ(DumpRows(r.lines), expected) << test::u8(sj(c.note));
}

INSTANTIATE_TEST_SUITE_P(
    Special, IndentTable,
    ::testing::Values(
        IndentCase{u8"［＃ここから２字下げ］", {"s=1 i=4 . | T 1:1+36/1", "s=1 i=4 P | T 1:37+14/2"}},
        IndentCase{u8"［＃ここから２字下げ、折り返して３字下げ］", {"s=1 i=4 . | T 1:1+36/1", "s=1 i=6 P | T 1:37+14/2"}},
        IndentCase{u8"［＃ここから１２字下げ、折り返して１字下げ］", {"s=1 i=24 . | T 1:1+16/1", "s=1 i=2 P | T 1:17+34/2"}},
        IndentCase{u8"［＃ここから改行天付き、折り返して２字下げ］", {"s=1 i=0 . | T 1:1+40/1", "s=1 i=4 P | T 1:41+10/2"}},
        IndentCase{u8"［＃ここから１６字下げ］", {"s=1 i=32 . | T 1:1+8/1", "s=1 i=32 . | T 1:9+8/1",
                                                  "s=1 i=32 . | T 1:17+8/1", "s=1 i=32 . | T 1:25+8/1",
                                                  "s=1 i=32 . | T 1:33+8/1", "s=1 i=32 . | T 1:41+8/1",
                                                  "s=1 i=32 P | T 1:49+2/2"}}));

struct InvalidIndentCase {
  const char8_t* note;
  int length;  // of the annotation element that stays
};

class InvalidIndentTable : public ::testing::TestWithParam<InvalidIndentCase> {};

TEST_P(InvalidIndentTable, ResetsTheIndentsAndStaysAnAnnotation) {
  const InvalidIndentCase& c = GetParam();
  const std::string a = sj(u8"あ");
  const ConvertResult r = ConvertSpecial({sj(u8"［＃ここから２字下げ］"), a, sj(c.note), a});
  const auto rows = DumpRows(r.lines);
  ASSERT_EQ(rows.size(), 3u) << test::u8(sj(c.note));
  EXPECT_EQ(rows[0], "s=1 i=4 P | T 1:1+2");
  EXPECT_EQ(rows[1], "s=2 i=0 P | A 2:1+" + std::to_string(c.length));
  EXPECT_EQ(rows[2], "s=3 i=0 P | T 3:1+2");
}

INSTANTIATE_TEST_SUITE_P(Special, InvalidIndentTable,
                         ::testing::Values(InvalidIndentCase{u8"［＃ここから９９字下げ］", 24},
                                           InvalidIndentCase{u8"［＃ここから１７字下げ］", 24},
                                           InvalidIndentCase{u8"［＃ここから２字下げ、折り返して１７字下げ］", 44},
                                           InvalidIndentCase{u8"［＃ここから改行天付き、折り返して９９字下げ］", 46}));

TEST(SpecialLines, HalfWidthDigitFallsOutsideTheByteWindow) {
  // 15 bytes of note text: an annotation, and the indents stay as they were.
  const ConvertResult r = ConvertSpecial({sj(u8"［＃ここから２字下げ］"), sj(u8"［＃ここから2字下げ］"), sj(u8"あ")});
  EXPECT_EQ(DumpRows(r.lines), (std::vector<std::string>{"s=1 i=0 P | A 1:1+21", "s=2 i=4 P | T 2:1+2"}));
}

// ---- emphasis and side lines ----

TEST(SpecialLines, EmphasisTypes) {
  struct Case {
    const char8_t* rest;
    int16_t type;
  } cases[] = {{u8"に白ゴマ傍点", 2}, {u8"に黒三角傍点", 3}, {u8"に白三角傍点", 4}, {u8"に二重丸傍点", 5},
               {u8"に蛇の目傍点", 6}, {u8"に白丸傍点", 7},  {u8"に黒丸傍点", 8},  {u8"に丸傍点", 8},
               {u8"に傍点", 1},       {u8"にばつ傍点", 0},  {u8"傍点", 0}};
  for (const Case& c : cases) EXPECT_EQ(GetEmphasisType(sj(c.rest)), c.type) << test::u8(sj(c.rest));
}

TEST(SpecialLines, ParseEmphasisNoteChecksSideLinesFirst) {
  auto n = ParseEmphasisNote(sj(u8"「猫」に傍線"));
  ASSERT_TRUE(n);
  EXPECT_TRUE(n->sideLine);
  EXPECT_EQ(n->type, 0);
  EXPECT_SJ_EQ(n->quoted, u8"猫");
  n = ParseEmphasisNote(sj(u8"「猫」に傍点と傍線"));
  ASSERT_TRUE(n);
  EXPECT_TRUE(n->sideLine);
  n = ParseEmphasisNote(sj(u8"「猫」に白丸傍点"));
  ASSERT_TRUE(n);
  EXPECT_FALSE(n->sideLine);
  EXPECT_EQ(n->type, 7);
  EXPECT_FALSE(ParseEmphasisNote(sj(u8"「猫」は注")));
  EXPECT_FALSE(ParseEmphasisNote(sj(u8"」猫「に傍点")));
  EXPECT_FALSE(ParseEmphasisNote(sj(u8"猫に傍点")));
}

struct SpanCase {
  const char8_t* line;
  const char* row;  // the elements of the only display line
};

class EmphasisTable : public ::testing::TestWithParam<SpanCase> {};

TEST_P(EmphasisTable, MarksTheSpanBeforeTheNote) {
  const SpanCase& c = GetParam();
  const ConvertResult r = ConvertSpecial({sj(c.line)});
  ASSERT_EQ(r.lines.size(), 1u) << test::u8(sj(c.line));
  std::string row;
  for (const TYomiraObject& el : r.lines[0].elements) row += (row.empty() ? "" : ", ") + DumpElement(el);
  EXPECT_EQ(row, c.row) << test::u8(sj(c.line));
}

INSTANTIATE_TEST_SUITE_P(
    Special, EmphasisTable,
    ::testing::Values(
        SpanCase{u8"猫が［＃「猫」に傍点］", "T 0:1+2/1 e1, T 0:3+2/2"},
        SpanCase{u8"猫が［＃「猫」に白丸傍点］", "T 0:1+2/1 e7, T 0:3+2/2"},
        SpanCase{u8"猫が［＃「猫」にばつ傍点］", "T 0:1+2/1, T 0:3+2/2"},
        SpanCase{u8"吾輩は猫である［＃「猫」に傍点］", "T 0:1+6/1, T 0:7+2/1 e1, T 0:9+6/2"},
        SpanCase{u8"猫と猫［＃「猫」に傍線］", "T 0:1+4/1, T 0:5+2/2 ~"},
        SpanCase{u8"猫［＃「犬」に傍点］", "T 0:1+2, A 0:3+18"},
        SpanCase{u8"猫［＃「猫」は注］", "T 0:1+2, A 0:3+16"},
        SpanCase{u8"いろ／＼［＃「ろ／＼」に傍点］", "T 0:1+2/1, T 0:3+2/2 e1, K 0:5+4 e1"},
        SpanCase{u8"だ／″＼［＃「／″＼」に傍点］", "T 0:1+2, V 0:3+4 e1"},
        SpanCase{u8"／＼［＃「＼」に傍点］", "K 0:1+4 e1"},
        SpanCase{u8"／″＼です［＃「＼で」に傍点］", "V 0:1+4 e1, T 0:7+2/1 e1, T 0:9+2/2"},
        // The note after the quoted text counts, not a later one in the line.
        SpanCase{u8"猫［＃「猫」に傍点］猫", "T 0:1+2 e1, T 0:21+2"},
        // Two notes: each marks its own span.
        SpanCase{u8"犬と猫［＃「猫」に傍点］犬［＃「犬」に傍線］", "T 0:1+4/1, T 0:5+2/2 e1, T 0:25+2 ~"},
        // A note's text is no match for a later note.
        SpanCase{u8"漢字《かんじ》［＃「かん」に傍点］", "T 0:1+4, R 0:5+10 e1"},
        // ャ (83 83) then A: the bytes 83 41 (ア) straddle two characters.
        SpanCase{u8"ャA［＃「ア」に傍点］", "T 0:1+3, A 0:4+18"},
        // ソ is 83 5C: its trail byte is no backslash, a backslash before it is.
        SpanCase{u8"ソ［＃「\\」に傍点］", "T 0:1+2, A 0:3+17"},
        SpanCase{u8"\\ソ［＃「\\」に傍点］", "T 0:1+1/1 e1, T 0:2+2/2"},
        SpanCase{u8"ソソ［＃「ソ」に傍点］", "T 0:1+2/1, T 0:3+2/2 e1"},
        // Many notes in one line, each on the character just before it.
        SpanCase{u8"漢［＃「漢」に傍点］漢［＃「漢」に傍点］漢［＃「漢」に傍線］",
                 "T 0:1+2 e1, T 0:21+2 e1, T 0:41+2 ~"},
        // The last occurrence lies in an earlier note's text, already removed: nothing is
        // marked and the note goes all the same.
        SpanCase{u8"漢漢［＃「漢」に傍点］［＃「漢」に傍線］", "T 0:1+2/1, T 0:3+2/2 e1"},
        // Quoted text occurring several times: the last whole occurrence before the note
        // counts, here the first one, since the note between breaks the later one.
        SpanCase{u8"猫と猫［＃「猫」に傍点］と猫［＃「猫と猫」に傍線］",
                 "T 0:1+4/1 ~, T 0:5+2/2 e1 ~, T 0:25+4"},
        // One note finds its match and the next one does not.
        SpanCase{u8"猫［＃「猫」に傍点］犬［＃「鳥」に傍点］", "T 0:1+2 e1, T 0:21+2, A 0:23+18"}));

TEST(SpecialLines, EmphasisOnJoinedLinesMarksTheNotesOwnLine) {
  TYomiraOption o = SpecialOptions();
  o.ReWrapType = 1;
  const ConvertResult r = ConvertSpecial(sjLines(u8"猫はいる漢\n猫［＃「猫」に傍点］"), o, {.reWrap = true});
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(DumpRow(r.lines[0]), "s=1 i=0 P | T 0:1+10 | T 1:1+2 e1");
}

TEST(SpecialLines, MarkSpanLeavesNothingSplitWhenTheEndIsNotReached) {
  std::vector<TYomiraObject> els;
  AddElement(els, {.kind = kText, .first = 0, .column = 1, .length = 6});
  AddElement(els, {.kind = kText, .first = 1, .column = 1, .length = 4});
  const auto before = els;
  EXPECT_EQ(MarkSpan(els, 0, 3, 1, false, 8), 0);  // runs into the next source line
  EXPECT_EQ(els, before);
  EXPECT_EQ(MarkSpan(els, 0, 9, 1, false, 2), 0);   // past the line's elements
  EXPECT_EQ(MarkSpan(els, 2, 1, 1, false, 2), 0);   // no element of that line
  EXPECT_EQ(MarkSpan(els, 0, 1, 1, false, 0), 0);
  EXPECT_EQ(els, before);
  EXPECT_EQ(MarkSpan(els, 0, 3, 1, true, 2), 2);
  EXPECT_EQ(DumpElement(els[0]) + ", " + DumpElement(els[1]) + ", " + DumpElement(els[2]),
            "T 0:1+2/1, T 0:3+2/1 e1 ~, T 0:5+2/2");
}

TEST(SpecialLines, FindLastOfEndsBeforeTheColumn) {
  const std::string line = sj(u8"猫猫［＃注］");
  EXPECT_EQ(FindLastOf(line, sj(u8"猫"), 5), 3);
  EXPECT_EQ(FindLastOf(line, sj(u8"猫"), 4), 1);
  EXPECT_EQ(FindLastOf(line, sj(u8"猫"), 1), 0);
  EXPECT_EQ(FindLastOf(line, "", 5), 0);
}

// ---- bottom alignment ----

TEST(SpecialLines, BottomAlignment) {
  const std::string a17 = sj(u8"あいうえおかきくけこさしすせそたち");
  struct Case {
    std::string line;
    std::vector<std::string> rows;
  } cases[] = {
      {sj(u8"本文［＃地付き］署名"), {"s=0 i=0 P | T 0:1+4 | S 0:17+32 | T 0:17+4"}},
      {sj(u8"本文［＃地から２字上げ］署名"), {"s=0 i=0 P | T 0:1+4 | S 0:25+28 | T 0:25+4"}},
      {sj(u8"本文［＃地から２字上げ］"), {"s=0 i=0 P | T 0:1+4 | S 0:25+32"}},
      // Exactly full: the note goes, and no spacer of length 0 is left.
      {sj(u8"あいうえおかきくけこさしすせそたちつてと［＃地付き］"), {"s=0 i=0 P | T 0:1+40"}},
      {a17 + sj(u8"［＃地から２字上げ］署名"), {"s=0 i=0 P | T 0:1+34", "s=0 i=0 P | S 0:55+32 | T 0:55+4"}},
      // Not a bottom note: it stays.
      {sj(u8"本文［＃地から２０字上げ］"), {"s=0 i=0 P | T 0:1+4 | A 0:5+22"}},
  };
  for (const Case& c : cases) EXPECT_EQ(DumpRows(ConvertSpecial({c.line}).lines), c.rows) << test::u8(c.line);
}

TEST(SpecialLines, BottomNoteMovesTheTailToTheLastLine) {
  const std::string a18 = sj(u8"ああああああああああああああああああ");
  const ConvertResult r = ConvertSpecial({sj(u8"［＃ここから２字下げ］"), a18 + sj(u8"［＃地付き］署名")});
  // The text ends at cell 40: indent 4 + spacer 32 + 署名 4.
  EXPECT_EQ(DumpRows(r.lines), (std::vector<std::string>{"s=1 i=4 . | T 1:1+36", "s=1 i=4 P | S 1:49+32 | T 1:49+4"}));
}

TEST(SpecialLines, BottomNoteKeepsLaterBreaksOnTheirBoundary) {
  const std::string a17 = sj(u8"あいうえおかきくけこさしすせそたち");
  const ConvertResult r =
      ConvertSpecial({a17 + sj(u8"［＃地から２字上げ］署名"), sj(u8"［＃改ページ］"), sj(u8"本文")});
  EXPECT_EQ(FirstRowOf(r.lines, 2), 16);
  EXPECT_EQ(r.lines.size(), 17u);
}

TEST(SpecialLines, OnlyTheLastBottomNoteOfALineCounts) {
  const ConvertResult r = ConvertSpecial({sj(u8"一［＃地付き］二［＃地から１字上げ］三")});
  EXPECT_EQ(DumpRows(r.lines),
            std::vector<std::string>{"s=0 i=0 P | T 0:1+2 | A 0:3+12 | T 0:15+2 | S 0:37+32 | T 0:37+2"});
}

TEST(SpecialLines, BottomAlignmentNeedsTheNotation) {
  TYomiraOption o = SpecialOptions();
  o.ruby_tag = 0;
  EXPECT_EQ(DumpRows(ConvertSpecial({sj(u8"本文［＃地付き］")}, o).lines),
            std::vector<std::string>{"s=0 i=0 P | T 0:1+16"});
}

TEST(SpecialLines, ParseBottomAlign) {
  const TYomiraOption o = SpecialOptions();
  EXPECT_EQ(ParseBottomAlign(sj(u8"地付き"), 0, o), 0);
  EXPECT_EQ(ParseBottomAlign(sj(u8"地付き"), 38, o), 0);
  EXPECT_EQ(ParseBottomAlign(sj(u8"地から２字上げ"), 0, o), 4);
  EXPECT_EQ(ParseBottomAlign(sj(u8"地から１６字上げ"), 0, o), 32);
  EXPECT_EQ(ParseBottomAlign(sj(u8"地から２０字上げ"), 0, o), std::nullopt);
  EXPECT_EQ(ParseBottomAlign(sj(u8"地から２字上げ"), 30, o), std::nullopt);
  EXPECT_EQ(ParseBottomAlign(sj(u8"地から１字上げ"), 30, o), 2);
  EXPECT_EQ(ParseBottomAlign(sj(u8"地から字上げ"), 0, o), std::nullopt);      // 12 bytes
  EXPECT_EQ(ParseBottomAlign(sj(u8"地からにじ字上げ"), 0, o), 0);             // not a number: 0
  EXPECT_EQ(ParseBottomAlign(sj(u8"地付きで"), 0, o), std::nullopt);
}

TEST(SpecialLines, PadLines) {
  const TYomiraOption o = SpecialOptions();
  DisplayLines lines(5);
  EXPECT_EQ(PadLines(lines, 7, 0, o), 1);
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(DumpRow(lines[15]), "s=7 i=0 P");
  EXPECT_EQ(PadLines(lines, 7, 0, o), 1);
  EXPECT_EQ(lines.size(), 16u);
  lines.resize(17);
  EXPECT_EQ(PadLines(lines, 7, 7, o), 17);
  EXPECT_EQ(lines.size(), 17u);
  TYomiraOption wide = o;
  wide.Colum = 2;
  wide.Page = 2;
  EXPECT_EQ(PadLines(lines, 7, 1, wide), 1);
  EXPECT_EQ(lines.size(), 32u);
  EXPECT_EQ(PadLines(lines, 7, 2, wide), 1);
  EXPECT_EQ(lines.size(), 64u);
  TYomiraOption unset;  // never validated: no boundary, no division by zero
  EXPECT_EQ(PadLines(lines, 7, 2, unset), 64);
}

// ---- the cover block ----

TEST(SpecialLines, CoverBlockCentresTheFirstLines) {
  TYomiraOption o = SpecialOptions();
  o.UseCover = 1;
  const ConvertResult r = ConvertSpecial(sjLines(u8"題名\n副題\n著者\n\n本文"), o);
  const auto rows = DumpRows(r.lines);
  ASSERT_EQ(rows.size(), 18u);
  ExpectBlank(rows, 0, 5, 0);  // (16 - 3) / 2
  EXPECT_EQ(rows[6], "s=0 i=4 P | T 0:1+4");
  EXPECT_EQ(rows[7], "s=1 i=6 P | T 1:1+4");
  EXPECT_EQ(rows[8], "s=2 i=6 P | T 2:1+4");
  ExpectBlank(rows, 9, 15, 3);
  EXPECT_EQ(rows[16], "s=3 i=0 P");
  EXPECT_EQ(rows[17], "s=4 i=0 P | T 4:1+4");
}

TEST(SpecialLines, CoverBlockFailsOnALongLine) {
  TYomiraOption o = SpecialOptions();
  o.UseCover = 1;
  const std::string longLine(40, 'x');
  const ConvertResult r = ConvertSpecial({longLine, "", "y"}, o);
  // A line of V cells leaves no room for the indent: no title block, no padding.
  EXPECT_EQ(DumpRows(r.lines), (std::vector<std::string>{"s=0 i=0 P | T 0:1+40", "s=1 i=0 P", "s=2 i=0 P | T 2:1+1"}));
}

}  // namespace
}  // namespace yomira
