// yomira-render as a user runs it: exit codes, printed lines and written files.
#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace yomira {
namespace {

struct Result {
  int code = -1;
  std::string out, err;
};

Result RunTool(const std::vector<std::string>& args) {
  QStringList list;
  for (const auto& a : args) list << QString::fromStdString(a);
  QProcess p;
  p.start(QStringLiteral(YOMIRA_RENDER_PATH), list);
  Result r;
  if (!p.waitForFinished(120000)) return r;
  r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

std::string Golden(const char* name) { return test::TestData(std::string("golden/background/") + name).string(); }

TEST(RenderTool, BackgroundMatchesTheGoldens) {
  test::TempDir dir;
  const std::string bg = (dir / "bg.png").string();
  Result r = RunTool({"--background-only", "--set", "Page=2", "--set", "MSS=1", "--set", "UseShadow=1", "--out", bg});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "{\"width\":920,\"height\":539,\"panel_width\":920,\"panel_height\":539,\"bg_image\":0}\n");
  r = RunTool({"--compare", bg, Golden("p2_mss_shadow.png")});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "same 920x539\n");
  r = RunTool({"--compare", bg, Golden("plain_p1.png")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "differ: size 920x539 vs 492x539\n");
  r = RunTool({"--compare", Golden("shadow_p1.png"), Golden("plain_p1.png")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out.rfind("differ: ", 0), 0u);
  EXPECT_NE(r.out.find("pixels, first at (0,0) #FFEBCD vs #FFFAF0"), std::string::npos) << r.out;
  r = RunTool({"--compare", (dir / "missing.png").string(), Golden("plain_p1.png")});
  EXPECT_EQ(r.code, 2);
}

TEST(RenderTool, MissingPictureSwitchesOff) {
  test::TempDir dir;
  const std::string x = (dir / "x.png").string();
  Result r = RunTool({"--background-only", "--set", "bg_image=1", "--set", "bg_image_str=/nonexistent.png", "--out", x});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"bg_image\":0"), std::string::npos);
  EXPECT_EQ(RunTool({"--compare", x, Golden("plain_p1.png")}).code, 0);
}

TEST(RenderTool, SizesAndCaps) {
  test::TempDir dir;
  Result r = RunTool({"--background-only", "--set", "Page=8", "--set", "c_size=256", "--set", "f_size=256", "--set",
                  "ruby_size=256", "--set", "s_size=256", "--out", (dir / "b.png").string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"width\":16384,\"height\":2048,\"panel_width\":1571008,\"panel_height\":8646"),
            std::string::npos)
      << r.out;
  r = RunTool({"--background-only", "--set", "f_size=10", "--set", "ruby_size=4", "--set", "s_size=2", "--set",
           "c_size=5", "--set", "v_size=5", "--set", "yohaku_w=10", "--set", "yohaku_h=10", "--out",
           (dir / "n.png").string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"width\":98,\"height\":105"), std::string::npos) << r.out;
}

TEST(RenderTool, InputErrorsExitTwo) {
  test::TempDir dir;
  Result r = RunTool({"--set", "no_such_key=1", "--background-only", "--out", (dir / "e.png").string()});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("no_such_key"), std::string::npos);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(RunTool({"--background-only"}).code, 2);
  EXPECT_EQ(RunTool({"--frobnicate"}).code, 2);
  EXPECT_EQ(RunTool({"--ini", (dir / "none.ini").string(), "--background-only", "--out", (dir / "e.png").string()}).code,
            2);
  EXPECT_EQ(RunTool({"--set", "Page=two", "--background-only", "--out", (dir / "e.png").string()}).code, 2);
}

TEST(RenderTool, IniKeysThenSets) {
  test::TempDir dir;
  const std::string ini = (dir / "y.ini").string();
  FILE* f = std::fopen(ini.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("; a style\n[option]\nPage=2\nMSS=1\n[mouse]\n0=1\n[color]\ntext_color=clWindowText\n", f);
  std::fclose(f);
  Result r = RunTool({"--ini", ini, "--set", "UseShadow=1", "--background-only", "--out", (dir / "i.png").string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(RunTool({"--compare", (dir / "i.png").string(), Golden("p2_mss_shadow.png")}).code, 0);
  f = std::fopen(ini.c_str(), "wb");
  std::fputs("[color]\nback_color=nonsense\n", f);
  std::fclose(f);
  r = RunTool({"--ini", ini, "--background-only", "--out", (dir / "i.png").string()});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("back_color"), std::string::npos) << r.err;
}

TEST(RenderTool, GlyphSheetFaces) {
  test::TempDir dir;
  Result r = RunTool({"--glyph-sheet", "--face", "@IPAexMincho", "--size", "40", "--out", (dir / "s.png").string()});
  if (r.out.find("IPAexMincho") == std::string::npos) GTEST_SKIP() << "IPAex fonts are not installed";
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("IPAexMincho vertical=1 hwid=1 OK"), std::string::npos);
  EXPECT_EQ(r.out.find(" FAIL\n"), std::string::npos);
  EXPECT_EQ(r.out.find(" SKIP\n"), std::string::npos);
  r = RunTool({"--glyph-sheet", "--face", "@HGｺﾞｼｯｸE", "--size", "24", "--out", (dir / "g.png").string()});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.substr(0, r.out.find('\n')).find("IPAexGothic"), std::string::npos) << r.out;
  r = RunTool({"--glyph-sheet", "--face", "ＭＳ 明朝", "--size", "24", "--out", (dir / "m.png").string()});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("IPAexMincho vertical=0"), std::string::npos);
  EXPECT_NE(r.out.find("vert ー: "), std::string::npos);
  EXPECT_NE(r.out.find(" SKIP\n"), std::string::npos);
}

TEST(RenderTool, EmphasisStripIsTheCommittedOne) {
  test::TempDir dir;
  const std::string strip = (dir / "e.png").string();
  ASSERT_EQ(RunTool({"--make-emphasis-strip", strip}).code, 0);
  const std::string committed = test::TestData("../../resources/emphasis/emphasis.png").string();
  EXPECT_EQ(RunTool({"--compare", strip, committed}).code, 0);
}

}  // namespace
}  // namespace yomira
