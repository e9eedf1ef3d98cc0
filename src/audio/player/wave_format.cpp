// Walking the chunks of RIFF/WAVE files and images, and the piece sizes of file playback.
#include <algorithm>
#include <cctype>
#include <climits>
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

namespace {

constexpr std::size_t kFmtFields = 16;

// Four printable characters, as every chunk id is.
bool IsChunkId(const std::uint8_t* id) {
  return std::all_of(id, id + 4, [](std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7E; });
}

}  // namespace

bool FindWaveChunks(const WaveReader& read, bool needFormat, WaveChunks& chunks) {
  chunks = WaveChunks{};
  std::uint8_t bytes[12];
  if (read(0, bytes, 12) != 12 || !SameChunkId(bytes, "RIFF")) return false;
  bool haveData = false;
  bool padded = false;  // the chunk before had an odd length
  // Every step moves on by at least a chunk header, so the walk ends where the reads do.
  for (std::uint64_t at = 12;;) {
    const std::uint8_t* header = bytes;
    if (!padded) {
      if (read(at, bytes, 8) != 8) return false;
    } else {
      // The pad byte is written as 0; a writer that left it out put the next id there.
      const std::size_t count = read(at, bytes, 9);
      const bool padLeftOut = count >= 8 && bytes[0] != 0 && IsChunkId(bytes);
      if (!padLeftOut) {
        if (count != 9) return false;
        header = bytes + 1;
        at += 1;
      }
    }
    const std::uint32_t length = ReadLe32(header + 4);
    const std::uint64_t body = at + 8;
    if (!chunks.hasFormat && SameChunkId(header, "fmt ")) {
      std::uint8_t fields[kFmtFields];
      if (length >= kFmtFields && read(body, fields, kFmtFields) == kFmtFields) {
        chunks.hasFormat = true;
        chunks.channels = ReadLe16(fields + 2);
        chunks.rate = ReadLe32(fields + 4);
        chunks.bits = ReadLe16(fields + 14);
      } else if (needFormat) {
        return false;
      }
    } else if (!haveData && std::memcmp(header, "data", 4) == 0) {
      haveData = true;
      chunks.dataOffset = body;
      chunks.dataLength = length;
    }
    if (haveData && (chunks.hasFormat || !needFormat)) return true;
    at = body + length;
    padded = length % 2 != 0;
  }
}

bool FindWaveChunks(std::FILE* file, bool needFormat, WaveChunks& chunks) {
  const WaveReader read = [file](std::uint64_t offset, std::uint8_t* into, std::size_t count) -> std::size_t {
    if (offset > static_cast<std::uint64_t>(LONG_MAX) || std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) {
      return 0;
    }
    return std::fread(into, 1, count, file);
  };
  return FindWaveChunks(read, needFormat, chunks);
}

bool ParseWaveBuffer(const std::uint8_t* image, std::size_t size, WaveImageInfo& info) {
  info = WaveImageInfo{};
  if (image == nullptr || size < 8) return false;
  // Nothing after the RIFF chunk's own end belongs to it.
  const std::uint64_t end = std::min<std::uint64_t>(size, 8 + std::uint64_t{ReadLe32(image + 4)});
  const WaveReader read = [image, end](std::uint64_t offset, std::uint8_t* into, std::size_t count) -> std::size_t {
    if (offset >= end) return 0;
    const auto available = static_cast<std::size_t>(std::min<std::uint64_t>(count, end - offset));
    std::memcpy(into, image + offset, available);
    return available;
  };
  WaveChunks chunks;
  if (!FindWaveChunks(read, true, chunks)) return false;
  info.rate = chunks.rate;
  info.channels = chunks.channels;
  info.bits = chunks.bits;
  info.dataOffset = static_cast<std::size_t>(chunks.dataOffset);
  info.dataLength = static_cast<std::size_t>(std::min<std::uint64_t>(chunks.dataLength, end - chunks.dataOffset));
  return true;
}

int FilePieceLength(std::uint32_t remaining) {
  constexpr std::uint32_t kShortPiece = 65278;
  if (remaining >= 65535 && remaining <= 65789) return kShortPiece;
  return static_cast<int>(std::min<std::uint32_t>(remaining, kBlockBytes));
}

}  // namespace audio
