// WinMain: one instance per user and data folder. A second start hands its arguments to the
// first and exits with 1; the first runs the main window and exits with 0.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSessionManager>
#include <QWidget>

#include <chrono>
#include <cstdio>

#include "engine/core/option_defaults.h"
#include "engine/render/FontEngine.h"
#include "platform/atomic_file.h"
#include "platform/datafolder.h"
#include "platform/single_instance.h"
#include "shell/application.h"
#include "shell/forward_plan.h"
#include "ui/menu_trace.h"
#include "ui/guard.h"
#include "shell/main_window.h"
#include "shell/qt_shell_env.h"
#include "shell/quit_signals.h"
#include "windows/controls/qt_translation.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> out;
  for (int i = 1; i < argc; ++i) out.emplace_back(argv[i]);  // 8-bit file names, as given
  return out;
}

// YOMIRA_TRACE_STARTUP=1: the time from main() to the first paint of the main window.
// Watched on the application: the page and bars cover the form, so the form itself may
// never get a paint event of its own.
class FirstPaintTrace : public QObject {
 public:
  FirstPaintTrace(yomira::TForm1* form, Clock::time_point start) : form_(form), start_(start) {}
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint && !done_ && watched->isWidgetType() &&
        (watched == form_ || form_->isAncestorOf(static_cast<QWidget*>(watched)))) {
      done_ = true;
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
      std::fprintf(stderr, "startup: first-paint-ms=%lld page=%d\n", static_cast<long long>(ms),
                   form_->IsLaidOut() ? 1 : 0);
      std::fflush(stderr);
      QCoreApplication::instance()->removeEventFilter(this);
    }
    return false;
  }

 private:
  yomira::TForm1* form_;
  Clock::time_point start_;
  bool done_ = false;
};

int RunSecond(int argc, char** argv, const std::string& dataFolder) {
  // No display: a second start only talks to the first.
  QCoreApplication app(argc, argv);
  const auto plan = yomira::planForward(Arguments(argc, argv), QFile::encodeName(QDir::currentPath()).toStdString());
  if (!plan) {
    std::fprintf(stderr, "yomira: an argument is longer than %zu bytes; nothing was handed over\n",
                 yomira::kMaxForwardBytes);
    return 1;
  }
  std::string err;
  if (!yomira::SendForwarded(yomira::InstanceServerName(dataFolder), *plan, &err))
    std::fprintf(stderr, "yomira: %s\n", err.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const Clock::time_point start = Clock::now();
  const std::string dataFolder = yomira::DataFolder();
  yomira::InstanceLock lock(dataFolder);
  std::string err;
  const yomira::InstanceLock::Result held = lock.acquire(&err);
  if (held == yomira::InstanceLock::Result::Second) return RunSecond(argc, argv, dataFolder);
  if (held == yomira::InstanceLock::Result::Alone) std::fprintf(stderr, "yomira: %s; running alone\n", err.c_str());
  if (held == yomira::InstanceLock::Result::First) {
    // A save cut short by a kill leaves its temporary file behind; a young one is left
    // alone in case a save is still under way.
    for (const std::string& folder : {dataFolder, dataFolder + "/Style"})
      yomira::RemoveStaleAtomicWriteTemps(folder, 60);
  }

  // fontconfig's start and the body face's match overlap the display's; a second start,
  // which draws nothing, is spared it. Joined before the main window uses a font.
  const yomira::TYomiraOption defaults = yomira::DefaultOptions();
  yomira::FontPreload fonts(defaults.font_family, defaults.bold != 0);
  yomira::YomiraApplication app(argc, argv);
  fonts.join();
  const QString translation = yomira::InstallQtTranslation(app);
  // YOMIRA_TRACE_MESSAGES=1 also names Qt's translation, or says there is none.
  if (qEnvironmentVariableIntValue("YOMIRA_TRACE_MESSAGES") == 1) {
    std::fprintf(stderr, "translator: %s\n", translation.isEmpty() ? "none" : qUtf8Printable(translation));
    std::fflush(stderr);
  }
  yomira::QtShellEnv env;
  yomira::SetGuardReporter([&env](const std::string& m) { env.showMessage(nullptr, m); });

  yomira::ForwardReceiver receiver;
  if (held == yomira::InstanceLock::Result::First &&
      !receiver.listen(yomira::InstanceServerName(dataFolder), &err))
    std::fprintf(stderr, "yomira: %s\n", err.c_str());

  yomira::TForm1::Setup setup;
  setup.env = &env;
  setup.args = Arguments(argc, argv);
  setup.receiver = &receiver;
  setup.dataFolder = dataFolder;
  auto form = std::make_unique<yomira::TForm1>(std::move(setup));
  env.setParent(form.get());
  receiver.handler = [f = form.get()](const std::string& text) { f->WMCopyData(text); };
  receiver.handOverDone = [f = form.get()] { f->ForceForeground(); };
  receiver.guard = [](const std::function<void()>& fn) { yomira::guarded(fn); };
  if (!form->startedOk()) return 0;  // a start-up URL failed: no window, no settings written

  std::unique_ptr<FirstPaintTrace> trace;
  if (qEnvironmentVariableIntValue("YOMIRA_TRACE_STARTUP") == 1) {
    trace = std::make_unique<FirstPaintTrace>(form.get(), start);
    app.installEventFilter(trace.get());
  }
  std::unique_ptr<yomira::MenuTrace> menuTrace;
  if (qEnvironmentVariableIntValue("YOMIRA_TRACE_MENUS") == 1) {
    menuTrace = std::make_unique<yomira::MenuTrace>(form->mainMenu().menu);
    app.installEventFilter(menuTrace.get());
  }
  // Logout, kill and Ctrl+C close the window as its close button does; a session's
  // commit-data request writes the same files and leaves the reader running.
  yomira::QuitSignals quitSignals([f = form.get()] { f->close(); });
  if (!quitSignals.installed()) std::fprintf(stderr, "yomira: signals keep their default action\n");
#if QT_CONFIG(sessionmanager)
  QObject::connect(&app, &QGuiApplication::commitDataRequest, form.get(),
                   [f = form.get()](QSessionManager&) { yomira::guarded([f] { f->WriteSettingsNow(); }); });
#endif
  form->show();
  const int rc = app.exec();
  receiver.handler = nullptr;
  receiver.handOverDone = nullptr;
  form.reset();
  yomira::SetGuardReporter(nullptr);
  return rc;
}
