// The wave-input device: SDL's capture callback fills the added buffers in order; each full
// buffer (or one returned early) gets its byte count and its done flag, and a WaveInData
// event wakes the program. Audio that arrives while no buffer is queued is dropped, and so is
// the settling of a newly opened stream. A device that SDL reports removed, or that stops
// delivering, is lost: its buffers come back and nothing more is recorded.

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/sdl/sdl_internal.h"
#include "platform/wave.h"

namespace platform::sdl {
namespace {

// A stream that a sound server has just opened starts with its resampler's filter empty:
// the first samples of a signal that is already there overshoot it (a steady peak of 64 was
// read as 69), and before the server links the stream to the microphone it may deliver a
// stretch of exact silence (one graph period, about 43 ms, was seen), after which the signal
// starts with the same overshoot. So the stream's leading exact silence, up to a second, and
// then 100 ms after the first sound are not recorded; the filter rings for under 1 ms.
constexpr int kLongestLeadingSilenceMs = 1000;
constexpr int kSettleAfterSoundMs = 100;

// Shared by the program thread and the capture callback, like the output queue.
struct InputQueue {
  std::mutex mutex;
  std::deque<WaveHeader*> buffers;  // added and not yet done; the head is being filled
  int filledOfHead = 0;
  bool lost = false;
  // Settling: frames still to drop while only silence has come, and after the first sound.
  bool settling = false;
  bool heardSound = false;
  int silentFramesLeft = 0;
  int settleFramesLeft = 0;
  int frameBytes = 1;
  Uint8 silence = 128;
};

InputQueue input;
std::atomic<Uint64> lastCallbackMs{0};
// Program thread only.
SDL_AudioDeviceID inputDevice = 0;
bool started = false;
Uint64 startedAtMs = 0;

// Caller holds input.mutex. The count is stored before the release store of the done flag,
// so a program that sees the flag sees the count and the bytes.
void ReturnHeadBuffer(bool report) {
  WaveHeader* header = input.buffers.front();
  input.buffers.pop_front();
  header->bytesRecorded.store(input.filledOfHead, std::memory_order_relaxed);
  input.filledOfHead = 0;
  MarkWaveHeaderDone(*header);
  if (report) PushEventFromAnyThread(Event{.kind = EventKind::WaveInData});
}

bool SilentFrame(const Uint8* frame) {
  for (int k = 0; k < input.frameBytes; ++k) {
    if (frame[k] != input.silence) return false;
  }
  return true;
}

// Caller holds input.mutex. How many bytes at the start of `stream` are still the stream
// settling; from then on everything is recorded.
int SettlingBytes(const Uint8* stream, int length) {
  int at = 0;
  while (input.settling && at + input.frameBytes <= length) {
    if (!input.heardSound && !SilentFrame(stream + at)) input.heardSound = true;
    int& left = input.heardSound ? input.settleFramesLeft : input.silentFramesLeft;
    if (left <= 0) {
      input.settling = false;
      break;
    }
    --left;
    at += input.frameBytes;
  }
  return at;
}

void SDLCALL TakeSamples(void*, Uint8* stream, int length) {
  lastCallbackMs.store(SDL_GetTicks64(), std::memory_order_relaxed);
  std::lock_guard<std::mutex> lock(input.mutex);
  if (input.lost) return;
  int taken = SettlingBytes(stream, length);
  while (taken < length && !input.buffers.empty()) {
    WaveHeader& head = *input.buffers.front();
    const int count = std::min(head.length - input.filledOfHead, length - taken);
    if (count > 0) {
      std::memcpy(head.data + input.filledOfHead, stream + taken, static_cast<std::size_t>(count));
      taken += count;
      input.filledOfHead += count;
    }
    if (input.filledOfHead >= head.length) ReturnHeadBuffer(true);
  }
}

void StartSettling(const WaveFormat& format) {
  input.frameBytes = format.channels * (format.bits / 8);
  input.silence = format.bits == 8 ? 128 : 0;
  input.settling = !TestAudioDriver();
  input.heardSound = false;
  input.silentFramesLeft = format.rate * kLongestLeadingSilenceMs / 1000;
  input.settleFramesLeft = format.rate * kSettleAfterSoundMs / 1000;
}

void LoseInput() {
  NoteAudioTrouble();
  std::lock_guard<std::mutex> lock(input.mutex);
  if (input.lost) return;
  input.lost = true;
  while (!input.buffers.empty()) ReturnHeadBuffer(true);
}

// Pausing waits for a callback in progress and keeps further ones from running (one that had
// already passed SDL's pause check may still run; it finds whatever queue the program left).
// Never called under input.mutex: a callback holding SDL's device lock may be waiting for it.
void PauseInput() {
  SDL_PauseAudioDevice(inputDevice, 1);
  started = false;
}

void CloseInputAtExit() {
  if (inputDevice != 0) SDL_CloseAudioDevice(inputDevice);
  inputDevice = 0;
  started = false;
  std::lock_guard<std::mutex> lock(input.mutex);
  while (!input.buffers.empty()) ReturnHeadBuffer(false);
}

}  // namespace

void InputDeviceRemoved(SDL_AudioDeviceID device) {
  if (device != 0 && device == inputDevice) LoseInput();
}

bool WatchInputDevice(Uint64 nowMs) {
  if (inputDevice == 0 || !started) return false;
  bool waiting;
  {
    std::lock_guard<std::mutex> lock(input.mutex);
    if (input.lost) return false;
    waiting = !input.buffers.empty();
  }
  const Uint64 last = std::max(lastCallbackMs.load(std::memory_order_relaxed), startedAtMs);
  if (waiting && nowMs > last + kDeviceStallMs) {
    LoseInput();
    return false;
  }
  return true;
}

}  // namespace platform::sdl

