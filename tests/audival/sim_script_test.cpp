// audival-sim's scripts: key words, and the microphone signal for the three measurements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/capture/capture.h"
#include "audival/sim_script.h"
#include "platform/keys.h"
#include "platform/temp_folder.h"
#include "support/wave_builder.h"

namespace {

using SimScript = TempFolderTest;

TEST(KeyScript, ReadsKeysAnswersAndTimes) {
  std::vector<audival::KeyPress> keys;
  std::string error;
  ASSERT_TRUE(audival::ParseKeys("enter, Esc x@1500 7 f2 text:a_b", keys, error)) << error;
  const std::vector<std::pair<int, std::int64_t>> expected = {
      {platform::kVkReturn, -1},       {platform::kVkEscape, -1}, {platform::VkLetter('X'), 1500},
      {platform::VkDigit(7), -1},      {platform::VkFunction(2), -1},
      {platform::VkLetter('A'), -1},   {platform::kVkSpace, -1},  {platform::VkLetter('B'), -1}};
  ASSERT_EQ(keys.size(), expected.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].virtualKey, expected[i].first) << i;
    EXPECT_EQ(keys[i].atMs, expected[i].second) << i;
  }
}

TEST(KeyScript, RefusesWhatItDoesNotKnow) {
  for (const std::string script : {"enter@", "enter@-5", "enter@1x", "ctrl", "f13", "text:a!", "@100"}) {
    std::vector<audival::KeyPress> keys;
    std::string error;
    EXPECT_FALSE(audival::ParseKeys(script, keys, error)) << script;
    EXPECT_FALSE(error.empty()) << script;
  }
}

// The peak of each 1024-byte buffer of a signal.
std::vector<int> BufferPeaks(const std::vector<std::uint8_t>& samples) {
  std::vector<int> peaks;
  for (std::size_t at = 0; at < samples.size(); at += 1024) {
    peaks.push_back(audio::BufferPeak(samples.data() + at, static_cast<int>(std::min<std::size_t>(1024, samples.size() - at))));
  }
  return peaks;
}

TEST_F(SimScript, GivesEachMeasurementItsLevelForExactlyItsBuffers) {
  std::vector<std::uint8_t> samples;
  std::string error;
  ASSERT_TRUE(audival::BuildMicrophoneSignal("9, 128", samples, error)) << error;

  std::vector<int> expected(54, 9);
  expected.insert(expected.end(), 108, 128);
  expected.insert(expected.end(), 108, 0);  // the third measurement was not given: silence
  EXPECT_EQ(BufferPeaks(samples), expected);
}

TEST_F(SimScript, TakesAWaveFileAtTheMicrophoneRate) {
  // 16-bit stereo at twice the rate: every other frame is taken, channels averaged, the top
  // byte kept. Frames alternate (+100, +60) * 256 and 0; the file lasts 1000 device frames.
  std::vector<std::uint8_t> frames;
  for (int k = 0; k < 2000; ++k) {
    const int left = k % 2 == 0 ? 100 * 256 : 0;
    const int right = k % 2 == 0 ? 60 * 256 : 0;
    for (const int value : {left, right}) {
      frames.push_back(static_cast<std::uint8_t>(value & 0xFF));
      frames.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    }
  }
  const std::string path = WriteFile("voz.wav", test_support::WaveImage(22050, 2, 16, frames));
  std::vector<std::uint8_t> samples;
  std::string error;
  ASSERT_TRUE(audival::BuildMicrophoneSignal("silence file:" + path, samples, error)) << error;

  ASSERT_EQ(samples.size(), (54u + 108u + 108u) * 1024u);
  const std::size_t second = 54 * 1024;
  EXPECT_EQ(samples[second + 31], 128);  // a measurement begins with 32 silent frames
  EXPECT_EQ(samples[second + 32], 128 + 80);
  EXPECT_EQ(samples[second + 999], 128 + 80);
  EXPECT_EQ(samples[second + 1000], 128);  // after the file: silence
  EXPECT_EQ(BufferPeaks(samples)[54], 80);
  EXPECT_EQ(BufferPeaks(samples)[53], 0);
}

TEST_F(SimScript, RefusesABadMicrophoneScript) {
  WriteFile("texto.wav", "nada");
  for (const std::string& script : std::vector<std::string>{"1 2 3 4", "129", "-1", "loud", "file:" + Folder() + "/none.wav",
                                   "file:" + Folder() + "/texto.wav"}) {
    std::vector<std::uint8_t> samples;
    std::string error;
    EXPECT_FALSE(audival::BuildMicrophoneSignal(script, samples, error)) << script;
    EXPECT_FALSE(error.empty()) << script;
  }
}

}  // namespace
