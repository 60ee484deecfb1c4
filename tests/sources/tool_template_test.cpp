// Templates of tools and filters into argument vectors: split first, then one expansion
// pass inside each argument, so values never split, join or rescan.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sources/tool_template.h"
#include "support/test_support.h"

namespace yomira {
namespace {

using Args = std::vector<std::string>;

PlaceholderValues Doc(const std::string& path, const std::string& folder, const std::string& line = "120") {
  return {{'F', path}, {'D', folder}, {'U', path}, {'L', line}, {'C', "1"}, {'N', "1"}};
}

TEST(ToolTemplate, ExpandsTheTemplatesOfTheLauncher) {
  struct Case {
    const char* name;
    std::string param;
    PlaceholderValues values;
    Args expected;
  };
  const PlaceholderValues ab = Doc("/t/a b.txt", "/t/");
  const std::string hostile = "/t/x\"y $(touch PWNED);z`id` -rf.txt";
  const std::vector<Case> cases = {
      {"quoted file, line + 1", "\"%F\" -n%L", ab, {"/t/a b.txt", "-n120"}},
      {"lower case and %% are no placeholders", "%f %%F --out=\"%D\"", ab, {"%f", "%/t/a b.txt", "--out=/t/"}},
      {"an empty quoted argument is kept", "-o \"\" %F", ab, {"-o", "", "/t/a b.txt"}},
      {"an unclosed quote runs to the end", "\"a b", ab, {"a b"}},
      {"inserted text is not scanned again", "%F %D", Doc("/t/100%Done.txt", "/t/"), {"/t/100%Done.txt", "/t/"}},
      {"a hostile path stays one argument", "%F", Doc(hostile, "/t/"), {hostile}},
      {"a leading dash is kept as it is", "%F", Doc("-rf", ""), {"-rf"}},
      {"without a document nothing is replaced", "\"%F\" %U", {}, {"%F", "%U"}},
      {"twice the file", "%F%F", Doc("/a", "/"), {"/a/a"}},
      {"tabs and runs of blanks separate", " a\t\t b  ", {}, {"a", "b"}},
      {"a quote inside a word joins", "pre\"fix %F\"post", ab, {"prefix /t/a b.txtpost"}},
      {"a backslash is an ordinary character", "a\\\" b\"", {}, {"a\\ b"}},
      {"a percent at the end", "50%", ab, {"50%"}},
      {"an unknown letter is copied", "%X%Z%F", ab, {"%X%Z/t/a b.txt"}},
      {"empty template", "", ab, {}},
      {"only blanks", " \t ", ab, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandTemplate(c.param, c.values), c.expected) << c.name;
}

TEST(ToolTemplate, AllSixPlaceholdersAreCaseSensitive) {
  const PlaceholderValues v{{'F', "f"}, {'D', "d"}, {'U', "u"}, {'L', "l"}, {'C', "c"}, {'N', "n"}};
  EXPECT_EQ(ExpandPlaceholders("%F%D%U%L%C%N", v), "fdulcn");
  EXPECT_EQ(ExpandPlaceholders("%f%d%u%l%c%n", v), "%f%d%u%l%c%n");
}

TEST(ToolTemplate, ValuesAreNeverRescannedNorSplit) {
  // Seeded: values full of placeholders, quotes and blanks come back exactly once each.
  std::mt19937 rng(23);
  const std::string alphabet = "%FDULCN\" \tab\\$;";
  for (int round = 0; round < 500; ++round) {
    auto random = [&](int max) {
      std::string s;
      const int n = static_cast<int>(rng() % static_cast<unsigned>(max));
      for (int i = 0; i < n; ++i) s += alphabet[rng() % alphabet.size()];
      return s;
    };
    const std::string f = random(12);
    const std::string d = random(12);
    const Args got = ExpandTemplate("\"%F\" x%Dy %F", {{'F', f}, {'D', d}});
    ASSERT_EQ(got, (Args{f, "x" + d + "y", f})) << "F=" << f << " D=" << d;
  }
}

TEST(ToolTemplate, SplitRoundTripsQuotedTokens) {
  // Seeded: any tokens without a double quote, each quoted and joined by blanks, split back.
  std::mt19937 rng(1520);
  const std::string alphabet = "ab %\t\\-;'\x82\xa0";
  for (int round = 0; round < 500; ++round) {
    Args tokens(rng() % 5);
    std::string param;
    for (auto& t : tokens) {
      const int n = static_cast<int>(rng() % 8);
      for (int i = 0; i < n; ++i) t += alphabet[rng() % alphabet.size()];
      param += (rng() % 2 ? " " : "\t") + std::string("\"") + t + "\"";
    }
    ASSERT_EQ(SplitTemplate(param), tokens) << param;
  }
}

TEST(ToolTemplate, CharacterPositionCountsCp932Characters) {
  struct Case {
    std::string line;
    int column;
    int expected;
  };
  std::string twenty;
  for (int i = 0; i < 20; ++i) twenty += test::sj(u8"あ");
  const std::vector<Case> cases = {
      {twenty + "abc", 41, 21},                            // 20 double-byte characters before it
      {"ab" + test::sj(u8"あいう"), 5, 4},                 // a, b, あ
      {"abc", 1, 1},                                       // the first character
      {"", 1, 1},                                          // an empty line
      {"ab", 99, 3},                                       // past the end: the whole line
      {"\x81\x81\x81\x40" "b", 5, 3},                     // trail bytes in the lead range
      {"x", 0, 1},                                         // a column before the start
  };
  for (const Case& c : cases) EXPECT_EQ(CharacterPosition(c.line, c.column), c.expected) << test::hex(c.line) << " @" << c.column;
}

}  // namespace
}  // namespace yomira
