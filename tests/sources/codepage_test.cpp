#include "sources/codepage.h"

#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <random>

#include "platform/text/cp932.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using test::bytes;
using test::hex;
using V = std::vector<std::string>;

// Encodes a UTF-8 fixture with glibc iconv (strict: any failure fails the test setup).
std::string Encode(const char* to, std::string_view utf8) {
  iconv_t cd = iconv_open(to, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("no iconv for ") + to);
  std::string out(utf8.size() * 4 + 16, '\0');
  char* ip = const_cast<char*>(utf8.data());
  size_t il = utf8.size();
  char* op = out.data();
  size_t ol = out.size();
  const size_t r = iconv(cd, &ip, &il, &op, &ol);
  iconv(cd, nullptr, nullptr, &op, &ol);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) throw std::runtime_error(std::string("cannot encode to ") + to);
  out.resize(out.size() - ol);
  return out;
}

std::string U8(std::u8string_view s) { return std::string(reinterpret_cast<const char*>(s.data()), s.size()); }

TEST(CharCode, MapsChoicesAndCodePagesBothWays) {
  const int pages[] = {932, 51932, 50220, 65000, 65001, CP_UTF8N};
  for (int cc = 1; cc <= 6; ++cc) {
    EXPECT_EQ(CharCodeToCodePage(cc), pages[cc - 1]);
    EXPECT_EQ(CharCodeFromCodePage(pages[cc - 1]), cc);
  }
  for (int cc : {0, -1, 7, 1000}) EXPECT_EQ(CharCodeToCodePage(cc), 0);
  for (int cp : {0, 1200, 1201, 20932, -932}) EXPECT_EQ(CharCodeFromCodePage(cp), ccAuto);
  const V captions{"(自動)", "Shift-JIS", "EUC-JP", "ISO-2022-JP", "UTF7", "UTF8", "UTF8N"};
  for (int cc = 0; cc <= 6; ++cc) EXPECT_EQ(CharCodeCaption(cc), captions[cc]);
  EXPECT_EQ(CharCodeCaption(9), "(自動)");
}

TEST(DetectCodePage, Table) {
  std::string euc4096;
  for (int i = 0; i < 2048; ++i) euc4096 += "\xA4\xA2";
  std::string eucMixed;
  while (eucMixed.size() < 5005) eucMixed += "\x8E\xB1\xA4\xA2\x8F\xA2\xAF";
  eucMixed.resize(5005);
  std::string u8long;
  for (int i = 0; i < 500; ++i) u8long += U8(u8"あいう");
  std::string u8cut;
  while (u8cut.size() <= 4096) u8cut += U8(u8"吾輩");
  u8cut.pop_back();
  struct Case {
    std::string in;
    int cp;
  };
  const Case cases[] = {
      {"", 932},
      {bytes({0xEF, 0xBB, 0xBF, 0x41}), 932},
      {bytes({0xFF, 0xFE, 0x41, 0x00}), 932},
      {bytes({0xEF, 0xBB, 0xBF, 0x41, 0x42}), 65001},
      {bytes({0xFE, 0xFF, 0x00, 0x61, 0x00, 0x62}), 1201},
      {bytes({0xFF, 0xFE, 0x61, 0x00, 0x62, 0x00}), 1200},
      {"abc\x1B$Bxyz", 50220},
      {"hello world", 932},
      {euc4096, 932},
      {euc4096 + "a", 51932},
      {eucMixed, 51932},
      {u8long, CP_UTF8N},
      {U8(u8"吾輩。"), CP_UTF8N},  // 。 is E3 80 82
      {U8(u8"あああ"), 932},
      {u8cut, CP_UTF8N},
      {"abc\x80" "def", 932},
      {std::string("ab\0c\x1B", 5), 50220},  // a NUL is an ordinary byte
      {std::string("\xE3\x80\x82\0\xFF", 5), 932},  // the whole buffer is examined
  };
  for (const auto& c : cases) EXPECT_EQ(DetectCodePage(c.in), c.cp) << hex(c.in);
}