namespace platform {

using namespace sdl;

int WaveInOpen(const WaveFormat& format) {
  if (!ValidWaveFormat(format)) return kWaveBadFormat;
  if (inputDevice != 0) return kMmAllocated;
  {
    std::lock_guard<std::mutex> lock(input.mutex);
    input.buffers.clear();
    input.filledOfHead = 0;
    input.lost = false;
    input.settling = false;
  }
  SDL_AudioDeviceID device = 0;
  const int result = OpenWaveDevice(format, true, TakeSamples, device);
  if (result != kMmNoError) return result;
  AddShutdownStep(CloseInputAtExit);
  inputDevice = device;  // paused until WaveInStart
  started = false;
  std::lock_guard<std::mutex> lock(input.mutex);
  StartSettling(format);
  return kMmNoError;
}

int WaveInPrepareHeader(WaveHeader& header) {
  if (inputDevice == 0) return kMmInvalidHandle;
  return PrepareWaveHeader(header);
}

int WaveInAddBuffer(WaveHeader& header) {
  if (inputDevice == 0) return kMmInvalidHandle;
  std::lock_guard<std::mutex> lock(input.mutex);
  if (input.lost) return kMmNoDriver;
  const int result = EnqueueWaveHeader(header);
  if (result == kMmNoError) input.buffers.push_back(&header);
  return result;
}

int WaveInUnprepareHeader(WaveHeader& header) { return UnprepareWaveHeader(header); }

int WaveInStart() {
  if (inputDevice == 0) return kMmInvalidHandle;
  {
    std::lock_guard<std::mutex> lock(input.mutex);
    if (input.lost) return kMmNoDriver;
  }
  if (!started) startedAtMs = SDL_GetTicks64();
  started = true;
  SDL_PauseAudioDevice(inputDevice, 0);
  return kMmNoError;
}

// Stops recording; a partly filled buffer comes back done with what it holds, the empty ones
// stay queued for the next start.
int WaveInStop() {
  if (inputDevice == 0) return kMmInvalidHandle;
  PauseInput();
  std::lock_guard<std::mutex> lock(input.mutex);
  if (!input.buffers.empty() && input.filledOfHead > 0) ReturnHeadBuffer(true);
  return kMmNoError;
}

int WaveInReset() {
  if (inputDevice == 0) return kMmInvalidHandle;
  PauseInput();
  std::lock_guard<std::mutex> lock(input.mutex);
  while (!input.buffers.empty()) ReturnHeadBuffer(true);
  return kMmNoError;
}

int WaveInClose() {
  if (inputDevice == 0) return kMmInvalidHandle;
  {
    std::lock_guard<std::mutex> lock(input.mutex);
    if (!input.buffers.empty()) return kWaveStillPlaying;
  }
  SDL_CloseAudioDevice(inputDevice);
  inputDevice = 0;
  started = false;
  return kMmNoError;
}

bool WaveInIsOpen() { return inputDevice != 0; }

}  // namespace platform
