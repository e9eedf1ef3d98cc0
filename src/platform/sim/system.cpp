// The simulated machine's program file and message boxes.
#include <string>
#include <vector>

#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "platform/system.h"

namespace sim {
namespace {

std::vector<MessageBoxRecord> messageBoxes;

}  // namespace

namespace detail {

void ResetSystem() { messageBoxes.clear(); }

}  // namespace detail

const std::vector<MessageBoxRecord>& MessageBoxes() { return messageBoxes; }

}  // namespace sim

namespace platform {

std::string ProgramPath() { return "/opt/veranto/audival"; }

// The simulated user dismisses every box at once.
void MessageBox(const std::string& title, const std::string& text) {
  sim::messageBoxes.push_back({ClockMilliseconds(), title, text});
}

}  // namespace platform