TEST(DetectCodePage, Utf8SequenceLength) {
  const int lead[] = {0x00, 0x7F, 0x80, 0xBF, 0xC0, 0xDF, 0xE0, 0xEF, 0xF0, 0xF7, 0xF8, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};
  const int len[] = {1, 1, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 1, 1};
  for (size_t i = 0; i < std::size(lead); ++i) EXPECT_EQ(Utf8SequenceLength(lead[i]), len[i]) << lead[i];
}

// Kanji, a circled digit, the wave dash, the horizontal bar, half-width kana, CR LF; over
// 4096 bytes in every encoding, so detection goes past its short-file rule.
std::string RoundTripText(bool withCp932Only) {
  std::string line = U8(u8"吾輩は猫である。名前はまだ無い。");
  if (withCp932Only) line += U8(u8"①〜―ｶﾅ");
  else line += U8(u8"〜―");
  std::string text;
  for (int i = 0; text.size() <= 9000; ++i) text += line + std::to_string(i) + "\r\n";
  return text + "end";
}

V Decode(std::string_view data, int cc, int* cp = nullptr) {
  V lines;
  const int got = DecodeText(lines, data, cc);
  if (cp) *cp = got;
  return lines;
}

TEST(DecodeText, RoundTripsEveryEncodingToTheCp932Reference) {
  const std::string full = RoundTripText(true);
  const std::string jisOnly = RoundTripText(false);
  const V ref = SplitLines(Encode("CP932", full));
  const V jisRef = SplitLines(Encode("CP932", jisOnly));
  ASSERT_GT(ref.size(), 10u);
  struct Case {
    const char* name;
    std::string data;
    int autoCp;   // 0: not detectable
    V choices;
    const V* expected;
  };
  const std::string bom = "\xEF\xBB\xBF";
  const Case cases[] = {
      {"CP932", Encode("CP932", full), 932, {}, &ref},
      {"EUC-JP-MS", Encode("EUC-JP-MS", full), 51932, {}, &ref},
      {"UTF-7", Encode("UTF-7", full), 0, {}, &ref},
      {"UTF-8", full, CP_UTF8N, {}, &ref},
      {"UTF-8 BOM", bom + full, 65001, {}, &ref},
      {"UTF-16LE", "\xFF\xFE" + Encode("UTF-16LE", full), 1200, {}, &ref},
      {"UTF-16BE", "\xFE\xFF" + Encode("UTF-16BE", full), 1201, {}, &ref},
      {"ISO-2022-JP", Encode("ISO-2022-JP", jisOnly), 50220, {}, &jisRef},
  };
  const std::map<std::string, std::vector<int>> explicitChoices{
      {"CP932", {1}},      {"EUC-JP-MS", {2}},     {"UTF-7", {4}}, {"UTF-8", {5, 6}},
      {"UTF-8 BOM", {5, 6}}, {"ISO-2022-JP", {3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.autoCp) {
      int cp = 0;
      EXPECT_EQ(Decode(c.data, ccAuto, &cp), *c.expected);
      EXPECT_EQ(cp, c.autoCp);
    }
    auto it = explicitChoices.find(c.name);
    if (it == explicitChoices.end()) continue;
    for (int cc : it->second) {
      int cp = 0;
      EXPECT_EQ(Decode(c.data, cc, &cp), *c.expected) << "choice " << cc;
      EXPECT_EQ(cp, CharCodeToCodePage(cc));
    }
  }
}

TEST(DecodeText, FixedFaults) {
  int cp = 0;
  // Choice 5 on UTF-8 without a byte-order mark keeps its first characters.
  EXPECT_EQ(Decode(U8(u8"あい\nう"), ccUtf8, &cp), (V{test::sj(u8"あい"), test::sj(u8"う")}));
  EXPECT_EQ(cp, 65001);
  EXPECT_EQ(Decode("a", ccUtf8), (V{"a"}));
  EXPECT_EQ(Decode("", ccUtf8), V{});
  // Choice 6 on UTF-8 with one has no leading "?".
  EXPECT_EQ(Decode("\xEF\xBB\xBF" "abc", ccUtf8N, &cp), (V{"abc"}));
  EXPECT_EQ(cp, CP_UTF8N);
  // A NUL drops itself, not the rest of the file.
  EXPECT_EQ(Decode(std::string("ab\0cd", 5), ccAuto), (V{"abcd"}));
  EXPECT_EQ(Decode(std::string("ab\0cd\r\n\nx", 9), ccAuto), (V{"abcd", "", "x"}));
  EXPECT_EQ(Decode(std::string("\xEF\xBB\xBF" "a\0b", 6), ccAuto), (V{"ab"}));
  // UTF-16 with a byte-order mark is converted, NUL characters included.
  const std::string u16 = "\xFF\xFE" + Encode("UTF-16LE", U8(u8"吾輩"));
  EXPECT_EQ(Decode(u16, ccAuto, &cp), (V{test::sj(u8"吾輩")}));
  EXPECT_EQ(cp, 1200);
  EXPECT_EQ(Decode(bytes({0xFE, 0xFF, 0x00, 0x61, 0x00, 0x00, 0x00, 0x62}), ccAuto, &cp), (V{"ab"}));
  EXPECT_EQ(cp, 1201);
}

TEST(DecodeText, Substitution) {
  EXPECT_EQ(hex(Decode("a\xFF" "b\xF0\x9F\x98\x80" "c", ccUtf8N)[0]), hex("a?b?c"));
  EXPECT_EQ(hex(Decode(bytes({0xA4, 0xA2, 0xF5, 0xA1, 0x8F, 0xA2, 0xAF, 0xA4}), ccEucJp)[0]),
            hex(bytes({0x82, 0xA0, 0x3F, 0x3F, 0x3F})));
  int cp = 0;
  EXPECT_EQ(hex(Decode("a\x1B$B$\"\x1B(Bb\x1B(I1\x1B(B\x1BZ", ccAuto, &cp)[0]),
            hex(bytes({0x61, 0x82, 0xA0, 0x62, 0xB1, 0x3F, 0x5A})));
  EXPECT_EQ(cp, 50220);
}

TEST(DecodeText, SplitsOnEveryLineEnd) {
  const std::pair<std::string, V> cases[] = {
      {"a\r\n", {"a"}},      {"a\r\r\n", {"a", ""}}, {"a\n\rb", {"a", "", "b"}},
      {"\n", {""}},          {"", {}},               {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
  };
  for (const auto& [in, expected] : cases) EXPECT_EQ(Decode(in, ccShiftJis), expected) << hex(in);
}

TEST(DecodeText, KeepsLinesWhenConversionFails) {
  V lines{"old"};
  EXPECT_THROW(ConvertCharset("x", 1234, 932), ConvertError);
  try {
    ConvertCharset("x", 1234, 932);
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "COM ERROR : Initialize");
  }
  EXPECT_THROW(ConvertCharset("x", 65001, 65001), ConvertError);
  EXPECT_EQ(lines, V{"old"});
}

TEST(DecodeText, RandomBuffersNeverThrowAndGiveWellFormedText) {
  std::mt19937 rng(11);
  static const int interesting[] = {0x1B, 0x8E, 0x8F, 0x00, 0x0E, 0x0F, '$', '(', 'B', 'I', 0xEF, 0xFE, 0xFF};
  std::uniform_int_distribution<int> len(0, 600), kind(0, 9), any(0, 255), hi(0x80, 0xBF), euc(0xA1, 0xFE),
      pick(0, std::size(interesting) - 1);
  for (int n = 0; n < 20000; ++n) {
    std::string in(len(rng), '\0');
    for (auto& ch : in) {
      const int k = kind(rng);
      ch = static_cast<char>(k < 3 ? interesting[pick(rng)] : k < 5 ? hi(rng) : k < 7 ? euc(rng) : any(rng));
    }
    for (int cc = 0; cc <= 6; ++cc) {
      V lines;
      int cp = 0;
      ASSERT_NO_THROW(cp = DecodeText(lines, in, cc)) << hex(in) << " choice " << cc;
      for (const auto& line : lines) {
        ASSERT_EQ(line.find('\0'), std::string::npos) << hex(in) << " choice " << cc;
        if (cp == 932) continue;
        for (size_t i = 0; i < line.size(); ++i) {
          const auto c = static_cast<unsigned char>(line[i]);
          if (!IsLeadRange(c)) continue;
          ASSERT_LT(i + 1, line.size()) << "lone lead: " << hex(in) << " choice " << cc;
          ASSERT_TRUE(IsDefinedCp932(c, static_cast<unsigned char>(line[i + 1])))
              << hex(line.substr(i, 2)) << " from " << hex(in) << " choice " << cc;
          ++i;
        }
      }
    }
  }
}

class LoadTextFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& data) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary) << data;
    return path;
  }
  test::TempDir dir_;
};

