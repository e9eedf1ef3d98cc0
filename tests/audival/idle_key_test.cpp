// The simulated keyboard's answer keys: pressed when the program waits while nothing plays
// or records, before the clock jumps to a later timed key.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/events.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "platform/wave.h"

namespace {

// Waits until a key goes down; the virtual time it arrived at.
std::int64_t WaitForKeyDown(int& key) {
  for (;;) {
    platform::Event event;
    while (platform::PeekEvent(event)) {
      if (event.kind == platform::EventKind::KeyDown) {
        key = event.code;
        return sim::Now();
      }
    }
    platform::WaitEvent();
  }
}

TEST(IdleKey, WaitsForTheSoundToEndAndComesBeforeALaterTimedKey) {
  sim::Reset();
  sim::PressKeyWhenIdle(platform::kVkReturn);
  sim::PressKeyAt(5000, platform::VkLetter('Q'));
  std::vector<int> keys;
  std::vector<std::int64_t> times;
  const sim::RunResult result = sim::Run([&] {
    // One second of sound: the answer comes when it has ended, not at the first wait.
    ASSERT_EQ(platform::WaveOutOpen({11025, 8, 1}), platform::kMmNoError);
    std::vector<std::uint8_t> samples(11025, 100);
    platform::WaveHeader header;
    header.data = samples.data();
    header.length = static_cast<int>(samples.size());
    platform::WaveOutPrepareHeader(header);
    platform::WaveOutWrite(header);
    for (int i = 0; i < 2; ++i) {
      int key = 0;
      times.push_back(WaitForKeyDown(key));
      keys.push_back(key);
    }
    platform::WaveOutUnprepareHeader(header);
    platform::WaveOutClose();
  });
  ASSERT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(keys, (std::vector<int>{platform::kVkReturn, platform::VkLetter('Q')}));
  EXPECT_EQ(times, (std::vector<std::int64_t>{1000, 5000}));
}

TEST(IdleKey, IsNotPressedWhileTheMicrophoneRecords) {
  sim::Reset();
  sim::PressKeyWhenIdle(platform::kVkEscape);
  std::int64_t pressed = -1;
  const sim::RunResult result = sim::Run([&] {
    ASSERT_EQ(platform::WaveInOpen({11025, 8, 1}), platform::kMmNoError);
    std::vector<std::uint8_t> bytes(11025);
    platform::WaveHeader header;
    header.data = bytes.data();
    header.length = static_cast<int>(bytes.size());
    platform::WaveInPrepareHeader(header);
    platform::WaveInAddBuffer(header);
    platform::WaveInStart();
    // The buffer fills after a second; only then, with nothing queued, is the key pressed.
    int key = 0;
    pressed = WaitForKeyDown(key);
    platform::WaveInReset();
    platform::WaveInUnprepareHeader(header);
    platform::WaveInClose();
  });
  ASSERT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(pressed, 1000);
}

}  // namespace
