// What the wave-output and wave-input devices share: opening an SDL audio device with the
// Windows result codes, choosing the microphone, and the life of a block header.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "platform/encoding.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/system.h"

namespace platform::sdl {
namespace {

bool audioTrouble = false;  // a device went away since SDL's audio was last started

// Samples per callback, a power of two. Output: at most 24 ms (256 at 11 025 Hz). With 12 ms
// a busy machine left 4 ms gaps in the sound about once a minute (6 ms: more often); the
// sound server also holds 60 ms (set at start). A key still silences the sound about as
// fast, since closing the device drops what the server holds, but the close itself waits
// for the callback period (twice on some drivers).
// Capture: at most 100 ms (1024 at 11 025 Hz, one measurement buffer), because a sound
// server that has to wake a recorder every few milliseconds drops or repeats pieces of the
// signal when the machine is busy, and each such seam can raise a buffer's peak.
Uint16 DeviceSamples(int rate, bool capture) {
  Uint16 samples = 4096;
  const int longest = capture ? rate / 10 : rate * 24 / 1000;
  while (samples > 1 && samples > longest) samples /= 2;
  return samples;
}

bool Mentions(std::string text, const char* what) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text.find(what) != std::string::npos;
}

// The microphone a measurement may record from, by SDL's name for it ("" for SDL's default
// device), or kMmBadDeviceId when there is none.
//
// SDL lists only inputs: the monitors a sound server offers of its outputs are left out (the
// hint that would add them is forced off at start). A sound server without a microphone still
// has a default source, the monitor of the speakers, and opening SDL's default capture device
// would record that: the computer's own output, or silence. So the default is taken only when
// it is one of the listed inputs: the pulseaudio driver cannot name its default at all when it
// is a monitor, and the pipewire driver names the speakers' sink. Drivers that cannot tell
// their default (alsa, dsp, disk, dummy) answer "not supported"; there a listed input means
// that SDL's default is one.
int ChooseMicrophone(std::string& name) {
  name.clear();
  const int count = SDL_GetNumAudioDevices(1);
  if (count == 0) return kMmBadDeviceId;
  char* defaultName = nullptr;
  SDL_AudioSpec defaultSpec;
  SDL_ClearError();
  if (SDL_GetDefaultAudioInfo(&defaultName, &defaultSpec, 1) != 0) {
    return Mentions(SDL_GetError(), "not supported") ? kMmNoError : kMmBadDeviceId;
  }
  const std::string wanted = defaultName != nullptr ? defaultName : "";
  SDL_free(defaultName);
  for (int k = 0; k < count; ++k) {
    const char* listed = SDL_GetAudioDeviceName(k, 1);
    if (listed != nullptr && wanted == listed) {
      name = wanted;
      return kMmNoError;
    }
  }
  return kMmBadDeviceId;
}

SDL_AudioDeviceID OpenNamedDevice(const std::string& name, bool capture, const SDL_AudioSpec& wanted) {
  SDL_AudioSpec obtained{};
  SDL_ClearError();
  return SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), capture ? 1 : 0, &wanted,
                             &obtained, 0);
}

// The name of the running program for messages: its file name, in UTF-8.
std::string ProgramName() {
  const std::string path = ProgramPath();
  const std::size_t slash = path.find_last_of(kPathSeparator);
  return Cp1252ToUtf8(slash == std::string::npos ? path : path.substr(slash + 1));
}

}  // namespace

int CodeOfOpenFailure(const char* error) {
  const std::string text = error != nullptr ? error : "";
  if (Mentions(text, "already open") || Mentions(text, "busy") ||
      Mentions(text, "too many open")) {
    return kMmAllocated;
  }
  if (Mentions(text, "out of memory")) return kMmNoMemory;
  return kMmBadDeviceId;
}

