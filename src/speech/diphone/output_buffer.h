#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

// The internal voice's one output buffer: a 44-byte wave header and up to 63 956 samples,
// handed to the player (or to an output sink) whenever the next piece no longer fits and at
// the end of a string.
namespace diphone::detail {

constexpr std::size_t kOutputBufferSize = 64000;
constexpr std::size_t kOutputHeaderSize = 44;
constexpr std::size_t kLargestPiece = kOutputBufferSize - kOutputHeaderSize;
constexpr int kOutputRate = 11025;

using OutputSink = std::function<void(const std::uint8_t* samples, std::size_t count)>;

// Allocates the buffer once (false when memory is short); releasing is safe at any time.
bool OutputAllocate();
void OutputRelease();
bool OutputAllocated();
// Flushes go to `sink` instead of the player; an empty sink restores the player.
void OutputSetSink(OutputSink sink);

// Starts a string with an empty buffer.
void OutputBegin();
// Plays what is held (as a wave image, waiting for it) and empties the buffer.
void OutputFlush();
// Silence of `samples` samples in whole blocks of 100; less than 100 is nothing.
void OutputSilence(int samples);
// 300 bytes of low noise: 88 + r each, r uniform in 0 .. 79.
void OutputNoiseBurst();
// Appends `count` bytes read from `file` at its position straight into the buffer; a run
// larger than a buffer goes in pieces with a flush between. Stops at a short read.
void OutputAppendFromFile(std::FILE* file, std::uint64_t count);

}  // namespace diphone::detail
