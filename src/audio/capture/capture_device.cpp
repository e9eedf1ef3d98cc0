// The capture layer over the wave-input device: eight buffers kept queued while recording,
// read back in the order they were queued, each requeued as soon as it has been copied.
#include <algorithm>
#include <cstring>
#include <memory>

#include "audio/capture/capture.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/wave.h"

namespace audio {
namespace {

constexpr int kSlotCount = 8;

struct Slot {
  std::unique_ptr<std::uint8_t[]> data;
  platform::WaveHeader header;
};

struct CaptureState {
  bool open = false;
  // The device holds the headers' addresses while they are queued, so the slots never move.
  std::unique_ptr<Slot[]> slots;
  int bufferSize = 0;
  int readIndex = 0;
  int failure = platform::kMmNoError;
};

CaptureState state;

// Hands a slot's buffer to the device, empty. A buffer the device refuses would never come
// back, so the refusal is kept as the recording's failure instead of being waited for.
void QueueSlot(int index) {
  Slot& slot = state.slots[index];
  slot.header.Clear();
  slot.header.data = slot.data.get();
  slot.header.length = state.bufferSize;
  slot.header.user = index;
  platform::WaveInPrepareHeader(slot.header);
  const int result = platform::WaveInAddBuffer(slot.header);
  if (result != platform::kMmNoError && state.failure == platform::kMmNoError) state.failure = result;
}

bool SlotDone(const Slot& slot) {
  return (slot.header.flags.load(std::memory_order_acquire) & platform::kWaveHeaderDone) != 0;
}

}  // namespace

int CaptureOpen(int rate, int bits, int channels, int bufferSize) {
  // A second open while recording would take the buffers from under the device.
  if (state.open) return platform::kMmAllocated;
  if (bufferSize < 1) return platform::kMmInvalidParameter;
  const int result = platform::WaveInOpen(platform::WaveFormat{rate, bits, channels});
  if (result != platform::kMmNoError) return result;

  state.open = true;
  state.bufferSize = bufferSize;
  state.readIndex = 0;
  state.slots = std::make_unique<Slot[]>(kSlotCount);
  for (int i = 0; i < kSlotCount; ++i) {
    state.slots[i].data = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(bufferSize));
    QueueSlot(i);
  }
  const int started = platform::WaveInStart();
  if (started != platform::kMmNoError && state.failure == platform::kMmNoError) state.failure = started;
  return platform::kMmNoError;
}

int CaptureRead(std::uint8_t* destination) {
  if (!state.open) return 0;
  Slot& slot = state.slots[state.readIndex];
  // Every pending message is handled before each wait, so WaitEvent sleeps until something
  // new arrives: the device's notice of a filled buffer, a key, a repaint.
  while (!SlotDone(slot) && state.failure == platform::kMmNoError) {
    console::PumpMessages();
    if (SlotDone(slot)) break;
    platform::WaitEvent();
  }
  if (!SlotDone(slot)) return 0;
  const int recorded = std::clamp(slot.header.bytesRecorded.load(std::memory_order_relaxed), 0,
                                  state.bufferSize);
  if (destination != nullptr && recorded > 0) {
    std::memcpy(destination, slot.data.get(), static_cast<std::size_t>(recorded));
  }
  platform::WaveInUnprepareHeader(slot.header);
  QueueSlot(state.readIndex);
  state.readIndex = (state.readIndex + 1) % kSlotCount;
  return recorded;
}

int CaptureFailure() { return state.failure; }

void CaptureClose() {
  if (!state.open) return;
  platform::WaveInStop();
  platform::WaveInReset();
  for (int i = 0; i < kSlotCount; ++i) platform::WaveInUnprepareHeader(state.slots[i].header);
  platform::WaveInClose();
  state = CaptureState{};
}

}  // namespace audio
