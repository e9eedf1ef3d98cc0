#pragma once

#include <cstdint>
#include <string>
#include <vector>

// From espeak-ng's 22 050 Hz 16-bit samples to the 11 025 Hz 8-bit unsigned samples that the
// program plays.
namespace voicedata {

constexpr int kOutputRate = 11025;
// A sample whose magnitude is above this (16-bit scale, about -42 dB) is sound, not silence.
constexpr int kSilenceThreshold = 256;

// The part of `samples` (at `rate`) from `leadMs` before the first sound to `tailMs` after the
// last (never beyond the ends); empty when nothing is above the threshold. The lead keeps the
// closure before a stop, which is part of how the stop sounds between two vowels.
// With `keptFrom`, the index in `samples` where the kept part begins.
std::vector<std::int16_t> KeepAudible(const std::vector<std::int16_t>& samples, int rate, int leadMs, int tailMs,
                                      long* keptFrom = nullptr);

// Low-pass below 4.8 kHz and keep every other sample: 22 050 Hz to 11 025 Hz.
std::vector<float> HalveRate(const std::vector<std::int16_t>& samples);

// Largest magnitude.
float PeakOf(const std::vector<float>& samples);
// The gain that brings the loudest of a set of recordings to 90 % of full scale (at most 4:
// a set of near-silent recordings is not blown up into noise). One gain for a whole set keeps
// the recordings that are joined together at the same loudness.
double GainForPeak(float peak);

// 8-bit unsigned samples (silence 128), rounded and clipped, after multiplying by `gain`.
std::string ToUnsigned8(const std::vector<float>& samples, double gain);

// A canonical 44-byte RIFF/WAVE header (PCM, 8-bit, mono, 11 025 Hz) and the samples.
std::string WaveFile8(const std::string& samples);

}  // namespace voicedata
