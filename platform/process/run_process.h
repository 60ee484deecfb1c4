// Running an outside program and capturing what it writes: an argument vector (never a
// shell), standard input from /dev/null, standard output and standard error merged into one
// stream, a deadline and an output cap. The program and every process it starts are killed
// together when a bound is passed, and the child is always reaped. No Qt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace yomira {

struct RunLimits {
  int deadlineMs = 30000;                 // from the start until the child is reaped
  uint64_t maxOutputBytes = 64ull << 20;  // more than this is TooLarge
  // Once the output closes, or the program exits while something it started still holds
  // the pipe, the rest of the group has this long to end before it is killed; what was
  // read is the result either way.
  int graceMs = 1000;
};

enum class RunStatus { Ok, PipeFailed, SpawnFailed, TimedOut, TooLarge };

struct RunResult {
  RunStatus status = RunStatus::Ok;
  std::string output;   // both streams in the order written (up to the cap)
  int exitStatus = -1;  // the exit code of a child that exited; -1 when it was killed or never ran
  int error = 0;        // errno of PipeFailed and SpawnFailed
};

// The status is Ok whenever the output was read to its end or the program exited, also when
// the rest of its group was killed after the grace period (exitStatus is then -1 if the
// program itself was among them).
// argv[0] is the program; a name without "/" is looked up on PATH. The child inherits the
// environment and the working folder and leads a process group of its own.
RunResult RunCaptured(const std::vector<std::string>& argv, const RunLimits& limits = {});

}  // namespace yomira
