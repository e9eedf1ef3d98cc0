#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "console/keyboard.h"
#include "platform/sim/sim.h"

namespace keyboard_test {
namespace {

std::uint32_t ReadNumber(const std::vector<std::uint8_t>& image, int at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | image[at + i];
  return value;
}

std::string ReadTag(const std::vector<std::uint8_t>& image, int at) {
  return std::string(image.begin() + at, image.begin() + at + 4);
}

TEST(ToneWave, HeaderIsCanonicalEightBitMono) {
  const std::vector<std::uint8_t> image = console::BuildToneWave(440);
  ASSERT_EQ(image.size(), 11071u);
  EXPECT_EQ(ReadTag(image, 0), "RIFF");
  EXPECT_EQ(ReadTag(image, 8), "WAVE");
  EXPECT_EQ(ReadTag(image, 12), "fmt ");
  EXPECT_EQ(ReadNumber(image, 16, 4), 16u);
  EXPECT_EQ(ReadNumber(image, 20, 2), 1u);      // PCM
  EXPECT_EQ(ReadNumber(image, 22, 2), 1u);      // channels
  EXPECT_EQ(ReadNumber(image, 24, 4), 11025u);  // samples per second
  EXPECT_EQ(ReadNumber(image, 28, 4), 11025u);  // bytes per second
  EXPECT_EQ(ReadNumber(image, 32, 2), 1u);      // block alignment
  EXPECT_EQ(ReadNumber(image, 34, 2), 8u);      // bits
  EXPECT_EQ(ReadTag(image, 36), "data");
  // Periods start at 44 + ⌊k × 11 025 / 440⌋ while they start at or before 11 000; the first
  // start past it, 44 + 10 974, ends the data.
  EXPECT_EQ(ReadNumber(image, 40, 4), 10974u);
  EXPECT_EQ(ReadNumber(image, 4, 4), 10974u + 36);
}

TEST(ToneWave, FourHundredFortyHertzIsASquareWaveOfTwentyFiveSamples) {
  const std::vector<std::uint8_t> image = console::BuildToneWave(440);
  const int end = 44 + static_cast<int>(ReadNumber(image, 40, 4));
  int periods = 0;
  for (int k = 0;; ++k) {
    const int start = 44 + k * 11025 / 440;
    const int next = 44 + (k + 1) * 11025 / 440;
    if (start >= end) break;
    ++periods;
    ASSERT_TRUE(next - start == 25 || next - start == 26) << k;
    for (int i = start; i < start + 12; ++i) ASSERT_EQ(image[i], 96) << "period " << k << " at " << i;
    for (int i = start + 12; i < next && i < end - 1; ++i) {
      ASSERT_EQ(image[i], 160) << "period " << k << " at " << i;
    }
  }
  EXPECT_EQ(periods, 438);
  EXPECT_EQ(image[end - 1], 128);
}

TEST(ToneWave, EveryFrequencyStaysInsideItsBuffer) {
  for (int frequency = 1; frequency <= 11025; ++frequency) {
    const std::vector<std::uint8_t> image = console::BuildToneWave(static_cast<std::uint16_t>(frequency));
    ASSERT_EQ(image.size(), 11071u) << frequency;
    const std::uint32_t length = ReadNumber(image, 40, 4);
    ASSERT_LE(44 + length, 11071u) << frequency;
    ASSERT_EQ(ReadNumber(image, 4, 4), length + 36) << frequency;
    if (length == 0) continue;
    ASSERT_EQ(image[44 + length - 1], 128) << frequency;
    int others = 0;
    for (std::uint32_t i = 44; i + 1 < 44 + length; ++i) others += image[i] != 96 && image[i] != 160;
    ASSERT_EQ(others, 0) << frequency;
  }
  // Only 1 Hz has no whole period in the buffer.
  EXPECT_EQ(ReadNumber(console::BuildToneWave(1), 40, 4), 0u);
  EXPECT_GT(ReadNumber(console::BuildToneWave(2), 40, 4), 0u);
}

TEST(ToneWave, FrequenciesOutsideTheRangeGiveNoWave) {
  for (int frequency : {0, 11026, 20000, 65535}) {
    EXPECT_TRUE(console::BuildToneWave(static_cast<std::uint16_t>(frequency)).empty()) << frequency;
  }
}

TEST(ToneSound, StartReplacesAndStopEndsTheLoopingSound) {
  sim::Reset();
  console::ToneStop();  // nothing sounding: nothing happens
  EXPECT_TRUE(sim::Tones().empty());

  console::ToneStart(440);
  ASSERT_EQ(sim::Tones().size(), 1u);
  EXPECT_EQ(sim::Tones()[0].image, console::BuildToneWave(440));
  EXPECT_EQ(sim::Tones()[0].stopped, -1);

  console::ToneStart(880);
  ASSERT_EQ(sim::Tones().size(), 2u);
  EXPECT_NE(sim::Tones()[0].stopped, -1);
  EXPECT_EQ(sim::Tones()[1].image, console::BuildToneWave(880));

  console::ToneStop();
  EXPECT_NE(sim::Tones()[1].stopped, -1);
}

TEST(ToneSound, UnplayableFrequenciesSoundNothing) {
  sim::Reset();
  console::ToneStart(440);
  for (int frequency : {0, 1, 11026, 65535}) {
    console::ToneStart(static_cast<std::uint16_t>(frequency));
  }
  ASSERT_EQ(sim::Tones().size(), 1u);
  EXPECT_NE(sim::Tones()[0].stopped, -1);  // starting any tone first stops the one sounding
  console::ToneStop();
}

}  // namespace
}  // namespace keyboard_test
