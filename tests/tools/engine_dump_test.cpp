// Runs engine_dump on every tests/data/engine_dump/<name>.txt with the flags of <name>.args
// and compares the output with <name>.expected. YOMIRA_UPDATE_GOLDEN=1 rewrites the goldens.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;

using RunResult = test::CommandRun;

std::string ShellQuote(const std::string& s) { return test::ShellQuote(s); }

// Runs engine_dump with args (already quoted for the shell) and returns its exit status
// and everything it printed.
RunResult RunDump(const std::string& args) {
  return test::RunCommand(ShellQuote(ENGINE_DUMP_PATH) + " " + args + " 2>&1");
}

std::string FirstLine(const std::string& s) {
  std::string line = s.substr(0, s.find('\n'));
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return line;
}

TEST(EngineDumpGolden, EveryFixtureMatches) {
  const fs::path dir = test::TestData("engine_dump");
  const bool update = std::getenv("YOMIRA_UPDATE_GOLDEN") && std::string(std::getenv("YOMIRA_UPDATE_GOLDEN")) == "1";
  std::vector<fs::path> inputs;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".txt") inputs.push_back(e.path());
  ASSERT_FALSE(inputs.empty()) << "no fixtures in " << dir;
  for (const fs::path& input : inputs) {
    fs::path args_file = input, expected_file = input;
    args_file.replace_extension(".args");
    expected_file.replace_extension(".expected");
    std::string args = fs::exists(args_file) ? FirstLine(test::ReadFileBytes(args_file)) : "";
    RunResult r = RunDump(args + " " + ShellQuote(input.string()));
    EXPECT_EQ(r.status, 0) << input.filename() << ": " << r.out.substr(0, 500);
    if (update) {
      std::ofstream(expected_file, std::ios::binary) << r.out;
      continue;
    }
    ASSERT_TRUE(fs::exists(expected_file)) << expected_file << " missing (YOMIRA_UPDATE_GOLDEN=1 writes it)";
    EXPECT_EQ(r.out, test::ReadFileBytes(expected_file)) << input.filename() << " with " << args;
  }
}

// Feeds text to engine_dump's standard input.
RunResult RunWithInput(const std::string& args, const std::string& text) {
  test::TempDir tmp;
  const fs::path in = tmp / "in.txt";
  std::ofstream(in, std::ios::binary) << text;
  return RunDump(args + " < " + ShellQuote(in.string()));
}

