// Page-turn frames at full-HD size: time of one DrawTurnStep (our pixel work only, without
// the repaint) per kind, median and maximum over 20 turns of 12 frames (Quality 4).
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "engine/render/PageTurn.h"

namespace {

QImage Noise(int w, int h, unsigned seed) {
  QImage img(w, h, QImage::Format_RGB32);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) row[x] = 0xFF000000u | (rng() & 0xFFFFFFu);
  }
  return img;
}

}  // namespace

int main() {
  using namespace yomira;
  const int n = 12, turns = 20;
  for (const QSize size : {QSize(1920, 1080), QSize(1919, 1080)}) {
    const QImage newPage = Noise(size.width(), size.height(), 1), oldPage = Noise(size.width(), size.height(), 2);
    for (int kind = 1; kind <= 4; ++kind) {
      std::vector<double> us;
      std::vector<double> best;  // per step, the fastest of the turns: robust on a busy machine
      for (int t = 0; t < turns; ++t) {
        QImage dst = oldPage.copy();
        for (int s = 0;; ++s) {
          const auto t0 = std::chrono::steady_clock::now();
          const TurnStepResult r = DrawTurnStep(kind, s, n, dst, newPage, oldPage);
          const auto t1 = std::chrono::steady_clock::now();
          const double d = std::chrono::duration<double, std::micro>(t1 - t0).count();
          us.push_back(d);
          if (size_t(s) >= best.size()) best.push_back(d);
          best[s] = std::min(best[s], d);
          if (r.ended) break;
        }
      }
      std::sort(us.begin(), us.end());
      const auto worst = std::max_element(best.begin(), best.end());
      std::printf("turn %dx%d kind %d: %zu frames, frame_us median %.0f, p95 %.0f, max %.0f; "
                  "slowest step %td at best %.0f\n",
                  size.width(), size.height(), kind, us.size(), us[us.size() / 2], us[us.size() * 95 / 100],
                  us.back(), worst - best.begin(), *worst);
    }
  }
  return 0;
}
