// Replays fuzz inputs without libFuzzer: every regular file under the given paths goes
// through LLVMFuzzerTestOneInput once (a problem aborts). Prints how many were run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const fs::path p = argv[i];
    if (fs::is_directory(p)) {
      for (const auto& e : fs::recursive_directory_iterator(p))
        if (e.is_regular_file()) files.push_back(e.path());
    } else if (fs::is_regular_file(p)) {
      files.push_back(p);
    }
  }
  for (const auto& f : files) {
    std::ifstream in(f, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Each file under every option byte: the file as is, with each option appended.
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    for (int opt = 0; opt < 8; ++opt) {
      // The reading options in the low bits; a filter and interlace for the save behind them.
      const int save = (opt % 6) << 3 | ((opt & 1) ? 0x40 : 0);
      std::string withOpt = bytes + static_cast<char>(opt | save);
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(withOpt.data()), withOpt.size());
    }
  }
  std::printf("%s: %zu inputs, each under 9 option bytes\n", fs::path(argv[0]).filename().c_str(), files.size());
  return files.empty() ? 1 : 0;
}
