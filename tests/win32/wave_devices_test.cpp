// The win32 backend's wave devices and tones for real, under Wine, whose wave devices go
// through ALSA. tests/win32/devices_and_system.cmake runs this program with HOME pointing at a
// folder whose .asoundrc makes ALSA's default device the file plugin over the null device:
//
//   pcm.!default { type file slave.pcm "null" file ".../out.raw" infile ".../in.raw" format "raw" }
//
// (VERANTO_ALSA_FOLDER names the folder; the suite NoSoundDevice runs with a HOME without a
// usable device instead). What the files hold, as seen with Wine 8.0 and alsa-lib 1.2.8:
// - Wine opens ALSA in the format the program opened its wave device with (the null device
//   takes any), so out.raw holds exactly the bytes of the blocks played, in the stream's own
//   format: 8-bit unsigned mono at 11 025 Hz stays 8-bit unsigned, 16-bit signed
//   little-endian stereo stays that, with no resampling and no conversion. Every open of the
//   device (also the one Wine makes to list it, and the one a tone makes) truncates the file.
// - Capture reads in.raw in the same raw format, but the file plugin fills a read from it only
//   when the read is no larger than ALSA's buffer (443 frames at 11 025 Hz); Wine reads in
//   pieces of up to its own 100 ms buffer (1 103 frames), and the larger ones are refused
//   ("requested more frames than pcm buffer" on stderr) and come back as the null device's
//   silence (128). A recording is therefore stretches of in.raw, in order, between stretches
//   of silence; a signal of one known peak throughout gives exactly that peak. The file
//   plugin also writes what was recorded to out.raw.
// - The null device takes and gives samples at once, so Wine plays and records at its own
//   timer's pace, several times faster than real time.
// - The capture device exists only while in.raw does: Wine lists its devices once, when the
//   program first uses them, and leaves out one that ALSA cannot open then. So in.raw is
//   written before anything else.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/wave.h"
#include "platform/win32/windows_api.h"
#include "support/wave_builder.h"