bool HasLine(const std::string& out, const std::string& line) {
  std::istringstream ss(out);
  for (std::string l; std::getline(ss, l);)
    if (l == line) return true;
  return false;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(EngineDumpCli, GeometryFigures) {
  struct Case { const char* args; std::vector<std::string> lines; };
  const std::vector<Case> cases = {
      {"--geometry -o f_size=20 -o ruby_size=10",
       {"lw=34 cell_pitch=10 block=544x670 frames=4 lines_per_view=16", "page 1 rect=40,25,580,665",
        "line 0 page 1 x=550 ruby_x=570", "line 15 page 1 x=40 ruby_x=60", "block 1 y=25 bottom=665",
        "views(16)=1 views(17)=2"}},
      {"--geometry -o Page=2 -o Colum=2 -o yohaku_c=10",
       {"page 1 rect=468,25,880,952", "page 2 rect=40,25,452,952", "line 0 page 1 x=858 ruby_x=872",
        "line 0 page 2 x=430 ruby_x=444", "block 2 y=504 bottom=952", "views(64)=1 views(65)=2"}},
  };
  for (const Case& c : cases) {
    RunResult r = RunDump(c.args);
    EXPECT_EQ(r.status, 0) << c.args;
    for (const std::string& line : c.lines) EXPECT_TRUE(HasLine(r.out, line)) << c.args << "\nmissing: " << line << "\n" << r.out;
  }
}

TEST(EngineDumpCli, WidthsKeepKinsoku) {
  struct Case { std::string input; std::vector<std::string> rows; };
  const std::vector<Case> cases = {
      {Repeat("あ", 30), {"0000 s=0 i=0 w=40 end=0", "0001 s=0 i=0 w=20 end=1"}},
      {Repeat("あ", 20) + "。」あ", {"0000 s=0 i=0 w=38 end=0", "0001 s=0 i=0 w=8 end=1"}},
      {Repeat("あ", 19) + "＝あいう", {"0000 s=0 i=0 w=40 end=0", "0001 s=0 i=0 w=6 end=1"}},
  };
  for (const Case& c : cases) {
    RunResult r = RunWithInput("--utf8 --format widths -o v_size=20", c.input);
    EXPECT_EQ(r.status, 0);
    for (const std::string& row : c.rows) EXPECT_TRUE(HasLine(r.out, row)) << "missing: " << row << "\n" << r.out;
  }
}

TEST(EngineDumpCli, ErrorsExitWithTheirCodes) {
  struct Case { std::string args; int status; std::string starts; };
  const std::vector<Case> cases = {
      {"/nonexistent/file.txt", 1, "engine_dump: cannot read /nonexistent/file.txt: "},
      {"/tmp", 1, "engine_dump: cannot read /tmp: "},
      {"-o no_such_key=1 --geometry", 2, "engine_dump: "},
      {"-o f_size=abc --geometry", 2, "engine_dump: "},
      {"-o strict=2 --geometry", 2, "engine_dump: "},
      {"-o 'back_color=$00FFFFFG' --geometry", 2, "engine_dump: "},
      {"--format pictures --geometry", 2, "engine_dump: "},
      {"--no-such-flag", 2, "engine_dump: "},
      {"-o", 2, "engine_dump: "},
      {"a.txt b.txt", 2, "engine_dump: "},
  };
  for (const Case& c : cases) {
    RunResult r = RunDump(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.out;
    EXPECT_EQ(r.out.rfind(c.starts, 0), 0u) << c.args << "\n" << r.out;
  }
}

// Rows of the notation layout for short inputs given as UTF-8.
TEST(EngineDumpCli, NotationRows) {
  struct Case { std::string args; std::string input; std::vector<std::string> lines; };
  std::string wrapped;
  for (int block = 0; block < 2; ++block) {
    for (int i = 0; i < 12; ++i) wrapped += Repeat("あ", 30) + "\n";
    if (block == 0) wrapped += "\n";
  }
  const std::vector<Case> cases = {
      {"--utf8 --format elements", "漢字《かんじ》\n｜東京《とうきょう》\n",
       {"# caption: stdin", "0000 s=0 i=0 P | T 0:1+4 \"漢字\" | R 0:5+10 \"かんじ\"",
        "0001 s=1 i=0 P | B 1:1+2 | T 1:3+4 \"東京\" | R 1:7+14 \"とうきょう\""}},
      {"--utf8 --format elements --rewrap -o ReWrapType=1", "あ｜漢《かん\nじ》です\n",
       {"0000 s=1 i=0 P | T 0:1+2 \"あ\" | B 0:3+2 | T 0:5+2 \"漢\" | R 0-1:7+5 \"かんじ\" | T 1:5+4 \"です\""}},
      {"--utf8 --format elements --to-ruby", "漢字（かんじ）です（１）\n",
       {"0000 s=0 i=0 P | T 0:1+4 \"漢字\" | R 0:5+10 \"かんじ\" | T 0:15+10 \"です（１）\""}},
      {"--utf8 --format elements --plain --name 題.txt", "漢字《かんじ》\n",
       {"# caption: 題.txt", "0000 s=0 i=0 P | T 0:1+14 \"漢字《かんじ》\""}},
      {"--utf8 --format widths --rewrap", wrapped,
       {"0000 s=11 i=0 w=64 end=0", "0010 s=11 i=0 w=64 end=0", "0011 s=11 i=0 w=16 end=1",
        "0012 s=12 i=0 w=0 end=1", "0024 s=24 i=0 w=16 end=1"}},
      {"--format widths", "", {"0000 s=0 i=0 w=0 end=1"}},
  };
  for (const Case& c : cases) {
    RunResult r = RunWithInput(c.args, c.input);
    EXPECT_EQ(r.status, 0) << c.args;
    for (const std::string& line : c.lines)
      EXPECT_TRUE(HasLine(r.out, line)) << c.args << "\nmissing: " << line << "\n" << r.out;
  }
  EXPECT_EQ(RunWithInput("--format widths", "").out.rfind("# caption: stdin\n# source=0 lines=1 views=1 ", 0), 0u);
  EXPECT_EQ(RunWithInput("--utf8 --format widths --rewrap", wrapped).out.find("# source=25 lines=25 views=2 "),
            std::string("# caption: stdin\n").size());
}

TEST(EngineDumpCli, FormatNoneAndStats) {
  const RunResult r = RunWithInput("--utf8 --format none --stats --name x.txt -o UseCover=0", "漢字《かんじ》\n\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("# caption: x.txt\n# source=2 lines=2 views=1 ", 0), 0u) << r.out;
  EXPECT_EQ(r.out.find("0000 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("stats: source=2 lines=2 elements=2 views=1 convert_ms="), std::string::npos) << r.out;
}

TEST(EngineDumpCli, CaptionNamesTheFileWithoutItsFolder) {
  test::TempDir tmp;
  const fs::path in = tmp / "物語.txt";
  std::ofstream(in, std::ios::binary) << "a\n";
  const RunResult r = RunDump("--format none " + ShellQuote(in.string()));
  EXPECT_EQ(FirstLine(r.out), "# caption: 物語.txt");
}

TEST(EngineDumpCli, TraceRelayoutShowsTheCallsOfAnOpen) {
  const RunResult r = RunDump("--trace-relayout " + ShellQuote(test::TestData("engine_dump/rashomon.txt").string()));
  EXPECT_EQ(r.status, 0);
  const std::string layers =
      "setTextLayers body=\"@HGｺﾞｼｯｸE\" 14 bold=0 text=$00000000 back=$00F0FAFF "
      "ruby=\"@HGｺﾞｼｯｸE\" 8 bold=0 text=$00000080 back=$00F0FAFF\n";
  EXPECT_EQ(r.out,
            "hideHint\nhideStartUpPanel\nenablePageButtons\nShowProgressBar 1\nFitWindowToLayout\n"
            "BuildBackground\nRecreatePageSlider\nprogress 71/71\nsetCaption 羅生門 / 芥川龍之介\n"
            "UpdateSliderRange 15\nLoadEmphasisMarks\n" +
                layers + "ApplyParamPosition\nDrawSpread 1\nShowProgressBar 0\nStartPageTurn 0\n--\n"
                "hideHint\nhideStartUpPanel\nenablePageButtons\nLoadEmphasisMarks\n" +
                layers + "ApplyParamPosition\nDrawSpread 1\nStartPageTurn 0\n");
}

TEST(EngineDumpCli, TraceRelayoutFollowsTheOptions) {
  const RunResult r = RunWithInput("--utf8 --trace-relayout --name 名.txt -o bg_image=1", "あ\nい\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("setCaption 名.txt\nUpdateSliderRange 1\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("LoadEmphasisMarks\nbackgroundPixel 40 0\nsetTextLayers "), std::string::npos) << r.out;
}

}  // namespace
}  // namespace yomira
