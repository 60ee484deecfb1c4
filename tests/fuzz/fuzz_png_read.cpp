// libFuzzer entry for the PNG reader; also linked into the plain replay driver.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/png_fuzz_one.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problem = yomira::test::FuzzPngOne(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "fuzz_png_read: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
