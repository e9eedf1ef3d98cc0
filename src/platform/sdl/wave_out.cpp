// The wave-output device: written blocks are played in order by SDL's audio callback, which
// hands each finished block back with a WaveOutDone event.
//
// A block counts as done when its last byte has been handed to SDL, which is one SDL buffer
// (a few tens of milliseconds) before it is heard; nothing the program does depends on the
// difference. The blocks form one byte stream, so a sample split across two blocks stays whole.

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/sdl/sdl_internal.h"
#include "platform/wave.h"

namespace platform::sdl {
namespace {

// Shared by the program thread and the audio callback; the lock is held only to move bytes
// and queue entries, never across an SDL call that waits for the callback.
struct OutputQueue {
  std::mutex mutex;
  std::deque<WaveHeader*> blocks;  // written and not yet done; the head is playing
  int playedOfHead = 0;            // bytes of the head block already handed to SDL
  Uint8 silence = 128;
};

OutputQueue output;
SDL_AudioDeviceID outputDevice = 0;  // program thread only

// Caller holds output.mutex. The done event is pushed under the lock, so the events of the
// callback and of a reset keep the order of the blocks.
void FinishHeadBlock(bool report) {
  WaveHeader* header = output.blocks.front();
  output.blocks.pop_front();
  output.playedOfHead = 0;
  const int slot = header->user;  // read before the header goes back to the program
  MarkWaveHeaderDone(*header);
  if (report) PushEventFromAnyThread(Event{.kind = EventKind::WaveOutDone, .slot = slot});
}

void SDLCALL FeedBlocks(void*, Uint8* stream, int length) {
  std::lock_guard<std::mutex> lock(output.mutex);
  int written = 0;
  while (written < length && !output.blocks.empty()) {
    const WaveHeader& head = *output.blocks.front();
    const int count = std::min(head.length - output.playedOfHead, length - written);
    if (count > 0) {
      std::memcpy(stream + written, head.data + output.playedOfHead, static_cast<std::size_t>(count));
      written += count;
      output.playedOfHead += count;
    }
    if (output.playedOfHead >= head.length) FinishHeadBlock(true);
  }
  if (written < length) {
    std::memset(stream + written, output.silence, static_cast<std::size_t>(length - written));
  }
}

// At the end of the program: the device is closed first (its callback stops), then blocks
// still queued are handed back without events, since nobody reads them any more.
void CloseOutputAtExit() {
  if (outputDevice != 0) SDL_CloseAudioDevice(outputDevice);
  outputDevice = 0;
  std::lock_guard<std::mutex> lock(output.mutex);
  while (!output.blocks.empty()) FinishHeadBlock(false);
}

}  // namespace
}  // namespace platform::sdl

namespace platform {

using namespace sdl;

int WaveOutOpen(const WaveFormat& format) {
  if (!ValidWaveFormat(format)) return kWaveBadFormat;
  if (outputDevice != 0) return kMmAllocated;
  ReleaseFinishedBeep();
  {
    std::lock_guard<std::mutex> lock(output.mutex);
    output.blocks.clear();
    output.playedOfHead = 0;
    output.silence = format.bits == 8 ? 128 : 0;
  }
  SDL_AudioDeviceID device = 0;
  const int result = OpenWaveDevice(format, false, FeedBlocks, device);
  if (result != kMmNoError) return result;
  AddShutdownStep(CloseOutputAtExit);
  outputDevice = device;
  SDL_PauseAudioDevice(device, 0);
  return kMmNoError;
}

int WaveOutPrepareHeader(WaveHeader& header) {
  if (outputDevice == 0) return kMmInvalidHandle;
  return PrepareWaveHeader(header);
}

int WaveOutWrite(WaveHeader& header) {
  if (outputDevice == 0) return kMmInvalidHandle;
  std::lock_guard<std::mutex> lock(output.mutex);
  const int result = EnqueueWaveHeader(header);
  if (result == kMmNoError) output.blocks.push_back(&header);
  return result;
}

int WaveOutUnprepareHeader(WaveHeader& header) { return UnprepareWaveHeader(header); }

int WaveOutReset() {
  if (outputDevice == 0) return kMmInvalidHandle;
  std::lock_guard<std::mutex> lock(output.mutex);
  while (!output.blocks.empty()) FinishHeadBlock(true);
  return kMmNoError;
}

int WaveOutClose() {
  if (outputDevice == 0) return kMmInvalidHandle;
  {
    std::lock_guard<std::mutex> lock(output.mutex);
    if (!output.blocks.empty()) return kWaveStillPlaying;
  }
  // Outside the lock: closing waits for a callback in progress, which takes the lock.
  SDL_CloseAudioDevice(outputDevice);
  outputDevice = 0;
  return kMmNoError;
}

bool WaveOutIsOpen() { return outputDevice != 0; }

}  // namespace platform
