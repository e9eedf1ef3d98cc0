// The wave header and the waits every speaker uses: polling, stopping, waiting for speech and
// playing a buffer to its end, with a key that interrupts and stays queued.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "audio/player/player.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/sim/sim.h"
#include "speech/engines/dispatcher.h"
#include "speech/frontend/output/speech_output.h"
#include "support/file_bytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(MakeWaveHeaderTest, CanonicalHeaderBytes) {
  std::uint8_t header[44];
  frontend::MakeWaveHeader(header, 256, 11025, 8, 1);
  const std::string bytes(reinterpret_cast<const char*>(header), 44);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(test_support::LittleEndianField(bytes, 4, 4), 292u);
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(test_support::LittleEndianField(bytes, 16, 4), 16u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 20, 2), 1u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 22, 2), 1u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 24, 4), 11025u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 28, 4), 11025u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 32, 2), 1u);
  EXPECT_EQ(test_support::LittleEndianField(bytes, 34, 2), 8u);
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(test_support::LittleEndianField(bytes, 40, 4), 256u);

  // 16-bit stereo: bytes per second count both; the alignment field stays 1.
  frontend::MakeWaveHeader(header, 0x01020304, 16000, 16, 2);
  const std::string wide(reinterpret_cast<const char*>(header), 44);
  EXPECT_EQ(test_support::LittleEndianField(wide, 4, 4), 0x01020304u + 36);
  EXPECT_EQ(test_support::LittleEndianField(wide, 22, 2), 2u);
  EXPECT_EQ(test_support::LittleEndianField(wide, 28, 4), 64000u);
  EXPECT_EQ(test_support::LittleEndianField(wide, 32, 2), 1u);
  EXPECT_EQ(test_support::LittleEndianField(wide, 34, 2), 16u);
  EXPECT_EQ(test_support::LittleEndianField(wide, 40, 4), 0x01020304u);
}

class SpeechOutputTest : public ::testing::Test {
 protected:
  void TearDown() override {
    frontend::ResetSpeechOutput();
    audio::PlayerStop();
    console::ConsoleStop();
  }

  static sim::RunResult Run(const std::function<void()>& body) {
    sim::Reset();
    console::ConsoleStart();
    audio::PlayerStart();
    engines::DispatcherStart();
    frontend::ResetSpeechOutput();
    return sim::Run(body);
  }

  // A wave image of `count` samples at 11 025 Hz (1 s is 11 025 samples).
  static Bytes Image(std::size_t count) {
    Bytes image(44 + count, 100);
    frontend::MakeWaveHeader(image.data(), static_cast<std::uint32_t>(count), 11025, 8, 1);
    return image;
  }

  // True when a posted wake with `message` is waiting in the event queue (it is removed).
  static bool WakePosted(int message) {
    platform::Event event;
    while (platform::PeekEvent(event)) {
      if (event.kind == platform::EventKind::Wake && event.code == message) return true;
    }
    return false;
  }
};

TEST_F(SpeechOutputTest, StartValues) {
  frontend::SetEngineMode(true);
  frontend::SetEngineSpoke(false);
  frontend::StopSpeech();
  frontend::ResetSpeechOutput();
  EXPECT_FALSE(frontend::EngineMode());
  EXPECT_TRUE(frontend::EngineSpoke());
  EXPECT_FALSE(frontend::StopRequested());
}

TEST_F(SpeechOutputTest, PlayBufferAndWaitReturnsWhenTheSoundHasEnded) {
  Bytes image = Image(11025);
  const sim::RunResult result = Run([&] {
    frontend::PlayBufferAndWait(image.data(), image.size());
    EXPECT_FALSE(frontend::SpeechPending());
    EXPECT_FALSE(frontend::EngineSpoke());
    EXPECT_FALSE(frontend::StopRequested());
  });
  ASSERT_FALSE(result.stalled) << result.message;
  ASSERT_EQ(sim::WaveBlocks().size(), 1u);
  EXPECT_FALSE(sim::WaveBlocks()[0].cut);
  EXPECT_DOUBLE_EQ(sim::WaveBlocks()[0].endMs, 1000.0);
  EXPECT_GE(sim::Now(), 1000);
}

