// `fala play` and `fala level` run end to end on the simulated machine: a wave file in, the
// played blocks out; a scripted microphone in, the window's rows out.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "audio/player/player.h"
#include "commands.h"
#include "console/console.h"
#include "platform/encoding.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "platform/wave.h"
#include "support/wave_builder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr platform::Rgb kYellow{255, 255, 0};

class AudioCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("fala_audio_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    setenv("VERANTO_WINDIR", folder_.string().c_str(), 1);
    // Files are named relative to the folder, as a user in it would, so lines stay short.
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    sim::Reset();
  }
  void TearDown() override {
    sim::ClearWaveFaults();
    audio::PlayerStop();
    console::ConsoleStop();
    std::filesystem::current_path(previousFolder_);
    std::filesystem::remove_all(folder_);
  }

  // Writes the file in the folder and returns its name.
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    return name;
  }

  std::filesystem::path folder_;
  std::filesystem::path previousFolder_;
};

// A canonical 8-bit mono PCM file at 11 025 Hz.
std::string WaveFile(const Bytes& samples) { return test_support::WaveImage(11025, 1, 8, samples); }

Bytes Ramp(std::size_t count) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return bytes;
}

struct CommandRun {
  sim::RunResult result;
  std::string printed;  // what reached the terminal
};

CommandRun RunCommand(int (*command)(const fala::Output&, const std::vector<std::string>&),
                      const std::vector<std::string>& arguments) {
  CommandRun run;
  ::testing::internal::CaptureStdout();
  run.result = sim::Run([&] { command(fala::Output{}, arguments); });
  run.printed = ::testing::internal::GetCapturedStdout();
  return run;
}

using PlayCommand = AudioCommandTest;

// No key is pressed: a command that waited for one would never end.
TEST_F(PlayCommand, PlaysTheFileAndEndsByItself) {
  const Bytes samples = Ramp(20000);  // 1.81 s
  const std::string path = WriteFile("som.wav", WaveFile(samples));

  const CommandRun run = RunCommand(fala::PlayCommand, {path});

  ASSERT_TRUE(run.result.exited) << run.result.message;
  EXPECT_EQ(run.result.exitCode, 0);
  EXPECT_EQ(sim::ScreenRow(0), "Tocando " + path + "; qualquer tecla interrompe.");
  EXPECT_EQ(sim::ScreenRow(1), "Terminado.");
  EXPECT_EQ(run.printed, "Terminado.\n");
  Bytes expected = samples;
  expected.back() = 128;  // the player ends every short block at silence
  EXPECT_EQ(sim::PlayedWaveBytes(), expected);
  ASSERT_FALSE(sim::WaveOutOpens().empty());
  EXPECT_EQ(sim::WaveOutOpens()[0].format.rate, 11025);
  EXPECT_FALSE(platform::WaveOutIsOpen());
}

TEST_F(PlayCommand, AKeyStopsThePlayingAndIsNotTakenAsInput) {
  const std::string path = WriteFile("longo.wav", WaveFile(Ramp(110250)));  // 10 s
  sim::PressKeyAt(500, platform::VkLetter('Q'));

  const CommandRun run = RunCommand(fala::PlayCommand, {path});

  ASSERT_TRUE(run.result.exited) << run.result.message;
  EXPECT_EQ(run.result.exitCode, 0);
  EXPECT_EQ(sim::ScreenRow(1), "Interrompido.");
  EXPECT_EQ(sim::ScreenRow(2), "");  // the "q" was dropped, not echoed
  // Silenced within one poll of the key.
  const std::size_t played = sim::PlayedWaveBytes().size();
  EXPECT_GE(played, 5512u);
  EXPECT_LE(played, 5512u + 111u);
}

TEST_F(PlayCommand, ReportsWhatCouldNotBePlayed) {
  struct Case {
    std::string name;
    std::string bytes;
    int deviceFault;
    std::string outcome;
  };
  const Case cases[] = {
      {"texto.wav", "isto nao e um arquivo de som", 0, "Arquivo não pôde ser lido (-1)."},
      {"som.wav", WaveFile(Ramp(1000)), platform::kWaveBadFormat, "Erro do dispositivo: 32"},
  };
  for (const Case& c : cases) {
    sim::Reset();
    const std::string path = WriteFile(c.name, c.bytes);
    if (c.deviceFault != 0) sim::FailWaveOutOpen(c.deviceFault, true);
    const CommandRun run = RunCommand(fala::PlayCommand, {path});

    EXPECT_TRUE(run.result.exited) << c.name << ": " << run.result.message;
    EXPECT_EQ(run.result.exitCode, 1) << c.name;
    EXPECT_EQ(sim::ScreenRow(1), c.outcome) << c.name;
    EXPECT_TRUE(sim::PlayedWaveBytes().empty()) << c.name;
    sim::ClearWaveFaults();
    audio::PlayerStop();
    console::ConsoleStop();
  }
}

