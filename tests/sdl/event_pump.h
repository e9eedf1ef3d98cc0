#pragma once

#include <functional>
#include <vector>

#include "platform/events.h"

namespace sdltest {

// The Wake code the pump's watchdog posts; collected event lists never contain it.
constexpr int kWatchdogWake = -4711;

using EventList = std::vector<platform::Event>;

// Takes events with WaitEvent/PeekEvent until `done` accepts what was collected or
// `timeoutMs` has passed. A watchdog thread posts a wake at the deadline, so a wait for
// something that never comes ends instead of hanging.
EventList CollectUntil(const std::function<bool(const EventList&)>& done, int timeoutMs = 3000);

// Only the keyboard events (key downs and ups, system keys, characters) of `events`.
EventList KeyboardOnly(const EventList& events);

}  // namespace sdltest
