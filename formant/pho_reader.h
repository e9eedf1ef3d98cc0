// Reading one .pho line: a phone with its duration and pitch points, a command, a flush.
#pragma once

#include <string>
#include <vector>

namespace formant {

struct PitchPoint {
  float percent;
  float hz;
};

struct PhoLine {
  enum Kind { kBlank, kPhone, kFlush, kTimeRatio, kFrequencyRatio, kFlushSymbol, kError };
  Kind kind = kBlank;
  std::string name;  // phone name, or the new flush symbol
  float durationMs = 0;
  std::vector<PitchPoint> points;
  float ratio = 1;
  int error = 0;
  std::string message;
};

constexpr float kLongestPhoneMs = 60000;
constexpr size_t kMostPitchPoints = 2048;

// Parses a line without its line end. flushSymbol is the name that flushes ("#" at first).
PhoLine ReadPhoLine(const std::string& line, const std::string& flushSymbol);

}  // namespace formant
