#include "platform/datafolder.h"

#include <sys/stat.h>

#include <fstream>

#include "support/test_support.h"
#include "platform/path/path_parts.h"

namespace yomira {
namespace {

using test::TempDir;

TEST(DataFolder, YomiraHomeWinsOverEverything) {
  TempDir t;
  std::ofstream(t / "yomira.ini") << "";
  DataFolderInputs in{(t / "yomira").string(), "/custom/home", "/xdg", "/home/u"};
  EXPECT_EQ(ResolveDataFolder(in), "/custom/home");
}

TEST(DataFolder, EmptyYomiraHomeCountsAsUnset) {
  DataFolderInputs in{"/nonexistent/bin/yomira", "", "/xdg", "/home/u"};
  EXPECT_EQ(ResolveDataFolder(in), "/xdg/yomira");
}

TEST(DataFolder, ProgramFolderWithIniIsPortable) {
  TempDir t;
  std::ofstream(t / "yomira.ini") << "[option]\n";
  DataFolderInputs in{(t / "yomira").string(), std::nullopt, "/xdg", "/home/u"};
  EXPECT_EQ(ResolveDataFolder(in), t.path().string());
}

TEST(DataFolder, ProgramFolderWithoutIniIsNotUsed) {
  TempDir t;
  DataFolderInputs in{(t / "yomira").string(), std::nullopt, "/xdg", "/home/u"};
  EXPECT_EQ(ResolveDataFolder(in), "/xdg/yomira");
}

TEST(DataFolder, IniThatIsAFolderDoesNotMakeItPortable) {
  TempDir t;
  std::filesystem::create_directory(t / "yomira.ini");
  DataFolderInputs in{(t / "yomira").string(), std::nullopt, std::nullopt, "/home/u"};
  EXPECT_EQ(ResolveDataFolder(in), "/home/u/.config/yomira");
}

TEST(DataFolder, XdgConfigHomeEmptyOrRelativeIsIgnored) {
  for (const char* xdg : {"", "relative/cfg", "./cfg"}) {
    DataFolderInputs in{"/nonexistent/yomira", std::nullopt, std::string(xdg), "/home/u"};
    EXPECT_EQ(ResolveDataFolder(in), "/home/u/.config/yomira") << xdg;
  }
  DataFolderInputs unset{"/nonexistent/yomira", std::nullopt, std::nullopt, "/home/u"};
  EXPECT_EQ(ResolveDataFolder(unset), "/home/u/.config/yomira");
}

TEST(DataFolder, EnsureFolderMakesPrivateFoldersWithParents) {
  TempDir t;
  const std::string p = (t / "a/b/yomira").string();
  std::string err;
  ASSERT_TRUE(EnsureFolder(p, &err)) << err;
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(EnsureFolder(p, &err));  // already there
}

TEST(DataFolder, EnsureFolderFailsOnAFile) {
  TempDir t;
  std::ofstream(t / "f") << "x";
  std::string err;
  EXPECT_FALSE(EnsureFolder((t / "f").string(), &err));
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(EnsureFolder((t / "f/sub").string(), &err));
}

TEST(DataFolder, TestsRunInsideYomiraHome) {
  // CTest sets $YOMIRA_HOME for every suite.
  const char* home = std::getenv("YOMIRA_HOME");
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(DataFolder(), home);
  EXPECT_EQ(DataPath("yomira.ini"), std::string(home) + "/yomira.ini");
}

TEST(DataFolder, ChangeFileExtUsesTheFileNamesLastDot) {
  struct Case { const char* path; const char* ext; const char* want; };
  const Case cases[] = {
      {"/opt/yomira/yomira", ".ini", "/opt/yomira/yomira.ini"},
      {"/opt/yomira/yomira.exe", ".ini", "/opt/yomira/yomira.ini"},
      {"/opt/yo.mira/yomira", ".ini", "/opt/yo.mira/yomira.ini"},
      {"/a/b.c.d", "_key.ini", "/a/b.c_key.ini"},
      {"name", ".txt", "name.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChangeFileExt(c.path, c.ext), c.want) << c.path;
}

}  // namespace
}  // namespace yomira
