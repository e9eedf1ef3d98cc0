// The simulated machine's program file, message boxes and registry.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "platform/system.h"

namespace sim {
namespace {

std::vector<MessageBoxRecord> messageBoxes;
// Registry values the test scripted, by key and value name.
std::map<std::pair<std::string, std::string>, std::string> registryValues;
int componentServicesStarts = 0;

}  // namespace

namespace detail {

void ResetSystem() {
  messageBoxes.clear();
  registryValues.clear();
  componentServicesStarts = 0;
}

}  // namespace detail

const std::vector<MessageBoxRecord>& MessageBoxes() { return messageBoxes; }

int ComponentServicesStarts() { return componentServicesStarts; }

void SetRegistryString(const std::string& key, const std::string& valueName,
                       const std::string& value) {
  registryValues[{key, valueName}] = value;
}

}  // namespace sim

namespace platform {

std::string ProgramPath() { return "/opt/veranto/audival"; }

bool ReadRegistryString(const std::string& key, const std::string& valueName,
                        std::string& value) {
  const auto found = sim::registryValues.find({key, valueName});
  if (found == sim::registryValues.end()) return false;
  value = found->second;
  return true;
}

void StartComponentServices() { ++sim::componentServicesStarts; }

// The simulated user dismisses every box at once.
void MessageBox(const std::string& title, const std::string& text) {
  sim::messageBoxes.push_back({ClockMilliseconds(), title, text});
}

}  // namespace platform