namespace {

using platform::Event;
using platform::EventKind;
using platform::WaveFormat;
using platform::WaveHeader;
using test_support::Bytes;

constexpr int kWaitMs = 10000;
// The signal of in.raw: a square wave of peak 50.
constexpr std::uint8_t kSignalHigh = 178;
constexpr std::uint8_t kSignalLow = 78;

// The program's audio goes to ALSA whatever sound server may be running on the machine: Wine
// takes its driver from this value when it first starts its audio devices.
void UseWinesAlsaDriver() {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
    static const char kAlsa[] = "alsa";
    ::RegSetValueExA(key, "Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>(kAlsa), sizeof kAlsa);
    ::RegCloseKey(key);
  }
}

// The folder of out.raw and in.raw, as a Windows path (Wine's drive Z: is the root).
std::string AlsaFolder() {
  const char* folder = std::getenv("VERANTO_ALSA_FOLDER");
  if (folder == nullptr || folder[0] != '/') return {};
  std::string path = std::string("Z:") + folder;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

Bytes ReadFile(const std::string& path) {
  Bytes bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  unsigned char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  return bytes;
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// Takes events, waiting for new messages between looks, until `done` holds (checked after
// every event and before every wait) or `milliseconds` have passed.
std::vector<Event> TakeEventsUntil(const std::function<bool(const std::vector<Event>&)>& done,
                                   int milliseconds) {
  std::vector<Event> taken;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    Event event;
    while (platform::PeekEvent(event)) {
      taken.push_back(event);
      if (done(taken)) return taken;
    }
    if (done(taken) || std::chrono::steady_clock::now() >= end) return taken;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

std::vector<int> DoneSlots(const std::vector<Event>& events) {
  std::vector<int> slots;
  for (const Event& event : events) {
    if (event.kind == EventKind::WaveOutDone) slots.push_back(event.slot);
  }
  return slots;
}

int CountOf(const std::vector<Event>& events, EventKind kind) {
  return static_cast<int>(std::count_if(events.begin(), events.end(),
                                        [kind](const Event& event) { return event.kind == kind; }));
}

bool Done(const WaveHeader& header) {
  return (header.flags.load(std::memory_order_acquire) & platform::kWaveHeaderDone) != 0;
}
bool Queued(const WaveHeader& header) {
  return (header.flags.load(std::memory_order_acquire) & platform::kWaveHeaderInQueue) != 0;
}

// Blocks of sound that the program owns, one header each, tagged 1, 2, ...
struct Blocks {
  std::vector<Bytes> data;
  std::unique_ptr<WaveHeader[]> headers;

  explicit Blocks(std::vector<Bytes> contents)
      : data(std::move(contents)), headers(std::make_unique<WaveHeader[]>(data.size())) {
    for (std::size_t k = 0; k < data.size(); ++k) {
      headers[k].data = data[k].data();
      headers[k].length = static_cast<int>(data[k].size());
      headers[k].user = static_cast<int>(k + 1);
    }
  }
  std::size_t size() const { return data.size(); }
  WaveHeader& operator[](std::size_t k) { return headers[k]; }
};

// A block whose bytes say which block it is, and where in it they stand.
Bytes PatternBlock(int which, std::size_t length) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<std::uint8_t>(1 + (which * 37 + i * 11 + i / 251) % 254);
  }
  return bytes;
}

// Where `part` first appears in `whole` at or after `from`; npos when it does not.
std::size_t Find(const Bytes& whole, const Bytes& part, std::size_t from) {
  if (from > whole.size()) return std::string::npos;
  const auto found = std::search(whole.begin() + static_cast<std::ptrdiff_t>(from), whole.end(),
                                 part.begin(), part.end());
  return found == whole.end() ? std::string::npos : static_cast<std::size_t>(found - whole.begin());
}

// The samples of a tone: square waves of 96 and 160 around the silence of 8-bit sound.
Bytes SquareWave(std::size_t length, int period) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = (i % period) < static_cast<std::size_t>(period / 2) ? 96 : 160;
  return bytes;
}

class WaveDevices : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    UseWinesAlsaDriver();
    // Ten seconds of a square wave of peak 50 (178 and 78 around the silence of 128).
    Bytes signal(110250);
    for (std::size_t i = 0; i < signal.size(); ++i) signal[i] = i % 2 == 0 ? kSignalHigh : kSignalLow;
    const std::string folder = AlsaFolder();
    if (!folder.empty()) WriteFile(folder + "\\in.raw", signal);
  }

  void SetUp() override {
    folder_ = AlsaFolder();
    ASSERT_FALSE(folder_.empty()) << "VERANTO_ALSA_FOLDER must name the folder of out.raw and in.raw";
  }

  void TearDown() override {
    // Whatever a failed test left open is let go, so the next test starts from a closed device.
    platform::WaveOutReset();
    platform::WaveOutClose();
    platform::WaveInStop();
    platform::WaveInReset();
    platform::WaveInClose();
    platform::StopLoopingSound();
    TakeEventsUntil([](const std::vector<Event>&) { return false; }, 50);
  }

  std::string OutFile() const { return folder_ + "\\out.raw"; }
  std::string InFile() const { return folder_ + "\\in.raw"; }

  std::string folder_;
};

struct PlayedFormat {
  WaveFormat format;
  const char* name;
};

class PlayedBlocks : public WaveDevices, public ::testing::WithParamInterface<PlayedFormat> {};

