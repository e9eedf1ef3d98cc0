#include "synth_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "mbrola.h"

namespace formant_test {

const char* VoicePath() { return FORMANT_VOICE; }

void LoadVoice() {
  ASSERT_EQ(init_MBR(const_cast<char*>(VoicePath())), 0);
  setNoError_MBR(0);
  setVolumeRatio_MBR(1.0f);
  ASSERT_EQ(reset_MBR(), 1);
}

std::vector<int16_t> Synthesize(const std::string& pho, int* error) {
  std::vector<int16_t> samples;
  if (error != nullptr) *error = 0;
  write_MBR(const_cast<char*>(pho.c_str()));
  flush_MBR();
  int16_t buffer[4096];
  for (;;) {
    const int count = read_MBR(buffer, 4096);
    if (count < 0 && error != nullptr) *error = count;
    if (count <= 0) break;
    samples.insert(samples.end(), buffer, buffer + count);
  }
  return samples;
}

double MeasurePitch(const std::vector<int16_t>& samples, size_t start, size_t length) {
  const int minLag = 16000 / 600, maxLag = 16000 / 60;
  // Low-passed (moving average over 1 ms) so that frication noise does not blur the peaks.
  std::vector<double> x(length, 0);
  for (size_t n = 0; n < length; ++n) {
    for (size_t k = 0; k < 16 && k <= start + n; ++k) x[n] += samples[start + n - k];
  }
  double best = -1;
  int bestLag = minLag;
  std::vector<double> r(maxLag + 2, 0);
  for (int lag = minLag - 1; lag <= maxLag + 1; ++lag) {
    double sum = 0;
    for (size_t n = 0; n + lag < x.size(); ++n) sum += x[n] * x[n + lag];
    r[lag] = sum / static_cast<double>(x.size() - lag);
  }
  // The first strong peak: octave errors are avoided by taking the shortest lag within 90 %
  // of the best.
  for (int lag = minLag; lag <= maxLag; ++lag) best = std::max(best, r[lag]);
  for (int lag = minLag; lag <= maxLag; ++lag) {
    if (r[lag] >= 0.9 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
      bestLag = lag;
      break;
    }
  }
  // Parabolic interpolation for a fractional lag.
  const double a = r[bestLag - 1], b = r[bestLag], c = r[bestLag + 1];
  const double shift = (a - 2 * b + c) != 0 ? 0.5 * (a - c) / (a - 2 * b + c) : 0;
  return 16000.0 / (bestLag + shift);
}

void MeasureFormants(const std::vector<int16_t>& samples, size_t start, size_t length, double& f1,
                     double& f2) {
  constexpr int kOrder = 14;
  constexpr double kPi = 3.14159265358979323846;
  std::vector<double> x(length);
  for (size_t n = 0; n < length; ++n) {
    const double current = samples[start + n];
    const double previous = samples[start + n - 1];
    const double window = 0.54 - 0.46 * std::cos(2 * kPi * n / (length - 1));
    x[n] = (current - 0.9 * previous) * window;
  }
  std::vector<double> r(kOrder + 1, 0);
  for (int k = 0; k <= kOrder; ++k) {
    for (size_t n = k; n < length; ++n) r[k] += x[n] * x[n - k];
  }
  // Levinson-Durbin.
  std::vector<double> a(kOrder + 1, 0), previousA(kOrder + 1, 0);
  a[0] = 1;
  double error = r[0];
  for (int i = 1; i <= kOrder; ++i) {
    double k = r[i];
    for (int j = 1; j < i; ++j) k -= a[j] * r[i - j];
    k /= error;
    previousA = a;
    a[i] = k;
    for (int j = 1; j < i; ++j) a[j] = previousA[j] - k * previousA[i - j];
    error *= 1 - k * k;
  }
  // Peaks of the LPC envelope 1 / |1 - sum a_j z^-j|.
  std::vector<double> envelope;
  for (int hz = 0; hz <= 5000; ++hz) {
    const double w = 2 * kPi * hz / 16000.0;
    double re = 1, im = 0;
    for (int j = 1; j <= kOrder; ++j) {
      re -= a[j] * std::cos(w * j);
      im += a[j] * std::sin(w * j);
    }
    envelope.push_back(1 / (re * re + im * im));
  }
  std::vector<double> peaks;
  for (int hz = 150; hz < 5000 && peaks.size() < 2; ++hz) {
    if (envelope[hz] > envelope[hz - 1] && envelope[hz] >= envelope[hz + 1]) peaks.push_back(hz);
  }
  f1 = peaks.size() > 0 ? peaks[0] : 0;
  f2 = peaks.size() > 1 ? peaks[1] : 0;
}

double VoiceTarget(const std::string& phoneme, const std::string& key) {
  std::ifstream file(VoicePath());
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream words(line);
    std::string keyword, name, word;
    if (!(words >> keyword >> name) || keyword != "phone" || name != phoneme) continue;
    while (words >> word) {
      if (word.rfind(key + "=", 0) == 0) return std::stod(word.substr(key.size() + 1));
    }
  }
  return 0;
}

}  // namespace formant_test
