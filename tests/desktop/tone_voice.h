#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "support/voice_data.h"

// A voice installation whose prompts and number words are pure tones, each of a frequency of
// its own (300 Hz and up, 60 Hz apart), so that what the speakers played can be read back as
// recordings by name. The character recordings stay as test_support writes them: noise,
// which the tracker reads as no tone.
namespace desktop {

// The tones' amplitude. The speakers are a stereo sink recorded in mono: its two channels add
// up to 3 dB more than what was played, so a tone reads about 113 there and never clips, and
// nothing the voice plays reads louder than kLoudestHeard.
constexpr int kToneAmplitude = 80;
constexpr int kLoudestHeard = 120;

struct ToneVoiceOptions {
  double promptSeconds = 0.3;
  double wordSeconds = 0.15;
  // Recordings with a length of their own, in seconds.
  std::map<std::string, double> lengths;
};

struct ToneRecording {
  std::string name;  // "AVINIC", "_vinte"
  double frequency;
  std::size_t samples;
};

struct ToneVoice {
  test_support::VoiceDataFolders folders;
  std::vector<ToneRecording> recordings;

  std::vector<double> Frequencies() const;
  // The recording's index, or -1.
  int Find(const std::string& name) const;
  double Seconds(const std::string& name) const;
};

// Writes VERANTO.INI and the voice into `root` (test_support::WriteVoiceData), then the tones.
ToneVoice WriteToneVoice(const std::string& root, const ToneVoiceOptions& options = {});

}  // namespace desktop
