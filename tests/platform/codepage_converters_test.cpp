#include "platform/codepage/converters.h"

#include <random>

#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::bytes;
using test::hex;

TEST(Cp932Table, DefinedPairs) {
  struct Case {
    int lead, trail;
    bool defined;
  };
  const Case cases[] = {
      {0x82, 0xA0, true},  {0x81, 0x40, true},  {0x87, 0x40, true},  {0xED, 0x40, true},
      {0xEE, 0xFC, true},  {0xFA, 0x40, true},  {0x88, 0x9F, true},  {0xEB, 0x40, false},
      {0x81, 0xAD, false}, {0x85, 0x40, false}, {0x82, 0x40, false}, {0xFC, 0xFC, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsDefinedCp932(c.lead, c.trail), c.defined) << std::hex << c.lead << " " << c.trail;
}

TEST(EucJp, PairsMapThroughJisToShiftJis) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {bytes({0xA4, 0xA2}), bytes({0x82, 0xA0})},
      {bytes({0xAD, 0xA1}), bytes({0x87, 0x40})},
      {bytes({0xF9, 0xA1}), bytes({0xED, 0x40})},
      {bytes({0xFC, 0xFE}), bytes({0xEE, 0xFC})},
      {bytes({0xB0, 0xA1}), bytes({0x88, 0x9F})},
      {bytes({0xF5, 0xA1}), "?"},
      {bytes({0xA2, 0xAF}), "?"},
      {bytes({0x8E, 0xB1, 0x8E, 0xDF}), bytes({0xB1, 0xDF})},
      {bytes({0x8E, 0xE0}), "??"},
      {bytes({0x8F, 0xA2, 0xAF}), "?"},
      {bytes({0x8F, 0xA2}), "??"},
      {bytes({0x41, 0x0D, 0x0A, 0x7F}), bytes({0x41, 0x0D, 0x0A, 0x7F})},
      {bytes({0x80, 0xA0, 0xFF, 0xA4}), "????"},
      {bytes({0xA4, 0xA2, 0xF5, 0xA1, 0x8F, 0xA2, 0xAF, 0xA4}), bytes({0x82, 0xA0, 0x3F, 0x3F, 0x3F})},
  };
  for (const auto& c : cases) EXPECT_EQ(hex(EucJpToCp932(c.in)), hex(c.out)) << hex(c.in);
}

TEST(Iso2022Jp, EscapesSelectTheCharacterSets) {
  const std::string esc = "\x1B";
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"a" + esc + "$B$\"" + esc + "(Bb" + esc + "(I1" + esc + "(B" + esc + "Z", bytes({0x61, 0x82, 0xA0, 0x62, 0xB1, 0x3F, 0x5A})},
      {esc + "$@$\"" + esc + "(Jx", bytes({0x82, 0xA0, 'x'})},
      {esc + "$(B$\"", bytes({0x82, 0xA0})},
      {esc + "&@" + esc + "$B$\"", bytes({0x82, 0xA0})},
      {esc + "&@x", "?&@x"},
      {esc + "$(D$\"$\"" + esc + "(Bz", "??z"},
      {esc + "$(Q$\"", "?"},
      {"\x0E" "1_`\x0F" "1", bytes({0xB1, 0xDF, '?', '1'})},
      // Controls and blanks pass in any state; a lone half of a pair gives "?".
      {esc + "$B$\" $\"\r\n$", bytes({0x82, 0xA0, 0x20, 0x82, 0xA0, 0x0D, 0x0A, '?'})},
      {esc + "$B$\x7F", "??"},
      {"a\x80\xFF" + esc + "$B\xA4\xA2", "a????"},
      {esc, "?"},
      {esc + "(", "?("},
      {esc + "$Bu!", "?"},  // row 0x75 is not defined in cp932
  };
  for (const auto& c : cases) EXPECT_EQ(hex(Iso2022JpToCp932(c.in)), hex(c.out)) << hex(c.in);
}

TEST(Utf16, DecodesBothOrdersAndMarksBadUnits) {
  EXPECT_EQ(Utf16ToUtf8(bytes({0x42, 0x30, 0x61, 0x00}), false), "\xE3\x81\x82" "a");
  EXPECT_EQ(Utf16ToUtf8(bytes({0x30, 0x42, 0x00, 0x61}), true), "\xE3\x81\x82" "a");
  EXPECT_EQ(Utf16ToUtf8(bytes({0x3D, 0xD8, 0x00, 0xDE}), false), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(bytes({0x3D, 0xD8, 0x61, 0x00}), false), "??a");
  EXPECT_EQ(Utf16ToUtf8(bytes({0x00, 0xDE, 0x61, 0x00}), false), "??a");
  EXPECT_EQ(Utf16ToUtf8(bytes({0x61, 0x00, 0x62}), false), "a?");
  EXPECT_EQ(Utf16ToUtf8(bytes({0x3D, 0xD8}), false), "??");
}

