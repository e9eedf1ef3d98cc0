#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "speech/aravo/lexicon.h"

// Phonetic transcription: coded tokens become phoneme lines. Per token a comment line
// ";code|token", then the word's phonemes one per line (">" before the first phoneme from
// the stressed vowel on) and an empty word-end line, or a pause line for punctuation.
// Uses the letter rules and the exception lexicon.
namespace aravo {

// The stage: the lines for every coded token, "__" at the end, liaison applied.
std::vector<std::string> TranscribeItems(const std::vector<std::string>& codedTokens);

// Appends the phonemes of an upper-case word by the letter rules, then the word-end line.
// `stressPosition` is 1-based; below 1 the word gets no stress mark.
void TranscribeWord(const std::string& word, int stressPosition, std::vector<std::string>& lines);

// An upper-case word as the rules read it: its exception's respelling (or the word itself),
// and the 1-based position of its stressed letter (0: no stress mark).
struct WordReading {
  std::string letters;
  int stressPosition;
};
WordReading ReadingOf(const std::string& word);

// The letter rules that decide an upper-case word, in the order they fire: each with the
// 0-based position of the first letter it matches. Letters no rule matches are skipped.
struct FiredRule {
  std::size_t at;
  const LetterRule* rule;
};
std::vector<FiredRule> FiredRules(const std::string& word);

// The 1-based position of the stressed vowel, or 0 when the word has no vowel.
int StressPosition(const std::string& word);

// Words of fewer than three letters and POR DAS DOS COM NÃO SIM carry no stress mark.
bool IsUnstressedWord(const std::string& word);

// Appends the pause line of a punctuation sign ("_," for ","); other characters add nothing.
void PunctuationPause(char sign, std::vector<std::string>& lines);

// Before a word that begins with an unstressed vowel, a final "r2" of the word before
// becomes "r" and a final "s2" becomes "z".
void ApplyLiaison(std::vector<std::string>& lines);

}  // namespace aravo
