#include "desktop/tones.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace desktop {
namespace {

constexpr double kRate = 11025.0;
constexpr std::size_t kFadeSamples = 55;  // 5 ms
constexpr std::size_t kWindow = 441;      // 40 ms
constexpr std::size_t kHop = 110;         // 10 ms
constexpr int kSilent = -2;
// A window is silent below this weighted RMS deviation from 128.
constexpr double kSilenceRms = 6.0;
// The share of a window's energy the strongest tone must hold (1 for a pure tone).
constexpr double kTonality = 0.5;
// Runs of a tone shorter than this are taken for noise. Gaps shorter than this are bridged,
// and noise this short next to a sound is the seam of a change of tone: a window straddling
// two tones is none of them.
constexpr std::size_t kShortestRun = 3;
constexpr std::size_t kLongestGap = 5;
// The deviation from 128 that marks a sample as sounding, for the edges next to silence.
constexpr int kEdgeLevel = 16;

struct Run {
  int cls;
  std::size_t first;  // window indices
  std::size_t last;
  std::size_t Count() const { return last - first + 1; }
};

std::vector<Run> RunsOf(const std::vector<int>& classes) {
  std::vector<Run> runs;
  for (std::size_t w = 0; w < classes.size(); ++w) {
    if (!runs.empty() && runs.back().cls == classes[w]) {
      runs.back().last = w;
    } else {
      runs.push_back({classes[w], w, w});
    }
  }
  return runs;
}

std::size_t Centre(std::size_t window) { return window * kHop + kWindow / 2; }

int Deviation(std::uint8_t sample) { return std::abs(static_cast<int>(sample) - 128); }

}  // namespace

Samples ToneSamples(double frequency, std::size_t count, int amplitude) {
  Samples samples(count);
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t fromEdge = std::min(k, count - 1 - k);
    double gain = 1.0;
    if (fromEdge < kFadeSamples) {
      gain = 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(fromEdge) / kFadeSamples);
    }
    const double value = amplitude * gain * std::sin(2 * std::numbers::pi * frequency * k / kRate);
    samples[k] = static_cast<std::uint8_t>(std::clamp(128 + static_cast<int>(std::lround(value)), 0, 255));
  }
  return samples;
}

Samples SineSamples(int peak, double frequency, std::size_t count) {
  Samples samples(count);
  for (std::size_t k = 0; k < count; ++k) {
    const double value = peak * std::sin(2 * std::numbers::pi * frequency * k / kRate);
    samples[k] = static_cast<std::uint8_t>(std::clamp(128 + static_cast<int>(std::lround(value)), 0, 255));
  }
  return samples;
}

ToneTracker::ToneTracker(std::vector<double> frequencies)
    : frequencies_(std::move(frequencies)), window_(kWindow) {
  for (std::size_t n = 0; n < kWindow; ++n) {
    window_[n] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / (kWindow - 1));
  }
  for (const double frequency : frequencies_) {
    for (std::size_t n = 0; n < kWindow; ++n) {
      const double phase = 2 * std::numbers::pi * frequency * n / kRate;
      cosines_.push_back(window_[n] * std::cos(phase));
      sines_.push_back(window_[n] * std::sin(phase));
    }
  }
}

void ToneTracker::Add(const std::uint8_t* samples, std::size_t count) {
  samples_.insert(samples_.end(), samples, samples + count);
  while (windows_.size() * kHop + kWindow <= samples_.size()) {
    windows_.push_back(ClassifyWindow(windows_.size() * kHop));
  }
}

int ToneTracker::ClassifyWindow(std::size_t start) const {
  double x[kWindow];
  double energy = 0;
  double windowSquares = 0;
  double windowSum = 0;
  for (std::size_t n = 0; n < kWindow; ++n) {
    x[n] = static_cast<double>(samples_[start + n]) - 128.0;
    energy += x[n] * x[n] * window_[n] * window_[n];
    windowSquares += window_[n] * window_[n];
    windowSum += window_[n];
  }
  if (energy / windowSquares < kSilenceRms * kSilenceRms) return kSilent;
  int best = kNoTone;
  double bestPower = 0;
  for (std::size_t tone = 0; tone < frequencies_.size(); ++tone) {
    const double* c = cosines_.data() + tone * kWindow;
    const double* s = sines_.data() + tone * kWindow;
    double re = 0;
    double im = 0;
    for (std::size_t n = 0; n < kWindow; ++n) {
      re += x[n] * c[n];
      im += x[n] * s[n];
    }
    const double power = re * re + im * im;
    if (power > bestPower) {
      bestPower = power;
      best = static_cast<int>(tone);
    }
  }
  // A pure tone's power at its own frequency is energy * (sum w)^2 / (2 sum w^2).
  const double tonality = 2 * bestPower * windowSquares / (energy * windowSum * windowSum);
  return tonality >= kTonality ? best : kNoTone;
}

