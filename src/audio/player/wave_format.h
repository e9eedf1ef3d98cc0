#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

// The pure pieces of the wave player: finding the format and the samples of a wave file or
// image, sizing the pieces a file is played in, and shortening speech. No device, no state.
namespace audio {

// Size of a block slot and of the file read buffer.
constexpr int kBlockBytes = 65534;

// The format and samples that a RIFF/WAVE image describes. Fields are as stored; whether a
// device can play them is for WavPlayData to judge.
struct WaveImageInfo {
  std::uint32_t rate = 0;
  std::uint16_t channels = 0;
  std::uint16_t bits = 0;
  std::size_t dataOffset = 0;  // first sample byte
  std::size_t dataLength = 0;  // sample bytes actually inside the image
};

// Where the format and the samples of a RIFF/WAVE file lie, as its chunk headers say.
struct WaveChunks {
  bool hasFormat = false;
  std::uint32_t rate = 0;
  std::uint16_t channels = 0;
  std::uint16_t bits = 0;
  std::uint64_t dataOffset = 0;  // first sample byte
  std::uint32_t dataLength = 0;  // as declared: it may reach past the end
};

// Reads up to `count` bytes at `offset` and says how many it read: fewer at the end.
using WaveReader = std::function<std::size_t(std::uint64_t offset, std::uint8_t* into, std::size_t count)>;

// "RIFF" at 0 (any case; the form type is not examined), then the chunks from offset 12 in
// any order until the first "data" and, when `needFormat`, the first "fmt " (any case, a body
// of at least 16 bytes) have been found. A chunk of odd length is followed by a pad byte,
// unless a non-zero byte there begins the next chunk's id (a writer that left the pad out).
// False when a chunk header cannot be read before that, or a needed "fmt " is too short.
bool FindWaveChunks(const WaveReader& read, bool needFormat, WaveChunks& chunks);
// The same over an open file, from its start.
bool FindWaveChunks(std::FILE* file, bool needFormat, WaveChunks& chunks);

// The chunks of an image whose "fmt " and "data" lie within it and within the RIFF length at
// offset 4; a data length reaching past either is cut to what is there. False when the image
// is not such an image.
bool ParseWaveBuffer(const std::uint8_t* image, std::size_t size, WaveImageInfo& info);

// Length of the next piece of a file's data when `remaining` bytes are left: 65 278 when
// 65 535 to 65 789 bytes remain (so no tiny piece is left at the end), else the smaller of
// `remaining` and 65 534.
int FilePieceLength(std::uint32_t remaining);

// Shortens mono speech in place by dropping every other pitch period; 16-bit samples are
// first converted to 8 bits. Returns the new byte count (8-bit samples).
int ShortenSpeech(std::uint8_t* samples, int count, int bits, int rate);

// Compares a four-byte chunk id without regard to case.
bool SameChunkId(const std::uint8_t* id, const char* expected);

std::uint32_t ReadLe32(const std::uint8_t* bytes);
std::uint16_t ReadLe16(const std::uint8_t* bytes);

}  // namespace audio
