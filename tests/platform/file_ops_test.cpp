#include "platform/file/file_ops.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;

TEST(FileOps, DirectoryQuestionFollowsLinksAndNeverThrows) {
  test::TempDir t;
  fs::create_directory(t / "d");
  std::ofstream(t / "f") << "x";
  fs::create_directory_symlink(t / "d", t / "link");
  EXPECT_TRUE(IsExistingDirectory((t / "d").string()));
  EXPECT_TRUE(IsExistingDirectory((t / "link").string()));
  EXPECT_FALSE(IsExistingDirectory((t / "f").string()));
  EXPECT_FALSE(IsExistingDirectory((t / "missing").string()));
  EXPECT_FALSE(IsExistingDirectory(""));
  EXPECT_FALSE(IsExistingDirectory(std::string(5000, 'a')));
}

TEST(FileOps, DeleteRemovesFilesOnly) {
  test::TempDir t;
  std::ofstream(t / "f") << "x";
  fs::create_directory(t / "d");
  EXPECT_TRUE(DeleteFileIfExists((t / "f").string()));
  EXPECT_FALSE(fs::exists(t / "f"));
  EXPECT_FALSE(DeleteFileIfExists((t / "f").string()));
  EXPECT_FALSE(DeleteFileIfExists((t / "d").string()));
  EXPECT_TRUE(fs::exists(t / "d"));
}

}  // namespace
}  // namespace yomira
