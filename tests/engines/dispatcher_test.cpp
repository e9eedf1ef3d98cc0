#include "speech/engines/dispatcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "console/keyboard.h"
#include "engine_test_support.h"

namespace engines {
namespace {

using DispatcherTest = EngineModuleTest;

TEST_F(DispatcherTest, StartsWithTypeFourAndStartingAgainResetsIt) {
  StartModules();
  EXPECT_EQ(CurrentEngineType(), 4);
  EngineOpen(0, 0, 0, 54, "");
  EXPECT_EQ(CurrentEngineType(), 54);
  DispatcherStart();
  EXPECT_EQ(CurrentEngineType(), 4);
}

TEST_F(DispatcherTest, SystemSpeechTypesDoNotOpenAndDoNothing) {
  StartModules();
  const sim::RunResult result = RunWithSound([this] {
    PlaySound(1000);
    for (const std::int32_t type : {4, 0, 7, 5, 54, -1}) {
      SCOPED_TRACE(testing::Message() << "engine type " << type);
      const std::int64_t before = sim::Now();
      const std::size_t blocks = sim::WaveBlocks().size();
      EXPECT_FALSE(EngineOpen(1, 2, 3, type, ""));
      EXPECT_EQ(CurrentEngineType(), type);
      // The player still sounds, yet none of these backends reports it as speech.
      EXPECT_FALSE(EngineBusy(0));
      EXPECT_FALSE(EngineBusy(1));
      EngineSpeak("olá");
      EngineStop();
      EngineClose();
      EXPECT_EQ(sim::Now(), before);
      EXPECT_EQ(sim::WaveBlocks().size(), blocks);
      EXPECT_TRUE(audio::WavBusy()) << "nothing was stopped";
    }
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(DispatcherTest, AFailedAravoOpenStillRoutesLaterCallsToTheAdapter) {
  WriteSettings("DIR=" + Folder() + "/nada\r\n");
  StartModules();
  const sim::RunResult result = RunWithSound([this] {
    PlaySound(1000);
    const std::int64_t before = sim::Now();
    EXPECT_FALSE(EngineOpen(0, 0, 0, 3, ""));
    EXPECT_EQ(sim::Now(), before) << "no settling after a failed open";
    EXPECT_EQ(CurrentEngineType(), 3);
    EXPECT_TRUE(EngineBusy(0)) << "the adapter reports the sounding player";
    EXPECT_TRUE(EngineBusy(1));
    EngineStop();
    EXPECT_FALSE(audio::WavBusy());
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(DispatcherTest, OpeningWaitsInFiftyMillisecondStepsUntilTheEngineSettles) {
  WriteWorkingSettings();
  StartModules();
  const sim::RunResult result = RunWithSound([this] {
    const std::int64_t start = sim::Now();
    PlaySound(1020);
    EXPECT_TRUE(EngineOpen(0, 0, 0, 3, ""));
    EXPECT_EQ(sim::Now() - start, 1050);
    EXPECT_FALSE(audio::WavBusy());
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(DispatcherTest, TheAravoEngineSpeaksAndClosesThroughTheDispatcher) {
  WriteWorkingSettings();
  StartModules();
  const sim::RunResult result = RunWithSound([] {
    ASSERT_TRUE(EngineOpen(0, 0, 0, 3, ""));
    EngineSpeak("Bom dia.");
    EXPECT_FALSE(sim::WaveBlocks().empty());
    EXPECT_TRUE(EngineBusy(0));
    EngineClose();
    EXPECT_FALSE(EngineBusy(0));
    EXPECT_FALSE(aravo::AravoOpened());
    EXPECT_FALSE(sim::WaveBlocks().back().cut);
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(DispatcherTest, BusyHandlesPendingMessagesBeforeAskingTheBackend) {
  StartModules();
  const sim::RunResult result = RunWithSound([] {
    TakeWakes();
    platform::PostWake(1123);
    EXPECT_FALSE(EngineBusy(0));
    EXPECT_TRUE(TakeWakes().empty());

    EngineOpen(0, 0, 0, 3, "");  // fails: no language files where the defaults point
    TakeWakes();
    platform::PostWake(1123);
    EXPECT_FALSE(EngineBusy(0));
    EXPECT_EQ(TakeWakes(), std::vector<int>{kEngineWakeMessage}) << "only the adapter's own wake-up is left";
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

}  // namespace
}  // namespace engines
