#include "speech/aravo/engine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "console/console.h"
#include "data_files.h"
#include "platform/sim/sim.h"
#include "platform/system.h"
#include "speech/aravo/engine_internal.h"
#include "speech/aravo/mbrola_binding.h"
#include "support/native_paths.h"

namespace aravo {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kDataDir = ARAVO_DATA_DIR;
const std::string kVoiceKey = "SOFTWARE\\TCTS\\Mbrola\\databases\\";
const std::string kText = "Bom dia, são 10 horas.";

Bytes ReadWhole(const std::string& path) {
  Bytes bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  int c;
  while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
  std::fclose(file);
  return bytes;
}

std::uint32_t LittleEndian(const Bytes& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(at + i);
  return value;
}

class EngineTest : public LanguageFileTest {
 protected:
  void SetUp() override {
    LanguageFileTest::SetUp();
    sim::Reset();
    AravoSetLibrary(MBROLA_LIBRARY);
  }
  void TearDown() override {
    AravoClose();
    AravoSetOutputFile("");
    AravoSetVoiceFactors(1.0, 1.0);
    AravoSetLibrary(kMbrolaLibrary);
    audio::PlayerStop();
    console::ConsoleStop();
    LanguageFileTest::TearDown();
  }

  static std::string Data(const std::string& name) { return kDataDir + "/" + name; }

  // Opens with the shipped language files; `replace` swaps one file index 1-5 for `file`.
  static bool Open(const std::string& voice = FORMANT_VOICE, int replace = 0,
                   const std::string& file = "") {
    std::string files[6] = {voice,             Data("portug.nrl"), Data("portug.exc"),
                            Data("portug.abr"), Data("portug.pro"), Data("portug.dfn")};
    if (replace > 0) files[replace] = file;
    return AravoOpen(files[0], files[1], files[2], files[3], files[4], files[5]);
  }

  // `body` on the simulated machine with the console and the player started.
  static sim::RunResult RunEngine(const std::function<void()>& body) {
    console::ConsoleStart();
    audio::PlayerStart();
    return sim::Run(body);
  }

