#pragma once

#include <functional>
#include <string>

// How the internal voice reads a phoneme string: units, their recursive split into pieces,
// and the segment names of each piece. One walk serves both speaking (names played with
// their fallbacks) and listing the names a string asks for.
namespace diphone::detail {

constexpr std::size_t kUnitCapacity = 40;  // characters a unit keeps; the rest are dropped
constexpr std::size_t kNameCapacity = 12;  // characters of a name before its CIRC/TIL ending

// Stress modes: 1 at the start of a word, 2 while a piece with a stressed vowel is spoken,
// 0 after it.
constexpr int kWordStart = 1;
constexpr int kStressed = 2;

struct PhonemeWalker {
  // A database name ("$" + phonemes, maybe ending in CIRC or TIL) or a letter recording
  // ("_" + decimal code), in the stress mode of the moment, with a length factor.
  std::function<void(const std::string& name, int stressMode, double factor)> playName;
  // Silence of a number of samples: punctuation pauses and the gap after a unit.
  std::function<void(int samples)> silence;
};

// Walks the whole string: every unit is split and its names played in order; a unit whose
// terminator is not a space is followed by `gap` samples of silence unless it is the last, or
// nothing was played (nor paused on) since the previous gap: an empty unit adds no gap.
// With `keepPunctuation` false the units "_," "_." "_:" "_;" are pauses instead.
void WalkPhonemes(const std::string& phonemes, bool keepPunctuation, int gap,
                  const PhonemeWalker& walker);

// Symbol sets of the splitting rules and of the fallbacks for missing names.
bool IsSplitConsonant(char c);
bool IsVowelLike(char c);

}  // namespace diphone::detail