// Three written blocks are played in order: each comes back done, with its slot, and its
// bytes reach ALSA's file as they are, one after the other.
TEST_P(PlayedBlocks, ReachTheAlsaFileInOrderAndComeBackDone) {
  const WaveFormat format = GetParam().format;
  ASSERT_EQ(platform::WaveOutOpen(format), platform::kMmNoError);
  EXPECT_TRUE(platform::WaveOutIsOpen());
  Blocks blocks({PatternBlock(0, 4000), PatternBlock(1, 4000), PatternBlock(2, 4000)});
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    ASSERT_EQ(platform::WaveOutPrepareHeader(blocks[k]), platform::kMmNoError);
    ASSERT_EQ(platform::WaveOutWrite(blocks[k]), platform::kMmNoError);
  }
  const auto events =
      TakeEventsUntil([](const std::vector<Event>& taken) { return DoneSlots(taken).size() >= 3; }, kWaitMs);
  EXPECT_EQ(DoneSlots(events), (std::vector<int>{1, 2, 3}));
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    EXPECT_TRUE(Done(blocks[k])) << "block " << k + 1;
    EXPECT_FALSE(Queued(blocks[k])) << "block " << k + 1;
    EXPECT_EQ(platform::WaveOutUnprepareHeader(blocks[k]), platform::kMmNoError);
  }
  ASSERT_EQ(platform::WaveOutClose(), platform::kMmNoError);
  EXPECT_FALSE(platform::WaveOutIsOpen());

  const Bytes played = ReadFile(OutFile());
  std::size_t at = 0;
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    at = Find(played, blocks.data[k], at);
    ASSERT_NE(at, std::string::npos) << "block " << k + 1 << " is not in out.raw after the one before it ("
                                     << played.size() << " bytes)";
    at += blocks.data[k].size();
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayedBlocks,
                         ::testing::Values(PlayedFormat{{11025, 8, 1}, "mono8bit11025"},
                                           PlayedFormat{{22050, 16, 2}, "stereo16bit22050"}),
                         [](const auto& info) { return std::string(info.param.name); });

// While blocks are queued the device cannot be closed nor their headers let go; a reset hands
// every one back done at once, in order, each with one event, and then the device closes.
TEST_F(WaveDevices, ResetReturnsEveryQueuedBlockDoneAndOnlyThenTheDeviceCloses) {
  ASSERT_EQ(platform::WaveOutOpen({11025, 8, 1}), platform::kMmNoError);
  WaveHeader loose;
  Bytes looseBytes(256, 128);
  loose.data = looseBytes.data();
  loose.length = 256;
  EXPECT_EQ(platform::WaveOutWrite(loose), platform::kWaveUnprepared);

  // Four seconds of sound: far more than the device plays before the reset.
  Blocks blocks({Bytes(11025, 100), Bytes(11025, 110), Bytes(11025, 120), Bytes(11025, 140)});
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    ASSERT_EQ(platform::WaveOutPrepareHeader(blocks[k]), platform::kMmNoError);
    ASSERT_EQ(platform::WaveOutWrite(blocks[k]), platform::kMmNoError);
  }
  EXPECT_EQ(platform::WaveOutWrite(blocks[3]), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveOutUnprepareHeader(blocks[3]), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveOutClose(), platform::kWaveStillPlaying);
  EXPECT_TRUE(platform::WaveOutIsOpen());

  ASSERT_EQ(platform::WaveOutReset(), platform::kMmNoError);
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    EXPECT_TRUE(Done(blocks[k])) << "block " << k + 1 << " right after the reset";
    EXPECT_FALSE(Queued(blocks[k])) << "block " << k + 1 << " right after the reset";
  }
  // Windows' own notices of the returned blocks come too; none gives a second event.
  const auto events = TakeEventsUntil([](const std::vector<Event>&) { return false; }, 500);
  EXPECT_EQ(DoneSlots(events), (std::vector<int>{1, 2, 3, 4}));

  for (std::size_t k = 0; k < blocks.size(); ++k) {
    EXPECT_EQ(platform::WaveOutUnprepareHeader(blocks[k]), platform::kMmNoError);
  }
  // A header prepared and never written does not keep the device open.
  ASSERT_EQ(platform::WaveOutPrepareHeader(loose), platform::kMmNoError);
  ASSERT_EQ(platform::WaveOutClose(), platform::kMmNoError);
  EXPECT_FALSE(platform::WaveOutIsOpen());
  EXPECT_EQ(platform::WaveOutUnprepareHeader(loose), platform::kMmNoError);
  EXPECT_EQ(loose.flags.load() & platform::kWaveHeaderPrepared, 0u);

  EXPECT_EQ(platform::WaveOutPrepareHeader(blocks[0]), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutWrite(blocks[0]), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutReset(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutClose(), platform::kMmInvalidHandle);
  // The blocks' memory is the program's again: nothing of the closed device reads it now.
  blocks.data.clear();
  EXPECT_TRUE(DoneSlots(TakeEventsUntil([](const std::vector<Event>&) { return false; }, 200)).empty());
}

