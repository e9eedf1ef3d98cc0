#pragma once

#include <cstdint>
#include <string>

// Numbers said by joining recorded words ("_vinte.wav", "_e.wav", "_um.wav") from the
// letters folder into one buffer, so that a number sounds as one utterance.
namespace frontend {

// Brazilian-Portuguese words for 0 .. 4 294 967 295 ("vinte e um mil", "mil e cem").
std::string NumberToWords(std::uint32_t value);
// Plays the words of `words` from their recordings and returns when they have been played.
// With `feminine`, a final "um" or "dois" is said as "uma" or "duas".
void SpeakWords(const std::string& words, bool feminine);

}  // namespace frontend
