#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Child processes for the desktop tests: started with an environment of their own, their
// output in files or a pipe, and always ended by process id when their owner goes away, also
// when a test stops half-way. They also die with the test program itself.
namespace desktop {

using Environment = std::vector<std::string>;  // NAME=value entries

struct ProcessOptions {
  std::vector<std::string> arguments;  // the first is the program, looked up on the PATH
  Environment environment;
  std::string stdoutPath;  // empty: /dev/null
  std::string stderrPath;  // empty: /dev/null; the same path: one file for both
  int stdoutFd = -1;       // when not -1, standard output goes here instead
  int extraFd = -1;        // when not -1, the child has it as its descriptor 3
};

class Process {
 public:
  Process() = default;
  // Starts the program; Running() is false when it could not be started.
  explicit Process(const ProcessOptions& options);
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() { Stop(); }

  pid_t Pid() const { return pid_; }
  bool Started() const { return pid_ > 0; }
  // Not yet ended (reaps it when it has).
  bool Running();
  // Waits up to `timeoutMs` for the end; its exit code, or 128 + the signal that ended it,
  // or nothing when it is still running at the deadline.
  std::optional<int> WaitForExit(std::int64_t timeoutMs);
  // SIGTERM, then SIGKILL after `graceMs`, then waits for it.
  void Stop(std::int64_t graceMs = 2000);
  // SIGKILL at once, then waits for it.
  void Kill() { Stop(0); }
  // What WaitForExit gave once it has ended.
  std::optional<int> ExitStatus() const { return status_; }

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// This process's environment without the named variables (NAME=... entries), with `added`.
Environment DerivedEnvironment(const std::vector<std::string>& removed, const Environment& added);

// Milliseconds of a steady clock.
std::int64_t NowMs();

// Polls `done` every `pollMs` until it is true or `timeoutMs` has passed; true when it was.
template <typename Done>
bool WaitUntil(Done done, std::int64_t timeoutMs, int pollMs = 20);

void SleepMs(int ms);

template <typename Done>
bool WaitUntil(Done done, std::int64_t timeoutMs, int pollMs) {
  const std::int64_t deadline = NowMs() + timeoutMs;
  while (!done()) {
    if (NowMs() > deadline) return false;
    SleepMs(pollMs);
  }
  return true;
}

}  // namespace desktop
