// The wave devices on SDL's dummy driver, which plays and records silence in real time and
// has a single output and a single capture device: opening, the result codes, reset.

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/wave.h"
#include "wave_blocks.h"
#include "wave_image.h"

namespace {

using platform::EventKind;
using platform::WaveFormat;
using sdltest::Block;

constexpr WaveFormat kSpeech{.rate = 11025, .bits = 8, .channels = 1};

class HeadlessWave : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::sdl::StartAudio());
    sdltest::DropPendingEvents();
  }
  // Whatever a failed test left open is closed before its blocks go away.
  void TearDown() override {
    if (platform::WaveOutIsOpen()) {
      platform::WaveOutReset();
      platform::WaveOutClose();
    }
    if (platform::WaveInIsOpen()) {
      platform::WaveInReset();
      platform::WaveInClose();
    }
    platform::StopLoopingSound();
    sdltest::DropPendingEvents();
  }
  // One second of samples at kSpeech: far longer than the test takes to reset it.
  Block& AddBlock(int tag, int bytes = 11025) {
    blocks.push_back(std::make_unique<Block>(sdltest::Pattern(bytes, tag), tag));
    return *blocks.back();
  }
  sdltest::Blocks blocks;
};

struct FormatCase {
  WaveFormat format;
  int expected;
};

TEST_F(HeadlessWave, OpenAcceptsEveryValidFormatAndRefusesTheRest) {
  const FormatCase cases[] = {
      {{11025, 8, 1}, platform::kMmNoError},     {{16537, 8, 1}, platform::kMmNoError},
      {{16000, 16, 1}, platform::kMmNoError},    {{44100, 16, 2}, platform::kMmNoError},
      {{1, 8, 2}, platform::kMmNoError},         {{200000, 16, 1}, platform::kMmNoError},
      {{11025, 24, 1}, platform::kWaveBadFormat}, {{11025, 0, 1}, platform::kWaveBadFormat},
      {{11025, 8, 3}, platform::kWaveBadFormat},  {{11025, 8, 0}, platform::kWaveBadFormat},
      {{0, 8, 1}, platform::kWaveBadFormat},      {{-11025, 8, 1}, platform::kWaveBadFormat},
      {{200001, 8, 1}, platform::kWaveBadFormat},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.format.rate) + " Hz " + std::to_string(c.format.bits) +
                 " bits " + std::to_string(c.format.channels) + " channels");
    EXPECT_EQ(platform::WaveOutOpen(c.format), c.expected);
    EXPECT_EQ(platform::WaveInOpen(c.format), c.expected);
    if (c.expected != platform::kMmNoError) {
      EXPECT_FALSE(platform::WaveOutIsOpen());
      EXPECT_FALSE(platform::WaveInIsOpen());
      continue;
    }
    EXPECT_TRUE(platform::WaveOutIsOpen());
    EXPECT_TRUE(platform::WaveInIsOpen());
    EXPECT_EQ(platform::WaveOutOpen(kSpeech), platform::kMmAllocated);
    EXPECT_EQ(platform::WaveInOpen(kSpeech), platform::kMmAllocated);
    EXPECT_EQ(platform::WaveOutOpen({11025, 12, 1}), platform::kWaveBadFormat);
    EXPECT_EQ(platform::WaveOutClose(), platform::kMmNoError);
    EXPECT_EQ(platform::WaveInClose(), platform::kMmNoError);
    EXPECT_FALSE(platform::WaveOutIsOpen());
    EXPECT_FALSE(platform::WaveInIsOpen());
  }
}

TEST_F(HeadlessWave, DeviceHeldElsewhereAnswersAllocatedUntilFreed) {
  const std::vector<std::uint8_t> tone = sdltest::WaveImage(11025, 1, 8, sdltest::Ramp(500));
  ASSERT_TRUE(platform::PlayLoopingSound(tone.data(), tone.size()));
  EXPECT_EQ(platform::WaveOutOpen(kSpeech), platform::kMmAllocated);
  platform::StopLoopingSound();
  EXPECT_EQ(platform::WaveOutOpen(kSpeech), platform::kMmNoError);
  EXPECT_EQ(platform::WaveOutClose(), platform::kMmNoError);

  for (const bool capture : {false, true}) {
    SCOPED_TRACE(capture ? "capture" : "output");
    const SDL_AudioDeviceID other = sdltest::HoldRawDevice(capture);
    ASSERT_NE(other, 0u) << SDL_GetError();
    EXPECT_EQ(capture ? platform::WaveInOpen(kSpeech) : platform::WaveOutOpen(kSpeech),
              platform::kMmAllocated);
    SDL_CloseAudioDevice(other);
    EXPECT_EQ(capture ? platform::WaveInOpen(kSpeech) : platform::WaveOutOpen(kSpeech),
              platform::kMmNoError);
  }
  // While the program plays, the output is busy for others.
  EXPECT_EQ(sdltest::HoldRawDevice(false), 0u);
  EXPECT_EQ(platform::WaveOutClose(), platform::kMmNoError);
  EXPECT_EQ(platform::WaveInClose(), platform::kMmNoError);
}

