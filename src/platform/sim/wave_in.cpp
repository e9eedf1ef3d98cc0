// The simulated wave-input device: while started, it takes frames of the scripted microphone
// at the device rate in virtual time and fills the queued buffers in order.
//
// The device position (frames passed since the device was opened) is exact: while started it
// is the position at the start plus floor(elapsed ms × rate / 1000). Every time the clock
// moves, the frames passed since the last look go into the buffer at the head of the queue,
// or are lost when none is queued.
#include <algorithm>
#include <deque>

#include "platform/events.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "platform/wave.h"

namespace sim {
namespace {

using platform::WaveFormat;
using platform::WaveHeader;

struct QueuedBuffer {
  WaveHeader* header = nullptr;
  std::int64_t capacity = 0;  // whole frames it holds
  std::int64_t filled = 0;
};

bool isOpen = false;
bool started = false;
WaveFormat format;
int frameBytes = 1;
std::int64_t anchorMs = 0;    // when the device was last started
std::int64_t startFrame = 0;  // the position then
std::int64_t taken = 0;       // frames already put into buffers or lost
std::deque<QueuedBuffer> queue;
std::vector<WaveOpenRecord> opens;
int buffersUntilLoss = -1;  // full buffers still to come before the device is lost; -1 never
bool lost = false;

std::int64_t Position() {
  if (!started) return taken;
  return startFrame + (Now() - anchorMs) * format.rate / 1000;
}

void Finish(const QueuedBuffer& buffer) {
  WaveHeader& header = *buffer.header;
  header.bytesRecorded.store(static_cast<int>(buffer.filled * frameBytes), std::memory_order_relaxed);
  const std::uint32_t flags = header.flags.load(std::memory_order_relaxed);
  header.flags.store((flags & ~platform::kWaveHeaderInQueue) | platform::kWaveHeaderDone,
                     std::memory_order_release);
  platform::Event event;
  event.kind = platform::EventKind::WaveInData;
  event.slot = header.user;
  detail::PushEvent(event);
}

void Lose() {
  lost = true;
  started = false;
  buffersUntilLoss = -1;
  const std::deque<QueuedBuffer> returned = std::move(queue);
  queue.clear();
  for (const QueuedBuffer& buffer : returned) Finish(buffer);
}

// Moves the frames passed by now into the queued buffers, finishing each one that fills.
void TakePassedFrames() {
  const std::int64_t position = Position();
  while (taken < position && !lost) {
    if (queue.empty()) {
      detail::TakeMicrophoneFrames(position - taken, format, nullptr);
      taken = position;
      break;
    }
    QueuedBuffer& head = queue.front();
    const std::int64_t count = std::min(head.capacity - head.filled, position - taken);
    detail::TakeMicrophoneFrames(count, format, head.header->data + head.filled * frameBytes);
    head.filled += count;
    taken += count;
    if (head.filled == head.capacity) {
      const QueuedBuffer full = head;
      queue.pop_front();
      Finish(full);
      if (buffersUntilLoss > 0 && --buffersUntilLoss == 0) Lose();
    }
  }
}

int CheckQueueable(const WaveHeader& header) {
  const std::uint32_t flags = header.flags.load(std::memory_order_relaxed);
  if ((flags & platform::kWaveHeaderPrepared) == 0) return platform::kWaveUnprepared;
  if ((flags & platform::kWaveHeaderInQueue) != 0) return platform::kWaveStillPlaying;
  if (header.data == nullptr || header.length < frameBytes) return platform::kMmInvalidParameter;
  return platform::kMmNoError;
}

}  // namespace

namespace detail {

std::int64_t NextWaveInHappening() {
  if (!isOpen || !started || lost || queue.empty()) return kNoHappening;
  const QueuedBuffer& head = queue.front();
  const std::int64_t fullAt = taken + head.capacity - head.filled;
  // The first whole millisecond by which the position has reached fullAt.
  return anchorMs + ((fullAt - startFrame) * 1000 + format.rate - 1) / format.rate;
}

void RunDueWaveIn() {
  if (isOpen) TakePassedFrames();
}

void ResetWaveIn() {
  isOpen = false;
  started = false;
  format = {};
  frameBytes = 1;
  anchorMs = 0;
  startFrame = 0;
  taken = 0;
  queue.clear();
  opens.clear();
  ClearWaveInLoss();
}

void ClearWaveInLoss() {
  buffersUntilLoss = -1;
  lost = false;
}

}  // namespace detail

const std::vector<WaveOpenRecord>& WaveInOpens() { return opens; }

void LoseWaveInAfter(int fullBuffers) { buffersUntilLoss = fullBuffers > 0 ? fullBuffers : -1; }

}  // namespace sim

