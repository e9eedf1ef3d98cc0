#pragma once

#include <string>
#include <vector>

// Durations and pitch: phoneme lines become the synthesizer's .pho lines ("a 145 80 241":
// name, milliseconds, and a pitch target as position in percent and frequency in Hz).
namespace aravo {

// The stage. Durations come from the duration table, lengthened by 45 % from the stressed
// phoneme to the end of the word and shortened before the stress in long tokens; pitch
// targets from the word's code, the pitch table and the base pitch. A short "_" or "y" is
// put between two phonemes whose diphone the voice lacks.
std::vector<std::string> ComputeProsody(const std::vector<std::string>& phonemeLines,
                                        double pitchFactor, double durationFactor);

// The duration of the first table entry named exactly `phoneme`, else 100.
int PhonemeDuration(const std::string& phoneme);

// The pitch target for the next phoneme of a word, given the stress state (0 before the
// first phoneme, 1 before the stress, 2 at the stressed phoneme, 3 after it), which it
// advances: " 50 Hz" from the code's first digit at the first phoneme, " 80 Hz" from the
// second at the stressed one, " 50 Hz" from the third at the word's last phoneme after the
// stress; empty text otherwise, or when the digit's table entry is 0.
std::string PitchPoint(int& stressState, const std::string& code, bool lastOfWord,
                       double pitchFactor);

// Appends the bridge ("_ 50" or "y 50") needed between `previous` and `current` when the
// inventory lacks their diphone; nothing when it has it or `current` is empty.
void BridgeMissingDiphone(const std::string& previous, const std::string& current,
                          std::vector<std::string>& lines);

}  // namespace aravo