TEST_F(SpeechOutputTest, SpeechPendingWhilePlayingThenWaitForSpeech) {
  Bytes image = Image(11025 * 2);
  const sim::RunResult result = Run([&] {
    audio::WavPlayBuffer(image.data(), image.size());
    EXPECT_TRUE(frontend::SpeechPending());
    frontend::WaitForSpeech();
    EXPECT_GE(sim::Now(), 2000);
    EXPECT_FALSE(frontend::SpeechPending());
  });
  ASSERT_FALSE(result.stalled) << result.message;
}

TEST_F(SpeechOutputTest, FinishEngineSpeechWaitsOnlyAfterTheEngineSpoke) {
  Bytes image = Image(11025);
  const sim::RunResult result = Run([&] {
    frontend::SetEngineSpoke(false);
    audio::WavPlayBuffer(image.data(), image.size());
    frontend::FinishEngineSpeech();
    EXPECT_LT(sim::Now(), 1000);
    EXPECT_TRUE(frontend::SpeechPending());

    frontend::SetEngineSpoke(true);
    frontend::FinishEngineSpeech();
    EXPECT_GE(sim::Now(), 1000);
    EXPECT_FALSE(frontend::EngineSpoke());
  });
  ASSERT_FALSE(result.stalled) << result.message;
}

TEST_F(SpeechOutputTest, WaitingKeyStopsEverythingAndStaysQueued) {
  Bytes image = Image(11025 * 3);
  const sim::RunResult result = Run([&] {
    sim::PressKeyAt(500, 'B');
    frontend::PlayBufferAndWait(image.data(), image.size());
    EXPECT_TRUE(frontend::StopRequested());
    EXPECT_TRUE(WakePosted(frontend::kStopSpeechMessage));
    // Asking again stops again and still leaves the key for its reader.
    EXPECT_FALSE(frontend::SpeechPending());
    EXPECT_EQ(console::QueuedKeyCount(), 1);
    EXPECT_EQ(console::ReadKey(), 'b');
  });
  ASSERT_FALSE(result.stalled) << result.message;
  ASSERT_EQ(sim::WaveBlocks().size(), 1u);
  EXPECT_TRUE(sim::WaveBlocks()[0].cut);
  EXPECT_NEAR(sim::WaveBlocks()[0].endMs, 500, 1);
}

TEST_F(SpeechOutputTest, StopSpeechSilencesAndPostsTheWakeMessage) {
  Bytes image = Image(11025);
  const sim::RunResult result = Run([&] {
    audio::WavPlayBuffer(image.data(), image.size());
    frontend::StopSpeech();
    EXPECT_TRUE(frontend::StopRequested());
    EXPECT_TRUE(WakePosted(frontend::kStopSpeechMessage));
    EXPECT_FALSE(frontend::SpeechPending());
    frontend::ClearStopRequested();
    EXPECT_FALSE(frontend::StopRequested());
  });
  ASSERT_FALSE(result.stalled) << result.message;
  ASSERT_EQ(sim::WaveBlocks().size(), 1u);
  EXPECT_TRUE(sim::WaveBlocks()[0].cut);
  EXPECT_EQ(sim::WaveBlocks()[0].playedLength, 0);
}

TEST_F(SpeechOutputTest, EngineModeStopsAndPollsThroughTheDispatcher) {
  Bytes image = Image(11025);
  const sim::RunResult result = Run([&] {
    // An engine type without a backend here: never busy, so only the player is waited for.
    frontend::SetEngineMode(true);
    EXPECT_FALSE(frontend::SpeechPending());
    audio::WavPlayBuffer(image.data(), image.size());
    EXPECT_TRUE(frontend::SpeechPending());
    frontend::WaitForSpeech();
    EXPECT_GE(sim::Now(), 1000);
    frontend::StopSpeech();
    EXPECT_TRUE(frontend::StopRequested());
    EXPECT_TRUE(WakePosted(frontend::kStopSpeechMessage));
  });
  ASSERT_FALSE(result.stalled) << result.message;
}

}  // namespace
