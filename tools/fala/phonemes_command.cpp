// fala phonemes: the Aravo pipeline up to the phonetic transcription; with --explain, what
// decided each word: the exception lexicon, the stressed letter and every letter rule fired.
#include <string>
#include <vector>

#include "aravo_input.h"
#include "commands.h"
#include "speech/aravo/letters.h"
#include "speech/aravo/normalise.h"
#include "speech/aravo/transcription.h"
#include "speech/aravo/word_coding.h"

namespace fala {
namespace {

constexpr std::size_t kCodeLength = 4;  // "565|" before the token

std::string RuleText(const aravo::LetterRule& rule) {
  return rule.leftContext + "(" + rule.match + ")" + rule.rightContext + "=" + rule.output;
}

// The lines that say how one coded word token came to its phonemes.
std::vector<std::string> Explanation(const std::string& coded) {
  std::vector<std::string> lines;
  if (coded.size() <= kCodeLength) return lines;
  const std::string word = aravo::UpperCase(coded.substr(kCodeLength));
  if (!aravo::IsWordLetter(static_cast<unsigned char>(word.front()))) return lines;
  const aravo::WordReading reading = aravo::ReadingOf(word);
  const std::string& read = reading.letters;
  lines.push_back(word + (read == word ? ": no exception" : ": exception, read as " + read));
  const int stress = reading.stressPosition;
  if (stress < 1) {
    lines.push_back("  no stress mark");
  } else {
    lines.push_back("  stress on letter " + std::to_string(stress) + " (" + read.substr(static_cast<std::size_t>(stress - 1), 1) + ")");
  }
  for (const auto& [at, rule] : aravo::FiredRules(read)) {
    std::string letters = read.substr(at, rule->match.size());
    letters.resize(8, ' ');
    lines.push_back("  " + letters + RuleText(*rule));
  }
  return lines;
}

}  // namespace

int PhonemesCommand(const Output& output, const std::vector<std::string>& arguments) {
  const bool explain = !arguments.empty() && arguments[0] == "--explain";
  AravoInput input;
  const std::vector<std::string> rest(arguments.begin() + (explain ? 1 : 0), arguments.end());
  if (!ReadAravoInput(output, rest, input)) return 2;
  if (!LoadAravoFiles(input, AravoStage::kPhonemes)) return 1;
  for (const std::string& text : input.texts) {
    const auto coded = aravo::AssignCodes(aravo::SplitTokens(aravo::NormaliseText(text)), true);
    if (!explain) {
      PrintLines(output, aravo::TranscribeItems(coded));
      continue;
    }
    for (const std::string& item : coded) PrintLines(output, Explanation(item));
  }
  return 0;
}

}  // namespace fala
