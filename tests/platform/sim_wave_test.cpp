#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "platform/system.h"
#include "platform/wave.h"
#include "temp_folder.h"

namespace {

using platform::Event;
using platform::EventKind;
using platform::WaveFormat;
using platform::WaveHeader;

constexpr WaveFormat kMono8{11025, 8, 1};
constexpr WaveFormat kStereo16{44100, 16, 2};

// A block or capture buffer the test owns: its bytes and the header that describes them.
struct Buffer {
  std::vector<std::uint8_t> bytes;
  WaveHeader header;

  Buffer(std::vector<std::uint8_t> content, int user) : bytes(std::move(content)) {
    header.data = bytes.data();
    header.length = static_cast<int>(bytes.size());
    header.user = user;
  }
  bool Done() const { return (header.flags.load(std::memory_order_acquire) & platform::kWaveHeaderDone) != 0; }
  bool Queued() const { return (header.flags.load() & platform::kWaveHeaderInQueue) != 0; }
  bool Prepared() const { return (header.flags.load() & platform::kWaveHeaderPrepared) != 0; }
};

std::vector<std::uint8_t> Ramp(int length, int from = 0) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
  for (int i = 0; i < length; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((from + i) % 256);
  return bytes;
}

struct Happening {
  EventKind kind;
  int slot;
  std::int64_t time;
};

std::vector<Happening> Drain() {
  std::vector<Happening> happenings;
  Event event;
  while (platform::PeekEvent(event)) happenings.push_back({event.kind, event.slot, sim::Now()});
  return happenings;
}

std::vector<int> Slots(const std::vector<Happening>& happenings) {
  std::vector<int> slots;
  for (const Happening& h : happenings) slots.push_back(h.slot);
  return slots;
}

int Peak(const std::uint8_t* bytes, int count) {
  int peak = 0;
  for (int i = 0; i < count; ++i) peak = std::max(peak, bytes[i] == 0 ? 128 : std::abs(bytes[i] - 128));
  return peak;
}

std::int64_t CeilMs(std::int64_t frames, int rate) { return (frames * 1000 + rate - 1) / rate; }

class SimWaveTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    sim::Reset();
  }

  // Opens the output device and writes `buffer`, prepared.
  static void Play(Buffer& buffer) {
    ASSERT_EQ(platform::WaveOutPrepareHeader(buffer.header), 0);
    ASSERT_EQ(platform::WaveOutWrite(buffer.header), 0);
  }
  static void Queue(Buffer& buffer) {
    ASSERT_EQ(platform::WaveInPrepareHeader(buffer.header), 0);
    ASSERT_EQ(platform::WaveInAddBuffer(buffer.header), 0);
  }

  std::string WriteWave(const std::string& name, WaveFormat format, const std::vector<std::uint8_t>& data) {
    std::string image = "RIFF";
    auto put = [&](std::uint32_t v, int bytes) {
      for (int i = 0; i < bytes; ++i) image.push_back(static_cast<char>(v >> (8 * i)));
    };
    const auto align = static_cast<std::uint32_t>(format.channels * format.bits / 8);
    put(36 + 12 + static_cast<std::uint32_t>(data.size()), 4);
    image += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(static_cast<std::uint32_t>(format.channels), 2);
    put(static_cast<std::uint32_t>(format.rate), 4);
    put(static_cast<std::uint32_t>(format.rate) * align, 4);
    put(align, 2);
    put(static_cast<std::uint32_t>(format.bits), 2);
    image += "LIST";  // a chunk between "fmt " and "data" is skipped
    put(4, 4);
    image += "INFO";
    image += "data";
    put(static_cast<std::uint32_t>(data.size()), 4);
    image.append(data.begin(), data.end());
    return WriteFile(name, image);
  }
};

// ---------------------------------------------------------------- output timing

TEST_F(SimWaveTest, ABlockLastsItsLengthAtTheByteRate) {
  struct Case {
    WaveFormat format;
    int length;
    double endMs;
    std::int64_t doneAt;
  };
  const Case cases[] = {
      {kMono8, 11025, 1000.0, 1000},
      {kMono8, 1024, 1024000.0 / 11025, 93},
      {kStereo16, 176400, 1000.0, 1000},
      {kStereo16, 4, 1000.0 / 44100, 1},
      {{16000, 16, 1}, 8000, 250.0, 250},
      {{22050, 8, 2}, 441, 10.0, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    sim::Reset();
    platform::Sleep(40);
    ASSERT_EQ(platform::WaveOutOpen(c.format), 0);
    Buffer block(Ramp(c.length), 7);
    Play(block);
    EXPECT_TRUE(block.Queued());
    platform::Sleep(static_cast<int>(c.doneAt) - 1);
    EXPECT_TRUE(Drain().empty());
    EXPECT_FALSE(block.Done());
    platform::Sleep(1);
    const std::vector<Happening> done = Drain();
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].kind, EventKind::WaveOutDone);
    EXPECT_EQ(done[0].slot, 7);
    EXPECT_TRUE(block.Done());
    EXPECT_FALSE(block.Queued());
    ASSERT_EQ(sim::WaveBlocks().size(), 1u);
    EXPECT_DOUBLE_EQ(sim::WaveBlocks()[0].startMs, 40.0);
    EXPECT_DOUBLE_EQ(sim::WaveBlocks()[0].endMs, 40.0 + c.endMs);
    EXPECT_EQ(sim::WaveBlocks()[0].playedLength, c.length);
  }
}

