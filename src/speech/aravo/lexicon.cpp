#include "speech/aravo/lexicon.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "speech/aravo/letters.h"
#include "speech/aravo/text_file.h"

namespace aravo {
namespace {

constexpr int kFirstRuleCharacter = 32;

std::array<std::vector<LetterRule>, 256 - kFirstRuleCharacter> ruleLists;

struct ExceptionEntry {
  std::string word;
  std::string alias;
};
std::vector<ExceptionEntry> exceptions;  // sorted by word, byte order

// The text from `from` up to the first `close` (or the line's end), cut to `limit`
// characters; `from` moves past the closing character, or to the end when there is none.
std::string TakeField(std::string_view line, std::size_t& from, char close, std::size_t limit) {
  const std::size_t start = std::min(from, line.size());
  std::size_t end = line.find(close, start);
  if (end == std::string_view::npos) {
    end = line.size();
    from = line.size();
  } else {
    from = end + 1;
  }
  return std::string(line.substr(start, std::min(end - start, limit)));
}

// Blanks after the rule would otherwise become part of its output.
std::string_view WithoutTrailingBlanks(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
    line.remove_suffix(1);
  }
  return line;
}

}  // namespace

bool LoadLetterRules(const std::string& fileName) {
  for (auto& list : ruleLists) list.clear();
  std::vector<std::string> lines;
  if (!detail::ReadTextLines(fileName, lines)) return false;
  for (const std::string& text : lines) {
    const std::string_view line = WithoutTrailingBlanks(text);
    if (!line.empty() && line.front() == ';') continue;
    const std::size_t open = line.find('(');
    if (open == std::string_view::npos) continue;  // no match: nothing to file it under
    LetterRule rule;
    rule.leftContext = std::string(line.substr(0, std::min(open, kRuleContextLength)));
    std::size_t from = open + 1;
    rule.match = TakeField(line, from, ')', kRuleContextLength);
    rule.rightContext = TakeField(line, from, '=', kRuleContextLength);
    rule.output = TakeField(line, from, '|', kRuleOutputLength);
    if (rule.match.empty()) continue;
    const auto first = static_cast<unsigned char>(rule.match.front());
    if (first < kFirstRuleCharacter) continue;
    ruleLists[first - kFirstRuleCharacter].push_back(std::move(rule));
  }
  return true;
}

void FreeLetterRules() {
  for (auto& list : ruleLists) {
    list.clear();
    list.shrink_to_fit();
  }
}

const std::vector<LetterRule>& LetterRulesFor(unsigned char character) {
  static const std::vector<LetterRule> kNone;
  if (character < kFirstRuleCharacter) return kNone;
  return ruleLists[character - kFirstRuleCharacter];
}

bool LoadExceptionLexicon(const std::string& fileName) {
  exceptions.clear();
  std::vector<std::string> lines;
  if (!detail::ReadTextLines(fileName, lines)) return false;
  for (const std::string& text : lines) {
    if (exceptions.size() >= static_cast<std::size_t>(kMaxExceptionEntries)) break;
    const std::string_view trimmed = WithoutTrailingBlanks(text);
    if (trimmed.empty()) continue;
    // The whole line is kept, however long, so the "=" and alias are never cut off.
    const std::string line = UpperCase(trimmed) + "|=|";
    const std::size_t equals = line.find('=');
    const std::size_t bar = line.find('|', equals + 1);
    exceptions.push_back({line.substr(0, equals), line.substr(equals + 1, bar - equals - 1)});
  }
  // A stable sort keeps a word listed twice in file order, so the first line wins.
  std::stable_sort(
      exceptions.begin(), exceptions.end(),
      [](const ExceptionEntry& a, const ExceptionEntry& b) { return a.word < b.word; });
  return true;
}

void LookupException(std::string& word) {
  // The stem is the word less its final S and M letters taken off so far; they are the
  // suffix put back after an alias. Taking a view of the word keeps long words linear.
  const std::string_view whole(word);
  for (std::size_t stemLength = whole.size(); stemLength > 0; --stemLength) {
    const std::string_view stem = whole.substr(0, stemLength);
    const auto found = std::lower_bound(
        exceptions.begin(), exceptions.end(), stem,
        [](const ExceptionEntry& entry, std::string_view key) { return entry.word < key; });
    if (found != exceptions.end() && found->word == stem) {
      word = found->alias + std::string(whole.substr(stemLength));
      return;
    }
    const char last = stem.back();
    if (last != 'S' && last != 'M') return;  // not listed: the word stays as it came
  }
}

}  // namespace aravo
