// The simulated machine's clock, event queue, input scripts and program runs.
#include <algorithm>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/events.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "platform/system.h"

namespace sim {
namespace {

using platform::Event;

struct TimedStep {
  std::int64_t at = 0;
  std::vector<Event> events;
};

std::int64_t now = 0;
std::deque<Event> queue;
std::deque<std::vector<Event>> nextWaitSteps;
std::deque<std::vector<Event>> idleSteps;
// Kept in time order; steps for the same time stay in the order they were scripted.
std::vector<TimedStep> timedSteps;
void (*endOfProgramHandler)() = nullptr;
bool endOfProgramHandlerRan = false;

void MoveDueSteps() {
  auto firstLater = std::find_if(timedSteps.begin(), timedSteps.end(),
                                 [](const TimedStep& step) { return step.at > now; });
  for (auto step = timedSteps.begin(); step != firstLater; ++step) {
    queue.insert(queue.end(), step->events.begin(), step->events.end());
  }
  timedSteps.erase(timedSteps.begin(), firstLater);
}

void ScheduleStep(std::int64_t atMs, std::vector<Event> events) {
  auto later = std::upper_bound(timedSteps.begin(), timedSteps.end(), atMs,
                                [](std::int64_t at, const TimedStep& step) { return at < step.at; });
  timedSteps.insert(later, TimedStep{atMs, std::move(events)});
}

void RunDueDevices() {
  detail::RunDueWaveOut();
  detail::RunDueWaveIn();
}

// Delivers what has come due by now: timed steps first, then device happenings.
void DeliverDue() {
  MoveDueSteps();
  RunDueDevices();
}

std::int64_t NextHappening() {
  std::int64_t next = std::min(detail::NextWaveOutHappening(), detail::NextWaveInHappening());
  if (!timedSteps.empty()) next = std::min(next, timedSteps.front().at);
  return next;
}

// Moves the clock to `target` through every happening on the way, so that their events are
// queued in the order of their times.
void AdvanceTo(std::int64_t target) {
  for (std::int64_t next = NextHappening(); next <= target; next = NextHappening()) {
    now = std::max(now, next);
    DeliverDue();
  }
  now = std::max(now, target);
  DeliverDue();
}

// Queues the next idle step when nothing plays or records; true when it did.
bool DeliverIdleStep() {
  if (idleSteps.empty() || detail::NextWaveOutHappening() != detail::kNoHappening ||
      detail::NextWaveInHappening() != detail::kNoHappening) {
    return false;
  }
  queue.insert(queue.end(), idleSteps.front().begin(), idleSteps.front().end());
  idleSteps.pop_front();
  return true;
}

void RunEndOfProgramHandlerOnce() {
  if (endOfProgramHandlerRan || endOfProgramHandler == nullptr) return;
  endOfProgramHandlerRan = true;
  endOfProgramHandler();
}

}  // namespace

namespace detail {

void PushEvent(const Event& event) { queue.push_back(event); }

}  // namespace detail

void Reset(const Options& options) {
  now = 0;
  queue.clear();
  nextWaitSteps.clear();
  idleSteps.clear();
  timedSteps.clear();
  endOfProgramHandler = nullptr;
  endOfProgramHandlerRan = false;
  detail::ResetWindow(options);
  detail::ResetScreen();
  detail::ResetSound();
  detail::ResetSystem();
  detail::ResetWaveOut();
  detail::ResetWaveIn();
  detail::ResetWaveFaults();
  detail::ResetMicrophone();
}

std::int64_t Now() { return now; }

void PressKey(int virtualKey, Modifiers modifiers) {
  nextWaitSteps.push_back(detail::KeyStrokeEvents(virtualKey, modifiers));
}

void PressKeyAt(std::int64_t atMs, int virtualKey, Modifiers modifiers) {
  ScheduleStep(atMs, detail::KeyStrokeEvents(virtualKey, modifiers));
}

void PressKeyWhenIdle(int virtualKey, Modifiers modifiers) {
  idleSteps.push_back(detail::KeyStrokeEvents(virtualKey, modifiers));
}

void TypeText(const std::string& text) {
  for (char c : text) nextWaitSteps.push_back(detail::TypedByteEvents(static_cast<unsigned char>(c)));
}

void Chord(const std::string& letters) { nextWaitSteps.push_back(detail::ChordEvents(letters)); }

void QueueStep(const std::vector<Event>& events) { nextWaitSteps.push_back(events); }

void QueueStepAt(std::int64_t atMs, const std::vector<Event>& events) { ScheduleStep(atMs, events); }

RunResult Run(const std::function<void()>& program) {
  RunResult result;
  endOfProgramHandlerRan = false;
  try {
    program();
    RunEndOfProgramHandlerOnce();
  } catch (const detail::ExitSignal& signal) {
    result.exited = true;
    result.exitCode = signal.exitCode;
  } catch (const detail::StallSignal& signal) {
    result.stalled = true;
    result.message = signal.message;
  }
  return result;
}

}  // namespace sim

namespace platform {

bool PeekEvent(Event& event) {
  sim::DeliverDue();
  if (sim::queue.empty()) return false;
  event = sim::queue.front();
  sim::queue.pop_front();
  return true;
}

void WaitEvent() {
  sim::DeliverDue();
  if (!sim::queue.empty()) return;
  while (!sim::nextWaitSteps.empty()) {
    const std::vector<Event> step = std::move(sim::nextWaitSteps.front());
    sim::nextWaitSteps.pop_front();
    sim::queue.insert(sim::queue.end(), step.begin(), step.end());
    if (!sim::queue.empty()) return;
  }
  // Timed keys and device happenings: every one of them queues at least one event, except an
  // empty scripted step, after which the search goes on.
  for (std::int64_t next = sim::NextHappening(); next != sim::detail::kNoHappening;
       next = sim::NextHappening()) {
    if (sim::DeliverIdleStep()) return;
    sim::AdvanceTo(next);
    if (!sim::queue.empty()) return;
  }
  if (sim::DeliverIdleStep()) return;
  throw sim::detail::StallSignal{"the program waits for input, but the script has nothing more to give (at " +
                                 std::to_string(sim::now) + " ms)"};
}

void PostWake(int message) {
  Event event;
  event.kind = EventKind::Wake;
  event.code = message;
  sim::queue.push_back(event);
}

void PostQuit(int exitCode) {
  Event event;
  event.kind = EventKind::Quit;
  event.code = exitCode;
  sim::queue.push_back(event);
}

void Sleep(int milliseconds) { sim::AdvanceTo(sim::now + std::max(milliseconds, 0)); }

std::int64_t ClockMilliseconds() { return sim::now; }

void ExitProgram(int exitCode) {
  sim::RunEndOfProgramHandlerOnce();
  throw sim::detail::ExitSignal{exitCode};
}

void SetEndOfProgramHandler(void (*handler)()) { sim::endOfProgramHandler = handler; }

}  // namespace platform
