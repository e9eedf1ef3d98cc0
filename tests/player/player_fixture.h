#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/sim/sim.h"
#include "platform/temp_folder.h"
#include "support/console_rows.h"
#include "support/wave_builder.h"

// A fresh simulated machine, a temporary Windows folder and freshly started console and
// player modules for each test, and a small builder of RIFF/WAVE files with any layout.
namespace player_test {

using Bytes = std::vector<std::uint8_t>;
using namespace test_support;

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

// Inside a run: queues a key in the console's key queue now.
inline void QueueKeyNow(int virtualKey) {
  sim::PressKeyAt(sim::Now(), virtualKey);
  console::KeyPressed();
}

}  // namespace player_test
