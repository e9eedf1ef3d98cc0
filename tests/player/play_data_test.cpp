// Playing samples and in-memory images: blocks, padding, slots, format changes and keys.
#include <gtest/gtest.h>

#include "platform/keys.h"
#include "platform/system.h"
#include "platform/wave.h"
#include "player/player_fixture.h"

namespace {

using namespace player_test;

constexpr int kRate = 11025;

class PlayDataTest : public PlayerTest {};

void WaitForSilence() {
  while (audio::WavBusy()) platform::WaitEvent();
}

TEST_F(PlayDataTest, ShortBlocksArePaddedToTwoHundredFiftySixBytesOfSilence) {
  const struct {
    const char* name;
    int channels;
    int bits;
    std::uint8_t silence;
    bool lastByteSilenced;
  } cases[] = {
      {"mono 8-bit", 1, 8, 128, true},
      {"stereo 8-bit", 2, 8, 128, false},
      {"mono 16-bit", 1, 16, 0, false},
  };
  for (const auto& c : cases) {
    Bytes samples = Ramp(100);
    RunPlayer([&] {
      EXPECT_EQ(audio::WavPlayData(samples.data(), 100, kRate, c.channels, c.bits), 0);
      WaitForSilence();
    });
    ASSERT_EQ(BlockLengths(), (std::vector<int>{256})) << c.name;
    const Bytes& block = sim::WaveBlocks()[0].bytes;
    EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + 99, block.begin())) << c.name;
    EXPECT_EQ(block[99], c.lastByteSilenced ? 128 : samples[99]) << c.name;
    EXPECT_EQ(Bytes(block.begin() + 100, block.end()), Bytes(156, c.silence)) << c.name;
  }
}

TEST_F(PlayDataTest, SlotsAreUsedInTurnAndOnlyAFullBlockKeepsItsLastByte) {
  const int length = 6 * 65534 + 300;
  std::string image = WaveImage(kRate, 1, 8, Ramp(length));
  Bytes bytes = AsBytes(image);
  RunPlayer([&] {
    audio::WavPlayBuffer(bytes.data(), bytes.size());
    WaitForSilence();
  });
  std::vector<int> slots;
  for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) slots.push_back(block.user);
  EXPECT_EQ(slots, (std::vector<int>{1, 2, 3, 4, 1, 2, 3}));
  EXPECT_EQ(BlockLengths(), (std::vector<int>{65534, 65534, 65534, 65534, 65534, 65534, 300}));
  Bytes expected = Ramp(length);
  expected.back() = 128;
  EXPECT_EQ(sim::PlayedWaveBytes(), expected);
  // Four blocks were queued ahead; the device never went idle between them.
  for (std::size_t i = 1; i < sim::WaveBlocks().size(); ++i) {
    EXPECT_DOUBLE_EQ(sim::WaveBlocks()[i].startMs, sim::WaveBlocks()[i - 1].endMs);
  }
  EXPECT_FALSE(platform::WaveOutIsOpen());
}

TEST_F(PlayDataTest, PlayBufferReturnsOnceTheLastBlockIsQueued) {
  Bytes bytes = AsBytes(WaveImage(kRate, 1, 8, Ramp(kRate)));
  RunPlayer([&] {
    audio::WavPlayBuffer(bytes.data(), bytes.size());
    EXPECT_EQ(sim::Now(), 0);
    EXPECT_TRUE(audio::WavBusy());
    WaitForSilence();
    EXPECT_EQ(sim::Now(), 1000);
    EXPECT_FALSE(platform::WaveOutIsOpen());
  });
}

TEST_F(PlayDataTest, BlocksComeBackWhenNothingElseCreatedTheConsoleWindow) {
  // With key interrupt off no key query creates the window, yet its notices must arrive.
  Bytes bytes = AsBytes(WaveImage(kRate, 1, 8, Ramp(kRate)));
  const sim::RunResult run = RunPlayer([&] {
    audio::SetKeyInterrupt(false);
    audio::WavPlayBuffer(bytes.data(), bytes.size());
    WaitForSilence();
    EXPECT_EQ(sim::Now(), 1000);
  });
  EXPECT_FALSE(run.stalled) << run.message;
}

