#pragma once

#include <string>

// The internal voice's letter-to-phoneme translator: written Portuguese (Windows-1252) to the
// phoneme string the diphone synthesizer reads, by an exceptions dictionary, the stress rules
// and the context rules of "regras.rgr".
//
// Phoneme string: one "[" unit "/" unit ... "]" per word, no separators between words. A unit
// is a rule's phonemes, or " /_" + the letter upper-cased when no rule matches; a spelled word
// gives "[ /_" + character + "]" per character. Stressed vowels are upper-case.
namespace diphone {

// Reads the rules file into the 64 rule groups (replacing any held); false when it cannot be
// opened. Lines without a usable match are skipped, and so are comment lines: those whose
// first non-blank character is ";".
bool LoadRules(const std::string& path);
// Reads and sorts the exceptions file (at most 15000 entries), replacing any held; false when
// it cannot be opened.
bool LoadExceptions(const std::string& path);
// Releases the rules (the exceptions stay until the next LoadExceptions).
void FreeRules();

// The text folded to lower-case letters with separate accent marks ("ção" gives "ssa~o"),
// W/Y read as u/i beside a letter, D' losing its apostrophe, control and unknown characters
// as " \x01 ".
std::string NormaliseForTranslation(const std::string& text);
// The whole pipeline: normalisation, words, exceptions, stress, spelling or rules.
std::string TranslateToPhonemes(const std::string& text);

}  // namespace diphone
