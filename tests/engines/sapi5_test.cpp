#include "speech/engines/sapi5_backend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/keyboard.h"
#include "engine_test_support.h"
#include "speech/engines/dispatcher.h"

namespace engines {
namespace {

// The scripted service and library are there to be used.
class Sapi5Test : public EngineModuleTest {
 protected:
  void SetUp() override {
    EngineModuleTest::SetUp();
    InstallScriptedServices(true);
  }
};

int wakeUps = 0;
void CountWakeUp(int) { ++wakeUps; }

TEST_F(Sapi5Test, OpenFailsWhenTheServiceCannotServe) {
  struct Case {
    const char* name;
    void (*script)(ServiceScript&);
    const char* outputFile;
    std::vector<std::int32_t> voices;
  };
  const Case cases[] = {
      {"unreachable", [](ServiceScript& s) { s.reachable = false; }, "", {1, 0}},
      {"voice list refused", [](ServiceScript& s) { s.listFails = true; }, "", {1, 0}},
      {"no voice", [](ServiceScript& s) { s.voices.clear(); }, "", {1, 0}},
      {"voice refused", [](ServiceScript& s) { s.selectFails = true; }, "", {1}},
      {"Brazilian Portuguese refused", [](ServiceScript& s) { s.languageFails = true; }, "", {0}},
      {"output file", [](ServiceScript&) {}, "fala.wav", {1, 0}},
  };
  StartModules();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallScriptedServices(true);
    c.script(Service());
    for (const std::int32_t type : {5, 54}) {
      for (const std::int32_t voice : c.voices) {
        EXPECT_FALSE(EngineOpen(voice, 0, 0, type, c.outputFile));
        EXPECT_EQ(CurrentEngineType(), type);
        EngineSpeak("nada");
        EXPECT_FALSE(EngineBusy(0));
      }
    }
    EXPECT_TRUE(Service().said.empty());
    EXPECT_EQ(Service().openConnections, 0) << "a failed open keeps no connection";
  }
}

TEST_F(Sapi5Test, VoiceNumberCountsFromOneAndAnyOtherTakesTheBrazilianVoiceAtSpeedZero) {
  struct Case {
    std::int32_t voice;
    std::int32_t speed;
    std::vector<std::string> calls;
    const char* name = "";
  };
  const Case cases[] = {
      {1, 5, {"language pt-BR", "voice Um", "rate 50"}},
      // A name goes before the number; one that names no voice falls back.
      {1, 5, {"language en", "voice Tres", "rate 50"}, "tres"},
      {1, 5, {"language pt-BR", "rate 0"}, "Nenhuma"},
      {3, -10, {"language en", "voice Tres", "rate -100"}},
      {2, 10, {"language pt", "voice Dois", "rate 100"}},
      {0, 7, {"language pt-BR", "rate 0"}},
      {4, 7, {"language pt-BR", "rate 0"}},
      {-3, 7, {"language pt-BR", "rate 0"}},
      // A speed the service cannot take leaves the voice at its own rate.
      {2, 11, {"language pt", "voice Dois"}},
      {2, -11, {"language pt", "voice Dois"}},
  };
  StartModules();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "voice " << c.voice << " " << c.name << " speed " << c.speed);
    InstallScriptedServices(true);
    SetEngineVoiceName(c.name);
    ASSERT_TRUE(EngineOpen(c.voice, c.speed, 9, 5, ""));
    EXPECT_EQ(Service().calls, c.calls);
    EngineClose();
    EXPECT_EQ(Service().openConnections, 0);
  }
}

