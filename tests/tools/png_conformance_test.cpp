// png_conformance over crafted files: a header that claims a giant picture is refused by the
// reference before it allocates, reported, and the run goes on to the next file.
#include <filesystem>
#include <fstream>
#include <string>

#include "png/png_builder.h"
#include "support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;
using namespace test::png;

test::CommandRun RunConformance(const fs::path& dir) {
  return test::RunCommand(test::ShellQuote(PNG_CONFORMANCE_PATH) + " " + test::ShellQuote(dir.string()) + " 2>&1");
}

TEST(PngConformance, AGiantHeaderIsTooLargeForTheReferenceAndTheRunGoesOn) {
  test::TempDir dir;
  // 65535 × 100000 RGBA: 26 GB if anyone sized a buffer from it.
  std::ofstream(dir / "giant.png", std::ios::binary)
      << Signature() + IHDR(65535, 100000, 8, 6) + Chunk("IDAT", Deflate(std::string(5, '\0'))) + IEND();
  fs::copy_file(test::TestData("png/pngsuite/basn0g01.png"), dir / "ok.png");

  std::ofstream(dir / "expected-errors.tsv") << "giant.png\tRead Header(PNG): Error Size\n";
  test::CommandRun r = RunConformance(dir.path());
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("PASS invalid giant.png \"Read Header(PNG): Error Size\" reference: too large\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("PASS valid ok.png 32x32\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("2 passed, 0 failed"), std::string::npos) << r.out;

  // Expected to decode, it fails as any other file would, and the next one is still read.
  std::ofstream(dir / "expected-errors.tsv", std::ios::trunc) << "";
  r = RunConformance(dir.path());
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("FAIL valid giant.png reference: too large\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("PASS valid ok.png 32x32\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace yomira
