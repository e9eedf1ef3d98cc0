// Reading a RIFF/WAVE image's format and the piece sizes of file playback.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "audio/player/wave_format.h"

namespace audio {

std::uint32_t ReadLe32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint16_t ReadLe16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

bool SameChunkId(const std::uint8_t* id, const char* expected) {
  for (int i = 0; i < 4; ++i) {
    if (std::tolower(id[i]) != std::tolower(static_cast<unsigned char>(expected[i]))) return false;
  }
  return true;
}

bool ParseWaveBuffer(const std::uint8_t* image, std::size_t size, WaveImageInfo& info) {
  constexpr std::uint64_t kFmtBody = 20;
  constexpr std::uint64_t kFmtFields = 16;
  info = WaveImageInfo{};
  if (image == nullptr || size < kFmtBody) return false;
  if (!SameChunkId(image, "RIFF") || !SameChunkId(image + 12, "fmt ")) return false;
  // Nothing after the RIFF chunk's own end belongs to it.
  const std::uint64_t end = std::min<std::uint64_t>(size, 8 + std::uint64_t{ReadLe32(image + 4)});
  const std::uint64_t fmtLength = ReadLe32(image + 16);
  if (fmtLength < kFmtFields || kFmtBody + kFmtFields > end) return false;
  info.channels = ReadLe16(image + 22);
  info.rate = ReadLe32(image + 24);
  info.bits = ReadLe16(image + 34);
  std::uint64_t position = kFmtBody + fmtLength;
  while (position + 8 <= end) {
    const std::uint64_t length = ReadLe32(image + position + 4);
    if (std::memcmp(image + position, "data", 4) == 0) {
      info.dataOffset = static_cast<std::size_t>(position + 8);
      info.dataLength = static_cast<std::size_t>(std::min(length, end - (position + 8)));
      return true;
    }
    position += 8 + length;
  }
  return false;
}

int FilePieceLength(std::uint32_t remaining) {
  constexpr std::uint32_t kShortPiece = 65278;
  if (remaining >= 65535 && remaining <= 65789) return kShortPiece;
  return static_cast<int>(std::min<std::uint32_t>(remaining, kBlockBytes));
}

}  // namespace audio
