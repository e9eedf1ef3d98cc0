// Marking the stressed vowel of a word that carries no written accent. The word is read from
// its end towards its start:
//
//   state        character            next
//   start        a e o                paroxytone
//   start        i u                  final i/u
//   start        l n r x z            oxytone
//   start        m                    final m
//   start        s                    final s
//   oxytone      any vowel            mark it
//   final m      a e / i u / o        paroxytone / final i/u / mark it
//   final s      a e o / i u          paroxytone / final i/u
//   paroxytone   a e o / i u          mark it / diphthong
//   final i/u    (decides at once, on the character left of the i or u) a consonant, or a u
//                after g or q (aqui, sagui): mark the i or u; else mark this character
//   diphthong    (decides at once) a consonant, or a u after g or q: mark the i or u; a
//                vowel whose i or u stands before l m n r z that begins "nh" or "rr" or is
//                followed by a consonant other than h (caindo, rainha): mark the i or u;
//                else mark this character (caixa)
//
// Any other character keeps the state. A decision taken on the first character of the word
// marks nothing: "ama" keeps its stress on the first letter unmarked.
#include "speech/diphone/translator_internal.h"

namespace diphone::translation {
namespace {

enum class State { kStart, kOxytone, kFinalM, kFinalS, kParoxytone, kFinalIU, kDiphthong };

bool IsAEO(char c) { return c == 'a' || c == 'e' || c == 'o'; }
bool IsIU(char c) { return c == 'i' || c == 'u'; }
bool IsClosingConsonant(char c) {
  return c == 'l' || c == 'm' || c == 'n' || c == 'r' || c == 'z';
}

bool HasStressMark(const std::string& letters) {
  for (const char c : letters) {
    if (IsVowel(c) && c == UpperAscii(c)) return true;
  }
  return false;
}

// A u that belongs to "gu" or "qu" is read with its consonant, not as a vowel of its own.
bool IsUAfterGOrQ(const std::string& w, std::size_t at) {
  return w[at] == 'u' && at >= 1 && (w[at - 1] == 'g' || w[at - 1] == 'q');
}

// The position to mark when the scan decides at `at`, the character left of an i or u.
std::size_t DecideBeforeIU(const std::string& w, std::size_t at, bool diphthong) {
  if (IsConsonant(w[at]) || IsUAfterGOrQ(w, at)) return at + 1;
  if (diphthong && at + 2 < w.size() && IsClosingConsonant(w[at + 2])) {
    const bool pair = at + 3 < w.size() && ((w[at + 2] == 'n' && w[at + 3] == 'h') ||
                                            (w[at + 2] == 'r' && w[at + 3] == 'r'));
    const bool closed = at + 3 < w.size() && IsConsonant(w[at + 3]) && w[at + 3] != 'h';
    if (pair || closed) return at + 1;
  }
  return at;
}

}  // namespace

void MarkStress(Word& word) {
  std::string& w = word.letters;
  if (word.accented || w.empty()) return;
  if (word.vowels < 2 && !(word.vowels == 1 && w.back() == 'l')) return;
  // A replacement from the exceptions may carry its own mark; a second one would be wrong.
  if (HasStressMark(w)) return;

  State state = State::kStart;
  for (std::size_t at = w.size(); at-- > 0;) {
    const char c = w[at];
    std::size_t mark = w.size();  // none decided yet
    switch (state) {
      case State::kStart:
        if (IsAEO(c)) state = State::kParoxytone;
        else if (IsIU(c)) state = State::kFinalIU;
        else if (c == 'l' || c == 'n' || c == 'r' || c == 'x' || c == 'z') state = State::kOxytone;
        else if (c == 'm') state = State::kFinalM;
        else if (c == 's') state = State::kFinalS;
        break;
      case State::kOxytone:
        if (IsVowel(c)) mark = at;
        break;
      case State::kFinalM:
        if (c == 'a' || c == 'e') state = State::kParoxytone;
        else if (IsIU(c)) state = State::kFinalIU;
        else if (c == 'o') mark = at;
        break;
      case State::kFinalS:
        if (IsAEO(c)) state = State::kParoxytone;
        else if (IsIU(c)) state = State::kFinalIU;
        break;
      case State::kParoxytone:
        if (IsAEO(c)) mark = at;
        else if (IsIU(c)) state = State::kDiphthong;
        break;
      case State::kFinalIU:
        mark = DecideBeforeIU(w, at, false);
        break;
      case State::kDiphthong:
        mark = DecideBeforeIU(w, at, true);
        break;
    }
    if (mark == w.size()) continue;
    if (at >= 1) w[mark] = UpperAscii(w[mark]);
    return;
  }
}

}  // namespace diphone::translation
