#include "platform/common/wave_image.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

std::uint32_t Read32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}
std::uint16_t Read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

bool FindLoopingWaveSamples(const std::uint8_t* image, std::size_t size, WaveFormat& format,
                            std::size_t& samplesAt, std::size_t& samplesSize) {
  if (image == nullptr || size < 12 || std::memcmp(image, "RIFF", 4) != 0 ||
      std::memcmp(image + 8, "WAVE", 4) != 0) {
    return false;
  }
  bool haveFormat = false;
  std::size_t at = 12;
  while (size - at >= 8) {
    const std::uint8_t* chunk = image + at;
    const std::size_t chunkSize = std::min<std::size_t>(Read32(chunk + 4), size - at - 8);
    const std::uint8_t* body = chunk + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (chunkSize < 16 || Read16(body) != 1) return false;  // PCM only
      format.channels = Read16(body + 2);
      format.rate = static_cast<int>(std::min<std::uint32_t>(Read32(body + 4), 1 << 20));
      format.bits = Read16(body + 14);
      if ((format.channels != 1 && format.channels != 2) || format.rate <= 0 ||
          (format.bits != 8 && format.bits != 16)) {
        return false;
      }
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return false;
      const std::size_t frame = static_cast<std::size_t>(format.channels * format.bits / 8);
      samplesAt = at + 8;
      samplesSize = chunkSize - chunkSize % frame;
      return samplesSize > 0;
    }
    at += 8 + chunkSize + (chunkSize & 1);
    if (at > size) break;
  }
  return false;
}

}  // namespace platform
