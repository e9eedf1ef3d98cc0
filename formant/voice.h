// A formant voice: synthesis targets for each phoneme, loaded from our own text format
// (described in data/README.md).
#pragma once

#include <array>
#include <string>
#include <unordered_map>
#include <vector>

namespace formant {

// The synthesis parameters that move over time. Frequencies and bandwidths in Hz,
// amplitudes in dB (0 = off, 60 = full scale of that source).
// clang-format off
enum Param {
  kF1, kF2, kF3, kF4, kF5, kF6,
  kB1, kB2, kB3, kB4, kB5, kB6,
  kNasalPole, kNasalZero,
  kVoicing, kAspiration, kFrication,
  kParallel2, kParallel3, kParallel4, kParallel5, kParallel6, kBypass,
  kParamCount
};
// clang-format on
constexpr int kFirstAmplitude = kVoicing;
using Params = std::array<float, kParamCount>;

enum class PhoneClass {
  kSilence,
  kVowel,
  kGlide,
  kLiquid,
  kTap,
  kNasal,
  kFricative,
  kStop,
  kAffricate,
  kAspirate
};

struct Phoneme {
  std::string name;
  PhoneClass phoneClass = PhoneClass::kVowel;
  Params targets{};
  float burstDb = 0;    // stops and affricates: frication at the release
  float releaseMs = 0;  // stops: burst and aspiration; affricates: the frication part
};

struct Voice {
  int rate = 16000;
  float defaultPitch = 200;
  float gain = 1;
  float openQuotient = 0.55f;
  float tilt = 0.3f;  // one-pole low-pass coefficient on the glottal source
  float flutter = 10;
  std::vector<std::string> info;
  std::vector<Phoneme> phonemes;
  std::unordered_map<std::string, int> index;  // name -> phoneme
  int silence = -1;
};

// Loads a voice file; on failure returns a negative error code and sets message.
int LoadVoice(const std::string& path, Voice& voice, std::string& message);

// Applies whitespace-separated "old new" pairs: rename moves a name, clone adds a second name.
// Returns 0 or a negative error code (odd count or unknown phoneme) with message.
int RenamePhonemes(Voice& voice, const char* pairs, bool clone, std::string& message);

}  // namespace formant
