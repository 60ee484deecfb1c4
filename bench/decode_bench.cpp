// decode_bench: DecodeText on 20 MB inputs made in memory, best of 5 runs.
// Build in Release (build-release/) and read the figures; nothing here is asserted.
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/text/iconv_convert.h"
#include "sources/codepage.h"

namespace {

constexpr size_t kTarget = 20u << 20;

std::string Encode(const char* to, const std::string& utf8) {
  yomira::IconvResult r = yomira::IconvConvert(to, "UTF-8", utf8, [](const unsigned char*, size_t) -> size_t {
    throw std::runtime_error("the benchmark text does not encode");
  });
  if (r.status != yomira::IconvStatus::Ok) throw std::runtime_error(std::string("no iconv for ") + to);
  return std::move(r.out);
}

// The round-trip line repeated until its encoding in `to` reaches 20 MB.
std::string Input(const char* to, const std::string& line) {
  const std::string unit = Encode(to, line);
  std::string out;
  out.reserve(kTarget + unit.size());
  while (out.size() < kTarget) out += unit;
  return out;
}

void Measure(const char* name, const std::string& data, int charCode) {
  double best = 1e30;
  size_t lines = 0;
  int cp = 0;
  for (int run = 0; run < 5; ++run) {
    std::vector<std::string> out;
    const auto t0 = std::chrono::steady_clock::now();
    cp = yomira::DecodeText(out, data, charCode);
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
    lines = out.size();
  }
  std::printf("%-40s %8.1f ms %8.1f MB/s  (code page %d, %zu lines, %.1f MB)\n", name, best,
              data.size() / 1e6 / (best / 1e3), cp, lines, data.size() / 1e6);
}

}  // namespace

int main() {
  const std::string line = "吾輩は猫である。名前はまだ無い。①〜―ｶﾅ どこで生れたかとんと見当がつかぬ。\r\n";
  const std::string jisLine = "吾輩は猫である。名前はまだ無い。〜― どこで生れたかとんと見当がつかぬ。\r\n";
  const std::string utf8 = Input("UTF-8", line);
  std::string broken = utf8;
  for (size_t i = 50; i < broken.size(); i += 100) broken[i] = '\xFF';

  Measure("auto, Shift-JIS (detection + split)", Input("CP932", line), yomira::ccAuto);
  Measure("auto, UTF-8 without BOM", utf8, yomira::ccAuto);
  Measure("auto, EUC-JP", Input("EUC-JP-MS", line), yomira::ccAuto);
  Measure("choice 3, ISO-2022-JP", Input("ISO-2022-JP", jisLine), yomira::ccIso2022Jp);
  Measure("choice 6, UTF-8 with 1 bad byte per 100", broken, yomira::ccUtf8N);
  Measure("choice 6, UTF-8 clean", utf8, yomira::ccUtf8N);
  return 0;
}
