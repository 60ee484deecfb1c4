#include "platform/color.h"

#include <random>

#include "support/test_support.h"

namespace yomira {
namespace {

TEST(Color, ToString) {
  struct Case { uint32_t c; const char* want; };
  const Case cases[] = {{0x80000008, "clWindowText"}, {128, "clMaroon"}, {0xC0DCC0, "clMoneyGreen"},
                        {0x1FFFFFFF, "clNone"}, {15792895, "$00F0FAFF"}, {0x80000025, "$80000025"},
                        {0xFFFFFFFF, "$FFFFFFFF"}, {0, "clBlack"}, {0x80000019, "$80000019"}};
  for (const Case& c : cases) EXPECT_EQ(ColorToString(c.c), c.want) << std::hex << c.c;
}

TEST(Color, StrToColorDef) {
  struct Case { const char* t; uint32_t want; };
  const Case cases[] = {{"clred", 255}, {"CLMAROON", 128}, {"$00ADDEFF", 11394815},
                        {"0x00ADDEFF", 11394815}, {"12345", 12345}, {"maroon", 99}, {"", 99},
                        {"clLtGray", 99}, {"clWindowText", 0x80000008}, {"-1", 0xFFFFFFFF},
                        {" clRed", 99}};
  for (const Case& c : cases) EXPECT_EQ(StrToColorDef(c.t, 99), c.want) << c.t;
}

TEST(Color, HtmlNotation) {
  EXPECT_EQ(ColorToHtml(15792895), "#FFFAF0");
  EXPECT_EQ(ColorToHtml(0x80000008), "#080000");
  EXPECT_EQ(HtmlToColor("#080000"), 8u);
  for (const char* t : {"#FFFAF0", "#fffaf0", "XFFFAF0"}) EXPECT_EQ(HtmlToColor(t), 15792895u) << t;
  for (const char* t : {"FFFAF0", "#FFFAF00", ""}) EXPECT_EQ(HtmlToColor(t), 0u) << t;
  for (const char* t : {"#GGFAF0", "#-1FAF0"}) EXPECT_EQ(HtmlToColor(t), 15792640u) << t;
}

TEST(Color, ToRgb) {
  struct Case { uint32_t c, want; };
  const Case cases[] = {{0x80000008, 0}, {0x80000005, 0xFFFFFF}, {0x8000000F, 0xF0F0F0},
                        {0x8000000D, 0xFF9933}, {0x80000019, 0}, {0x800000FF, 0},
                        {0x1FFFFFFF, 0xFFFFFF}, {0x02123456, 0x123456}, {15792895, 15792895}};
  for (const Case& c : cases) EXPECT_EQ(ColorToRgb(c.c), c.want) << std::hex << c.c;
}

TEST(Color, TextRoundTrip) {
  std::vector<uint32_t> values;
  for (uint32_t i = 0; i <= 31; ++i) values.push_back(0x80000000u | i);
  for (uint32_t v : {0x0u, 0x80u, 0x8000u, 0x8080u, 0x800000u, 0x800080u, 0x808000u, 0x808080u,
                     0xC0C0C0u, 0xFFu, 0xFF00u, 0xFFFFu, 0xFF0000u, 0xFF00FFu, 0xFFFF00u,
                     0xFFFFFFu, 0xC0DCC0u, 0xF0CAA6u, 0xF0FBFFu, 0xA4A0A0u, 0x1FFFFFFFu,
                     0x20000000u})
    values.push_back(v);
  std::mt19937 rng(7);
  std::printf("seed 7\n");
  const uint32_t tops[] = {0x00, 0x01, 0x02, 0x80, 0xFF};
  for (int i = 0; i < 2000; ++i) values.push_back((tops[rng() % 5] << 24) | (rng() & 0xFFFFFF));
  for (uint32_t v : values) {
    const std::string t = ColorToString(v);
    EXPECT_EQ(StrToColorDef(t, v ^ 1), v) << t;
  }
}

}  // namespace
}  // namespace yomira