TEST_F(HeadlessWave, ClosedDevicesAnswerInvalidHandle) {
  Block& block = AddBlock(1, 100);
  EXPECT_EQ(platform::WaveOutPrepareHeader(block.header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutWrite(block.header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutReset(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutClose(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInPrepareHeader(block.header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInAddBuffer(block.header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInStart(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInStop(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInReset(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInClose(), platform::kMmInvalidHandle);
  // A header no device holds can always be let go.
  EXPECT_EQ(platform::WaveOutUnprepareHeader(block.header), platform::kMmNoError);
  EXPECT_EQ(block.header.flags.load(), 0u);
}

TEST_F(HeadlessWave, QueuedBlocksCannotBeUnpreparedOrClosedUntilReset) {
  ASSERT_EQ(platform::WaveOutOpen(kSpeech), platform::kMmNoError);
  Block& first = AddBlock(1);
  Block& second = AddBlock(2);
  EXPECT_EQ(platform::WaveOutWrite(first.header), platform::kWaveUnprepared);
  ASSERT_EQ(platform::WaveOutPrepareHeader(first.header), platform::kMmNoError);
  ASSERT_EQ(platform::WaveOutPrepareHeader(second.header), platform::kMmNoError);
  ASSERT_EQ(platform::WaveOutWrite(first.header), platform::kMmNoError);
  ASSERT_EQ(platform::WaveOutWrite(second.header), platform::kMmNoError);
  EXPECT_TRUE(first.Queued());
  EXPECT_FALSE(first.Done());
  EXPECT_EQ(platform::WaveOutWrite(first.header), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveOutUnprepareHeader(first.header), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveOutUnprepareHeader(second.header), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveOutClose(), platform::kWaveStillPlaying);
  EXPECT_TRUE(platform::WaveOutIsOpen());

  ASSERT_EQ(platform::WaveOutReset(), platform::kMmNoError);
  for (Block* block : {&first, &second}) {
    EXPECT_TRUE(block->Done());
    EXPECT_FALSE(block->Queued());
    EXPECT_EQ(platform::WaveOutUnprepareHeader(block->header), platform::kMmNoError);
    EXPECT_EQ(block->header.flags.load(), platform::kWaveHeaderDone);
  }
  EXPECT_EQ(platform::WaveOutClose(), platform::kMmNoError);
  EXPECT_EQ(sdltest::WaitForEvents(EventKind::WaveOutDone, 2).size(), 2u);
}

TEST_F(HeadlessWave, ResetReturnsEveryBlockInOrderAndPlayingGoesOn) {
  ASSERT_EQ(platform::WaveOutOpen(kSpeech), platform::kMmNoError);
  for (int tag = 1; tag <= 4; ++tag) {
    Block& block = AddBlock(tag);
    ASSERT_EQ(platform::WaveOutPrepareHeader(block.header), platform::kMmNoError);
    ASSERT_EQ(platform::WaveOutWrite(block.header), platform::kMmNoError);
  }
  ASSERT_EQ(platform::WaveOutReset(), platform::kMmNoError);
  const sdltest::EventList returned = sdltest::WaitForEvents(EventKind::WaveOutDone, 4);
  ASSERT_EQ(returned.size(), 4u);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(returned[k].slot, k + 1);
    EXPECT_TRUE(blocks[k]->Done());
  }
  EXPECT_EQ(platform::WaveOutReset(), platform::kMmNoError);  // nothing queued: nothing comes

  // A block written after the reset plays to its end; so does an empty one.
  Block& shortBlock = AddBlock(7, 200);
  Block& emptyBlock = AddBlock(8, 0);
  for (Block* block : {&shortBlock, &emptyBlock}) {
    ASSERT_EQ(platform::WaveOutPrepareHeader(block->header), platform::kMmNoError);
    ASSERT_EQ(platform::WaveOutWrite(block->header), platform::kMmNoError);
  }
  const sdltest::EventList played = sdltest::WaitForEvents(EventKind::WaveOutDone, 2);
  ASSERT_EQ(played.size(), 2u);
  EXPECT_EQ(played[0].slot, 7);
  EXPECT_EQ(played[1].slot, 8);
  EXPECT_TRUE(shortBlock.Done());
  EXPECT_TRUE(emptyBlock.Done());
  EXPECT_EQ(platform::WaveOutClose(), platform::kMmNoError);
}

TEST_F(HeadlessWave, BadHeadersAreRefused) {
  ASSERT_EQ(platform::WaveOutOpen(kSpeech), platform::kMmNoError);
  ASSERT_EQ(platform::WaveInOpen(kSpeech), platform::kMmNoError);
  platform::WaveHeader negative;
  negative.data = nullptr;
  negative.length = -1;
  platform::WaveHeader missing;
  missing.length = 10;
  for (platform::WaveHeader* header : {&negative, &missing}) {
    EXPECT_EQ(platform::WaveOutPrepareHeader(*header), platform::kMmInvalidParameter);
    EXPECT_EQ(platform::WaveInPrepareHeader(*header), platform::kMmInvalidParameter);
    EXPECT_EQ(platform::WaveOutWrite(*header), platform::kWaveUnprepared);
    EXPECT_EQ(platform::WaveInAddBuffer(*header), platform::kWaveUnprepared);
  }
  EXPECT_EQ(platform::WaveOutClose(), platform::kMmNoError);
  EXPECT_EQ(platform::WaveInClose(), platform::kMmNoError);
}

TEST_F(HeadlessWave, CaptureFillsBuffersWithTheSilenceItHears) {
  ASSERT_EQ(platform::WaveInOpen(kSpeech), platform::kMmNoError);
  Block& first = AddBlock(1, 1024);
  Block& second = AddBlock(2, 700);
  EXPECT_EQ(platform::WaveInAddBuffer(first.header), platform::kWaveUnprepared);
  for (Block* block : {&first, &second}) {
    ASSERT_EQ(platform::WaveInPrepareHeader(block->header), platform::kMmNoError);
    ASSERT_EQ(platform::WaveInAddBuffer(block->header), platform::kMmNoError);
  }
  EXPECT_EQ(platform::WaveInAddBuffer(first.header), platform::kWaveStillPlaying);
  ASSERT_EQ(platform::WaveInStart(), platform::kMmNoError);
  ASSERT_EQ(sdltest::WaitForEvents(EventKind::WaveInData, 2).size(), 2u);
  for (Block* block : {&first, &second}) {
    ASSERT_TRUE(block->Done());
    EXPECT_FALSE(block->Queued());
    EXPECT_EQ(block->header.bytesRecorded.load(std::memory_order_acquire), block->header.length);
    EXPECT_EQ(block->bytes, std::vector<std::uint8_t>(block->bytes.size(), 128));
  }
  EXPECT_EQ(platform::WaveInStop(), platform::kMmNoError);
  EXPECT_EQ(platform::WaveInClose(), platform::kMmNoError);
}

TEST_F(HeadlessWave, StoppedCaptureKeepsEmptyBuffersUntilReset) {
  ASSERT_EQ(platform::WaveInOpen(kSpeech), platform::kMmNoError);
  for (int tag = 1; tag <= 3; ++tag) {
    Block& block = AddBlock(tag, 1024);
    ASSERT_EQ(platform::WaveInPrepareHeader(block.header), platform::kMmNoError);
    ASSERT_EQ(platform::WaveInAddBuffer(block.header), platform::kMmNoError);
  }
  // Never started: stopping returns nothing, the buffers stay with the device.
  EXPECT_EQ(platform::WaveInStop(), platform::kMmNoError);
  EXPECT_EQ(platform::WaveInUnprepareHeader(blocks[0]->header), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveInClose(), platform::kWaveStillPlaying);
  for (const auto& block : blocks) EXPECT_TRUE(block->Queued());

  ASSERT_EQ(platform::WaveInReset(), platform::kMmNoError);
  EXPECT_EQ(sdltest::WaitForEvents(EventKind::WaveInData, 3).size(), 3u);
  for (const auto& block : blocks) {
    EXPECT_TRUE(block->Done());
    EXPECT_FALSE(block->Queued());
    EXPECT_EQ(block->header.bytesRecorded.load(std::memory_order_acquire), 0);
    EXPECT_EQ(platform::WaveInUnprepareHeader(block->header), platform::kMmNoError);
  }
  EXPECT_EQ(platform::WaveInClose(), platform::kMmNoError);
}

// The end of the program closes what the program left open, blocks and buffers still queued,
// and leaves the devices ready to open again.
TEST_F(HeadlessWave, DevicesLeftOpenAreClosedAtTheEnd) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Block& played = AddBlock(1, 5 * 11025);
  Block& recorded = AddBlock(2, 5 * 11025);
  EXPECT_EXIT(
      {
        if (platform::WaveOutOpen(kSpeech) != 0 || platform::WaveInOpen(kSpeech) != 0) std::_Exit(2);
        platform::WaveOutPrepareHeader(played.header);
        platform::WaveOutWrite(played.header);
        platform::WaveInPrepareHeader(recorded.header);
        platform::WaveInAddBuffer(recorded.header);
        platform::WaveInStart();
        platform::sdl::ShutdownAll();
        if (platform::WaveOutIsOpen() || platform::WaveInIsOpen()) std::_Exit(3);
        if (!played.Done() || played.Queued() || !recorded.Done() || recorded.Queued()) {
          std::_Exit(4);
        }
        if (platform::WaveOutOpen(kSpeech) != 0 || platform::WaveInOpen(kSpeech) != 0) std::_Exit(5);
        platform::WaveOutWrite(played.header);
        platform::ExitProgram(0);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
