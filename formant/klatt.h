// A cascade/parallel formant synthesizer after Klatt: glottal source with aspiration into a
// cascade of resonators (nasal pole-zero pair, F5..F1), frication noise into a parallel branch.
#pragma once

#include <cstdint>

#include "voice.h"

namespace formant {

class Resonator {
 public:
  // Unity gain at 0 Hz (cascade use).
  void Tune(double hz, double bandwidth, double rate);
  // Unity gain at the resonance (parallel use).
  void TunePeak(double hz, double bandwidth, double rate);
  double Run(double x) {
    const double y = a_ * x + b_ * y1_ + c_ * y2_;
    y2_ = y1_;
    y1_ = y;
    return y;
  }
  void Clear() { y1_ = y2_ = 0; }

 private:
  double a_ = 1, b_ = 0, c_ = 0, y1_ = 0, y2_ = 0;
};

class AntiResonator {
 public:
  void Tune(double hz, double bandwidth, double rate);
  double Run(double x) {
    const double y = a_ * x + b_ * x1_ + c_ * x2_;
    x2_ = x1_;
    x1_ = x;
    return y;
  }
  void Clear() { x1_ = x2_ = 0; }

 private:
  double a_ = 1, b_ = 0, c_ = 0, x1_ = 0, x2_ = 0;
};

class Klatt {
 public:
  // rate: the voice's rate (formant frequencies); outputRate: samples per second of output
  // (time and pitch).
  void Configure(const Voice& voice, int outputRate);
  // Silence: every filter and the source start from rest, noise from its seed.
  void Clear();
  // Renders count samples moving linearly from one parameter set to the next (amplitudes and
  // pitch per sample, filters tuned once to `to`). Output is in full-scale units (about ±1).
  void Render(const Params& from, const Params& to, float pitchFrom, float pitchTo, float* out,
              int count);

 private:
  double Noise();
  void TuneFilters(const Params& to);

  double rate_ = 16000;
  double outputRate_ = 16000;
  double openQuotient_ = 0.55;
  double tilt_ = 0.3;
  double flutter_ = 10;
  double phase_ = 0;
  double seconds_ = 0;
  double tilted_ = 0;
  double voicingLevel_ = 0;  // latched at each period start
  uint32_t seed_ = 1;
  Resonator cascade_[5];
  Resonator nasalPole_;
  AntiResonator nasalZero_;
  Resonator parallel_[5];  // F2..F6
};

}  // namespace formant
