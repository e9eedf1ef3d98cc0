#include "speech/engines/aravo_adapter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "console/keyboard.h"
#include "platform/system.h"
#include "engine_test_support.h"
#include "support/native_paths.h"
#include "speech/aravo/engine_internal.h"

namespace engines {
namespace {

const std::string kVoiceRegistryKey = "SOFTWARE\\TCTS\\Mbrola\\databases\\BR4\\";

using AravoAdapterTest = EngineModuleTest;

TEST_F(AravoAdapterTest, SettingsComeFromTheSuiteFileTheRegistryOrTheDefaults) {
  struct Case {
    const char* name;
    const char* section;  // nullptr: no VERANTO.INI at all
    const char* registryValue;  // nullptr: no registry entry
    const char* voiceDatabase;
    const char* folder;
    const char* baseName;
  };
  const Case cases[] = {
      {"nothing configured", nullptr, nullptr, "br4", "\\lumivar\\aravotts\\", "portug"},
      {"empty section", "", nullptr, "br4", "\\lumivar\\aravotts\\", "portug"},
      {"registered voice file", nullptr, "c:\\x\\br4", "br4", "c:\\x\\", "portug"},
      {"registered value too short for a folder", nullptr, "br4", "br4", "\\lumivar\\aravotts\\", "portug"},
      {"folder without separator", "DIR=/dados/voz\r\n", nullptr, "br4", "/dados/voz/", "portug"},
      {"folder with backslash", "DIR=d:\\voz\\\r\n", "c:\\x\\br4", "br4", "d:\\voz\\", "portug"},
      {"folder with separator", "DIR=/dados/voz/\r\n", nullptr, "br4", "/dados/voz/", "portug"},
      {"all three keys", "mbrola_db=br2\r\nDIR=/v\r\nBASE=outro\r\n", "c:\\x\\br4", "br2", "/v/", "outro"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::Reset();
    std::filesystem::remove(Folder() + "/VERANTO.INI");
    // The folders, written with "/", take the build's own separator.
    if (c.section != nullptr) WriteSettings(test_paths::Native(c.section));
    if (c.registryValue != nullptr) sim::SetRegistryString(kVoiceRegistryKey, "", c.registryValue);
    AravoAdapterStart();
    const AravoAdapterSettings& settings = AravoAdapterSettingsInUse();
    EXPECT_EQ(settings.voiceDatabase, c.voiceDatabase);
    const std::string folder = test_paths::Native(c.folder);
    EXPECT_EQ(settings.folder, folder);
    EXPECT_EQ(settings.baseName, c.baseName);
    const std::string stem = folder + c.baseName;
    EXPECT_EQ(settings.rulesPath, stem + ".nrl");
    EXPECT_EQ(settings.exceptionsPath, stem + ".exc");
    EXPECT_EQ(settings.abbreviationsPath, stem + ".abr");
    EXPECT_EQ(settings.prosodyPath, stem + ".pro");
    EXPECT_EQ(settings.inventoryPath, stem + ".dfn");
  }
}

TEST_F(AravoAdapterTest, FolderReferencesAreExpandedBeforeTheStartupFolderIsKnown) {
  // The program records its start-up folder only after this module has started, so a
  // reference without PGMVERANTO stands for the empty folder.
  WriteSettings("DIR=@\\aravo\\\r\n");
  AravoAdapterStart();
  EXPECT_EQ(AravoAdapterSettingsInUse().folder, "\\aravo\\");
  EXPECT_EQ(AravoAdapterSettingsInUse().rulesPath, "\\aravo\\portug.nrl");

  WriteFile("VERANTO.INI", "[VERANTO]\r\nPGMVERANTO=/suite\r\n[ARAVOTTS]\r\nDIR=@\\aravo\r\n");
  AravoAdapterStart();
  EXPECT_EQ(AravoAdapterSettingsInUse().folder, std::string("/suite\\aravo") + platform::kPathSeparator);
}

TEST_F(AravoAdapterTest, SpeedAndPitchBecomeDurationAndPitchFactors) {
  struct Case {
    int speed;
    int pitch;
    double duration;
    double pitchFactor;
  };
  const Case cases[] = {{0, 0, 0.8, 1.0}, {3, 11, 0.6, 2.0}, {-3, 0, 1.0, 1.0}, {0, -11, 0.8, 0.0}, {12, -22, 0.0, -1.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "speed " << c.speed << " pitch " << c.pitch);
    const VoiceFactors factors = AravoVoiceFactors(c.speed, c.pitch);
    EXPECT_DOUBLE_EQ(factors.duration, c.duration);
    EXPECT_DOUBLE_EQ(factors.pitch, c.pitchFactor);
  }
}

TEST_F(AravoAdapterTest, OpenSetsTheFactorsWhetherOrNotTheEngineOpens) {
  WriteSettings("DIR=" + Folder() + "/nada\r\n");
  AravoAdapterStart();
  EXPECT_FALSE(AravoAdapterOpen(0, 3, 11, ""));
  EXPECT_FALSE(aravo::AravoOpened());
  EXPECT_DOUBLE_EQ(aravo::detail::DurationFactor(), 0.6);
  EXPECT_DOUBLE_EQ(aravo::detail::PitchFactor(), 2.0);

  WriteWorkingSettings();
  AravoAdapterStart();
  EXPECT_TRUE(AravoAdapterOpen(0, -3, 0, ""));
  EXPECT_TRUE(aravo::AravoOpened());
  EXPECT_DOUBLE_EQ(aravo::detail::DurationFactor(), 1.0);
  EXPECT_DOUBLE_EQ(aravo::detail::PitchFactor(), 1.0);
}

TEST_F(AravoAdapterTest, AWaitingKeyStopsSpeechAndStaysQueued) {
  const sim::RunResult result = RunWithSound([this] {
    audio::SetKeyInterrupt(false);  // only the adapter may stop the sound here
    PlaySound(1000);
    EXPECT_TRUE(AravoAdapterBusy());
    sim::PressKeyAt(sim::Now() + 10, kVkA);
    console::Delay(20);
    EXPECT_TRUE(audio::WavBusy()) << "the player itself ignores the key";
    EXPECT_FALSE(AravoAdapterBusy());
    EXPECT_FALSE(audio::WavBusy());
    ASSERT_FALSE(sim::WaveBlocks().empty());
    EXPECT_TRUE(sim::WaveBlocks().back().cut);
    EXPECT_TRUE(console::KeyPressed());
    EXPECT_EQ(console::ReadKey(), 'a');
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(AravoAdapterTest, SpeakBusyAndStopPostTheWakeUpMessage) {
  const sim::RunResult result = RunWithSound([this] {
    TakeWakes();
    AravoAdapterSpeak("olá");  // the engine is not open: nothing is spoken
    EXPECT_EQ(TakeWakes(), std::vector<int>{kEngineWakeMessage});
    EXPECT_FALSE(AravoAdapterBusy());
    EXPECT_EQ(TakeWakes(), std::vector<int>{kEngineWakeMessage});
    AravoAdapterStop();
    EXPECT_EQ(TakeWakes(), std::vector<int>{kEngineWakeMessage});
    PlaySound(1000);
    EXPECT_TRUE(AravoAdapterBusy());
    EXPECT_EQ(TakeWakes(), std::vector<int>{kEngineWakeMessage});
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(AravoAdapterTest, CloseWaitsInHalfSecondStepsThenClosesTheEngine) {
  WriteWorkingSettings();
  AravoAdapterStart();
  const sim::RunResult result = RunWithSound([this] {
    ASSERT_TRUE(AravoAdapterOpen(0, 0, 0, ""));
    const std::int64_t start = sim::Now();
    PlaySound(1200);
    AravoAdapterClose();
    EXPECT_EQ(sim::Now() - start, 1500);
    EXPECT_FALSE(aravo::AravoOpened());
    ASSERT_FALSE(sim::WaveBlocks().empty());
    EXPECT_FALSE(sim::WaveBlocks().back().cut) << "the sound was left to end";
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(AravoAdapterTest, SpeaksThroughTheEngineAndClosesAtOnceWhenSilent) {
  WriteWorkingSettings();
  AravoAdapterStart();
  const sim::RunResult result = RunWithSound([] {
    ASSERT_TRUE(AravoAdapterOpen(0, 0, 0, ""));
    AravoAdapterSpeak("Bom dia.");
    EXPECT_FALSE(sim::WaveBlocks().empty());
    EXPECT_TRUE(AravoAdapterBusy());
    while (AravoAdapterBusy()) console::Delay(10);
    const std::int64_t silentAt = sim::Now();
    AravoAdapterClose();
    EXPECT_EQ(sim::Now(), silentAt);
    EXPECT_FALSE(aravo::AravoOpened());
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

}  // namespace
}  // namespace engines
