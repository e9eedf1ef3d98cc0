// The wave-input device: SDL's capture callback fills the added buffers in order; each full
// buffer (or one returned early) gets its byte count and its done flag, and a WaveInData
// event wakes the program. Audio that arrives while no buffer is queued is dropped.

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/sdl/sdl_internal.h"
#include "platform/wave.h"

namespace platform::sdl {
namespace {

// Shared by the program thread and the capture callback, like the output queue.
struct InputQueue {
  std::mutex mutex;
  std::deque<WaveHeader*> buffers;  // added and not yet done; the head is being filled
  int filledOfHead = 0;
};

InputQueue input;
SDL_AudioDeviceID inputDevice = 0;  // program thread only

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

void SDLCALL TakeSamples(void*, Uint8* stream, int length) {
  std::lock_guard<std::mutex> lock(input.mutex);
  int taken = 0;
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

// Pausing waits for a callback in progress and keeps further ones from running (one that had
// already passed SDL's pause check may still run; it finds whatever queue the program left).
// Never called under input.mutex: a callback holding SDL's device lock may be waiting for it.
void PauseInput() { SDL_PauseAudioDevice(inputDevice, 1); }

void CloseInputAtExit() {
  if (inputDevice != 0) SDL_CloseAudioDevice(inputDevice);
  inputDevice = 0;
  std::lock_guard<std::mutex> lock(input.mutex);
  while (!input.buffers.empty()) ReturnHeadBuffer(false);
}

}  // namespace
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
  }
  SDL_AudioDeviceID device = 0;
  const int result = OpenWaveDevice(format, true, TakeSamples, device);
  if (result != kMmNoError) return result;
  AddShutdownStep(CloseInputAtExit);
  inputDevice = device;  // paused until WaveInStart
  return kMmNoError;
}

int WaveInPrepareHeader(WaveHeader& header) {
  if (inputDevice == 0) return kMmInvalidHandle;
  return PrepareWaveHeader(header);
}

int WaveInAddBuffer(WaveHeader& header) {
  if (inputDevice == 0) return kMmInvalidHandle;
  std::lock_guard<std::mutex> lock(input.mutex);
  const int result = EnqueueWaveHeader(header);
  if (result == kMmNoError) input.buffers.push_back(&header);
  return result;
}

int WaveInUnprepareHeader(WaveHeader& header) { return UnprepareWaveHeader(header); }

int WaveInStart() {
  if (inputDevice == 0) return kMmInvalidHandle;
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
  return kMmNoError;
}

bool WaveInIsOpen() { return inputDevice != 0; }

}  // namespace platform
