#include "platform/text/cp932.h"

#include <clocale>
#include <random>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace yomira {
namespace {

using test::bytes;
using test::sj;

std::string Roles(std::string_view s) {
  std::string out;
  for (int pos = 1; pos <= static_cast<int>(s.size()); ++pos) {
    switch (ByteTypeAt(s, pos)) {
      case ByteType::Single: out += 'S'; break;
      case ByteType::Lead: out += 'L'; break;
      case ByteType::Trail: out += 'T'; break;
      case ByteType::None: out += '?'; break;
    }
  }
  return out;
}

TEST(Cp932ByteType, RoleDependsOnPositionNotValue) {
  EXPECT_EQ(Roles(sj(u8"ぁa")), "LTS");
  EXPECT_EQ(Roles(sj(u8"＝ａ、")), "LTLTLT");  // 81 81 82 81 81 41: every trail is in a lead range
  EXPECT_EQ(Roles(sj(u8"アA")), "LTS");         // 83 41: the trail is the letter A
  EXPECT_EQ(Roles(std::string("a") + bytes({0x82})), "SS");  // a lead byte at the end stands alone
  EXPECT_EQ(ByteTypeAt("ab", 0), ByteType::None);
  EXPECT_EQ(ByteTypeAt("ab", 3), ByteType::None);
}

TEST(Cp932ByteType, AgreesWithForwardWalkOnRandomBytes) {
  // Walking back from a position must give the same roles as walking forward from the start.
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0xFF; };
  for (int round = 0; round < 200; ++round) {
    std::string s;
    int len = 1 + static_cast<int>(next() % 40);
    for (int i = 0; i < len; ++i) {
      static const int pool[] = {0x81, 0x82, 0x9F, 0xE0, 0xFC, 0x41, 0x5C, 0xA0, 0x40, 0x80};
      s += static_cast<char>(pool[next() % 10]);
    }
    std::string forward;
    for (int pos = 1; pos <= len;) {
      int n = CharLen(s, pos);
      forward += n == 2 ? "LT" : "S";
      pos += n;
    }
    ASSERT_EQ(Roles(s), forward) << test::hex(s);
  }
}

TEST(Cp932Find, FindFromIsCharacterAligned) {
  struct Case { std::string text; int start; std::string pattern; int want; };
  const std::vector<Case> cases = {
      {sj(u8"ab《"), 3, sj(u8"《"), 3},
      {sj(u8"ab《"), 0, sj(u8"《"), 3},
      {sj(u8"ab《"), 1, "", 0},
      {"", 1, "a", 0},
      {sj(u8"ａ、"), 1, sj(u8"＝"), 0},  // a byte-wise search finds 81 81 at 2
      {"ab", 2, "b", 2},                  // a one-byte pattern in the last byte
      {"ab", 3, "b", 0},
      {sj(u8"猫と猫"), 2, sj(u8"猫"), 5},  // a start on a trail byte resumes at the next character
      {sj(u8"ソ\\"), 1, "\\", 3},          // ソ = 83 5C: its trail is not a backslash
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindFrom(c.text, c.start, c.pattern), c.want) << test::u8(c.text) << " from " << c.start;
}

TEST(Cp932Find, FindLastContainsAndBetween) {
  EXPECT_EQ(FindLastFrom(sj(u8"＝ａ、"), sj(u8"＝")), 1);  // naive 4
  EXPECT_EQ(FindLastFrom(sj(u8"猫と猫"), sj(u8"猫")), 5);
  EXPECT_EQ(FindLastFrom(sj(u8"猫と猫"), sj(u8"猫"), 7), 5);  // ends before 7
  EXPECT_EQ(FindLastFrom(sj(u8"猫と猫"), sj(u8"猫"), 6), 1);
  EXPECT_EQ(FindLastFrom("abc", ""), 0);
  EXPECT_EQ(FindLastFrom("aaa", "aa"), 2);
  EXPECT_FALSE(Contains(sj(u8"ａ、"), sj(u8"＝")));
  EXPECT_TRUE(Contains(sj(u8"、。"), sj(u8"。")));
  EXPECT_FALSE(Contains(sj(u8"、。"), ""));
  EXPECT_EQ(FindBetween("abcabc", 1, "bc", 3), 2);
  EXPECT_EQ(FindBetween("abcabc", 3, "bc", 5), 0);
  EXPECT_EQ(FindBetween("abcabc", 3, "bc", 6), 0);  // to must lie below the length
  EXPECT_EQ(FindBetween("abcabcx", 3, "bc", 6), 5);
  EXPECT_EQ(FindBetween("abcabc", 0, "bc", 5), 0);
}