TEST_F(LoadTextFileTest, DecodesAndReportsTheCodePage) {
  TFileItem item;
  item.Path = Write("e.txt", Encode("EUC-JP-MS", RoundTripText(true)));
  V lines{"old"};
  int cp = 0;
  ASSERT_TRUE(LoadTextFile(item, lines, ccAuto, false, false, cp));
  EXPECT_EQ(cp, 51932);
  EXPECT_EQ(lines, SplitLines(Encode("CP932", RoundTripText(true))));
}

TEST_F(LoadTextFileTest, UnreadableFilesLeaveLinesUntouched) {
  const std::string fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string sparse = Write("sparse.txt", "");
  ASSERT_EQ(::truncate(sparse.c_str(), 300ll << 20), 0);
  for (const std::string& path : {std::string(dir_ / "missing.txt"), std::string(dir_.path()), fifo, sparse}) {
    TFileItem item;
    item.Path = path;
    V lines{"old"};
    int cp = 777;
    EXPECT_FALSE(LoadTextFile(item, lines, ccAuto, false, false, cp)) << path;
    EXPECT_EQ(lines, V{"old"});
    EXPECT_EQ(cp, 777);
  }
}

TEST_F(LoadTextFileTest, HtmlHookRunsOnlyForHtmlOrParse) {
  TFileItem item;
  item.Path = Write("p.html", "<p>x</p>");
  int calls = 0;
  bool sawParse = false, sawLinks = false;
  HtmlImportHook hook = [&](V& lines, TFileItem& it, bool parse, bool collectLinks) {
    ++calls;
    sawParse = parse;
    sawLinks = collectLinks;
    EXPECT_EQ(&it, &item);
    lines = {"imported"};
  };
  V lines;
  int cp = 0;
  ASSERT_TRUE(LoadTextFile(item, lines, ccAuto, false, false, cp, hook));
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(lines, V{"<p>x</p>"});
  ASSERT_TRUE(LoadTextFile(item, lines, ccAuto, true, false, cp, hook));
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(sawParse);
  EXPECT_TRUE(sawLinks);
  EXPECT_EQ(lines, V{"imported"});
  ASSERT_TRUE(LoadTextFile(item, lines, ccAuto, false, true, cp, hook));
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(sawParse);
  EXPECT_FALSE(sawLinks);
  // An empty hook is no import at all.
  ASSERT_TRUE(LoadTextFile(item, lines, ccAuto, true, true, cp));
  EXPECT_EQ(lines, V{"<p>x</p>"});
}

}  // namespace
}  // namespace yomira
