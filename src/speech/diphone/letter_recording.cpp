// Finding the samples of a letter recording without reading the rest of the file.
#include "speech/diphone/letter_recording.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "audio/player/wave_format.h"

namespace diphone::detail {

bool FindWaveSamples(std::FILE* file, std::uint64_t fileSize, SampleSpan& span) {
  const audio::WaveReader read = [file, fileSize](std::uint64_t offset, std::uint8_t* into,
                                                  std::size_t count) -> std::size_t {
    if (offset >= fileSize || offset > static_cast<std::uint64_t>(LONG_MAX) ||
        std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) {
      return 0;
    }
    return std::fread(into, 1, static_cast<std::size_t>(std::min<std::uint64_t>(count, fileSize - offset)), file);
  };
  std::uint8_t form[4];
  if (read(8, form, 4) != 4 || std::memcmp(form, "WAVE", 4) != 0) return false;
  audio::WaveChunks chunks;
  if (!audio::FindWaveChunks(read, false, chunks)) return false;
  span.offset = chunks.dataOffset;
  span.length = std::min<std::uint64_t>(chunks.dataLength, fileSize - chunks.dataOffset);
  return true;
}

}  // namespace diphone::detail
