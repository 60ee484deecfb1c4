// Conversion benchmark: the body of the bundled sample repeated to 2 MB, converted and
// broken with the default options; the re-wrap in both modes; and one long paragraph with a
// ruby every 10 characters at two sizes, whose times should grow linearly; and one paragraph of
// n emphasis or side-line notes, whose time per note should stay flat as n grows.
// Build in Release (build-release/) and read the figures; times are the best of three runs.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/core/convert.h"
#include "engine/core/option_defaults.h"
#include "engine/core/rewrap.h"
#include "engine/core/special_lines.h"
#include "platform/text/cp932.h"

namespace {

using namespace yomira;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

size_t CountElements(const DisplayLines& lines) {
  size_t n = 0;
  for (const TYomiraLine& line : lines) n += line.elements.size();
  return n;
}

// The best of three runs, so that a busy machine disturbs the figure less.
double TimeConvert(const TYomiraOption& option, const SourceLines& source, ConvertSwitches switches,
                   ConvertResult* out = nullptr, NotationHooks* hooks = nullptr) {
  double best = 0;
  for (int run = 0; run < 3; ++run) {
    const auto start = Clock::now();
    Converter converter(option, source, switches);
    ConvertResult result = converter.ConvertText("bench", nullptr, hooks);
    const double ms = MsSince(start);
    if (run == 0 || ms < best) best = ms;
    if (out) *out = std::move(result);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : YOMIRA_SOURCE_DIR "/resources/sample/rashomon.txt";
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "convert_bench: cannot read %s\n", path.c_str());
    return 1;
  }
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const SourceLines sample = SplitLines(file);
  if (sample.size() < 54) {
    std::fprintf(stderr, "convert_bench: %s has fewer than 54 lines\n", path.c_str());
    return 1;
  }
  const TYomiraOption option = DefaultOptions();
  const ConvertSwitches defaults{.autoIndent = option.aut_indent != 0, .reWrap = option.re_wrap != 0,
                                 .toRuby = option.toRuby != 0};

  // The body (source lines 17-53) repeated to 2 MB.
  SourceLines source;
  size_t bytes = 0;
  while (bytes < 2u << 20) {
    for (size_t i = 17; i <= 53; ++i) {
      source.push_back(sample[i]);
      bytes += sample[i].size() + 2;
    }
  }
  ConvertResult result;
  const double ms = TimeConvert(option, source, defaults, &result);
  std::printf("convert: %.2f MB, %zu source lines, %zu display lines, %zu elements, %.1f ms, peak %ld KB\n",
              static_cast<double>(bytes) / (1 << 20), source.size(), result.lines.size(),
              CountElements(result.lines), ms, PeakRssKb());

  // The same text hard-wrapped at 60 bytes (never inside a character), as the re-wrap expects.
  SourceLines wrapped;
  for (const std::string& paragraph : source) {
    int pos = 1;
    const int len = static_cast<int>(paragraph.size());
    do {
      int end = pos;
      while (end <= len && end - pos < 60) end = NextChar(paragraph, end);
      wrapped.push_back(Copy(paragraph, pos, end - pos));
      pos = end;
    } while (pos <= len);
  }
  for (int type : {0, 1}) {
    TYomiraOption mode = option;
    mode.ReWrapType = type;
    for (const SourceLines* text : {&source, &wrapped}) {
      auto start = Clock::now();
      const std::vector<uint8_t> joins = ReWrapLines(mode, *text, false);
      const double rewrapMs = MsSince(start);
      size_t joined = 0;
      for (uint8_t j : joins) joined += j != 0;
      ConvertResult rewrapped;
      const double convertMs = TimeConvert(mode, *text, {.reWrap = true}, &rewrapped);
      std::printf("rewrap %s, %s: %zu lines, %.1f ms, %zu joins; convert with it %.1f ms, %zu display lines\n",
                  type ? "compel" : "fixed", text == &source ? "paragraph lines" : "hard-wrapped at 60 bytes",
                  text->size(), rewrapMs, joined, convertMs, rewrapped.lines.size());
    }
  }

  // One paragraph: ten characters of text, then a ruby, over and over.
  const std::string unit = std::string("\x8a\xbf\x8e\x9a", 4) + std::string(16, 'a') +
                           std::string("\x81\x73\x82\xa9\x82\xf1\x81\x74", 8);
  for (size_t kb : {100, 200}) {
    std::string line;
    while (line.size() < kb * 1024) line += unit;
    const SourceLines one = {line};
    const double paragraphMs = TimeConvert(option, one, defaults, &result);
    std::printf("paragraph %zu KB with a ruby every 10 characters: %.2f ms, %zu display lines\n", kb,
                paragraphMs, result.lines.size());
  }

  // One paragraph of n times 漢［＃「漢」に傍点］ (or に傍線), with the notation's notes applied.
  const std::string kan = "\x8a\xbf";
  const std::string dot = kan + "\x81\x6d\x81\x94\x81\x75" + kan + "\x81\x76\x82\xc9\x96\x54\x93\x5f\x81\x6e";
  const std::string side = kan + "\x81\x6d\x81\x94\x81\x75" + kan + "\x81\x76\x82\xc9\x96\x54\x90\xfc\x81\x6e";
  for (const std::string* note : {&dot, &side}) {
    for (int n : {5000, 10000, 20000}) {
      std::string line;
      line.reserve(note->size() * static_cast<size_t>(n));
      for (int k = 0; k < n; ++k) line += *note;
      SpecialLines hooks;
      const double notesMs = TimeConvert(option, {line}, defaults, &result, &hooks);
      std::printf("notes %s x %d (%zu KB): %.2f ms, %.3f us per note, %zu elements\n",
                  note == &dot ? "emphasis" : "side line", n, line.size() / 1024, notesMs, notesMs * 1000 / n,
                  CountElements(result.lines));
    }
  }
  return 0;
}
