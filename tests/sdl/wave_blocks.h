#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "event_pump.h"
#include "platform/events.h"
#include "platform/wave.h"

// Blocks, buffers and event waits for the wave device tests.
namespace sdltest {

// A block of samples with the header that describes it; the header keeps its address.
struct Block {
  std::vector<std::uint8_t> bytes;
  platform::WaveHeader header;

  Block(std::vector<std::uint8_t> samples, int tag) : bytes(std::move(samples)) {
    header.data = bytes.data();
    header.length = static_cast<int>(bytes.size());
    header.user = tag;
  }
  bool Done() const {
    return (header.flags.load(std::memory_order_acquire) & platform::kWaveHeaderDone) != 0;
  }
  bool Queued() const {
    return (header.flags.load(std::memory_order_acquire) & platform::kWaveHeaderInQueue) != 0;
  }
};
using Blocks = std::vector<std::unique_ptr<Block>>;

// `count` bytes of a sequence that does not repeat within a few hundred kilobytes and never
// holds `avoid` (the silence byte, so played samples can be told from silence).
inline std::vector<std::uint8_t> Pattern(std::size_t count, std::uint32_t seed, int avoid = -1) {
  std::vector<std::uint8_t> bytes(count);
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::uint8_t& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
    if (byte == avoid) byte ^= 1;
  }
  return bytes;
}

// Waits for `count` events of `kind` (others are dropped); gives up after `timeoutMs`.
inline EventList WaitForEvents(platform::EventKind kind, std::size_t count, int timeoutMs = 3000) {
  const auto ofKind = [kind](const EventList& events) {
    EventList kept;
    for (const platform::Event& event : events) {
      if (event.kind == kind) kept.push_back(event);
    }
    return kept;
  };
  return ofKind(CollectUntil([&](const EventList& got) { return ofKind(got).size() >= count; },
                             timeoutMs));
}

// Removes every pending event.
inline void DropPendingEvents() {
  platform::Event event;
  while (platform::PeekEvent(event)) {
  }
}

// Holds the default output or capture device directly through SDL, as another program
// would; 0 when SDL refuses.
inline SDL_AudioDeviceID HoldRawDevice(bool capture) {
  SDL_AudioSpec wanted{};
  wanted.freq = 8000;
  wanted.format = AUDIO_U8;
  wanted.channels = 1;
  wanted.samples = 512;
  return SDL_OpenAudioDevice(nullptr, capture ? 1 : 0, &wanted, nullptr, 0);
}

}  // namespace sdltest