void NoteOutputOpenFailure(int code) {
  static bool told = false;
  if (told || (code != kMmNoDriver && code != kMmBadDeviceId)) return;
  told = true;
  const std::string message =
      ProgramName() + ": " + Cp1252ToUtf8("nenhuma saída de som pôde ser aberta; o programa segue sem som.") + "\n";
  std::fputs(message.c_str(), stderr);
  std::fflush(stderr);
}

bool TestAudioDriver() {
  const char* driver = SDL_GetCurrentAudioDriver();
  return driver != nullptr && (SDL_strcmp(driver, "disk") == 0 || SDL_strcmp(driver, "dummy") == 0);
}

bool WidensEightBitSound() { return StartAudio() && !TestAudioDriver(); }

void WidenToSixteenBits(const Uint8* from, std::size_t count, Uint8* to) {
  // (b - 128) << 8: a low byte of 0, and the byte with its sign bit flipped.
  for (std::size_t k = 0; k < count; ++k) {
    to[2 * k] = 0;
    to[2 * k + 1] = static_cast<Uint8>(from[k] ^ 0x80);
  }
}

bool ValidWaveFormat(const WaveFormat& format) {
  return (format.bits == 8 || format.bits == 16) &&
         (format.channels == 1 || format.channels == 2) && format.rate >= 1 &&
         format.rate <= 200000;
}

int OpenWaveDevice(const WaveFormat& format, bool capture, SDL_AudioCallback callback,
                   SDL_AudioDeviceID& device) {
  device = 0;
  if (!ValidWaveFormat(format)) return kWaveBadFormat;
  SDL_AudioSpec wanted{};
  wanted.freq = format.rate;
  wanted.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  wanted.channels = static_cast<Uint8>(format.channels);
  wanted.samples = DeviceSamples(format.rate, capture);
  wanted.callback = callback;
  int result = kMmNoDriver;
  // SDL's audio is started afresh (about 2 ms, and only when none of our devices is open)
  // before an open that could otherwise go wrong:
  // - after a device went away: SDL's pipewire driver, asked to open a device once its
  //   server has ended, can wait for ever for the stream to connect;
  // - before each measurement with the pulseaudio driver, which learns the default source
  //   once, when it starts: a microphone chosen since, or a monitor made the default, would
  //   go unseen.
  if (SDL_WasInit(SDL_INIT_AUDIO) != 0) {
    const char* driver = SDL_GetCurrentAudioDriver();
    const bool pulse = driver != nullptr && SDL_strcmp(driver, "pulseaudio") == 0;
    if ((audioTrouble || (capture && pulse)) && RestartAudioIfIdle()) audioTrouble = false;
  }
  // A sound server that was restarted leaves SDL talking to the old one, and every open
  // fails; SDL's audio is started afresh once, when none of our devices holds it.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (attempt > 0 && !RestartAudioIfIdle()) break;
    if (!StartAudio()) {
      result = kMmNoDriver;
      continue;
    }
    // The callbacks push their events through SDL's queue, which must run before they do.
    StartEvents();
    std::string name;
    result = AudioServerGone() ? kMmBadDeviceId : capture ? ChooseMicrophone(name) : kMmNoError;
    if (result == kMmNoError) {
      device = OpenNamedDevice(name, capture, wanted);
      if (device != 0) return kMmNoError;
      result = CodeOfOpenFailure(SDL_GetError());
    }
    if (result == kMmAllocated || result == kMmNoMemory) break;
  }
  if (!capture) NoteOutputOpenFailure(result);
  return result;
}

void NoteAudioTrouble() { audioTrouble = true; }

void AudioDeviceRemoved(SDL_AudioDeviceID device, bool capture) {
  // Any device, ours or not: a sound server that ends takes every device with it.
  NoteAudioTrouble();
  if (capture) {
    InputDeviceRemoved(device);
  } else {
    OutputDeviceRemoved(device);
  }
}

bool WatchWaveDevices() {
  const Uint64 now = SDL_GetTicks64();
  const bool input = WatchInputDevice(now);
  const bool output = WatchOutputDevice(now);
  return input || output;
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
