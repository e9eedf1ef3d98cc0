// The output buffer of the internal voice and the ways samples enter it.
#include "speech/diphone/output_buffer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <random>
#include <utility>

#include "speech/frontend/output/speech_output.h"

namespace diphone::detail {
namespace {

constexpr std::size_t kSilenceBlock = 100;
constexpr std::uint8_t kSilence = 128;
constexpr std::size_t kNoiseLength = 300;
constexpr int kNoiseBase = 88;
constexpr int kNoiseSpread = 79;

struct OutputState {
  std::unique_ptr<std::uint8_t[]> buffer;
  std::size_t fill = kOutputHeaderSize;
  OutputSink sink;
  std::minstd_rand noise{1};
};

OutputState state;

// Flushes when `count` more bytes would reach the end of the buffer, then waits for what
// sounds; afterwards `count` (at most kLargestPiece) bytes fit.
void MakeRoom(std::size_t count) {
  if (state.fill + count < kOutputBufferSize) return;
  OutputFlush();
  if (!state.sink) frontend::WaitForSpeech();
}

}  // namespace

bool OutputAllocate() {
  if (!state.buffer) state.buffer.reset(new (std::nothrow) std::uint8_t[kOutputBufferSize]);
  state.fill = kOutputHeaderSize;
  return state.buffer != nullptr;
}

void OutputRelease() {
  state.buffer.reset();
  state.fill = kOutputHeaderSize;
}

bool OutputAllocated() { return state.buffer != nullptr; }

void OutputSetSink(OutputSink sink) { state.sink = std::move(sink); }

void OutputBegin() { state.fill = kOutputHeaderSize; }

void OutputFlush() {
  if (!state.buffer || state.fill <= kOutputHeaderSize) return;
  const std::size_t samples = state.fill - kOutputHeaderSize;
  state.fill = kOutputHeaderSize;
  if (state.sink) {
    state.sink(state.buffer.get() + kOutputHeaderSize, samples);
    return;
  }
  frontend::MakeWaveHeader(state.buffer.get(), static_cast<std::uint32_t>(samples), kOutputRate, 8, 1);
  frontend::PlayBufferAndWait(state.buffer.get(), samples + kOutputHeaderSize);
}

void OutputSilence(int samples) {
  if (!state.buffer) return;
  for (int block = 0; block < samples / static_cast<int>(kSilenceBlock); ++block) {
    MakeRoom(kSilenceBlock);
    std::memset(state.buffer.get() + state.fill, kSilence, kSilenceBlock);
    state.fill += kSilenceBlock;
  }
}

void OutputNoiseBurst() {
  if (!state.buffer) return;
  MakeRoom(kNoiseLength);
  std::uniform_int_distribution<int> spread(0, kNoiseSpread);
  for (std::size_t k = 0; k < kNoiseLength; ++k) {
    state.buffer[state.fill++] = static_cast<std::uint8_t>(kNoiseBase + spread(state.noise));
  }
}

void OutputAppendFromFile(std::FILE* file, std::uint64_t count) {
  if (!state.buffer) return;
  while (count > 0) {
    const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(count, kLargestPiece));
    MakeRoom(piece);
    const std::size_t read = std::fread(state.buffer.get() + state.fill, 1, piece, file);
    state.fill += read;
    if (read < piece) return;
    count -= piece;
  }
}

}  // namespace diphone::detail
