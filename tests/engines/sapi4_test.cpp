#include "speech/engines/sapi4_backend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "audio/player/player.h"
#include "console/keyboard.h"
#include "engine_test_support.h"
#include "platform/system.h"
#include "speech/engines/dispatcher.h"
#include "support/file_bytes.h"

namespace engines {
namespace {

// The scripted service and library are there to be used.
class Sapi4Test : public EngineModuleTest {
 protected:
  void SetUp() override {
    EngineModuleTest::SetUp();
    InstallScriptedServices(true);
  }
};

TEST(Sapi4Texts, TrimLoneDigitAndPiecesOfAtMost64000Characters) {
  struct Case {
    std::string text;
    std::vector<std::string> expected;
  };
  const std::string full(kSapi4TextLimit, 'a');
  const std::string words = std::string(30000, 'b') + " " + std::string(40000, 'c');
  const Case cases[] = {
      {"  7  ", {"7."}},
      {"\t0\r\n", {"0."}},
      {"12", {"12"}},
      {"a", {"a"}},
      {" olá, mundo ", {"olá, mundo"}},
      {"", {}},
      {" \t\r\n ", {}},
      {full, {full}},
      // Cut after the last blank within the limit; the blank stays with the first piece.
      {words, {std::string(30000, 'b') + " ", std::string(40000, 'c')}},
      // No blank at all: cut at the limit.
      {full + "zz", {full, "zz"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    EXPECT_EQ(Sapi4Texts(c.text), c.expected);
  }
}

TEST_F(Sapi4Test, DispatchUsesTheLibraryForEveryTypeButThreeFiveAndFiftyFour) {
  StartModules();
  for (const std::int32_t type : {4, 0, 7, -1}) {
    SCOPED_TRACE(type);
    InstallScriptedServices(true);
    ASSERT_TRUE(EngineOpen(1, 0, 0, type, ""));
    EXPECT_EQ(Library().running, 1);
    EXPECT_TRUE(Service().connectionNames.empty());
    EngineClose();
    EXPECT_EQ(Library().running, 0);
  }
}

TEST_F(Sapi4Test, VoicesCountInListingOrderWithSpeedAndPitchSetWhenNotZero) {
  struct Case {
    std::int32_t voice;
    std::int32_t speed;
    std::int32_t pitch;
    std::vector<std::string> calls;
    const char* name = "";
  };
  const Case cases[] = {
      // By name or identifier, before the number; a name of no voice: the Brazilian voice.
      {1, 0, 0, {"start", "voice roa/pt"}, "DOIS"},
      {1, 0, 0, {"start", "voice gmw/pt"}, "gmw/PT"},
      {1, 0, 0, {"start", "voice roa/pt-BR"}, "Cinco"},
      // 0 and below: the Brazilian voice.
      {0, 0, 0, {"start", "voice roa/pt-BR"}},
      {-4, 0, 0, {"start", "voice roa/pt-BR"}},
      {1, 180, 0, {"start", "voice gmw/en", "rate 180"}},
      {2, 150, 40, {"start", "voice roa/pt", "rate 150", "pitch 40"}},
      {3, 0, 60, {"start", "voice roa/pt-BR", "pitch 60"}},
      // Past the last voice: the last.
      {99, 0, 0, {"start", "voice gmw/pt"}},
  };
  const std::vector<ServiceVoice> voices = {
      {"Tres", "en", "gmw/en"}, {"Dois", "pt", "roa/pt"}, {"Um", "PT-BR", "roa/pt-BR"}, {"Quatro", "pt", "gmw/pt"}};
  StartModules();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "voice " << c.voice);
    InstallScriptedServices(true);
    Library().voices = voices;
    SetEngineVoiceName(c.name);
    ASSERT_TRUE(EngineOpen(c.voice, c.speed, c.pitch, 4, ""));
    EXPECT_EQ(Library().calls, c.calls);
    EngineClose();
    EXPECT_EQ(Library().calls.back(), "finish");
  }
  // Without a Brazilian voice, the first.
  SetEngineVoiceName("");
  InstallScriptedServices(true);
  Library().voices = {voices[0], voices[1]};
  ASSERT_TRUE(EngineOpen(0, 0, 0, 4, ""));
  EXPECT_EQ(Library().calls.back(), "voice gmw/en");
  EngineClose();
}

TEST_F(Sapi4Test, AFailedOpenEndsTheLibraryAndKeepsTheCurrentFolder) {
  struct Case {
    const char* name;
    void (*script)(ScriptedLibrary&);
    bool toMissingFolder;
  };
  const Case cases[] = {
      {"cannot start", [](ScriptedLibrary& l) { l.rate = 0; }, false},
      {"no voice", [](ScriptedLibrary& l) { l.voices.clear(); }, false},
      {"voice list refused", [](ScriptedLibrary& l) { l.listFails = true; }, false},
      {"voice refused", [](ScriptedLibrary& l) { l.selectFails = true; }, false},
      {"speed refused", [](ScriptedLibrary& l) { l.rateFails = true; }, false},
      {"file cannot be made", [](ScriptedLibrary&) {}, true},
  };
  StartModules();
  const std::string folder = platform::CurrentFolder();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallScriptedServices(true);
    c.script(Library());
    const std::string output = c.toMissingFolder ? Folder() + "/nada/fala.wav" : "";
    EXPECT_FALSE(EngineOpen(1, 120, 0, 4, output));
    EXPECT_EQ(Library().running, 0);
    EXPECT_EQ(platform::CurrentFolder(), folder);
    EngineSpeak("nada");
    EXPECT_TRUE(Library().texts.empty());
  }
}

TEST_F(Sapi4Test, CountersFollowTheReportsAndTheSoundingAudio) {
  StartModules();
  const sim::RunResult result = RunWithSound([] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 4, ""));
    EXPECT_FALSE(EngineBusy(0));
    // 100 samples for each of the 7 bytes handed over: 32 ms of sound at 22 050 Hz.
    EngineSpeak("  olá  . ");
    EXPECT_EQ(Library().texts.back(), "ol\xC3\xA1  .");
    EXPECT_FALSE(EngineBusy(1)) << "no text pending once the library reported it done";
    EXPECT_TRUE(EngineBusy(0)) << "its audio still sounds";
    const std::int64_t start = sim::Now();
    while (EngineBusy(0)) platform::WaitEvent();
    EXPECT_LE(sim::Now() - start, 40);
    EXPECT_FALSE(audio::WavBusy());
    EngineSpeak(" 7 ");
    EXPECT_EQ(Library().texts.back(), "7.");
    EngineSpeak("   ");
    EXPECT_EQ(Library().texts.size(), 2u) << "a blank text is not handed over";
    EngineStop();
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(Sapi4Test, StopSilencesAfterItsDelaysOnlyWhenSomethingSounds) {
  StartModules();
  const sim::RunResult result = RunWithSound([] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 4, ""));
    std::int64_t before = sim::Now();
    EngineStop();
    EXPECT_EQ(sim::Now(), before) << "nothing sounding: only the counters are cleared";
    EngineSpeak(std::string(200, 'a'));  // almost a second of sound
    ASSERT_TRUE(EngineBusy(0));
    before = sim::Now();
    EngineStop();
    EXPECT_EQ(sim::Now() - before, 200);
    EXPECT_FALSE(audio::WavBusy());
    EXPECT_FALSE(EngineBusy(0));
    EXPECT_FALSE(EngineBusy(1));
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(Sapi4Test, AFailedTextStopsAndLaterTextsStillGo) {
  StartModules();
  const sim::RunResult result = RunWithSound([] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 4, ""));
    Library().synthFails = true;
    EngineSpeak("falha");
    EXPECT_FALSE(EngineBusy(0));
    Library().synthFails = false;
    EngineSpeak("certo");
    EXPECT_TRUE(EngineBusy(0));
    EngineStop();
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(Sapi4Test, AWaitingKeyKeepsTheTextBackOnlyWithKeyInterruptOn) {
  StartModules();
  const sim::RunResult result = RunWithSound([] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 4, ""));
    sim::PressKeyAt(sim::Now(), kVkA);
    EngineSpeak("um");
    EXPECT_TRUE(Library().texts.empty());
    audio::SetKeyInterrupt(false);
    EngineSpeak("dois");
    EXPECT_EQ(Library().texts.size(), 1u);
    EXPECT_TRUE(console::KeyPressed()) << "the key stays for its reader";
    EngineStop();
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(Sapi4Test, SpeakReturnsAtOnceAndTheRestFollowsAsThePlayerHasRoomOrAKeyComes) {
  const std::int64_t keyAtMs[] = {-1, 500};  // -1: no key
  StartModules();
  for (const std::int64_t keyAt : keyAtMs) {
    SCOPED_TRACE(keyAt);
    InstallScriptedServices(true);
    const sim::RunResult result = RunWithSound([&] {
      Library().samplesPerByte = 1;  // about three seconds a piece
      ASSERT_TRUE(EngineOpen(1, 0, 0, 4, ""));
      const std::int64_t start = sim::Now();
      if (keyAt >= 0) sim::PressKeyAt(start + keyAt, kVkA);
      EngineSpeak(std::string(10 * kSapi4TextLimit, 'a'));
      EXPECT_EQ(sim::Now(), start);
      // Two pieces fill the player's four blocks, and the third waits for room.
      EXPECT_EQ(Library().texts.size(), 3u);
      EXPECT_TRUE(EngineBusy(1));
      while (EngineBusy(0)) platform::WaitEvent();
      if (keyAt < 0) {
        EXPECT_EQ(Library().texts.size(), 10u);
        EXPECT_GE(sim::Now() - start, 10 * kSapi4TextLimit * 1000 / 22050) << "every piece sounded";
      } else {
        EXPECT_LE(Library().texts.size(), 4u) << "once the key came, no further piece";
        EXPECT_LT(sim::Now() - start, 3000);
      }
      EngineStop();
      EngineClose();
    });
    EXPECT_FALSE(result.stalled) << result.message;
  }
}

TEST_F(Sapi4Test, AnOutputFileGetsEveryTextAsAWaveAndNothingSounds) {
  StartModules();
  const std::string path = Folder() + "/fala.wav";
  const sim::RunResult result = RunWithSound([&] {
    ASSERT_TRUE(EngineOpen(1, 0, 0, 4, path));
    EngineSpeak("um");
    EngineSpeak("tres");
    EXPECT_FALSE(EngineBusy(0));
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_TRUE(sim::WaveBlocks().empty());
  // 100 samples of two bytes for each of the six bytes handed over.
  const std::string bytes = test_support::ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 44u + 1200u);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(test_support::LittleEndianField(bytes, 24, 4), 22050u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 34, 2), 16u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 40, 4), 1200u);
}

TEST_F(Sapi4Test, AnyBytesAndHugeTextsReachTheLibraryAsValidUtf8) {
  StartModules();
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
  std::string large(1 << 20, 'x');
  for (std::size_t k = 0; k < large.size(); ++k) large[k] = static_cast<char>((k * 7919) & 0xFF);
  const sim::RunResult result = RunWithSound([&] {
    Library().samplesPerByte = 0;
    ASSERT_TRUE(EngineOpen(1, 0, 0, 4, ""));
    EngineSpeak(everyByte);
    EngineSpeak(large);
    ASSERT_GE(Library().texts.size(), 1u + (1u << 20) / kSapi4TextLimit);
    std::size_t total = 0;
    for (const std::string& text : Library().texts) {
      EXPECT_TRUE(IsValidUtf8(text));
      EXPECT_EQ(text.find('\0'), std::string::npos);
      total += text.size();
    }
    EXPECT_GT(total, large.size() - 64) << "nothing of the huge text was dropped";
    EngineStop();
    EngineClose();
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

}  // namespace
}  // namespace engines
