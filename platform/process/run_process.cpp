#include "platform/process/run_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

extern char** environ;

namespace yomira {
namespace {

int64_t NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
}

// A pipe end at 0, 1 or 2 (the reader started with a standard stream closed) would be
// overwritten by the child's own redirections: move it above them.
int AboveStandardStreams(int fd) {
  if (fd < 0 || fd > 2) return fd;
  const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  ::close(fd);
  return moved;
}

// Blocking reap; the wait status, or -1 when there was no child to wait for.
int Reap(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

// How often the read looks whether the program has exited while its output is open.
constexpr int64_t kExitCheckMs = 50;

// True once the child has ended (or is not ours to wait for). It is left unreaped, so its
// process id stays reserved for the group kill that follows.
bool HasExited(pid_t pid) {
  for (;;) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0) return info.si_pid == pid;
    if (errno != EINTR) return true;
  }
}

int ExitCode(int status) { return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  bool ok = false;

  explicit SpawnSetup(int writeEnd) {
    if (posix_spawn_file_actions_init(&actions) != 0) return;
    if (posix_spawnattr_init(&attr) != 0) {
      posix_spawn_file_actions_destroy(&actions);
      return;
    }
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    ok = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
         posix_spawn_file_actions_adddup2(&actions, writeEnd, 1) == 0 &&
         posix_spawn_file_actions_adddup2(&actions, writeEnd, 2) == 0 &&
         posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0 &&
         posix_spawnattr_setpgroup(&attr, 0) == 0 && posix_spawnattr_setsigmask(&attr, &none) == 0 &&
         posix_spawnattr_setsigdefault(&attr, &defaults) == 0;
    if (!ok) destroy();
  }
  ~SpawnSetup() {
    if (ok) destroy();
  }
  void destroy() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

RunResult RunCaptured(const std::vector<std::string>& argv, const RunLimits& limits) {
  RunResult result;
  if (argv.empty() || argv[0].empty()) {
    result.status = RunStatus::SpawnFailed;
    result.error = ENOENT;
    return result;
  }
  const int64_t deadline = NowMs() + std::max(0, limits.deadlineMs);

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    result.status = RunStatus::PipeFailed;
    result.error = errno;
    return result;
  }
  const int readEnd = AboveStandardStreams(fds[0]);
  const int writeEnd = AboveStandardStreams(fds[1]);
  if (readEnd < 0 || writeEnd < 0) {
    result.status = RunStatus::PipeFailed;
    result.error = errno;
    if (readEnd >= 0) ::close(readEnd);
    if (writeEnd >= 0) ::close(writeEnd);
    return result;
  }

  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  pid_t pid = -1;
  int spawnError;
  {
    SpawnSetup setup(writeEnd);
    spawnError = setup.ok ? posix_spawnp(&pid, argv[0].c_str(), &setup.actions, &setup.attr, args.data(), environ)
                          : ENOMEM;
  }
  // Our copy of the write end goes at once, or the end of the output is never seen.
  ::close(writeEnd);
  if (spawnError != 0) {
    ::close(readEnd);
    result.status = RunStatus::SpawnFailed;
    result.error = spawnError;
    return result;
  }

  RunStatus status = RunStatus::Ok;
  char buffer[64 * 1024];
  bool endOfOutput = false;
  bool leaderGone = false;
  int64_t graceEnd = INT64_MAX;  // set once the output closes or the program exits
  auto startGrace = [&] { graceEnd = std::min(deadline, NowMs() + std::max(0, limits.graceMs)); };
  // Appends one read; false at the end of the output, a read error or the cap.
  auto readSome = [&]() -> bool {
    const ssize_t got = ::read(readEnd, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (got <= 0) {  // a read error counts as the end of the output
      endOfOutput = true;
      return false;
    }
    if (result.output.size() + static_cast<uint64_t>(got) > limits.maxOutputBytes) {
      status = RunStatus::TooLarge;
      return false;
    }
    result.output.append(buffer, static_cast<size_t>(got));
    return true;
  };

  // Read until the output closes. A program that exits while something it started still
  // holds the pipe leaves that remainder only the grace period.
  for (;;) {
    const int64_t now = NowMs();
    if (now >= graceEnd) break;
    if (now >= deadline) {
      status = RunStatus::TimedOut;
      break;
    }
    int64_t wait = std::min(deadline, graceEnd) - now;
    if (!leaderGone) wait = std::min<int64_t>(wait, kExitCheckMs);
    pollfd p{readEnd, POLLIN, 0};
    const int n = ::poll(&p, 1, static_cast<int>(wait));
    if (n < 0) {
      if (errno == EINTR) continue;
      endOfOutput = true;  // treated as the end of the output
      break;
    }
    if (n > 0 && !readSome()) break;
    if (!leaderGone && HasExited(pid)) {
      leaderGone = true;
      startGrace();
    }
  }

  if (status == RunStatus::Ok && endOfOutput && !leaderGone) {
    // The output is closed but the program may still be tidying up: it gets the grace period.
    startGrace();
    int64_t pauseUs = 500;
    while (!(leaderGone = HasExited(pid))) {
      const int64_t left = graceEnd - NowMs();
      if (left <= 0) break;
      ::usleep(static_cast<useconds_t>(std::min(pauseUs, left * 1000)));
      pauseUs = std::min<int64_t>(pauseUs * 2, 20000);
    }
  }
  // The whole group goes, whatever still runs of it: a shell's children hold the pipe as
  // well. The leader is not reaped before this, so its id cannot name another group yet.
  ::kill(-pid, SIGKILL);
  if (status == RunStatus::Ok && !endOfOutput) {
    // What the killed processes wrote before the kill is still in the pipe.
    pollfd p{readEnd, POLLIN, 0};
    while (::poll(&p, 1, 0) > 0 && readSome()) {
    }
  }
  ::close(readEnd);
  const int waitStatus = Reap(pid);
  result.status = status;
  if (status == RunStatus::Ok) result.exitStatus = ExitCode(waitStatus);
  return result;
}

}  // namespace yomira
