// Running outside programs with their output captured: the merged stream, standard input
// from /dev/null, the argument vector passed untouched, the bounds that kill the whole
// process group, and no child left unreaped on any road.
#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/process/run_process.h"
#include "support/test_support.h"

namespace yomira {
namespace {

namespace fs = std::filesystem;

// No child of this process is left, reaped or not.
::testing::AssertionResult NoChildLeft() {
  int status = 0;
  const pid_t r = ::waitpid(-1, &status, WNOHANG);
  if (r == -1 && errno == ECHILD) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "waitpid(-1) gave " << r << " (a child was left)";
}

// Processes of group pgid that are not zombies, read from /proc.
int LiveMembers(pid_t pgid) {
  int n = 0;
  DIR* d = ::opendir("/proc");
  if (!d) return -1;
  while (dirent* e = ::readdir(d)) {
    if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
    std::ifstream in(std::string("/proc/") + e->d_name + "/stat");
    std::string stat;
    std::getline(in, stat);
    const size_t paren = stat.rfind(')');
    if (paren == std::string::npos) continue;
    char state = 0;
    long ppid = 0, pgrp = 0;
    if (std::sscanf(stat.c_str() + paren + 1, " %c %ld %ld", &state, &ppid, &pgrp) != 3) continue;
    if (pgrp == pgid && state != 'Z' && state != 'X') ++n;
  }
  ::closedir(d);
  return n;
}

// Waits (up to 10 s, never as a measure) for the group to empty after the kill.
int LiveMembersAfterKill(pid_t pgid) {
  int n = LiveMembers(pgid);
  for (int i = 0; i < 200 && n > 0; ++i) {
    ::usleep(50000);
    n = LiveMembers(pgid);
  }
  return n;
}

TEST(RunCaptured, MergesBothStreamsInTheOrderWritten) {
  const RunResult r = RunCaptured({"/bin/sh", "-c", "echo out; echo err >&2; echo out2"});
  EXPECT_EQ(r.status, RunStatus::Ok);
  EXPECT_EQ(r.output, "out\nerr\nout2\n");
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_TRUE(NoChildLeft());
}

TEST(RunCaptured, ExitStatusIsReportedButOutputIsKept) {
  const RunResult r = RunCaptured({"sh", "-c", "printf partial; exit 3"});  // found on PATH
  EXPECT_EQ(r.status, RunStatus::Ok);
  EXPECT_EQ(r.output, "partial");
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_TRUE(NoChildLeft());
}

TEST(RunCaptured, StandardInputIsEmpty) {
  // cat with no file reads standard input: from a terminal it would wait for ever.
  const RunResult r = RunCaptured({"/bin/cat"});
  EXPECT_EQ(r.status, RunStatus::Ok);
  EXPECT_EQ(r.output, "");
  EXPECT_TRUE(NoChildLeft());
}

TEST(RunCaptured, ArgumentsReachTheProgramUnchangedAndNothingIsInterpreted) {
  test::TempDir dir;
  const std::string cwd = fs::current_path();
  fs::current_path(dir.path());
  const std::vector<std::string> tricky = {"a b", "$(touch PWNED)", "`touch PWNED2`", "x;touch PWNED3", "\"q\"",
                                           "-n", "", "back\\slash", "*"};
  std::vector<std::string> argv = {"/usr/bin/printf", "[%s]\\n"};
  argv.insert(argv.end(), tricky.begin(), tricky.end());
  const RunResult r = RunCaptured(argv);
  fs::current_path(cwd);
  std::string expected;
  for (const auto& a : tricky) expected += "[" + a + "]\n";
  EXPECT_EQ(r.status, RunStatus::Ok);
  EXPECT_EQ(r.output, expected);
  for (const char* name : {"PWNED", "PWNED2", "PWNED3"}) EXPECT_FALSE(fs::exists(dir / name)) << name;
  EXPECT_TRUE(NoChildLeft());
}

TEST(RunCaptured, ProgramsThatCannotStartAreSpawnFailures) {
  test::TempDir dir;
  const fs::path plain = dir / "plain.sh";
  std::ofstream(plain) << "#!/bin/sh\necho hi\n";
  struct Case {
    std::string program;
    int error;
  };
  const Case cases[] = {{"/nonexistent/conv", ENOENT}, {"no-such-program-on-path-xyz", ENOENT}, {plain, EACCES},
                        {dir.path().string(), EACCES}, {"", ENOENT}};
  for (const Case& c : cases) {
    const RunResult r = RunCaptured({c.program, "x"});
    EXPECT_EQ(r.status, RunStatus::SpawnFailed) << c.program;
    EXPECT_EQ(r.error, c.error) << c.program;
    EXPECT_TRUE(NoChildLeft()) << c.program;
  }
}

TEST(RunCaptured, DeadlineKillsTheWholeGroup) {
  // The shell prints its pid (the group's id) and leaves sleep holding the pipe.
  RunLimits limits;
  limits.deadlineMs = 500;
  const RunResult r = RunCaptured({"/bin/sh", "-c", "echo $$; sleep 100; echo never"}, limits);
  EXPECT_EQ(r.status, RunStatus::TimedOut);
  const pid_t group = static_cast<pid_t>(std::stol(r.output));
  EXPECT_EQ(LiveMembersAfterKill(group), 0);
  EXPECT_TRUE(NoChildLeft());
}

// Milliseconds on the monotonic clock; only a guard against a hang, never a measure.
int64_t ElapsedMs(const std::chrono::steady_clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
}

// The group id a script printed on its first line.
pid_t GroupOf(const std::string& output) { return static_cast<pid_t>(std::stol(output)); }

TEST(RunCaptured, LingeringProgramsGiveTheirOutputLongBeforeTheDeadline) {
  struct Case {
    const char* what;
    const char* script;  // prints its group id first
    int exitStatus;
  };
  const Case cases[] = {
      {"closes its output and sleeps", "echo $$; echo text; exec >/dev/null 2>&1; sleep 60", -1},
      {"exits, a child holds the pipe", "echo $$; echo text; sleep 60 & exit 0", 0},
      {"exits, a child with its output closed runs on", "echo $$; echo text; sleep 60 >/dev/null 2>&1 & exit 0", 0},
  };
  for (const Case& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    const RunResult r = RunCaptured({"/bin/sh", "-c", c.script});  // the 30 s deadline
    EXPECT_LT(ElapsedMs(start), 10000) << c.what;
    EXPECT_EQ(r.status, RunStatus::Ok) << c.what;
    EXPECT_EQ(r.output.substr(r.output.find('\n') + 1), "text\n") << c.what;
    EXPECT_EQ(r.exitStatus, c.exitStatus) << c.what;
    EXPECT_EQ(LiveMembersAfterKill(GroupOf(r.output)), 0) << c.what;
    EXPECT_TRUE(NoChildLeft()) << c.what;
  }
}

TEST(RunCaptured, TheGracePeriodLetsAProgramTidyUpAndItsChildrenFinishWriting) {
  // A program that closes its output and then cleans up exits on its own, with its code.
  RunResult r = RunCaptured({"/bin/sh", "-c", "echo text; exec >/dev/null 2>&1; sleep 0.2; exit 4"});
  EXPECT_EQ(r.status, RunStatus::Ok);
  EXPECT_EQ(r.output, "text\n");
  EXPECT_EQ(r.exitStatus, 4);
  EXPECT_TRUE(NoChildLeft());
  // What a child writes after the program has exited, within the grace period, is kept.
  r = RunCaptured({"/bin/sh", "-c", "(sleep 0.2; echo late) & echo early; exit 0"});
  EXPECT_EQ(r.status, RunStatus::Ok);
  EXPECT_EQ(r.output, "early\nlate\n");
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_TRUE(NoChildLeft());
}

TEST(RunCaptured, TheGracePeriodIsBoundedByTheDeadline) {
  RunLimits limits;
  limits.deadlineMs = 500;
  limits.graceMs = 5000;
  const auto start = std::chrono::steady_clock::now();
  const RunResult r = RunCaptured({"/bin/sh", "-c", "echo early; exec >/dev/null 2>&1; sleep 100"}, limits);
  EXPECT_LT(ElapsedMs(start), 4000);
  EXPECT_EQ(r.status, RunStatus::Ok);  // the output was complete
  EXPECT_EQ(r.output, "early\n");
  EXPECT_EQ(r.exitStatus, -1);
  EXPECT_TRUE(NoChildLeft());
}

TEST(RunCaptured, OutputCapStopsAFlood) {
  RunLimits limits;
  limits.maxOutputBytes = 1 << 20;
  const RunResult r = RunCaptured({"/usr/bin/yes"}, limits);
  EXPECT_EQ(r.status, RunStatus::TooLarge);
  EXPECT_LE(r.output.size(), limits.maxOutputBytes);
  EXPECT_TRUE(NoChildLeft());
}

TEST(RunCaptured, OutputOfExactlyTheCapIsAccepted) {
  RunLimits limits;
  limits.maxOutputBytes = 100000;
  const RunResult r = RunCaptured({"/usr/bin/head", "-c", "100000", "/dev/zero"}, limits);
  EXPECT_EQ(r.status, RunStatus::Ok);
  EXPECT_EQ(r.output.size(), 100000u);
  limits.maxOutputBytes = 99999;
  EXPECT_EQ(RunCaptured({"/usr/bin/head", "-c", "100000", "/dev/zero"}, limits).status, RunStatus::TooLarge);
  EXPECT_TRUE(NoChildLeft());
}

TEST(RunCaptured, TheChildGetsDefaultSignalsWhateverTheCallerBlocks) {
  // A blocked or ignored SIGTERM in the reader must not make its filters unkillable.
  sigset_t block, old;
  sigemptyset(&block);
  sigaddset(&block, SIGTERM);
  ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &block, &old), 0);
  struct sigaction ignore {}, oldAction{};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGTERM, &ignore, &oldAction);
  const RunResult r = RunCaptured({"/bin/sh", "-c", "kill -TERM $$; echo survived"});
  ::sigaction(SIGTERM, &oldAction, nullptr);
  ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
  EXPECT_EQ(r.status, RunStatus::Ok);
  EXPECT_EQ(r.output, "");
  EXPECT_EQ(r.exitStatus, -1);  // killed by the signal
  EXPECT_TRUE(NoChildLeft());
}

}  // namespace
}  // namespace yomira
