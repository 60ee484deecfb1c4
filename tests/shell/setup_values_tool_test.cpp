// The setup_values tool: what it prints, what it writes, and its exit codes.
#include <algorithm>
#include <fstream>

#include "support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

test::CommandRun RunTool(const std::vector<std::string>& args) {
  std::string cmd = test::ShellQuote(SETUP_VALUES_PATH);
  for (const auto& a : args) cmd += " " + test::ShellQuote(a);
  return test::RunCommand(cmd + " 2>/dev/null");
}

std::vector<std::string> Lines(const std::string& s) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t nl; (nl = s.find('\n', start)) != std::string::npos; start = nl + 1) out.push_back(s.substr(start, nl - start));
  return out;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The lines of section in an ini text.
std::vector<std::string> Section(const std::string& ini, const std::string& name) {
  std::vector<std::string> out;
  bool in = false;
  for (const std::string& l : Lines(ini)) {
    if (!l.empty() && l[0] == '[') in = l == "[" + name + "]";
    else if (in && !l.empty()) out.push_back(l);
  }
  return out;
}

TEST(SetupValuesTool, AFreshFolder) {
  TempDir t;
  fs::create_directory(t / "e");
  const test::CommandRun r = RunTool({(t / "e").string()});
  ASSERT_EQ(r.status, 0);
  const auto lines = Lines(r.out);
  // 1 + 16 + 12 + 2 + 2 + 5 + 36 + 12 dependents + 5 colour entries.
  EXPECT_EQ(lines.size(), 91u);
  for (const char* l : {"SpinEditRows\t32", "CheckBoxUseAozora\t1", "ItemAnimateQuality\tLower",
                        "ItemMouseLeft\t次のページ", "ItemTrackLeft\t左右で前後ページ", "ComboBoxFontColor\t#000000\t0",
                        "colour\t4\t#FFEBCD\tShadowColor", "enabled\tStaticTextImagePath\t0"})
    EXPECT_TRUE(Has(lines, l)) << l;
  EXPECT_FALSE(fs::exists(t / "e/yomira.ini"));  // nothing written without --out
}

TEST(SetupValuesTool, ApplyMendsOnlyTheBadBinding) {
  TempDir t;
  fs::create_directory(t / "b");
  std::ofstream(t / "b/yomira.ini") << "[mouse]\n0=9\n[option]\nQuality=3\nTrackLeft=3\n";
  const test::CommandRun r = RunTool({(t / "b").string(), "--apply", "--out", (t / "o").string()});
  ASSERT_EQ(r.status, 0);
  const std::string ini = test::ReadFileBytes(t / "o/yomira.ini");
  const auto mouse = Section(ini, "mouse");
  EXPECT_TRUE(Has(mouse, "0=0"));
  EXPECT_TRUE(Has(mouse, "1=2"));  // the right click keeps its default
  EXPECT_TRUE(Has(Section(ini, "option"), "Quality=3"));
  EXPECT_TRUE(Has(Section(ini, "option"), "TrackLeft=3"));
  EXPECT_TRUE(Has(Section(ini, "color"), "text_color=clWindowText"));
  EXPECT_TRUE(fs::exists(t / "o/yomira_key.ini"));
}

TEST(SetupValuesTool, EditsReachTheFile) {
  TempDir t;
  fs::create_directory(t / "e");
  const test::CommandRun r = RunTool({(t / "e").string(), "--set", "SpinEditRows=20", "--set", "ComboBoxBackColor=#ffebcd",
                           "--set", "CheckBoxUseImage=1", "--apply", "--out", (t / "o").string()});
  ASSERT_EQ(r.status, 0);
  const std::string ini = test::ReadFileBytes(t / "o/yomira.ini");
  EXPECT_TRUE(Has(Section(ini, "option"), "v_size=20"));
  EXPECT_TRUE(Has(Section(ini, "color"), "back_color=$00CDEBFF"));
  const auto lines = Lines(r.out);
  EXPECT_TRUE(Has(lines, "SpinEditRows\t20"));
  EXPECT_TRUE(Has(lines, "ComboBoxBackColor\t#FFEBCD\t4"));
  EXPECT_TRUE(Has(lines, "enabled\tComboBoxBackColor\t0"));
}

TEST(SetupValuesTool, MessagesAreEscaped) {
  TempDir t;
  fs::create_directory(t / "e");
  const test::CommandRun r = RunTool({(t / "e").string(), "--set", "ItemWrapHead=、𠮷", "--apply"});
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(Has(Lines(r.out), "message\t[ 行頭禁則 ]\\nShift_JISで表せない文字は使えません。"));
}

TEST(SetupValuesTool, ValuesAControlCannotTake) {
  TempDir t;
  fs::create_directory(t / "e");
  const std::string e = (t / "e").string();
  const std::vector<std::vector<std::string>> bad = {
      {e, "--set", "ComboBoxBackColor=#123456"}, {e, "--set", "NoSuchControl=1"},
      {e, "--set", "CheckBoxUseImage=2"},        {e, "--set", "SpinEditRows=abc"},
      {e, "--set", "ItemMouseLeft=次"},           {e, "--set", "SpinEditRows"},
      {e, "--bogus"},                            {},
  };
  for (const auto& args : bad) EXPECT_EQ(RunTool(args).status, 2) << (args.size() > 2 ? args[2] : "");
  // Out of range is clamped, not refused.
  const test::CommandRun r = RunTool({e, "--set", "SpinEditColumns=99"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Has(Lines(r.out), "SpinEditColumns\t8"));
}

TEST(SetupValuesTool, AnUnreadableSettingsFile) {
  TempDir t;
  fs::create_directories(t / "u/yomira.ini");
  EXPECT_EQ(RunTool({(t / "u").string()}).status, 1);
}

}  // namespace
}  // namespace yomira