  static void WaitForSilence() {
    while (AravoWait()) platform::Sleep(10);
  }
};

TEST_F(EngineTest, AFailedOpenTellsWhyAndLeavesNothingBound) {
  // A prosody configuration without its key words.
  const std::string broken = WriteFile("broken.pro", "[DURAÇÃO]\na=100\n");
  const std::string missing = PathOf("missing");
  struct Case {
    int replace;
    std::string file;
    std::string error;
  };
  const std::vector<Case> cases = {
      {1, missing, "Erro na base de dados de português"},
      {2, missing, "Erro na base de dados de português"},
      {3, missing, "Erro no arquivo de abreviaturas"},
      {4, missing, "Erro no arquivo de prosódia"},
      {4, broken, "Erro no arquivo de prosódia"},
      {5, missing, "Erro no arquivo de prosódia"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.replace);
    EXPECT_FALSE(Open(FORMANT_VOICE, c.replace, c.file));
    EXPECT_EQ(AravoLastError(), c.error);
    // Released at once: the library is free and a later open works.
    EXPECT_FALSE(MbrolaBound());
    EXPECT_FALSE(AravoOpened());
    ASSERT_TRUE(Open());
    AravoClose();
  }

  // A voice the synthesizer rejects, or no library at all, give no reason of their own; an
  // earlier open's reason is not kept for them.
  EXPECT_FALSE(Open(FORMANT_VOICE, 3, missing));
  EXPECT_FALSE(Open(PathOf("no_voice")));
  EXPECT_EQ(AravoLastError(), "");
  EXPECT_FALSE(MbrolaBound());
  EXPECT_FALSE(Open(FORMANT_VOICE, 3, missing));
  AravoSetLibrary(PathOf("libnothing.so"));
  EXPECT_FALSE(Open());
  EXPECT_EQ(AravoLastError(), "");
}

TEST_F(EngineTest, TheRegistryNamesTheVoiceFile) {
  // Listed: the registry's path replaces the name given.
  sim::SetRegistryString(kVoiceKey + "br4", "", FORMANT_VOICE);
  EXPECT_TRUE(Open(""));
  AravoClose();
  sim::SetRegistryString(kVoiceKey + "mine", "", FORMANT_VOICE);
  EXPECT_TRUE(Open("mine"));
  AravoClose();
  // Listed with an empty value: the fixed installation path, absent here.
  sim::SetRegistryString(kVoiceKey + FORMANT_VOICE, "", "");
  EXPECT_FALSE(Open(FORMANT_VOICE));
  // Not listed: the name is used as given.
  sim::Reset();
  EXPECT_TRUE(Open(FORMANT_VOICE));
  EXPECT_FALSE(Open("mine"));
}

TEST_F(EngineTest, BlanksOnlyNeedNoEngine) {
  EXPECT_TRUE(AravoSpeak(""));
  EXPECT_TRUE(AravoSpeak(" \t\r\n "));
  EXPECT_FALSE(AravoSpeak(kText));  // not open
  EXPECT_TRUE(sim::WaveBlocks().empty());
}

TEST_F(EngineTest, ShortSoundIsPaddedToTheSmallestChunk) {
  ASSERT_TRUE(Open());
  const sim::RunResult run = RunEngine([] {
    // 5 ms of silence: 80 samples, 160 bytes.
    EXPECT_TRUE(detail::SynthesizeLines({"_ 5"}));
    WaitForSilence();
  });
  EXPECT_FALSE(run.stalled) << run.message;
  ASSERT_EQ(sim::WaveBlocks().size(), 1u);
  const sim::WaveBlockRecord& block = sim::WaveBlocks()[0];
  EXPECT_EQ(block.format.rate, 16000);
  EXPECT_EQ(block.format.bits, 16);
  EXPECT_EQ(block.format.channels, 1);
  ASSERT_EQ(block.bytes.size(), 256u);
  for (std::size_t i = 160; i < 256; ++i) EXPECT_EQ(block.bytes[i], 0) << i;
}

TEST_F(EngineTest, ThePlayerGetsTheFilesSamplesUnchanged) {
  // The same text once into a file, once to the player with its shortening options on.
  const std::string path = PathOf("speech.wav");
  AravoSetOutputFile(path);
  ASSERT_TRUE(Open());
  AravoSetOutputFile(PathOf("next.wav"));  // for the next open only
  EXPECT_EQ(ReadWhole(path).size(), kWaveHeaderSize);
  EXPECT_EQ(LittleEndian(ReadWhole(path), 40, 4), 0u);
  RunEngine([] {
    EXPECT_TRUE(AravoSpeak(kText));
    EXPECT_FALSE(AravoWait());
    AravoStop();
  });
  EXPECT_TRUE(sim::WaveBlocks().empty());
  EXPECT_TRUE(sim::WaveOutOpens().empty());
  ASSERT_TRUE(AravoClose());
  const Bytes file = ReadWhole(path);
  ASSERT_GT(file.size(), kWaveHeaderSize + 32000);
  const auto dataSize = static_cast<std::int32_t>(file.size() - kWaveHeaderSize);
  std::uint8_t expected[kWaveHeaderSize];
  BuildWaveHeader(expected, 16000, 16, 1, dataSize);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + kWaveHeaderSize), Bytes(expected, expected + 44));
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
  EXPECT_EQ(LittleEndian(file, 4, 4), static_cast<std::uint32_t>(dataSize) + 36);
  EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(LittleEndian(file, 16, 4), 16u);
  EXPECT_EQ(LittleEndian(file, 20, 2), 1u);
  EXPECT_EQ(LittleEndian(file, 22, 2), 1u);
  EXPECT_EQ(LittleEndian(file, 24, 4), 16000u);
  EXPECT_EQ(LittleEndian(file, 28, 4), 32000u);
  EXPECT_EQ(LittleEndian(file, 32, 2), 2u);
  EXPECT_EQ(LittleEndian(file, 34, 2), 16u);
  EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
  EXPECT_EQ(LittleEndian(file, 40, 4), static_cast<std::uint32_t>(dataSize));

  AravoSetOutputFile("");
  ASSERT_TRUE(Open());
  for (const bool on : {true, false}) {
    sim::Reset();
    RunEngine([on] {
      audio::SetFastPlayback(on);
      audio::SetSpeechCut(on);
      EXPECT_TRUE(AravoSpeak(kText));
      EXPECT_EQ(audio::FastPlayback(), on);
      EXPECT_EQ(audio::SpeechCut(), on);
      WaitForSilence();
    });
    EXPECT_EQ(sim::PlayedWaveBytes(), Bytes(file.begin() + kWaveHeaderSize, file.end()));
    // Handed over in chunks under a second each, so speech starts early.
    EXPECT_GT(sim::WaveBlocks().size(), 1u);
    for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) {
      EXPECT_LE(block.bytes.size(), 32000u);
    }
    audio::PlayerStop();
    console::ConsoleStop();
  }
}

TEST_F(EngineTest, VoiceFactorsActOnLaterSpeech) {
  // The data size of kText spoken into a file with the factors in force.
  const auto spokenBytes = [this](double duration, double pitch) {
    const std::string path = PathOf("factors.wav");
    AravoSetOutputFile(path);
    if (!Open()) return std::size_t{0};
    AravoSetVoiceFactors(duration, pitch);
    EXPECT_TRUE(AravoSpeak(kText));
    EXPECT_TRUE(AravoClose());
    return ReadWhole(path).size() - kWaveHeaderSize;
  };
  const std::size_t plain = spokenBytes(1.0, 1.0);
  ASSERT_GT(plain, 0u);
  const std::size_t slow = spokenBytes(2.0, 1.0);
  EXPECT_GT(slow, plain * 18 / 10);
  EXPECT_LT(slow, plain * 22 / 10);
}

TEST_F(EngineTest, OutputFileProblemsAreReported) {
  // A file that cannot be created fails the open and releases everything.
  AravoSetOutputFile(PathOf("no_folder/out.wav"));
  EXPECT_FALSE(Open());
  EXPECT_FALSE(MbrolaBound());
  if (test_paths::kWindowsRules) GTEST_SKIP() << "Windows cannot remove a file that is open";
  // A file gone before close cannot be finished: the close says so.
  const std::string path = PathOf("out.wav");
  AravoSetOutputFile(path);
  ASSERT_TRUE(Open());
  EXPECT_TRUE(AravoSpeak("sim"));
  std::filesystem::remove(path);
  EXPECT_FALSE(AravoClose());
  EXPECT_FALSE(MbrolaBound());
  EXPECT_FALSE(AravoOpened());
}

}  // namespace
}  // namespace aravo
