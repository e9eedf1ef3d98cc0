// The player's state and its device side: format changes, opening with retry, queuing blocks
// in the four slots, releasing them as the device hands them back, and stopping.
#include "audio/player/player.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "audio/player/player_internal.h"
#include "audio/player/wave_format.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/wave.h"

namespace audio {
namespace {

constexpr int kSlotCount = 4;
constexpr int kSmallestBlock = 256;
constexpr int kOpenAttempts = 100;
constexpr int kOpenRetryMs = 100;
constexpr int kFullQueuePollMs = 10;
constexpr int kFreeSlotWaits = 40;
constexpr int kFreeSlotWaitMs = 50;
constexpr int kLineCapacity = 128;
// A rate the 32-bit format fields can hold once fast playback has raised it.
constexpr std::int64_t kHighestRate = 0x7FFFFFFF;

struct Slot {
  std::unique_ptr<std::uint8_t[]> data;
  platform::WaveHeader header;
};

struct PlayerState {
  bool deviceOpen = false;
  int rate = 0;
  int bits = 0;
  int channels = 0;
  std::unique_ptr<Slot[]> slots;
  int slotIndex = 0;
  int queued = 0;
  int blockLimit = kSlotCount;
  std::unique_ptr<std::uint8_t[]> readBuffer;
  bool keyInterrupt = true;
  bool noWait = false;
  bool fastPlayback = false;
  bool speechCut = false;
};

PlayerState state;
void (*blockDoneListener)() = nullptr;

bool KeyWaiting() { return state.keyInterrupt && console::KeyPressed(); }

// Formats a device can be asked for; anything else is refused here with the device's own code,
// so no device ever computes with a zero rate, channel count or sample size.
bool PlayableFormat(std::int64_t rate, int channels, int bits) {
  return rate > 0 && rate <= kHighestRate && (channels == 1 || channels == 2) &&
         (bits == 8 || bits == 16);
}

const char* UnprepareErrorText(int code) {
  switch (code) {
    case platform::kMmInvalidHandle:
      return "Specified device handle is invalid.";
    case platform::kMmNoDriver:
      return "No device driver is present.";
    case platform::kMmNoMemory:
      return "Unable to allocate or lock memory.";
    case platform::kWaveStillPlaying:
      return "The data block pointed to by the pwh parameter is still in queue";
    default:
      return "";
  }
}

void ReleaseSlot() {
  if (state.queued > 0) --state.queued;
}

// The handler for the device's "block done" notice.
void WavBlockDone(int slot) {
  if (slot < 1 || slot > kSlotCount || !state.slots) return;
  const int result = platform::WaveOutUnprepareHeader(state.slots[slot - 1].header);
  if (result != platform::kMmNoError) {
    const char* text = UnprepareErrorText(result);
    console::WriteText(text, static_cast<int>(std::strlen(text)));
    char line[kLineCapacity];
    console::ReadLine(line, kLineCapacity);
  }
  ReleaseSlot();
  if (blockDoneListener != nullptr) blockDoneListener();
}

int WavOpenDevice() {
  if (state.deviceOpen) return platform::kMmNoError;
  // The console window receives the device's notices, so it must exist before the first one.
  console::EnsureConsole();
  console::SetWaveDoneHandler(WavBlockDone, true);
  const platform::WaveFormat format{state.rate, state.bits, state.channels};
  int result = platform::WaveOutOpen(format);
  for (int attempt = 1; result == platform::kMmAllocated && attempt < kOpenAttempts; ++attempt) {
    console::Delay(kOpenRetryMs);
    result = platform::WaveOutOpen(format);
  }
  state.deviceOpen = result == platform::kMmNoError;
  return result;
}

int WavSetFormat(int rate, int bits, int channels) {
  if (rate != state.rate || bits != state.bits || channels != state.channels) {
    while (WavBusy()) platform::WaitEvent();
  }
  state.rate = rate;
  state.bits = bits;
  state.channels = channels;
  return WavOpenDevice();
}

bool WavWriteBlock(const std::uint8_t* data, int count) {
  for (int wait = 0; wait < kFreeSlotWaits && state.queued >= state.blockLimit; ++wait) {
    console::PumpMessages();
    console::Delay(kFreeSlotWaitMs);
  }
  if (state.queued >= state.blockLimit || !state.slots) return false;
  count = std::clamp(count, 0, kBlockBytes);

  ++state.queued;
  state.slotIndex = state.slotIndex % kSlotCount + 1;
  Slot& slot = state.slots[state.slotIndex - 1];
  const bool mono8 = state.channels == 1 && state.bits == 8;
  if (count < kSmallestBlock) {
    // A short block is played as 256 bytes; the rest is silence in the device's format.
    const std::uint8_t silence = state.bits == 8 ? 128 : 0;
    std::memset(slot.data.get() + count, silence, static_cast<std::size_t>(kSmallestBlock - count));
  }
  if (count > 0) std::memcpy(slot.data.get(), data, static_cast<std::size_t>(count));
  // Every 8-bit mono block but a full one ends at silence, so a cut-off piece does not click.
  if (mono8 && count != kBlockBytes && count > 0) slot.data[count - 1] = 128;

  platform::WaveHeader& header = slot.header;
  header.Clear();
  header.data = slot.data.get();
  header.length = std::max(count, kSmallestBlock);
  header.user = state.slotIndex;
  if (platform::WaveOutPrepareHeader(header) != platform::kMmNoError) {
    ReleaseSlot();
    return false;
  }
  if (platform::WaveOutWrite(header) != platform::kMmNoError) {
    // The device never took it, so no notice will release the slot.
    platform::WaveOutUnprepareHeader(header);
    ReleaseSlot();
    return false;
  }
  return true;
}

}  // namespace

namespace detail {

std::uint8_t* ReadBuffer() { return state.readBuffer.get(); }

}  // namespace detail

void PlayerStart() {
  state = PlayerState{};
  state.slots = std::make_unique<Slot[]>(kSlotCount);
  for (int i = 0; i < kSlotCount; ++i) {
    state.slots[i].data = std::make_unique<std::uint8_t[]>(kBlockBytes);
  }
  state.readBuffer = std::make_unique<std::uint8_t[]>(kBlockBytes);
}

void PlayerStop() {
  if (state.slots) WavStop();
  console::SetWaveDoneHandler(nullptr, false);
  state = PlayerState{};
}

int WavPlayData(std::uint8_t* data, int length, int rate, int channels, int bits) {
  std::int64_t deviceRate = rate;
  if (state.fastPlayback) deviceRate = FastPlaybackRate(deviceRate);
  if (!PlayableFormat(deviceRate, channels, bits)) return platform::kWaveBadFormat;
  const bool mono = channels == 1;
  const int deviceBits = state.speechCut && mono && bits == 16 ? 8 : bits;
  const int result = WavSetFormat(static_cast<int>(deviceRate), deviceBits, channels);
  if (result != platform::kMmNoError) return result;

  if (data == nullptr) length = 0;
  while (length > 0) {
    while (state.queued >= state.blockLimit) {
      if (KeyWaiting()) {
        WavStop();
        return 0;
      }
      console::Delay(kFullQueuePollMs);
    }
    if (KeyWaiting()) {
      WavStop();
      break;
    }
    const int piece = std::min(length, kBlockBytes);
    int count = piece;
    if (state.speechCut && mono) count = ShortenSpeech(data, piece, bits, static_cast<int>(deviceRate));
    WavWriteBlock(data, count);
    data += piece;
    length -= piece;
  }
  return 0;
}

bool WavBusy() {
  console::PumpMessages();
  if (state.queued == 0 || KeyWaiting()) WavStop();
  return state.queued != 0;
}

void WavStop() {
  if (!state.deviceOpen) return;
  if (state.queued > 0) platform::WaveOutReset();
  console::PumpMessages();
  const int closed = platform::WaveOutClose();
  console::PumpMessages();
  state.deviceOpen = false;
  // A closed device holds no block, whether or not each notice reached the handler.
  if (closed == platform::kMmNoError) state.queued = 0;
}

std::size_t WavFreeBlocks() {
  return state.queued < state.blockLimit ? static_cast<std::size_t>(state.blockLimit - state.queued) : 0;
}

void SetBlockDoneListener(void (*listener)()) { blockDoneListener = listener; }

void SetKeyInterrupt(bool on) { state.keyInterrupt = on; }
void SetNoWait(bool on) { state.noWait = on; }
void SetFastPlayback(bool on) { state.fastPlayback = on; }
void SetSpeechCut(bool on) { state.speechCut = on; }
bool KeyInterrupt() { return state.keyInterrupt; }
bool NoWait() { return state.noWait; }
bool FastPlayback() { return state.fastPlayback; }
bool SpeechCut() { return state.speechCut; }

}  // namespace audio
