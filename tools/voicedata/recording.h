#pragma once

#include <string>
#include <vector>

// One segment or recording spoken by espeak-ng and reduced to its audible part, at 11 025 Hz
// (still on the 16-bit scale: the gain and the 8-bit conversion come once the whole set is known).
namespace voicedata {

// A segment from espeak-ng phoneme mnemonics (Windows-1252; normally ASCII). "(" and ")"
// mark the part kept when neighbours are spoken with it: "&(*'a)" keeps from the tap on,
// "(b)@" keeps b and its release. Said with a level pitch. With `stressedAt`, also where the
// sound after the stress mark "'" (a syllable's vowel) begins in `samples`: 0 when nothing is
// kept before it, -1 when the mnemonics have no mark or it falls outside the kept part.
bool RecordSounds(const std::string& mnemonics, std::vector<float>& samples, std::string& error,
                  long* stressedAt = nullptr);

// A word or sentence (Windows-1252 text; "[[...]]" inside is phoneme input), said with the
// voice's own melody.
bool RecordText(const std::string& text, std::vector<float>& samples, std::string& error);

}  // namespace voicedata
