// Text to the phoneme string of the internal voice, word by word: normalisation, exceptions,
// stress, then spelling or the context rules.
#include "speech/diphone/translator.h"

#include <algorithm>
#include <string>

#include "speech/diphone/translator_internal.h"

namespace diphone {
namespace translation {

bool NextWord(const std::string& text, WordCursor& cursor, Word& word) {
  word = Word{};
  std::size_t& at = cursor.position;
  const bool continuing = cursor.insideCutWord;
  cursor.insideCutWord = false;
  if (!continuing) {
    while (at < text.size() && text[at] == ' ') ++at;
  }
  if (at >= text.size()) return false;
  if (!continuing && !IsLetter(text[at])) {
    word.letters = std::string(1, text[at]);
    ++at;
    return true;
  }
  while (at < text.size() && (IsLetter(text[at]) || IsAccentMark(text[at]))) {
    if (word.letters.size() == kWordCapacity) {
      // The buffer is full: the rest of the run is read as the next word, so nothing written
      // goes unspoken.
      cursor.insideCutWord = true;
      break;
    }
    const char c = LowerAscii(text[at]);
    if (IsVowel(c)) ++word.vowels;
    if (IsAccentMark(c) && c != '"') word.accented = true;
    word.letters += c;
    ++at;
  }
  return true;
}

namespace {

// Words of consonants and signs only (abbreviations such as "BR"), and characters the
// translator has no reading for, are spelled out.
bool IsSpelled(const std::string& letters) {
  if (!letters.empty() && letters.front() == '\x01') return true;
  return std::all_of(letters.begin(), letters.end(),
                     [](char c) { return IsConsonant(c) || IsSeparator(c); });
}

}  // namespace
}  // namespace translation

std::string TranslateToPhonemes(const std::string& text) {
  using namespace translation;
  const std::string normalised = NormaliseForTranslation(text);
  std::string result;
  WordCursor cursor;
  Word word;
  while (NextWord(normalised, cursor, word)) {
    ApplyExceptions(word);
    MarkStress(word);
    if (IsSpelled(word.letters)) {
      for (const char c : word.letters) {
        result += "[ /_";
        result += c;
        result += ']';
      }
    } else {
      result += ApplyRules(word.letters);
    }
  }
  return result;
}

}  // namespace diphone
