// The whole test run with the Aravo engine configured (SAPI=S, TIPOSAPI=3): prompts still come
// from their recordings, every number is spoken by the engine at 16 000 Hz instead of being
// joined from number-word recordings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "run_fixture.h"
#include "speech/aravo/engine.h"

namespace audival_test {
namespace {

std::string AravoSettings() {
  return std::string("[SERVFALA]\r\nTIPOSAPI=3\r\nVELOCIDADE=0\r\nTOM=0\r\n") +
         "[ARAVOTTS]\r\nMBROLA_DB=" + FORMANT_VOICE + "\r\nDIR=" + ARAVO_DATA_DIR + "\r\nBASE=portug\r\n";
}

// The 16 000 Hz blocks played between the `first` and the next `second` wave file heard,
// counted from the sim's block log.
int EngineBlocksBetween(const std::vector<audival::HeardSound>& heard, const std::string& first,
                        const std::string& second) {
  double from = -1;
  double to = -1;
  for (const audival::HeardSound& sound : heard) {
    if (from < 0 && sound.name == first) from = sound.startMs;
    if (from >= 0 && sound.startMs > from && sound.name == second) {
      to = sound.startMs;
      break;
    }
  }
  int blocks = 0;
  for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) {
    if (block.format.rate == 16000 && block.startMs > from && block.startMs < to) ++blocks;
  }
  return blocks;
}

TEST_F(TestRunTest, WithTheAravoEngineEveryNumberIsSpokenByTheEngine) {
  test_support::VoiceDataOptions options;
  options.translatorSettings = "SAPI=S\n";
  options.extraSettings = AravoSettings();
  RewriteVoiceData(options);
  aravo::AravoSetLibrary(MBROLA_LIBRARY);

  const std::vector<audival::KeyPress> answers(4, Answer(platform::kVkReturn));
  const sim::RunResult result = RunProgram(answers, [&] { SetLevels({9, 30, 126}); });
  ASSERT_TRUE(result.exited) << result.message;
  EXPECT_EQ(result.exitCode, 0);

  // The screen is the same as with the internal voice.
  EXPECT_EQ(RowAfter("Ruído ambiente: 7 por cento.", 0), "Ruído ambiente: 7 por cento.");
  EXPECT_EQ(RowAfter("Volume Normal:"), "23 por cento.");
  EXPECT_EQ(RowAfter("Volume das plosivas: 98 por cento.", 0), "Volume das plosivas: 98 por cento.");

  // No number word is played from its recording; the engine says each number instead.
  for (const std::string& name : Heard()) {
    EXPECT_TRUE(name.rfind("AV", 0) == 0 || name == "?") << name;
  }
  EXPECT_GT(EngineBlocksBetween(Sounds(), "AVRUI2", "AVPORCEN"), 0);
  EXPECT_GT(EngineBlocksBetween(Sounds(), "AVVOLNOR", "AVPORCEN"), 0);
  EXPECT_GT(EngineBlocksBetween(Sounds(), "AVVOLEXP", "AVPORCEN"), 0);
}

}  // namespace
}  // namespace audival_test
