#pragma once

#include <cstdint>
#include <vector>

// In-memory wave images for the sound tests.
namespace sdltest {

// A canonical 44-byte-header RIFF/WAVE image (PCM) holding `data`.
inline std::vector<std::uint8_t> WaveImage(int rate, int channels, int bits,
                                           const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> image;
  const auto put32 = [&](std::uint32_t v) {
    for (int k = 0; k < 4; ++k) image.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  };
  const auto put16 = [&](std::uint16_t v) {
    image.push_back(static_cast<std::uint8_t>(v));
    image.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  const auto tag = [&](const char* t) { image.insert(image.end(), t, t + 4); };
  const int blockAlign = channels * bits / 8;
  tag("RIFF");
  put32(static_cast<std::uint32_t>(36 + data.size()));
  tag("WAVE");
  tag("fmt ");
  put32(16);
  put16(1);
  put16(static_cast<std::uint16_t>(channels));
  put32(static_cast<std::uint32_t>(rate));
  put32(static_cast<std::uint32_t>(rate * blockAlign));
  put16(static_cast<std::uint16_t>(blockAlign));
  put16(static_cast<std::uint16_t>(bits));
  tag("data");
  put32(static_cast<std::uint32_t>(data.size()));
  image.insert(image.end(), data.begin(), data.end());
  return image;
}

// `count` bytes counting up 0, 3, 6, ... (mod 256): a pattern whose position can be told.
inline std::vector<std::uint8_t> Ramp(int count) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) bytes[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(k * 3);
  return bytes;
}

// The same image with its data chunk moved before its format chunk.
inline std::vector<std::uint8_t> SwapChunks(const std::vector<std::uint8_t>& image) {
  std::vector<std::uint8_t> swapped(image.begin(), image.begin() + 12);
  swapped.insert(swapped.end(), image.begin() + 36, image.end());
  swapped.insert(swapped.end(), image.begin() + 12, image.begin() + 36);
  return swapped;
}

}  // namespace sdltest
