#include "text_mode.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <fstream>
#include <system_error>
#include <vector>

#include "engine/core/engine.h"
#include "engine/render/EmphasisStrip.h"
#include "sources/picture.h"
#include "engine/render/EngineStages.h"
#include "engine/render/FontEngine.h"
#include "engine/render/Renderer.h"
#include "file_render_host.h"
#include "image_io.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "tools/null_engine_host.h"
#include "turn_mode.h"

namespace yomira::tools {

namespace {

constexpr int64_t kMaxTextBytes = int64_t{64} << 20;

// The window and drawing hosts of the harness: nothing on screen, the calls the drawing
// makes remembered for the report.
class HarnessHost : public NullEngineHost, public FileRenderHost {
 public:
  std::string fileName;  // absolute, UTF-8
  int32_t historyRate = -1;

  void setHistoryPosition(int32_t rate) override { historyRate = rate; }
  std::string currentFileName() override { return fileName; }
};

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

bool ReadTextSource(const std::string& path, bool utf8, std::vector<std::string>& lines, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) {
    error = "no such file: " + path;
    return false;
  }
  if (!fs::is_regular_file(status)) {
    error = "not a regular file: " + path;
    return false;
  }
  const auto size = fs::file_size(path, ec);
  if (ec || size > static_cast<uintmax_t>(kMaxTextBytes)) {
    error = "larger than 64 MiB: " + path;
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::string data(static_cast<size_t>(size), '\0');
  if (!in || !in.read(data.data(), static_cast<std::streamsize>(data.size()))) {
    error = "cannot read " + path;
    return false;
  }
  if (utf8) {
    if (data.starts_with("\xEF\xBB\xBF")) data.erase(0, 3);
    data = Utf8ToCp932(data);
  }
  data.erase(std::remove(data.begin(), data.end(), '\0'), data.end());
  lines = SplitLines(data);
  return true;
}

struct TextSession::Impl {
  EngineState state;
  HarnessHost host;
  std::optional<Renderer> renderer;
  std::optional<EngineStages> stages;
  double relayoutMs = 0;
};

TextSession::TextSession() : impl_(std::make_unique<Impl>()) {}
TextSession::~TextSession() = default;
EngineState& TextSession::State() { return impl_->state; }
Renderer& TextSession::GetRenderer() { return *impl_->renderer; }
int32_t TextSession::Views() const { return impl_->state.option.GetViewCount(impl_->state.displayLines); }
int32_t TextSession::HistoryRate() const { return impl_->host.historyRate; }
double TextSession::RelayoutMs() const { return impl_->relayoutMs; }

bool TextSession::Open(const TYomiraOption& option, const TextRun& run, std::string& error) {
  namespace fs = std::filesystem;
  impl_ = std::make_unique<Impl>();
  EngineState& state = impl_->state;
  state.option = option;
  if (!ReadTextSource(run.file, run.utf8, state.sourceLines, error)) return false;
  const TYomiraOption& o = state.option;
  state.switches = ConvertSwitches{.autoIndent = run.momentary.autoIndent || o.aut_indent != 0,
                                   .reWrap = run.momentary.reWrap || o.re_wrap != 0,
                                   .toRuby = run.momentary.toRuby || o.toRuby != 0,
                                   .htmlImported = run.momentary.htmlImported};
  std::error_code ec;
  const fs::path absolute = fs::absolute(run.file, ec).lexically_normal();
  state.documentName = absolute.filename().string();
  state.documentLoaded = true;
  state.currentPage = run.view;

  impl_->host.fileName = absolute.string();
  impl_->renderer.emplace(state.option, impl_->host);
  impl_->stages.emplace(state, *impl_->renderer);
  EngineStages& stages = *impl_->stages;
  const auto t0 = std::chrono::steady_clock::now();
  // An empty file is laid out as the reader lays it out: one empty view, "1 / 1".
  Engine(state, impl_->host, stages).Relayout(true, true);
  impl_->relayoutMs = Ms(std::chrono::steady_clock::now() - t0);
  return true;
}

const QImage& TextSession::DrawView(int32_t view) {
  impl_->state.currentPage = view;
  impl_->stages->DrawSpread();
  return impl_->renderer->Bitmaps().PageBitmap;
}

int RunText(const TYomiraOption& option, const TextRun& run, std::string& error) {
  TextSession session;
  if (!session.Open(option, run, error)) return 2;
  EngineState& state = session.State();
  Renderer& renderer = session.GetRenderer();
  const int32_t views = session.Views();
  const QImage& page = renderer.Bitmaps().PageBitmap;
  if (run.turnHint.turnNext) {
    // The view before and the view turned to, drawn as a page action draws them.
    const DrawViewFn draw = [&](int32_t view) { return session.DrawView(view).copy(); };
    const TurnRun turn{*run.turnHint.turnNext, run.view, views, run.turnHint.framesDir, run.bench};
    TurnReport report;
    if (const int code = RunTurn(state.option, turn, draw, report, error); code != 0) return code;
    std::printf("%s\n", TurnReportJson(report).c_str());
  } else if (run.bench > 0) {
    const int32_t view = state.currentPage;
    renderer.ClearCaches();
    auto s = std::chrono::steady_clock::now();
    session.DrawView(view);
    const double coldMs = Ms(std::chrono::steady_clock::now() - s);
    FontEngine& fonts = FontEngine::Instance();
    const uint64_t hits = fonts.CacheHits(), misses = fonts.CacheMisses();
    std::vector<double> warm;
    for (int32_t i = 0; i < run.bench; ++i) {
      s = std::chrono::steady_clock::now();
      session.DrawView(view);
      warm.push_back(Ms(std::chrono::steady_clock::now() - s));
    }
    std::sort(warm.begin(), warm.end());
    const size_t k = warm.size() / 2;
    const double median = warm.size() % 2 ? warm[k] : (warm[k - 1] + warm[k]) / 2;
    std::printf(
        "{\"views\":%d,\"view\":%d,\"width\":%d,\"height\":%d,\"relayout_ms\":%.3f,\"cold_ms\":%.3f,"
        "\"warm_ms_median\":%.3f,\"warm_ms_max\":%.3f,\"glyph_cache_hits\":%llu,\"glyph_cache_misses\":%llu}\n",
        views, state.currentPage, page.width(), page.height(), session.RelayoutMs(), coldMs, median, warm.back(),
        static_cast<unsigned long long>(fonts.CacheHits() - hits),
        static_cast<unsigned long long>(fonts.CacheMisses() - misses));
  } else {
    const PanelLayout layout = renderer.StoredPanelLayout() ? *renderer.StoredPanelLayout() : PanelLayout{};
    std::printf(
        "{\"views\":%d,\"view\":%d,\"width\":%d,\"height\":%d,\"panel_width\":%lld,\"panel_height\":%lld,"
        "\"label\":\"%d / %d\",\"history_rate\":%d}\n",
        views, state.currentPage, page.width(), page.height(), static_cast<long long>(layout.baseWidth),
        static_cast<long long>(layout.baseHeight), state.currentPage, views, session.HistoryRate());
  }
  if (run.turnHint.hint) {
    const PanelLayout layout = renderer.StoredPanelLayout() ? *renderer.StoredPanelLayout() : PanelLayout{};
    std::printf("%s\n", HintJson(state.option, int32_t(layout.baseWidth), state.annotations, run.turnHint.hintX,
                                  run.turnHint.hintY)
                            .c_str());
  }
  if (run.annotations) {
    // In the order the step to the next annotation takes.
    TPageAnnotation& map = state.annotations;
    map.current = -1;
    int32_t cell = 0, line = 0, pg = 0, block = 0;
    while (map.FindNext(cell, line, pg, block)) {
      int32_t index = -1;
      const std::string text = map.Get(cell, line, pg, block, index);
      if (index < 0) break;
      std::printf("ann page=%d block=%d line=%d cell=%d %s\n", pg, block, line, cell,
                  JsonString(Cp932ToUtf8(text)).c_str());
      map.current = index;
    }
  }
  if (!run.out.empty()) {
    if (page.isNull()) {
      error = "the page is empty";
      return 2;
    }
    if (!SavePng(page, run.out, error)) return 2;
  }
  return 0;
}

}  // namespace yomira::tools
