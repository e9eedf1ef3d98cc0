// Trimming, resampling and conversion of recorded samples.
#include "shaping.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace voicedata {
namespace {

// Windowed-sinc low-pass for the 2:1 decimation: cut-off 4.8 kHz at 22 050 Hz, Blackman window.
constexpr int kTaps = 63;
constexpr double kCutOff = 4800.0 / 22050.0;

const std::vector<double>& LowPass() {
  static const std::vector<double> taps = [] {
    std::vector<double> h(kTaps);
    const double pi = std::acos(-1.0);
    const int middle = kTaps / 2;
    double sum = 0;
    for (int i = 0; i < kTaps; ++i) {
      const int k = i - middle;
      const double sinc = k == 0 ? 2 * kCutOff : std::sin(2 * pi * kCutOff * k) / (pi * k);
      const double window = 0.42 - 0.5 * std::cos(2 * pi * i / (kTaps - 1)) + 0.08 * std::cos(4 * pi * i / (kTaps - 1));
      h[i] = sinc * window;
      sum += h[i];
    }
    for (double& value : h) value /= sum;  // unity gain at 0 Hz
    return h;
  }();
  return taps;
}

void PutLittleEndian(std::string& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::vector<std::int16_t> KeepAudible(const std::vector<std::int16_t>& samples, int rate, int leadMs, int tailMs,
                                      long* keptFrom) {
  const auto loud = [](std::int16_t s) { return std::abs(static_cast<int>(s)) > kSilenceThreshold; };
  const auto first = std::find_if(samples.begin(), samples.end(), loud);
  if (first == samples.end()) return {};
  const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();  // one past
  const long lead = static_cast<long>(rate) * leadMs / 1000;
  const long tail = static_cast<long>(rate) * tailMs / 1000;
  const long begin = std::max(0L, static_cast<long>(first - samples.begin()) - lead);
  const long end = std::min(static_cast<long>(samples.size()), static_cast<long>(last - samples.begin()) + tail);
  if (keptFrom != nullptr) *keptFrom = begin;
  return std::vector<std::int16_t>(samples.begin() + begin, samples.begin() + end);
}

std::vector<float> HalveRate(const std::vector<std::int16_t>& samples) {
  const std::vector<double>& h = LowPass();
  const long count = static_cast<long>(samples.size());
  std::vector<float> out;
  out.reserve(samples.size() / 2 + 1);
  for (long centre = 0; centre < count; centre += 2) {
    double sum = 0;
    for (int i = 0; i < kTaps; ++i) {
      const long at = centre + i - kTaps / 2;
      if (at >= 0 && at < count) sum += h[i] * samples[at];
    }
    out.push_back(static_cast<float>(sum));
  }
  return out;
}

float PeakOf(const std::vector<float>& samples) {
  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::fabs(s));
  return peak;
}

double GainForPeak(float peak) {
  if (peak <= 0) return 1.0;
  return std::min(4.0, 0.9 * 32767.0 / peak);
}

std::string ToUnsigned8(const std::vector<float>& samples, double gain) {
  std::string out;
  out.reserve(samples.size());
  for (float s : samples) {
    const long value = std::lround(s * gain / 256.0) + 128;
    out.push_back(static_cast<char>(std::clamp(value, 0L, 255L)));
  }
  return out;
}

std::string WaveFile8(const std::string& samples) {
  std::string out;
  out.reserve(44 + samples.size());
  const auto size = static_cast<std::uint32_t>(samples.size());
  out += "RIFF";
  PutLittleEndian(out, size + 36, 4);
  out += "WAVEfmt ";
  PutLittleEndian(out, 16, 4);          // fmt chunk size
  PutLittleEndian(out, 1, 2);           // PCM
  PutLittleEndian(out, 1, 2);           // mono
  PutLittleEndian(out, kOutputRate, 4);
  PutLittleEndian(out, kOutputRate, 4); // bytes per second
  PutLittleEndian(out, 1, 2);           // block alignment
  PutLittleEndian(out, 8, 2);           // bits per sample
  out += "data";
  PutLittleEndian(out, size, 4);
  out += samples;
  return out;
}

}  // namespace voicedata
