#include "platform/text/utf8.h"

#include "support/test_support.h"

namespace yomira {
namespace {

using test::bytes;

TEST(Utf8Pair, ToCp932ReplacesWhatHasNoForm) {
  EXPECT_EQ(Utf8ToCp932("〜"), bytes({0x81, 0x60}));
  EXPECT_EQ(Utf8ToCp932("😀"), "?");
  EXPECT_EQ(Utf8ToCp932("\xC3"), "?");
  EXPECT_EQ(Utf8ToCp932("a\xC3" "b"), "a?b");
  EXPECT_EQ(Utf8ToCp932("x😀y漢"), "x?y" + bytes({0x8A, 0xBF}));
  EXPECT_EQ(Utf8ToCp932(""), "");
}

TEST(Utf8Pair, ToUtf8ReplacesBytesThatDoNotDecode) {
  EXPECT_EQ(Cp932ToUtf8(bytes({0x81, 0x60})), "～");
  EXPECT_EQ(Cp932ToUtf8(bytes({0x80})), "?");
  EXPECT_EQ(Cp932ToUtf8(bytes({0x41, 0x80, 0x42})), "A?B");
  EXPECT_EQ(Cp932ToUtf8(bytes({0x82})), "?");              // a lead byte cut at the end
  EXPECT_EQ(Cp932ToUtf8(bytes({0x82, 0x0A, 0x41})), "?\nA");  // a bad trail keeps the line end
  EXPECT_EQ(Cp932ToUtf8(bytes({0x95, 0x5C})), "表");
}

TEST(Utf8Pair, RoundTripsLongText) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "漢字かなカナ abc\n";
  EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(text)), text);
}

TEST(Utf8Pair, RandomBytesNeverFail) {
  uint32_t seed = 7;
  for (int round = 0; round < 300; ++round) {
    std::string s;
    for (int i = 0; i < 64; ++i) {
      seed = seed * 1664525u + 1013904223u;
      s += static_cast<char>(seed >> 24);
    }
    std::string u = Cp932ToUtf8(s);
    std::string back = Utf8ToCp932(u);
    EXPECT_FALSE(u.empty());
    EXPECT_LE(back.size(), s.size() * 2);
    Utf8ToCp932(s);  // arbitrary bytes as UTF-8 convert without failing
  }
}

}  // namespace
}  // namespace yomira
