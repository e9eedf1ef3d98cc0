// `fala wav`: a text through the Aravo engine into a wave file.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "commands.h"
#include "platform/sim/sim.h"
#include "support/file_bytes.h"

namespace {

class WavCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("fala_wav_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder_);
    unsetenv("VERANTO_VOICE");
    sim::Reset();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  static std::string Read(const std::string& path) { return test_support::ReadFileBytes(path); }
  static uint32_t Field(const std::string& bytes, size_t at, int size) {
    return test_support::LittleEndianField(bytes, at, size);
  }

  std::filesystem::path folder_;
  fala::Output output_;
};

TEST_F(WavCommandTest, WritesA16kMonoWaveWithExactSizes) {
  const std::string wave = (folder_ / "a.wav").string();
  ASSERT_EQ(fala::WavCommand(output_, {"Bom", "dia,", "são", "10", "horas.", "-o", wave}), 0);
  const std::string bytes = Read(wave);
  ASSERT_GT(bytes.size(), 44u + 16000u);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(Field(bytes, 4, 4), bytes.size() - 8);
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Field(bytes, 20, 2), 1u);      // PCM
  EXPECT_EQ(Field(bytes, 22, 2), 1u);      // mono
  EXPECT_EQ(Field(bytes, 24, 4), 16000u);  // rate
  EXPECT_EQ(Field(bytes, 28, 4), 32000u);  // bytes per second
  EXPECT_EQ(Field(bytes, 34, 2), 16u);
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(Field(bytes, 40, 4), bytes.size() - 44);
  // Speech, not silence.
  int loudest = 0;
  for (size_t at = 44; at + 1 < bytes.size(); at += 2) {
    loudest = std::max(loudest, std::abs(static_cast<int16_t>(Field(bytes, at, 2))));
  }
  EXPECT_GT(loudest, 1000);
}

TEST_F(WavCommandTest, BadUseAndFailuresGiveNonZeroExits) {
  const std::string wave = (folder_ / "a.wav").string();
  EXPECT_EQ(fala::WavCommand(output_, {"texto"}), 2);
  EXPECT_EQ(fala::WavCommand(output_, {"texto", "-o"}), 2);
  EXPECT_EQ(fala::WavCommand(output_, {"texto", "-o", (folder_ / "no/a.wav").string()}), 1);
  EXPECT_EQ(fala::WavCommand(output_, {"--data", (folder_ / "none").string(), "x", "-o", wave}), 1);
  EXPECT_EQ(fala::WavCommand(output_, {"--voice", (folder_ / "none").string(), "x", "-o", wave}), 1);
}

}  // namespace
