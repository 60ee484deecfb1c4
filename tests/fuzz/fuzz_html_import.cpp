// libFuzzer entry for the HTML import; also linked into the plain replay driver.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/html_fuzz_one.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problem = yomira::test::FuzzHtmlOne(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "fuzz_html_import: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
