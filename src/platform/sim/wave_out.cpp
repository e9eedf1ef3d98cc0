// The simulated wave-output device: blocks play back to back in virtual time and every block
// is recorded with its format, bytes and exact start and end.
//
// Times are kept exact: while the device plays without a gap, a block's start and end are
// the moment playing began (a whole millisecond) plus a byte count of the device's byte rate,
// so any number of blocks adds up without drift.
#include <algorithm>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "platform/wave.h"

namespace sim {
namespace {

using platform::WaveFormat;
using platform::WaveHeader;

struct QueuedBlock {
  WaveHeader* header = nullptr;
  std::size_t record = 0;
  std::int64_t startBytes = 0;  // bytes played since the anchor when the block begins
  std::int64_t endBytes = 0;
};

bool isOpen = false;
WaveFormat format;
std::int64_t bytesPerSecond = 1;
// Playing began at anchorMs; the queue plays without a gap from there.
std::int64_t anchorMs = 0;
std::int64_t queuedBytes = 0;  // bytes from the anchor to the end of the last queued block
std::deque<QueuedBlock> queue;

std::vector<WaveBlockRecord> blocks;
std::vector<WaveOpenRecord> opens;

int BlockAlign(const WaveFormat& f) { return f.channels * (f.bits / 8); }

std::int64_t CeilDiv(std::int64_t numerator, std::int64_t denominator) {
  return (numerator + denominator - 1) / denominator;
}

double ExactMs(std::int64_t bytesFromAnchor) {
  return static_cast<double>(anchorMs) +
         static_cast<double>(bytesFromAnchor) * 1000.0 / static_cast<double>(bytesPerSecond);
}

std::int64_t EndMs(const QueuedBlock& block) {
  return anchorMs + CeilDiv(block.endBytes * 1000, bytesPerSecond);
}

void Finish(const QueuedBlock& block) {
  WaveHeader& header = *block.header;
  const std::uint32_t flags = header.flags.load(std::memory_order_relaxed);
  header.flags.store((flags & ~platform::kWaveHeaderInQueue) | platform::kWaveHeaderDone,
                     std::memory_order_release);
  platform::Event event;
  event.kind = platform::EventKind::WaveOutDone;
  event.slot = header.user;
  detail::PushEvent(event);
}

// Whole frames of the playing block heard by now.
int PlayedByNow(const QueuedBlock& block) {
  const std::int64_t heardBytes = (Now() - anchorMs) * bytesPerSecond / 1000 - block.startBytes;
  const std::int64_t length = block.endBytes - block.startBytes;
  const int align = BlockAlign(format);
  const std::int64_t played = std::clamp<std::int64_t>(heardBytes, 0, length);
  return static_cast<int>(played / align * align);
}

void Restart() {
  anchorMs = Now();
  queuedBytes = 0;
}

}  // namespace

namespace detail {

std::int64_t NextWaveOutHappening() {
  if (!isOpen || queue.empty()) return kNoHappening;
  return EndMs(queue.front());
}

void RunDueWaveOut() {
  while (isOpen && !queue.empty() && EndMs(queue.front()) <= Now()) {
    const QueuedBlock block = queue.front();
    queue.pop_front();
    Finish(block);
  }
}

void ResetWaveOut() {
  isOpen = false;
  format = {};
  bytesPerSecond = 1;
  anchorMs = 0;
  queuedBytes = 0;
  queue.clear();
  blocks.clear();
  opens.clear();
}

}  // namespace detail

const std::vector<WaveBlockRecord>& WaveBlocks() { return blocks; }
const std::vector<WaveOpenRecord>& WaveOutOpens() { return opens; }

std::vector<std::uint8_t> PlayedWaveBytes(std::size_t first, std::size_t count) {
  std::vector<std::uint8_t> bytes;
  const std::size_t end = first + std::min(count, blocks.size() - std::min(first, blocks.size()));
  for (std::size_t i = first; i < end; ++i) {
    const WaveBlockRecord& block = blocks[i];
    bytes.insert(bytes.end(), block.bytes.begin(), block.bytes.begin() + block.playedLength);
  }
  return bytes;
}

bool SaveWaveOut(const std::string& path, std::size_t first, std::size_t count) {
  if (first >= blocks.size() || count == 0) return false;
  const std::size_t end = first + std::min(count, blocks.size() - first);
  const WaveFormat& f = blocks[first].format;
  for (std::size_t i = first; i < end; ++i) {
    const WaveFormat& other = blocks[i].format;
    if (other.rate != f.rate || other.bits != f.bits || other.channels != f.channels) return false;
  }
  const std::vector<std::uint8_t> data = PlayedWaveBytes(first, count);

  std::vector<std::uint8_t> image;
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) image.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto put16 = [&](std::uint32_t v) {
    for (int i = 0; i < 2; ++i) image.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto tag = [&](const char* text) { image.insert(image.end(), text, text + 4); };
  const auto dataSize = static_cast<std::uint32_t>(data.size());
  const auto align = static_cast<std::uint32_t>(BlockAlign(f));
  tag("RIFF");
  put32(36 + dataSize);
  tag("WAVE");
  tag("fmt ");
  put32(16);
  put16(1);
  put16(static_cast<std::uint32_t>(f.channels));
  put32(static_cast<std::uint32_t>(f.rate));
  put32(static_cast<std::uint32_t>(f.rate) * align);
  put16(align);
  put16(static_cast<std::uint32_t>(f.bits));
  tag("data");
  put32(dataSize);
  image.insert(image.end(), data.begin(), data.end());

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace sim

namespace platform {

int WaveOutOpen(const WaveFormat& requested) {
  sim::detail::RunDueWaveOut();
  int result = kMmNoError;
  if (sim::isOpen) {
    result = kMmAllocated;
  } else {
    result = sim::detail::ScriptedWaveOutOpenResult();
    if (result == kMmNoError) result = sim::detail::CheckWaveFormat(requested);
  }
  sim::opens.push_back({sim::Now(), requested, result});
  if (result != kMmNoError) return result;
  sim::isOpen = true;
  sim::format = requested;
  sim::bytesPerSecond = static_cast<std::int64_t>(requested.rate) * sim::BlockAlign(requested);
  sim::Restart();
  return kMmNoError;
}

int WaveOutPrepareHeader(WaveHeader& header) {
  if (!sim::isOpen) return kMmInvalidHandle;
  if (header.length < 0 || (header.data == nullptr && header.length > 0)) return kMmInvalidParameter;
  header.flags.fetch_or(kWaveHeaderPrepared, std::memory_order_relaxed);
  return kMmNoError;
}

int WaveOutWrite(WaveHeader& header) {
  if (!sim::isOpen) return kMmInvalidHandle;
  sim::detail::RunDueWaveOut();
  const std::uint32_t flags = header.flags.load(std::memory_order_relaxed);
  if ((flags & kWaveHeaderPrepared) == 0) return kWaveUnprepared;
  if ((flags & kWaveHeaderInQueue) != 0) return kWaveStillPlaying;
  if (header.length < 0 || (header.data == nullptr && header.length > 0)) return kMmInvalidParameter;

  if (sim::queue.empty()) sim::Restart();
  sim::QueuedBlock block;
  block.header = &header;
  block.record = sim::blocks.size();
  block.startBytes = sim::queuedBytes;
  block.endBytes = sim::queuedBytes + header.length;
  sim::queuedBytes = block.endBytes;

  sim::WaveBlockRecord record;
  record.format = sim::format;
  record.user = header.user;
  record.bytes.assign(header.data, header.data + header.length);
  record.startMs = sim::ExactMs(block.startBytes);
  record.endMs = sim::ExactMs(block.endBytes);
  record.playedLength = header.length;
  sim::blocks.push_back(std::move(record));

  header.flags.store((flags & ~kWaveHeaderDone) | kWaveHeaderInQueue, std::memory_order_relaxed);
  sim::queue.push_back(block);
  // A block of no length is over as soon as it begins.
  sim::detail::RunDueWaveOut();
  return kMmNoError;
}

int WaveOutUnprepareHeader(WaveHeader& header) {
  if (!sim::isOpen) return kMmInvalidHandle;
  sim::detail::RunDueWaveOut();
  const int scripted = sim::detail::ScriptedWaveOutUnprepareResult();
  if (scripted != kMmNoError) return scripted;
  if ((header.flags.load(std::memory_order_relaxed) & kWaveHeaderInQueue) != 0) {
    return kWaveStillPlaying;
  }
  header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_relaxed);
  return kMmNoError;
}

int WaveOutReset() {
  if (!sim::isOpen) return kMmInvalidHandle;
  sim::detail::RunDueWaveOut();
  const double nowMs = static_cast<double>(sim::Now());
  bool first = true;
  for (const sim::QueuedBlock& block : sim::queue) {
    sim::WaveBlockRecord& record = sim::blocks[block.record];
    record.cut = true;
    // Only the first queued block can have begun; the others never sounded.
    record.playedLength = first ? sim::PlayedByNow(block) : 0;
    if (!first || record.startMs > nowMs) record.startMs = nowMs;
    record.endMs = nowMs;
    first = false;
  }
  const std::deque<sim::QueuedBlock> returned = std::move(sim::queue);
  sim::queue.clear();
  for (const sim::QueuedBlock& block : returned) sim::Finish(block);
  sim::Restart();
  return kMmNoError;
}

int WaveOutClose() {
  if (!sim::isOpen) return kMmInvalidHandle;
  sim::detail::RunDueWaveOut();
  if (!sim::queue.empty()) return kWaveStillPlaying;
  sim::isOpen = false;
  return kMmNoError;
}

bool WaveOutIsOpen() { return sim::isOpen; }

}  // namespace platform
