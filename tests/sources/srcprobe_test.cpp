// srcprobe is what later acceptance checks run; its output forms are pinned here.
#include <sys/wait.h>

#include <QBuffer>
#include <QImage>

#include <cstdio>
#include <fstream>

#include "support/test_support.h"

namespace yomira {
namespace {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class SrcprobeTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args) {
    std::string cmd = Quote(SRCPROBE_PATH);
    for (const auto& a : args) cmd += " " + Quote(a);
    const std::string errPath = dir_ / "stderr";
    cmd += " 2>" + Quote(errPath) + " </dev/null";
    Result r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = test::ReadFileBytes(errPath);
    return r;
  }
  std::string Write(const std::string& name, const std::string& data) {
    const std::string path = dir_ / name;
    std::ofstream(path, std::ios::binary) << data;
    return path;
  }
  test::TempDir dir_;
};

TEST_F(SrcprobeTest, DetectPrintsCodePagesAndEscapedPaths) {
  const std::string sjis = Write("a.txt", "hello");
  const std::string euc = Write("tab\tname.txt", std::string(5000, '\xA4') + "\xA2");
  const Result r = Run({"detect", sjis, euc});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "932 " + sjis + "\n51932 " + (dir_ / "tab\\tname.txt").string() + "\n");
  const Result missing = Run({"detect", sjis, dir_ / "missing"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "932 " + sjis + "\nerror " + (dir_ / "missing").string() + "\n");
}

TEST_F(SrcprobeTest, DecodeWritesRawLinesAndASummary) {
  const std::string path = Write("u.txt", "\xEF\xBB\xBF\xE3\x81\x82\r\nb");
  const Result r = Run({"decode", "--cc", "6", "--", path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(test::hex(r.out), test::hex("\x82\xA0\nb\n"));
  EXPECT_EQ(r.err, "codepage -65001 lines 2\n");
  const Result missing = Run({"decode", dir_ / "none"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "error " + (dir_ / "none").string() + "\n");
  EXPECT_EQ(missing.out, "");
}

TEST_F(SrcprobeTest, PictureReportsSizeAndPixels) {
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(qRgb(0x12, 0x34, 0x56));
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(image.save(&buffer, "BMP"));
  const std::string path = Write("p.bmp", data.toStdString());
  const Result r = Run({"picture", "--pixel", "2,1", "--pixel", "3,0", path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "ok 3 2 2,1=ff123456 3,0=none\n");
  const Result fail = Run({"picture", Write("p.png", data.toStdString())});
  EXPECT_EQ(fail.status, 1);
  EXPECT_EQ(fail.out, "fail\n");
  const Result res = Run({"picture", "--resource", "IMG_EMPHASIS", "--type", "BMP"});
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out, "fail\n");
}

TEST_F(SrcprobeTest, UsageErrorsExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"bogus"},
      {"detect"},
      {"detect", "--nope", "x"},
      {"decode", "--cc"},
      {"decode", "--cc", "x", "f"},
      {"decode", "a", "b"},
      {"picture", "--pixel", "1", "f"},
      {"picture"},
      {"picture", "--type", "GIF", "f"},
  };
  for (const auto& args : cases) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
    EXPECT_NE(r.err.find("usage: srcprobe"), std::string::npos) << ::testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace yomira
