#include "speech/aravo/transcription.h"

#include <string_view>

#include "speech/aravo/letters.h"
#include "speech/aravo/lexicon.h"

namespace aravo {
namespace {

constexpr std::size_t kUsedOutputLength = 11;
constexpr char kStressMark = '>';
constexpr char kUnlengthenedMark = '\xA8';  // "¨"

unsigned char Upper(char c) { return UpperCaseCharacter(static_cast<unsigned char>(c)); }

bool IsVowel(char c) {
  switch (Upper(c)) {
    case 'A': case 'E': case 'I': case 'O': case 'U':
    case 0xC0: case 0xC1: case 0xC2: case 0xC3:  // À Á Â Ã
    case 0xC9: case 0xCA: case 0xCC: case 0xCD:  // É Ê Ì Í
    case 0xD3: case 0xD4: case 0xD5:              // Ó Ô Õ
    case 0xD9: case 0xDA: case 0xDC:              // Ù Ú Ü
      return true;
    default:
      return false;
  }
}

bool IsConsonant(char c) {
  const unsigned char upper = Upper(c);
  if (upper >= 'A' && upper <= 'Z') {
    return upper != 'A' && upper != 'E' && upper != 'I' && upper != 'O' && upper != 'U';
  }
  return upper == 0xC7 || upper == 0xD1;  // Ç Ñ
}

bool IsBackVowel(char c) {
  const unsigned char upper = Upper(c);
  return upper == 'A' || upper == 'O' || upper == 0xC1 || upper == 0xC2 || upper == 0xD3 ||
         upper == 0xD4;
}

bool IsFrontVowel(char c) {
  const unsigned char upper = Upper(c);
  return upper == 'E' || upper == 'I' || upper == 0xC9 || upper == 0xCD;
}

bool IsLiquid(char c) { return Upper(c) == 'L' || Upper(c) == 'R'; }

bool IsNasalOrLiquid(char c) {
  const unsigned char upper = Upper(c);
  return upper == 'L' || upper == 'M' || upper == 'N' || upper == 'R' || upper == 'Z';
}

bool IsNrs(char c) { return Upper(c) == 'N' || Upper(c) == 'R' || Upper(c) == 'S'; }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool IsStressAccent(char c) {
  switch (static_cast<unsigned char>(c)) {
    case 0xE1: case 0xE2: case 0xE9: case 0xEA:  // á â é ê
    case 0xED: case 0xF3: case 0xF4: case 0xFA:  // í ó ô ú
      return true;
    default:
      return false;
  }
}

// No open e or o follows the stressed vowel (número, cárcere, hóspede): a rule that opens
// the vowel of an ending speaks it closed when the word's stress fell before it.
std::string ClosedVowel(const std::string& phoneme) {
  const std::size_t vowel = !phoneme.empty() && phoneme[0] == kUnlengthenedMark ? 1 : 0;
  if (phoneme.size() == vowel + 2 && (phoneme.compare(vowel, 2, "ee") == 0 ||
                                      phoneme.compare(vowel, 2, "oo") == 0)) {
    return phoneme.substr(0, vowel + 1);
  }
  return phoneme;
}

// Positions here are 0-based indices into the word.
bool MatchFits(std::string_view word, std::size_t at, std::string_view match) {
  if (match.size() > word.size() - at) return false;
  for (std::size_t i = 0; i < match.size(); ++i) {
    if (AsciiUpper(word[at + i]) != match[i]) return false;
  }
  return true;
}

// The left context is read from its last symbol back, from the character before the match.
bool LeftContextFits(std::string_view word, std::size_t matchStart, std::string_view context) {
  std::ptrdiff_t cursor = static_cast<std::ptrdiff_t>(matchStart) - 1;
  for (std::size_t i = context.size(); i-- > 0;) {
    const char symbol = context[i];
    const bool onWord = cursor >= 0;
    const char c = onWord ? word[static_cast<std::size_t>(cursor)] : '\0';
    switch (symbol) {
      case '#': case '_':
        if (!onWord || !IsVowel(c)) return false;
        --cursor;
        break;
      case '%':
        if (onWord) return false;
        break;
      case ']':
        if (!onWord || !IsBackVowel(c)) return false;
        --cursor;
        break;
      case '|':
        if (!onWord || !IsNrs(c)) return false;
        --cursor;
        break;
      default:
        if (!onWord || AsciiUpper(c) != symbol) return false;
        --cursor;
        break;
    }
  }
  return true;
}

// The right context is read from its first symbol on, from the character after the match.
bool RightContextFits(std::string_view word, std::size_t cursor, std::string_view context) {
  for (const char symbol : context) {
    const bool onWord = cursor < word.size();
    const char c = onWord ? word[cursor] : '\0';
    switch (symbol) {
      case '#':
        if (!onWord || !IsVowel(c)) return false;
        ++cursor;
        break;
      case '%':
        if (onWord) return false;
        break;
      case '&':
        if (!onWord || !IsNasalOrLiquid(c)) return false;
        ++cursor;
        break;
      case '*':
        if (!onWord || !IsConsonant(c) || IsLiquid(c)) return false;
        break;
      case '+':
        if (!onWord || !IsFrontVowel(c)) return false;
        ++cursor;
        break;
      case '[':
        if (onWord && (!IsConsonant(c) || Upper(c) == 'H')) return false;
        break;
      case '\\':
        if (onWord && Upper(c) == 'S') ++cursor;
        break;
      default:
        if (!onWord || AsciiUpper(c) != symbol) return false;
        ++cursor;
        break;
    }
  }
  return true;
}

const LetterRule* FiringRule(std::string_view word, std::size_t at) {
  for (const LetterRule& rule : LetterRulesFor(static_cast<unsigned char>(AsciiUpper(word[at])))) {
    if (MatchFits(word, at, rule.match) && LeftContextFits(word, at, rule.leftContext) &&
        RightContextFits(word, at + rule.match.size(), rule.rightContext)) {
      return &rule;
    }
  }
  return nullptr;
}

bool IsPauseSign(char c) {
  switch (c) {
    case ' ': case '!': case '(': case ')': case ',': case '.': case ':': case ';': case '?':
      return true;
    default:
      return false;
  }
}

bool StartsWithVowelPhoneme(std::string_view line) {
  if (!line.empty() && line.front() == kUnlengthenedMark) line.remove_prefix(1);
  if (line.empty()) return false;
  switch (line.front()) {
    case 'a': case 'e': case 'i': case 'o': case 'u': case 'w': case 'y':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<std::string> TranscribeItems(const std::vector<std::string>& codedTokens) {
  std::vector<std::string> lines;
  lines.reserve(codedTokens.size() * 8 + 1);
  for (const std::string& coded : codedTokens) {
    lines.push_back(";" + coded);
    std::string token =
        coded.size() > 4 ? UpperCase(std::string_view(coded).substr(4)) : std::string();
    if (token.empty()) {
      lines.emplace_back("__");
      lines.emplace_back();
    } else if (IsPauseSign(token.front())) {
      PunctuationPause(token.front(), lines);
    } else {
      const WordReading reading = ReadingOf(token);
      TranscribeWord(reading.letters, reading.stressPosition, lines);
    }
  }
  lines.emplace_back("__");
  ApplyLiaison(lines);
  return lines;
}

WordReading ReadingOf(const std::string& word) {
  WordReading reading{word, 0};
  LookupException(reading.letters);
  if (!IsUnstressedWord(reading.letters)) reading.stressPosition = StressPosition(reading.letters);
  return reading;
}

std::vector<FiredRule> FiredRules(const std::string& word) {
  const std::string_view view(word);
  std::vector<FiredRule> fired;
  std::size_t at = 0;
  while (at < view.size()) {
    const LetterRule* rule = FiringRule(view, at);
    if (rule == nullptr) {
      ++at;
      continue;
    }
    fired.push_back({at, rule});
    at += rule->match.size();
  }
  return fired;
}

void TranscribeWord(const std::string& word, int stressPosition, std::vector<std::string>& lines) {
  // The stress mark goes before the first phoneme written at or after this index.
  const bool hasStress = stressPosition >= 1;
  const std::size_t stressIndex = hasStress ? static_cast<std::size_t>(stressPosition - 1) : 0;
  bool stressUsed = false;
  std::string phoneme;
  for (const auto& [at, rule] : FiredRules(word)) {
    const std::string_view output = std::string_view(rule->output).substr(0, kUsedOutputLength);
    const bool afterStress = stressUsed;
    const auto endPhoneme = [&] {
      lines.push_back(afterStress ? ClosedVowel(phoneme) : phoneme);
      phoneme.clear();
    };
    for (const char c : output) {
      if (hasStress && !stressUsed && at >= stressIndex) {
        phoneme += kStressMark;
        stressUsed = true;
      }
      if (c == '&') {
        endPhoneme();
      } else {
        phoneme += c;
      }
    }
    if (!output.empty()) endPhoneme();
  }
  lines.push_back(phoneme);
}

int StressPosition(const std::string& word) {
  const std::string lower = LowerCase(word);
  const int size = static_cast<int>(lower.size());
  bool hasVowel = false;
  for (int i = size - 1; i >= 0; --i) {
    switch (static_cast<unsigned char>(lower[static_cast<std::size_t>(i)])) {
      case 0xE3: case 0xF5:  // ã õ
        // The tilde marks a nasal, not the stress, when an acute or circumflex accent comes
        // before it (órgão, bênção, ímã).
        for (int j = i - 1; j >= 0; --j) {
          if (IsStressAccent(lower[static_cast<std::size_t>(j)])) return j + 1;
        }
        return i + 1;
      case 0xE0: case 0xE1: case 0xE2:              // à á â
      case 0xE9: case 0xEA: case 0xED:              // é ê í
      case 0xF3: case 0xF4: case 0xFA:              // ó ô ú
        return i + 1;
      case 'a': case 'e': case 'i': case 'o': case 'u': case 'w': case 'y': case 0xFC:  // ü
        hasVowel = true;
        break;
      default:
        break;
    }
  }
  if (!hasVowel) return 0;

  enum class State { kStart, kFinalVowel, kPenult, kPenultHigh, kFinalUVowel, kPenultU, kFinalU,
                     kFinalI, kFinalUI, kFinalConsonant, kFinalM };
  const auto isOneOf = [](char c, std::string_view set) {
    return set.find(c) != std::string_view::npos;
  };
  const std::string_view kAnyVowel = "aeiouwy\xFC";
  State state = State::kStart;
  int result = 0;
  for (int i = size - 1; i >= 0; --i) {
    const char c = lower[static_cast<std::size_t>(i)];
    const int p = i + 1;
    bool stop = false;
    switch (state) {
      case State::kStart:
        if (isOneOf(c, "aeo")) { result = p; state = State::kFinalVowel; }
        else if (c == 'u') { result = p; state = State::kFinalU; }
        else if (c == 'i') { result = p; state = State::kFinalI; }
        else if (c == 's') {}
        // -ns ends a syllable as -m does: hífens and itens are stressed like homem.
        else if (c == 'm' || (c == 'n' && p < size && lower[static_cast<std::size_t>(p)] == 's')) {
          state = State::kFinalM;
        }
        else { state = State::kFinalConsonant; }
        break;
      case State::kFinalVowel:
        if (c == 'u') { state = State::kFinalUVowel; }
        // An unaccented i between a, e or o and the last vowel is a glide: the stress is on
        // the vowel before it (ceia, balaio, apoio); a stressed i there would carry an accent.
        else if (c == 'i' && i > 0 && isOneOf(lower[static_cast<std::size_t>(i - 1)], "aeo")) {
          result = p - 1; stop = true;
        }
        else if (isOneOf(c, "aeiowy\xFC")) { result = p; stop = true; }
        else { state = State::kPenult; }
        break;
      case State::kPenult:
        if (isOneOf(c, "aeo")) { result = p; stop = true; }
        else if (c == 'i' || c == 'u') { result = p; state = State::kPenultHigh; }
        break;
      case State::kPenultHigh:
        // Before nh an i after a vowel is in hiatus and keeps the stress (rainha, campainha).
        if (isOneOf(c, "aeo") && lower.compare(static_cast<std::size_t>(p), 3, "inh") == 0) {
          stop = true;
        }
        else if (isOneOf(c, "aeo")) { result = p; stop = true; }
        else if (c == 'u') { state = State::kPenultU; }
        else { stop = true; }
        break;
      case State::kFinalUVowel:
        if (c == 'g' || c == 'q') { result = p + 2; state = State::kPenult; }
        else { result = p + 1; stop = true; }
        break;
      case State::kPenultU:
        result = (c == 'g' || c == 'q') ? p + 2 : p + 1;
        stop = true;
        break;
      case State::kFinalU:
        if (isOneOf(c, "aeio")) { result = p; }
        stop = true;
        break;
      case State::kFinalI:
        if (isOneOf(c, "aeo")) { result = p; }
        else if (c == 'u') { state = State::kFinalUI; }
        else { stop = true; }
        break;
      case State::kFinalUI:
        result = (c == 'g' || c == 'q') ? p + 2 : p + 1;
        stop = true;
        break;
      case State::kFinalConsonant:
        if (isOneOf(c, kAnyVowel)) { result = p; stop = true; }
        break;
      case State::kFinalM:
        if (isOneOf(c, "iou")) { result = p; stop = true; }
        else if (c == 'a' || c == 'e') { result = p; state = State::kFinalVowel; }
        else { state = State::kStart; }
        break;
    }
    if (stop) break;
  }
  return result;
}

bool IsUnstressedWord(const std::string& word) {
  if (word.size() < 3) return true;
  for (const char* unstressed : {"POR", "DAS", "DOS", "COM", "NÃO", "SIM"}) {
    if (word == unstressed) return true;
  }
  return false;
}

void PunctuationPause(char sign, std::vector<std::string>& lines) {
  if (sign == ' ' || !IsPauseSign(sign)) return;
  lines.push_back(std::string("_") + sign);
}

void ApplyLiaison(std::vector<std::string>& lines) {
  std::size_t i = 3;
  while (i + 1 < lines.size()) {
    if (lines[i].empty() || lines[i].front() != ';') {
      ++i;
      continue;
    }
    if (StartsWithVowelPhoneme(lines[i + 1])) {
      std::string& last = lines[i - 2];
      if (last == "r2") {
        last.pop_back();  // "r"
      } else if (last == "s2") {
        last.pop_back();
        last.back() = 'z';
      }
    }
    i += 2;
  }
}

}  // namespace aravo
