// Finding the samples of a letter recording without reading the rest of the file.
#include "speech/diphone/letter_recording.h"

#include <algorithm>
#include <cstring>

#include "audio/player/wave_format.h"

namespace diphone::detail {

bool FindWaveSamples(std::FILE* file, std::uint64_t fileSize, SampleSpan& span) {
  std::uint8_t header[12];
  if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(header, 1, sizeof header, file) != sizeof header ||
      std::memcmp(header + 8, "WAVE", 4) != 0) {
    return false;
  }
  audio::WaveChunks chunks;
  if (!audio::FindWaveChunks(file, false, chunks) || chunks.dataOffset > fileSize) return false;
  span.offset = chunks.dataOffset;
  span.length = std::min<std::uint64_t>(chunks.dataLength, fileSize - chunks.dataOffset);
  return true;
}

}  // namespace diphone::detail
