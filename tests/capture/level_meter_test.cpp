// The peak of a buffer, the bar, and whole measurements on the simulated microphone.
#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "audio/capture/capture.h"
#include "capture_fixture.h"
#include "platform/keys.h"
#include "platform/wave.h"

namespace capture_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BufferPeak, IsTheLargestDeviationFromSilence) {
  struct Case {
    const char* name;
    Bytes samples;
    int peak;
  };
  Bytes silence(1024, 128);
  Bytes lowest = silence;
  lowest[517] = 0;
  Bytes highest = silence;
  highest[1023] = 255;
  Bytes mixed = silence;
  mixed[3] = 100;  // 28
  mixed[9] = 170;  // 42
  mixed[10] = 90;  // 38
  const Case cases[] = {
      {"all silence", silence, 0},
      {"a single 0", lowest, 128},
      {"a single 255", highest, 127},
      {"the largest of both sides", mixed, 42},
      {"one byte", Bytes{129}, 1},
      {"none", Bytes{}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(audio::BufferPeak(c.samples.data(), static_cast<int>(c.samples.size())), c.peak) << c.name;
  }
  EXPECT_EQ(audio::BufferPeak(nullptr, 10), 0);
  EXPECT_EQ(audio::BufferPeak(lowest.data(), -1), 0);
}

TEST(LevelArithmetic, BufferCountsAndPercentages) {
  EXPECT_EQ(audio::BufferCount(5), 54);    // 55 296 samples, about 5.02 s
  EXPECT_EQ(audio::BufferCount(10), 108);
  EXPECT_EQ(audio::BufferCount(1), 11);    // 10.77 rounds up
  EXPECT_EQ(audio::BufferCount(60), 646);  // 645.99
  EXPECT_EQ(audio::BufferCount(0), 0);
  EXPECT_EQ(audio::BufferCount(-3), 0);
  EXPECT_EQ(audio::BufferCount(std::numeric_limits<int>::max()), std::numeric_limits<int>::max());

  const int percents[][2] = {{0, 0}, {1, 0}, {9, 7}, {10, 7}, {29, 22}, {30, 23},
                             {120, 93}, {121, 94}, {127, 99}, {128, 100}};
  for (const auto& [level, percent] : percents) EXPECT_EQ(audio::LevelPercent(level), percent) << level;
}

using LevelBar = CaptureTest;

TEST_F(LevelBar, HasSixtyFourPlacesHalfOfThemPerLevelAndReturnsToColumnZero) {
  const int levels[][2] = {{0, 0}, {1, 0}, {2, 1}, {127, 63}, {128, 64}, {-4, 0}, {300, 64}};
  std::vector<std::string> rows;
  std::vector<int> columns;
  RunProgram([&] {
    for (const auto& level : levels) {
      audio::DrawLevelBar(level[0]);
      rows.push_back(BufferRow(0));
      columns.push_back(console::CursorColumn());
      if (console::CursorRow() != 0) rows.back() += " (moved to another row)";
    }
  });
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i], Bar(levels[i][1])) << "level " << levels[i][0];
    EXPECT_EQ(columns[i], 0) << "level " << levels[i][0];
  }
}

TEST_F(LevelBar, StartedBehindTextContinuesOnTheNextLine) {
  const std::string prompt = "Aperte Enter e fique em silêncio.";
  RunProgram([&] {
    std::cout << prompt << std::flush;
    audio::DrawLevelBar(0);
    audio::DrawLevelBar(128);
  });
  const int onFirstRow = 80 - static_cast<int>(prompt.size());
  // The first bar fills the prompt's line and goes on from column 0 of the next; its
  // carriage return leaves the cursor there, so the second bar overwrites the rest.
  EXPECT_EQ(sim::ScreenRow(0), prompt + std::string(onFirstRow, '.'));
  EXPECT_EQ(sim::ScreenRow(1), Bar(64));
  EXPECT_EQ(BufferRow(0), prompt + std::string(onFirstRow, '.'));
  EXPECT_EQ(console::CursorRow(), 1);
  EXPECT_EQ(console::CursorColumn(), 0);
}

using MicLevel = CaptureTest;

// Buffer k (from 1) has level 2k, so the level tells how many buffers were read and the bars
// tell their order.
std::vector<int> RisingLevels(int count) {
  std::vector<int> levels;
  for (int k = 1; k <= count; ++k) levels.push_back(std::min(2 * k, 128));
  return levels;
}

