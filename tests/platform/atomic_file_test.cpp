#include "platform/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void Put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

int LeftoverTemps(const fs::path& dir) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().find(".tmp-") != std::string::npos) ++n;
  return n;
}

struct HookReset {
  ~HookReset() { SetAtomicWriteFailHook(nullptr); }
};

TEST(AtomicWriteFile, WritesNewAndReplacesOld) {
  TempDir t;
  const auto p = t / "a.ini";
  EXPECT_EQ(AtomicWriteFile(p.string(), "one"), "");
  EXPECT_EQ(test::ReadFileBytes(p), "one");
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);  // a new file is private
  ::chmod(p.c_str(), 0644);
  EXPECT_EQ(AtomicWriteFile(p.string(), std::string("tw\0o", 4)), "");
  EXPECT_EQ(test::ReadFileBytes(p), std::string("tw\0o", 4));
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);  // the old mode stays
  EXPECT_EQ(LeftoverTemps(t.path()), 0);
}

TEST(AtomicWriteFile, EveryFailingStepKeepsTheOldFile) {
  HookReset reset;
  const AtomicWriteStep steps[] = {AtomicWriteStep::Create, AtomicWriteStep::Write,
                                   AtomicWriteStep::Sync, AtomicWriteStep::Chmod,
                                   AtomicWriteStep::Rename};
  for (AtomicWriteStep step : steps) {
    TempDir t;
    const auto p = t / "a.ini";
    Put(p, "old bytes");
    SetAtomicWriteFailHook([step](AtomicWriteStep s) { return s == step; });
    const std::string err = AtomicWriteFile(p.string(), "new bytes");
    EXPECT_NE(err.find(p.string()), std::string::npos) << static_cast<int>(step) << ": " << err;
    EXPECT_EQ(test::ReadFileBytes(p), "old bytes") << static_cast<int>(step);
    EXPECT_EQ(LeftoverTemps(t.path()), 0) << static_cast<int>(step);
  }
}

TEST(AtomicWriteFile, FolderInTheTargetsPlaceIsAnError) {
  TempDir t;
  const auto p = t / "yomira.ini";
  fs::create_directory(p);
  Put(p / "inner", "x");
  EXPECT_NE(AtomicWriteFile(p.string(), "new"), "");
  EXPECT_TRUE(fs::is_directory(p));
  EXPECT_EQ(test::ReadFileBytes(p / "inner"), "x");
  EXPECT_EQ(LeftoverTemps(t.path()), 0);
}

TEST(AtomicWriteFile, MissingFolderIsAnError) {
  TempDir t;
  EXPECT_NE(AtomicWriteFile((t / "no/such/a.ini").string(), "x"), "");
}

TEST(AtomicWriteFile, SymlinkStaysASymlink) {
  TempDir t;
  fs::create_directory(t / "real");
  Put(t / "real/a.ini", "old");
  fs::create_symlink("real/a.ini", t / "link.ini");  // relative link
  EXPECT_EQ(AtomicWriteFile((t / "link.ini").string(), "new"), "");
  EXPECT_TRUE(fs::is_symlink(t / "link.ini"));
  EXPECT_EQ(test::ReadFileBytes(t / "real/a.ini"), "new");
  EXPECT_EQ(LeftoverTemps(t.path()), 0);
  EXPECT_EQ(LeftoverTemps(t / "real"), 0);
}

TEST(AtomicWriteFile, ItsTemporaryFileHasTheNameTheCleanUpLooksFor) {
  HookReset reset;
  TempDir t;
  std::vector<std::string> seen;
  SetAtomicWriteFailHook([&](AtomicWriteStep s) {
    if (s == AtomicWriteStep::Rename)
      for (const auto& e : fs::directory_iterator(t.path())) seen.push_back(e.path().filename().string());
    return s == AtomicWriteStep::Rename;  // as if killed before the rename
  });
  EXPECT_NE(AtomicWriteFile((t / "bookmark.dat").string(), "x"), "");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].rfind("bookmark.dat.tmp-", 0), 0u) << seen[0];
  EXPECT_TRUE(IsAtomicWriteTempName(seen[0])) << seen[0];
}

TEST(RemoveStaleAtomicWriteTemps, RemovesOnlyOldTemporaryFilesOfItsOwnForm) {
  TempDir t;
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
  struct Case {
    const char* name;
    bool old;
    bool removed;
  } cases[] = {
      {"yomira.ini.tmp-AbC123", true, true},
      {"bookmark.dat.tmp-000000", true, true},
      {"bookmark.dat.tmp-xyz789", false, false},  // a save may still be writing it
      {"yomira.ini.tmp-AbC12", true, false},
      {"yomira.ini.tmp-AbC1234", true, false},
      {".tmp-AbC123", true, false},
      {"notes.tmp-ab_123", true, false},
      {"notes.TMP-abc123", true, false},
      {"notes.tmp-abc123.txt", true, false},
      {"yomira.ini", true, false},
      {"bookmark.dat", true, false},
  };
  for (const Case& c : cases) {
    Put(t / c.name, "x");
    if (c.old) fs::last_write_time(t / c.name, old);
  }
  // A folder and a link of the same form, and a stale temporary file one level down.
  fs::create_directory(t / "dir.tmp-ABCDEF");
  fs::last_write_time(t / "dir.tmp-ABCDEF", old);
  Put(t / "target.txt", "kept");
  fs::create_symlink("target.txt", t / "link.tmp-QWERTY");
  fs::create_directory(t / "Style");
  Put(t / "Style/a.ini.tmp-AAAAAA", "x");
  fs::last_write_time(t / "Style/a.ini.tmp-AAAAAA", old);

  EXPECT_EQ(RemoveStaleAtomicWriteTemps(t.path().string(), 60), 2);
  for (const Case& c : cases) EXPECT_EQ(fs::exists(t / c.name), !c.removed) << c.name;
  EXPECT_TRUE(fs::is_directory(t / "dir.tmp-ABCDEF"));
  EXPECT_TRUE(fs::is_symlink(t / "link.tmp-QWERTY"));
  EXPECT_EQ(test::ReadFileBytes(t / "target.txt"), "kept");
  EXPECT_TRUE(fs::exists(t / "Style/a.ini.tmp-AAAAAA"));
  EXPECT_EQ(RemoveStaleAtomicWriteTemps((t / "Style").string(), 60), 1);
  EXPECT_FALSE(fs::exists(t / "Style/a.ini.tmp-AAAAAA"));
  EXPECT_EQ(RemoveStaleAtomicWriteTemps((t / "missing").string(), 60), 0);
}

}  // namespace
}  // namespace yomira
