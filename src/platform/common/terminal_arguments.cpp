// A Linux terminal speaks UTF-8 and hands the arguments over as they were typed.
#include "platform/system.h"

namespace platform {

std::vector<std::string> TerminalProgramArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

}  // namespace platform
