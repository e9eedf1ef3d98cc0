// The level measurement: the peak of each captured buffer, the live bar, and the driver that
// records for a number of seconds and keeps the largest peak.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>

#include "audio/capture/capture.h"
#include "console/console.h"

namespace audio {
namespace {

constexpr int kRate = 11025;
constexpr int kBits = 8;
constexpr int kChannels = 1;
constexpr int kBufferBytes = 1024;
constexpr int kSilence = 128;
constexpr int kFullScale = 128;
constexpr int kBarWidth = 64;

NumberSpeaker numberSpeaker = nullptr;
ProblemEnd problemEnd = nullptr;

// The digits at the cursor, flushed, and spoken when a speaker is installed.
void WriteNumber(int number) {
  if (numberSpeaker != nullptr) {
    numberSpeaker(number);
  } else {
    std::cout << number << std::flush;
  }
}

// A device that cannot be opened, or is lost while it records: no level is given, since a
// measurement of something else, or of part of the time, would grade the microphone wrongly.
[[noreturn]] void ReportProblem(int code) {
  std::cout << "Problemas, código " << std::flush;
  WriteNumber(code);
  std::cout << std::endl;
  if (problemEnd == nullptr) {
    std::string line;
    std::getline(std::cin, line);
  } else {
    problemEnd(code);
  }
  console::CloseConsole();
}

}  // namespace

void SetNumberSpeaker(NumberSpeaker speaker) { numberSpeaker = speaker; }

void SetProblemEnd(ProblemEnd end) { problemEnd = end; }

int BufferPeak(const std::uint8_t* samples, int count) {
  if (samples == nullptr) return 0;
  int peak = 0;
  for (int i = 0; i < count; ++i) {
    const int deviation = std::abs(static_cast<int>(samples[i]) - kSilence);
    if (deviation > peak) peak = deviation;
  }
  return peak;
}

void DrawLevelBar(int level) {
  const int marks = std::clamp(level, 0, kFullScale) / 2;
  std::string bar(static_cast<std::size_t>(marks), '@');
  bar.append(static_cast<std::size_t>(kBarWidth - marks), '.');
  bar += '\r';
  // Through the program's output stream, so that text written before it comes first and the
  // flush lets pending window messages (keys, repaints) be handled.
  std::cout << bar << std::flush;
}

int BufferCount(int seconds) {
  if (seconds <= 0) return 0;
  // long long: a long has 32 bits on Windows, too few for the count of the longest request.
  const long long count = std::llround(seconds * static_cast<double>(kRate) / kBufferBytes);
  return static_cast<int>(std::min<long long>(count, std::numeric_limits<int>::max()));
}

int LevelPercent(int level) {
  return static_cast<int>(std::trunc(std::clamp(level, 0, kFullScale) * 100.0 / kFullScale));
}

int MicLevel(int seconds) {
  const int result = CaptureOpen(kRate, kBits, kChannels, kBufferBytes);
  if (result != 0) ReportProblem(result);

  DrawLevelBar(0);
  std::uint8_t buffer[kBufferBytes];
  int level = 0;
  for (int n = BufferCount(seconds); n > 0; --n) {
    const int count = CaptureRead(buffer);
    const int failure = CaptureFailure();
    if (failure != 0) {
      CaptureClose();
      std::cout << '\n';  // the problem goes below the bar, not over it
      ReportProblem(failure);
    }
    const int peak = BufferPeak(buffer, count);
    DrawLevelBar(peak);
    level = std::max(level, peak);
  }
  CaptureClose();
  return level;
}

}  // namespace audio
