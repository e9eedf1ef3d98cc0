// Finding the samples of a letter recording without reading the rest of the file.
#include "speech/diphone/letter_recording.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace diphone::detail {
namespace {

constexpr std::uint64_t kRiffHeaderSize = 12;
constexpr std::uint64_t kChunkHeaderSize = 8;

std::uint32_t Le32(const unsigned char* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

bool ReadAt(std::FILE* file, std::uint64_t offset, unsigned char* into, std::size_t count) {
  if (offset > static_cast<std::uint64_t>(LONG_MAX)) return false;
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
         std::fread(into, 1, count, file) == count;
}

}  // namespace

bool FindWaveSamples(std::FILE* file, std::uint64_t fileSize, SampleSpan& span) {
  unsigned char header[kRiffHeaderSize];
  if (fileSize < kRiffHeaderSize || !ReadAt(file, 0, header, sizeof header)) return false;
  if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return false;
  // Each step moves past a whole chunk, so the walk ends within fileSize / 8 steps.
  for (std::uint64_t at = kRiffHeaderSize; at + kChunkHeaderSize <= fileSize;) {
    unsigned char chunk[kChunkHeaderSize];
    if (!ReadAt(file, at, chunk, sizeof chunk)) return false;
    const std::uint64_t length = Le32(chunk + 4);
    at += kChunkHeaderSize;
    if (std::memcmp(chunk, "data", 4) == 0) {
      span.offset = at;
      span.length = std::min(length, fileSize - at);
      return true;
    }
    at += length;
  }
  return false;
}

}  // namespace diphone::detail
