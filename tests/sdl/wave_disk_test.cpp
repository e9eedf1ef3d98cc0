// What the wave devices really send to and take from the audio device, through SDL's disk
// driver: output is written raw to a file, capture is read raw from one (then silence).

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/system.h"
#include "platform/wave.h"
#include "wave_blocks.h"

namespace {

using platform::EventKind;
using platform::WaveFormat;
using sdltest::Block;
using Bytes = std::vector<std::uint8_t>;

class DiskWave : public testing::Test {
 protected:
  void SetUp() override {
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (driver == nullptr || std::string(driver) != "disk") {
      GTEST_SKIP() << "run through the sdl_wave_disk test entry";
    }
    ASSERT_NE(mkdtemp(folder), nullptr);
    output = std::string(folder) + "/out.raw";
    input = std::string(folder) + "/in.raw";
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    setenv("SDL_DISKAUDIOFILEIN", input.c_str(), 1);
    sdltest::DropPendingEvents();
  }
  void TearDown() override {
    if (platform::WaveOutIsOpen()) {
      platform::WaveOutReset();
      platform::WaveOutClose();
    }
    if (platform::WaveInIsOpen()) {
      platform::WaveInReset();
      platform::WaveInClose();
    }
    sdltest::DropPendingEvents();
    std::remove(output.c_str());
    std::remove(input.c_str());
    rmdir(folder);
  }
  // Milliseconds the disk driver waits per device buffer (0: none).
  static void SetDelay(int milliseconds) {
    setenv("SDL_DISKAUDIODELAY", std::to_string(milliseconds).c_str(), 1);
  }
  Bytes ReadOutput() const {
    std::ifstream file(output, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  }
  void WriteInput(const Bytes& bytes) const {
    std::ofstream file(input, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  Block& AddBlock(Bytes bytes, int tag) {
    blocks.push_back(std::make_unique<Block>(std::move(bytes), tag));
    return *blocks.back();
  }
  Block& WriteBlock(Bytes bytes, int tag) {
    Block& block = AddBlock(std::move(bytes), tag);
    EXPECT_EQ(platform::WaveOutPrepareHeader(block.header), platform::kMmNoError);
    EXPECT_EQ(platform::WaveOutWrite(block.header), platform::kMmNoError);
    return block;
  }
  Block& QueueBuffer(int length, int tag) {
    Block& block = AddBlock(Bytes(static_cast<std::size_t>(length), 7), tag);
    EXPECT_EQ(platform::WaveInPrepareHeader(block.header), platform::kMmNoError);
    EXPECT_EQ(platform::WaveInAddBuffer(block.header), platform::kMmNoError);
    return block;
  }

  char folder[40] = "/tmp/veranto_wave_disk_XXXXXX";
  std::string output;
  std::string input;
  sdltest::Blocks blocks;
};

Bytes Without(Bytes bytes, std::uint8_t silence) {
  bytes.erase(std::remove(bytes.begin(), bytes.end(), silence), bytes.end());
  return bytes;
}

Bytes Recorded(const Block& block) {
  const int count = block.header.bytesRecorded.load(std::memory_order_acquire);
  return Bytes(block.bytes.begin(), block.bytes.begin() + count);
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t count) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
               bytes.begin() + static_cast<std::ptrdiff_t>(std::min(from + count, bytes.size())));
}

struct OutputCase {
  WaveFormat format;
  std::vector<int> blockSizes;
};

// The device is fed silence before and between blocks, which the samples never contain; so
// the output without silence must be the blocks, whole and in order.
TEST_F(DiskWave, BlocksReachTheDeviceWholeAndInOrder) {
  SetDelay(0);
  const OutputCase cases[] = {
      {{11025, 8, 1}, {1000, 1, 0, 2501, 65534}},
      {{16537, 8, 1}, {300, 4000}},
      {{16000, 16, 1}, {2048, 3, 5, 10000}},  // a sample split across two blocks
      {{22050, 16, 2}, {4096, 4096, 12}},
      {{8000, 8, 2}, {512, 513}},
  };
  for (const OutputCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.format.rate) + " Hz " + std::to_string(c.format.bits) +
                 " bits " + std::to_string(c.format.channels) + " channels");
    const std::uint8_t silence = c.format.bits == 8 ? 128 : 0;
    ASSERT_EQ(platform::WaveOutOpen(c.format), platform::kMmNoError);
    Bytes expected;
    for (std::size_t k = 0; k < c.blockSizes.size(); ++k) {
      const Bytes samples = sdltest::Pattern(c.blockSizes[k], 100 + k, silence);
      expected.insert(expected.end(), samples.begin(), samples.end());
      WriteBlock(samples, 10 + static_cast<int>(k));
    }
    const sdltest::EventList done = sdltest::WaitForEvents(EventKind::WaveOutDone, c.blockSizes.size());
    ASSERT_EQ(done.size(), c.blockSizes.size());
    for (std::size_t k = 0; k < done.size(); ++k) {
      EXPECT_EQ(done[k].slot, 10 + static_cast<int>(k));
      EXPECT_TRUE(blocks[k]->Done());
      EXPECT_FALSE(blocks[k]->Queued());
    }
    ASSERT_EQ(platform::WaveOutClose(), platform::kMmNoError);
    const Bytes played = ReadOutput();
    EXPECT_GE(played.size(), expected.size());
    EXPECT_TRUE(Without(played, silence) == expected) << "the played bytes differ";
    blocks.clear();
  }
}