namespace platform {

int WaveInOpen(const WaveFormat& requested) {
  int result = kMmNoError;
  if (sim::isOpen) {
    result = kMmAllocated;
  } else {
    result = sim::detail::ScriptedWaveInOpenResult();
    if (result == kMmNoError) result = sim::detail::CheckWaveFormat(requested);
  }
  sim::opens.push_back({sim::Now(), requested, result});
  if (result != kMmNoError) return result;
  sim::isOpen = true;
  sim::started = false;
  sim::format = requested;
  sim::frameBytes = requested.channels * (requested.bits / 8);
  sim::taken = 0;
  sim::startFrame = 0;
  sim::anchorMs = sim::Now();
  return kMmNoError;
}

int WaveInPrepareHeader(WaveHeader& header) {
  if (!sim::isOpen) return kMmInvalidHandle;
  header.flags.fetch_or(kWaveHeaderPrepared, std::memory_order_relaxed);
  return kMmNoError;
}

int WaveInAddBuffer(WaveHeader& header) {
  if (!sim::isOpen) return kMmInvalidHandle;
  if (sim::lost) return kMmNoDriver;
  const int check = sim::CheckQueueable(header);
  if (check != kMmNoError) return check;
  // Frames that passed while the queue was empty are gone before this buffer begins.
  sim::TakePassedFrames();
  header.bytesRecorded.store(0, std::memory_order_relaxed);
  const std::uint32_t flags = header.flags.load(std::memory_order_relaxed);
  header.flags.store((flags & ~kWaveHeaderDone) | kWaveHeaderInQueue, std::memory_order_relaxed);
  sim::queue.push_back({&header, header.length / sim::frameBytes, 0});
  return kMmNoError;
}

int WaveInUnprepareHeader(WaveHeader& header) {
  if (!sim::isOpen) return kMmInvalidHandle;
  sim::TakePassedFrames();
  if ((header.flags.load(std::memory_order_relaxed) & kWaveHeaderInQueue) != 0) {
    return kWaveStillPlaying;
  }
  header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_relaxed);
  return kMmNoError;
}

int WaveInStart() {
  if (!sim::isOpen) return kMmInvalidHandle;
  if (sim::lost) return kMmNoDriver;
  if (sim::started) return kMmNoError;
  sim::started = true;
  sim::anchorMs = sim::Now();
  sim::startFrame = sim::taken;
  return kMmNoError;
}

int WaveInStop() {
  if (!sim::isOpen) return kMmInvalidHandle;
  sim::TakePassedFrames();
  sim::started = false;
  if (!sim::queue.empty() && sim::queue.front().filled > 0) {
    const sim::QueuedBuffer partial = sim::queue.front();
    sim::queue.pop_front();
    sim::Finish(partial);
  }
  return kMmNoError;
}

int WaveInReset() {
  if (!sim::isOpen) return kMmInvalidHandle;
  sim::TakePassedFrames();
  sim::started = false;
  const std::deque<sim::QueuedBuffer> returned = std::move(sim::queue);
  sim::queue.clear();
  for (const sim::QueuedBuffer& buffer : returned) sim::Finish(buffer);
  return kMmNoError;
}

int WaveInClose() {
  if (!sim::isOpen) return kMmInvalidHandle;
  sim::TakePassedFrames();
  if (!sim::queue.empty()) return kWaveStillPlaying;
  sim::isOpen = false;
  sim::started = false;
  sim::lost = false;
  return kMmNoError;
}

bool WaveInIsOpen() { return sim::isOpen; }

}  // namespace platform