TEST_F(PlayDataTest, AFormatChangeWaitsForTheOldSound) {
  Bytes first = AsBytes(WaveImage(kRate, 1, 8, Ramp(kRate / 2)));
  Bytes second = AsBytes(WaveImage(16000, 1, 16, Ramp(3200)));
  RunPlayer([&] {
    audio::WavPlayBuffer(first.data(), first.size());
    audio::WavPlayBuffer(second.data(), second.size());
    WaitForSilence();
  });
  const auto& opens = sim::WaveOutOpens();
  ASSERT_EQ(opens.size(), 2u);
  EXPECT_EQ(opens[1].format.rate, 16000);
  EXPECT_EQ(opens[1].format.bits, 16);
  EXPECT_GE(static_cast<double>(opens[1].time), sim::WaveBlocks()[0].endMs);
  EXPECT_FALSE(sim::WaveBlocks()[0].cut);
}

TEST_F(PlayDataTest, TheSameFormatKeepsTheDeviceOpenAndQueuesBehind) {
  Bytes first = AsBytes(WaveImage(kRate, 1, 8, Ramp(kRate / 2)));
  Bytes second = AsBytes(WaveImage(kRate, 1, 8, Ramp(kRate / 4)));
  RunPlayer([&] {
    audio::WavPlayBuffer(first.data(), first.size());
    audio::WavPlayBuffer(second.data(), second.size());
    EXPECT_EQ(sim::Now(), 0);
    WaitForSilence();
  });
  EXPECT_EQ(sim::WaveOutOpens().size(), 1u);
  ASSERT_EQ(sim::WaveBlocks().size(), 2u);
  EXPECT_DOUBLE_EQ(sim::WaveBlocks()[1].startMs, sim::WaveBlocks()[0].endMs);
}

TEST_F(PlayDataTest, KeyDuringTheWaitForAFreeSlotStopsWithinOnePoll) {
  Bytes bytes = AsBytes(WaveImage(kRate, 1, 8, Ramp(6 * 65534)));
  std::int64_t returnedAt = -1;
  RunPlayer([&] {
    sim::PressKeyAt(1003, platform::VkLetter('X'));
    audio::WavPlayBuffer(bytes.data(), bytes.size());
    returnedAt = sim::Now();
    EXPECT_FALSE(platform::WaveOutIsOpen());
    EXPECT_FALSE(audio::WavBusy());
    EXPECT_EQ(console::QueuedKeyCount(), 1);
  });
  EXPECT_GE(returnedAt, 1003);
  EXPECT_LE(returnedAt, 1010);
  EXPECT_EQ(sim::WaveBlocks().size(), 4u);
  EXPECT_TRUE(sim::WaveBlocks()[0].cut);
}

TEST_F(PlayDataTest, WavStopSilencesAndClosesTheDevice) {
  Bytes bytes = AsBytes(WaveImage(kRate, 1, 8, Ramp(3 * 65534)));
  RunPlayer([&] {
    audio::WavPlayBuffer(bytes.data(), bytes.size());
    platform::Sleep(500);
    audio::WavStop();
    EXPECT_FALSE(platform::WaveOutIsOpen());
    EXPECT_FALSE(audio::WavBusy());
    // Stopped sound leaves the player ready for the next.
    audio::WavPlayBuffer(bytes.data(), bytes.size());
    EXPECT_TRUE(audio::WavBusy());
  });
  ASSERT_EQ(sim::WaveBlocks().size(), 6u);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(sim::WaveBlocks()[i].cut);
  EXPECT_EQ(sim::WaveBlocks()[0].playedLength, kRate / 2);
  EXPECT_EQ(sim::WaveBlocks()[1].playedLength, 0);
  EXPECT_EQ(sim::WaveOutOpens().size(), 2u);
}