TEST_F(SimWaveTest, BlocksStreamedFromDoneEventsPlayBackToBackWithoutDrift) {
  ASSERT_EQ(platform::WaveOutOpen(kMono8), 0);
  constexpr int kBlocks = 1000;
  constexpr int kLength = 1024;
  std::vector<std::unique_ptr<Buffer>> slots;
  for (int i = 0; i < 4; ++i) slots.push_back(std::make_unique<Buffer>(Ramp(kLength), i));
  int written = 0;
  int done = 0;
  for (; written < 4; ++written) Play(*slots[static_cast<std::size_t>(written)]);
  std::vector<std::int64_t> doneTimes;
  while (done < kBlocks) {
    platform::WaitEvent();
    Event event;
    while (platform::PeekEvent(event)) {
      ASSERT_EQ(event.kind, EventKind::WaveOutDone);
      ASSERT_EQ(event.slot, done % 4);
      doneTimes.push_back(sim::Now());
      ++done;
      Buffer& slot = *slots[static_cast<std::size_t>(event.slot)];
      ASSERT_EQ(platform::WaveOutUnprepareHeader(slot.header), 0);
      if (written < kBlocks) {
        Play(slot);
        ++written;
      }
    }
  }
  for (int k = 1; k <= kBlocks; ++k) {
    ASSERT_EQ(doneTimes[static_cast<std::size_t>(k - 1)], CeilMs(std::int64_t{k} * kLength, 11025)) << k;
  }
  const auto& blocks = sim::WaveBlocks();
  for (std::size_t i = 1; i < blocks.size(); ++i) ASSERT_DOUBLE_EQ(blocks[i].startMs, blocks[i - 1].endMs);
  EXPECT_NEAR(blocks.back().endMs, 1024.0 * kBlocks * 1000 / 11025, 1e-6);
  EXPECT_EQ(platform::WaveOutClose(), 0);
}

TEST_F(SimWaveTest, ADeviceThatRanDryStartsTheNextBlockWhenItIsWritten) {
  ASSERT_EQ(platform::WaveOutOpen(kMono8), 0);
  Buffer first(Ramp(110), 1);
  Buffer second(Ramp(110), 2);
  Play(first);
  platform::Sleep(50);
  EXPECT_EQ(Slots(Drain()), std::vector<int>{1});
  Play(second);
  EXPECT_DOUBLE_EQ(sim::WaveBlocks()[1].startMs, 50.0);
  EXPECT_NEAR(sim::WaveBlocks()[1].endMs, 50.0 + 110000.0 / 11025, 1e-9);
}

TEST_F(SimWaveTest, DoneEventsComeInOrderWithTheirTagsAndInTimeOrderWithKeys) {
  ASSERT_EQ(platform::WaveOutOpen(kMono8), 0);
  Buffer a(Ramp(2205), 3);  // 200 ms
  Buffer b(Ramp(2205), 1);
  Buffer c(Ramp(0), 4);     // no length: over as soon as it begins, after b
  Buffer d(Ramp(2205), 2);
  sim::PressKeyAt(300, platform::VkLetter('K'));
  Play(a);
  Play(b);
  Play(c);
  Play(d);
  platform::Sleep(1000);
  std::vector<EventKind> kinds;
  std::vector<int> slots;
  Event event;
  while (platform::PeekEvent(event)) {
    if (event.kind == EventKind::WaveOutDone) slots.push_back(event.slot);
    if (event.kind == EventKind::WaveOutDone || event.kind == EventKind::KeyDown) kinds.push_back(event.kind);
  }
  EXPECT_EQ(slots, (std::vector<int>{3, 1, 4, 2}));
  EXPECT_EQ(kinds, (std::vector<EventKind>{EventKind::WaveOutDone, EventKind::KeyDown, EventKind::WaveOutDone,
                                           EventKind::WaveOutDone, EventKind::WaveOutDone}));
}

// ---------------------------------------------------------------- reset, records, files

