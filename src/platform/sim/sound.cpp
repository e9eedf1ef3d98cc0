// The simulated loudspeaker: looping tones and beeps, recorded with their virtual times.
#include <cstring>
#include <vector>

#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "platform/sound.h"
#include "platform/system.h"

namespace sim {
namespace {

constexpr std::size_t kWaveHeaderSize = 44;

std::vector<ToneRecord> tones;
std::vector<std::int64_t> beeps;

void StopSounding() {
  if (!tones.empty() && tones.back().stopped < 0) tones.back().stopped = platform::ClockMilliseconds();
}

}  // namespace

namespace detail {

void ResetSound() {
  tones.clear();
  beeps.clear();
}

}  // namespace detail

const std::vector<std::int64_t>& Beeps() { return beeps; }
const std::vector<ToneRecord>& Tones() { return tones; }

}  // namespace sim

namespace platform {

bool PlayLoopingSound(const std::uint8_t* image, std::size_t size) {
  if (image == nullptr || size < sim::kWaveHeaderSize || std::memcmp(image, "RIFF", 4) != 0 ||
      std::memcmp(image + 8, "WAVE", 4) != 0) {
    return false;
  }
  sim::StopSounding();
  sim::tones.push_back({ClockMilliseconds(), -1, std::vector<std::uint8_t>(image, image + size)});
  return true;
}

void StopLoopingSound() { sim::StopSounding(); }

void Beep() { sim::beeps.push_back(ClockMilliseconds()); }

}  // namespace platform
