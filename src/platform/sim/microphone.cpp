// The simulated microphone: one scripted signal that the started input device takes frame by
// frame (see sim.h for exactly which samples each source gives).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <variant>
#include <vector>

#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"
#include "platform/wave.h"

namespace sim {
namespace {

using platform::WaveFormat;

struct Silence {};

// Span boundaries either in milliseconds (converted at the device rate) or in frames.
struct Levels {
  bool inMilliseconds = true;
  std::vector<std::int64_t> ends;  // cumulative end of each span
  std::vector<int> levels;
};

struct Sine {
  double amplitude = 0;
  double frequency = 0;
  int durationMs = 0;
};

struct Recording {
  int rate = 0;
  std::vector<int> samples;  // mono, 16-bit scale
};

using Source = std::variant<Silence, Levels, Sine, Recording>;

Source source;
std::int64_t framesTaken = 0;  // frames of the source already taken
int takenRate = 0;             // the device rate they were taken at

std::int64_t MsToFrames(std::int64_t ms, int rate) { return ms * rate / 1000; }

// A sample of the signal: an 8-bit deviation from 128, or a 16-bit value.
int Clamp(long value, int bits) {
  return bits == 8 ? static_cast<int>(std::clamp<long>(value, -128, 127))
                   : static_cast<int>(std::clamp<long>(value, -32768, 32767));
}

int LevelSample(const Levels& levels, std::int64_t frame, int rate, int bits) {
  std::int64_t spanStart = 0;
  for (std::size_t i = 0; i < levels.ends.size(); ++i) {
    const std::int64_t spanEnd =
        levels.inMilliseconds ? MsToFrames(levels.ends[i], rate) : levels.ends[i];
    if (frame < spanEnd) {
      const int level = levels.levels[i];
      const bool below = level == 128 || (frame - spanStart) % 2 == 0;
      const int deviation = below ? -level : level;
      return bits == 8 ? deviation : Clamp(deviation * 256L, 16);
    }
    spanStart = spanEnd;
  }
  return 0;
}

int SineSample(const Sine& sine, std::int64_t frame, int rate, int bits) {
  if (sine.durationMs > 0 && frame >= MsToFrames(sine.durationMs, rate)) return 0;
  const double scale = bits == 8 ? sine.amplitude : sine.amplitude * 256.0;
  const double phase = 2.0 * std::numbers::pi * sine.frequency * static_cast<double>(frame) / rate;
  return Clamp(std::lround(scale * std::sin(phase)), bits);
}

int RecordingSample(const Recording& recording, std::int64_t frame, int rate, int bits) {
  const std::int64_t index = frame * recording.rate / rate;
  if (index >= static_cast<std::int64_t>(recording.samples.size())) return 0;
  const int value = recording.samples[static_cast<std::size_t>(index)];
  // Arithmetic shift: the 8-bit deviation is the floor of value / 256.
  return bits == 8 ? (value >> 8) : value;
}

int SampleAt(std::int64_t frame, int rate, int bits) {
  if (const auto* levels = std::get_if<Levels>(&source)) return LevelSample(*levels, frame, rate, bits);
  if (const auto* sine = std::get_if<Sine>(&source)) return SineSample(*sine, frame, rate, bits);
  if (const auto* recording = std::get_if<Recording>(&source)) {
    return RecordingSample(*recording, frame, rate, bits);
  }
  return 0;
}

void Replace(Source next) {
  // Frames the device has already passed belong to the old signal.
  detail::RunDueWaveIn();
  source = std::move(next);
  framesTaken = 0;
}

std::uint32_t Read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
         (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}
int Read16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8);
}

// A PCM WAV image as mono samples of 16-bit scale; false when it is not one.
bool ParseWave(const std::vector<std::uint8_t>& bytes, Recording& recording) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    return false;
  }
  int channels = 0;
  int bits = 0;
  int rate = 0;
  bool haveFormat = false;
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::uint32_t size = Read32(bytes, at + 4);
    const std::size_t body = at + 8;
    const std::size_t available = bytes.size() - body;
    if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0) {
      if (size < 16 || available < 16 || Read16(bytes, body) != 1) return false;
      channels = Read16(bytes, body + 2);
      rate = static_cast<int>(Read32(bytes, body + 4));
      bits = Read16(bytes, body + 14);
      haveFormat = true;
    } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
      if (!haveFormat || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) ||
          rate < 1 || rate > 200000) {
        return false;
      }
      const std::size_t frameBytes = static_cast<std::size_t>(channels * bits / 8);
      const std::size_t frames = std::min<std::size_t>(size, available) / frameBytes;
      recording.rate = rate;
      recording.samples.resize(frames);
      for (std::size_t f = 0; f < frames; ++f) {
        long sum = 0;
        for (int c = 0; c < channels; ++c) {
          const std::size_t p = body + f * frameBytes + static_cast<std::size_t>(c * bits / 8);
          sum += bits == 8 ? (bytes[p] - 128) * 256 : static_cast<std::int16_t>(Read16(bytes, p));
        }
        // The floor of the mean, so that a mono file is taken exactly.
        const long floorMean = sum >= 0 ? sum / channels : -((-sum + channels - 1) / channels);
        recording.samples[f] = static_cast<int>(floorMean);
      }
      return true;
    }
    if (size > available) return false;
    at = body + size + (size & 1);
  }
  return false;
}

}  // namespace

namespace detail {

void TakeMicrophoneFrames(std::int64_t frames, const WaveFormat& format, std::uint8_t* destination) {
  if (takenRate != 0 && takenRate != format.rate) framesTaken = framesTaken * format.rate / takenRate;
  takenRate = format.rate;
  if (destination != nullptr) {
    std::uint8_t* out = destination;
    for (std::int64_t i = 0; i < frames; ++i) {
      const int sample = SampleAt(framesTaken + i, format.rate, format.bits);
      for (int c = 0; c < format.channels; ++c) {
        if (format.bits == 8) {
          *out++ = static_cast<std::uint8_t>(128 + sample);
        } else {
          *out++ = static_cast<std::uint8_t>(sample & 0xFF);
          *out++ = static_cast<std::uint8_t>((sample >> 8) & 0xFF);
        }
      }
    }
  }
  framesTaken += frames;
}

void ResetMicrophone() {
  source = Silence{};
  framesTaken = 0;
  takenRate = 0;
}

}  // namespace detail

void SetMicrophoneSilence() { Replace(Silence{}); }

void SetMicrophoneLevels(const std::vector<LevelSpan>& spans) {
  Levels levels;
  std::int64_t end = 0;
  for (const LevelSpan& span : spans) {
    end += std::max(span.durationMs, 0);
    levels.ends.push_back(end);
    levels.levels.push_back(std::clamp(span.level, 0, 128));
  }
  Replace(std::move(levels));
}

void SetMicrophoneBufferLevels(const std::vector<int>& levelList, int framesPerBuffer) {
  Levels levels;
  levels.inMilliseconds = false;
  std::int64_t end = 0;
  for (int level : levelList) {
    end += std::max(framesPerBuffer, 0);
    levels.ends.push_back(end);
    levels.levels.push_back(std::clamp(level, 0, 128));
  }
  Replace(std::move(levels));
}

void SetMicrophoneSine(double amplitude, double frequency, int durationMs) {
  Replace(Sine{amplitude, frequency, std::max(durationMs, 0)});
}

bool SetMicrophoneWaveFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  Recording recording;
  if (!ParseWave(bytes, recording)) return false;
  Replace(std::move(recording));
  return true;
}

}  // namespace sim