TEST_F(SimWaveTest, ResetReturnsEveryBlockAndRecordsTheCut) {
  struct Case {
    WaveFormat format;
    int sleepMs;
    int played;  // whole frames before the cut, in bytes
  };
  const Case cases[] = {
      {kMono8, 250, 2756},        // 250 ms × 11 025 = 2756.25 frames
      {kStereo16, 3, 132 * 4},    // 3 ms × 44 100 = 132.3 frames
      {{8000, 16, 1}, 0, 0},      // reset before a single frame sounded
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sleepMs);
    sim::Reset();
    ASSERT_EQ(platform::WaveOutOpen(c.format), 0);
    std::vector<std::unique_ptr<Buffer>> blocks;
    for (int i = 0; i < 3; ++i) {
      blocks.push_back(std::make_unique<Buffer>(Ramp(c.format.rate * 4, i), 10 + i));
      Play(*blocks.back());
    }
    platform::Sleep(c.sleepMs);
    EXPECT_EQ(platform::WaveOutClose(), platform::kWaveStillPlaying);
    EXPECT_EQ(platform::WaveOutReset(), 0);
    for (const auto& block : blocks) {
      EXPECT_TRUE(block->Done());
      EXPECT_FALSE(block->Queued());
    }
    EXPECT_EQ(Slots(Drain()), (std::vector<int>{10, 11, 12}));
    const auto& records = sim::WaveBlocks();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(records[0].cut);
    EXPECT_DOUBLE_EQ(records[0].startMs, 0.0);
    EXPECT_DOUBLE_EQ(records[0].endMs, c.sleepMs);
    EXPECT_EQ(records[0].playedLength, c.played);
    for (int i = 1; i < 3; ++i) {
      EXPECT_TRUE(records[static_cast<std::size_t>(i)].cut);
      EXPECT_DOUBLE_EQ(records[static_cast<std::size_t>(i)].startMs, c.sleepMs);
      EXPECT_EQ(records[static_cast<std::size_t>(i)].playedLength, 0);
    }
    const std::vector<std::uint8_t> played = sim::PlayedWaveBytes();
    EXPECT_EQ(played, std::vector<std::uint8_t>(blocks[0]->bytes.begin(), blocks[0]->bytes.begin() + c.played));
    // Nothing is left to finish; the next block starts now.
    platform::Sleep(10000);
    EXPECT_TRUE(Drain().empty());
    Buffer next(Ramp(4), 5);
    Play(next);
    EXPECT_DOUBLE_EQ(sim::WaveBlocks().back().startMs, c.sleepMs + 10000.0);
    platform::Sleep(1);
    EXPECT_EQ(platform::WaveOutClose(), 0);
    EXPECT_FALSE(platform::WaveOutIsOpen());
  }
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Le(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

TEST_F(SimWaveTest, PlayedAudioIsSavedAsAWaveFilePerFormat) {
  ASSERT_EQ(platform::WaveOutOpen(kStereo16), 0);
  Buffer a(Ramp(400, 0), 1);
  Buffer b(Ramp(400, 100), 2);
  Play(a);
  Play(b);
  platform::Sleep(10);
  ASSERT_EQ(Drain().size(), 2u);
  ASSERT_EQ(platform::WaveOutClose(), 0);
  ASSERT_EQ(platform::WaveOutOpen(kMono8), 0);
  Buffer c(Ramp(11025, 7), 3);
  Play(c);
  platform::Sleep(500);
  ASSERT_EQ(platform::WaveOutReset(), 0);  // cut after 5512 frames
  ASSERT_EQ(platform::WaveOutClose(), 0);

  const std::string mixed = Folder() + "/mixed.wav";
  EXPECT_FALSE(sim::SaveWaveOut(mixed));  // two formats in one file
  EXPECT_FALSE(std::ifstream(mixed).good());
  EXPECT_FALSE(sim::SaveWaveOut(mixed, 3));  // no such block

  struct Case {
    std::size_t first;
    std::size_t count;
    WaveFormat format;
    std::vector<std::uint8_t> data;
  };
  std::vector<std::uint8_t> stereoData = a.bytes;
  stereoData.insert(stereoData.end(), b.bytes.begin(), b.bytes.end());
  const Case cases[] = {
      {0, 2, kStereo16, stereoData},
      {2, 99, kMono8, std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.begin() + 5512)},
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.first);
    const std::string path = Folder() + "/run" + std::to_string(cs.first) + ".wav";
    ASSERT_TRUE(sim::SaveWaveOut(path, cs.first, cs.count));
    EXPECT_EQ(sim::PlayedWaveBytes(cs.first, cs.count), cs.data);
    const std::vector<std::uint8_t> file = ReadAll(path);
    ASSERT_EQ(file.size(), 44 + cs.data.size());
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(Le(file, 4, 4), 36 + cs.data.size());
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le(file, 16, 4), 16u);
    EXPECT_EQ(Le(file, 20, 2), 1u);
    EXPECT_EQ(Le(file, 22, 2), static_cast<std::uint32_t>(cs.format.channels));
    EXPECT_EQ(Le(file, 24, 4), static_cast<std::uint32_t>(cs.format.rate));
    const std::uint32_t align = static_cast<std::uint32_t>(cs.format.channels * cs.format.bits / 8);
    EXPECT_EQ(Le(file, 28, 4), cs.format.rate * align);
    EXPECT_EQ(Le(file, 32, 2), align);
    EXPECT_EQ(Le(file, 34, 2), static_cast<std::uint32_t>(cs.format.bits));
    EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
    EXPECT_EQ(Le(file, 40, 4), cs.data.size());
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 44, file.end()), cs.data);
  }
  EXPECT_EQ(sim::PlayedWaveBytes().size(), 800u + 5512u);
}

