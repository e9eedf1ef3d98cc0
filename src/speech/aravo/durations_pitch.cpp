#include "speech/aravo/durations_pitch.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "speech/aravo/prosody_config.h"

namespace aravo {
namespace {

constexpr int kMissingDuration = 100;
constexpr int kPlainLengthening = 100;
constexpr int kStressLengthening = 145;
constexpr char kStressMark = '>';
constexpr char kUnlengthenedMark = '\xA8';  // "¨"

// trunc(product) div 100, the product kept within what a .pho line can carry.
std::int64_t Hundredth(double product) {
  constexpr double kLimit = 1e15;
  if (!(product > 0)) return 0;  // negative, zero, or not a number
  return static_cast<std::int64_t>(std::trunc(std::fmin(product, kLimit))) / 100;
}

int ReadDuration(std::string_view text, int fallback) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return fallback;
  return value;
}

bool IsCodeComment(const std::string& line) {
  return line.size() >= 5 && line[0] == ';' && line[4] == '|';
}

}  // namespace

int PhonemeDuration(const std::string& phoneme) {
  int duration = kMissingDuration;
  FindDuration(phoneme, duration);
  return duration;
}

std::string PitchPoint(int& stressState, const std::string& code, bool lastOfWord,
                       double pitchFactor) {
  std::size_t digitIndex = 0;
  int position = 0;
  if (stressState == 0) {
    digitIndex = 0;
    position = 50;
    stressState = 1;
  } else if (stressState == 2) {
    digitIndex = 1;
    position = 80;
    stressState = 3;
  } else if (stressState == 3 && lastOfWord) {
    digitIndex = 2;
    position = 50;
  } else {
    return {};
  }
  if (digitIndex >= code.size() || code[digitIndex] < '0' || code[digitIndex] > '9') return {};
  const int level = PitchTable()[static_cast<std::size_t>(code[digitIndex] - '0')];
  if (level == 0) return {};
  const std::int64_t frequency =
      Hundredth(static_cast<double>(level) * pitchFactor * static_cast<double>(BasePitch()));
  std::string point(1, ' ');
  point.append(std::to_string(position)).append(1, ' ').append(std::to_string(frequency));
  return point;
}

void BridgeMissingDiphone(const std::string& previous, const std::string& current,
                          std::vector<std::string>& lines) {
  if (current.empty() || HasDiphone(previous, current)) return;
  if (previous == "r2" && HasDiphone("r2", "_")) {
    lines.emplace_back("_ 50");
  } else if (HasDiphone(previous, "y")) {
    lines.emplace_back("y 50");
  } else {
    lines.emplace_back("_ 50");
  }
}

std::vector<std::string> ComputeProsody(const std::vector<std::string>& phonemeLines,
                                        double pitchFactor, double durationFactor) {
  std::vector<std::string> out;
  out.reserve(phonemeLines.size() + phonemeLines.size() / 8);
  std::string code = "555";
  std::size_t tokenLength = 0;
  int stressState = 0;
  int lengthening = kPlainLengthening;
  std::string previous = "_";
  for (std::size_t i = 0; i < phonemeLines.size(); ++i) {
    std::string line = phonemeLines[i];
    const bool lastOfWord = i + 1 == phonemeLines.size() || phonemeLines[i + 1].empty();
    if (line.empty()) {
      lengthening = kPlainLengthening;
      out.emplace_back();
      continue;
    }
    if (IsCodeComment(line)) {
      code = line.substr(1, 3);
      line.erase(1, 4);
      tokenLength = line.size();
      stressState = 0;
      out.push_back(std::move(line));
      continue;
    }
    if (line.front() == kStressMark) {
      lengthening = kStressLengthening;
      line.erase(0, 1);
      if (!line.empty() && line.front() == kUnlengthenedMark) line.erase(0, 1);
      stressState = 2;
    } else if (line.front() == kUnlengthenedMark) {
      line.erase(0, 1);
      lengthening = kPlainLengthening;
    }
    if (line.empty()) continue;  // a mark without a phoneme

    int duration = 0;
    std::string name;
    if (line.front() == '_') {
      if (line.size() == 1) {
        duration = kMissingDuration;
      } else if (line[1] == ' ') {
        duration = ReadDuration(std::string_view(line).substr(2), PhonemeDuration("_"));
      } else {
        duration = PhonemeDuration(line);
      }
      name.assign(1, '_');
    } else {
      duration = PhonemeDuration(line);
      name = line;
      if (stressState <= 1) {
        if (tokenLength > 13) {
          duration = duration * 80 / 100;
        } else if (tokenLength > 9) {
          duration = duration * 90 / 100;
        }
      }
    }
    const std::int64_t milliseconds =
        Hundredth(static_cast<double>(duration) * lengthening * durationFactor);
    std::string made = name;
    made.append(1, ' ').append(std::to_string(milliseconds));
    made.append(PitchPoint(stressState, code, lastOfWord, pitchFactor));
    BridgeMissingDiphone(previous, name, out);
    previous = name;
    out.push_back(std::move(made));
  }
  return out;
}

}  // namespace aravo
