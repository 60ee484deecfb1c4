#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "support/test_support.h"

namespace yomira {
namespace {

TEST(StrToIntDef, DecimalAndHexForms) {
  struct Case { const char* text; int32_t want; };
  const Case cases[] = {
      {"14", 14}, {"+14", 14}, {"00014", 14}, {" 14", 14}, {"\t14", 14}, {"-5", -5},
      {"0x20", 32}, {"0X20", 32}, {"$20", 32}, {"x20", 32}, {"X20", 32}, {"$ff", 255},
      {"$FFFFFFFF", -1}, {"$80000000", INT32_MIN}, {"-$10", -16}, {"-2147483648", INT32_MIN},
      {"2147483647", INT32_MAX},
  };
  for (const Case& c : cases) EXPECT_EQ(StrToIntDef(c.text, 7), c.want) << '"' << c.text << '"';
}

TEST(StrToIntDef, AnythingElseGivesTheDefault) {
  const char* bad[] = {"2147483648", "-2147483649", "$100000000", "", "abc", "12abc", "1 2",
                       "1.5", "0x", "$", "+", "-", "14 ", "$ 1", "0x-1", "$g", "99999999999"};
  for (const char* t : bad) {
    EXPECT_EQ(StrToIntDef(t, 7), 7) << '"' << t << '"';
    EXPECT_FALSE(TryStrToInt(t).has_value()) << '"' << t << '"';
  }
  EXPECT_EQ(StrToIntDef(test::sj(u8"１４"), 7), 7);
  EXPECT_EQ(StrToIntDef(std::string("1\0", 2), 7), 7);
}

TEST(Utf8Validity, WellFormedOnly) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8(reinterpret_cast<const char*>(u8"十ソ表 abc \U0001F600")));
  EXPECT_TRUE(IsValidUtf8(std::string("a\0b", 3)));
  const std::string bad[] = {
      test::bytes({0xC0, 0x80}),              // overlong NUL
      test::bytes({0xE0, 0x80, 0x80}),        // overlong
      test::bytes({0xED, 0xA0, 0x80}),        // surrogate
      test::bytes({0xF4, 0x90, 0x80, 0x80}),  // above U+10FFFF
      test::bytes({0xE5, 0x8D}),              // cut short
      test::bytes({0xFF}),
      test::bytes({0x8F, 0x5C}),              // cp932 十
  };
  for (const auto& b : bad) EXPECT_FALSE(IsValidUtf8(b)) << test::hex(b);
  EXPECT_EQ(SanitizeUtf8(test::bytes({0xFF, 0x41})), "?A");
  EXPECT_EQ(SanitizeUtf8(test::bytes({0x41, 0xE5, 0x8D})), "A??");
  const std::string ok = reinterpret_cast<const char*>(u8"十ソ表");
  EXPECT_EQ(SanitizeUtf8(ok), ok);
}

}  // namespace
}  // namespace yomira
