// Tones: a wave image played in a loop on its own SDL audio device, and the beep, a short
// tone played once. The callbacks only copy samples.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/common/wave_image.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sound.h"
#include "platform/wave.h"

namespace platform::sdl {
namespace {

struct Samples {
  std::vector<Uint8> bytes;
  std::size_t position = 0;
  bool loop = false;
  Uint8 silence = 0;
  std::atomic<bool> finished{false};
};

SDL_AudioDeviceID loopDevice = 0;
std::unique_ptr<Samples> loopSamples;
SDL_AudioDeviceID beepDevice = 0;
std::unique_ptr<Samples> beepSamples;

constexpr int kBeepRate = 22050;
constexpr int kBeepHz = 800;
constexpr int kBeepMs = 100;

// Reads a RIFF/WAVE image of PCM samples; the data is clamped to what the image holds and to
// whole sample frames.
bool ParseWave(const std::uint8_t* image, std::size_t size, WaveFormat& format,
               std::vector<Uint8>& samples) {
  std::size_t at = 0;
  std::size_t count = 0;
  if (!FindLoopingWaveSamples(image, size, format, at, count)) return false;
  samples.assign(image + at, image + at + count);
  return true;
}

void SDLCALL FeedSamples(void* userdata, Uint8* stream, int length) {
  auto* samples = static_cast<Samples*>(userdata);
  std::size_t written = 0;
  const std::size_t wanted = static_cast<std::size_t>(length);
  while (written < wanted) {
    if (samples->position >= samples->bytes.size()) {
      if (!samples->loop || samples->bytes.empty()) {
        std::memset(stream + written, samples->silence, wanted - written);
        samples->finished.store(true, std::memory_order_release);
        return;
      }
      samples->position = 0;
    }
    const std::size_t chunk =
        std::min(wanted - written, samples->bytes.size() - samples->position);
    std::memcpy(stream + written, samples->bytes.data() + samples->position, chunk);
    samples->position += chunk;
    written += chunk;
  }
}

SDL_AudioDeviceID OpenOutput(const WaveFormat& format, Samples& samples) {
  if (!StartAudio()) {
    NoteOutputOpenFailure(kMmNoDriver);
    return 0;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = format.rate;
  wanted.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  wanted.channels = static_cast<Uint8>(format.channels);
  wanted.samples = 1024;
  wanted.callback = FeedSamples;
  wanted.userdata = &samples;
  samples.silence = format.bits == 8 ? 128 : 0;
  SDL_AudioSpec obtained{};
  if (AudioServerGone()) {
    NoteOutputOpenFailure(kMmBadDeviceId);
    return 0;
  }
  SDL_ClearError();
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device == 0) {
    NoteOutputOpenFailure(CodeOfOpenFailure(SDL_GetError()));
    return 0;
  }
  SDL_PauseAudioDevice(device, 0);
  return device;
}

void CloseBeep() {
  if (beepDevice != 0) SDL_CloseAudioDevice(beepDevice);
  beepDevice = 0;
  beepSamples.reset();
}

void CloseFinishedBeep() {
  if (beepDevice != 0 && beepSamples->finished.load(std::memory_order_acquire)) CloseBeep();
}

void CloseLoop() {
  if (loopDevice != 0) SDL_CloseAudioDevice(loopDevice);
  loopDevice = 0;
  loopSamples.reset();
}

void CloseAllSound() {
  CloseLoop();
  CloseBeep();
}

std::vector<Uint8> BeepSamples() {
  constexpr int count = kBeepRate * kBeepMs / 1000;
  constexpr int ramp = kBeepRate / 200;  // 5 ms fade in and out, so the tone does not click
  std::vector<Uint8> bytes(count * 2);
  for (int k = 0; k < count; ++k) {
    const double envelope = std::min({1.0, double(k) / ramp, double(count - 1 - k) / ramp});
    const double value = 8000.0 * envelope * std::sin(2 * M_PI * kBeepHz * k / kBeepRate);
    const auto sample = static_cast<Sint16>(std::lround(value));
    bytes[2 * k] = static_cast<Uint8>(sample & 0xFF);
    bytes[2 * k + 1] = static_cast<Uint8>((sample >> 8) & 0xFF);
  }
  return bytes;
}

}  // namespace

void ReleaseFinishedBeep() { CloseFinishedBeep(); }

bool TonesOpen() { return loopDevice != 0 || beepDevice != 0; }

}  // namespace platform::sdl

namespace platform {

using namespace sdl;

bool PlayLoopingSound(const std::uint8_t* image, std::size_t size) {
  CloseLoop();
  CloseFinishedBeep();
  WaveFormat format;
  auto samples = std::make_unique<Samples>();
  if (!ParseWave(image, size, format, samples->bytes)) return false;
  if (format.bits == 8 && WidensEightBitSound()) {
    std::vector<Uint8> wide(samples->bytes.size() * 2);
    WidenToSixteenBits(samples->bytes.data(), samples->bytes.size(), wide.data());
    samples->bytes.swap(wide);
    format.bits = 16;
  }
  samples->loop = true;
  SDL_AudioDeviceID device = OpenOutput(format, *samples);
  if (device == 0 && beepDevice != 0) {
    // Some drivers have one output: the tone matters more than the end of a beep.
    CloseBeep();
    device = OpenOutput(format, *samples);
  }
  if (device == 0) return false;
  AddShutdownStep(CloseAllSound);
  loopDevice = device;
  loopSamples = std::move(samples);
  return true;
}

void StopLoopingSound() {
  CloseLoop();
  CloseFinishedBeep();
}

void Beep() {
  CloseFinishedBeep();
  if (beepDevice != 0) return;  // the previous beep still sounds
  auto samples = std::make_unique<Samples>();
  samples->bytes = BeepSamples();
  const SDL_AudioDeviceID device = OpenOutput({.rate = kBeepRate, .bits = 16, .channels = 1}, *samples);
  if (device == 0) {
    std::fputc('\a', stderr);
    std::fflush(stderr);
    return;
  }
  AddShutdownStep(CloseAllSound);
  beepDevice = device;
  beepSamples = std::move(samples);
}

}  // namespace platform
