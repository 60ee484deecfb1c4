// Relayout benchmark, with hosts that do nothing: a rebuild of the bundled sample's body
// repeated to 1 MB, a font-size change without conversion (the engine's own part), and the
// conversion with the special lines on 2 MB. Build in Release (build-release/) and read the
// figures; each is the best of five runs.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/core/engine.h"
#include "engine/core/option_defaults.h"
#include "engine/core/special_lines.h"
#include "platform/text/cp932.h"
#include "tools/null_engine_host.h"

namespace {

using namespace yomira;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename F>
double Best(int runs, F&& run) {
  double best = 0;
  for (int k = 0; k < runs; ++k) {
    const auto start = Clock::now();
    run();
    const double ms = MsSince(start);
    if (k == 0 || ms < best) best = ms;
  }
  return best;
}

// The body (source lines 17-53) repeated to at least size bytes.
SourceLines Body(const SourceLines& sample, size_t size, size_t& bytes) {
  SourceLines out;
  bytes = 0;
  while (bytes < size) {
    for (size_t i = 17; i <= 53; ++i) {
      out.push_back(sample[i]);
      bytes += sample[i].size() + 2;
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : YOMIRA_SOURCE_DIR "/resources/sample/rashomon.txt";
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "relayout_bench: cannot read %s\n", path.c_str());
    return 1;
  }
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const SourceLines sample = SplitLines(file);
  if (sample.size() < 54) {
    std::fprintf(stderr, "relayout_bench: %s has fewer than 54 lines\n", path.c_str());
    return 1;
  }

  EngineState state;
  state.option = DefaultOptions();
  size_t bytes = 0;
  state.sourceLines = Body(sample, 1u << 20, bytes);
  state.documentName = "bench.txt";
  state.documentLoaded = true;
  tools::NullEngineHost host;
  tools::NullRenderStages stages;
  Engine engine(state, host, stages);

  const double rebuildMs = Best(5, [&] { engine.Relayout(false, true); });
  std::printf("Relayout(false, true): %.2f MB, %zu source lines, %zu display lines, %.1f ms\n",
              static_cast<double>(bytes) / (1 << 20), state.sourceLines.size(), state.displayLines.size(),
              rebuildMs);

  int step = 0;
  const double geometryMs = Best(5, [&] {
    state.option.f_size = 14 + (step++ % 2) * 2;  // a font-size change
    state.pendingRate = 5000;
    engine.Relayout(true, false);
  });
  std::printf("Relayout(true, false), font size change: %.3f ms, view %d of %d\n", geometryMs, state.currentPage,
              state.option.GetViewCount(state.displayLines));

  const SourceLines big = Body(sample, 2u << 20, bytes);
  size_t lines = 0;
  const double convertMs = Best(5, [&] {
    SpecialLines hooks;
    ConvertResult result = Converter(state.option, big, {}).ConvertText("bench", nullptr, &hooks);
    lines = result.lines.size();
  });
  std::printf("convert with the special lines: %.2f MB, %zu display lines, %.1f ms\n",
              static_cast<double>(bytes) / (1 << 20), lines, convertMs);
  return 0;
}
