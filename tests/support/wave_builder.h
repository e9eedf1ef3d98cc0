#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Builds RIFF/WAVE files and images of any layout for tests: canonical ones, and ones with
// chunks in odd places or lengths that lie.
namespace test_support {

using Bytes = std::vector<std::uint8_t>;

inline void Put32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i));
}

inline void Put16(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 2; ++i) out += static_cast<char>(value >> (8 * i));
}

// A chunk as written: its id, its declared length (the body's size unless given) and its body.
inline std::string Chunk(const std::string& id, const std::string& body,
                         std::optional<std::uint32_t> declaredLength = std::nullopt) {
  std::string out = id;
  Put32(out, declaredLength.value_or(static_cast<std::uint32_t>(body.size())));
  return out + body;
}

// A PCM "fmt " body of 16 bytes (more with `extra` trailing bytes).
inline std::string FmtBody(std::uint32_t rate, std::uint32_t channels, std::uint32_t bits,
                           std::size_t extra = 0) {
  std::string body;
  Put16(body, 1);
  Put16(body, channels);
  Put32(body, rate);
  const std::uint32_t align = channels * (bits / 8);
  Put32(body, rate * align);
  Put16(body, align);
  Put16(body, bits);
  body.append(extra, '\0');
  return body;
}

// "RIFF", its length (what follows it unless given), "WAVE", then the chunks.
inline std::string Riff(const std::string& chunks, std::optional<std::uint32_t> declaredLength = std::nullopt,
                        const std::string& tag = "RIFF") {
  std::string out = tag;
  Put32(out, declaredLength.value_or(static_cast<std::uint32_t>(4 + chunks.size())));
  return out + "WAVE" + chunks;
}

inline std::string AsString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
inline Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// The canonical wave image of these samples.
inline std::string WaveImage(std::uint32_t rate, std::uint32_t channels, std::uint32_t bits, const Bytes& samples) {
  return Riff(Chunk("fmt ", FmtBody(rate, channels, bits)) + Chunk("data", AsString(samples)));
}

}  // namespace test_support
