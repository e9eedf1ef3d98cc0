// `fala synth`: .pho lines to a WAV file through the bound synthesizer library.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "commands.h"
#include "support/file_bytes.h"

namespace {

class SynthCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("fala_synth_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder_);
    unsetenv("VERANTO_VOICE");
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  static std::string Read(const std::string& path) { return test_support::ReadFileBytes(path); }
  static uint32_t Field(const std::string& bytes, size_t at, int size) {
    return test_support::LittleEndianField(bytes, at, size);
  }

  std::filesystem::path folder_;
  fala::Output output_;
};

TEST_F(SynthCommandTest, WritesA16kMonoWaveOfTheRightLength) {
  const std::string pho =
      Write("a.pho", "; test\r\n_ 50\r\na 200 50 220\r\n#\r\ni 100 50 200\r\n_ 50\r\n");
  const std::string wave = (folder_ / "a.wav").string();
  ASSERT_EQ(fala::SynthCommand(output_, {pho, "-o", wave}), 0);
  const std::string bytes = Read(wave);
  ASSERT_EQ(bytes.size(), 44u + 400 * 16 * 2);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Field(bytes, 20, 2), 1u);      // PCM
  EXPECT_EQ(Field(bytes, 22, 2), 1u);      // mono
  EXPECT_EQ(Field(bytes, 24, 4), 16000u);  // rate
  EXPECT_EQ(Field(bytes, 34, 2), 16u);     // bits
  EXPECT_EQ(Field(bytes, 40, 4), 400u * 16 * 2);
  EXPECT_EQ(Field(bytes, 44, 2), 0u);  // starts in silence
}

TEST_F(SynthCommandTest, ErrorsAreReportedWithTheirLine) {
  const std::string wave = (folder_ / "b.wav").string();
  struct Case {
    std::vector<std::string> arguments;
    int code;
  };
  const Case cases[] = {
      {{Write("bad.pho", "_ 50\nqq 100\n"), "-o", wave}, 1},  // unknown phoneme
      {{Write("worse.pho", "a -3\n"), "-o", wave}, 1},        // bad duration
      {{(folder_ / "missing.pho").string(), "-o", wave}, 1},  // no such input
      {{Write("c.pho", "a 10\n"), "-o", wave, "--voice", "/no/voice"}, 1},
      {{Write("d.pho", "a 10\n")}, 2},  // no output
      {{"--bogus", "-o", wave}, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fala::SynthCommand(output_, c.arguments), c.code) << c.arguments[0];
    EXPECT_FALSE(std::filesystem::exists(wave)) << c.arguments[0];
  }
}

TEST_F(SynthCommandTest, VoiceFromTheEnvironment) {
  const std::string pho = Write("e.pho", "a 10\n");
  const std::string wave = (folder_ / "e.wav").string();
  setenv("VERANTO_VOICE", "/no/voice/here", 1);
  EXPECT_EQ(fala::SynthCommand(output_, {pho, "-o", wave}), 1);
  unsetenv("VERANTO_VOICE");
  EXPECT_EQ(fala::SynthCommand(output_, {pho, "-o", wave}), 0);
}

}  // namespace
