// The context rules "regras.rgr" and their application to a word. A rule is one line:
//
//   left "(" match ")" right "=" phonemes [ "|" anything ]
//
// cut to 5, 5, 5 and 11 characters. Everything between "=" and "|" (or the line's end) is the
// phonemes, blanks included: a blank in the phonemes ends a unit for the synthesizer. Lines
// without "(", then ")", then "=" are skipped, and so are lines whose first non-blank
// character is ";": those are the comment lines (a legend, notes). Write comments with ";" -
// a comment in any other form that happens to hold "(", ")" and "=" in that order would be
// read as a rule. A rule whose match is empty or begins outside codes 32 to 95 is skipped.
//
// Rules are kept in 64 groups by the first character of their match, in file order. A rule
// goes to its own group wherever it stands in the file, so a rule written away from the
// other rules of its letter still applies.
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"
#include "speech/diphone/translator.h"
#include "speech/diphone/translator_internal.h"

namespace diphone {
namespace {

using translation::IsAccentMark;
using translation::IsConsonant;
using translation::IsVowel;
using translation::UpperAscii;

constexpr std::size_t kContextWidth = 5;
constexpr std::size_t kMatchWidth = 5;
constexpr std::size_t kPhonemesWidth = 11;
constexpr int kFirstGroupCode = 32;
constexpr int kGroupCount = 64;

struct Rule {
  std::string left;
  std::string match;
  std::string right;
  std::string phonemes;
};

std::array<std::vector<Rule>, kGroupCount> groups;

int GroupOf(char c) {
  const int code = static_cast<unsigned char>(c);
  if (code < kFirstGroupCode || code >= kFirstGroupCode + kGroupCount) return -1;
  return code - kFirstGroupCode;
}

void AddRule(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::size_t firstChar = line.find_first_not_of(" \t");
  if (firstChar == std::string_view::npos || line[firstChar] == ';') return;
  const std::size_t open = line.find('(');
  if (open == std::string_view::npos) return;
  const std::size_t close = line.find(')', open + 1);
  if (close == std::string_view::npos) return;
  const std::size_t equals = line.find('=', close + 1);
  if (equals == std::string_view::npos) return;
  std::string_view phonemes = line.substr(equals + 1);
  phonemes = phonemes.substr(0, phonemes.find('|'));

  Rule rule;
  rule.left = std::string(line.substr(0, std::min(open, kContextWidth)));
  rule.match = std::string(line.substr(open + 1, std::min(close - open - 1, kMatchWidth)));
  rule.right = std::string(line.substr(close + 1, std::min(equals - close - 1, kContextWidth)));
  rule.phonemes = std::string(phonemes.substr(0, kPhonemesWidth));
  if (rule.match.empty()) return;
  const int group = GroupOf(rule.match.front());
  if (group < 0) return;
  groups[group].push_back(std::move(rule));
}

// The word's character at `at` upper-cased; `at` counts from 0 and may lie outside the word.
bool CharacterIs(const std::string& w, long at, char wanted) {
  return at >= 0 && at < static_cast<long>(w.size()) && UpperAscii(w[at]) == wanted;
}
bool Inside(const std::string& w, long at) { return at >= 0 && at < static_cast<long>(w.size()); }
bool IsVowelOrMark(char c) { return IsVowel(c) || IsAccentMark(c); }
bool IsOneOf(char c, std::string_view set) {
  return set.find(UpperAscii(c)) != std::string_view::npos;
}

// Matches the left context leftwards from `at`, the character before the match.
bool LeftMatches(const std::string& w, const std::string& pattern, long at) {
  for (std::size_t k = pattern.size(); k-- > 0;) {
    switch (pattern[k]) {
      case '#':  // one or more vowels or accent marks
        if (!Inside(w, at) || !IsVowelOrMark(w[at])) return false;
        while (Inside(w, at) && IsVowelOrMark(w[at])) --at;
        break;
      case '%':  // before the word's first letter
        if (at >= 0) return false;
        break;
      case ']':  // a or o, with or without an accent mark after it
        if (Inside(w, at) && IsAccentMark(w[at]) && Inside(w, at - 1) && IsOneOf(w[at - 1], "AO")) {
          at -= 2;
        } else if (Inside(w, at) && IsOneOf(w[at], "AO")) {
          --at;
        } else {
          return false;
        }
        break;
      case '_':  // a vowel, with or without an accent mark after it; or the word's start
        if (at < 0) break;
        if (IsAccentMark(w[at]) && Inside(w, at - 1) && IsVowel(w[at - 1])) {
          at -= 2;
        } else if (IsVowel(w[at])) {
          --at;
        } else {
          return false;
        }
        break;
      case '|':  // n, r or s
        if (!Inside(w, at) || !IsOneOf(w[at], "NRS")) return false;
        --at;
        break;
      default:
        if (!CharacterIs(w, at, pattern[k])) return false;
        --at;
        break;
    }
  }
  return true;
}

// Matches the right context rightwards from `at`, the character after the match.
bool RightMatches(const std::string& w, const std::string& pattern, long at) {
  for (const char symbol : pattern) {
    switch (symbol) {
      case '#':  // one or more vowels or accent marks
        if (!Inside(w, at) || !IsVowelOrMark(w[at])) return false;
        while (Inside(w, at) && IsVowelOrMark(w[at])) ++at;
        break;
      case '%':  // after the word's last letter
        if (Inside(w, at)) return false;
        break;
      case '+':  // e or i, with or without an accent mark after it
        if (!Inside(w, at) || !IsOneOf(w[at], "EI")) return false;
        ++at;
        if (Inside(w, at) && IsAccentMark(w[at])) ++at;
        break;
      case '&':  // l, m, n, r or z
        if (!Inside(w, at) || !IsOneOf(w[at], "LMNRZ")) return false;
        ++at;
        break;
      case '*':  // a consonant other than r and l, not consumed
        if (!Inside(w, at) || !IsConsonant(w[at]) || IsOneOf(w[at], "RL")) return false;
        break;
      case '[':  // the word's end or a consonant other than h, not consumed
        if (Inside(w, at) && (!IsConsonant(w[at]) || IsOneOf(w[at], "H"))) return false;
        break;
      case '\\':  // an optional s
        if (CharacterIs(w, at, 'S')) ++at;
        break;
      default:
        if (!CharacterIs(w, at, symbol)) return false;
        ++at;
        break;
    }
  }
  return true;
}

bool MatchesAt(const std::string& w, std::size_t at, const std::string& match) {
  if (match.size() > w.size() - at) return false;
  for (std::size_t k = 0; k < match.size(); ++k) {
    if (UpperAscii(w[at + k]) != match[k]) return false;
  }
  return true;
}

const Rule* FindRule(const std::string& w, std::size_t at) {
  const int group = GroupOf(UpperAscii(w[at]));
  if (group < 0) return nullptr;
  for (const Rule& rule : groups[group]) {
    if (!MatchesAt(w, at, rule.match)) continue;
    const long before = static_cast<long>(at) - 1;
    const long after = static_cast<long>(at + rule.match.size());
    if (LeftMatches(w, rule.left, before) && RightMatches(w, rule.right, after)) return &rule;
  }
  return nullptr;
}

}  // namespace

bool LoadRules(const std::string& path) {
  FreeRules();
  std::FILE* file = std::fopen(platform::FileSystemName(path).c_str(), "rb");
  if (file == nullptr) return false;
  std::string contents;
  char chunk[16384];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) contents.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return false;
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    AddRule(std::string_view(contents).substr(start, end - start));
    start = end + 1;
  }
  return true;
}

void FreeRules() {
  for (auto& group : groups) {
    group.clear();
    group.shrink_to_fit();
  }
}

namespace translation {

std::string ApplyRules(const std::string& letters) {
  std::string result = "[";
  std::size_t at = 0;
  while (at < letters.size()) {
    const char letter = letters[at];
    const Rule* rule = FindRule(letters, at);
    std::string unit = rule != nullptr ? rule->phonemes : std::string(" /_") + UpperAscii(letter);
    // The stress mark of the word's vowel carries over to the first vowel of its unit.
    if (IsVowel(letter) && letter == UpperAscii(letter)) {
      for (char& c : unit) {
        if (IsVowel(c)) {
          c = UpperAscii(c);
          break;
        }
      }
    }
    result += unit;
    at += rule != nullptr ? rule->match.size() : 1;
    if (at < letters.size()) result += '/';
  }
  result += ']';
  return result;
}

}  // namespace translation
}  // namespace diphone
