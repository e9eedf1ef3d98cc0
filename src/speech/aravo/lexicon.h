#pragma once

#include <string>
#include <vector>

// The pronunciation files of the Aravo engine: letter-to-sound rules and the exception
// lexicon. Both tables are module state, loaded at engine start-up and read while speaking.
namespace aravo {

// One rule line "left(match)right=output|comment". Contexts and match hold at most
// kRuleContextLength characters, the output at most kRuleOutputLength.
struct LetterRule {
  std::string leftContext;
  std::string match;
  std::string rightContext;
  std::string output;
};

inline constexpr std::size_t kRuleContextLength = 5;
inline constexpr std::size_t kRuleOutputLength = 20;
inline constexpr int kMaxExceptionEntries = 15000;

// Reads a rules file; lines starting with ";" are comments, lines without "(" or with an
// empty match are skipped. False only if the file cannot be read.
bool LoadLetterRules(const std::string& fileName);
void FreeLetterRules();
// The rules whose match begins with `character`, in file order (none below code 32).
const std::vector<LetterRule>& LetterRulesFor(unsigned char character);

// Reads "WORD=ALIAS" lines, upper-cased, up to kMaxExceptionEntries entries. False only if
// the file cannot be read.
bool LoadExceptionLexicon(const std::string& fileName);
// Replaces an upper-case word by its alias. A word not listed is tried again without its
// final S and M letters, which are then put back after the alias (CASAS: CASA's alias + S).
void LookupException(std::string& word);

}  // namespace aravo