std::size_t ToneTracker::RefineStart(std::size_t estimate, std::size_t earliest) const {
  const std::size_t from = std::max(earliest, estimate > kWindow / 2 ? estimate - kWindow / 2 : 0);
  const std::size_t to = std::min(samples_.size(), estimate + kWindow);
  for (std::size_t k = from; k < to; ++k) {
    if (Deviation(samples_[k]) >= kEdgeLevel) return k;
  }
  return std::max(estimate, earliest);
}

std::size_t ToneTracker::RefineEnd(std::size_t estimate, std::size_t latest) const {
  const std::size_t from = std::min({latest, estimate + kWindow / 2, samples_.size()});
  const std::size_t to = estimate > kWindow ? estimate - kWindow : 0;
  for (std::size_t k = from; k > to; --k) {
    if (Deviation(samples_[k - 1]) >= kEdgeLevel) return k;
  }
  return std::min(estimate, latest);
}

std::vector<ToneSegment> ToneTracker::Segments() const {
  // Tone runs too short to be a recording are noise; a tone broken by a short gap is one.
  std::vector<int> classes = windows_;
  for (const Run& run : RunsOf(classes)) {
    if (run.cls >= 0 && run.Count() < kShortestRun) {
      std::fill(classes.begin() + run.first, classes.begin() + run.last + 1, kNoTone);
    }
  }
  std::vector<Run> runs = RunsOf(classes);
  std::vector<Run> merged;
  for (const Run& run : runs) {
    if (run.cls >= 0 && merged.size() >= 2 && merged[merged.size() - 2].cls == run.cls &&
        merged.back().cls < 0 && merged.back().Count() < kLongestGap) {
      merged.pop_back();
      merged.back().last = run.last;
      continue;
    }
    if (!merged.empty() && merged.back().cls == run.cls) {
      merged.back().last = run.last;
      continue;
    }
    merged.push_back(run);
  }
  // Short noise between two sounds or next to silence is the seam of a change of tone.
  std::vector<Run> kept;
  std::vector<bool> silenceBefore;
  bool afterSilence = true;
  for (const Run& run : merged) {
    if (run.cls == kSilent) {
      afterSilence = true;
      continue;
    }
    if (run.cls == kNoTone && run.Count() < kLongestGap) continue;
    kept.push_back(run);
    silenceBefore.push_back(afterSilence);
    afterSilence = false;
  }

  std::vector<ToneSegment> segments;
  std::size_t previousEnd = 0;
  for (std::size_t k = 0; k < kept.size(); ++k) {
    const Run& run = kept[k];
    std::size_t start = Centre(run.first) - kHop / 2;
    if (silenceBefore[k]) {
      start = RefineStart(start, previousEnd);
    } else {
      start = (Centre(kept[k - 1].last) + Centre(run.first)) / 2;
    }
    std::size_t end = Centre(run.last) + kHop / 2;
    const bool silenceAfter = k + 1 == kept.size() || silenceBefore[k + 1];
    if (silenceAfter) {
      const std::size_t latest =
          k + 1 < kept.size() ? Centre(kept[k + 1].first) - kHop / 2 : samples_.size();
      end = RefineEnd(end, latest);
    } else {
      end = (Centre(run.last) + Centre(kept[k + 1].first)) / 2;
    }
    if (end <= start) continue;
    segments.push_back({run.cls, start, end - start});
    previousEnd = end;
  }
  return segments;
}

std::vector<ToneSegment> TrackTones(const std::vector<double>& frequencies, const Samples& samples) {
  ToneTracker tracker(frequencies);
  tracker.Add(samples.data(), samples.size());
  return tracker.Segments();
}

}  // namespace desktop
