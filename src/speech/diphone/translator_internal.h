#pragma once

#include <cstddef>
#include <string>

// The translator's stages, shared by its source files and open to its tests. Words are held in
// the word-buffer form: lower-case letters with accent marks after their letter; a stressed
// vowel is upper-case.
namespace diphone::translation {

// Room of the word buffer. A longer run of letters is cut here and its rest read as the next
// word (see NextWord).
constexpr std::size_t kWordCapacity = 257;

struct Word {
  std::string letters;
  int vowels = 0;
  bool accented = false;  // holds an accent mark other than the diaeresis mark
};

inline bool IsVowel(char c) {
  switch (c) {
    case 'A': case 'E': case 'I': case 'O': case 'U':
    case 'a': case 'e': case 'i': case 'o': case 'u':
      return true;
    default:
      return false;
  }
}
inline bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool IsConsonant(char c) { return IsLetter(c) && !IsVowel(c); }
inline bool IsAccentMark(char c) {
  return c == '\'' || c == '`' || c == '^' || c == '~' || c == '"';
}
inline bool IsSeparator(char c) {
  return c == ' ' || c == '!' || c == ',' || c == '.' || c == ':' || c == ';' || c == '?';
}
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Where the next word of a normalised text starts; `insideCutWord` tells that the word before
// filled the buffer and its run of letters goes on at `position`.
struct WordCursor {
  std::size_t position = 0;
  bool insideCutWord = false;
};

// Takes the next word of a normalised text: a run of letters and accent marks (letters
// lowered), or else a single character. False when only spaces are left.
bool NextWord(const std::string& text, WordCursor& cursor, Word& word);

// Replaces the word from the exceptions, holding back trailing "s" and "m" letters until
// the shortened word is found; the held letters go back behind the result. The result is
// cut to the word buffer.
void ApplyExceptions(Word& word);

// Upper-cases the stressed vowel of a word without accent marks by the Portuguese stress
// rules (see the table in the source).
void MarkStress(Word& word);

// The word rewritten by the context rules: "[" + units joined by "/" + "]".
std::string ApplyRules(const std::string& letters);

}  // namespace diphone::translation