// The table answers as the character-aligned search does, for lists of random bytes (lead
// bytes at the end, trail bytes in the lead range) and every character of random texts.
TEST(Cp932CharSet, AnswersAsContainsOnRandomLists) {
  std::mt19937 rng(20261210);
  // Bytes from a small pool so that matches are frequent: ASCII, leads, trails of both kinds.
  const unsigned char pool[] = {'a', '0', 0x81, 0x82, 0x88, 0x9F, 0xE0, 0xFC, 0x40, 0x41, 0x9F, 0xA0, 0xDF, 0xFF};
  auto randomBytes = [&](int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out.push_back(static_cast<char>(pool[rng() % sizeof pool]));
    return out;
  };
  int members = 0;
  for (int round = 0; round < 400; ++round) {
    const std::string list = randomBytes(static_cast<int>(rng() % 12));
    const CharSet set(list);
    const std::string text = randomBytes(1 + static_cast<int>(rng() % 12));
    for (int pos = 1; pos <= static_cast<int>(text.size()); pos = NextChar(text, pos)) {
      const std::string_view ch = CharAt(text, pos);
      const bool want = Contains(list, ch);
      members += want;
      ASSERT_EQ(set.contains(ch), want) << test::u8(list) << " / " << test::u8(std::string(ch));
    }
  }
  EXPECT_GT(members, 100);  // the pool makes both answers common
  EXPECT_FALSE(CharSet(sj(u8"、。")).contains(""));
  EXPECT_FALSE(CharSet().contains("a"));
}

TEST(Cp932Copy, CharAtAndCopy) {
  const std::string a = sj(u8"xあ");
  EXPECT_EQ(CharAt("abc", 3), "c");
  EXPECT_EQ(CharAt(a, 2), sj(u8"あ"));
  EXPECT_EQ(CharAt(a, 3), sj(u8"あ"));  // a trail byte gives the character it ends
  EXPECT_EQ(CharAt(a, 4), "");
  EXPECT_EQ(CharAt(a, 0), "");
  EXPECT_EQ(Copy("abc", 2, 5), "bc");
  EXPECT_EQ(Copy("abc", 4, 1), "");
  EXPECT_EQ(Copy("abc", 1, 0), "");
  EXPECT_EQ(Copy("abc", -3, 2), "ab");
}

TEST(Cp932Helpers, LowerTrimAndIntegers) {
  EXPECT_EQ(AsciiLower("*.TXT"), "*.txt");
  EXPECT_EQ(AsciiLower(bytes({0x83, 0x41, 0x41})), bytes({0x83, 0x41, 0x61}));  // アA: only the A
  EXPECT_EQ(Trim(" \t*.txt\r\n"), "*.txt");
  EXPECT_EQ(Trim(" \t "), "");
  struct Case { const char* text; int32_t want; };
  for (const Case& c : {Case{"12", 12}, Case{" 7", 7}, Case{"-3", -3}, Case{"+4", 4},
                        Case{"-2147483648", INT32_MIN}, Case{"2147483647", INT32_MAX},
                        Case{"1a", 99}, Case{"", 99}, Case{"-", 99}, Case{"99999999999", 99},
                        Case{"2147483648", 99}, Case{"7 ", 99}})
    EXPECT_EQ(StrToIntDef(c.text, 99), c.want) << '"' << c.text << '"';
}

TEST(Cp932Helpers, ToHalfWidthAndSplitLines) {
  EXPECT_EQ(ToHalfWidth(sj(u8"１２ＡＢｚ")), "12ABz");
  EXPECT_SJ_EQ(ToHalfWidth(sj(u8"ひらがな")), u8"ヒラガナ");
  EXPECT_SJ_EQ(ToHalfWidth(sj(u8"ぁみむん漢字")), u8"ァミムン漢字");  // the katakana block skips 83 7F
  using L = std::vector<std::string>;
  EXPECT_EQ(SplitLines("a\r\nb"), (L{"a", "b"}));
  EXPECT_EQ(SplitLines("a\rb\n"), (L{"a", "b"}));
  EXPECT_EQ(SplitLines("a\n\n"), (L{"a", ""}));
  EXPECT_EQ(SplitLines(""), L{});
  EXPECT_EQ(SplitLines("\r\n"), L{""});
  EXPECT_EQ(SplitLines("\n\r"), (L{"", ""}));
}

TEST(Cp932Locale, ResultsDoNotDependOnTheLocale) {
  auto run = [] {
    std::string out;
    out += AsciiLower(bytes({0x83, 0x41, 0x41, 0x95, 0x5C}));
    out += ToHalfWidth(sj(u8"ＡあＺ"));
    out += std::to_string(FindFrom(sj(u8"ａ、＝"), 1, sj(u8"＝")));
    out += std::to_string(static_cast<int>(ByteTypeAt(sj(u8"表\\"), 2)));
    return out;
  };
  std::setlocale(LC_ALL, "C");
  const std::string in_c = run();
  std::setlocale(LC_ALL, "C.UTF-8");
  EXPECT_EQ(run(), in_c);
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace yomira
