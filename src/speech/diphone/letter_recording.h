#pragma once

#include <cstdint>
#include <cstdio>

// The samples of a letter recording: a RIFF/WAVE file whose first "data" chunk holds 8-bit
// mono samples at 11 025 Hz.
namespace diphone::detail {

struct SampleSpan {
  std::uint64_t offset = 0;  // from the start of the file
  std::uint64_t length = 0;  // bytes
};

// Walks the chunks of an open file of `fileSize` bytes from its "RIFF"/"WAVE" header to
// the first "data" chunk, wherever it lies (the format is not read). The length is the
// chunk's full 32-bit size, cut to the bytes the file really holds. False when the file is
// no RIFF/WAVE file or has no "data" chunk.
bool FindWaveSamples(std::FILE* file, std::uint64_t fileSize, SampleSpan& span);

}  // namespace diphone::detail
