// Engine mode: with an external engine open (here the Aravo engine) whole texts go to it
// unchanged, recordings wait for its speech to end, and SpeechEnd closes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/frontend_fixture.h"
#include "platform/keys.h"
#include "speech/aravo/engine.h"
#include "speech/aravo/mbrola_binding.h"

namespace frontend_test {
namespace {

class EngineModeTest : public FrontendTest {
 protected:
  void SetUp() override {
    FrontendTest::SetUp();
    aravo::AravoSetLibrary(MBROLA_LIBRARY);
    WriteSettings(Settings().Translator("SAPI=S\r\n").Sections(kAravoSections));
  }

  void TearDown() override {
    aravo::AravoClose();
    aravo::AravoSetVoiceFactors(1.0, 1.0);
    aravo::AravoSetLibrary(aravo::kMbrolaLibrary);
    FrontendTest::TearDown();
  }

  static constexpr const char* kAravoSections =
      "[SERVFALA]\r\nTIPOSAPI=3\r\n[ARAVOTTS]\r\nMBROLA_DB=" FORMANT_VOICE "\r\nDIR=" ARAVO_DATA_DIR "\r\n";
};

TEST_F(EngineModeTest, TheWholeTextGoesToTheEngineUnchanged) {
  const std::string text = "123 abc";
  std::vector<std::uint8_t> throughFrontend;
  std::vector<std::uint8_t> direct;
  const sim::RunResult result = RunSpeech([&] {
    ASSERT_TRUE(frontend::EngineMode());
    const std::size_t first = sim::WaveBlocks().size();
    frontend::Speak(text);
    frontend::WaitForSpeech();
    const std::size_t middle = sim::WaveBlocks().size();
    throughFrontend = sim::PlayedWaveBytes(first, middle - first);
    // The engine itself, given the same text.
    aravo::AravoSpeak(text);
    while (aravo::AravoWait()) platform::WaitEvent();
    direct = sim::PlayedWaveBytes(middle);
    for (std::size_t i = first; i < sim::WaveBlocks().size(); ++i) {
      EXPECT_EQ(sim::WaveBlocks()[i].format.rate, aravo::kEngineSampleRate) << "no recording was played";
    }
  });
  EXPECT_FALSE(result.stalled) << result.message;
  ASSERT_FALSE(throughFrontend.empty());
  EXPECT_EQ(throughFrontend, direct);
}

TEST_F(EngineModeTest, RecordingsWaitForTheEngineToFinish) {
  const sim::RunResult result = RunSpeech([] {
    frontend::Speak("Bom dia.");
    const std::size_t engineBlocks = sim::WaveBlocks().size();
    ASSERT_GT(engineBlocks, 0u);
    frontend::PlayPrompt("_MENOS");
    const auto& blocks = sim::WaveBlocks();
    ASSERT_EQ(blocks.size(), engineBlocks + 1);
    for (std::size_t i = 0; i < engineBlocks; ++i) EXPECT_FALSE(blocks[i].cut) << i;
    EXPECT_GE(blocks.back().startMs, blocks[engineBlocks - 1].endMs);
    EXPECT_EQ(BlockNames(blocks.back().bytes), (std::vector<std::string>{"_MENOS"}));
    // Once finished, the next recording does not wait again for the engine.
    EXPECT_FALSE(frontend::EngineSpoke());
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(EngineModeTest, AWaitingKeyKeepsTheTextFromTheEngine) {
  const sim::RunResult result = RunSpeech([] {
    QueueKeyNow(platform::VkLetter('K'));
    frontend::Speak("Bom dia.");
    EXPECT_TRUE(sim::WaveBlocks().empty());
    EXPECT_EQ(console::ReadKey(), 'k');
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(EngineModeTest, SpeechEndWaitsThenClosesTheEngine) {
  const sim::RunResult result = RunSpeech([] {
    frontend::Speak("Bom dia.");
    frontend::SpeechEnd();
    EXPECT_FALSE(frontend::EngineMode());
    EXPECT_FALSE(aravo::AravoOpened());
    for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) EXPECT_FALSE(block.cut);
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(EngineModeTest, AChosenEngineTypeOverridesTheSettings) {
  WriteSettings(Settings().Translator("SAPI=N\r\n").Sections(kAravoSections));
  StartModules();
  frontend::ForceEngineType(engines::kAravoEngine);
  const sim::RunResult result = sim::Run([] {
    frontend::SpeechStart(0, "");
    EXPECT_TRUE(frontend::EngineMode());
    frontend::SpeechEnd();
  });
  EXPECT_FALSE(result.stalled) << result.message;
  // Program start forgets the choice.
  frontend::FrontendStart();
  const sim::RunResult again = sim::Run([] {
    frontend::SpeechStart(0, "");
    EXPECT_FALSE(frontend::EngineMode());
  });
  EXPECT_FALSE(again.stalled) << again.message;
}

}  // namespace
}  // namespace frontend_test
