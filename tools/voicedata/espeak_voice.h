#pragma once

#include <cstdint>
#include <string>
#include <vector>

// espeak-ng's pt-br voice, used in-process: text (with "[[...]]" phoneme input) to 16-bit
// samples, with the start time of every sound.
namespace voicedata {

constexpr int kVoiceRate = 22050;

enum class Intonation {
  kNatural,  // the voice's own sentence melody: recordings of words and sentences
  kLevel,    // an almost flat pitch, so that segments joined by the synthesizer match
};

struct Take {
  std::vector<std::int16_t> samples;   // mono, kVoiceRate samples per second
  std::vector<int> soundStartsMs;      // start of each sound (pauses left out), in ms
};

// Starts the library with the pt-br voice; false with `error` when it cannot.
bool VoiceStart(std::string& error);
void VoiceEnd();
// The library's version, which goes into the stamps: new espeak-ng data means new recordings.
std::string VoiceVersion();

// Speaks UTF-8 text; false when the library reports an error.
bool VoiceSpeak(const std::string& utf8Text, Intonation intonation, Take& take);

}  // namespace voicedata