TEST_F(WaveDevices, FormatsOutsideTheContractAreRefusedAsBadFormat) {
  EXPECT_EQ(platform::WaveOutOpen({11025, 12, 1}), platform::kWaveBadFormat);
  EXPECT_EQ(platform::WaveOutOpen({11025, 8, 0}), platform::kWaveBadFormat);
  EXPECT_EQ(platform::WaveInOpen({0, 8, 1}), platform::kWaveBadFormat);
  EXPECT_FALSE(platform::WaveOutIsOpen());
  EXPECT_FALSE(platform::WaveInIsOpen());
}

// The measurement's way of recording (eight buffers of 1 024 bytes, each read in turn and
// queued again) reads the peak of the signal in ALSA's input file.
TEST_F(WaveDevices, RecordingReadsTheInputFilesPeak) {
  ASSERT_EQ(ReadFile(InFile()).size(), 110250u) << "in.raw was not written";
  ASSERT_EQ(platform::WaveInOpen({11025, 8, 1}), platform::kMmNoError);
  EXPECT_TRUE(platform::WaveInIsOpen());
  constexpr int kSlots = 8;
  constexpr int kBufferBytes = 1024;
  std::vector<Bytes> data(kSlots, Bytes(kBufferBytes, 0));
  auto headers = std::make_unique<WaveHeader[]>(kSlots);
  const auto queue = [&](int slot) {
    WaveHeader& header = headers[slot];
    header.Clear();
    header.data = data[slot].data();
    header.length = kBufferBytes;
    header.user = slot;
    ASSERT_EQ(platform::WaveInPrepareHeader(header), platform::kMmNoError);
    ASSERT_EQ(platform::WaveInAddBuffer(header), platform::kMmNoError);
  };
  for (int slot = 0; slot < kSlots; ++slot) queue(slot);
  ASSERT_EQ(platform::WaveInStart(), platform::kMmNoError);

  int peak = 0;
  int dataEvents = 0;
  std::vector<int> strayBytes;
  for (int read = 0; read < 24; ++read) {
    const int slot = read % kSlots;
    const auto events = TakeEventsUntil([&](const std::vector<Event>&) { return Done(headers[slot]); }, kWaitMs);
    dataEvents += CountOf(events, EventKind::WaveInData);
    ASSERT_TRUE(Done(headers[slot])) << "buffer " << read << " never came back";
    ASSERT_EQ(headers[slot].bytesRecorded.load(std::memory_order_relaxed), kBufferBytes);
    for (const std::uint8_t byte : data[slot]) {
      if (byte != 128 && byte != kSignalHigh && byte != kSignalLow) strayBytes.push_back(byte);
      peak = std::max(peak, byte == 0 ? 128 : std::abs(byte - 128));
    }
    ASSERT_EQ(platform::WaveInUnprepareHeader(headers[slot]), platform::kMmNoError);
    queue(slot);
  }
  EXPECT_EQ(peak, 50);
  EXPECT_TRUE(strayBytes.empty()) << strayBytes.size() << " bytes neither silence nor the signal";
  EXPECT_GE(dataEvents, 20);

  EXPECT_EQ(platform::WaveInClose(), platform::kWaveStillPlaying);
  EXPECT_EQ(platform::WaveInStop(), platform::kMmNoError);
  EXPECT_EQ(platform::WaveInReset(), platform::kMmNoError);
  for (int slot = 0; slot < kSlots; ++slot) {
    EXPECT_TRUE(Done(headers[slot])) << "slot " << slot << " after the reset";
    EXPECT_EQ(platform::WaveInUnprepareHeader(headers[slot]), platform::kMmNoError);
  }
  ASSERT_EQ(platform::WaveInClose(), platform::kMmNoError);
  EXPECT_FALSE(platform::WaveInIsOpen());
  EXPECT_EQ(platform::WaveInStart(), platform::kMmInvalidHandle);
}

