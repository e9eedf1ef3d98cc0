#include "klatt.h"

#include <cmath>
#include <complex>

namespace formant {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Coefficients {
  double a, b, c;
};

Coefficients ResonatorCoefficients(double hz, double bandwidth, double rate) {
  const double nyquistSafe = std::fmin(hz, rate * 0.49);
  const double t = 1.0 / rate;
  const double c = -std::exp(-2 * kPi * bandwidth * t);
  const double b = 2 * std::exp(-kPi * bandwidth * t) * std::cos(2 * kPi * nyquistSafe * t);
  return {1 - b - c, b, c};
}

double DecibelsToLinear(float db) { return db <= 0 ? 0.0 : std::pow(10.0, (db - 60.0) / 20.0); }

}  // namespace

void Resonator::Tune(double hz, double bandwidth, double rate) {
  const Coefficients k = ResonatorCoefficients(hz, bandwidth, rate);
  a_ = k.a;
  b_ = k.b;
  c_ = k.c;
}

void Resonator::TunePeak(double hz, double bandwidth, double rate) {
  const Coefficients k = ResonatorCoefficients(hz, bandwidth, rate);
  const double w = 2 * kPi * std::fmin(hz, rate * 0.49) / rate;
  const std::complex<double> z1 = std::polar(1.0, -w);
  const double magnitude = std::abs(1.0 - k.b * z1 - k.c * z1 * z1);
  a_ = magnitude;
  b_ = k.b;
  c_ = k.c;
}

void AntiResonator::Tune(double hz, double bandwidth, double rate) {
  const Coefficients k = ResonatorCoefficients(hz, bandwidth, rate);
  a_ = 1 / k.a;
  b_ = -k.b / k.a;
  c_ = -k.c / k.a;
}

void Klatt::Configure(const Voice& voice, int outputRate) {
  rate_ = voice.rate;
  outputRate_ = outputRate;
  openQuotient_ = voice.openQuotient;
  tilt_ = voice.tilt;
  flutter_ = voice.flutter;
  Clear();
}

void Klatt::Clear() {
  phase_ = 0;
  seconds_ = 0;
  tilted_ = 0;
  voicingLevel_ = 0;
  seed_ = 0x2545F491u;
  for (Resonator& r : cascade_) r.Clear();
  for (Resonator& r : parallel_) r.Clear();
  nasalPole_.Clear();
  nasalZero_.Clear();
}

double Klatt::Noise() {
  // Two uniform numbers summed: a cheap, roughly bell-shaped white noise.
  seed_ = seed_ * 1664525u + 1013904223u;
  const double first = static_cast<double>(seed_ >> 8) / 16777216.0;
  seed_ = seed_ * 1664525u + 1013904223u;
  const double second = static_cast<double>(seed_ >> 8) / 16777216.0;
  return first + second - 1.0;
}

void Klatt::TuneFilters(const Params& to) {
  cascade_[0].Tune(to[kF1], to[kB1], rate_);
  cascade_[1].Tune(to[kF2], to[kB2], rate_);
  cascade_[2].Tune(to[kF3], to[kB3], rate_);
  cascade_[3].Tune(to[kF4], to[kB4], rate_);
  cascade_[4].Tune(to[kF5], to[kB5], rate_);
  nasalPole_.Tune(to[kNasalPole], 100, rate_);
  nasalZero_.Tune(to[kNasalZero], 100, rate_);
  for (int i = 0; i < 5; ++i) parallel_[i].TunePeak(to[kF2 + i], to[kB2 + i], rate_);
}

void Klatt::Render(const Params& from, const Params& to, float pitchFrom, float pitchTo, float* out,
                   int count) {
  TuneFilters(to);
  // Amplitudes move linearly over the piece; the parallel gains are folded into one step
  // per branch so the loop does little per sample.
  auto linear = [&](int p) { return DecibelsToLinear(from[p]); };
  auto linearTo = [&](int p) { return DecibelsToLinear(to[p]); };
  const double voicingFrom = linear(kVoicing),
               voicingStep = (linearTo(kVoicing) - voicingFrom) / count;
  const double aspirationFrom = linear(kAspiration),
               aspirationStep = (linearTo(kAspiration) - aspirationFrom) / count;
  double gainFrom[6], gainStep[6];  // bypass, then F2..F6
  bool frication = false;
  for (int i = 0; i < 6; ++i) {
    const int p = i == 0 ? kBypass : kParallel2 + i - 1;
    gainFrom[i] = linear(kFrication) * linear(p) * (i % 2 == 0 ? 1 : -1);
    const double gainTo = linearTo(kFrication) * linearTo(p) * (i % 2 == 0 ? 1 : -1);
    gainStep[i] = (gainTo - gainFrom[i]) / count;
    frication = frication || gainFrom[i] != 0 || gainTo != 0;
  }
  if (!frication) {
    for (Resonator& r : parallel_) r.Clear();
  }
  const bool nasal = to[kNasalPole] != to[kNasalZero];
  if (!nasal) {
    nasalPole_.Clear();
    nasalZero_.Clear();
  }
  // Flutter varies at a few hertz: once per piece is enough.
  const double t = seconds_;
  const double flutterFactor = 1 + (flutter_ / 50.0) / 100.0 *
                                       (std::sin(2 * kPi * 12.7 * t) + std::sin(2 * kPi * 7.1 * t) +
                                        std::sin(2 * kPi * 4.7 * t));
  seconds_ += count / outputRate_;
  const double pitchStep = (pitchTo - pitchFrom) / static_cast<double>(count);
  const double invertedOpen = 1 / openQuotient_;
  for (int n = 0; n < count; ++n) {
    const double voicing = voicingFrom + voicingStep * n;
    const double aspirationLevel = aspirationFrom + aspirationStep * n;
    phase_ += (pitchFrom + pitchStep * n) * flutterFactor / outputRate_;
    if (phase_ >= 1) {
      phase_ -= std::floor(phase_);
      voicingLevel_ = voicing;  // voicing changes at a period start: no clicks
    }
    // Derivative of the flow a t^2 - b t^3 over the open phase, scaled to a peak of -1.
    double glottal = 0;
    const bool open = phase_ < openQuotient_;
    if (open) {
      const double x = phase_ * invertedOpen;
      glottal = 2 * x - 3 * x * x;
    }
    tilted_ = (1 - tilt_) * glottal + tilt_ * tilted_;
    double x = tilted_ * voicingLevel_;
    if (aspirationLevel != 0) {
      x += Noise() * aspirationLevel * (voicingLevel_ > 0 && !open ? 0.5 : 1.0);
    }
    if (nasal) x = nasalPole_.Run(nasalZero_.Run(x));
    for (int i = 4; i >= 0; --i) x = cascade_[i].Run(x);

    if (frication) {
      const double noise = Noise();
      x += noise * (gainFrom[0] + gainStep[0] * n);
      for (int i = 0; i < 5; ++i) {
        x += parallel_[i].Run(noise) * (gainFrom[i + 1] + gainStep[i + 1] * n);
      }
    }
    out[n] = static_cast<float>(x);
  }
}

}  // namespace formant
