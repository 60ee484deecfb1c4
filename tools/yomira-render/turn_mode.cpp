#include "turn_mode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "engine/render/Fitting.h"
#include "engine/render/PageTurn.h"
#include "image_io.h"
#include "platform/text/utf8.h"

namespace yomira::tools {

namespace {

int64_t Median(std::vector<int64_t> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t k = v.size() / 2;
  return v.size() % 2 ? v[k] : (v[k - 1] + v[k]) / 2;
}

std::string FrameLine(int32_t s, const QRect& dirty) {
  // Right and bottom exclusive; an empty rectangle repaints nothing.
  char buf[96];
  if (dirty.isEmpty())
    std::snprintf(buf, sizeof buf, "%d 0 0 0 0\n", s);
  else
    std::snprintf(buf, sizeof buf, "%d %d %d %d %d\n", s, dirty.left(), dirty.top(), dirty.left() + dirty.width(),
                  dirty.top() + dirty.height());
  return buf;
}

// A whole decimal int32, optionally negative.
bool ParseInt(const std::string& text, int32_t& value) {
  if (text.empty() || text.size() > 11) return false;
  size_t at = text[0] == '-' ? 1 : 0;
  if (at == text.size()) return false;
  int64_t v = 0;
  for (; at < text.size(); ++at) {
    if (text[at] < '0' || text[at] > '9') return false;
    v = v * 10 + (text[at] - '0');
  }
  if (text[0] == '-') v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = int32_t(v);
  return true;
}

}  // namespace

bool ParseTurnHintArg(const std::vector<std::string>& args, size_t& i, TurnHintArgs& out, std::string& error) {
  const std::string& a = args[i];
  if (a != "--turn" && a != "--frames-dir" && a != "--hint") return false;
  if (i + 1 >= args.size()) {
    error = a + " needs a value";
    return false;
  }
  const std::string& v = args[++i];
  if (a == "--turn") {
    if (v != "next" && v != "back") {
      error = "--turn takes next or back, not " + v;
      return false;
    }
    out.turnNext = v == "next";
  } else if (a == "--frames-dir") {
    if (v.empty()) {
      error = "--frames-dir needs a folder";
      return false;
    }
    out.framesDir = v;
  } else {
    const size_t comma = v.find(',');
    if (comma == std::string::npos || !ParseInt(v.substr(0, comma), out.hintX) ||
        !ParseInt(v.substr(comma + 1), out.hintY)) {
      error = "--hint takes X,Y, not " + v;
      return false;
    }
    out.hint = true;
  }
  return true;
}

std::string CheckTurnHintArgs(const TurnHintArgs& args) {
  if (args.turnNext && args.framesDir.empty()) return "--turn needs --frames-dir";
  if (!args.turnNext && !args.framesDir.empty()) return "--frames-dir needs --turn";
  if (args.turnNext && args.hint) return "--turn and --hint do not go together";
  return "";
}

int32_t ChooseTurnKind(const TYomiraOption& option, bool next) {
  if (!option.page_ani) return kTurnNone;
  if (option.Page == 2) return next ? kTurnSpreadNext : kTurnSpreadBack;
  return next ? kTurnNext : kTurnBack;
}

int RunTurn(const TYomiraOption& option, const TurnRun& run, const DrawViewFn& draw, TurnReport& report,
            std::string& error) {
  const int64_t from = run.next ? int64_t{run.view} - 1 : int64_t{run.view} + 1;
  if (run.view < 1 || run.view > run.viewCount || from < 1 || from > run.viewCount) {
    error = "no view " + std::to_string(from) + " to turn from to view " + std::to_string(run.view) + " (views: " +
            std::to_string(run.viewCount) + ")";
    return 2;
  }
  const QImage shown = draw(int32_t(from));
  const QImage page = draw(run.view);
  if (shown.isNull() || page.isNull()) {
    error = "cannot draw view " + std::to_string(shown.isNull() ? from : run.view);
    return 2;
  }
  std::error_code ec;
  const std::filesystem::path dir(run.framesDir);
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir)) {
    error = "cannot create " + run.framesDir;
    return 2;
  }

  report.kind = ChooseTurnKind(option, run.next);
  report.n = option.GetAnimationFrames();
  report.width = page.width();
  report.height = page.height();
  // Kinds 2 to 4 keep a copy of the picture shown before; kind 1 never reads it.
  const QImage prev = report.kind >= kTurnBack ? shown.copy() : QImage();

  std::vector<int64_t> times;
  std::string lines;
  for (int32_t pass = 0; pass <= std::max(run.bench, 0); ++pass) {
    const bool writing = pass == 0;
    const bool timing = run.bench > 0 ? pass > 0 : true;
    QImage dst = shown.copy();
    int32_t frames = 0;
    for (int32_t s = 0; s < 1000; ++s) {
      const auto t0 = std::chrono::steady_clock::now();
      const TurnStepResult r = DrawTurnStep(report.kind, s, report.n, dst, page, prev);
      const auto t1 = std::chrono::steady_clock::now();
      if (timing) times.push_back((std::chrono::duration_cast<std::chrono::nanoseconds>(t1 - t0).count() + 500) / 1000);
      ++frames;
      if (writing) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%02d.png", s);
        if (!SavePng(dst, (dir / name).string(), error)) return 2;
        lines += FrameLine(s, r.dirty);
      }
      if (r.ended) break;
    }
    if (writing) report.frames = frames;
  }
  if (!SaveText(lines, (dir / "frames.txt").string(), error)) return 2;
  report.frameUsMedian = Median(times);
  report.frameUsMax = times.empty() ? 0 : *std::max_element(times.begin(), times.end());
  return 0;
}

std::string TurnReportJson(const TurnReport& r) {
  char buf[256];
  std::snprintf(buf, sizeof buf,
                "{\"kind\":%d,\"n\":%d,\"frames\":%d,\"width\":%d,\"height\":%d,\"frame_us_median\":%lld,"
                "\"frame_us_max\":%lld}",
                r.kind, r.n, r.frames, r.width, r.height, static_cast<long long>(r.frameUsMedian),
                static_cast<long long>(r.frameUsMax));
  return buf;
}

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (const char ch : utf8) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string HintJson(const TYomiraOption& option, int32_t panelWidth, const TPageAnnotation& annotations, int32_t x,
                     int32_t y) {
  const std::optional<AnnotationCell> hit = HitTestAnnotation(option, panelWidth, x, y);
  if (!hit) return "{\"hit\":null,\"text\":\"\"}";
  int32_t index = -1;
  const std::string text = annotations.Get(hit->cell, hit->line, hit->page, hit->block, index);
  char buf[160];
  std::snprintf(buf, sizeof buf, "{\"hit\":{\"cell\":%d,\"line\":%d,\"page\":%d,\"block\":%d},\"text\":", hit->cell,
                hit->line, hit->page, hit->block);
  return buf + JsonString(Cp932ToUtf8(text)) + "}";
}

}  // namespace yomira::tools
