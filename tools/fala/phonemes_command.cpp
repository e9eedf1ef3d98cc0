// fala phonemes: the Aravo pipeline up to the phonetic transcription.
#include <string>
#include <vector>

#include "aravo_input.h"
#include "commands.h"
#include "speech/aravo/normalise.h"
#include "speech/aravo/transcription.h"
#include "speech/aravo/word_coding.h"

namespace fala {

int PhonemesCommand(const Output& output, const std::vector<std::string>& arguments) {
  AravoInput input;
  if (!ReadAravoInput(output, arguments, input)) return 2;
  if (!LoadAravoFiles(input, AravoStage::kPhonemes)) return 1;
  for (const std::string& text : input.texts) {
    const auto items = aravo::SplitTokens(aravo::NormaliseText(text));
    PrintLines(output, aravo::TranscribeItems(aravo::AssignCodes(items, true)));
  }
  return 0;
}

}  // namespace fala
