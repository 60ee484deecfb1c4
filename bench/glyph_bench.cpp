// Glyph engine and background figures (Release build): prints one JSON line.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/option_defaults.h"
#include "engine/core/option_keys.h"
#include "engine/render/FontEngine.h"
#include "engine/render/GlyphDraw.h"
#include "engine/render/Pixels.h"
#include "engine/render/Renderer.h"
#include "tools/null_render_host.h"

using namespace yomira;
using Clock = std::chrono::steady_clock;

static double Since(Clock::time_point t) {
  return std::chrono::duration<double, std::micro>(Clock::now() - t).count();
}

int main() {
  const int f = 24;
  const auto start = Clock::now();
  TYomiraTextMetrics m;
  m.TextColor = 0;
  m.SetFont("@IPAexMincho", false, f);
  m.SetOrientation(0);
  QImage page = MakeBitmap(400, 400);
  page.fill(qRgb(255, 255, 255));
  DrawString(page, 100, 100, m, true, "\x8a\xbf");  // 漢
  const double firstMs = Since(start) / 1000.0;

  // 500 first-level kanji from 0x889F on.
  std::vector<std::string> kanji;
  for (int lead = 0x88; lead <= 0x9F && kanji.size() < 500; ++lead)
    for (int trail = lead == 0x88 ? 0x9F : 0x40; trail <= 0xFC && kanji.size() < 500; ++trail)
      if (trail != 0x7F) kanji.push_back({static_cast<char>(lead), static_cast<char>(trail)});
  FontEngine::Instance().ClearCaches();
  auto t = Clock::now();
  for (const auto& k : kanji) DrawString(page, 100, 100, m, true, k);
  const double coldUs = Since(t) / kanji.size();

  const int n = 100000;
  double cached[2];
  for (int aa = 0; aa < 2; ++aa) {
    t = Clock::now();
    for (int i = 0; i < n; ++i) DrawString(page, 100 + (i % 7), 100, m, aa == 1, kanji[i % 64]);
    cached[aa] = Since(t) * 1000.0 / n;
  }

  TYomiraOption o = DefaultOptions();
  for (const char* set : {"f_size=24", "ruby_size=12", "s_size=4", "c_size=23", "v_size=41", "yohaku_w=36",
                          "yohaku_h=30", "Page=2", "MSS=1", "UseShadow=1"}) {
    const std::string s = set;
    const size_t eq = s.find('=');
    SetOptionByKey(o, s.substr(0, eq), s.substr(eq + 1));
  }
  o.Validate();
  tools::NullRenderHost host;
  Renderer renderer(o, host);
  auto first = Clock::now();
  renderer.BuildBackground();  // allocates the bitmaps
  const double firstBackgroundMs = Since(first) / 1000.0;
  const int runs = 20;
  t = Clock::now();
  for (int i = 0; i < runs; ++i) renderer.BuildBackground();
  const double backgroundMs = Since(t) / 1000.0 / runs;
  const QImage& back = renderer.Bitmaps().BackBitmap;

  std::printf(
      "{\"f\":%d,\"first_glyph_ms\":%.2f,\"cold_glyph_us\":%.2f,\"cached_glyph_ns_canvas\":%.0f,"
      "\"cached_glyph_ns_outline\":%.0f,\"build_background_ms\":%.2f,\"build_background_first_ms\":%.2f,"
      "\"background\":\"%dx%d\"}\n",
      f, firstMs, coldUs, cached[0], cached[1], backgroundMs, firstBackgroundMs, back.width(), back.height());
  return 0;
}