TEST_F(DiskWave, ResetSilencesTheRestAtOnce) {
  SetDelay(20);  // 20 ms for each 256 bytes (50 ms at 8000 Hz): each block lasts 600 ms
  ASSERT_EQ(platform::WaveOutOpen({8000, 8, 1}), platform::kMmNoError);
  Bytes all;
  for (int tag = 1; tag <= 4; ++tag) {
    const Bytes samples = sdltest::Pattern(8000, tag, 128);
    all.insert(all.end(), samples.begin(), samples.end());
    WriteBlock(samples, tag);
  }
  const sdltest::EventList first = sdltest::WaitForEvents(EventKind::WaveOutDone, 1);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].slot, 1);
  ASSERT_EQ(platform::WaveOutReset(), platform::kMmNoError);
  const sdltest::EventList rest = sdltest::WaitForEvents(EventKind::WaveOutDone, 3);
  ASSERT_EQ(rest.size(), 3u);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(rest[k].slot, k + 2);
  for (const auto& block : blocks) EXPECT_TRUE(block->Done());
  platform::Sleep(100);  // the device goes on playing: silence only
  ASSERT_EQ(platform::WaveOutClose(), platform::kMmNoError);

  const Bytes heard = Without(ReadOutput(), 128);
  EXPECT_GE(heard.size(), 8000u);
  EXPECT_LT(heard.size(), all.size()) << "the reset did not stop the blocks";
  EXPECT_TRUE(Slice(all, 0, heard.size()) == heard) << "what was heard is not the blocks' start";
}

TEST_F(DiskWave, CaptureFillsBuffersFromTheInputInOrder) {
  SetDelay(0);
  const Bytes recording = sdltest::Pattern(5000, 9);
  WriteInput(recording);
  ASSERT_EQ(platform::WaveInOpen({11025, 8, 1}), platform::kMmNoError);
  for (int k = 0; k < 8; ++k) QueueBuffer(1024, k);
  ASSERT_EQ(platform::WaveInStart(), platform::kMmNoError);
  ASSERT_EQ(sdltest::WaitForEvents(EventKind::WaveInData, 8).size(), 8u);
  EXPECT_EQ(platform::WaveInStop(), platform::kMmNoError);

  // After the end of the file the driver records silence.
  Bytes expected = recording;
  expected.resize(8 * 1024, 128);
  for (int k = 0; k < 8; ++k) {
    SCOPED_TRACE("buffer " + std::to_string(k));
    ASSERT_TRUE(blocks[k]->Done());
    EXPECT_FALSE(blocks[k]->Queued());
    EXPECT_EQ(blocks[k]->header.bytesRecorded.load(std::memory_order_acquire), 1024);
    EXPECT_TRUE(blocks[k]->bytes == Slice(expected, k * 1024, 1024));
  }
  EXPECT_EQ(platform::WaveInClose(), platform::kMmNoError);
}

// With a buffer far longer than the wait, stopping or resetting returns what it holds.
class DiskWavePartly : public DiskWave, public testing::WithParamInterface<bool> {};

TEST_P(DiskWavePartly, ReturnsAPartlyFilledBufferWithWhatItHolds) {
  const bool reset = GetParam();
  SetDelay(20);  // 20 ms for each 512 bytes
  const Bytes recording = sdltest::Pattern(60000, 5);
  WriteInput(recording);
  ASSERT_EQ(platform::WaveInOpen({11025, 8, 1}), platform::kMmNoError);
  Block& first = QueueBuffer(512, 1);
  Block& partly = QueueBuffer(100000, 2);
  Block& last = QueueBuffer(1000, 3);
  ASSERT_EQ(platform::WaveInStart(), platform::kMmNoError);
  ASSERT_EQ(sdltest::WaitForEvents(EventKind::WaveInData, 1).size(), 1u);
  ASSERT_TRUE(first.Done());
  EXPECT_TRUE(Recorded(first) == Slice(recording, 0, 512));
  platform::Sleep(200);
  EXPECT_FALSE(partly.Done());

  ASSERT_EQ(reset ? platform::WaveInReset() : platform::WaveInStop(), platform::kMmNoError);
  ASSERT_TRUE(partly.Done());
  const Bytes held = Recorded(partly);
  EXPECT_GT(held.size(), 0u);
  EXPECT_LT(held.size(), 100000u);
  EXPECT_TRUE(held == Slice(recording, 512, held.size())) << "the buffer does not hold the input";
  if (reset) {
    EXPECT_TRUE(last.Done());
    EXPECT_EQ(last.header.bytesRecorded.load(), 0);
    EXPECT_EQ(sdltest::WaitForEvents(EventKind::WaveInData, 2).size(), 2u);
  } else {
    // The empty buffer waits for the next start and then takes the input that follows.
    EXPECT_TRUE(last.Queued());
    EXPECT_FALSE(last.Done());
    ASSERT_EQ(sdltest::WaitForEvents(EventKind::WaveInData, 1).size(), 1u);
    ASSERT_EQ(platform::WaveInStart(), platform::kMmNoError);
    ASSERT_EQ(sdltest::WaitForEvents(EventKind::WaveInData, 1).size(), 1u);
    ASSERT_TRUE(last.Done());
    ASSERT_EQ(last.header.bytesRecorded.load(), 1000);
    const auto found = std::search(recording.begin() + 512 + held.size(), recording.end(),
                                   last.bytes.begin(), last.bytes.end());
    EXPECT_NE(found, recording.end()) << "the last buffer is not a later stretch of the input";
    EXPECT_EQ(platform::WaveInStop(), platform::kMmNoError);
  }
  EXPECT_EQ(platform::WaveInClose(), platform::kMmNoError);
}

INSTANTIATE_TEST_SUITE_P(StopAndReset, DiskWavePartly, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Reset" : "Stop";
                         });

}  // namespace
