// yomira-render --text run as a program: its JSON line, annotation lines, exit codes and
// the picture it writes.

#include <QImage>
#include <QString>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/test_support.h"

namespace yomira {
namespace {

using namespace yomira::test;

using ToolRun = CommandRun;

std::string Quote(const std::string& s) { return ShellQuote(s); }

// Its exit status and stdout (stderr is dropped).
ToolRun Render(const std::string& args) { return RunCommand(Quote(YOMIRA_RENDER_PATH) + " " + args + " 2>/dev/null"); }

std::string Story() { return Quote(TestData("render/story.txt").string()); }

TEST(YomiraRenderText, StoryViewOne) {
  TempDir dir;
  const std::string out = (dir / "v1.png").string();
  const ToolRun r = Render("--utf8 --text " + Story() + " --set images=1 --set UseCover=0 --view 1 --out " + Quote(out) +
                       " --annotations");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out,
            "{\"views\":2,\"view\":1,\"width\":492,\"height\":519,\"panel_width\":492,\"panel_height\":539,"
            "\"label\":\"1 / 2\",\"history_rate\":0}\n"
            "ann page=0 block=0 line=9 cell=18 \"注記のテスト\"\n");
  const QImage image(QString::fromStdString(out));
  EXPECT_EQ(image.size(), QSize(492, 519));
}

TEST(YomiraRenderText, ViewPastTheEndShowsTheLast) {
  const ToolRun r = Render("--utf8 --text " + Story() + " --view 999");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\"views\":3,\"view\":3,"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"label\":\"3 / 3\""), std::string::npos) << r.out;
  const ToolRun low = Render("--utf8 --text " + Story() + " --view -4");
  EXPECT_NE(low.out.find("\"view\":1,"), std::string::npos) << low.out;
}

TEST(YomiraRenderText, EmptyAndMissingFiles) {
  TempDir dir;
  std::ofstream(dir / "empty.txt").close();
  const ToolRun empty = Render("--text " + Quote((dir / "empty.txt").string()) + " --out " + Quote((dir / "e.png").string()));
  EXPECT_EQ(empty.status, 0);
  // Laid out as the reader lays it out: one empty view.
  EXPECT_NE(empty.out.find("\"views\":1,\"view\":1,"), std::string::npos) << empty.out;
  EXPECT_NE(empty.out.find("\"label\":\"1 / 1\",\"history_rate\":0}"), std::string::npos) << empty.out;
  EXPECT_EQ(Render("--text " + Quote((dir / "none.txt").string())).status, 2);
  EXPECT_EQ(Render("--text " + Quote(dir.path().string())).status, 2);
  EXPECT_EQ(Render("--text " + Story() + " --view x").status, 2);
  EXPECT_EQ(Render("--text " + Story() + " --bench 0").status, 2);
  EXPECT_EQ(Render("--text").status, 2);
}

TEST(YomiraRenderText, NulBytesAndBadUtf8AreHarmless) {
  TempDir dir;
  std::ofstream(dir / "odd.txt", std::ios::binary) << std::string("\x88\xA0\0\x88", 4) << "\n\xFF\xFE abc\n";
  for (const char* flag : {"", "--utf8 "}) {
    const ToolRun r = Render(std::string(flag) + "--text " + Quote((dir / "odd.txt").string()));
    EXPECT_EQ(r.status, 0) << flag;
    EXPECT_NE(r.out.find("\"views\":1,"), std::string::npos) << r.out;
  }
}

TEST(YomiraRenderText, BenchPrintsItsFigures) {
  const ToolRun r = Render("--utf8 --text " + Story() + " --bench 2");
  ASSERT_EQ(r.status, 0);
  for (const char* key : {"\"views\":", "\"relayout_ms\":", "\"cold_ms\":", "\"warm_ms_median\":", "\"warm_ms_max\":",
                          "\"glyph_cache_hits\":", "\"glyph_cache_misses\":0}"})
    EXPECT_NE(r.out.find(key), std::string::npos) << key << " in " << r.out;
}

}  // namespace
}  // namespace yomira
