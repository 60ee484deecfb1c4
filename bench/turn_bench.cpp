// Page turns at full-HD size.
// 1. The frames: time of one DrawTurnStep (our pixel work only, without the repaint) per
//    kind, median and maximum over 20 turns of 12 frames (Quality 4).
// 2. The main window: a 431 KB novel laid out at about 1920 x 1080; 200 next-page actions
//    (draw + start of the turn) with a warm glyph cache, each followed by its ticks called
//    directly (a frame with its repaint request).
// 3. The same window shown: the delay from the next-page action to the first painted frame.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QEvent>
#include <QImage>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <random>
#include <vector>

#include "engine/render/PageTurn.h"
#include "platform/shell_env.h"
#include "shell/main_window.h"

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

// A desktop that answers every question with OK and tells its messages on stderr.
class QuietEnv : public yomira::NullShellEnv {
 public:
  void showMessage(QWidget*, const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
  bool askOkCancel(QWidget*, const std::string&, const std::string&) override { return true; }
};

// The time of the first paint of a widget after armed is set.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(QWidget* w) : w_(w) { w->installEventFilter(this); }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (armed && o == w_ && e->type() == QEvent::Paint) {
      at = std::chrono::steady_clock::now();
      armed = false;
    }
    return false;
  }
  bool armed = false;
  std::chrono::steady_clock::time_point at;

 private:
  QWidget* w_;
};

double Ms(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

int ShellTurns(int argc, char** argv) {
  using namespace yomira;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string home = QDir::tempPath().toStdString() + "/yomira-turn-bench-" + std::to_string(QCoreApplication::applicationPid());
  QDir().mkpath(QString::fromStdString(home));
  const std::string text = home + "/melos20.txt";
  {
    QFile in(QStringLiteral(YOMIRA_SOURCE_DIR "/tests/data/engine_dump/hashire_merosu.txt"));
    if (!in.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "turn_bench: no hashire_merosu.txt\n");
      return 1;
    }
    const QByteArray one = in.readAll();
    QFile out(QString::fromStdString(text));
    if (!out.open(QIODevice::WriteOnly)) return 1;
    for (int i = 0; i < 20; ++i) out.write(one);
  }
  QuietEnv env;
  TForm1::Setup setup;
  setup.env = &env;
  setup.dataFolder = home;
  TForm1 f(std::move(setup));
  // Two pages of 24 lines of 46 characters, quality 1 (the default).
  TYomiraOption& o = f.session().state().option;
  o.f_size = 22;
  o.ruby_size = 10;
  o.s_size = 6;
  o.c_size = 24;
  o.v_size = 2 * 46;
  o.Page = 2;
  o.page_ani = 1;
  o.Quality = 1;
  o.Validate();
  f.OpenFileItem(text, true, -1, 0, false, true);
  if (!f.IsLaidOut()) {
    std::fprintf(stderr, "turn_bench: the text did not open\n");
    return 1;
  }
  const QSize size = f.child<ImageView>("ImageView")->picture().size();
  const int views = f.ViewCount();
  std::printf("turn settings: f_size=%d ruby_size=%d s_size=%d c_size=%d v_size=%d Page=%d Quality=%d; "
              "%d views, window %dx%d\n",
              o.f_size, o.ruby_size, o.s_size, o.c_size, o.v_size, o.Page, o.Quality, views, f.width(), f.height());
  // Warm the glyph cache (every view once) and the turn's bitmaps (a few turns).
  for (int v = 1; v <= views; ++v) f.sliderShowView(v);
  f.sliderShowView(1);
  for (int i = 0; i < 3; ++i) {
    f.ActionPageNextExecute(nullptr);
    while (f.turnRunning()) f.TimerAnimateTimer();
  }
  f.sliderShowView(1);

  std::vector<double> next, frame;
  int ticks = 0;
  for (int i = 0; i < 200; ++i) {
    if (f.session().CurrentView() >= views) f.sliderShowView(1);
    const auto t0 = std::chrono::steady_clock::now();
    f.ActionPageNextExecute(nullptr);
    const auto t1 = std::chrono::steady_clock::now();
    next.push_back(Ms(t0, t1));
    while (f.turnRunning()) {
      const auto a = std::chrono::steady_clock::now();
      f.TimerAnimateTimer();
      const auto b = std::chrono::steady_clock::now();
      frame.push_back(Ms(a, b));
      ++ticks;
    }
  }
  std::printf("turn size=%dx%d next-ms median=%.2f max=%.2f frame-ms median=%.2f max=%.2f ticks=%d\n", size.width(),
              size.height(), Median(next), *std::max_element(next.begin(), next.end()), Median(frame),
              *std::max_element(frame.begin(), frame.end()), ticks);

  // 3. Shown, with the real timer: from the next-page action to the first paint of the page
  //    image (the turn's first frame), then the turn runs out under the event loop.
  f.show();
  FirstPaint paint(f.child<ImageView>("ImageView"));
  std::vector<double> first;
  const auto settle = [&app] {
    for (int k = 0; k < 20; ++k) app.processEvents(QEventLoop::AllEvents, 5);
  };
  settle();
  for (int i = 0; i < 60; ++i) {
    if (f.session().CurrentView() >= views) f.sliderShowView(1);
    settle();
    paint.armed = true;
    const auto t0 = std::chrono::steady_clock::now();
    f.ActionPageNextExecute(nullptr);
    const auto limit = t0 + std::chrono::milliseconds(500);
    while (paint.armed && std::chrono::steady_clock::now() < limit) app.processEvents(QEventLoop::AllEvents, 1);
    if (!paint.armed) first.push_back(Ms(t0, paint.at));
    paint.armed = false;
    while (f.turnRunning()) app.processEvents(QEventLoop::AllEvents, 5);
  }
  if (first.empty()) std::printf("turn first-frame: no paint seen\n");
  else
    std::printf("turn first-frame-ms median=%.2f max=%.2f turns=%zu (action to the first paint, timer %d ms)\n",
                Median(first), *std::max_element(first.begin(), first.end()), first.size(),
                f.child<QTimer>("TimerAnimate")->interval());
  f.FormClose();
  QDir(QString::fromStdString(home)).removeRecursively();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
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
  return ShellTurns(argc, argv);
}
