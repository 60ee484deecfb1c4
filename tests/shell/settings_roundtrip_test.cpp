// The settings_roundtrip tool: exit codes, messages and files.

#include <cstdio>
#include <fstream>

#include "support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct RunResult {
  int status = -1;
  std::string err;
};

RunResult RunTool(const std::vector<std::string>& args) {
  std::string cmd = test::ShellQuote(SETTINGS_ROUNDTRIP_PATH);
  for (const auto& a : args) cmd += " " + test::ShellQuote(a);
  const test::CommandRun run = test::RunCommand(cmd + " 2>&1 >/dev/null");
  return {run.status, run.out};
}

std::string Golden(const char* name) { return test::ReadFileBytes(test::TestData(std::string("settings/") + name)); }

TEST(SettingsRoundtripTool, EmptyFolderGivesTheGoldens) {
  TempDir t;
  fs::create_directory(t / "e");
  const RunResult r = RunTool({(t / "e").string(), (t / "o").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::ReadFileBytes(t / "o/yomira.ini"), Golden("fresh.ini"));
  EXPECT_EQ(test::ReadFileBytes(t / "o/yomira_key.ini"), Golden("fresh_key.ini"));
}

TEST(SettingsRoundtripTool, UsageError) {
  EXPECT_EQ(RunTool({}).status, 2);
  EXPECT_EQ(RunTool({"a"}).status, 2);
  EXPECT_EQ(RunTool({"a", "b", "c"}).status, 2);
}

TEST(SettingsRoundtripTool, UnreadableInputIsNotWritten) {
  TempDir t;
  fs::create_directories(t / "bad/yomira.ini");
  const RunResult r = RunTool({(t / "bad").string(), (t / "o").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(reinterpret_cast<const char*>(u8"ファイルが読み込めませんでした。")), std::string::npos);
  EXPECT_FALSE(fs::exists(t / "o/yomira.ini"));
  EXPECT_EQ(test::ReadFileBytes(t / "o/yomira_key.ini"), Golden("fresh_key.ini"));
}

TEST(SettingsRoundtripTool, UnwritableOutputIsReported) {
  TempDir t;
  fs::create_directory(t / "e");
  fs::create_directories(t / "o/yomira.ini");
  const RunResult r = RunTool({(t / "e").string(), (t / "o").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(reinterpret_cast<const char*>(u8"設定を保存できませんでした。")), std::string::npos);
  EXPECT_TRUE(fs::is_directory(t / "o/yomira.ini"));
  EXPECT_EQ(test::ReadFileBytes(t / "o/yomira_key.ini"), Golden("fresh_key.ini"));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(t / "o")) ++entries;
  EXPECT_EQ(entries, 2);
}

}  // namespace
}  // namespace yomira
