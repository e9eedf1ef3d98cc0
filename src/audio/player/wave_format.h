#pragma once

#include <cstddef>
#include <cstdint>

// The pure pieces of the wave player: reading a wave image's format, sizing the pieces a
// file is played in, and shortening speech. No device, no state.
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

// "RIFF" at 0 and "fmt " at 12 (any case), a "fmt " body of at least 16 bytes, then chunk
// headers walked from the end of that body until "data". The walk stays within the image and
// within the RIFF length at offset 4; a data length reaching past either is cut to what is
// there. False when the image is not such an image or has no "data" chunk.
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
