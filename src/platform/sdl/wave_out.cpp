// The wave-output device: written blocks are played in order by SDL's audio callback, which
// hands each finished block back with a WaveOutDone event.
//
// A block counts as done when its last byte has been handed to SDL, which is one SDL buffer
// (a few tens of milliseconds) before it is heard; nothing the program does depends on the
// difference. The blocks form one byte stream, so a sample split across two blocks stays whole.
// A device that SDL reports removed, or that stops taking samples, is lost: its blocks, and
// every block written to it afterwards, come back done at once, unheard, so that nobody waits
// for sound that will never be played.

#include <algorithm>
#include <atomic>
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
  bool widen = false;              // 8-bit blocks played on a 16-bit device
  bool lost = false;
  // Silence handed to SDL since the last block was played to its end; -1 while blocks are
  // queued or after a reset, when there is nothing to let play out.
  int silenceAfterEnd = -1;
  int playOutBytes = 0;  // kPlayOutMs of the device's format
};

// Closing a device drops what SDL and the sound server still hold: the end of every sound,
// and a click where a sound does not end at silence. So a close after a block was played to
// its end first lets SDL take 90 ms of silence, more than one callback and the server's
// 60 ms together (with SDL's pulseaudio and pipewire drivers every sample then reached the
// speakers), waiting at most 200 ms.
constexpr int kPlayOutMs = 90;
constexpr Uint64 kLongestPlayOutMs = 200;

OutputQueue output;
std::atomic<Uint64> lastFeedMs{0};
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
  lastFeedMs.store(SDL_GetTicks64(), std::memory_order_relaxed);
  std::lock_guard<std::mutex> lock(output.mutex);
  const int scale = output.widen ? 2 : 1;
  int written = 0;
  while (written + scale <= length && !output.blocks.empty()) {
    const WaveHeader& head = *output.blocks.front();
    const int count = std::min(head.length - output.playedOfHead, (length - written) / scale);
    if (count > 0) {
      const Uint8* from = head.data + output.playedOfHead;
      if (output.widen) {
        WidenToSixteenBits(from, static_cast<std::size_t>(count), stream + written);
      } else {
        std::memcpy(stream + written, from, static_cast<std::size_t>(count));
      }
      written += count * scale;
      output.playedOfHead += count;
    }
    if (output.playedOfHead >= head.length) {
      FinishHeadBlock(true);
      if (output.blocks.empty()) output.silenceAfterEnd = 0;
    }
  }
  if (written < length) {
    std::memset(stream + written, output.silence, static_cast<std::size_t>(length - written));
    if (output.silenceAfterEnd >= 0) output.silenceAfterEnd += length - written;
  }
}

void LoseOutput() {
  NoteAudioTrouble();
  std::lock_guard<std::mutex> lock(output.mutex);
  if (output.lost) return;
  output.lost = true;
  while (!output.blocks.empty()) FinishHeadBlock(true);
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

void OutputDeviceRemoved(SDL_AudioDeviceID device) {
  if (device != 0 && device == outputDevice) LoseOutput();
}

bool WatchOutputDevice(Uint64 nowMs) {
  if (outputDevice == 0) return false;
  bool waiting;
  {
    std::lock_guard<std::mutex> lock(output.mutex);
    if (output.lost) return false;
    waiting = !output.blocks.empty();
  }
  if (waiting && nowMs > lastFeedMs.load(std::memory_order_relaxed) + kDeviceStallMs) {
    LoseOutput();
    return false;
  }
  return true;
}

}  // namespace platform::sdl

namespace platform {

using namespace sdl;

int WaveOutOpen(const WaveFormat& format) {
  if (!ValidWaveFormat(format)) return kWaveBadFormat;
  if (outputDevice != 0) return kMmAllocated;
  ReleaseFinishedBeep();
  const bool widen = format.bits == 8 && WidensEightBitSound();
  {
    std::lock_guard<std::mutex> lock(output.mutex);
    output.blocks.clear();
    output.playedOfHead = 0;
    output.widen = widen;
    output.silence = format.bits == 8 && !output.widen ? 128 : 0;
    output.lost = false;
    output.silenceAfterEnd = -1;
    const int deviceBytes = output.widen ? 2 : format.bits / 8;
    output.playOutBytes = format.rate * format.channels * deviceBytes * kPlayOutMs / 1000;
  }
  WaveFormat deviceFormat = format;
  if (widen) deviceFormat.bits = 16;
  SDL_AudioDeviceID device = 0;
  const int result = OpenWaveDevice(deviceFormat, false, FeedBlocks, device);
  if (result != kMmNoError) return result;
  AddShutdownStep(CloseOutputAtExit);
  outputDevice = device;
  lastFeedMs.store(SDL_GetTicks64(), std::memory_order_relaxed);
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
  if (result != kMmNoError) return result;
  output.blocks.push_back(&header);
  output.silenceAfterEnd = -1;
  if (output.lost) FinishHeadBlock(true);
  return kMmNoError;
}

int WaveOutUnprepareHeader(WaveHeader& header) { return UnprepareWaveHeader(header); }

int WaveOutReset() {
  if (outputDevice == 0) return kMmInvalidHandle;
  std::lock_guard<std::mutex> lock(output.mutex);
  while (!output.blocks.empty()) FinishHeadBlock(true);
  output.silenceAfterEnd = -1;  // a reset silences at once
  return kMmNoError;
}

int WaveOutClose() {
  if (outputDevice == 0) return kMmInvalidHandle;
  {
    std::lock_guard<std::mutex> lock(output.mutex);
    if (!output.blocks.empty()) return kWaveStillPlaying;
  }
  const Uint64 giveUp = SDL_GetTicks64() + kLongestPlayOutMs;
  while (SDL_GetTicks64() < giveUp) {
    {
      std::lock_guard<std::mutex> lock(output.mutex);
      if (output.lost || output.silenceAfterEnd < 0 || output.silenceAfterEnd >= output.playOutBytes) break;
    }
    SDL_Delay(2);
  }
  // Outside the lock: closing waits for a callback in progress, which takes the lock.
  SDL_CloseAudioDevice(outputDevice);
  outputDevice = 0;
  return kMmNoError;
}

bool WaveOutIsOpen() { return outputDevice != 0; }

}  // namespace platform
