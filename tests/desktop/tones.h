#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The sounds of the desktop tests and the reading of a recording back into them. Every
// recording the programs play is a pure tone of its own frequency, so what the speakers'
// monitor recorded can be read as the sequence of recordings played, with their lengths.
namespace desktop {

using Samples = std::vector<std::uint8_t>;

// A tone of `count` 8-bit samples (11 025 Hz) around 128, with a 5 ms fade in and out.
Samples ToneSamples(double frequency, std::size_t count, int amplitude);

// The microphone's signal: 128 + round(peak sin(2 pi f k / 11 025)), held within 0-255, so
// its largest |sample - 128| is `peak` when a period's sampling reaches the crest.
Samples SineSamples(int peak, double frequency, std::size_t count);

constexpr int kNoTone = -1;  // sound that is none of the tones

struct ToneSegment {
  int tone;           // index into the tracker's frequencies, or kNoTone
  std::size_t start;  // in samples from the start of the recording
  std::size_t length;
  std::size_t End() const { return start + length; }
};

// Reads a growing u8 recording: the power of each candidate tone in 40 ms Hann windows every
// 10 ms (each window analysed once, as samples arrive), then runs of windows where one tone
// holds most of the energy, merged across short gaps; a segment's edges next to silence are
// taken from the samples themselves.
class ToneTracker {
 public:
  explicit ToneTracker(std::vector<double> frequencies);
  void Add(const std::uint8_t* samples, std::size_t count);
  std::size_t SampleCount() const { return samples_.size(); }
  const Samples& Recorded() const { return samples_; }
  std::vector<ToneSegment> Segments() const;

 private:
  int ClassifyWindow(std::size_t start) const;
  std::size_t RefineStart(std::size_t estimate, std::size_t earliest) const;
  std::size_t RefineEnd(std::size_t estimate, std::size_t latest) const;

  std::vector<double> frequencies_;
  std::vector<double> cosines_;  // per tone, the window times cos and sin of the phase
  std::vector<double> sines_;
  std::vector<double> window_;
  Samples samples_;
  std::vector<int> windows_;  // each window's class: a tone, kNoTone, or silence
};

std::vector<ToneSegment> TrackTones(const std::vector<double>& frequencies, const Samples& samples);

}  // namespace desktop