TEST_F(PlayCommand, CommandLineMistakesEndBeforeAnyWindow) {
  EXPECT_EQ(fala::PlayCommand(fala::Output{}, {}), 2);
  EXPECT_EQ(fala::PlayCommand(fala::Output{}, {"a.wav", "b.wav"}), 2);
  EXPECT_EQ(fala::PlayCommand(fala::Output{}, {"nenhum.wav"}), 1);
  EXPECT_EQ(sim::CreateWindowCount(), 0);
}

using LevelCommand = AudioCommandTest;

TEST_F(LevelCommand, ShowsTheBarLevelAndPercentage) {
  sim::SetMicrophoneSine(77, 11025.0 / 4);

  const CommandRun run = RunCommand(fala::LevelCommand, {"3"});

  ASSERT_TRUE(run.result.exited) << run.result.message;
  EXPECT_EQ(run.result.exitCode, 0);
  EXPECT_EQ(sim::ScreenRow(0), "Medindo o volume do microfone por 3 segundos.");
  EXPECT_EQ(sim::ScreenRow(1), "A barra mostra o nível de cada décimo de segundo.");
  EXPECT_EQ(sim::ScreenRow(2), std::string(38, '@') + std::string(26, '.'));
  EXPECT_EQ(sim::ScreenRow(3), "Nível: 77 de 128 (60 por cento)");
  EXPECT_EQ(sim::ScreenCell(0, 2).foreground, kYellow);
  EXPECT_EQ(sim::ScreenCell(0, 3).foreground, kYellow);
  EXPECT_EQ(run.printed, platform::Cp1252ToUtf8("Nível: 77 de 128 (60 por cento)\n"));
  ASSERT_EQ(sim::WaveInOpens().size(), 1u);
  EXPECT_FALSE(platform::WaveInIsOpen());
}

TEST_F(LevelCommand, MeasuresFiveSecondsWhenNotTold) {
  std::vector<int> levels(54, 3);
  levels.push_back(100);  // the 55th buffer is not part of a 5-second measurement
  sim::SetMicrophoneBufferLevels(levels);

  const CommandRun run = RunCommand(fala::LevelCommand, {});

  ASSERT_TRUE(run.result.exited) << run.result.message;
  EXPECT_EQ(sim::ScreenRow(0), "Medindo o volume do microfone por 5 segundos.");
  EXPECT_EQ(sim::ScreenRow(3), "Nível: 3 de 128 (2 por cento)");
}

// No microphone at all, and one unplugged after 10 buffers: never a level, the problem on the
// window below the bar and on the terminal, and a failing exit code.
TEST_F(LevelCommand, AnUnusableOrLostMicrophoneIsAProblemNotALevel) {
  struct Case {
    bool lost;
    int problemRow;
    const char* problem;
  };
  for (const Case& c : {Case{false, 2, "Problemas, código 2"}, Case{true, 3, "Problemas, código 6"}}) {
    SCOPED_TRACE(c.problem);
    sim::Reset();
    sim::SetMicrophoneSine(77, 11025.0 / 4);
    if (c.lost) {
      sim::LoseWaveInAfter(10);
    } else {
      sim::FailWaveInOpen(platform::kMmBadDeviceId);
    }

    ::testing::internal::CaptureStderr();
    const CommandRun run = RunCommand(fala::LevelCommand, {"5"});
    const std::string told = ::testing::internal::GetCapturedStderr();

    ASSERT_TRUE(run.result.exited) << run.result.message;
    EXPECT_EQ(run.result.exitCode, 1);
    EXPECT_EQ(sim::ScreenRow(c.problemRow), c.problem);
    EXPECT_EQ(told, platform::Cp1252ToUtf8(std::string(c.problem) + "\n"));
    EXPECT_EQ(run.printed, "");
    EXPECT_FALSE(platform::WaveInIsOpen());
    console::ConsoleStop();
  }
}

TEST_F(LevelCommand, SecondsMustBeAWholeNumberFromOneToSixty) {
  for (const char* bad : {"0", "61", "-5", "5s", "", "1.5", "007"}) {
    EXPECT_EQ(fala::LevelCommand(fala::Output{}, {bad}), 2) << bad;
  }
  EXPECT_EQ(fala::LevelCommand(fala::Output{}, {"5", "6"}), 2);
  EXPECT_EQ(sim::CreateWindowCount(), 0);
}

}  // namespace