TEST_F(PlayDataTest, PlayerStopClosesADeviceStillPlaying) {
  Bytes bytes = AsBytes(WaveImage(kRate, 1, 8, Ramp(kRate)));
  RunPlayer([&] {
    audio::WavPlayBuffer(bytes.data(), bytes.size());
    audio::PlayerStop();
    EXPECT_FALSE(platform::WaveOutIsOpen());
  });
  EXPECT_TRUE(sim::WaveBlocks()[0].cut);
}

TEST_F(PlayDataTest, SpeechCutShortensAnImageInPlace) {
  Bytes samples(8000);
  for (int i = 0; i < 8000; ++i) samples[i] = (i >= 200 && (i - 200) % 400 == 0) ? 255 : 128 + i % 16;
  Bytes bytes = AsBytes(WaveImage(16000, 1, 8, samples));
  RunPlayer([&] {
    audio::SetSpeechCut(true);
    audio::WavPlayBuffer(bytes.data(), bytes.size());
    WaitForSilence();
  });
  EXPECT_EQ(BlockLengths(), (std::vector<int>{1000 + 8 * 401}));
}

TEST_F(PlayDataTest, FormatsNoDeviceCanPlayAreRefusedWithoutOpening) {
  const struct {
    int rate;
    int channels;
    int bits;
  } cases[] = {{0, 1, 8}, {-5, 1, 8}, {kRate, 0, 8}, {kRate, 3, 8}, {kRate, 1, 0}, {kRate, 1, 24}, {2000000000, 1, 8}};
  for (const auto& c : cases) {
    Bytes samples = Ramp(300);
    int result = -99;
    RunPlayer([&] {
      audio::SetFastPlayback(c.rate == 2000000000);  // raised past the 32-bit range
      result = audio::WavPlayData(samples.data(), 300, c.rate, c.channels, c.bits);
    });
    EXPECT_EQ(result, platform::kWaveBadFormat) << c.rate << " " << c.channels << " " << c.bits;
    EXPECT_TRUE(sim::WaveOutOpens().empty());
  }
}

TEST_F(PlayDataTest, ImagesPlayWhatIsReallyThereOrNothing) {
  const std::string fmt = Chunk("fmt ", FmtBody(kRate, 1, 8));
  const std::string samples = AsString(Ramp(1000));
  const struct {
    const char* name;
    std::string image;
    std::size_t played;
  } cases[] = {
      {"canonical", Riff(fmt + Chunk("data", samples)), 1000},
      {"data length past the end", Riff(fmt + Chunk("data", samples, 50000)), 1000},
      {"4 GB data length", Riff(fmt + Chunk("data", samples, 0xFFFFFFFFu)), 1000},
      {"no data chunk", Riff(fmt + Chunk("LIST", samples)), 0},
      {"cut inside the data header", Riff(fmt) + "dat", 0},
      {"0 channels", Riff(Chunk("fmt ", FmtBody(kRate, 0, 8)) + Chunk("data", samples)), 0},
      {"0 rate", Riff(Chunk("fmt ", FmtBody(0, 1, 8)) + Chunk("data", samples)), 0},
      {"0 bits", Riff(Chunk("fmt ", FmtBody(kRate, 1, 0)) + Chunk("data", samples)), 0},
      {"not RIFF", "WAVEfmt data", 0},
  };
  for (const auto& c : cases) {
    Bytes bytes = AsBytes(c.image);
    RunPlayer([&] {
      audio::WavPlayBuffer(bytes.data(), bytes.size());
      WaitForSilence();
    });
    EXPECT_EQ(sim::PlayedWaveBytes().size(), c.played) << c.name;
    if (c.played == 0) {
      EXPECT_TRUE(sim::WaveOutOpens().empty()) << c.name;
    }
  }
  RunPlayer([&] { audio::WavPlayBuffer(nullptr, 0); });
  EXPECT_TRUE(sim::WaveOutOpens().empty());
}

}  // namespace