TEST_F(MicLevel, ReadsWholeBuffersForTheSecondsAsked) {
  struct Case {
    int seconds;
    int buffers;
    std::int64_t endMs;  // ceil(buffers × 1024 × 1000 / 11025)
  };
  const Case cases[] = {{5, 54, 5016}, {10, 108, 10032}, {1, 11, 1022}};
  for (const Case& c : cases) {
    int level = -1;
    std::int64_t start = 0;
    std::int64_t end = 0;
    const sim::RunResult result = RunProgram([&] {
      SettleWindow();
      // One buffer of level 1 past the end: reading it would raise the level.
      std::vector<int> levels(static_cast<std::size_t>(c.buffers), 1);
      levels.push_back(127);
      levels[static_cast<std::size_t>(c.buffers) - 1] = 90;
      sim::SetMicrophoneBufferLevels(levels);
      start = sim::Now();
      level = audio::MicLevel(c.seconds);
      end = sim::Now();
    });
    ASSERT_FALSE(result.stalled) << result.message;
    EXPECT_EQ(level, 90) << c.seconds << " s";
    EXPECT_EQ(end - start, c.endMs) << c.seconds << " s";
    // The bar of 0 first, then one bar per buffer.
    EXPECT_EQ(BarsDrawn().size(), static_cast<std::size_t>(c.buffers + 1)) << c.seconds << " s";
    EXPECT_FALSE(platform::WaveInIsOpen());
    ASSERT_EQ(sim::WaveInOpens().size(), 1u);
    const platform::WaveFormat format = sim::WaveInOpens()[0].format;
    EXPECT_EQ(format.rate, 11025);
    EXPECT_EQ(format.bits, 8);
    EXPECT_EQ(format.channels, 1);
    console::ConsoleStop();
  }
}

TEST_F(MicLevel, TheLiveBarShowsEachBuffersOwnPeakAndTheLevelIsTheLargest) {
  const std::vector<int> levels = {10, 128, 0, 37, 5, 64, 2, 1, 99, 0, 11};
  int level = -1;
  RunProgram([&] {
    SettleWindow();
    sim::SetMicrophoneBufferLevels(levels);
    level = audio::MicLevel(1);
  });
  EXPECT_EQ(level, 128);
  std::vector<int> expected = {0};
  for (const int l : levels) expected.push_back(l / 2);
  EXPECT_EQ(BarsDrawn(), expected);
  EXPECT_EQ(BufferRow(0), Bar(5));
}

TEST_F(MicLevel, FindsTheCrestOfASine) {
  int level = -1;
  RunProgram([&] {
    sim::SetMicrophoneSine(77, 11025.0 / 4);
    level = audio::MicLevel(5);
  });
  EXPECT_EQ(level, 77);
}

TEST_F(MicLevel, EachMeasurementStartsWithTheFirstBufferItQueues) {
  std::vector<int> measured;
  std::vector<std::vector<int>> bars;
  RunProgram([&] {
    SettleWindow();
    sim::SetMicrophoneBufferLevels(std::vector<int>(60, 120));
    for (int round = 0; round < 3; ++round) {
      if (round > 0) {
        // Time passes between measurements, with the microphone closed.
        console::Delay(700);
        sim::SetMicrophoneBufferLevels(RisingLevels(60));
      }
      sim::ClearTextRuns();
      measured.push_back(audio::MicLevel(5));
      bars.push_back(BarsDrawn());
    }
  });
  EXPECT_EQ(measured, (std::vector<int>{120, 108, 108}));
  std::vector<int> rising = {0};
  for (int k = 1; k <= 54; ++k) rising.push_back(k);
  // Nothing recorded for an earlier measurement shows up in a later one.
  EXPECT_EQ(bars[1], rising);
  EXPECT_EQ(bars[2], rising);
  EXPECT_EQ(sim::WaveInOpens().size(), 3u);
}

TEST_F(MicLevel, KeysTypedMeanwhileStayQueuedInOrder) {
  int level = -1;
  std::vector<int> keys;
  const sim::RunResult result = RunProgram([&] {
    sim::SetMicrophoneBufferLevels({50});
    sim::PressKeyAt(1000, platform::VkLetter('A'));
    sim::PressKeyAt(2500, platform::kVkReturn);
    sim::PressKeyAt(4000, platform::kVkUp);
    level = audio::MicLevel(5);
    while (console::QueuedKeyCount() > 0) keys.push_back(console::ReadKey());
  });
  ASSERT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(level, 50);
  EXPECT_EQ(keys, (std::vector<int>{'a', 13, 0, 72}));
}

TEST_F(MicLevel, AnOpenFailureShowsTheCodeAndEndsTheProgramAfterEnter) {
  for (const int code : {platform::kMmBadDeviceId, platform::kWaveBadFormat, platform::kMmAllocated}) {
    bool returned = false;
    const sim::RunResult result = RunProgram([&] {
      sim::FailWaveInOpen(code);
      sim::TypeText("x\r");
      audio::MicLevel(5);
      returned = true;
    });
    EXPECT_TRUE(result.exited) << code;
    EXPECT_EQ(result.exitCode, 0) << code;
    EXPECT_FALSE(returned) << code;
    EXPECT_EQ(sim::ScreenRow(0), "Problemas, código " + std::to_string(code)) << code;
    EXPECT_EQ(sim::ScreenRow(1), "x") << code;  // the line typed before Enter
    EXPECT_FALSE(platform::WaveInIsOpen());
    sim::ClearWaveFaults();
    console::ConsoleStop();
  }
}

TEST_F(MicLevel, AnOpenFailureWaitsForEnter) {
  const sim::RunResult result = RunProgram([] {
    sim::FailWaveInOpen(platform::kMmNoDriver);
    audio::MicLevel(5);
  });
  EXPECT_TRUE(result.stalled);
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(sim::ScreenRow(0), "Problemas, código 6");
}

}  // namespace
}  // namespace capture_test
