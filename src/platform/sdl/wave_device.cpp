// What the wave-output and wave-input devices share: opening an SDL audio device with the
// Windows result codes, and the life of a block header.

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/sdl/sdl_internal.h"

namespace platform::sdl {
namespace {

// Samples per callback: a power of two lasting at most 10 ms (64 at 11 025 Hz), never more
// than 1024, so a block is reported done shortly before it is heard and a key silences the
// sound quickly: closing a device waits for the callback period, twice on some drivers.
Uint16 DeviceSamples(int rate) {
  Uint16 samples = 1024;
  while (samples > 1 && samples > rate / 100) samples /= 2;
  return samples;
}

bool Mentions(std::string text, const char* what) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text.find(what) != std::string::npos;
}

// SDL reports why an open failed only as text; these are the texts of its single-device
// drivers, of ALSA (EBUSY) and of its own table of open devices.
int CodeOfOpenFailure(const char* error) {
  const std::string text = error != nullptr ? error : "";
  if (Mentions(text, "already open") || Mentions(text, "busy") ||
      Mentions(text, "too many open")) {
    return kMmAllocated;
  }
  if (Mentions(text, "out of memory")) return kMmNoMemory;
  return kMmBadDeviceId;
}

}  // namespace

bool ValidWaveFormat(const WaveFormat& format) {
  return (format.bits == 8 || format.bits == 16) &&
         (format.channels == 1 || format.channels == 2) && format.rate >= 1 &&
         format.rate <= 200000;
}

int OpenWaveDevice(const WaveFormat& format, bool capture, SDL_AudioCallback callback,
                   SDL_AudioDeviceID& device) {
  device = 0;
  if (!ValidWaveFormat(format)) return kWaveBadFormat;
  if (!StartAudio()) return kMmNoDriver;
  // The callbacks push their events through SDL's queue, which must run before they do.
  StartEvents();
  SDL_AudioSpec wanted{};
  wanted.freq = format.rate;
  wanted.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  wanted.channels = static_cast<Uint8>(format.channels);
  wanted.samples = DeviceSamples(format.rate);
  wanted.callback = callback;
  SDL_AudioSpec obtained{};
  SDL_ClearError();
  device = SDL_OpenAudioDevice(nullptr, capture ? 1 : 0, &wanted, &obtained, 0);
  if (device != 0) return kMmNoError;
  return CodeOfOpenFailure(SDL_GetError());
}

int PrepareWaveHeader(WaveHeader& header) {
  if (header.length < 0 || (header.data == nullptr && header.length > 0)) {
    return kMmInvalidParameter;
  }
  header.flags.fetch_or(kWaveHeaderPrepared, std::memory_order_relaxed);
  return kMmNoError;
}

int UnprepareWaveHeader(WaveHeader& header) {
  // A queued header still belongs to the device; any other may always be let go, even after
  // its device was closed.
  if ((header.flags.load(std::memory_order_acquire) & kWaveHeaderInQueue) != 0) {
    return kWaveStillPlaying;
  }
  header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_relaxed);
  return kMmNoError;
}

int EnqueueWaveHeader(WaveHeader& header) {
  const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
  if ((flags & kWaveHeaderPrepared) == 0) return kWaveUnprepared;
  if ((flags & kWaveHeaderInQueue) != 0) return kWaveStillPlaying;
  if (header.length < 0 || (header.data == nullptr && header.length > 0)) {
    return kMmInvalidParameter;
  }
  header.bytesRecorded.store(0, std::memory_order_relaxed);
  header.flags.store((flags & ~kWaveHeaderDone) | kWaveHeaderInQueue, std::memory_order_relaxed);
  return kMmNoError;
}

void MarkWaveHeaderDone(WaveHeader& header) {
  const std::uint32_t flags = header.flags.load(std::memory_order_relaxed);
  header.flags.store((flags & ~kWaveHeaderInQueue) | kWaveHeaderDone, std::memory_order_release);
}

}  // namespace platform::sdl
