#pragma once

#include <cstdint>
#include <string>

// Text normalisation, the first stage of the Aravo pipeline: numbers, ordinals, signs, stray
// characters and known abbreviations become Portuguese words; letters of ordinary words and
// the punctuation the later stages need pass through. Windows-1252 in and out.
namespace aravo {

enum class Gender { kMasculine, kFeminine };

// Reads "KEY=expansion" lines (";" starts a comment) into the abbreviation table, replacing
// what an earlier load held. The table grows as needed. False when the file cannot be read.
bool LoadAbbreviations(const std::string& fileName);
// The expansion of the first key equal to the upper-cased word, or empty text.
std::string LookupAbbreviation(const std::string& word);

std::string NormaliseText(const std::string& text);

// The steps of NormaliseText. Positions are 0-based indices into `text` and are advanced
// past what was read.
// At a digit: a number, an ordinal ("1º", "2as.") or a hyphenated digit string, in words.
std::string ReadNumber(const std::string& text, std::size_t& position);
// At a letter: the word (hyphens after letters included), spelled letter by letter when it
// has no vowel and is not a known abbreviation followed by ".".
std::string ScanWord(const std::string& text, std::size_t& position);

// Values below 10^15 (larger ones are read modulo 10^15). May end in a blank ("mil ").
std::string CardinalWords(std::uint64_t value);
// Ordinals below 2000; from 2000 on, the cardinal.
std::string OrdinalWords(Gender gender, std::uint64_t value);
// The spoken name of one character, or empty text for codes that have none.
std::string CharacterName(unsigned char code);

}  // namespace aravo
