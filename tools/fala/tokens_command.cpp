// fala tokens, fala codes: the word-coding steps of the Aravo pipeline. Also the loading of
// the language files that every Aravo stage command after normalisation shares.
#include <cstdio>
#include <string>
#include <vector>

#include "aravo_input.h"
#include "commands.h"
#include "platform/encoding.h"
#include "speech/aravo/lexicon.h"
#include "speech/aravo/normalise.h"
#include "speech/aravo/prosody_config.h"
#include "speech/aravo/word_coding.h"

namespace fala {
namespace {

bool CannotRead(const std::string& what, const std::string& path) {
  std::fprintf(stderr, "fala: cannot read the %s file %s\n", what.c_str(),
               platform::Cp1252ToUtf8(path).c_str());
  return false;
}

void ShowOnStandardError(const std::string& title, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", platform::Cp1252ToUtf8(title).c_str(),
               platform::Cp1252ToUtf8(text).c_str());
}

int RunCoding(const Output& output, const std::vector<std::string>& arguments, AravoStage stage) {
  AravoInput input;
  if (!ReadAravoInput(output, arguments, input)) return 2;
  if (!LoadAravoFiles(input, stage)) return 1;
  for (const std::string& text : input.texts) {
    const std::vector<std::string> items = aravo::SplitTokens(aravo::NormaliseText(text));
    PrintLines(output, stage == AravoStage::kTokens ? items : aravo::AssignCodes(items, true));
  }
  return 0;
}

}  // namespace

bool LoadAravoFiles(const AravoInput& input, AravoStage stage) {
  const std::string abbreviations = AravoDataFile(input, "portug.abr");
  if (!aravo::LoadAbbreviations(abbreviations)) return CannotRead("abbreviations", abbreviations);
  const std::string prosody = AravoDataFile(input, "portug.pro");
  if (!aravo::LoadProsody(prosody, ShowOnStandardError)) return CannotRead("prosody", prosody);
  if (stage == AravoStage::kTokens || stage == AravoStage::kCodes) return true;
  const std::string rules = AravoDataFile(input, "portug.nrl");
  if (!aravo::LoadLetterRules(rules)) return CannotRead("letter rules", rules);
  const std::string exceptions = AravoDataFile(input, "portug.exc");
  if (!aravo::LoadExceptionLexicon(exceptions)) return CannotRead("exceptions", exceptions);
  if (stage == AravoStage::kPhonemes) return true;
  const std::string inventory = AravoDataFile(input, "portug.dfn");
  if (!aravo::LoadDiphoneInventory(inventory)) return CannotRead("diphone inventory", inventory);
  return true;
}

void PrintLines(const Output& output, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  Print(output, text);
}

int TokensCommand(const Output& output, const std::vector<std::string>& arguments) {
  return RunCoding(output, arguments, AravoStage::kTokens);
}

int CodesCommand(const Output& output, const std::vector<std::string>& arguments) {
  return RunCoding(output, arguments, AravoStage::kCodes);
}

}  // namespace fala
