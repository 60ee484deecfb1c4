#include "platform/text/utf8.h"

#include "platform/text/cp932.h"

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

// One per character whatever its length in bytes; a continuation byte alone counts none.
TEST(Utf8CharCount, CountsLeadBytes) {
  const struct {
    std::string text;
    int chars;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {reinterpret_cast<const char*>(u8"十ソ表"), 3},
      {reinterpret_cast<const char*>(u8"a\U0001F600b"), 3},
      {std::string("\x80\xBF", 2), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8CharCount(c.text), c.chars) << test::hex(c.text);
}

}  // namespace
}  // namespace yomira

namespace yomira {
namespace {

// The UTF-8 form of one character.
std::string Utf8Of(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

TEST(Cp932Code, KnownCodes) {
  struct Case {
    uint16_t code;
    char32_t want;
  };
  const Case cases[] = {
      {0x41, U'A'},       {0x5C, U'\\'},      {0x7E, U'~'},       {0xB1, U'\uFF71'},  {0x3F, U'?'},
      {0x8160, U'\uFF5E'}, {0x817C, U'\uFF0D'}, {0x815C, U'\u2015'}, {0x8740, U'\u2460'}, {0xFA40, U'\u2170'},
      {0x82A0, U'\u3042'},
      {0x81, 0},    // a lone lead byte
      {0x8540, 0},  // no character in that row
      {0x817F, 0},  // 0x7F is no trail byte
      {0x8130, 0},  // nor is anything below 0x40
  };
  for (const Case& c : cases) EXPECT_EQ(Cp932CodeToUnicode(c.code), c.want) << std::hex << c.code;
}

// The table is built from one conversion of all codes in a row: each code must come out
// as Cp932ToUtf8 reads it alone, and refused exactly where that gives "?".
TEST(Cp932Code, EveryCodeAsTheConversionReadsIt) {
  int refused = 0, mapped = 0;
  for (int lead = 0; lead < 0x100; ++lead) {
    const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    for (int trail = isLead ? 0x40 : -1; trail <= (isLead ? 0xFC : -1); ++trail) {
      if (trail == 0x7F) continue;
      std::string one;
      one += static_cast<char>(lead);
      if (trail >= 0) one += static_cast<char>(trail);
      const uint16_t code = static_cast<uint16_t>(trail >= 0 ? lead * 256 + trail : lead);
      const std::string alone = Cp932ToUtf8(one);
      const char32_t c = Cp932CodeToUnicode(code);
      if (c == 0 && code != 0) {
        ++refused;
        ASSERT_EQ(alone, "?") << std::hex << code;
      } else {
        ++mapped;
        ASSERT_EQ(Utf8Of(c), alone) << std::hex << code;
      }
    }
  }
  EXPECT_GT(mapped, 7000);
  EXPECT_GT(refused, 1000);
}

}  // namespace
}  // namespace yomira

namespace yomira {
namespace {

// A seeded linear congruential step.
uint32_t NextRandom(uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return seed >> 8;
}

// Utf8ToCp932 reads most characters from a table: it must write what iconv itself writes,
// for every character and for whatever surrounds a byte iconv refuses.
TEST(Utf8Pair, ToCp932WritesWhatIconvWrites) {
  std::vector<std::string> pieces;
  for (char32_t c = 0; c < 0x10000; ++c)
    if (c < 0xD800 || c > 0xDFFF) pieces.push_back(Utf8Of(c));
  for (char32_t c : {U'\U0001F600', U'\U00020B9F', U'\U0010FFFF'}) pieces.push_back(Utf8Of(c));
  // Refused bytes: a lone continuation, cut sequences, an overlong form, a surrogate, a
  // byte that never occurs.
  for (const char* bad : {"\x80", "\xC3", "\xE3\x81", "\xF0\x9F\x98", "\xC0\xAF", "\xED\xA0\x80", "\xFF", "\xF5\x80"})
    pieces.push_back(bad);
  // Every character, a few hundred at a time (iconv is slow at each one it refuses).
  for (size_t at = 0; at < pieces.size(); at += 500) {
    std::string some;
    for (size_t k = at; k < pieces.size() && k < at + 500; ++k) some += pieces[k];
    ASSERT_EQ(Utf8ToCp932Checked(some).status, IconvStatus::Ok);
    ASSERT_EQ(Utf8ToCp932(some), Utf8ToCp932Checked(some).out) << at;
  }

  uint32_t seed = 11;
  const auto next = [&seed] { return NextRandom(seed); };
  for (int round = 0; round < 2000; ++round) {
    std::string s;
    for (int k = static_cast<int>(next() % 40); k > 0; --k) {
      const uint32_t r = next();
      if (r % 5 == 0)
        s += static_cast<char>(r >> 8);
      else
        s += pieces[(r >> 3) % pieces.size()];
    }
    ASSERT_EQ(Utf8ToCp932(s), Utf8ToCp932Checked(s).out) << test::hex(s);
  }
}

}  // namespace
}  // namespace yomira

namespace yomira {
namespace {

// iconv's own reading of cp932, stepping over what it refuses as Cp932ToUtf8 documents: a
// structurally complete double byte is one character, anything else one byte.
std::string IconvCp932ToUtf8(std::string_view s) {
  const auto skip = [](const unsigned char* p, size_t left) -> size_t {
    return left >= 2 && IsLeadRange(p[0]) && p[1] >= 0x40 && p[1] != 0x7F && p[1] <= 0xFC ? 2 : 1;
  };
  const IconvResult r = IconvConvert("UTF-8", "CP932", s, skip);
  EXPECT_EQ(r.status, IconvStatus::Ok);
  return r.out;
}

// Cp932ToUtf8 reads most codes from a table: it must write what iconv writes, for every
// code and for whatever surrounds a byte iconv refuses (a lead byte cut off, a bad trail).
TEST(Utf8Pair, ToUtf8WritesWhatIconvWrites) {
  std::vector<std::string> pieces;
  for (int b = 0; b < 0x100; ++b) pieces.push_back(std::string(1, static_cast<char>(b)));
  for (int lead = 0x81; lead <= 0xFC; ++lead)
    for (int trail = 0x30; trail <= 0xFF; ++trail) pieces.push_back(bytes({lead, trail}));
  std::string all;
  for (const std::string& p : pieces) all += p;
  EXPECT_EQ(Cp932ToUtf8(all), IconvCp932ToUtf8(all));

  uint32_t seed = 13;
  const auto next = [&seed] { return NextRandom(seed); };
  for (int round = 0; round < 3000; ++round) {
    std::string s;
    for (int k = static_cast<int>(next() % 40); k > 0; --k) s += pieces[next() % pieces.size()];
    ASSERT_EQ(Cp932ToUtf8(s), IconvCp932ToUtf8(s)) << test::hex(s);
  }
}

}  // namespace
}  // namespace yomira