TEST(Utf7, DecodesThroughIconv) {
  EXPECT_EQ(Utf7ToUtf8("Hi +MEIwRDBG-!"), "Hi \xE3\x81\x82\xE3\x81\x84\xE3\x81\x86!");
  EXPECT_EQ(Utf7ToUtf8("a\x80" "b"), "a?b");
}

TEST(Utf8ToCp932, OneQuestionMarkPerBadByteOrUnmappableCharacter) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"a\xFF" "b\xF0\x9F\x98\x80" "c", "a?b?c"},
      {"\xE0\x80\x80", "???"},      // overlong
      {"\xED\xA0\x80", "???"},      // surrogate
      {"\xF4\x90\x80\x80", "????"},  // above U+10FFFF
      {"\xC0\xAF", "??"},
      {"a\xE3\x81", "a??"},        // cut off at the end
      {"\xEF\xBB\xBF", "?"},       // U+FEFF has no cp932 form
      {"\xC2\xA0", "?"},
      {"\xE3\x80\x9C\xEF\xBD\x9E", bytes({0x81, 0x60, 0x81, 0x60})},
      {"\xE2\x88\x92\xEF\xBC\x8D", bytes({0x81, 0x7C, 0x81, 0x7C})},
      {"\xE2\x80\x95", bytes({0x81, 0x5C})},
      {"\xE2\x91\xA0\xEF\xBD\xB6", bytes({0x87, 0x40, 0xB6})},
  };
  for (const auto& c : cases) EXPECT_EQ(hex(Utf8ToCp932(c.in)), hex(c.out)) << hex(c.in);
}

// True when every lead-range byte opens a pair that cp932 defines.
::testing::AssertionResult WellFormedCp932(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == 0) return ::testing::AssertionFailure() << "NUL at " << i;
    if (!IsLeadRange(c)) continue;
    if (i + 1 >= s.size()) return ::testing::AssertionFailure() << "lone lead at the end";
    if (!IsDefinedCp932(c, static_cast<unsigned char>(s[i + 1])))
      return ::testing::AssertionFailure() << "undefined pair " << hex(s.substr(i, 2)) << " at " << i;
    ++i;
  }
  return ::testing::AssertionSuccess();
}

std::string RandomBuffer(std::mt19937& rng, size_t maxLen) {
  static const int interesting[] = {0x1B, 0x1B, 0x8E, 0x8F, 0x0E, 0x0F, '$', '(', 'B', '@', 'I', '&', 'D'};
  std::uniform_int_distribution<size_t> len(0, maxLen);
  std::uniform_int_distribution<int> kind(0, 9), any(0, 255), pick(0, std::size(interesting) - 1),
      cont(0x80, 0xBF), euc(0xA1, 0xFE), jis(0x21, 0x7E);
  std::string s(len(rng), '\0');
  for (auto& ch : s) {
    switch (kind(rng)) {
      case 0: case 1: ch = static_cast<char>(interesting[pick(rng)]); break;
      case 2: case 3: ch = static_cast<char>(cont(rng)); break;
      case 4: case 5: ch = static_cast<char>(euc(rng)); break;
      case 6: case 7: ch = static_cast<char>(jis(rng)); break;
      default: ch = static_cast<char>(any(rng)); break;
    }
  }
  return s;
}

TEST(CodepageConverters, RandomInputGivesWellFormedCp932) {
  std::mt19937 rng(20261209);
  for (int i = 0; i < 5000; ++i) {
    std::string in = RandomBuffer(rng, 300);
    in.erase(std::remove(in.begin(), in.end(), '\0'), in.end());
    ASSERT_TRUE(WellFormedCp932(EucJpToCp932(in))) << hex(in);
    ASSERT_TRUE(WellFormedCp932(Iso2022JpToCp932(in))) << hex(in);
    ASSERT_TRUE(WellFormedCp932(Utf8ToCp932(in))) << hex(in);
    std::string u7;
    ASSERT_NO_THROW(u7 = Utf7ToUtf8(in)) << hex(in);
    ASSERT_TRUE(WellFormedCp932(Utf8ToCp932(u7))) << hex(in);
  }
}

}  // namespace
}  // namespace yomira
