#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/sim/sim.h"
#include "platform/temp_folder.h"

// A fresh simulated machine, a temporary Windows folder and freshly started console and
// player modules for each test, and a small builder of RIFF/WAVE files with any layout.
namespace player_test {

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

// Distinct, non-silent 8-bit samples, so a misplaced byte shows.
inline Bytes Ramp(std::size_t count) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return bytes;
}

// What the device receives for a mono 8-bit piece: the last byte of a piece that is not a full
// block is made silent.
inline Bytes WithSilentLastByte(Bytes bytes) {
  if (!bytes.empty() && bytes.size() != 65534) bytes.back() = 128;
  return bytes;
}

class PlayerTest : public TempFolderTest {
 protected:
  void TearDown() override {
    sim::ClearWaveFaults();
    audio::PlayerStop();
    console::ConsoleStop();
    TempFolderTest::TearDown();
  }

  // The modules started afresh and `body` run on the simulated machine.
  sim::RunResult RunPlayer(const std::function<void()>& body) {
    sim::Reset();
    console::ConsoleStart();
    audio::PlayerStart();
    return sim::Run(body);
  }

  std::string WriteWave(const std::string& name, const std::string& bytes) { return WriteFile(name, bytes); }
};

// Lengths of the blocks handed to the device, in order.
inline std::vector<int> BlockLengths() {
  std::vector<int> lengths;
  for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) lengths.push_back(static_cast<int>(block.bytes.size()));
  return lengths;
}

// The characters of one row of the console, trailing blanks removed.
inline std::string ConsoleRow(int row) {
  std::string text;
  for (int column = 0; column < console::Columns(); ++column) text += console::ScreenCharacter(column, row);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// Inside a run: queues a key in the console's key queue now.
inline void QueueKeyNow(int virtualKey) {
  sim::PressKeyAt(sim::Now(), virtualKey);
  console::KeyPressed();
}

}  // namespace player_test
