#include "event_pump.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace sdltest {

EventList CollectUntil(const std::function<bool(const EventList&)>& done, int timeoutMs) {
  std::mutex mutex;
  std::condition_variable finished;
  bool stop = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (!finished.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return stop; })) {
      platform::PostWake(kWatchdogWake);
    }
  });
  EventList events;
  bool timedOut = false;
  while (!timedOut && !done(events)) {
    platform::WaitEvent();
    platform::Event event;
    while (platform::PeekEvent(event)) {
      if (event.kind == platform::EventKind::Wake && event.code == kWatchdogWake) {
        timedOut = true;
      } else {
        events.push_back(event);
      }
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    stop = true;
  }
  finished.notify_one();
  watchdog.join();
  return events;
}

EventList KeyboardOnly(const EventList& events) {
  EventList keys;
  for (const platform::Event& event : events) {
    switch (event.kind) {
      case platform::EventKind::KeyDown:
      case platform::EventKind::KeyUp:
      case platform::EventKind::SysKeyDown:
      case platform::EventKind::SysKeyUp:
      case platform::EventKind::Char:
        keys.push_back(event);
        break;
      default:
        break;
    }
  }
  return keys;
}

}  // namespace sdltest