TEST_F(Sapi5Test, TextsQueueInUtf8AndAnEmptyOneSpeaksABlank) {
  StartModules();
  const sim::RunResult result = sim::Run([] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 5, ""));
    EngineSpeak("");
    EngineSpeak("ação 7");
    EngineSpeak(std::string("a\0b\x81", 4));
    const std::vector<std::string> expected = {" ", "a\xC3\xA7\xC3\xA3o 7", "a b "};
    EXPECT_EQ(Service().said, expected);
    EXPECT_TRUE(sim::Beeps().empty());
    // A text the service refuses is lost with one beep.
    Service().sayFails = true;
    EngineSpeak("perdido");
    EXPECT_EQ(sim::Beeps().size(), 1u);
    Service().EndTexts(3);
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(Sapi5Test, BusyHoldsUntilEveryTextEndedAndPostsAWakeUpEachTime) {
  StartModules();
  Service().textMs = 100;
  wakeUps = 0;
  console::SetWakeHandler(kEngineWakeMessage, CountWakeUp);
  const sim::RunResult result = sim::Run([] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 5, ""));
    const std::int64_t start = sim::Now();
    EngineSpeak("um");
    EngineSpeak("dois");
    int trueAnswers = 0;
    for (;;) {
      const std::int64_t asked = sim::Now();
      const bool busy = EngineBusy(0);
      EXPECT_LE(sim::Now() - asked, kSapi5BusyWaitMs);
      if (!busy) break;
      ++trueAnswers;
      ASSERT_LT(trueAnswers, 100);
    }
    // The second text ends 200 ms after both were handed over; busy waits 20 ms per answer.
    EXPECT_EQ(sim::Now() - start, 200);
    EXPECT_EQ(trueAnswers, 9);
    console::PumpMessages();
    EXPECT_EQ(wakeUps, trueAnswers);
    EXPECT_FALSE(EngineBusy(1));
    EngineClose();
  });
  console::SetWakeHandler(kEngineWakeMessage, nullptr);
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(Sapi5Test, StopDiscardsEverythingAndBusyIsFalseAtOnce) {
  StartModules();
  const sim::RunResult result = sim::Run([] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 54, ""));
    Service().neverBegins = true;  // no cancel notice will come either
    EngineSpeak("um");
    EngineSpeak("dois");
    EXPECT_TRUE(EngineBusy(0));
    const std::int64_t before = sim::Now();
    EngineStop();
    EXPECT_EQ(sim::Now() - before, 50);
    EXPECT_EQ(Service().calls.back(), "cancel");
    EXPECT_FALSE(EngineBusy(0));
    Service().neverBegins = false;
    EngineSpeak("depois");
    EXPECT_TRUE(EngineBusy(0)) << "a text after the stop counts again";
    Service().EndTexts(1);
    EXPECT_FALSE(EngineBusy(0));
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(Sapi5Test, ATextNeverBegunOrNeverEndedCountsAsEndedInTime) {
  struct Case {
    const char* name;
    bool neverBegins;
    std::int64_t endedAfterMs;  // from the speak
    std::size_t beeps;
  };
  const Case cases[] = {
      // Both texts go, with one beep, once the first has waited for its start too long.
      {"never begins", true, kSapi5StartTimeoutMs, 1},
      // "um texto" is given its length's time from its begin; "dois", stuck behind it in the
      // service, then waits for its start too long.
      {"never ends", false, 2 * kSapi5StartTimeoutMs + 8 * kSapi5MsPerCharacter, 1},
  };
  StartModules();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallScriptedServices(true);
    Service().neverBegins = c.neverBegins;
    const sim::RunResult result = sim::Run([&] {
      ASSERT_TRUE(EngineOpen(1, 0, 0, 5, ""));
      const std::size_t beepsBefore = sim::Beeps().size();
      const std::int64_t start = sim::Now();
      EngineSpeak("um texto");
      EngineSpeak("dois");
      EngineClose();
      EXPECT_GE(sim::Now() - start, c.endedAfterMs);
      EXPECT_LT(sim::Now() - start, c.endedAfterMs + kSapi5CloseStepMs + kSapi5BusyWaitMs);
      EXPECT_EQ(sim::Beeps().size() - beepsBefore, c.beeps);
      EXPECT_EQ(Service().openConnections, 0);
    });
    EXPECT_FALSE(result.stalled) << result.message;
  }
}

TEST_F(Sapi5Test, CloseWaitsInThreeHundredMillisecondStepsThenDisconnects) {
  StartModules();
  Service().textMs = 700;
  const sim::RunResult result = sim::Run([] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 5, ""));
    const std::int64_t start = sim::Now();
    EngineSpeak("um texto");
    EngineClose();
    // Busy answers true at 20, 340 and 660 ms; the look after the third step finds the text
    // ended at 700 ms.
    EXPECT_EQ(sim::Now() - start, 960);
    EXPECT_EQ(Service().openConnections, 0);
    EXPECT_EQ(Service().calls.back(), "close");
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(Sapi5Test, AServiceThatGoesAwayEndsItsTextsAndLaterOnesBeep) {
  StartModules();
  const sim::RunResult result = sim::Run([] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 5, ""));
    EngineSpeak("um texto longo");
    EXPECT_TRUE(EngineBusy(0));
    Service().alive = false;  // crashed mid-speech: no notice will ever come
    const std::int64_t crashed = sim::Now();
    while (EngineBusy(0)) ASSERT_LT(sim::Now() - crashed, 1000);
    EXPECT_LE(sim::Now() - crashed, 520);
    EngineSpeak("outro");
    EXPECT_EQ(sim::Beeps().size(), 1u);
    EXPECT_FALSE(EngineBusy(0));
    EngineStop();
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(Sapi5Test, TheTwoBindingsKeepTheirOwnConnectionAndTexts) {
  StartModules();
  const sim::RunResult result = sim::Run([] {
    ASSERT_TRUE(Sapi5Open(5, 1, 0, 0, ""));
    ASSERT_TRUE(Sapi5Open(54, 2, 0, 0, ""));
    const std::vector<std::string> names = {"sapi5", "sapi54"};
    EXPECT_EQ(Service().connectionNames, names);
    Sapi5Speak(54, "cinquenta e quatro");
    Service().EndTexts(1);
    Sapi5Speak(5, "cinco");
    console::PumpMessages();
    EXPECT_FALSE(Sapi5Busy(54));
    EXPECT_TRUE(Sapi5Busy(5)) << "the other binding's notice does not end this text";
    Service().EndTexts(1);
    EXPECT_FALSE(Sapi5Busy(5));
    Sapi5Close(5);
    Sapi5Close(54);
    EXPECT_EQ(Service().openConnections, 0);
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(Sapi5Test, AnyBytesReachTheServiceAsValidUtf8) {
  StartModules();
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
  std::string large(1 << 20, '\0');
  for (std::size_t k = 0; k < large.size(); ++k) large[k] = static_cast<char>((k * 7919) & 0xFF);
  const sim::RunResult result = sim::Run([&] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 5, ""));
    EngineSpeak(everyByte);
    EngineSpeak(large);
    ASSERT_EQ(Service().said.size(), 2u);
    for (const std::string& text : Service().said) {
      EXPECT_TRUE(IsValidUtf8(text));
      EXPECT_EQ(text.find('\0'), std::string::npos);
      EXPECT_EQ(text.find('\n'), std::string::npos);
    }
    EXPECT_GE(Service().said[1].size(), large.size());
    EngineStop();
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

}  // namespace
}  // namespace engines
