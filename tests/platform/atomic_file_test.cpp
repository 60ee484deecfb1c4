#include "platform/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

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

}  // namespace
}  // namespace yomira
