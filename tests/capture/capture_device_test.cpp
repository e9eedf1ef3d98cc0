// The capture layer: the buffers come back in the order queued, byte for byte, across the
// eight slots; open, read and close behave on a closed or failing device.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "audio/capture/capture.h"
#include "capture_fixture.h"
#include "platform/wave.h"
#include "support/wave_builder.h"

namespace capture_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A canonical 8-bit mono PCM file at 11 025 Hz.
std::string WaveFile(const Bytes& samples) { return test_support::WaveImage(11025, 1, 8, samples); }

using Capture = CaptureTest;

TEST_F(Capture, ReadsTheSignalInOrderAcrossTheEightSlots) {
  constexpr int kBufferSize = 300;
  constexpr int kReads = 20;  // two and a half times round the slots
  Bytes signal(kBufferSize * kReads);
  for (std::size_t i = 0; i < signal.size(); ++i) signal[i] = static_cast<std::uint8_t>((i * 37 + i / 256) & 0xFF);
  const std::string path = WriteFile("voz.wav", WaveFile(signal));

  Bytes recorded;
  std::vector<int> counts;
  int opened = -1;
  const sim::RunResult result = RunProgram([&] {
    ASSERT_TRUE(sim::SetMicrophoneWaveFile(path));
    opened = audio::CaptureOpen(11025, 8, 1, kBufferSize);
    // Busy for a while (eight buffers hold 218 ms): the device goes on filling the queued
    // buffers meanwhile, and nothing is lost.
    console::Delay(200);
    for (int i = 0; i < kReads; ++i) {
      Bytes buffer(kBufferSize + 8, 0xEE);
      const int count = audio::CaptureRead(buffer.data());
      counts.push_back(count);
      EXPECT_EQ(buffer[kBufferSize], 0xEE) << "read " << i << " wrote past the buffer";
      recorded.insert(recorded.end(), buffer.begin(), buffer.begin() + count);
    }
    audio::CaptureClose();
  });
  ASSERT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(counts, std::vector<int>(kReads, kBufferSize));
  EXPECT_EQ(recorded, signal);
  EXPECT_FALSE(platform::WaveInIsOpen());
}

TEST_F(Capture, FailingOpenIsReportedAndLeavesNothingOpen) {
  int failed = -1;
  int read = -1;
  int reopened = -1;
  RunProgram([&] {
    sim::FailWaveInOpen(platform::kMmBadDeviceId);
    failed = audio::CaptureOpen(11025, 8, 1, 1024);
    read = audio::CaptureRead(nullptr);  // closed: returns at once
    audio::CaptureClose();
    reopened = audio::CaptureOpen(11025, 8, 1, 1024);
    audio::CaptureClose();
  });
  EXPECT_EQ(failed, platform::kMmBadDeviceId);
  EXPECT_EQ(read, 0);
  EXPECT_EQ(reopened, 0);
  EXPECT_FALSE(platform::WaveInIsOpen());
}

TEST_F(Capture, RefusesWhatItCannotRecordInto) {
  std::vector<int> results;
  RunProgram([&] {
    results.push_back(audio::CaptureOpen(11025, 8, 1, 0));
    results.push_back(audio::CaptureOpen(11025, 12, 1, 1024));
    results.push_back(audio::CaptureOpen(11025, 8, 1, 1024));
    // A second open while recording keeps the first one's buffers in place.
    results.push_back(audio::CaptureOpen(11025, 8, 1, 1024));
    Bytes buffer(1024);
    results.push_back(audio::CaptureRead(buffer.data()));
    audio::CaptureClose();
  });
  EXPECT_EQ(results, (std::vector<int>{platform::kMmInvalidParameter, platform::kWaveBadFormat, 0,
                                       platform::kMmAllocated, 1024}));
  EXPECT_FALSE(platform::WaveInIsOpen());
}

}  // namespace
}  // namespace capture_test
