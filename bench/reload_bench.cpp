// The reload (F5) of a text of about 2 MB (走れメロス repeated 100 times) in the main
// window, shown, with its real progress bar: the conversion and every progress paint.
// Offscreen unless QT_QPA_PLATFORM says otherwise; best and median of 7 reloads.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/shell_env.h"
#include "shell/main_window.h"

namespace {

// Counts the paints of one widget.
class PaintCount : public QObject {
 public:
  explicit PaintCount(QWidget* w) : w_(w) { w->installEventFilter(this); }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == w_ && e->type() == QEvent::Paint) ++count;
    return false;
  }
  int count = 0;

 private:
  QWidget* w_;
};

}  // namespace

int main(int argc, char** argv) {
  using namespace yomira;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string home =
      QDir::tempPath().toStdString() + "/yomira-reload-bench-" + std::to_string(QCoreApplication::applicationPid());
  QDir().mkpath(QString::fromStdString(home));
  const std::string text = home + "/melos100.txt";
  {
    QFile in(QStringLiteral(YOMIRA_SOURCE_DIR "/tests/data/engine_dump/hashire_merosu.txt"));
    QFile out(QString::fromStdString(text));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
      std::fprintf(stderr, "reload_bench: cannot make the text\n");
      return 1;
    }
    const QByteArray one = in.readAll();
    for (int i = 0; i < 100; ++i) out.write(one);
  }
  NullShellEnv env;
  TForm1::Setup setup;
  setup.env = &env;
  setup.dataFolder = home;
  setup.args = {text};
  double best = 0, median = 0;
  int paints = 0;
  {
    TForm1 f(std::move(setup));
    f.show();
    for (int k = 0; k < 20; ++k) app.processEvents(QEventLoop::AllEvents, 5);
    if (!f.IsLaidOut()) {
      std::fprintf(stderr, "reload_bench: the text did not open\n");
      return 1;
    }
    PaintCount bar(f.findChild<QWidget*>(QStringLiteral("ProgressBarPage")));
    std::vector<double> ms;
    for (int run = 0; run < 7; ++run) {
      const int before = bar.count;
      const auto t0 = std::chrono::steady_clock::now();
      f.ActionFileRecent0Execute(nullptr);
      ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
      paints = bar.count - before;
      for (int k = 0; k < 5; ++k) app.processEvents(QEventLoop::AllEvents, 5);
    }
    std::sort(ms.begin(), ms.end());
    best = ms.front();
    median = ms[ms.size() / 2];
    std::printf("reload %lld bytes, %d source lines: best-ms=%.1f median-ms=%.1f progress-paints=%d (last reload)\n",
                static_cast<long long>(QFileInfo(QString::fromStdString(text)).size()),
                static_cast<int>(f.session().state().sourceLines.size()), best, median, paints);
    f.FormClose();
  }
  QDir(QString::fromStdString(home)).removeRecursively();
  return 0;
}
