#include "shell/quit_signals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace yomira {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

int g_pipe[2] = {-1, -1};
std::atomic<int> g_count{0};
struct sigaction g_previous[3];

// Only async-signal-safe calls here.
extern "C" void OnQuitSignal(int sig) {
  if (g_count.fetch_add(1) > 0) _exit(128 + sig);
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(sig);
  [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> quit, QObject* parent) : QObject(parent), quit_(std::move(quit)) {
  if (g_pipe[0] >= 0) return;  // another instance holds the handlers
  if (pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0) {
    g_pipe[0] = g_pipe[1] = -1;
    return;
  }
  g_count = 0;
  notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readPipe(); });
  struct sigaction sa = {};
  sa.sa_handler = OnQuitSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (size_t k = 0; k < std::size(kSignals); ++k) sigaction(kSignals[k], &sa, &g_previous[k]);
  installed_ = true;
}

QuitSignals::~QuitSignals() {
  if (!installed_) return;
  for (size_t k = 0; k < std::size(kSignals); ++k) sigaction(kSignals[k], &g_previous[k], nullptr);
  notifier_.reset();
  close(g_pipe[0]);
  close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}

void QuitSignals::readPipe() {
  unsigned char bytes[16];
  while (read(g_pipe[0], bytes, sizeof bytes) > 0) {
  }
  if (fired_) return;
  fired_ = true;
  if (quit_) quit_();
}

}  // namespace yomira
