#include "desktop/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "support/find_program.h"

extern char** environ;

namespace desktop {
namespace {

int OpenOutput(const std::string& path) {
  const char* name = path.empty() ? "/dev/null" : path.c_str();
  return open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
}

int StatusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

Process::Process(const ProcessOptions& options) {
  if (options.arguments.empty()) return;
  const std::optional<std::string> program = test_support::FindProgram(options.arguments[0]);
  if (!program) return;
  std::vector<std::string> arguments = options.arguments;
  std::vector<std::string> environment = options.environment;
  std::vector<char*> argv = Pointers(arguments);
  std::vector<char*> envp = Pointers(environment);
  const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
  const int output = options.stdoutFd >= 0 ? -1 : OpenOutput(options.stdoutPath);
  const bool sharedLog = !options.stderrPath.empty() && options.stderrPath == options.stdoutPath;
  const int errors = sharedLog && output >= 0 ? fcntl(output, F_DUPFD_CLOEXEC, 0) : OpenOutput(options.stderrPath);
  const pid_t parent = getpid();

  // Only async-signal-safe calls between fork and exec: the test program has threads.
  const pid_t child = fork();
  if (child == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    dup2(input, STDIN_FILENO);
    dup2(options.stdoutFd >= 0 ? options.stdoutFd : output, STDOUT_FILENO);
    dup2(errors, STDERR_FILENO);
    if (options.extraFd == 3) fcntl(3, F_SETFD, 0);
    if (options.extraFd >= 0 && options.extraFd != 3) dup2(options.extraFd, 3);
    execve(program->c_str(), argv.data(), envp.data());
    _exit(127);
  }
  for (const int fd : {input, output, errors}) {
    if (fd >= 0) close(fd);
  }
  if (child > 0) pid_ = child;
}

Process::Process(Process&& other) noexcept : pid_(other.pid_), status_(other.status_) {
  other.pid_ = -1;
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Stop();
    pid_ = other.pid_;
    status_ = other.status_;
    other.pid_ = -1;
  }
  return *this;
}

bool Process::Running() {
  if (pid_ <= 0 || status_) return false;
  int waitStatus = 0;
  const pid_t result = waitpid(pid_, &waitStatus, WNOHANG);
  if (result == 0) return true;
  status_ = result == pid_ ? StatusOf(waitStatus) : -1;
  return false;
}

std::optional<int> Process::WaitForExit(std::int64_t timeoutMs) {
  if (pid_ <= 0) return std::nullopt;
  WaitUntil([this] { return !Running(); }, timeoutMs, 10);
  return status_;
}

void Process::Stop(std::int64_t graceMs) {
  if (!Running()) return;
  kill(pid_, graceMs > 0 ? SIGTERM : SIGKILL);
  if (graceMs > 0 && !WaitUntil([this] { return !Running(); }, graceMs, 10)) kill(pid_, SIGKILL);
  int waitStatus = 0;
  if (!status_ && waitpid(pid_, &waitStatus, 0) == pid_) status_ = StatusOf(waitStatus);
}

Environment DerivedEnvironment(const std::vector<std::string>& removed, const Environment& added) {
  Environment result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    bool keep = true;
    for (const std::string& gone : removed) keep = keep && gone != name;
    for (const std::string& replaced : added) keep = keep && replaced.substr(0, replaced.find('=')) != name;
    if (keep) result.push_back(text);
  }
  result.insert(result.end(), added.begin(), added.end());
  return result;
}

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace desktop
