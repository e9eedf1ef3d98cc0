// Audio figures on the real SDL backend (wall time; run under a virtual X server with
// SDL_AUDIODRIVER=dummy, see run_audio.sh):
// - key to silence: while a long sound plays, another thread pushes a key press into SDL's
//   event queue, as the window system would; the time runs until the player has closed the
//   device;
// - the CPU cost of one captured buffer: its peak and the redraw of the live bar on the
//   console window.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "audio/capture/capture.h"
#include "audio/player/player.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/wave.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRate = 11025;

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

// About 17 s of 8-bit mono sound: three blocks, all queued at once.
std::vector<std::uint8_t> LongWaveImage() {
  const std::uint32_t length = 3 * 65534;
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
  return std::vector<std::uint8_t>(out.begin(), out.end());
}

void PushKey(Uint32 type) {
  SDL_Event event{};
  event.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = SDL_SCANCODE_UP;
  event.key.keysym.sym = SDLK_UP;
  SDL_PushEvent(&event);
}

// The console window and the player for the length of one benchmark; std::cout shows in the
// window meanwhile, and goes back to the terminal for the results.
class ConsoleSession {
 public:
  ConsoleSession() {
    console::ConsoleStart();
    audio::PlayerStart();
    console::EnsureConsole();
  }
  ~ConsoleSession() {
    audio::PlayerStop();
    console::ConsoleStop();
  }
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;
};

void DropQueuedKeys() {
  while (console::KeyPressed()) console::ReadKey();
}

void BM_KeyToSilenceSdl(benchmark::State& state) {
  const ConsoleSession session;
  std::vector<std::uint8_t> image = LongWaveImage();
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> startDelayMs(40, 120);
  double longest = 0;
  bool failed = false;
  for (auto _ : state) {
    audio::WavPlayBuffer(image.data(), image.size());
    if (!platform::WaveOutIsOpen()) {
      failed = true;
      break;
    }
    std::atomic<std::int64_t> pushedAt{0};
    const int delayMs = startDelayMs(random);
    std::thread presser([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      pushedAt.store(Clock::now().time_since_epoch().count());
      PushKey(SDL_KEYDOWN);
      PushKey(SDL_KEYUP);
    });
    while (audio::WavBusy()) platform::WaitEvent();
    const std::int64_t silentAt = Clock::now().time_since_epoch().count();
    presser.join();
    if (platform::WaveOutIsOpen()) {
      failed = true;
      break;
    }
    const double seconds = std::chrono::duration<double>(Clock::duration(silentAt - pushedAt.load())).count();
    state.SetIterationTime(seconds);
    longest = std::max(longest, seconds * 1000);
    DropQueuedKeys();
  }
  if (failed) state.SkipWithError("the sound did not start or did not stop");
  state.counters["max_ms"] = longest;
}
BENCHMARK(BM_KeyToSilenceSdl)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);

// The floor under key to silence: closing an idle output device of the same format, which
// waits for the backend's audio thread to let go.
void BM_WaveOutCloseSdl(benchmark::State& state) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> openMs(20, 80);
  for (auto _ : state) {
    if (platform::WaveOutOpen({kRate, 8, 1}) != platform::kMmNoError) {
      state.SkipWithError("the output device did not open");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(openMs(random)));
    const Clock::time_point start = Clock::now();
    platform::WaveOutClose();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
}
BENCHMARK(BM_WaveOutCloseSdl)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

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

void BM_CapturedBufferSdl(benchmark::State& state) {
  const ConsoleSession session;
  const auto buffers = CapturedBuffers();
  std::size_t next = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t>& buffer = buffers[next];
    audio::DrawLevelBar(audio::BufferPeak(buffer.data(), static_cast<int>(buffer.size())));
    next = (next + 1) % buffers.size();
  }
}
BENCHMARK(BM_CapturedBufferSdl)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The console's settings come from a Windows folder of our own, without a VERANTO.INI.
  std::string folder = (std::filesystem::temp_directory_path() / "veranto-bench-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) return 1;
  setenv("VERANTO_WINDIR", folder.c_str(), 1);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(folder);
  return 0;
}