// ---------------------------------------------------------------- codes and faults

TEST_F(SimWaveTest, OpensCheckTheFormat) {
  struct Case {
    WaveFormat format;
    int result;
  };
  const Case cases[] = {
      {{1, 8, 1}, 0},           {{200000, 16, 2}, 0},     {{0, 8, 1}, platform::kWaveBadFormat},
      {{200001, 8, 1}, 32},     {{11025, 12, 1}, 32},     {{11025, 8, 3}, 32},
      {{11025, 16, 0}, 32},     {{-5, 8, 1}, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format.rate * 100 + c.format.bits * 10 + c.format.channels);
    EXPECT_EQ(platform::WaveOutOpen(c.format), c.result);
    EXPECT_EQ(platform::WaveOutIsOpen(), c.result == 0);
    EXPECT_EQ(platform::WaveInOpen(c.format), c.result);
    EXPECT_EQ(platform::WaveInIsOpen(), c.result == 0);
    if (c.result == 0) {
      EXPECT_EQ(platform::WaveOutOpen(c.format), platform::kMmAllocated);
      EXPECT_EQ(platform::WaveInOpen(c.format), platform::kMmAllocated);
      EXPECT_EQ(platform::WaveOutClose(), 0);
      EXPECT_EQ(platform::WaveInClose(), 0);
    }
  }
  EXPECT_EQ(sim::WaveOutOpens().size(), 10u);
  EXPECT_EQ(sim::WaveOutOpens()[1].result, platform::kMmAllocated);
  EXPECT_EQ(sim::WaveInOpens()[2].format.rate, 200000);
}

