#include "platform/file/regular_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "support/test_support.h"

namespace yomira {
namespace {

TEST(ReadRegularFile, ReadsARegularFileWhole) {
  test::TempDir dir;
  const std::string data = std::string("a\0b", 3) + std::string(100000, 'x');
  std::ofstream(dir / "f.txt", std::ios::binary) << data;
  std::string out = "old";
  EXPECT_EQ(ReadRegularFile(dir / "f.txt", 1 << 20, out), ReadFileStatus::Ok);
  EXPECT_EQ(out, data);
  EXPECT_EQ(ReadRegularFile(dir / "f.txt", data.size(), out), ReadFileStatus::Ok);
  EXPECT_EQ(ReadRegularFile(dir / "f.txt", data.size() - 1, out), ReadFileStatus::TooLarge);
}

TEST(ReadRegularFile, RefusesAnythingElseAndLeavesOutUntouched) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  {
    std::ofstream f(dir / "sparse", std::ios::binary);
  }
  ASSERT_EQ(::truncate((dir / "sparse").c_str(), 300ll << 20), 0);
  struct Case {
    std::string path;
    ReadFileStatus status;
  };
  const Case cases[] = {
      {dir / "missing", ReadFileStatus::Missing},
      {dir.path(), ReadFileStatus::NotRegular},
      {dir / "fifo", ReadFileStatus::NotRegular},  // would block without O_NONBLOCK
      {"/dev/zero", ReadFileStatus::NotRegular},
      {dir / "sparse", ReadFileStatus::TooLarge},
      {"", ReadFileStatus::Missing},
  };
  for (const auto& c : cases) {
    std::string out = "untouched";
    EXPECT_EQ(ReadRegularFile(c.path, 256ull << 20, out), c.status) << c.path;
    EXPECT_EQ(out, "untouched");
  }
}

}  // namespace
}  // namespace yomira