// A tone plays its image over and over until it is stopped; what is not a wave is refused.
TEST_F(WaveDevices, ToneLoopsThroughTheDeviceUntilStopped) {
  // A tenth of a second of tone, so that half a second plays it several times.
  const Bytes samples = SquareWave(1100, 22);
  const Bytes image = test_support::AsBytes(test_support::WaveImage(11025, 1, 8, samples));
  ASSERT_TRUE(platform::PlayLoopingSound(image.data(), image.size()));
  platform::Sleep(500);
  platform::StopLoopingSound();

  const Bytes played = ReadFile(OutFile());
  const auto toneBytes = std::count_if(played.begin(), played.end(),
                                       [](std::uint8_t byte) { return byte == 96 || byte == 160; });
  EXPECT_GE(toneBytes, static_cast<std::ptrdiff_t>(2 * samples.size())) << played.size() << " bytes played";
  EXPECT_NE(Find(played, samples, 0), std::string::npos);

  const std::string notWave = "RIFF....WAVEjunk";
  EXPECT_FALSE(platform::PlayLoopingSound(reinterpret_cast<const std::uint8_t*>(notWave.data()), notWave.size()));
  EXPECT_FALSE(platform::PlayLoopingSound(nullptr, 0));
  platform::StopLoopingSound();
  platform::Beep();
}

// Run with a HOME whose ALSA has no usable default device: Windows has no wave device, and
// every open answers its "bad device" number; nothing else breaks.
TEST(NoSoundDevice, OpensAnswerBadDeviceAndNothingElseBreaks) {
  UseWinesAlsaDriver();
  EXPECT_EQ(::waveOutGetNumDevs(), 0u);
  EXPECT_EQ(platform::WaveOutOpen({11025, 8, 1}), platform::kMmBadDeviceId);
  EXPECT_FALSE(platform::WaveOutIsOpen());
  EXPECT_EQ(platform::WaveInOpen({11025, 8, 1}), platform::kMmBadDeviceId);
  EXPECT_FALSE(platform::WaveInIsOpen());

  Bytes bytes(1024, 128);
  WaveHeader header;
  header.data = bytes.data();
  header.length = 1024;
  EXPECT_EQ(platform::WaveOutPrepareHeader(header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutWrite(header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutUnprepareHeader(header), platform::kMmNoError);
  EXPECT_EQ(platform::WaveOutReset(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveOutClose(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInPrepareHeader(header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInAddBuffer(header), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInStart(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInStop(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInReset(), platform::kMmInvalidHandle);
  EXPECT_EQ(platform::WaveInClose(), platform::kMmInvalidHandle);

  const Bytes image = test_support::AsBytes(test_support::WaveImage(11025, 1, 8, SquareWave(1100, 22)));
  EXPECT_FALSE(platform::PlayLoopingSound(image.data(), image.size()));
  platform::StopLoopingSound();
  platform::Beep();
  EXPECT_TRUE(DoneSlots(TakeEventsUntil([](const std::vector<Event>&) { return false; }, 100)).empty());
}

}  // namespace
