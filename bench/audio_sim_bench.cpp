// Audio figures on the simulated machine (virtual time, exact):
// - key to silence: a long wave file plays, a key arrives at a scripted time, and the time
//   from the key to the player closing the device is read off the virtual clock;
// - the CPU cost of one captured buffer: its peak and the redraw of the live bar on the
//   console window.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/capture/capture.h"
#include "audio/player/player.h"
#include "console/console.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "platform/wave.h"

namespace {

constexpr int kRate = 11025;
constexpr int kKeyTimes = 50;

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

// A folder of its own for the machine's Windows folder and the sound file.
const std::filesystem::path& WorkFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "veranto-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    setenv("VERANTO_WINDIR", pattern.c_str(), 1);
    return std::filesystem::path(pattern);
  }();
  return folder;
}

// 40 s of 8-bit mono sound: seven blocks, so the player first waits for free slots (polling
// every 10 ms) and, once the last block is queued, waits on the event queue.
const std::string& LongWaveFile() {
  static const std::string path = [] {
    const std::uint32_t length = 40 * kRate;
    std::string out = "RIFF";
    Put(out, 36 + length, 4);
    out += "WAVEfmt ";
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, 1, 2);
    Put(out, kRate, 4);
    Put(out, kRate, 4);
    Put(out, 1, 2);
    Put(out, 8, 2);
    out += "data";
    Put(out, length, 4);
    for (std::uint32_t i = 0; i < length; ++i) out += static_cast<char>(128 + (i % 64) - 32);
    const std::string file = (WorkFolder() / "longo.wav").string();
    std::ofstream(file, std::ios::binary) << out;
    return file;
  }();
  return path;
}

// Virtual milliseconds from a key at `keyMs` to the device being closed; -1 if it was not.
double KeyToSilence(std::int64_t keyMs) {
  sim::Reset();
  console::ConsoleStart();
  audio::PlayerStart();
  sim::PressKeyAt(keyMs, platform::kVkUp);
  std::int64_t closedMs = -1;
  sim::Run([&] {
    audio::WavPlayFile(LongWaveFile());
    if (!platform::WaveOutIsOpen()) closedMs = sim::Now();
  });
  audio::PlayerStop();
  console::ConsoleStop();
  return closedMs < 0 ? -1 : static_cast<double>(closedMs - keyMs);
}

// Keys at 50 successive milliseconds from the first argument: at 1 s the player is polling
// for a free slot; at 20 s every block is queued and it waits for events.
void BM_KeyToSilenceSim(benchmark::State& state) {
  const std::int64_t firstKeyMs = state.range(0);
  double longest = 0;
  double total = 0;
  for (auto _ : state) {
    for (int k = 0; k < kKeyTimes; ++k) {
      const double ms = KeyToSilence(firstKeyMs + k);
      if (ms < 0) {
        state.SkipWithError("the device stayed open");
        return;
      }
      longest = std::max(longest, ms);
      total += ms;
    }
  }
  state.counters["max_virtual_ms"] = longest;
  state.counters["mean_virtual_ms"] = total / (kKeyTimes * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_KeyToSilenceSim)->Arg(1000)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Captured buffers whose peaks move from one to the next, as a live microphone's do.
std::vector<std::vector<std::uint8_t>> CapturedBuffers() {
  std::vector<std::vector<std::uint8_t>> buffers;
  for (int level = 0; level <= 128; level += 7) {
    std::vector<std::uint8_t> buffer(1024);
    for (std::size_t i = 0; i < buffer.size(); ++i) {
      const int swing = static_cast<int>((i * 13) % static_cast<std::size_t>(level + 1));
      buffer[i] = static_cast<std::uint8_t>(i % 2 == 0 ? 128 - std::min(swing, 128) : 128 + std::min(swing, 127));
    }
    buffers.push_back(buffer);
  }
  return buffers;
}

void BM_CapturedBufferSim(benchmark::State& state) {
  WorkFolder();
  const auto buffers = CapturedBuffers();
  sim::Reset();
  console::ConsoleStart();
  sim::Run([&] {
    console::EnsureConsole();
    std::size_t next = 0;
    for (auto _ : state) {
      const std::vector<std::uint8_t>& buffer = buffers[next];
      audio::DrawLevelBar(audio::BufferPeak(buffer.data(), static_cast<int>(buffer.size())));
      next = (next + 1) % buffers.size();
      // The machine records every text run drawn; keep that record small.
      if (next == 0 && sim::TextRuns().size() > 4096) sim::ClearTextRuns();
    }
  });
  console::ConsoleStop();
}
BENCHMARK(BM_CapturedBufferSim)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(WorkFolder());
  return 0;
}
