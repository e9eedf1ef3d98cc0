// The end of the program on Windows: the end-of-program handler runs once, either in
// ExitProgram or, at normal return from main (and std::exit), from the run-time library's
// exit procedures. Windows takes the window and every other object of the process away.

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "platform/system.h"

namespace platform {
namespace {

std::once_flag exitHookOnce;
void (*endOfProgramHandler)() = nullptr;
std::atomic<bool> endOfProgramHandlerRan{false};
bool insideExitHook = false;

void RunEndOfProgramHandler() {
  if (endOfProgramHandlerRan.exchange(true)) return;
  if (endOfProgramHandler != nullptr) endOfProgramHandler();
}

void ExitHook() {
  insideExitHook = true;
  RunEndOfProgramHandler();
}

void RegisterExitHook() {
  std::call_once(exitHookOnce, [] { std::atexit(ExitHook); });
}

}  // namespace

void ExitProgram(int exitCode) {
  RunEndOfProgramHandler();
  // std::exit must not be re-entered from inside an exit procedure.
  if (insideExitHook) std::_Exit(exitCode);
  std::exit(exitCode);
}

void SetEndOfProgramHandler(void (*handler)()) {
  endOfProgramHandler = handler;
  RegisterExitHook();
}

}  // namespace platform