TEST_F(SimWaveTest, HeaderRulesAnswerTheirCodes) {
  Buffer block(Ramp(100), 1);
  EXPECT_EQ(platform::WaveOutPrepareHeader(block.header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutWrite(block.header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutReset(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutClose(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInStart(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInAddBuffer(block.header), platform::kMmInvalidHandle);

  ASSERT_EQ(platform::WaveOutOpen(kMono8), 0);
  EXPECT_EQ(platform::WaveOutWrite(block.header), platform::kWaveUnprepared);
  ASSERT_EQ(platform::WaveOutPrepareHeader(block.header), 0);
  EXPECT_TRUE(block.Prepared());
  ASSERT_EQ(platform::WaveOutWrite(block.header), 0);
  EXPECT_EQ(platform::WaveOutWrite(block.header), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveOutUnprepareHeader(block.header), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveOutClose(), platform::kWaveStillPlaying);
  platform::Sleep(10);
  EXPECT_EQ(platform::WaveOutUnprepareHeader(block.header), 0);
  EXPECT_FALSE(block.Prepared());
  EXPECT_TRUE(block.Done());
  EXPECT_EQ(platform::WaveOutClose(), 0);

  ASSERT_EQ(platform::WaveInOpen(kMono8), 0);
  Buffer buffer(std::vector<std::uint8_t>(64), 2);
  Buffer empty(std::vector<std::uint8_t>(), 3);
  EXPECT_EQ(platform::WaveInAddBuffer(buffer.header), platform::kWaveUnprepared);
  ASSERT_EQ(platform::WaveInPrepareHeader(buffer.header), 0);
  ASSERT_EQ(platform::WaveInPrepareHeader(empty.header), 0);
  EXPECT_EQ(platform::WaveInAddBuffer(empty.header), platform::kMmInvalidParameter);
  ASSERT_EQ(platform::WaveInAddBuffer(buffer.header), 0);
  EXPECT_EQ(platform::WaveInAddBuffer(buffer.header), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveInUnprepareHeader(buffer.header), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveInClose(), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveInReset(), 0);
  EXPECT_EQ(platform::WaveInUnprepareHeader(buffer.header), 0);
  EXPECT_EQ(platform::WaveInClose(), 0);
}

TEST_F(SimWaveTest, ScriptedFaultsAnswerTheirCodes) {
  // Open faults: once, always until cleared, busy K times; the format is checked after them.
  sim::FailWaveOutOpen(platform::kMmNoDriver);
  EXPECT_EQ(platform::WaveOutOpen({0, 0, 0}), platform::kMmNoDriver);
  EXPECT_EQ(platform::WaveOutOpen(kMono8), 0);
  ASSERT_EQ(platform::WaveOutClose(), 0);

  sim::FailWaveOutOpen(platform::kMmBadDeviceId, true);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(platform::WaveOutOpen(kMono8), platform::kMmBadDeviceId);
  sim::ClearWaveFaults();
  EXPECT_EQ(platform::WaveOutOpen(kMono8), 0);
  ASSERT_EQ(platform::WaveOutClose(), 0);

  sim::MakeWaveOutBusy(3);
  std::vector<int> results;
  for (int i = 0; i < 5; ++i) {
    results.push_back(platform::WaveOutOpen(kMono8));
    platform::Sleep(100);
  }
  EXPECT_EQ(results, (std::vector<int>{4, 4, 4, 0, 4}));  // the last: already open
  ASSERT_EQ(platform::WaveOutClose(), 0);

  sim::FailWaveInOpen(platform::kMmNoDriver);
  EXPECT_EQ(platform::WaveOutOpen(kMono8), 0);  // only the input device fails
  EXPECT_EQ(platform::WaveInOpen(kMono8), platform::kMmNoDriver);
  EXPECT_EQ(platform::WaveInOpen(kMono8), 0);
  ASSERT_EQ(platform::WaveInClose(), 0);
  sim::FailWaveInOpen(platform::kMmNoMemory, true);
  EXPECT_EQ(platform::WaveInOpen(kMono8), platform::kMmNoMemory);
  EXPECT_EQ(platform::WaveInOpen(kMono8), platform::kMmNoMemory);

  // Unprepare faults: the next two unprepares fail and leave the header prepared.
  sim::FailWaveOutUnprepare(platform::kMmInvalidHandle, 2);
  Buffer block(Ramp(10), 1);
  Play(block);
  platform::Sleep(1);
  EXPECT_EQ(platform::WaveOutUnprepareHeader(block.header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutUnprepareHeader(block.header), platform::kMmInvalidHandle);
  EXPECT_TRUE(block.Prepared());
  EXPECT_EQ(platform::WaveOutUnprepareHeader(block.header), 0);
  EXPECT_FALSE(block.Prepared());

  const auto& opens = sim::WaveOutOpens();
  ASSERT_EQ(opens.size(), 12u);
  EXPECT_EQ(opens[7].time, 100);
  EXPECT_EQ(opens[9].time, 300);
  EXPECT_EQ(opens[9].result, 0);
}

// ---------------------------------------------------------------- waits

TEST_F(SimWaveTest, AWaitForADeviceHappeningAdvancesTimeInsteadOfStalling) {
  struct Case {
    const char* name;
    std::function<void()> setUp;
    bool stalls;
    std::int64_t wokenAt;
  };
  auto buffers = std::make_shared<std::deque<Buffer>>();
  const Case cases[] = {
      {"playing block", [&] {
         ASSERT_EQ(platform::WaveOutOpen(kMono8), 0);
         Play(buffers->emplace_back(Ramp(11025), 1));
       }, false, 1000},
      {"started capture with a buffer", [&] {
         ASSERT_EQ(platform::WaveInOpen(kMono8), 0);
         Queue(buffers->emplace_back(std::vector<std::uint8_t>(1024), 1));
         ASSERT_EQ(platform::WaveInStart(), 0);
       }, false, 93},
      {"nothing open", [] {}, true, 0},
      {"idle output device", [&] { ASSERT_EQ(platform::WaveOutOpen(kMono8), 0); }, true, 0},
      {"started capture without a buffer", [&] {
         ASSERT_EQ(platform::WaveInOpen(kMono8), 0);
         ASSERT_EQ(platform::WaveInStart(), 0);
       }, true, 0},
      {"capture with a buffer, not started", [&] {
         ASSERT_EQ(platform::WaveInOpen(kMono8), 0);
         Queue(buffers->emplace_back(std::vector<std::uint8_t>(1024), 1));
       }, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::Reset();
    buffers->clear();
    c.setUp();
    const sim::RunResult result = sim::Run([] { platform::WaitEvent(); });
    EXPECT_EQ(result.stalled, c.stalls);
    if (!c.stalls) {
      EXPECT_EQ(sim::Now(), c.wokenAt);
    } else {
      EXPECT_EQ(result.message, "the program waits for input, but the script has nothing more to give (at 0 ms)");
    }
  }
  sim::Reset();
}

// ---------------------------------------------------------------- capture

TEST_F(SimWaveTest, CaptureBuffersFillEveryBufferLengthOfFrames) {
  ASSERT_EQ(platform::WaveInOpen(kMono8), 0);
  std::vector<std::unique_ptr<Buffer>> slots;
  for (int i = 0; i < 8; ++i) {
    slots.push_back(std::make_unique<Buffer>(std::vector<std::uint8_t>(1024, 0xEE), i));
    Queue(*slots.back());
  }
  platform::Sleep(500);  // not started yet: nothing fills
  EXPECT_TRUE(Drain().empty());
  ASSERT_EQ(platform::WaveInStart(), 0);
  const std::int64_t started = sim::Now();
  for (int k = 1; k <= 108; ++k) {
    Buffer& slot = *slots[static_cast<std::size_t>((k - 1) % 8)];
    while (!slot.Done()) platform::WaitEvent();
    ASSERT_EQ(sim::Now() - started, CeilMs(std::int64_t{k} * 1024, 11025)) << k;
    const std::vector<Happening> events = Drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, EventKind::WaveInData);
    EXPECT_EQ(events[0].slot, (k - 1) % 8);
    ASSERT_EQ(slot.header.bytesRecorded.load(std::memory_order_acquire), 1024);
    ASSERT_EQ(Peak(slot.bytes.data(), 1024), 0);  // no source set: silence
    ASSERT_EQ(platform::WaveInUnprepareHeader(slot.header), 0);
    slot.header.flags.store(0);
    Queue(slot);
  }
  EXPECT_EQ(sim::Now() - started, 10032);  // 108 × 1024 frames last 10 031.02 ms
  EXPECT_EQ(platform::WaveInStop(), 0);
  EXPECT_EQ(platform::WaveInReset(), 0);
  EXPECT_EQ(Drain().size(), 8u);
  EXPECT_EQ(platform::WaveInClose(), 0);
}

// Waits for the device as a program would: every wait ends with the events it brought handled.
void WaitUntilDone(Buffer& buffer) {
  Event event;
  while (!buffer.Done()) {
    platform::WaitEvent();
    while (platform::PeekEvent(event)) {
    }
  }
}

// Records `count` buffers of `length` bytes at `format`, keeping two queued so none is lost.
std::vector<std::uint8_t> Record(WaveFormat format, int count, int length) {
  std::vector<std::uint8_t> recorded;
  EXPECT_EQ(platform::WaveInOpen(format), 0);
  std::deque<Buffer> buffers;
  auto queue = [](Buffer& buffer) {
    buffer.header.flags.store(0);
    EXPECT_EQ(platform::WaveInPrepareHeader(buffer.header), 0);
    EXPECT_EQ(platform::WaveInAddBuffer(buffer.header), 0);
  };
  for (int i = 0; i < 2; ++i) queue(buffers.emplace_back(std::vector<std::uint8_t>(static_cast<std::size_t>(length)), i));
  EXPECT_EQ(platform::WaveInStart(), 0);
  for (int i = 0; i < count; ++i) {
    Buffer& buffer = buffers[static_cast<std::size_t>(i % 2)];
    WaitUntilDone(buffer);
    recorded.insert(recorded.end(), buffer.bytes.begin(), buffer.bytes.begin() + buffer.header.bytesRecorded.load());
    EXPECT_EQ(platform::WaveInUnprepareHeader(buffer.header), 0);
    queue(buffer);
  }
  EXPECT_EQ(platform::WaveInReset(), 0);
  EXPECT_EQ(platform::WaveInClose(), 0);
  Drain();
  return recorded;
}

TEST_F(SimWaveTest, LevelSequencesGiveBuffersOfKnownPeaks) {
  sim::SetMicrophoneBufferLevels({5, 64, 0, 128, 127, 1});
  const std::vector<std::uint8_t> bytes = Record(kMono8, 8, 1024);
  std::vector<int> peaks;
  for (int b = 0; b < 8; ++b) peaks.push_back(Peak(bytes.data() + b * 1024, 1024));
  EXPECT_EQ(peaks, (std::vector<int>{5, 64, 0, 128, 127, 1, 0, 0}));
  // The exact samples: alternating below and above the centre from each span's start.
  EXPECT_EQ(bytes[0], 123);
  EXPECT_EQ(bytes[1], 133);
  EXPECT_EQ(bytes[1024], 64);
  EXPECT_EQ(bytes[1025], 192);
  EXPECT_EQ(bytes[3 * 1024 + 1], 0);
  EXPECT_EQ(bytes[4 * 1024 + 1], 255);
}

TEST_F(SimWaveTest, LevelSpansInMillisecondsCoverTheirFrames) {
  sim::SetMicrophoneLevels({{100, 20}, {100, 40}});
  const std::vector<std::uint8_t> bytes = Record(kMono8, 3, 1024);
  // Spans end at frames floor(100 × 11.025) = 1102 and floor(200 × 11.025) = 2205.
  EXPECT_EQ(bytes[1101], 148);
  EXPECT_EQ(bytes[1102], 88);
  EXPECT_EQ(bytes[1103], 168);
  EXPECT_EQ(bytes[2204], 88);
  EXPECT_EQ(bytes[2205], 128);
  EXPECT_EQ(Peak(bytes.data(), 1024), 20);
  EXPECT_EQ(Peak(bytes.data() + 1024, 1024), 40);  // overlaps both spans
  EXPECT_EQ(Peak(bytes.data() + 2205, 3072 - 2205), 0);
}

TEST_F(SimWaveTest, SinesReachTheirAmplitudeOnTheirCrests) {
  sim::SetMicrophoneSine(50, 11025.0 / 4);
  std::vector<std::uint8_t> bytes = Record(kMono8, 2, 1024);
  EXPECT_EQ(Peak(bytes.data(), 2048), 50);
  EXPECT_EQ(bytes[0], 128);
  EXPECT_EQ(bytes[1], 178);
  EXPECT_EQ(bytes[3], 78);

  sim::SetMicrophoneSine(30, 440, 100);  // ends after 1102 frames
  bytes = Record(kMono8, 2, 1024);
  EXPECT_LE(Peak(bytes.data(), 1024), 30);
  EXPECT_GE(Peak(bytes.data(), 1024), 29);
  EXPECT_EQ(Peak(bytes.data() + 1102, 2048 - 1102), 0);

  sim::SetMicrophoneSine(128, 11025.0 / 4);  // clamped at the top
  bytes = Record({11025, 16, 2}, 1, 64);
  auto sample = [&](int frame, int channel) {
    return static_cast<std::int16_t>(bytes[static_cast<std::size_t>(frame * 4 + channel * 2)] |
                                     bytes[static_cast<std::size_t>(frame * 4 + channel * 2 + 1)] << 8);
  };
  EXPECT_EQ(sample(1, 0), 32767);
  EXPECT_EQ(sample(1, 1), 32767);
  EXPECT_EQ(sample(3, 0), -32768);
  EXPECT_EQ(sample(2, 1), 0);
}

TEST_F(SimWaveTest, WaveFilesAreRecordedAsTheyWereOrConverted) {
  const std::vector<std::uint8_t> ramp = Ramp(3000, 1);
  ASSERT_TRUE(sim::SetMicrophoneWaveFile(WriteWave("ramp.wav", kMono8, ramp)));
  std::vector<std::uint8_t> bytes = Record(kMono8, 3, 1024);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 3000), ramp);
  EXPECT_EQ(Peak(bytes.data() + 3000, 72), 0);  // silence after the file

  // 16-bit stereo at twice the device rate: every other frame, mean of the channels.
  std::vector<std::uint8_t> stereo;
  for (int f = 0; f < 8; ++f) {
    const int left = f * 1000 - 3000;
    const int right = -f * 256;
    for (int v : {left, right}) {
      stereo.push_back(static_cast<std::uint8_t>(v & 0xFF));
      stereo.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
  }
  ASSERT_TRUE(sim::SetMicrophoneWaveFile(WriteWave("stereo.wav", {22050, 16, 2}, stereo)));
  bytes = Record({11025, 16, 1}, 1, 10);
  std::vector<int> samples;
  for (int f = 0; f < 5; ++f) samples.push_back(static_cast<std::int16_t>(bytes[f * 2] | bytes[f * 2 + 1] << 8));
  EXPECT_EQ(samples, (std::vector<int>{-1500, -756, -12, 732, 0}));

  // Not a PCM wave file: refused, and the source stays as it was.
  ASSERT_TRUE(sim::SetMicrophoneWaveFile(WriteWave("again.wav", kMono8, ramp)));
  EXPECT_FALSE(sim::SetMicrophoneWaveFile(Folder() + "/missing.wav"));
  EXPECT_FALSE(sim::SetMicrophoneWaveFile(WriteFile("text.wav", "RIFF....WAVEnot a wave file")));
  EXPECT_FALSE(sim::SetMicrophoneWaveFile(WriteWave("odd.wav", {11025, 12, 1}, ramp)));
  bytes = Record(kMono8, 1, 16);
  EXPECT_EQ(bytes, std::vector<std::uint8_t>(ramp.begin(), ramp.begin() + 16));
}

TEST_F(SimWaveTest, TheSignalRunsOnlyWhileTheDeviceRunsAndGoesOnAcrossOpens) {
  const std::vector<std::uint8_t> ramp = Ramp(20000);
  ASSERT_TRUE(sim::SetMicrophoneWaveFile(WriteWave("ramp.wav", kMono8, ramp)));
  // The first recording runs 10 ms: its buffer of 100 and 10 frames of the next one.
  std::vector<std::uint8_t> bytes = Record(kMono8, 1, 100);
  EXPECT_EQ(bytes, std::vector<std::uint8_t>(ramp.begin(), ramp.begin() + 100));
  platform::Sleep(5000);  // closed: the microphone does not move on
  bytes = Record(kMono8, 1, 100);
  EXPECT_EQ(bytes, std::vector<std::uint8_t>(ramp.begin() + 110, ramp.begin() + 210));
  // A new source starts at its first frame.
  sim::SetMicrophoneBufferLevels({10, 20}, 100);
  bytes = Record(kMono8, 2, 100);
  EXPECT_EQ(Peak(bytes.data(), 100), 10);
  EXPECT_EQ(Peak(bytes.data() + 100, 100), 20);
}

TEST_F(SimWaveTest, FramesPassingWhileNoBufferIsQueuedAreLost) {
  const std::vector<std::uint8_t> ramp = Ramp(20000);
  ASSERT_TRUE(sim::SetMicrophoneWaveFile(WriteWave("ramp.wav", kMono8, ramp)));
  ASSERT_EQ(platform::WaveInOpen(kMono8), 0);
  Buffer first(std::vector<std::uint8_t>(1024), 1);
  Buffer second(std::vector<std::uint8_t>(1024), 2);
  Queue(first);
  ASSERT_EQ(platform::WaveInStart(), 0);
  platform::WaitEvent();
  EXPECT_EQ(sim::Now(), 93);
  platform::Sleep(100);  // frames 1024 to floor(193 × 11.025) = 2127 have nowhere to go
  Queue(second);
  WaitUntilDone(second);
  EXPECT_EQ(sim::Now(), CeilMs(2127 + 1024, 11025));
  EXPECT_EQ(first.bytes, std::vector<std::uint8_t>(ramp.begin(), ramp.begin() + 1024));
  EXPECT_EQ(second.bytes, std::vector<std::uint8_t>(ramp.begin() + 2127, ramp.begin() + 2127 + 1024));
  EXPECT_TRUE(first.Done());
}

TEST_F(SimWaveTest, StopAndResetReturnPartlyFilledBuffers) {
  const std::vector<std::uint8_t> ramp = Ramp(20000);
  ASSERT_TRUE(sim::SetMicrophoneWaveFile(WriteWave("ramp.wav", kMono8, ramp)));
  ASSERT_EQ(platform::WaveInOpen(kMono8), 0);
  std::deque<Buffer> buffers;
  for (int i = 0; i < 4; ++i) Queue(buffers.emplace_back(std::vector<std::uint8_t>(1024, 0xEE), i));
  ASSERT_EQ(platform::WaveInStart(), 0);
  platform::Sleep(50);  // 551 frames
  // Stop returns the buffer being filled and keeps the empty ones.
  ASSERT_EQ(platform::WaveInStop(), 0);
  EXPECT_EQ(Slots(Drain()), std::vector<int>{0});
  EXPECT_EQ(buffers[0].header.bytesRecorded.load(), 551);
  EXPECT_EQ(std::vector<std::uint8_t>(buffers[0].bytes.begin(), buffers[0].bytes.begin() + 551),
            std::vector<std::uint8_t>(ramp.begin(), ramp.begin() + 551));
  platform::Sleep(1000);  // stopped: nothing moves
  EXPECT_FALSE(buffers[1].Done());
  ASSERT_EQ(platform::WaveInStart(), 0);
  platform::Sleep(100);  // floor(100 × 11.025) = 1102 frames: buffer 1 full, 78 in buffer 2
  ASSERT_EQ(platform::WaveInReset(), 0);
  EXPECT_EQ(Slots(Drain()), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(buffers[1].header.bytesRecorded.load(), 1024);
  EXPECT_EQ(buffers[2].header.bytesRecorded.load(), 78);
  EXPECT_EQ(buffers[3].header.bytesRecorded.load(), 0);
  EXPECT_TRUE(buffers[3].Done());
  EXPECT_EQ(buffers[3].bytes[0], 0xEE);  // untouched
  EXPECT_EQ(std::vector<std::uint8_t>(buffers[1].bytes.begin(), buffers[1].bytes.end()),
            std::vector<std::uint8_t>(ramp.begin() + 551, ramp.begin() + 551 + 1024));
  EXPECT_EQ(buffers[2].bytes[77], ramp[551 + 1024 + 77]);
  platform::Sleep(1000);
  EXPECT_TRUE(Drain().empty());  // reset stops the device
  EXPECT_EQ(platform::WaveInClose(), 0);
}

// ---------------------------------------------------------------- reset

TEST_F(SimWaveTest, ResetForgetsDevicesScriptsFaultsAndRecords) {
  sim::SetMicrophoneBufferLevels({100});
  sim::FailWaveOutUnprepare(9, 5);
  sim::MakeWaveOutBusy(1);
  ASSERT_EQ(platform::WaveOutOpen(kMono8), platform::kMmAllocated);
  ASSERT_EQ(platform::WaveOutOpen(kMono8), 0);
  Buffer block(Ramp(500), 1);
  Play(block);
  ASSERT_EQ(platform::WaveInOpen(kMono8), 0);
  sim::FailWaveInOpen(3, true);
  sim::FailWaveOutOpen(3, true);
  sim::Reset();
  EXPECT_FALSE(platform::WaveOutIsOpen());
  EXPECT_FALSE(platform::WaveInIsOpen());
  EXPECT_TRUE(sim::WaveBlocks().empty());
  EXPECT_TRUE(sim::WaveOutOpens().empty());
  EXPECT_TRUE(sim::WaveInOpens().empty());
  const sim::RunResult result = sim::Run([] { platform::WaitEvent(); });
  EXPECT_TRUE(result.stalled);
  ASSERT_EQ(platform::WaveOutOpen(kMono8), 0);
  Buffer again(Ramp(10), 1);
  Play(again);
  platform::Sleep(1);
  EXPECT_EQ(platform::WaveOutUnprepareHeader(again.header), 0);
  const std::vector<std::uint8_t> bytes = Record(kMono8, 1, 64);
  EXPECT_EQ(Peak(bytes.data(), 64), 0);
}

}  // namespace
