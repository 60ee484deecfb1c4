// Opening benchmark: OpenFileItem on 2 MB of Shift-JIS and of UTF-8 text, and OpenDirectory
// listing and sorting 10,000 listed files by time. The host does nothing, so the figures are
// the opening road alone (read, decode, history), without any layout.
// Build in Release (build-release/) and read the figures; times are the best of five runs.
#include <sys/time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/core/option_defaults.h"
#include "platform/text/utf8.h"
#include "sources/document_sources.h"
#include "tools/null_sources_host.h"

namespace {

using namespace yomira;
using Clock = std::chrono::steady_clock;

class NullHost : public tools::NullSourcesHost {
 public:
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
};

template <typename F>
double BestOfFive(F&& run) {
  double best = 0;
  for (int i = 0; i < 5; ++i) {
    const auto start = Clock::now();
    run();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (i == 0 || ms < best) best = ms;
  }
  return best;
}

void WriteFile(const std::string& path, const std::string& data) { std::ofstream(path, std::ios::binary) << data; }

}  // namespace

int main() {
  char tmpl[] = "/tmp/open_bench-XXXXXX";
  if (!::mkdtemp(tmpl)) return 1;
  const std::string dir = tmpl;
  ::setenv("YOMIRA_HOME", (dir + "/home").c_str(), 1);

  const std::string line = "　吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。｜何《なん》でも薄暗い\n";
  std::string utf8;
  std::string sjis;
  const std::string sjisLine = Utf8ToCp932(line);
  while (utf8.size() < (2u << 20)) utf8 += line;
  while (sjis.size() < (2u << 20)) sjis += sjisLine;
  WriteFile(dir + "/sjis.txt", sjis);
  WriteFile(dir + "/utf8.txt", utf8);

  OwnedSourcesFields fields;
  fields.Option = DefaultOptions();
  NullHost host;
  DocumentSources sources(fields.Fields(), host);
  const auto open = [&](const std::string& path) {
    TFileItem item;
    item.Path = path;
    sources.OpenFileItem(item, false, -1, 0, false, true);
  };

  std::printf("OpenFileItem, 2 MB Shift-JIS (%zu bytes): %.2f ms (target <= 25)\n", sjis.size(),
              BestOfFive([&] { open(dir + "/sjis.txt"); }));
  std::printf("  code page %d, %zu lines\n", fields.DocumentCodePage, fields.SourceLines.size());
  std::printf("OpenFileItem, 2 MB UTF-8 (%zu bytes): %.2f ms (target <= 40)\n", utf8.size(),
              BestOfFive([&] { open(dir + "/utf8.txt"); }));
  std::printf("  code page %d, %zu lines\n", fields.DocumentCodePage, fields.SourceLines.size());

  // 10,000 listed files of one byte with distinct times, plus as many unlisted ones.
  const std::string folder = dir + "/many";
  std::filesystem::create_directory(folder);
  for (int i = 0; i < 10000; ++i) {
    const std::string name = folder + "/" + std::to_string((i * 7919) % 10000) + ".txt";
    WriteFile(name, "x");
    const timeval times[2] = {{1600000000 + i * 60, 0}, {1600000000 + i * 60, 0}};
    ::utimes(name.c_str(), times);
    WriteFile(folder + "/" + std::to_string(i) + ".log", "x");
  }
  host.order = {.OrderUp = false, .OrderName = false, .OrderExt = false, .OrderTime = true};
  const double whole = BestOfFive([&] { sources.OpenDirectory(folder, 0, -1); });
  const double one = BestOfFive([&] { open(folder + "/0.txt"); });
  std::printf("OpenDirectory, 10,000 listed files by time: %.2f ms, the open of one file (%.2f ms) excluded: %.2f ms "
              "(target <= 150)\n",
              whole, one, whole - one);
  std::printf("  opened %s\n", fields.RecentFiles.empty() ? "-" : fields.RecentFiles[0]->Path.c_str());

  std::filesystem::remove_all(dir);
  return 0;
}
