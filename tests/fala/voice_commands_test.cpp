// The internal voice's commands: fala translate, fala numwords, fala diphone --wav and
// fala say, on a tiny voice installation written by the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"
#include "platform/sim/sim.h"
#include "support/file_bytes.h"
#include "support/voice_fixture.h"

namespace {

class VoiceCommandsTest : public test_support::VoiceFixtureTest {
 protected:
  void SetUp() override {
    VoiceFixtureTest::SetUp();
    sim::Reset();
    output_.raw = true;  // arguments and results as the Windows-1252 bytes of the literals here
  }

  // Runs a command with standard output captured; its exit code.
  template <typename Command>
  int Run(Command command, const std::vector<std::string>& arguments) {
    ::testing::internal::CaptureStdout();
    const int code = command(output_, arguments);
    printed_ = ::testing::internal::GetCapturedStdout();
    return code;
  }

  fala::Output output_;
  std::string printed_;
};

TEST_F(VoiceCommandsTest, TranslatePrintsThePhonemeStringOfEachText) {
  const std::pair<const char*, const char*> cases[] = {
      {"casa", "[c/A/s/a]\n"},  // the stress rules mark the first a
      {"BR", "[ /_b][ /_r]\n"},  // no vowel: spelled
      {"você", "[v/o/s/e/ /_^]\n"},  // its exception vose^; no rule reads the mark
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(Run(fala::TranslateCommand, {"--data", Voice().diphones, text}), 0) << text;
    EXPECT_EQ(printed_, expected) << text;
  }
  EXPECT_EQ(Run(fala::TranslateCommand, {"--data", Folder() + "/nowhere", "casa"}), 1);
  EXPECT_EQ(printed_, "");
}

TEST_F(VoiceCommandsTest, NumwordsPrintsTheWordsOrRefusesWhatIsNoNumber) {
  const std::pair<const char*, const char*> cases[] = {
      {"0", "zero\n"},
      {"17", "dezessete\n"},
      {"1100", "mil e cem\n"},
      {"21000", "vinte e um mil\n"},
      {"1000000", "um milhão\n"},
      // "e " only before the last group that says something
      {"4294967295", "quatro bilhões duzentos e noventa e quatro milhões novecentos e sessenta e "
                     "sete mil e duzentos e noventa e cinco\n"},
  };
  for (const auto& [number, expected] : cases) {
    EXPECT_EQ(Run(fala::NumwordsCommand, {number}), 0) << number;
    EXPECT_EQ(printed_, expected) << number;
  }
  for (const char* bad : {"", "-1", "12a", "4294967296"}) {
    EXPECT_EQ(Run(fala::NumwordsCommand, {bad}), 2) << bad;
    EXPECT_EQ(printed_, "") << bad;
  }
}

TEST_F(VoiceCommandsTest, DiphoneWritesWhatTheVoiceWouldPlay) {
  // "ba" is one unit; "$BA" is not in the database, so "$B" is played at 0.9 of its length
  // and then "$A" whole: 270 + 300 samples, and no gap after the last unit.
  const std::string wave = Folder() + "/ba.wav";
  ASSERT_EQ(Run(fala::DiphoneCommand, {"--wav", wave, "ba"}), 0);
  const std::string bytes = test_support::ReadFileBytes(wave);
  ASSERT_EQ(bytes.size(), 44u + 570u);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(test_support::LittleEndianField(bytes, 22, 2), 1u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 24, 4), 11025u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 34, 2), 8u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 40, 4), 570u);
  const test_support::Bytes a = test_support::RecordingSamples("$A", 300);
  EXPECT_EQ(bytes.substr(44 + 270), std::string(a.begin(), a.end()));
  EXPECT_TRUE(sim::WaveBlocks().empty()) << "nothing reaches the device";
}

// `--speed N` takes speed N's keys: the gap after a word, fast playback (the WAV has the rate
// the player plays at) and the pauses after signs, in real time. Unset keys keep the voice's
// load-time values.
TEST_F(VoiceCommandsTest, DiphoneSpeaksWithTheSettingsOfTheSpeedAsked) {
  const std::string ini = test_support::ReadFileBytes(Folder() + "/VERANTO.INI");
  const std::size_t section = ini.find("[SINTETIZADOR]\n");
  ASSERT_NE(section, std::string::npos);
  const std::string speed5 = "DIFONES5=TESTE\nINTERPAL5=300\nRAPIDINHO5=S\nPAUSAVIRG5=100\nPAUSAPONTO5=120\n";
  test_support::WriteBytes(Folder() + "/VERANTO.INI", ini.substr(0, section + 15) + speed5 + ini.substr(section + 15));
  const std::string path = Folder() + "/fala.wav";
  // Each "ba" is 570 samples; the comma and the full stop are 100 ms at 16 537 Hz.
  ASSERT_EQ(Run(fala::DiphoneCommand, {"--wav", path, "--speed", "5", "ba ba, ba."}), 0);
  std::string bytes = test_support::ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 44u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 24, 4), 16537u) << "fast playback: 11 025 raised by half";
  EXPECT_EQ(bytes.size() - 44, 570u + 300 + 570 + 1653 + 570 + 1653);
  // Speed 3 by default: the load-time gap of 100, no fast playback.
  ASSERT_EQ(Run(fala::DiphoneCommand, {"--wav", path, "ba ba"}), 0);
  bytes = test_support::ReadFileBytes(path);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 24, 4), 11025u);
  EXPECT_EQ(bytes.size() - 44, 570u + 100 + 570);
  for (const char* bad : {"0", "6", "3x", ""}) {
    EXPECT_EQ(Run(fala::DiphoneCommand, {"--speed", bad, "ba"}), 2) << bad;
  }
}

TEST_F(VoiceCommandsTest, SaySpeaksNumbersFromTheirRecordings) {
  ASSERT_EQ(Run(fala::SayCommand, {"17"}), 0);
  const std::vector<std::uint8_t> played = sim::PlayedWaveBytes();
  // The player may end a block on silence, so the word is looked for by its first 400 bytes.
  const test_support::Bytes word = test_support::RecordingSamples("_dezeset", 551);
  EXPECT_NE(std::search(played.begin(), played.end(), word.begin(), word.begin() + 400), played.end());
  EXPECT_EQ(Run(fala::SayCommand, {}), 2);
}

}  // namespace
