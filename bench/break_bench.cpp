// Paragraph breaking speed. Build in Release (build-release/) and read the figures:
//   break_bench [rashomon.txt]
// 1. 2 MB of plain text (the sample repeated), one paragraph per source line.
// 2. One 200 KB paragraph with an element boundary every 10 characters.
// 3. SetSize and Clear of the largest annotation grid.
// Each figure is the best of several runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/core/display_line.h"
#include "engine/core/line_break.h"
#include "engine/core/annotation_map.h"
#include "engine/core/option.h"
#include "engine/core/option_defaults.h"
#include "platform/text/cp932.h"

#ifndef YOMIRA_SOURCE_DIR
#define YOMIRA_SOURCE_DIR "."
#endif

namespace {

using namespace yomira;

constexpr int kRuns = 7;

// Best time in milliseconds of kRuns calls of run; prepare runs untimed before each.
double BestMs(const std::function<void()>& prepare, const std::function<void()>& run) {
  double best = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : YOMIRA_SOURCE_DIR "/resources/sample/rashomon.txt";
  std::ifstream in(path, std::ios::binary);
  const std::string sample((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    std::fprintf(stderr, "break_bench: cannot read %s\n", path.c_str());
    return 1;
  }
  const SourceLines sample_lines = SplitLines(sample);
  if (sample_lines.empty()) {
    std::fprintf(stderr, "break_bench: %s holds no text\n", path.c_str());
    return 1;
  }
  const TYomiraOption option = DefaultOptions();  // 32 characters a line, strict kinsoku

  // 1. 2 MB of plain text, one paragraph per line.
  SourceLines sources;
  size_t bytes = 0;
  while (bytes < 2u * 1024 * 1024) {
    for (const std::string& line : sample_lines) {
      sources.push_back(line);
      bytes += line.size();
    }
  }
  DisplayLines lines;
  const double plain_ms = BestMs([&] { lines = DisplayLines(); }, [&] {
    std::vector<TYomiraObject> elements;
    for (size_t i = 0; i < sources.size(); ++i) {
      const std::string& text = sources[i];
      AddElement(elements, {.kind = kText, .first = static_cast<int32_t>(i), .column = 1,
                            .length = static_cast<int32_t>(text.size())});
      BreakParagraph(elements, text, static_cast<int32_t>(i), 0, 0, option, lines);
    }
  });
  std::printf("2 MB plain text: %zu bytes, %zu paragraphs, %zu display lines: %.2f ms\n", bytes,
              sources.size(), lines.size(), plain_ms);

  // 2. One 200 KB paragraph, an element boundary every 10 characters.
  std::string paragraph;
  while (paragraph.size() < 200u * 1024)
    for (const std::string& line : sample_lines) paragraph += line;
  const SourceLines one = {paragraph};
  std::vector<TYomiraObject> parts;
  const int len = static_cast<int>(paragraph.size());
  for (int pos = 1, start = 1, chars = 0; pos <= len; ) {
    pos = NextChar(paragraph, pos);
    if (++chars % 10 == 0 || pos > len) {
      AddElement(parts, {.kind = kText, .column = start, .length = pos - start});
      start = pos;
    }
  }
  const std::string text = GetLineText(parts, one);
  std::vector<TYomiraObject> elements;
  const double long_ms = BestMs(
      [&] {
        elements = parts;
        lines = DisplayLines();
      },
      [&] { BreakParagraph(elements, text, 0, 0, 0, option, lines); });
  std::printf("200 KB paragraph: %zu bytes, %zu elements, %zu display lines: %.2f ms\n", text.size(),
              parts.size(), lines.size(), long_ms);

  // 3. The largest annotation grid: 8 pages, 8 blocks, 256 lines, 512 + 3 cells.
  TPageAnnotation map;
  const double size_ms = BestMs([&] { map = TPageAnnotation(); }, [&] { map.SetSize(512, 256, 8, 8); });
  const double clear_ms = BestMs([] {}, [&] { map.Clear(); });
  std::printf("annotation grid 8x8x256x515 (%.2f MB): SetSize %.2f ms, Clear %.2f ms\n",
              8.0 * 8 * 256 * 515 * 4 / 1e6, size_ms, clear_ms);
  return 0;
}
